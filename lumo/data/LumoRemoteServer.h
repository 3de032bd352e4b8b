#pragma once
//! The remote side of a client data set: a connection to one module class.
//! TLumoSocketConnection is the real one; every call is synchronous and throws
//! TLumoRemoteError carrying the server's text.

#include "Packet.h"

#include <QObject>
#include <QVariantList>

#include "OperatorError.h"

class TLumoRemoteError : public korvane::OperatorError
{
public:
    using OperatorError::OperatorError;
};

class TLumoRemoteServer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual korvane::Packet getRecords(const QString &provider, int count, int options,
                                       const korvane::Params &params) = 0;
    virtual korvane::ApplyResult applyUpdates(const QString &provider,
                                              const korvane::ChangeSet &delta, int maxErrors) = 0;
    virtual QStringList getProviderNames() = 0;
    virtual korvane::Params getParams(const QString &provider) = 0;
    //! A module's own method by name; outputs passed by reference land in *out.
    virtual QVariant call(const QString &method, const QVariantList &args,
                          QVariantList *out = nullptr) = 0;
};
