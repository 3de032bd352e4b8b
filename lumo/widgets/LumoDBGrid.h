#pragma once
//! The data grid: alternating white and information-background rows, money-green
//! read-only columns, yellow-on-navy selection, and the overlay editor of a column (a
//! code/name or date editor on the grid's panel) placed over the focused cell.

#include "LumoDataSource.h"
#include "LumoDateEdit.h"

#include <QPointer>
#include <QTableView>

class TLumoDataSetModel;
class TLumoField;

class Tlumodbgrid : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(QColor ColorOne READ ColorOne WRITE setColorOne)
    Q_PROPERTY(QColor ColorTwo READ ColorTwo WRITE setColorTwo)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TLumoDateEdit::TDateTimefmt DateTimeFmt READ DateTimeFmt WRITE setDateTimeFmt)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE setMultiSelect)
    Q_PROPERTY(bool RowSelect READ RowSelect WRITE setRowSelect)

public:
    explicit Tlumodbgrid(QWidget *parent = nullptr);

    QColor ColorOne() const { return m_colorOne; }
    void setColorOne(const QColor &color);
    QColor ColorTwo() const { return m_colorTwo; }
    void setColorTwo(const QColor &color);
    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    TDateTimefmt DateTimeFmt() const { return m_dateTimeFmt; }
    void setDateTimeFmt(TDateTimefmt fmt) { m_dateTimeFmt = fmt; }
    TLumoDataSource *DataSource() const { return m_source; }
    void setDataSource(TLumoDataSource *source);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    bool MultiSelect() const;
    void setMultiSelect(bool on);
    bool RowSelect() const;
    void setRowSelect(bool on);

    //! Columns shown, by field name; empty shows every visible field.
    void setColumns(const QStringList &fieldNames);
    TLumoDataSetModel *dataModel() const { return m_model; }
    TLumoField *columnField(int column) const;
    //! The width a column gets whenever the grid's columns are laid out again: wide enough
    //! for its title and for a value of its field's size (long texts are capped).
    int fieldColumnWidth(int column) const;
    //! Sizes every column but the last to its title and the longest text it shows in the
    //! fetched rows (at most maxChars digits wide); the last column keeps the rest.
    void fitColumnsToContents(int maxChars = 40);

    //! The background of a cell that is not selected.
    QColor cellColor(const QModelIndex &index) const;
    //! The overlay editor of a column: on the grid's panel, the first code/name editor
    //! whose CodeDataField is the column's field, else the first date editor bound to it.
    QWidget *overlayEditor(int column) const;

signals:
    //! Double click on a data cell; the child-form frame makes it the edit command.
    void OnDblClick();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void followDataSet();
    void layOutAgain();
    void fitColumnsToFields();
    int textWidth(const QString &text) const;
    int titleWidth(int column) const;
    void placeOverlay();
    void hideOverlay(int column);
    bool typeIntoOverlay(QKeyEvent *event);
    bool appendAtEnd();

    TLumoDataSetModel *m_model;
    QPointer<TLumoDataSource> m_source;
    QColor m_colorOne;
    QColor m_colorTwo;
    QString m_tagStr;
    TDateTimefmt m_dateTimeFmt = TLumoDateEdit::dtfDate;
    bool m_readOnly = false;
    bool m_shown = false;
    bool m_syncing = false;
    QList<QMetaObject::Connection> m_connections;
};
