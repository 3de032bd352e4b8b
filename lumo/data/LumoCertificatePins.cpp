#include "LumoCertificatePins.h"

#include <QHash>
#include <QMutex>

namespace {

class RunPins : public TLumoCertificatePins
{
public:
    QString pinned(const QString &address) const override
    {
        QMutexLocker lock(&m_mutex);
        return m_pins.value(address);
    }
    void pin(const QString &address, const QString &digest) override
    {
        QMutexLocker lock(&m_mutex);
        m_pins.insert(address, digest);
    }

private:
    mutable QMutex m_mutex;
    QHash<QString, QString> m_pins;
};

} // namespace

TLumoCertificatePins &TLumoCertificatePins::forThisRun()
{
    static RunPins pins;
    return pins;
}
