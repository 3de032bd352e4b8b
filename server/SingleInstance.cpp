#include "SingleInstance.h"

#include "InstanceNames.h"

namespace korvane {

SingleInstance::SingleInstance(const QString &binDir) : m_lock(singleInstanceLockPath(binDir))
{
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::tryLock()
{
    return m_lock.tryLock(0);
}

} // namespace korvane
