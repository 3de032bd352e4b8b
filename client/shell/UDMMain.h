#pragma once
//! The client's data module: the five connections to the server's module classes and the
//! shared lookup lists every work window binds its combo boxes and grids to.

#include <QObject>
#include <QPointer>
#include <QStringList>

class TLumoSocketConnection;
class TLumoCLientDataSet;
class TLumoDataSource;

namespace korvane {
class ShellMessages;
}

class TdmMain : public QObject
{
    Q_OBJECT
public:
    //! shell: where the close announcement goes when the data module ends (may be null).
    explicit TdmMain(korvane::ShellMessages *shell = nullptr, QObject *parent = nullptr);
    ~TdmMain() override;

    TLumoSocketConnection *SCBase = nullptr;
    TLumoSocketConnection *scBill = nullptr;
    TLumoSocketConnection *scLookup = nullptr;
    TLumoSocketConnection *scRPT = nullptr;
    TLumoSocketConnection *scCodeName = nullptr;

    //! The five connections in the order the login connects them.
    QList<TLumoSocketConnection *> connections() const;

    //! A shared lookup list by component name ("dspCI", "cdsXTaxAttr", ...); null when unknown.
    TLumoCLientDataSet *lookup(const QString &name) const;
    //! The data source beside a lookup list by its name ("dsci", "dsXTaxAttr", ...).
    TLumoDataSource *source(const QString &name) const;
    //! The lookup lists in creation order.
    const QList<TLumoCLientDataSet *> &lookups() const { return m_lookups; }

    //! Opens every lookup list in creation order. A list that fails stays closed and the
    //! others still open; answers "name: reason" for each that failed (also logged).
    QStringList OpenAllLookups();
    void CloseAllLookups();

    //! Points every connection at the server machine.
    void setServerHost(const QString &host);
    //! Disconnects all five connections, ignoring errors.
    void disconnectAll();

private:
    void createConnections();
    void createLookups();

    QPointer<korvane::ShellMessages> m_shell;
    QList<TLumoCLientDataSet *> m_lookups;
    QList<TLumoDataSource *> m_sources;
};

//! The one data module of the client process, or null before it exists.
extern QPointer<TdmMain> dmMain;
