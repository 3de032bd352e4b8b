#pragma once
//! The library's text editors: the plain edit and, bound to a data source, the
//! data-aware edit, memo and read-only text. All read TagStr the editor way.

#include "LumoTagStr.h"

#include <QLineEdit>

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
