#include "LumoDatasetprovider.h"

#include "LumoADOC.h"
#include "OrderPrices.h"
#include "PlantIni.h"
#include "Posting.h"
#include "ProviderFields.h"
#include "ReadConnections.h"
#include "ReadOnlyTransaction.h"
#include "Resolver.h"
#include "RowCursor.h"
#include "ServerCursor.h"
#include "SqlStatement.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <optional>

namespace korvane {

namespace {

// -1: as Plant.ini says; 0 or 1: set for this process.
std::atomic<int> g_commandTextAllowed{-1};

// Heads per detail statement: well below the parameter limits of both databases.
constexpr int kHeadsPerDetailStatement = 500;

QString withoutTrailingSemicolon(QString text)
{
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    return text;
}

} // namespace

bool commandTextAllowed()
{
    const int set = g_commandTextAllowed.load();
    if (set >= 0)
        return set == 1;
    // Read afresh each time, so an administrator's change needs no restart.
    return PlantIni(plantIniPath())
        .readBool(QStringLiteral("KORVANE"), QStringLiteral("AllowCommandText"), false);
}

void setCommandTextAllowed(bool allowed)
{
    g_commandTextAllowed.store(allowed ? 1 : 0);
}

TLumoDatasetprovider::TLumoDatasetprovider(const ProviderDef &def, TLumoADOC *connection,
                                           QObject *parent)
    : QObject(parent), m_def(def), m_connection(connection)
{
    setObjectName(def.name);
}

TLumoDatasetprovider::~TLumoDatasetprovider() = default;

QString TLumoDatasetprovider::statementText(const QString &commandText) const
{
    if (!commandText.trimmed().isEmpty()) {
        if (!commandTextAllowed())
            throw ServerError(QStringLiteral(
                "Statements sent by a client are refused; an administrator can allow them "
                "with AllowCommandText=1 in section KORVANE of Plant.ini"));
        // One statement only: a second one could write, whatever the reading path is.
        if (!isOneStatement(commandText))
            throw ServerError(
                QStringLiteral("A statement sent by a client must be a single statement"));
        return commandText;
    }
    if (m_def.sql.trimmed().isEmpty())
        throw ServerError(QStringLiteral("Provider %1 has no statement").arg(m_def.name));
    return m_def.sql;
}

std::unique_ptr<QSqlQuery> TLumoDatasetprovider::runQuery(const QString &sql,
                                                          const QVariantList &values)
{
    // PostgreSQL's forward-only results stream row by row and are lost when another
    // statement runs on the connection (a catalogue lookup); its full results are not.
    const QSqlDatabase db = m_connection->database(); // connects: then the driver is known
    return runQueryOn(db, sql, values, !m_connection->isPostgres());
}

std::unique_ptr<QSqlQuery> TLumoDatasetprovider::runQueryOn(const QSqlDatabase &db,
                                                            const QString &sql,
                                                            const QVariantList &values,
                                                            bool forwardOnly)
{
    auto q = std::make_unique<QSqlQuery>(db);
    q->setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    q->setForwardOnly(forwardOnly);
    if (!q->prepare(sql))
        throw ServerError(errorText(q->lastError()));
    for (int i = 0; i < values.size(); ++i)
        q->bindValue(i, values[i]);
    if (!q->exec())
        throw ServerError(errorText(q->lastError()));
    return q;
}

Fields TLumoDatasetprovider::describe(const QString &text, const QString &updateTable)
{
    const SqlStatement st(withoutTrailingSemicolon(text));
    const QString wrapped =
        QStringLiteral("SELECT * FROM (%1) korvane_meta WHERE 1=0").arg(st.positionalText());
    auto q = runQuery(wrapped, SqlStatement::bindValues(st.parameterSlots(), Params()));
    return describeFields(q->record(), st, updateTable, m_connection->catalog());
}

QString TLumoDatasetprovider::updateTable()
{
    const QString name =
        m_def.updateTable.isEmpty() ? SqlStatement(m_def.sql).firstTable() : m_def.updateTable;
    return name.isEmpty() ? QString() : m_connection->catalog().tableName(name);
}

Fields TLumoDatasetprovider::detailFields()
{
    if (m_detailFields.isEmpty() && hasDetail())
        m_detailFields = describe(m_def.detailSql, SqlStatement(m_def.detailSql).firstTable());
    return m_detailFields;
}

bool TLumoDatasetprovider::hasDetail() const
{
    return !m_def.detailSql.trimmed().isEmpty();
}

FieldDef TLumoDatasetprovider::nestedField()
{
    FieldDef nested;
    nested.name = m_def.detailField;
    nested.type = FieldType::Nested;
    nested.fields = detailFields();
    return nested;
}

Fields TLumoDatasetprovider::fields()
{
    if (m_fields.isEmpty()) {
        Fields fields = describe(m_def.sql, updateTable());
        if (hasDetail())
            fields << nestedField();
        m_fields = fields;
    }
    return m_fields;
}

Params TLumoDatasetprovider::params() const
{
    Params list;
    for (const QString &name : SqlStatement(m_def.sql).parameterNames())
        list << Param{name, QVariant()};
    return list;
}

void TLumoDatasetprovider::reset()
{
    m_cursor.reset();
}

void TLumoDatasetprovider::open(const QString &commandText, const Params &params, int count)
{
    reset();
    const bool own = commandText.trimmed().isEmpty();
    const SqlStatement st(withoutTrailingSemicolon(statementText(commandText)));
    const QString table = own ? updateTable() : st.firstTable();
    const bool nested = hasDetail();
    const FieldDef lines = nested ? nestedField() : FieldDef();
    const QVariantList values = SqlStatement::bindValues(st.parameterSlots(), params);
    const auto fieldsOf = [&](const QSqlQuery &query) {
        Fields fields = describeFields(query.record(), st, table, m_connection->catalog());
        if (nested)
            fields << lines;
        return fields;
    };
    // An opening read packet by packet holds its statement open on a read connection;
    // one that wants every row now, or finds no read connection, is read in full here.
    std::unique_ptr<ReadLease> lease = count < 0 ? nullptr : m_connection->leaseReadConnection();
    if (lease && lease->database().driverName() == QLatin1String("QPSQL")) {
        // The first fetch takes the packet and the row after it, to know the end.
        auto cursor = ServerCursor::declare(lease->database(), st, values, count + 1);
        if (cursor) {
            Fields fields = fieldsOf(cursor->rows());
            m_cursor =
                std::make_unique<RowCursor>(std::move(lease), std::move(cursor), std::move(fields));
            return;
        }
        // A statement no cursor can hold (or a broken one) runs here, which reports why.
        lease->discard();
        lease.reset();
    }
    if (lease) {
        auto query = runQueryOn(lease->database(), st.positionalText(), values, true);
        Fields fields = fieldsOf(*query);
        m_cursor =
            std::make_unique<RowCursor>(std::move(lease), std::move(query), std::move(fields));
        return;
    }
    auto query = runQuery(st.positionalText(), values);
    m_cursor = std::make_unique<RowCursor>(*query, fieldsOf(*query));
}

Packet TLumoDatasetprovider::getRecords(const GetRecordsRequest &request)
{
    // The first request of an opening asks for metadata and a restart; later requests of
    // the same opening carry neither and continue where the previous packet ended.
    const bool continues = !(request.options & (grMetaData | grReset)) && m_cursor &&
                           request.params.isEmpty() && request.commandText.isEmpty();
    if (!continues)
        open(request.commandText, request.params, request.count);
    if (m_cursor)
        m_cursor->setPacketRows(request.count);
    Packet packet;
    packet.fields = m_cursor ? m_cursor->fields() : fields();
    PacketRow row;
    while (request.count != 0 && (request.count < 0 || packet.rows.size() < request.count) &&
           m_cursor && m_cursor->next(&row))
        packet.rows << row;
    if (m_cursor && m_cursor->atEnd())
        reset();
    packet.eof = !m_cursor;
    attachDetails(&packet.rows, packet.fields);
    return packet;
}

void TLumoDatasetprovider::attachDetails(PacketRows *rows, const Fields &fields)
{
    if (!hasDetail() || rows->isEmpty())
        return;
    const SqlStatement detail(withoutTrailingSemicolon(m_def.detailSql));
    if (!attachDetailsInOneStatement(rows, fields, detail))
        attachDetailsPerRow(rows, fields, detail);
}

bool TLumoDatasetprovider::attachDetailsInOneStatement(PacketRows *rows, const Fields &fields,
                                                       const SqlStatement &detail)
{
    const QStringList params = detail.parameterNames();
    const Fields lineFields = detailFields();
    const int nested = indexOfField(fields, m_def.detailField);
    if (params.size() != 1 || nested < 0)
        return false;
    const QString link = params.first();
    const int headColumn = indexOfField(fields, link);
    const int lineColumn = indexOfField(lineFields, link);
    QString text;
    QStringList names;
    if (headColumn < 0 || lineColumn < 0 || !detail.inListText(link, 1, &text, &names))
        return false;

    QVariantList keys;
    QSet<QString> seen;
    for (const PacketRow &row : std::as_const(*rows)) {
        const QVariant v = row.value(headColumn);
        if (!v.isNull() && !seen.contains(v.toString())) {
            seen.insert(v.toString());
            keys << v;
        }
    }
    QHash<QString, PacketRows> lines;
    for (int from = 0; from < keys.size(); from += kHeadsPerDetailStatement) {
        const QVariantList chunk = keys.mid(from, kHeadsPerDetailStatement);
        detail.inListText(link, chunk.size(), &text, &names);
        Params values;
        for (int k = 0; k < chunk.size(); ++k)
            values << Param{link + QLatin1Char('#') + QString::number(k), chunk[k]};
        auto q = runQuery(text, SqlStatement::bindValues(names, values));
        while (q->next()) {
            const PacketRow line = readRow(*q, lineFields);
            lines[line.value(lineColumn).toString()] << line;
        }
    }
    for (PacketRow &row : *rows)
        row.setDetailRows(nested, lines.value(row.value(headColumn).toString()));
    return true;
}

void TLumoDatasetprovider::attachDetailsPerRow(PacketRows *rows, const Fields &fields,
                                               const SqlStatement &detail)
{
    const int nested = indexOfField(fields, m_def.detailField);
    if (nested < 0)
        return;
    const Fields lineFields = detailFields();
    const QStringList names = detail.parameterSlots();
    for (PacketRow &row : *rows) {
        Params values;
        for (const QString &name : detail.parameterNames()) {
            const int column = indexOfField(fields, name);
            if (column < 0)
                throw ServerError(
                    QStringLiteral("The detail of %1 is linked by :%2, which is no column of "
                                   "its head")
                        .arg(m_def.name, name));
            values << Param{name, row.value(column)};
        }
        auto q = runQuery(detail.positionalText(), SqlStatement::bindValues(names, values));
        PacketRows lines;
        while (q->next())
            lines << readRow(*q, lineFields);
        row.setDetailRows(nested, lines);
    }
}

ResolveTarget TLumoDatasetprovider::resolveTarget()
{
    ResolveTarget target;
    target.table = updateTable();
    target.fields = fields();
    if (hasDetail()) {
        const SqlStatement detail(m_def.detailSql);
        ResolveTarget lines;
        lines.table = m_connection->catalog().tableName(detail.firstTable());
        lines.fields = detailFields();
        lines.nestedField = m_def.detailField;
        lines.linkColumn = detail.parameterNames().value(0);
        target.details.push_back(lines);
    }
    return target;
}

ApplyResult TLumoDatasetprovider::applyUpdates(const ChangeSet &delta, int maxErrors)
{
    const ResolveTarget target = resolveTarget();
    if (target.table.isEmpty())
        throw ServerError(QStringLiteral("Provider %1 cannot be updated").arg(m_def.name));
    if (!m_resolver)
        m_resolver = std::make_unique<Resolver>(m_connection->database(), m_connection->catalog());
    const bool refresh = m_def.options == ProviderOptions::A;
    const bool posts = Posting::posts(target.table);
    if (!posts && !OrderPrices::updates(target.table))
        return m_resolver->apply(target, delta, maxErrors, refresh);
    // Checked documents move the balances, and checked orders their products' prices,
    // within the same transaction.
    std::optional<Posting> posting;
    if (posts)
        posting.emplace(m_connection->database(), target.table);
    OrderPrices prices(m_connection->database(), target.table);
    const ApplyHooks hooks{[&] {
                               if (posting)
                                   posting->before(delta);
                               prices.before(delta);
                           },
                           [&] {
                               if (posting)
                                   posting->after();
                               prices.after();
                           }};
    return m_resolver->apply(target, delta, maxErrors, refresh, hooks);
}

void TLumoDatasetprovider::execute(const QString &commandText, const Params &params)
{
    const SqlStatement st(withoutTrailingSemicolon(statementText(commandText)));
    runQuery(st.positionalText(), SqlStatement::bindValues(st.parameterSlots(), params));
}

} // namespace korvane
