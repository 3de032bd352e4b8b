#include "PacketCodec.h"

#include <QTest>

#include <cstring>
#include <limits>

using namespace korvane;
using namespace korvane::codec;

class tst_PacketCodec : public QObject
{
    Q_OBJECT
private slots:
    void packetShapeIsStable();
    void packetRoundTrip();
    void doublesStayExact_data();
    void doublesStayExact();
    void changeSetRoundTrip();
    void changedMaskDefaultsToDifferingCells();
    void applyResultRoundTrip();
    void paramsRoundTrip();
    void packetAsCallResult();
    void malformedPacket_data();
    void malformedPacket();
    void malformedChangeSet_data();
    void malformedChangeSet();
    void nestingIsBounded();
    void membersComeInAnyOrder();
    void containersOfUnknownLength();
    void errorsDoNotDependOnMemberOrder_data();
    void errorsDoNotDependOnMemberOrder();
};

static FieldDef field(const char *name, FieldType type, int size = 0, int flags = pfInUpdate)
{
    FieldDef f;
    f.name = QString::fromUtf8(name);
    f.type = type;
    f.size = size;
    f.flags = flags;
    return f;
}

// A product list with its variant lines nested in each row.
static Packet productPacket()
{
    FieldDef lines = field("xprdtb", FieldType::Nested, 0, pfNone);
    lines.fields = {field("pdtcode", FieldType::String, 30, pfInUpdate | pfInWhere),
                    field("pdtno", FieldType::String, 4, pfInUpdate | pfInWhere),
                    field("price", FieldType::Float)};
    Packet p;
    p.fields = {field("pdtcode", FieldType::String, 30, pfInUpdate | pfInWhere | pfInKey),
                field("pdtname", FieldType::String, 60),
                field("minqty", FieldType::Integer),
                field("active", FieldType::Boolean),
                field("picture", FieldType::Blob),
                field("ClassName", FieldType::String, 20, pfNone),
                lines};
    p.fields[0].required = true;
    const PacketRows firstLines = {
        PacketRow{QStringLiteral("P01"), QStringLiteral("0001"), 12.5},
        PacketRow{QStringLiteral("P01"), QStringLiteral("0002"), QVariant()}};
    p.rows = {
        PacketRow{RowValues{QStringLiteral("P01"), QStringLiteral("螺丝钉"), qlonglong(5), true,
                            QByteArray("\x00\xff\x10", 3), QStringLiteral("五金"), QVariant()},
                  {{6, firstLines}}},
        RowValues{QStringLiteral("P02"), QVariant(), QVariant(), false, QByteArray(), QVariant(),
                  QVariant()}};
    p.eof = false;
    return p;
}

static void comparePackets(const Packet &a, const Packet &b)
{
    QCOMPARE(a.fields.size(), b.fields.size());
    for (int i = 0; i < a.fields.size(); ++i) {
        QCOMPARE(a.fields[i].name, b.fields[i].name);
        QCOMPARE(a.fields[i].type, b.fields[i].type);
        QCOMPARE(a.fields[i].size, b.fields[i].size);
        QCOMPARE(a.fields[i].flags, b.fields[i].flags);
        QCOMPARE(a.fields[i].required, b.fields[i].required);
        QCOMPARE(a.fields[i].fields.size(), b.fields[i].fields.size());
    }
    QCOMPARE(a.rows, b.rows);
    QCOMPARE(a.eof, b.eof);
}

void tst_PacketCodec::packetShapeIsStable()
{
    Packet p;
    p.fields = {field("Code", FieldType::String, 4, pfInUpdate | pfInWhere),
                field("Qty", FieldType::Float)};
    p.rows = {RowValues{QStringLiteral("01"), 2.5}, RowValues{QVariant(), 3.0}};
    const QString expected = QStringLiteral(
        "{\"fields\": [{\"name\": \"Code\", \"type\": \"string\", \"size\": 4, \"required\": "
        "false, "
        "\"flags\": 3}, {\"name\": \"Qty\", \"type\": \"float\", \"size\": 0, \"required\": false, "
        "\"flags\": 1}], \"rows\": [[\"01\", 2.5], [null, 3.0]], \"eof\": true}");
    QCOMPARE(QCborValue(encodePacket(p)).toDiagnosticNotation(), expected);
}

void tst_PacketCodec::packetRoundTrip()
{
    const Packet sent = productPacket();
    const QByteArray wire = QCborValue(encodePacket(sent)).toCbor();
    Packet received;
    QString error;
    QVERIFY2(decodePacket(QCborValue::fromCbor(wire), &received, &error), qPrintable(error));
    comparePackets(received, sent);
    QCOMPARE(received.fields[6].fields[2].name, QStringLiteral("price"));
    QCOMPARE(received.rows[0][4].typeId(), QMetaType::QByteArray);
    QVERIFY(received.rows[1][1].isNull());
    // Detail rows travel as a list of row lists in the nested cell and arrive typed beside
    // the cells; a head without lines has none.
    const QCborArray cells =
        QCborValue::fromCbor(wire).toMap().value(QStringLiteral("rows")).toArray().at(0).toArray();
    QCOMPARE(cells.at(6).toArray().size(), 2);
    QCOMPARE(cells.at(6).toArray().at(1).toArray().at(1).toString(), QStringLiteral("0002"));
    QVERIFY(received.rows[0][6].isNull());
    QCOMPARE(received.rows[0].detailRows(6).value(1).value(1).toString(), QStringLiteral("0002"));
    QVERIFY(received.rows[1].details.isEmpty());
}

void tst_PacketCodec::doublesStayExact_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("tenth") << 0.1;
    QTest::newRow("long fraction") << 123456789.123456789;
    QTest::newRow("tiny") << 1e-300;
    QTest::newRow("largest") << std::numeric_limits<double>::max();
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min();
    QTest::newRow("negative") << -98765.4321;
    QTest::newRow("integral") << 4.0;
}

void tst_PacketCodec::doublesStayExact()
{
    QFETCH(double, value);
    Packet p;
    p.fields = {field("amount", FieldType::Float)};
    p.rows = {RowValues{value}};
    Packet back;
    QString error;
    QVERIFY(
        decodePacket(QCborValue::fromCbor(QCborValue(encodePacket(p)).toCbor()), &back, &error));
    const double got = back.rows[0][0].toDouble();
    QVERIFY(std::memcmp(&got, &value, sizeof value) == 0);
}

static ChangeSet productChanges()
{
    const Packet p = productPacket();
    ChangeSet lines;
    lines.fields = p.fields[6].fields;
    ChangeRow newLine;
    newLine.op = ChangeOp::Insert;
    newLine.newValues = {QStringLiteral("P01"), QStringLiteral("0003"), 7.25};
    ChangeRow goneLine;
    goneLine.op = ChangeOp::Delete;
    goneLine.oldValues = {QStringLiteral("P01"), QStringLiteral("0001"), 12.5};
    lines.rows = {newLine, goneLine};

    ChangeSet delta;
    delta.fields = p.fields;
    ChangeRow renamed;
    renamed.op = ChangeOp::Modify;
    renamed.oldValues = p.rows[0];
    renamed.newValues = p.rows[0];
    renamed.newValues[0] = QStringLiteral("P01A"); // a changed key
    renamed.changed = QBitArray(p.fields.size());
    renamed.changed.setBit(0);
    renamed.details = {{6, lines}};
    delta.rows = {renamed};
    return delta;
}

void tst_PacketCodec::changeSetRoundTrip()
{
    const ChangeSet sent = productChanges();
    ChangeSet back;
    QString error;
    QVERIFY2(decodeChangeSet(QCborValue::fromCbor(QCborValue(encodeChangeSet(sent)).toCbor()),
                             &back, &error),
             qPrintable(error));
    QCOMPARE(back.rows.size(), 1);
    const ChangeRow &row = back.rows[0];
    QCOMPARE(row.op, ChangeOp::Modify);
    QCOMPARE(row.oldValues, sent.rows[0].oldValues);
    QCOMPARE(row.newValues, sent.rows[0].newValues);
    QCOMPARE(row.changed, sent.rows[0].changed);
    QCOMPARE(row.details.size(), 1);
    QCOMPARE(row.details[0].first, 6);
    const ChangeSet &lines = row.details[0].second;
    QCOMPARE(lines.fields.size(), 3);
    QCOMPARE(lines.rows[0].op, ChangeOp::Insert);
    QCOMPARE(lines.rows[0].newValues, sent.rows[0].details[0].second.rows[0].newValues);
    QCOMPARE(lines.rows[1].op, ChangeOp::Delete);
    QCOMPARE(lines.rows[1].oldValues, sent.rows[0].details[0].second.rows[1].oldValues);
}

void tst_PacketCodec::changedMaskDefaultsToDifferingCells()
{
    QCborMap row;
    row.insert(QStringLiteral("op"), QStringLiteral("modify"));
    row.insert(QStringLiteral("old"), QCborArray{QStringLiteral("01"), QStringLiteral("a")});
    row.insert(QStringLiteral("new"), QCborArray{QStringLiteral("01"), QStringLiteral("b")});
    QCborMap delta;
    delta.insert(QStringLiteral("fields"), encodeFields({field("Code", FieldType::String),
                                                         field("Name", FieldType::String)}));
    delta.insert(QStringLiteral("rows"), QCborArray{row});
    ChangeSet back;
    QString error;
    QVERIFY2(decodeChangeSet(delta, &back, &error), qPrintable(error));
    QVERIFY(!back.rows[0].changed.testBit(0));
    QVERIFY(back.rows[0].changed.testBit(1));
}

void tst_PacketCodec::applyResultRoundTrip()
{
    ApplyResult sent;
    sent.errorCount = 1;
    ApplyError e;
    e.row = 0;
    e.detailField = 6;
    e.detailRow = 1;
    e.message = QStringLiteral("UNIQUE constraint failed: xprdtb.pdtno");
    e.errorCode = 3631;
    e.values = {QStringLiteral("P01"), QStringLiteral("0001"), 12.5};
    sent.errors = {e};
    sent.refreshed = productPacket();
    ApplyResult back;
    QString error;
    QVERIFY2(decodeApplyResult(QCborValue::fromCbor(QCborValue(encodeApplyResult(sent)).toCbor()),
                               &back, &error),
             qPrintable(error));
    QCOMPARE(back.errorCount, 1);
    QCOMPARE(back.errors.size(), 1);
    QCOMPARE(back.errors[0].row, 0);
    QCOMPARE(back.errors[0].detailField, 6);
    QCOMPARE(back.errors[0].detailRow, 1);
    QCOMPARE(back.errors[0].message, e.message);
    QCOMPARE(back.errors[0].errorCode, 3631);
    QCOMPARE(back.errors[0].values, e.values);
    comparePackets(back.refreshed, sent.refreshed);
}

void tst_PacketCodec::paramsRoundTrip()
{
    const Params sent = {{QStringLiteral("StoreCode"), QStringLiteral("01")},
                         {QStringLiteral("tmpStoreCode"), QStringLiteral(" ")},
                         {QStringLiteral("State"), qlonglong(2)},
                         {QStringLiteral("Empty"), QVariant()},
                         {QStringLiteral("Amount"), 0.3}};
    Params back;
    QString error;
    QVERIFY(
        decodeParams(QCborValue::fromCbor(QCborValue(encodeParams(sent)).toCbor()), &back, &error));
    QCOMPARE(back.size(), sent.size());
    for (int i = 0; i < sent.size(); ++i) {
        QCOMPARE(back[i].name, sent[i].name);
        QCOMPARE(back[i].value, sent[i].value);
    }
}

void tst_PacketCodec::packetAsCallResult()
{
    const Packet p = productPacket();
    const QCborValue cbor = encodeValue(QVariant::fromValue(p));
    QCOMPARE(cbor, QCborValue(encodePacket(p)));
    QVERIFY(isPacketMap(cbor));
    QVERIFY(!isPacketMap(encodeValue(QVariantMap{{QStringLiteral("fields"), 1}})));
}

static QCborMap packetWith(const QCborArray &fields, const QCborArray &rows)
{
    QCborMap m;
    m.insert(QStringLiteral("fields"), fields);
    m.insert(QStringLiteral("rows"), rows);
    return m;
}

static QCborMap fieldMap(const QString &name, const QString &type)
{
    QCborMap f;
    f.insert(QStringLiteral("name"), name);
    f.insert(QStringLiteral("type"), type);
    return f;
}

void tst_PacketCodec::malformedPacket_data()
{
    QTest::addColumn<QCborValue>("cbor");
    QTest::addColumn<QString>("reason");
    const QCborArray codeField{fieldMap(QStringLiteral("Code"), QStringLiteral("string"))};
    const QCborArray qtyField{fieldMap(QStringLiteral("Qty"), QStringLiteral("integer"))};
    QTest::newRow("not a map") << QCborValue(QCborArray{}) << "expected a map";
    QTest::newRow("no fields") << QCborValue(QCborMap{}) << "expected a list of fields";
    QTest::newRow("unknown type")
        << QCborValue(packetWith({fieldMap(QStringLiteral("Code"), QStringLiteral("decimal"))}, {}))
        << "unknown type \"decimal\"";
    QTest::newRow("nameless field")
        << QCborValue(packetWith({fieldMap(QString(), QStringLiteral("string"))}, {}))
        << "a field needs a name";
    QTest::newRow("too few cells")
        << QCborValue(packetWith(codeField, {QCborValue(QCborArray{})})) << "0 cells for 1 fields";
    QTest::newRow("row not a list")
        << QCborValue(packetWith(codeField, {QStringLiteral("01")})) << "a row must be a list";
    QTest::newRow("number in text field")
        << QCborValue(packetWith(codeField, {QCborValue(QCborArray{1})}))
        << "rows[0][0] (Code): expected text";
    QTest::newRow("fraction in integer field")
        << QCborValue(packetWith(qtyField, {QCborValue(QCborArray{1.5})})) << "expected an integer";
    QTest::newRow("nested without fields")
        << QCborValue(packetWith({fieldMap(QStringLiteral("lines"), QStringLiteral("nested"))}, {}))
        << "expected a list of fields";
}

void tst_PacketCodec::malformedPacket()
{
    QFETCH(QCborValue, cbor);
    QFETCH(QString, reason);
    Packet p;
    QString error;
    QVERIFY(!decodePacket(cbor, &p, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void tst_PacketCodec::malformedChangeSet_data()
{
    QTest::addColumn<QCborValue>("cbor");
    QTest::addColumn<QString>("reason");
    const QCborArray fields{fieldMap(QStringLiteral("Code"), QStringLiteral("string"))};
    auto delta = [&](const QCborMap &row) {
        QCborMap m;
        m.insert(QStringLiteral("fields"), fields);
        m.insert(QStringLiteral("rows"), QCborArray{row});
        return QCborValue(m);
    };
    QCborMap badOp;
    badOp.insert(QStringLiteral("op"), QStringLiteral("upsert"));
    QCborMap insertWithoutNew;
    insertWithoutNew.insert(QStringLiteral("op"), QStringLiteral("insert"));
    QCborMap deleteWrongWidth;
    deleteWrongWidth.insert(QStringLiteral("op"), QStringLiteral("delete"));
    deleteWrongWidth.insert(QStringLiteral("old"),
                            QCborArray{QStringLiteral("01"), QStringLiteral("x")});
    QCborMap maskOutOfRange;
    maskOutOfRange.insert(QStringLiteral("op"), QStringLiteral("modify"));
    maskOutOfRange.insert(QStringLiteral("old"), QCborArray{QStringLiteral("01")});
    maskOutOfRange.insert(QStringLiteral("new"), QCborArray{QStringLiteral("02")});
    maskOutOfRange.insert(QStringLiteral("changed"), QCborArray{3});
    QCborMap detailOnPlainField = maskOutOfRange;
    detailOnPlainField.insert(QStringLiteral("changed"), QCborArray{0});
    QCborMap detail;
    detail.insert(QStringLiteral("field"), 0);
    detail.insert(QStringLiteral("changes"), QCborMap{});
    detailOnPlainField.insert(QStringLiteral("details"), QCborArray{detail});

    QTest::newRow("unknown op") << delta(badOp) << "expected insert, modify or delete";
    QTest::newRow("insert without values") << delta(insertWithoutNew) << "delta.rows[0].new";
    QTest::newRow("delete of wrong width") << delta(deleteWrongWidth) << "2 cells for 1 fields";
    QTest::newRow("mask out of range") << delta(maskOutOfRange) << "field index out of range";
    QTest::newRow("details on a plain field")
        << delta(detailOnPlainField) << "must name a nested field";
    QTest::newRow("no rows") << QCborValue(QCborMap{{QStringLiteral("fields"), fields}})
                             << "expected a list of changed rows";
}

void tst_PacketCodec::malformedChangeSet()
{
    QFETCH(QCborValue, cbor);
    QFETCH(QString, reason);
    ChangeSet d;
    QString error;
    QVERIFY(!decodeChangeSet(cbor, &d, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void tst_PacketCodec::nestingIsBounded()
{
    QCborArray fields{fieldMap(QStringLiteral("leaf"), QStringLiteral("string"))};
    for (int depth = 0; depth <= MaxNesting + 1; ++depth) {
        QCborMap nested = fieldMap(QStringLiteral("level%1").arg(depth), QStringLiteral("nested"));
        nested.insert(QStringLiteral("fields"), fields);
        fields = QCborArray{nested};
    }
    Packet p;
    QString error;
    QVERIFY(!decodePacket(packetWith(fields, {}), &p, &error));
    QVERIFY2(error.contains(QStringLiteral("nested too deeply")), qPrintable(error));
}

//! The same members in the opposite order (another encoder may write them so).
static QCborMap reversed(const QCborMap &map)
{
    QCborMap out;
    for (auto it = map.end(); it != map.begin();) {
        --it;
        out.insert(it.key(), it.value());
    }
    return out;
}

static QByteArray bytesOf(const Packet &p)
{
    return QCborValue(encodePacket(p)).toCbor();
}

void tst_PacketCodec::membersComeInAnyOrder()
{
    // Rows before their fields, and changed rows with "op" last, read as they would in order.
    const Packet sent = productPacket();
    QCborMap packet = reversed(encodePacket(sent));
    QCOMPARE(packet.begin().key().toString(), QStringLiteral("eof"));
    Packet p;
    QString error;
    QVERIFY2(decodePacket(packet, &p, &error), qPrintable(error));
    QCOMPARE(bytesOf(p), bytesOf(sent));

    QCborMap delta = encodeChangeSet(productChanges());
    QCborArray rows;
    for (const QCborValue &row : delta.value(QStringLiteral("rows")).toArray())
        rows.append(reversed(row.toMap()));
    delta.insert(QStringLiteral("rows"), rows);
    ChangeSet d;
    QVERIFY2(decodeChangeSet(reversed(delta), &d, &error), qPrintable(error));
    QCOMPARE(QCborValue(encodeChangeSet(d)).toCbor(),
             QCborValue(encodeChangeSet(productChanges())).toCbor());
}

void tst_PacketCodec::containersOfUnknownLength()
{
    // {"fields": [..Code..], "rows": [_ [_ "P" "01"], [_ null]], "eof": true} with the rows,
    // each row and the first text in chunks of unknown length.
    QByteArray bytes = QByteArray::fromHex("a3") + QCborValue(QStringLiteral("fields")).toCbor() +
                       QCborValue(encodeFields({field("Code", FieldType::String, 4)})).toCbor() +
                       QCborValue(QStringLiteral("rows")).toCbor();
    bytes += QByteArray::fromHex("9f"
                                 "9f"
                                 "7f"
                                 "6150"
                                 "623031"
                                 "ff"
                                 "ff"
                                 "9f"
                                 "f6"
                                 "ff"
                                 "ff");
    bytes += QByteArray::fromHex("63656f66"
                                 "f5"); // "eof": true
    Packet p;
    QString error;
    // Read from the bytes as they came: a value tree would give them lengths.
    QVERIFY2(readPacket({bytes.constData(), bytes.size()}, &p, &error), qPrintable(error));
    QCOMPARE(p.rows.size(), 2);
    QCOMPARE(p.rows[0].value(0).toString(), QStringLiteral("P01"));
    QVERIFY(p.rows[1].value(0).isNull());
    // A row of unknown length is still measured against its fields.
    QByteArray wide = bytes;
    wide.replace(QByteArray::fromHex("9ff6ff"), QByteArray::fromHex("9ff6f6ff"));
    QVERIFY(!readPacket({wide.constData(), wide.size()}, &p, &error));
    QCOMPARE(error, QStringLiteral("rows[1]: 2 cells for 1 fields"));
}

void tst_PacketCodec::errorsDoNotDependOnMemberOrder_data()
{
    QTest::addColumn<QCborMap>("map");
    QTest::addColumn<bool>("isPacket");
    QTest::addColumn<QString>("reason");
    const QCborArray codeField{fieldMap(QStringLiteral("Code"), QStringLiteral("string"))};
    const QCborArray badField{fieldMap(QStringLiteral("Code"), QStringLiteral("decimal"))};
    const QCborArray badRows{QCborArray{1}};
    QTest::newRow("fields before rows")
        << packetWith(badField, badRows) << true << "fields[0] (Code): unknown type \"decimal\"";
    QCborMap badEof = packetWith(codeField, badRows);
    badEof.insert(QStringLiteral("eof"), QStringLiteral("yes"));
    QTest::newRow("rows before eof") << badEof << true << "rows[0][0] (Code): expected text";

    auto delta = [&](const QCborMap &row) {
        QCborMap m;
        m.insert(QStringLiteral("fields"), codeField);
        m.insert(QStringLiteral("rows"), QCborArray{row});
        return m;
    };
    QCborMap badOp;
    badOp.insert(QStringLiteral("op"), QStringLiteral("upsert"));
    badOp.insert(QStringLiteral("old"), QCborArray{1});
    QTest::newRow("op before old")
        << delta(badOp) << false << "delta.rows[0].op: expected insert, modify or delete";
    QCborMap badNew;
    badNew.insert(QStringLiteral("op"), QStringLiteral("modify"));
    badNew.insert(QStringLiteral("old"), QCborArray{QStringLiteral("01")});
    badNew.insert(QStringLiteral("new"), QCborArray{2});
    badNew.insert(QStringLiteral("changed"), QCborArray{5});
    QTest::newRow("new before changed")
        << delta(badNew) << false << "delta.rows[0].new[0] (Code): expected text";
    QCborMap badSet;
    badSet.insert(QStringLiteral("fields"), badField);
    badSet.insert(QStringLiteral("rows"), 7);
    QTest::newRow("change set fields before rows")
        << badSet << false << "delta.fields[0] (Code): unknown type \"decimal\"";
}

void tst_PacketCodec::errorsDoNotDependOnMemberOrder()
{
    QFETCH(QCborMap, map);
    QFETCH(bool, isPacket);
    QFETCH(QString, reason);
    auto errorOf = [&](const QCborMap &m) {
        QString error;
        Packet p;
        ChangeSet d;
        QCborMap in = m;
        if (!isPacket) { // the faulty changed row is reversed too
            QCborArray rows = m.value(QStringLiteral("rows")).toArray();
            if (!rows.isEmpty())
                rows[0] = reversed(rows.at(0).toMap());
            if (m.value(QStringLiteral("rows")).isArray())
                in.insert(QStringLiteral("rows"), rows);
        }
        const bool ok = isPacket ? decodePacket(in, &p, &error) : decodeChangeSet(in, &d, &error);
        return ok ? QString() : error;
    };
    QString inOrder;
    Packet p;
    ChangeSet d;
    QVERIFY(isPacket ? !decodePacket(map, &p, &inOrder) : !decodeChangeSet(map, &d, &inOrder));
    QCOMPARE(inOrder, reason);
    QCOMPARE(errorOf(reversed(map)), reason);
}

QTEST_GUILESS_MAIN(tst_PacketCodec)
#include "tst_PacketCodec.moc"
