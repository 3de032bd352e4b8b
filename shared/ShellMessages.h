#pragma once
//! The three shell messages both programs understand: SM_KorvaneMin, SM_KorvaneRestore and
//! SM_KorvaneClose, each with wParam and lParam, broadcast to every program of the same
//! install over the D-Bus session bus.

#include <QObject>
#include <QString>

class QDBusMessage;

namespace korvane {

class ShellMessages : public QObject
{
    Q_OBJECT
public:
    enum Message { KorvaneMin, KorvaneRestore, KorvaneClose };
    Q_ENUM(Message)

    //! The messages of the install whose programs live in binDir.
    explicit ShellMessages(const QString &binDir, QObject *parent = nullptr);
    ~ShellMessages() override;

    //! "SM_KorvaneMin", "SM_KorvaneRestore", "SM_KorvaneClose".
    static QString messageName(Message message);

    //! Starts receiving the three messages; until then nothing is delivered and nothing can
    //! be broadcast. False with the reason when the session bus is out of reach.
    bool registerMessages(QString *error = nullptr);
    bool isRegistered() const { return m_registered; }

    //! Sends the message to every program of the install, this one included.
    //! False when the messages are not registered or the bus refuses.
    bool broadcast(Message message, qint64 wParam = 0, qint64 lParam = 0) const;

signals:
    void received(korvane::ShellMessages::Message message, qint64 wParam, qint64 lParam);

private slots:
    void onBusSignal(const QDBusMessage &signal);

private:
    QString m_path;
    bool m_registered = false;
};

} // namespace korvane
