#pragma once
//! What ties a data-aware control to one field of a data source's data set: it tells the
//! control when to reread, and puts the data set into edit or append mode for a write.

#include <QObject>
#include <QPointer>
#include <QVariant>

class TLumoCLientDataSet;
class TLumoDataSource;
class TLumoField;

class TLumoFieldLink : public QObject
{
    Q_OBJECT

public:
    explicit TLumoFieldLink(QObject *control);

    TLumoDataSource *DataSource() const { return m_source; }
    void setDataSource(TLumoDataSource *source);
    QString DataField() const { return m_fieldName; }
    void setDataField(const QString &name);

    TLumoCLientDataSet *dataSet() const;
    //! The bound field, null while the data set is closed or has no such field.
    TLumoField *field() const;
    bool editing() const;
    //! A field that may be written: bound, open, not read-only.
    bool canModify() const;
    //! Unless the data set already edits or inserts: edit when it has records, append when
    //! it is empty. False (and nothing changed) when that is refused or fails.
    bool edit();
    //! Writes a value (null clears) after edit(); false with the reason when refused.
    bool write(const QVariant &value, QString *error = nullptr);
    //! The field's text: edit text while the control edits, display text otherwise.
    QString text(bool forEditing) const;

signals:
    //! The control shows something else now: another record, another value, closed or opened.
    void dataChanged();
    void stateChanged();

private:
    void onFieldChanged(TLumoField *field);

    QPointer<TLumoDataSource> m_source;
    QString m_fieldName;
    QList<QMetaObject::Connection> m_connections;
    bool m_writing = false;
};
