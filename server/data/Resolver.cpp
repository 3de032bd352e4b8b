#include "Resolver.h"

#include "ProviderFields.h"
#include "SchemaCatalog.h"
#include "ServerError.h"

#include <QSqlError>

#include <map>
#include <memory>
#include <mutex>

namespace korvane {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QVariant valueAt(const RowValues &values, int index)
{
    return index >= 0 && index < values.size() ? values[index] : QVariant();
}

bool isNullValue(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

bool isReferenceError(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("23503")  // PostgreSQL foreign_key_violation
           || code == QLatin1String("787") // SQLite SQLITE_CONSTRAINT_FOREIGNKEY
           || error.databaseText().contains(QLatin1String("FOREIGN KEY constraint failed"),
                                            Qt::CaseInsensitive);
}

QVariant typedNull(FieldType type)
{
    switch (type) {
    case FieldType::Float:
        return QVariant(QMetaType::fromType<double>());
    case FieldType::Integer:
        return QVariant(QMetaType::fromType<qlonglong>());
    case FieldType::Boolean:
        return QVariant(QMetaType::fromType<bool>());
    case FieldType::Blob:
        return QVariant(QMetaType::fromType<QByteArray>());
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

//! Rolls the transaction back unless it was committed.
//! The writers of one embedded database file take turns inside this process: each module
//! instance has its own connection, and the file's own lock would make a waiting writer
//! poll (and, under a long queue, give up) instead of queueing.
std::unique_lock<std::mutex> embeddedWriterTurn(const QSqlDatabase &db)
{
    if (db.driverName() != QLatin1String("QSQLITE"))
        return {};
    static std::mutex guard;
    static std::map<QString, std::unique_ptr<std::mutex>> turns;
    std::mutex *turn = nullptr;
    {
        const std::lock_guard<std::mutex> lock(guard);
        auto &slot = turns[db.databaseName()];
        if (!slot)
            slot = std::make_unique<std::mutex>();
        turn = slot.get();
    }
    return std::unique_lock<std::mutex>(*turn);
}

//! Begins the apply's transaction. The embedded database takes its write lock at once:
//! an apply reads before it writes (posting), and two readers that both want to write
//! would otherwise refuse each other instead of waiting their turn.
void beginWriting(QSqlDatabase &db)
{
    if (db.driverName() != QLatin1String("QSQLITE")) {
        if (!db.transaction())
            throw ServerError(db.lastError().text());
        return;
    }
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        throw ServerError(begin.lastError().text());
}

class TransactionGuard
{
public:
    explicit TransactionGuard(QSqlDatabase db) : m_db(db) {}
    ~TransactionGuard()
    {
        if (!m_done)
            m_db.rollback();
    }
    bool commit()
    {
        m_done = m_db.commit();
        return m_done;
    }
    void rollback()
    {
        m_db.rollback();
        m_done = true;
    }

private:
    QSqlDatabase m_db;
    bool m_done = false;
};

} // namespace

const ResolveTarget *ResolveTarget::detail(const QString &name) const
{
    for (const ResolveTarget &d : details) {
        if (sameName(d.nestedField, name))
            return &d;
    }
    return nullptr;
}

Resolver::Resolver(const QSqlDatabase &db, SchemaCatalog &catalog)
    : m_db(db), m_catalog(catalog), m_postgres(db.driverName() == QLatin1String("QPSQL"))
{
    m_control = [db](const QString &sql) {
        QSqlQuery q(db);
        return q.exec(sql) ? QSqlError() : q.lastError();
    };
    m_returning = m_postgres;
    if (!m_postgres) { // INSERT ... RETURNING came with SQLite 3.35
        QSqlQuery q(m_db);
        if (q.exec(QStringLiteral("SELECT sqlite_version()")) && q.next()) {
            const QStringList v = q.value(0).toString().split(QLatin1Char('.'));
            m_returning =
                v.value(0).toInt() > 3 || (v.value(0).toInt() == 3 && v.value(1).toInt() >= 35);
        }
    }
}

QString Resolver::quoted(const QString &name) const
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

const QList<Resolver::Column> &Resolver::columnsOf(const ResolveTarget &target,
                                                   const ChangeSet &set)
{
    // Every row of a change set has the same columns: worked out once per set.
    auto known = m_columns.find(&set);
    if (known != m_columns.end())
        return known->second;
    QList<Column> &columns = m_columns[&set];
    const TableInfo *table = m_catalog.table(target.table);
    if (!table)
        return columns;
    for (int i = 0; i < set.fields.size(); ++i) {
        // Flags come from the provider, never from what the client sent.
        const int p = indexOfField(target.fields, set.fields[i].name);
        if (p < 0 || !(target.fields[p].flags & pfInUpdate))
            continue;
        const ColumnInfo *c = table->column(target.fields[p].name);
        if (!c)
            continue;
        columns << Column{i,
                          p,
                          c->name,
                          quoted(c->name),
                          target.fields[p].name,
                          c->type,
                          c->width,
                          bool(target.fields[p].flags & pfInWhere)};
    }
    return columns;
}

QSqlQuery *Resolver::prepared(const QString &sql, QSqlError *error)
{
    auto it = m_prepared.find(sql);
    if (it == m_prepared.end()) {
        QSqlQuery q(m_db);
        q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        // SQLite then keeps no cache of the rows a statement returns (it returns one at
        // most); PostgreSQL's forward-only mode would stream them row by row instead.
        q.setForwardOnly(!m_postgres);
        if (!q.prepare(sql)) {
            *error = q.lastError();
            return nullptr;
        }
        it = m_prepared.insert(sql, q);
    }
    return &it.value();
}

void Resolver::control(const QString &sql)
{
    // A savepoint that cannot be rolled back or released would let a refused row's half
    // be committed with the rest: the whole request goes back instead.
    const QSqlError error = m_control(sql);
    if (error.isValid())
        throw ServerError(QStringLiteral("The changes were not saved: the database refused "
                                         "\"%1\" (%2)")
                              .arg(sql, error.text()));
}

QSqlQuery *Resolver::run(const QString &sql, const QVariantList &values, Failure *failure)
{
    QSqlError error;
    QSqlQuery *q = prepared(sql, &error);
    if (q) {
        for (int i = 0; i < values.size(); ++i)
            q->bindValue(i, values[i]);
        if (q->exec())
            return q;
        error = q->lastError();
    }
    failure->message = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    failure->code = isReferenceError(error) ? ForeignKeyRefused : 0;
    return nullptr;
}

bool Resolver::valueFor(const Column &column, const QVariant &raw, QVariant *out,
                        Failure *failure) const
{
    if (!columnValue(raw, column.type, out)) {
        failure->message = QStringLiteral("The value of %1 is not a number: \"%2\"")
                               .arg(column.label, raw.toString());
        return false;
    }
    if (isNullValue(*out)) {
        *out = typedNull(column.type);
        return true;
    }
    if (column.type == FieldType::String && column.width > 0 &&
        out->toString().size() > column.width) {
        failure->message =
            QStringLiteral("The value of %1 is too long: %2 characters, at most %3 fit")
                .arg(column.label)
                .arg(out->toString().size())
                .arg(column.width);
        return false;
    }
    return true;
}

bool Resolver::applyRow(const ResolveTarget &target, const QList<Column> &columns,
                        const ChangeRow &row, const MasterValue &master, Failure *failure)
{
    const QString table = quoted(m_catalog.tableName(target.table));
    QStringList names;
    QVariantList values;
    auto add = [&](const Column &c, const QVariant &raw) {
        QVariant v;
        if (!valueFor(c, raw, &v, failure))
            return false;
        names << c.quotedName;
        values << v;
        return true;
    };

    if (row.op == ChangeOp::Insert) {
        for (const Column &c : columns) {
            QVariant raw = valueAt(row.newValues, c.index);
            if (isNullValue(raw) && master && sameName(c.name, target.linkColumn))
                raw = master(c.name); // a line under a new head takes the head's key
            if (!isNullValue(raw) && !add(c, raw))
                return false;
        }
        if (names.isEmpty()) {
            failure->message = QStringLiteral("The new row has no values to insert");
            return false;
        }
        QStringList marks(names.size(), QStringLiteral("?"));
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        QStringList stored;
        if (m_refresh && m_returning) { // the row as stored comes back with the insert
            for (const Column &c : columns)
                stored << c.quotedName;
            sql += QStringLiteral(" RETURNING ") + stored.join(QLatin1Char(','));
        }
        QSqlQuery *q = run(sql, values, failure);
        if (q && !stored.isEmpty() && q->next()) {
            QVariantList &storedRow = m_stored[&row];
            storedRow.clear(); // a row applied again after its batch went back
            for (int i = 0; i < stored.size(); ++i)
                storedRow << q->value(i);
        }
        if (q)
            q->finish();
        return q != nullptr;
    }

    if (row.op == ChangeOp::Modify) {
        for (const Column &c : columns) {
            const bool changed = c.index < row.changed.size() ? row.changed.testBit(c.index)
                                                              : valueAt(row.newValues, c.index) !=
                                                                    valueAt(row.oldValues, c.index);
            if (changed && !add(c, valueAt(row.newValues, c.index)))
                return false;
        }
        if (names.isEmpty())
            return true; // only its lines changed
    }

    QStringList where;
    QVariantList whereValues;
    for (const Column &c : columns) {
        if (!c.key)
            continue;
        QVariant v;
        if (!columnValue(valueAt(row.oldValues, c.index), c.type, &v))
            v = valueAt(row.oldValues, c.index);
        if (isNullValue(v)) {
            where << c.quotedName + QStringLiteral(" IS NULL");
        } else {
            where << c.quotedName + QStringLiteral(" = ?");
            whereValues << v;
        }
    }
    if (where.isEmpty()) {
        failure->message =
            QStringLiteral("Table %1 has no key columns; its rows cannot be located").arg(table);
        return false;
    }
    QString sql;
    if (row.op == ChangeOp::Modify) {
        QStringList sets;
        for (const QString &n : names)
            sets << n + QStringLiteral(" = ?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                  .arg(table, sets.join(QLatin1Char(',')), where.join(QLatin1String(" AND ")));
    } else {
        sql = QStringLiteral("DELETE FROM %1 WHERE %2")
                  .arg(table, where.join(QLatin1String(" AND ")));
    }
    QSqlQuery *q = run(sql, values + whereValues, failure);
    if (!q)
        return false;
    const int affected = q->numRowsAffected();
    q->finish();
    if (affected != 1) {
        // Rows are found by their key alone: other columns may have changed meanwhile.
        failure->message = QStringLiteral(
            "No row with this key exists any more; another user may have deleted it or "
            "changed its key");
        return false;
    }
    return true;
}

bool Resolver::applyDetails(const ResolveTarget &target, const ChangeSet &delta,
                            const ChangeRow &row, Applied *applied)
{
    const RowValues &masterValues = row.op == ChangeOp::Delete ? row.oldValues : row.newValues;
    const MasterValue master = [&](const QString &column) {
        return valueAt(masterValues, indexOfField(delta.fields, column));
    };
    // Lines go in the order that keeps keys free: removed first, then changed, then new.
    for (ChangeOp op : {ChangeOp::Delete, ChangeOp::Modify, ChangeOp::Insert}) {
        for (const auto &[fieldIndex, set] : row.details) {
            const QString name = delta.fields.value(fieldIndex).name;
            const ResolveTarget *detail = target.detail(name);
            const QList<Column> columns = detail ? columnsOf(*detail, set) : QList<Column>();
            for (int i = 0; i < set.rows.size(); ++i) {
                if (set.rows[i].op != op)
                    continue;
                Failure failure;
                if (!detail || detail->table.isEmpty()) {
                    failure.message = QStringLiteral("%1 cannot be updated").arg(name);
                } else if (applyRow(*detail, columns, set.rows[i], master, &failure)) {
                    continue;
                }
                const ChangeRow &line = set.rows[i];
                *applied = Applied{fieldIndex, i, failure, true,
                                   op == ChangeOp::Delete ? line.oldValues : line.newValues};
                return false;
            }
        }
    }
    return true;
}

Resolver::Applied Resolver::applyGroup(const ResolveTarget &target, const ChangeSet &delta,
                                       int index, bool alone)
{
    const ChangeRow &row = delta.rows[index];
    const bool savepoint = alone && needsSavepoint(row);
    Applied applied;
    if (savepoint)
        control(QStringLiteral("SAVEPOINT korvane_row"));
    const QList<Column> &columns = columnsOf(target, delta);
    auto master = [&](Failure *failure) {
        return applyRow(target, columns, row, nullptr, failure);
    };
    bool ok = false;
    if (row.op == ChangeOp::Delete) {
        ok = applyDetails(target, delta, row, &applied) && master(&applied.failure);
    } else {
        ok = master(&applied.failure) && applyDetails(target, delta, row, &applied);
    }
    applied.failed = !ok;
    if (savepoint) {
        if (!ok)
            control(QStringLiteral("ROLLBACK TO SAVEPOINT korvane_row"));
        control(QStringLiteral("RELEASE SAVEPOINT korvane_row"));
    }
    return applied;
}

bool Resolver::needsSavepoint(const ChangeRow &row) const
{
    // A failed statement aborts a PostgreSQL transaction, and a head with its lines must go
    // or stay as one: both need a savepoint; a lone row on SQLite is atomic by itself.
    return m_postgres || !row.details.isEmpty();
}

bool Resolver::applyAtOnce(const ResolveTarget &target, const ChangeSet &delta, int from, int to,
                           QList<bool> *appliedRows)
{
    control(QStringLiteral("SAVEPOINT korvane_rows"));
    for (int i = from; i < to; ++i) {
        if (applyGroup(target, delta, i, false).failed) {
            control(QStringLiteral("ROLLBACK TO SAVEPOINT korvane_rows"));
            control(QStringLiteral("RELEASE SAVEPOINT korvane_rows"));
            for (int k = from; k < i; ++k)
                (*appliedRows)[k] = false;
            return false;
        }
        (*appliedRows)[i] = true;
    }
    control(QStringLiteral("RELEASE SAVEPOINT korvane_rows"));
    return true;
}

ApplyResult Resolver::apply(const ResolveTarget &target, const ChangeSet &delta, int maxErrors,
                            bool refresh, const ApplyHooks &hooks)
{
    ApplyResult result;
    if (delta.isEmpty())
        return result;
    m_columns.clear();
    m_stored.clear();
    m_refresh = refresh;
    if (target.table.isEmpty() || !m_catalog.table(target.table))
        throw ServerError(QStringLiteral("The provider cannot be updated"));
    const std::unique_lock<std::mutex> turn = embeddedWriterTurn(m_db);
    beginWriting(m_db);
    TransactionGuard transaction(m_db);
    if (hooks.before)
        hooks.before();
    QList<bool> appliedRows(delta.rows.size(), false);
    // Without tolerated errors the first refusal takes the whole request back, so no row
    // needs a savepoint of its own. With them, rows go in a batch under one savepoint; a
    // batch with a refusal in it goes back and is applied again a row at a time, each in
    // its own savepoint, so a refused row (or head with its lines) leaves nothing behind
    // and the others stand.
    const bool tolerant = maxErrors != 0;
    for (int from = 0; from < delta.rows.size(); from += kRowsPerBatch) {
        const int to = int(qMin(delta.rows.size(), qsizetype(from) + kRowsPerBatch));
        bool batched = false;
        if (tolerant) {
            for (int i = from; i < to && !batched; ++i)
                batched = needsSavepoint(delta.rows[i]);
            if (batched && applyAtOnce(target, delta, from, to, &appliedRows))
                continue;
        }
        for (int i = from; i < to; ++i) {
            const Applied applied = applyGroup(target, delta, i, tolerant);
            appliedRows[i] = !applied.failed;
            if (!applied.failed)
                continue;
            result.errors << errorOf(delta, i, applied);
            result.errorCount = result.errors.size();
            if (maxErrors >= 0 && result.errorCount > maxErrors) {
                transaction.rollback();
                return result;
            }
        }
    }
    if (hooks.after)
        hooks.after();
    // Read back inside the transaction: the rows as committed, without a lock per row.
    if (refresh) {
        result.refreshed.fields = target.fields;
        for (int i = 0; i < delta.rows.size(); ++i) {
            if (appliedRows[i] && delta.rows[i].op != ChangeOp::Delete)
                result.refreshed.rows << refreshedRow(target, delta, delta.rows[i], nullptr);
        }
    }
    if (!transaction.commit()) {
        ApplyError error;
        error.message = m_db.lastError().text();
        result.errors << error;
        result.errorCount = result.errors.size();
        result.refreshed = Packet();
    }
    return result;
}

ApplyError Resolver::errorOf(const ChangeSet &delta, int index, const Applied &applied)
{
    const ChangeRow &row = delta.rows[index];
    ApplyError error;
    error.row = index;
    error.detailField = applied.detailField;
    error.detailRow = applied.detailRow;
    error.message = applied.failure.message;
    error.errorCode = applied.failure.code;
    error.values = applied.detailField >= 0     ? applied.values
                   : row.op == ChangeOp::Delete ? row.oldValues
                                                : row.newValues;
    return error;
}

QVariantList Resolver::readBack(const ResolveTarget &target, const QList<Column> &columns,
                                const ChangeRow &row, const MasterValue &master)
{
    QStringList names;
    QStringList where;
    QVariantList keys;
    for (const Column &c : columns) {
        names << c.quotedName;
        if (!c.key)
            continue;
        QVariant raw = valueAt(row.newValues, c.index);
        if (isNullValue(raw) && master && sameName(c.name, target.linkColumn))
            raw = master(c.name);
        QVariant v;
        columnValue(raw, c.type, &v);
        where << c.quotedName +
                     (isNullValue(v) ? QStringLiteral(" IS NULL") : QStringLiteral(" = ?"));
        if (!isNullValue(v))
            keys << v;
    }
    QVariantList values;
    QSqlError error;
    QSqlQuery *q = names.isEmpty() || where.isEmpty()
                       ? nullptr
                       : prepared(QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                      .arg(names.join(QLatin1Char(',')),
                                           quoted(m_catalog.tableName(target.table)),
                                           where.join(QLatin1String(" AND "))),
                                  &error);
    if (!q)
        return values;
    for (int i = 0; i < keys.size(); ++i)
        q->bindValue(i, keys[i]);
    if (q->exec() && q->next()) {
        for (int i = 0; i < columns.size(); ++i)
            values << q->value(i);
    }
    q->finish();
    return values;
}

PacketRow Resolver::refreshedRow(const ResolveTarget &target, const ChangeSet &set,
                                 const ChangeRow &row, const MasterValue &master)
{
    const QList<Column> &columns = columnsOf(target, set);
    PacketRow out;
    out.reserve(target.fields.size());
    for (const FieldDef &f : target.fields)
        out << (f.type == FieldType::Nested
                    ? QVariant()
                    : valueAt(row.newValues, indexOfField(set.fields, f.name)));
    const auto stored = m_stored.find(&row);
    const QVariantList values =
        stored != m_stored.end() ? stored->second : readBack(target, columns, row, master);
    for (int i = 0; i < columns.size() && i < values.size(); ++i)
        out[columns[i].field] = cellValue(values[i], target.fields[columns[i].field].type);
    for (const auto &[fieldIndex, detailSet] : row.details) {
        const QString name = set.fields.value(fieldIndex).name;
        const ResolveTarget *detail = target.detail(name);
        const int f = indexOfField(target.fields, name);
        if (!detail || f < 0)
            continue;
        const MasterValue head = [&](const QString &column) {
            return valueAt(row.newValues, indexOfField(set.fields, column));
        };
        PacketRows lines;
        for (const ChangeRow &line : detailSet.rows) {
            if (line.op != ChangeOp::Delete)
                lines << refreshedRow(*detail, detailSet, line, head);
        }
        out.setDetailRows(f, lines);
    }
    return out;
}

} // namespace korvane
