#pragma once
//! The library's text editors: the plain edit and, bound to a data source, the
//! data-aware edit, memo and read-only text. All read TagStr the editor way.

#include "LumoDataSource.h"
#include "LumoTagLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

class TLumoFieldLink;

namespace lumo {

//! A control reached by Tab, or only by a click.
void setTabStop(QWidget *control, bool tabStop);

//! The editor reading of TagStr on any control with setReadOnly: "R" anywhere gives the
//! money-green look, read-only state and no tab stop. Returns the value to store.
template <typename Editor> QString applyEditorTagStr(Editor *editor, const QString &value)
{
    const TLumoTagRule rule = LumoTagStr::apply(TLumoTagKind::Editor, value);
    editor->setReadOnly(rule.readOnly);
    setTabStop(editor, !rule.readOnly);
    LumoTagStr::applyLook(editor, rule.readOnly);
    return rule.stored;
}

} // namespace lumo

//! Single-line edit.
class TLumoEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    explicit TLumoEdit(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = lumo::applyEditorTagStr(this, value); }

private:
    QString m_tagStr;
};

//! Edit bound to one field: shows its display text, its edit text while focused, and
//! writes what the operator types straight into the record.
class TLumoDBEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)

public:
    explicit TLumoDBEdit(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = lumo::applyEditorTagStr(this, value); }
    TLumoDataSource *DataSource() const;
    void setDataSource(TLumoDataSource *source);
    QString DataField() const;
    void setDataField(const QString &name);
    TLumoFieldLink *link() const { return m_link; }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load();
    void writeText(const QString &text);

    QString m_tagStr;
    TLumoFieldLink *m_link;
    QString m_error;        // why the last typed text could not be written
    bool m_writing = false; // the record follows the edit, not the other way round
};

//! Multi-line edit bound to one field; Enter inserts a new line.
class TLumoDBMemo : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)

public:
    explicit TLumoDBMemo(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = lumo::applyEditorTagStr(this, value); }
    TLumoDataSource *DataSource() const;
    void setDataSource(TLumoDataSource *source);
    QString DataField() const;
    void setDataField(const QString &name);

private:
    void load();
    void writeText();

    QString m_tagStr;
    TLumoFieldLink *m_link;
    bool m_loading = false;
    bool m_writing = false;
};

//! Read-only text of one field.
class TLumoDBText : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)

public:
    explicit TLumoDBText(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    TLumoDataSource *DataSource() const;
    void setDataSource(TLumoDataSource *source);
    QString DataField() const;
    void setDataField(const QString &name);

private:
    QString m_tagStr;
    TLumoFieldLink *m_link;
};
