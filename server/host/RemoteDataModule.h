#pragma once
//! What the module host asks of a module instance: the IAppServer operations and the
//! module's own methods, called by name. One instance serves one client connection,
//! on its own thread.

#include "Packet.h"
#include "Requests.h"
#include "ServerError.h"

#include <QObject>
#include <QStringList>
#include <QVariantList>

namespace korvane {

class RemoteDataModule : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~RemoteDataModule() override = default;

    //! Class name as in the type library ("BaseRDM", ...).
    virtual QString className() const = 0;

    virtual QStringList providerNames() const = 0;
    virtual Packet getRecords(const GetRecordsRequest &request) = 0;
    virtual ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                                     int maxErrors) = 0;
    virtual Params getParams(const QString &provider) = 0;
    virtual void execute(const QString &provider, const QString &commandText,
                         const Params &params) = 0;

    //! An own method by name (matched without regard to case), checked against the type
    //! library: its inputs in order, or every argument with placeholders for the outputs.
    //! By-reference outputs go to *out. Throws ServerError.
    QVariant call(const QString &method, const QVariantList &args, QVariantList *out);

    //! The session id of a logged-in base module of the same client, as handed in the
    //! open handshake; empty before login.
    void setSession(const QString &session) { m_session = session; }
    QString session() const { return m_session; }
    //! The logged-in operator this instance serves (the user of its session); empty when
    //! there is none, as for an instance a test drives without logging in.
    virtual QString operatorCode() const;

protected:
    //! A method the type library declares for the class, under its declared spelling, with
    //! its inputs already checked; outputs go to *out (never null).
    virtual QVariant invoke(const QString &method, const QVariantList &inputs,
                            QVariantList *out) = 0;
    //! Lets a module that wraps another hand a checked call straight on.
    static QVariant invokeOn(RemoteDataModule &module, const QString &method,
                             const QVariantList &inputs, QVariantList *out)
    {
        return module.invoke(method, inputs, out);
    }

private:
    QString m_session;
};

} // namespace korvane
