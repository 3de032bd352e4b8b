#pragma once
//! A table model over a client data set for grids: one column per visible field, one row
//! per visible record; display and edit roles, read-only columns and each row's state.

#include "LumoCLientDataSet.h"

#include <QAbstractTableModel>
#include <QPointer>

class TLumoDataSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Roles {
        UpdateStatusRole = Qt::UserRole + 1, // TUpdateStatus of the row, as int
        FieldNameRole,                       // header: the column's field name
    };

    explicit TLumoDataSetModel(QObject *parent = nullptr);

    TLumoCLientDataSet *dataSet() const { return m_dataSet; }
    void setDataSet(TLumoCLientDataSet *dataSet);
    //! Columns shown, by field name; empty shows every visible field in field order.
    void setColumns(const QStringList &fieldNames);
    void setReadOnly(bool readOnly);
    TLumoField *fieldAt(int column) const;
    int columnOf(const QString &fieldName) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    //! The text of the last refused edit or failed fetch (wrong value, refused by a handler,
    //! the server's refusal); each is signalled by editRefused too.
    QString lastError() const { return m_lastError; }

signals:
    void editRefused(const QString &text);

private:
    void reset();
    bool isCell(const QModelIndex &index) const;
    QVariant cell(const QModelIndex &index, int role) const;
    void refuse(const QString &text); // an edit or a fetch failed with the operator's text
    void onFieldChanged(TLumoField *field);

    QPointer<TLumoCLientDataSet> m_dataSet;
    QStringList m_columnNames;
    QList<TLumoField *> m_columns;
    bool m_readOnly = false;
    QString m_lastError;
    QList<QMetaObject::Connection> m_connections;
};
