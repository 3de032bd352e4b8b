#include "USingleTblEditors.h"

#include "LumoCodeName.h"
#include "LumoComboBox.h"
#include "LumoDBImage.h"
#include "LumoDataSource.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoLabel.h"
#include "LumoPageControl.h"
#include "LumoPanel.h"
#include "LumoSocketConnection.h"
#include "LumobitBtn.h"
#include "UDMMain.h"
#include "UDocEditors.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QValidator>

namespace singletbl {

namespace {

using Field = TCodeFieldDecl;

//! The edit area repeats the display label; two-character labels are spaced out so that
//! they line up with the longer ones ("名    称").
QString editAreaLabel(const Field &field)
{
    const QString label = field.caption.isEmpty() ? field.label : field.caption;
    const QString text =
        label.size() == 2 ? label.left(1) + QStringLiteral("    ") + label.mid(1) : label;
    return text + QStringLiteral("：");
}

//! As wide as the longest entry, within reason: short codes get short editors.
int editorWidth(const QWidget *editor, const Field &field, int mostChars)
{
    // A list shows the names of its codes, not the codes: "增值税" needs more than four.
    const int least = field.editor == Field::ekList ? 8 : 4;
    const int chars = field.editor == Field::ekDate ? 10
                      : field.type == korvane::FieldType::String
                          ? qBound(least, field.width, mostChars)
                          : 12;
    return editor->fontMetrics().horizontalAdvance(QLatin1Char('W')) * chars + 12;
}

QWidget *textEditor(const Field &field, TLumoDataSource *source, QWidget *parent)
{
    auto *editor = new TLumoDBEdit(parent);
    editor->setObjectName(QStringLiteral("edt") + field.name);
    editor->setDataSource(source);
    editor->setDataField(field.name);
    if (field.type == korvane::FieldType::String && field.width > 0)
        editor->setMaxLength(field.width);
    if (field.upperCase)
        editor->setValidator(doceditors::upperCaseValidator(editor));
    if (field.editor == Field::ekNumber)
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (field.readOnly)
        editor->setTagStr(QStringLiteral("R"));
    return editor;
}

QWidget *memoEditor(const Field &field, TLumoDataSource *source, QWidget *parent)
{
    auto *memo = new TLumoDBMemo(parent);
    memo->setObjectName(QStringLiteral("edt") + field.name);
    memo->setDataSource(source);
    memo->setDataField(field.name);
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 3 + 10);
    return memo;
}

QWidget *dateEditor(const Field &field, TLumoDataSource *source, QWidget *parent)
{
    auto *date = new TLumoDBDateEdit(parent);
    date->setObjectName(QStringLiteral("dt") + field.name);
    date->setDataSource(source);
    date->setDataField(field.name);
    date->setDateTimeType(TLumoDateEdit::dttDate);
    return date;
}

QWidget *listEditor(const Field &field, TLumoDataSource *source, QWidget *parent)
{
    auto *box = new TLumoDBLookupCombobox(parent);
    box->setObjectName(QStringLiteral("cb") + field.name);
    box->setDataSource(source);
    box->setDataField(field.name);
    box->setKeyField(QStringLiteral("Code"));
    box->setListField(QStringLiteral("Name"));
    box->setListSource(sharedListSource(field.list, box));
    return box;
}

QWidget *pictureEditor(const Field &field, TLumoDataSource *source, QWidget *parent)
{
    auto *picture = new TLumoDBImage(parent);
    picture->setObjectName(QStringLiteral("img") + field.name);
    picture->setDataSource(source);
    picture->setDataField(field.name);
    picture->setFrameShape(QFrame::StyledPanel);
    picture->setFixedSize(120, 150);
    picture->setToolTip(QStringLiteral("双击选择图片"));
    return picture;
}

QWidget *fieldEditor(const Field &field, TLumoDataSource *source, QWidget *parent)
{
    switch (field.editor) {
    case Field::ekText:
    case Field::ekNumber:
        return textEditor(field, source, parent);
    case Field::ekMemo:
        return memoEditor(field, source, parent);
    case Field::ekDate:
        return dateEditor(field, source, parent);
    case Field::ekList:
        return listEditor(field, source, parent);
    case Field::ekCodeName:
        return createCodeName(field.codeName, field.name, field.upperCase, source, parent);
    case Field::ekPicture:
        return pictureEditor(field, source, parent);
    case Field::ekNone:
        break;
    }
    return nullptr;
}

//! One page (or the only area): label and editor pairs, in two columns when there are many.
//! Pictures stand apart at the right.
void fillPage(QWidget *page, const QList<const Field *> &fields, TLumoDataSource *source,
              int columns)
{
    auto *outer = new QHBoxLayout(page);
    outer->setContentsMargins(12, 8, 12, 8);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    outer->addLayout(grid, 1);
    QList<const Field *> placed;
    for (const Field *field : fields) {
        if (field->editor != Field::ekNone)
            placed << field;
    }
    int shown = 0;
    for (const Field *field : placed)
        shown += field->editor == Field::ekPicture ? 0 : 1;
    if (columns <= 0)
        columns = shown > 8 ? 2 : 1;
    const int rows = (shown + columns - 1) / columns;
    const int mostChars = columns > 1 ? 20 : 40;
    int index = 0;
    for (const Field *field : placed) {
        QWidget *editor = fieldEditor(*field, source, page);
        auto *label = new TLumoLabel(editAreaLabel(*field), page);
        label->setObjectName(QStringLiteral("lbl") + field->name);
        if (field->editor == Field::ekPicture) {
            auto *side = new QVBoxLayout;
            side->addWidget(label);
            side->addWidget(editor);
            side->addStretch(1);
            outer->addLayout(side);
            continue;
        }
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (field->editor != Field::ekMemo)
            editor->setFixedWidth(editorWidth(editor, *field, mostChars));
        auto *line = new QHBoxLayout;
        line->addWidget(editor, field->editor == Field::ekMemo ? 1 : 0);
        if (!field->buttonHint.isEmpty()) {
            auto *button = new TLumobitBtn(QStringLiteral("..."), page);
            button->setObjectName(QStringLiteral("btn") + field->name);
            button->setToolTip(field->buttonHint);
            button->setFixedWidth(button->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2 +
                                  8);
            line->addWidget(button);
        }
        if (!field->suffix.isEmpty()) {
            auto *suffix = new TLumoLabel(field->suffix, page);
            suffix->setObjectName(QStringLiteral("lbl") + field->name + QStringLiteral("Suffix"));
            line->addWidget(suffix);
        }
        line->addStretch(1);
        const int column = (index / rows) * 2;
        grid->addWidget(label, index % rows, column);
        grid->addLayout(line, index % rows, column + 1);
        ++index;
    }
    for (int c = 0; c < columns; ++c)
        grid->setColumnStretch(c * 2 + 1, 1);
    grid->setRowStretch(rows, 1);
}

QList<const Field *> fieldsOnPage(const TCodeTableDecl &decl, const QString &page)
{
    QList<const Field *> fields;
    for (const Field &field : decl.fields) {
        if (field.page == page)
            fields << &field;
    }
    return fields;
}

} // namespace

void buildEditArea(TLumoPanel *area, const TCodeTableDecl &decl, TLumoDataSource *source)
{
    if (decl.pages.isEmpty()) {
        fillPage(area, fieldsOnPage(decl, QString()), source, decl.editColumns);
        return;
    }
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *pages = new TLumoPageControl(area);
    pages->setObjectName(QStringLiteral("pgcEdit"));
    layout->addWidget(pages);
    for (const QString &title : decl.pages) {
        auto *page = new QWidget(pages);
        fillPage(page, fieldsOnPage(decl, title), source, decl.editColumns);
        pages->addTab(page, title);
    }
}

TLumoCodeName *createCodeName(const TCodeNameDecl &decl, const QString &field, bool upperCase,
                              TLumoDataSource *source, QWidget *parent)
{
    auto *editor = new TLumoCodeName(parent);
    editor->setObjectName(QStringLiteral("cn") + field);
    editor->setProviderName(decl.provider);
    editor->setTitlesList(decl.titles);
    editor->setLinkDataField(decl.linkFields);
    editor->setCharCase(upperCase ? TLumoCodeName::ecUpperCase : TLumoCodeName::ecNormal);
    // The frame checks every code/name editor for its field, bound or not.
    editor->setCodeDataField(field);
    if (source)
        editor->setDataSource(source);
    else
        editor->setNODB(true);
    if (dmMain)
        editor->setRemoteServer(dmMain->scCodeName);
    return editor;
}

void linkPredecessors(QWidget *form, const TCodeTableDecl &decl)
{
    for (const Field &field : decl.fields) {
        if (field.codeName.preCodeField.isEmpty())
            continue;
        const auto predecessors =
            form->findChildren<TLumoCodeName *>(QStringLiteral("cn") + field.codeName.preCodeField);
        const auto editors = form->findChildren<TLumoCodeName *>(QStringLiteral("cn") + field.name);
        // The grid's twin follows the grid's twin, the edit area's the edit area's.
        for (TLumoCodeName *editor : editors) {
            for (TLumoCodeName *predecessor : predecessors) {
                if (predecessor->parentWidget() == editor->parentWidget() ||
                    predecessors.size() == 1)
                    editor->setPreCodeName(predecessor);
            }
        }
    }
}

TLumoDataSource *sharedListSource(const QString &list, QObject *owner)
{
    TLumoCLientDataSet *dataSet = dmMain ? dmMain->lookup(list) : nullptr;
    if (!dataSet)
        return nullptr;
    auto *source = new TLumoDataSource(owner);
    source->setDataSet(dataSet);
    return source;
}

} // namespace singletbl
