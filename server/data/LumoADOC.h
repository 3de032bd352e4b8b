#pragma once
//! TLumoADOC: a module's one database connection. It is not connected when the module is
//! created; just before it connects it takes the run-time connection (the before-connect
//! rule), so every module instance reaches the account set the server was started with.

#include "ReadConnections.h"
#include "RunTimeConnection.h"
#include "SchemaCatalog.h"

#include <QObject>
#include <QSqlDatabase>

#include <memory>

namespace korvane {

class TLumoADOC : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ tagStr WRITE setTagStr)
public:
    explicit TLumoADOC(QObject *parent = nullptr);
    ~TLumoADOC() override;

    QString tagStr() const { return m_tagStr; }
    void setTagStr(const QString &tag) { m_tagStr = tag.toUpper(); }

    //! Connects with the run-time connection unless connected; throws ServerError with the
    //! driver's text when the database cannot be reached.
    QSqlDatabase database();
    bool isConnected() const;
    //! Connects with explicit settings (the database dialog's test connection); false with
    //! the driver's text in *error.
    bool connectWith(const DbConnectionInfo &info, QString *error);
    void close();

    //! The catalogue of the connected database.
    SchemaCatalog &catalog();
    bool isPostgres() const;

    //! A connection of this module's own that only reads, for an opening that keeps its
    //! statement open between packets; null when none can be had (see ReadConnections).
    std::unique_ptr<ReadLease> leaseReadConnection();

private:
    QString m_connectionName;
    QString m_tagStr;
    SchemaCatalog m_catalog;
    ReadConnections m_reads;
};

} // namespace korvane
