#pragma once
//! The socket relay: accepts client connections on a TCP port and passes each one, byte for
//! byte in both directions, to its own connection to the module host's local socket.

#include <QObject>
#include <QString>

class QTcpServer;

namespace korvane {

class SocketRelay : public QObject
{
    Q_OBJECT
public:
    explicit SocketRelay(const QString &hostSocketName, QObject *parent = nullptr);

    //! Listens on every address; false with the operator's help text in *error.
    bool listen(quint16 port, QString *error);
    quint16 port() const;
    int linkCount() const;

private:
    void acceptClients();

    QString m_hostSocketName;
    QTcpServer *m_server = nullptr;
    int m_linkCount = 0;
};

} // namespace korvane
