#include "LumoDataSource.h"

#include "LumoTagStr.h"

TLumoDataSource::TLumoDataSource(QObject *parent) : QObject(parent) {}

void TLumoDataSource::setTagStr(const QString &value)
{
    m_tagStr = LumoTagStr::apply(TLumoTagKind::Stored, value).stored;
}

TDataSetState TLumoDataSource::State() const
{
    return m_dataSet ? m_dataSet->State() : TDataSetState::dsInactive;
}

void TLumoDataSource::setDataSet(TLumoCLientDataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_dataSet = dataSet;
    if (dataSet) {
        const auto forward = [this](auto signal) {
            return [this, signal](auto... args) {
                if (m_enabled)
                    emit(this->*signal)(args...);
            };
        };
        m_connections << connect(dataSet, &TLumoCLientDataSet::recordMoved, this,
                                 forward(&TLumoDataSource::recordMoved))
                      << connect(dataSet, &TLumoCLientDataSet::layoutReset, this,
                                 forward(&TLumoDataSource::recordMoved))
                      << connect(dataSet, &TLumoCLientDataSet::fieldChanged, this,
                                 forward(&TLumoDataSource::fieldChanged))
                      << connect(dataSet, &TLumoCLientDataSet::stateChanged, this,
                                 forward(&TLumoDataSource::stateChanged))
                      << connect(dataSet, &TLumoCLientDataSet::activeChanged, this,
                                 forward(&TLumoDataSource::activeChanged));
    }
    emit dataSetChanged();
    refreshAll();
}

void TLumoDataSource::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    refreshAll(); // controls catch up with whatever happened meanwhile
}

void TLumoDataSource::refreshAll()
{
    if (!m_enabled)
        return;
    emit stateChanged();
    emit recordMoved();
}
