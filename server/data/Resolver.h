#pragma once
//! The change-set resolver: the only code that writes SQL for an apply. One transaction per
//! request; each master row with its nested detail rows is applied as one unit, so a refused
//! row leaves nothing of itself behind; more errors than tolerated roll the whole request
//! back, and so does a savepoint statement the database refuses. Where errors are tolerated,
//! rows go in batches under one savepoint and a batch with a refusal is applied again a row
//! (a savepoint) at a time.

#include "Packet.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>
#include <unordered_map>
#include <vector>

namespace korvane {

class SchemaCatalog;

//! Where a change set goes: the update table, the provider's fields (flags derived from the
//! catalogue; nested fields carry their own), and per nested field its own target.
struct ResolveTarget
{
    QString table; // update table; empty when the provider cannot be updated
    Fields fields;
    QString nestedField; // for a detail target: the nested field's name in its master
    QString linkColumn;  // for a detail target: the column its link parameter names
    std::vector<ResolveTarget> details;

    const ResolveTarget *detail(const QString &nestedField) const;
};

//! Work done inside an apply's transaction around its rows (posting): before runs once the
//! transaction has begun, after once every row is applied and before the commit. Either may
//! throw ServerError; the whole apply is then rolled back and the error goes on.
struct ApplyHooks
{
    std::function<void()> before;
    std::function<void()> after;
};

class Resolver
{
public:
    Resolver(const QSqlDatabase &db, SchemaCatalog &catalog);

    //! maxErrors: errors tolerated before everything is rolled back; -1 tolerates any number.
    //! refresh: return the applied rows as they now stand.
    //! Throws ServerError, with nothing applied, when a savepoint statement fails.
    ApplyResult apply(const ResolveTarget &target, const ChangeSet &delta, int maxErrors,
                      bool refresh, const ApplyHooks &hooks = ApplyHooks());

    //! Runs SAVEPOINT, ROLLBACK TO SAVEPOINT and RELEASE SAVEPOINT; answers the database's
    //! error, an invalid one when the statement worked. Tests put in one that refuses.
    using ControlStatement = std::function<QSqlError(const QString &sql)>;
    void setControlStatement(ControlStatement run) { m_control = std::move(run); }

private:
    struct Column
    {
        int index;    // in the change set's fields
        int field;    // in the provider's fields
        QString name; // the database's spelling
        QString quotedName;
        QString label; // the provider's spelling, for messages
        FieldType type;
        int width;
        bool key;
    };
    struct Failure
    {
        QString message;
        int code = 0;
    };
    struct Applied
    {
        int detailField = -1;
        int detailRow = -1;
        Failure failure;
        bool failed = false;
        RowValues values; // of the refused line; a refused head's are taken from the head
    };
    using MasterValue = std::function<QVariant(const QString &column)>;

    const QList<Column> &columnsOf(const ResolveTarget &target, const ChangeSet &set);
    //! Rows applied together under one savepoint when errors are tolerated.
    static constexpr int kRowsPerBatch = 100;

    //! alone: within a savepoint of its own where the row needs one.
    Applied applyGroup(const ResolveTarget &target, const ChangeSet &delta, int row, bool alone);
    bool needsSavepoint(const ChangeRow &row) const;
    //! Rows from ... to-1 under one savepoint; false, with none of them applied, when one
    //! of them is refused.
    bool applyAtOnce(const ResolveTarget &target, const ChangeSet &delta, int from, int to,
                     QList<bool> *appliedRows);
    static ApplyError errorOf(const ChangeSet &delta, int row, const Applied &applied);
    bool applyRow(const ResolveTarget &target, const QList<Column> &columns, const ChangeRow &row,
                  const MasterValue &master, Failure *failure);
    bool applyDetails(const ResolveTarget &target, const ChangeSet &delta, const ChangeRow &row,
                      Applied *applied);
    QSqlQuery *prepared(const QString &sql, QSqlError *error);
    QSqlQuery *run(const QString &sql, const QVariantList &values, Failure *failure);
    void control(const QString &sql);
    bool valueFor(const Column &column, const QVariant &raw, QVariant *out, Failure *failure) const;
    QVariantList readBack(const ResolveTarget &target, const QList<Column> &columns,
                          const ChangeRow &row, const MasterValue &master);
    PacketRow refreshedRow(const ResolveTarget &target, const ChangeSet &set, const ChangeRow &row,
                           const MasterValue &master);
    QString quoted(const QString &name) const;

    QSqlDatabase m_db;
    SchemaCatalog &m_catalog;
    ControlStatement m_control;
    bool m_postgres = false;
    bool m_returning = false; // the database hands back inserted rows
    bool m_refresh = false;
    QHash<QString, QSqlQuery> m_prepared; // by statement text
    // Of the request being applied; node-based, so a reference stays good while it grows.
    std::unordered_map<const ChangeSet *, QList<Column>> m_columns;
    std::unordered_map<const ChangeRow *, QVariantList> m_stored; // inserted rows as stored
};

} // namespace korvane
