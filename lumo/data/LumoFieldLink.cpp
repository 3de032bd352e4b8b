#include "LumoFieldLink.h"

#include "LumoDataSource.h"

TLumoFieldLink::TLumoFieldLink(QObject *control) : QObject(control) {}

void TLumoFieldLink::setDataSource(TLumoDataSource *source)
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_source = source;
    if (source) {
        m_connections
            << connect(source, &TLumoDataSource::recordMoved, this, &TLumoFieldLink::dataChanged)
            << connect(source, &TLumoDataSource::activeChanged, this, &TLumoFieldLink::dataChanged)
            << connect(source, &TLumoDataSource::dataSetChanged, this, &TLumoFieldLink::dataChanged)
            << connect(source, &TLumoDataSource::fieldChanged, this,
                       &TLumoFieldLink::onFieldChanged)
            << connect(source, &TLumoDataSource::stateChanged, this, &TLumoFieldLink::stateChanged);
    }
    emit dataChanged();
}

void TLumoFieldLink::setDataField(const QString &name)
{
    m_fieldName = name;
    emit dataChanged();
}

TLumoCLientDataSet *TLumoFieldLink::dataSet() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

TLumoField *TLumoFieldLink::field() const
{
    TLumoCLientDataSet *ds = dataSet();
    if (!ds || !ds->Active() || m_fieldName.isEmpty())
        return nullptr;
    return ds->FindField(m_fieldName);
}

bool TLumoFieldLink::editing() const
{
    const TLumoCLientDataSet *ds = dataSet();
    return ds && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert);
}

bool TLumoFieldLink::canModify() const
{
    const TLumoField *f = field();
    return f && !f->ReadOnly() && m_source->Enabled();
}

bool TLumoFieldLink::edit()
{
    TLumoCLientDataSet *ds = dataSet();
    if (!ds || !ds->Active())
        return false;
    if (editing())
        return true;
    try {
        return ds->IsEmpty() ? ds->Append() : ds->Edit();
    } catch (const TLumoDataSetError &) {
        return false;
    }
}

bool TLumoFieldLink::write(const QVariant &value, QString *error)
{
    if (!canModify() || !edit())
        return false;
    TLumoField *f = field();
    if (!f)
        return false;
    // The control already shows what it writes: its own echo is not news to it.
    m_writing = true;
    bool written = true;
    try {
        f->setValue(value);
    } catch (const TLumoDataSetError &e) {
        if (error)
            *error = e.text();
        written = false;
    } catch (const TLumoAbort &) {
        written = false;
    }
    m_writing = false;
    return written;
}

QString TLumoFieldLink::text(bool forEditing) const
{
    const TLumoField *f = field();
    if (!f)
        return QString();
    return forEditing ? f->Text() : f->DisplayText();
}

void TLumoFieldLink::onFieldChanged(TLumoField *changed)
{
    if (m_writing)
        return;
    if (!changed || changed == field())
        emit dataChanged();
}
