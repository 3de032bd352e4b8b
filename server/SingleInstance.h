#pragma once
//! The single-instance lock "KORVANE_QIRVO" of one install: held while the server runs,
//! released when the process ends (also when it crashes).

#include <QLockFile>
#include <QString>

namespace korvane {

class SingleInstance
{
public:
    explicit SingleInstance(const QString &binDir);

    //! Takes the lock; false when another server of the install holds it.
    bool tryLock();

private:
    QLockFile m_lock;
};

} // namespace korvane
