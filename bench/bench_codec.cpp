// What the packet codec costs: a 10,000-row packet (the brand list's shape plus a number and a
// price) written to a frame and read back, and a 1,000-row change set likewise, against the
// same values carried through a tree of CBOR values (built, serialised, parsed and walked),
// the way a codec without a stream would. And where a fetch's time goes: a connection of the
// module host answering a 10,000-row fetch of the brand table without any socket (provider
// and codec), and the client reading that answer, against a prepared select of the same
// rows in-process (SQLite). Best of five rounds; the ratios are printed.

#include "BenchTransportKit.h"
#include "ModuleConnection.h"
#include "PacketCodec.h"
#include "Protocol.h"
#include "RequestCodec.h"
#include "RunTimeConnection.h"
#include "TestDb.h"

#include <QCborArray>
#include <QCoreApplication>
#include <QTextStream>

using namespace korvane;

namespace {

constexpr int PacketRowCount = 10000;
constexpr int ChangeRowCount = 1000;
constexpr int Rounds = 5;

FieldDef field(const char *name, FieldType type, int size, int flags)
{
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    f.size = size;
    f.flags = flags;
    return f;
}

Packet brands()
{
    Packet p;
    p.fields = {field("Code", FieldType::String, 4, pfInUpdate | pfInWhere | pfInKey),
                field("Name", FieldType::String, 20, pfInUpdate),
                field("Qty", FieldType::Integer, 0, pfInUpdate),
                field("Price", FieldType::Float, 0, pfInUpdate)};
    p.rows.reserve(PacketRowCount);
    for (int i = 0; i < PacketRowCount; ++i)
        p.rows.append(RowValues{QStringLiteral("A%1").arg(i, 3, 36, QLatin1Char('0')),
                                QStringLiteral("品牌%1").arg(i), qlonglong(i), i * 0.25});
    return p;
}

ChangeSet inserts(const Packet &shape)
{
    ChangeSet delta;
    delta.fields = shape.fields;
    for (int i = 0; i < ChangeRowCount; ++i) {
        ChangeRow row;
        row.op = ChangeOp::Insert;
        row.newValues = shape.rows[i];
        delta.rows.append(row);
    }
    return delta;
}

// ---- the tree baseline --------------------------------------------------------------------

QCborValue cell(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::LongLong:
        return qint64(v.toLongLong());
    case QMetaType::Double:
        return v.toDouble();
    default:
        return QCborValue(QCborValue::Null);
    }
}

QVariant variant(const QCborValue &v, FieldType type)
{
    switch (type) {
    case FieldType::String:
        return v.toString();
    case FieldType::Integer:
        return qlonglong(v.toInteger());
    case FieldType::Float:
        return v.toDouble();
    default:
        return QVariant();
    }
}

QCborArray treeRow(const RowValues &row)
{
    QCborArray cells;
    for (const QVariant &v : row)
        cells.append(cell(v));
    return cells;
}

RowValues rowFromTree(const QCborArray &cells, const Fields &fields)
{
    RowValues row;
    row.reserve(cells.size());
    for (qsizetype i = 0; i < cells.size(); ++i)
        row.append(variant(cells.at(i), fields[i].type));
    return row;
}

qsizetype packetThroughTree(const Packet &p)
{
    QCborArray rows;
    for (const PacketRow &row : p.rows)
        rows.append(treeRow(row));
    QCborMap map{{QStringLiteral("fields"), codec::encodeFields(p.fields)},
                 {QStringLiteral("rows"), rows},
                 {QStringLiteral("eof"), p.eof}};
    const QByteArray frame = protocol::encodeFrame(QCborMap{{QStringLiteral("packet"), map}});
    QCborMap message;
    QString error;
    protocol::decodeBody(frame.mid(protocol::LengthSize), &message, &error);
    PacketRows back;
    for (const QCborValue &row :
         message.value(QStringLiteral("packet")).toMap().value(QStringLiteral("rows")).toArray())
        back.append(rowFromTree(row.toArray(), p.fields));
    return back.size();
}

qsizetype changesThroughTree(const ChangeSet &d)
{
    QCborArray rows;
    for (const ChangeRow &row : d.rows)
        rows.append(QCborMap{{QStringLiteral("op"), QStringLiteral("insert")},
                             {QStringLiteral("new"), treeRow(row.newValues)}});
    QCborMap map{{QStringLiteral("fields"), codec::encodeFields(d.fields)},
                 {QStringLiteral("rows"), rows}};
    const QByteArray frame = protocol::encodeFrame(QCborMap{{QStringLiteral("delta"), map}});
    QCborMap message;
    QString error;
    protocol::decodeBody(frame.mid(protocol::LengthSize), &message, &error);
    QList<ChangeRow> back;
    for (const QCborValue &row :
         message.value(QStringLiteral("delta")).toMap().value(QStringLiteral("rows")).toArray()) {
        ChangeRow change;
        change.op = ChangeOp::Insert;
        change.newValues =
            rowFromTree(row.toMap().value(QStringLiteral("new")).toArray(), d.fields);
        back.append(change);
    }
    return back.size();
}

// ---- the stream codec ---------------------------------------------------------------------

template <typename Value> qsizetype throughStream(const Value &value, Value *back)
{
    protocol::FrameWriter frame;
    codec::encode(value, frame);
    protocol::FrameReader reader;
    reader.append(frame.take());
    protocol::Message message;
    QString error;
    reader.next(&message, &error);
    codec::decode(message, back, &error);
    return error.size();
}

// ---- a fetch without sockets ---------------------------------------------------------------

QByteArray frameOf(const auto &request)
{
    protocol::FrameWriter frame;
    codec::encode(request, frame);
    frame.entry(QLatin1StringView("id")).append(qint64(1));
    return frame.take();
}

void hostFetch(QTextStream &out)
{
    test::ScratchDb scratch(QStringLiteral("sqlite"));
    QSqlDatabase db = scratch.db();
    bench::makeBrands(db, 0);
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO XCI VALUES (?, ?)"));
    for (int i = 0; i < PacketRowCount; ++i) {
        insert.addBindValue(QStringLiteral("A%1").arg(i, 3, 36, QLatin1Char('0')));
        insert.addBindValue(QStringLiteral("品牌%1").arg(i));
        insert.exec();
    }
    db.commit();
    DbConnectionInfo connection;
    connection.databaseName = scratch.databaseName();
    setRunTimeConnection(connection);

    ProviderDef brandList;
    brandList.name = QStringLiteral("dspCI");
    brandList.sql = QStringLiteral("SELECT Code, Name FROM XCI ORDER BY Code");
    const QHash<QString, ModuleHost::Factory> classes = {
        {QStringLiteral("baserdm"), [brandList] {
             return std::make_unique<ProviderModule>(QStringLiteral("BaseRDM"),
                                                     ProviderDefs{brandList});
         }}};
    ModuleConnection host(0, classes, QString());
    host.receive(frameOf(OpenRequest{QStringLiteral("BaseRDM"), {}}));
    const QByteArray fetch =
        frameOf(GetRecordsRequest{QStringLiteral("dspCI"), -1, grMetaData | grReset, {}, {}});

    const double direct = bench::best(Rounds, [&] { bench::selectBrands(db); });
    QByteArray answer;
    const double answered = bench::best(Rounds, [&] { answer = host.receive(fetch); });
    GetRecordsAnswer fetched;
    const QByteArray body = answer.mid(protocol::LengthSize);
    const double checked = bench::best(Rounds, [&] {
        protocol::Message message;
        QString error;
        protocol::Message::parse(body, &message, &error);
    });
    const double read = bench::best(Rounds, [&] {
        protocol::Message message;
        QString error;
        protocol::Message::parse(body, &message, &error);
        codec::decode(message, &fetched, &error);
    });
    out << "fetch of " << fetched.packet.rows.size() << " rows: prepared select " << direct
        << " ms, host answering without sockets " << answered << " ms (ratio " << answered / direct
        << "), client reading the answer " << read << " ms (ratio " << read / direct
        << "; checking the frame " << checked << " ms of it)" << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const Packet packet = brands();
    const ChangeSet delta = inserts(packet);

    const double treePacket = bench::best(Rounds, [&] { packetThroughTree(packet); });
    GetRecordsAnswer fetched;
    const double streamPacket =
        bench::best(Rounds, [&] { throughStream(GetRecordsAnswer{packet}, &fetched); });
    const double treeChanges = bench::best(Rounds, [&] { changesThroughTree(delta); });
    ApplyUpdatesRequest applied;
    const double streamChanges = bench::best(Rounds, [&] {
        throughStream(ApplyUpdatesRequest{QStringLiteral("dspCI"), delta, 0}, &applied);
    });

    out << "packet of " << fetched.packet.rows.size() << " rows written and read: value tree "
        << treePacket << " ms, stream " << streamPacket << " ms, ratio "
        << streamPacket / treePacket << Qt::endl;
    out << "change set of " << applied.delta.rows.size() << " rows written and read: value tree "
        << treeChanges << " ms, stream " << streamChanges << " ms, ratio "
        << streamChanges / treeChanges << Qt::endl;
    hostFetch(out);
    return 0;
}
