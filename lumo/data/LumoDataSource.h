#pragma once
//! The data source: what data-aware controls hold on to. It passes on the data set's
//! notifications (record moved, field changed, state changed, opened or closed).

#include "LumoCLientDataSet.h"

#include <QObject>
#include <QPointer>

class TLumoDataSource : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

public:
    explicit TLumoDataSource(QObject *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value);
    TLumoCLientDataSet *DataSet() const { return m_dataSet; }
    void setDataSet(TLumoCLientDataSet *dataSet);
    //! A disabled source tells its controls nothing, as while a form moves through rows.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    TDataSetState State() const;

signals:
    void dataSetChanged();
    //! Another record became current, or the rows were reloaded: every control rereads.
    void recordMoved();
    //! One field of the current record changed (null when all may have).
    void fieldChanged(TLumoField *field);
    void stateChanged();
    void activeChanged(bool active);

private:
    void refreshAll();

    QString m_tagStr;
    QPointer<TLumoCLientDataSet> m_dataSet;
    bool m_enabled = true;
    QList<QMetaObject::Connection> m_connections;
};
