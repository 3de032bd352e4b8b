#include "SessionRegistry.h"

#include <QRandomGenerator>

#include <limits>

namespace korvane {

SessionRegistry &SessionRegistry::instance()
{
    static SessionRegistry registry;
    return registry;
}

QString SessionRegistry::open(const QString &userCode)
{
    QMutexLocker lock(&m_mutex);
    QString id;
    do {
        // Random rather than counted, so that one client cannot guess another's session.
        id = QString::number(
            QRandomGenerator::system()->bounded(1, std::numeric_limits<qint32>::max()));
    } while (m_users.contains(id));
    m_users.insert(id, userCode);
    return id;
}

void SessionRegistry::close(const QString &id)
{
    QMutexLocker lock(&m_mutex);
    m_users.remove(id);
}

bool SessionRegistry::isValid(const QString &id) const
{
    QMutexLocker lock(&m_mutex);
    return !id.isEmpty() && m_users.contains(id);
}

QString SessionRegistry::userCode(const QString &id) const
{
    QMutexLocker lock(&m_mutex);
    return m_users.value(id);
}

bool isValidSession(const QString &id)
{
    return SessionRegistry::instance().isValid(id);
}

} // namespace korvane
