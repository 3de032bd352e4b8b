#pragma once
//! TLumoDatasetprovider: publishes one provider of a module. It opens the provider's
//! statement with the request's parameters, hands out its rows packet by packet (continuing
//! the same open statement, reading only the rows each packet needs), nests the detail rows of each
//! packet's heads (fetched for the whole packet at once), and applies change sets to its update
//! table through the resolver.

#include "ProviderDef.h"
#include "Requests.h"
#include "ServerError.h"

#include <QObject>

#include <memory>

class QSqlDatabase;
class QSqlQuery;

namespace korvane {

class Resolver;
class RowCursor;
class SqlStatement;
class TLumoADOC;
struct ResolveTarget;

//! Whether clients may send their own statement text (Plant.ini, section KORVANE,
//! AllowCommandText=1). Off unless an administrator turned it on.
bool commandTextAllowed();
//! Read from Plant.ini on each use unless set for this process (tests set it).
void setCommandTextAllowed(bool allowed);

class TLumoDatasetprovider : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ tagStr WRITE setTagStr)
    Q_PROPERTY(QString Description READ description)
public:
    TLumoDatasetprovider(const ProviderDef &def, TLumoADOC *connection, QObject *parent = nullptr);
    ~TLumoDatasetprovider() override;

    const ProviderDef &definition() const { return m_def; }
    QString name() const { return m_def.name; }
    QString description() const { return m_def.description; }
    QString tagStr() const { return m_tagStr; }
    void setTagStr(const QString &tag) { m_tagStr = tag.toUpper(); }

    //! count rows (-1 all, 0 none: fields only). A request without grMetaData and grReset,
    //! parameters or command text continues the open query; any other opens afresh.
    Packet getRecords(const GetRecordsRequest &request);
    ApplyResult applyUpdates(const ChangeSet &delta, int maxErrors);
    //! The statement's parameters (detail link parameters excluded), values null.
    Params params() const;
    //! Runs the statement (or the allowed command text) without a result.
    void execute(const QString &commandText, const Params &params);
    //! Closes the open query.
    void reset();

    //! The fields of the provider's own statement, with the nested detail field.
    Fields fields();
    //! The update table's real name; empty when the provider cannot be updated.
    QString updateTable();

private:
    QString statementText(const QString &commandText) const;
    //! count: the rows of the first packet; -1 takes every row now, so no statement needs
    //! to stay open.
    void open(const QString &commandText, const Params &params, int count);
    void attachDetails(PacketRows *rows, const Fields &fields);
    void attachDetailsPerRow(PacketRows *rows, const Fields &fields, const SqlStatement &detail);
    bool attachDetailsInOneStatement(PacketRows *rows, const Fields &fields,
                                     const SqlStatement &detail);
    bool hasDetail() const;
    FieldDef nestedField();
    Fields detailFields();
    Fields describe(const QString &text, const QString &updateTable);
    ResolveTarget resolveTarget();
    std::unique_ptr<QSqlQuery> runQuery(const QString &sql, const QVariantList &values);
    static std::unique_ptr<QSqlQuery> runQueryOn(const QSqlDatabase &db, const QString &sql,
                                                 const QVariantList &values, bool forwardOnly);

    ProviderDef m_def;
    TLumoADOC *m_connection;
    QString m_tagStr;
    std::unique_ptr<RowCursor> m_cursor;
    Fields m_fields;       // of the provider's statement, nested detail included
    Fields m_detailFields; // of the detail statement
    std::unique_ptr<Resolver> m_resolver;
};

} // namespace korvane
