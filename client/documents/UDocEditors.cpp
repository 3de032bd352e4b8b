#include "UDocEditors.h"

#include "LumoCLientDataSet.h"
#include "LumoCodeName.h"
#include "LumoComboBox.h"
#include "LumoDBGrid.h"
#include "LumoDataSource.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoGridDelegate.h"
#include "LumoSocketConnection.h"
#include "LumoTagLook.h"
#include "UDMMain.h"
#include "UMsgBox.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QValidator>

namespace doceditors {

namespace {

class TUpperCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

//! The line grid's cells that are shown but not typed into: green like every read-only
//! column, and no editor. The field itself stays writable for the pickers and the rules.
class TLineGridDelegate : public TLumoGridDelegate
{
public:
    using TEllipsis = std::function<void(const QString &field)>;

    TLineGridDelegate(Tlumodbgrid *grid, const QStringList &readOnly, const QStringList &ellipsis,
                      TEllipsis onEllipsis)
        : TLumoGridDelegate(
              [grid, readOnly](const QModelIndex &index) {
                  const TLumoField *field = grid->columnField(index.column());
                  if (field && readOnly.contains(field->FieldName(), Qt::CaseInsensitive))
                      return LumoTagStr::moneyGreen();
                  return grid->cellColor(index);
              },
              grid),
          m_grid(grid), m_readOnly(readOnly), m_ellipsis(ellipsis),
          m_onEllipsis(std::move(onEllipsis))
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        const TLumoField *field = m_grid->columnField(index.column());
        if (field && m_readOnly.contains(field->FieldName(), Qt::CaseInsensitive))
            return nullptr;
        if (field && field->Pickable())
            return listPicker(parent, *field);
        QWidget *editor = TLumoGridDelegate::createEditor(parent, option, index);
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (line && field && m_onEllipsis &&
            m_ellipsis.contains(field->FieldName(), Qt::CaseInsensitive))
            addEllipsis(line, field->FieldName());
        return editor;
    }

private:
    //! A name looked up in a list is picked from that list (or emptied).
    static QWidget *listPicker(QWidget *parent, const TLumoField &field)
    {
        auto *box = new QComboBox(parent);
        box->addItem(QString());
        const TLumoCLientDataSet *list = field.LookupDataSet();
        const TLumoField &names = list->FieldByName(field.LookupResultField());
        for (int row = 0; row < list->RecordCount(); ++row)
            box->addItem(names.displayTextAt(row));
        return box;
    }

    //! The button at the cell's right end: what was typed is kept, the editor closes, and
    //! only then is the window asked, so that the cell cannot write over its answer.
    void addEllipsis(QLineEdit *line, const QString &fieldName) const
    {
        auto *button = new QToolButton(line);
        button->setObjectName(QStringLiteral("btnEllipsis"));
        button->setText(QStringLiteral("..."));
        button->setCursor(Qt::ArrowCursor);
        button->setFocusPolicy(Qt::NoFocus);
        auto *layout = new QHBoxLayout(line);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addStretch(1);
        layout->addWidget(button);
        line->setTextMargins(0, 0, button->sizeHint().width(), 0);
        auto *self = const_cast<TLineGridDelegate *>(this);
        connect(button, &QToolButton::clicked, self, [self, line, fieldName] {
            emit self->commitData(line);
            emit self->closeEditor(line);
            QMetaObject::invokeMethod(
                self, [self, fieldName] { self->m_onEllipsis(fieldName); }, Qt::QueuedConnection);
        });
    }

    Tlumodbgrid *m_grid;
    QStringList m_readOnly;
    QStringList m_ellipsis;
    TEllipsis m_onEllipsis;
};

TLumoCodeName *codeEditor(QWidget *parent, const QString &name, const QString &provider,
                          const QStringList &titles)
{
    auto *code = new TLumoCodeName(parent);
    code->setObjectName(name);
    code->setProviderName(provider);
    code->setTitlesList(titles);
    if (dmMain)
        code->setRemoteServer(dmMain->scCodeName);
    return code;
}

QWidget *codeWithName(QWidget *parent, TLumoDataSource *source, const TDocEditorDecl &decl,
                      QList<QWidget *> *made)
{
    auto *box = new QWidget(parent);
    auto *line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    TLumoCodeName *code = codeEditor(box, decl.name, decl.provider, decl.titles);
    code->setDataSource(source);
    code->setCodeDataField(decl.field);
    code->setLinkDataField({decl.nameField});
    code->setFixedWidth(charWidth(code, 8));
    if (decl.upperCase)
        code->setCharCase(TLumoCodeName::ecUpperCase);
    auto *name = new TLumoDBEdit(box);
    name->setObjectName(QStringLiteral("edt") + decl.nameField);
    name->setDataSource(source);
    name->setDataField(decl.nameField);
    name->setTagStr(QStringLiteral("R"));
    name->setMaximumWidth(charWidth(name, 16)); // a partner's whole name
    line->addWidget(code);
    line->addWidget(name, 1);
    // Room the name does not take stays at the right: the code stands under the other
    // editors of its column.
    line->addStretch(0);
    *made << code << name;
    return box;
}

QWidget *dateEditor(QWidget *parent, TLumoDataSource *source, const TDocEditorDecl &decl)
{
    auto *date = new TLumoDBDateEdit(parent);
    date->setDateTimeType(TLumoDateEdit::dttDate);
    date->setDataSource(source);
    date->setDataField(decl.field);
    date->editor()->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    date->setFixedSize(charWidth(date, 9), date->editor()->sizeHint().height());
    return date;
}

QWidget *listBox(QWidget *parent, TLumoDataSource *source, const QString &field,
                 const QString &listSource, const QString &keyField, const QString &listField)
{
    auto *box = new TLumoDBLookupCombobox(parent);
    box->setDataSource(source);
    box->setDataField(field);
    box->setKeyField(keyField);
    box->setListField(listField);
    if (dmMain)
        box->setListSource(dmMain->source(listSource));
    box->setMaximumWidth(charWidth(box, 10));
    return box;
}

QWidget *typeList(QWidget *parent, TLumoDataSource *source, const TDocEditorDecl &decl)
{
    return listBox(parent, source, decl.field, QStringLiteral("dsXStockChAttr"),
                   QStringLiteral("InOutFlag"), QStringLiteral("Name"));
}

QWidget *textEditor(QWidget *parent, TLumoDataSource *source, const TDocEditorDecl &decl)
{
    auto *edit = new TLumoDBEdit(parent);
    edit->setDataSource(source);
    edit->setDataField(decl.field);
    const TLumoField *field = source->DataSet()->FindField(decl.field);
    if (field && field->Size())
        edit->setMaxLength(field->Size());
    // As wide as the entry, within reason; the remark takes its whole row.
    if (!decl.wide)
        edit->setMaximumWidth(charWidth(edit, field ? qBound(8, field->Size(), 16) : 16));
    if (decl.kind == TDocEditorDecl::ekReadOnly) {
        edit->setTagStr(QStringLiteral("R"));
        // Nothing is typed here to make room: the box is as wide as what it shows.
        if (!decl.wide)
            edit->setMinimumWidth(edit->maximumWidth());
    }
    if (decl.upperCase)
        edit->setValidator(upperCaseValidator(edit));
    return edit;
}

} // namespace

QValidator *upperCaseValidator(QObject *parent)
{
    return new TUpperCaseValidator(parent);
}

void openOrSay(TLumoCLientDataSet &dataSet)
{
    try {
        dataSet.Open();
    } catch (const TLumoDataSetError &e) {
        MsgBox(e.text(), mkHint);
    } catch (const TLumoRemoteError &e) {
        MsgBox(e.text(), mkHint);
    }
}

QString todayText()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" 00:00:00");
}

int charWidth(const QWidget *widget, int chars)
{
    return widget->fontMetrics().horizontalAdvance(QLatin1Char('W')) * chars + 12;
}

TLumoPanel *makePanel(QWidget *parent, const char *name, const char *tagStr,
                      TLumoPanel::TPnlType type)
{
    auto *panel = new TLumoPanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setPnlType(type);
    panel->setTagStr(QLatin1String(tagStr));
    return panel;
}

QString moneyFormat()
{
    return QStringLiteral("0.00");
}

void declareFields(TLumoCLientDataSet &dataSet, const QList<TDocFieldDecl> &fields)
{
    for (const TDocFieldDecl &f : fields) {
        if (!f.lookupKey.isEmpty() && !f.lookupList.isEmpty()) {
            // Without the data module there is no list to look the name up in.
            TLumoCLientDataSet *list = dmMain ? dmMain->lookup(f.lookupList) : nullptr;
            if (list)
                dataSet
                    .addLookupField(f.name, f.lookupKey, list, QStringLiteral("Code"),
                                    QStringLiteral("Name"))
                    .setDisplayLabel(f.label)
                    .setVisible(f.shown)
                    .setPickable(f.shown && !f.gridReadOnly);
            continue;
        }
        TLumoField &field = dataSet.addDataField(f.name, f.type, f.width)
                                .setDisplayLabel(f.label)
                                .setRequired(f.required)
                                .setVisible(f.shown);
        if (f.money)
            field.setDisplayFormat(moneyFormat());
    }
}

void showMoney(TLumoCLientDataSet &dataSet, const QList<TDocFieldDecl> &fields)
{
    // Shown with two decimals, typed and kept as entered: an edit never rounds an amount.
    for (const TDocFieldDecl &f : fields) {
        if (!f.money)
            continue;
        if (TLumoField *field = dataSet.FindField(f.name))
            field->setDisplayFormat(moneyFormat()).setEditFormat(QString());
    }
}

QWidget *headEditor(QWidget *parent, TLumoDataSource *source, const TDocEditorDecl &decl,
                    QList<QWidget *> *made)
{
    QWidget *editor = nullptr;
    switch (decl.kind) {
    case TDocEditorDecl::ekCodeName:
        return codeWithName(parent, source, decl, made);
    case TDocEditorDecl::ekDate:
        editor = dateEditor(parent, source, decl);
        break;
    case TDocEditorDecl::ekTypeCombo:
        editor = typeList(parent, source, decl);
        break;
    case TDocEditorDecl::ekListBox:
        editor =
            listBox(parent, source, decl.field, decl.listSource, decl.keyField, decl.listField);
        break;
    default:
        editor = textEditor(parent, source, decl);
        break;
    }
    editor->setObjectName(decl.name);
    *made << editor;
    return editor;
}

QPair<TLumoCodeName *, TLumoEdit *> selector(QWidget *parent, const TDocSelectorDecl &decl)
{
    TLumoCodeName *code = codeEditor(parent, decl.name, decl.provider, decl.titles);
    code->setNODB(true);
    code->setCodeDataField(decl.param); // never written: the selector is not bound to data
    code->setFixedWidth(charWidth(code, 8));
    auto *name = new TLumoEdit(parent);
    name->setObjectName(decl.name + QStringLiteral("Name"));
    name->setTagStr(QStringLiteral("R"));
    name->setFixedWidth(charWidth(name, 9));
    code->setFocusEdit(name);
    return {code, name};
}

TLumoCodeName *productPicker(QWidget *parent, TLumoDataSource *lines)
{
    TLumoCodeName *product =
        codeEditor(parent, QStringLiteral("cnPdtCode"), QStringLiteral("dspPdtCN"),
                   {QStringLiteral("货品代码"), QStringLiteral("货品名称"),
                    QStringLiteral("货品类别"), QStringLiteral("品牌")});
    product->setDataSource(lines);
    product->setCodeDataField(QStringLiteral("pdtcode"));
    product->setLinkDataField({QStringLiteral("PdtName")});
    product->hide();
    return product;
}

TLumoCodeName *itemPicker(QWidget *parent, TLumoDataSource *lines, TLumoCodeName *product)
{
    TLumoCodeName *item = codeEditor(
        parent, QStringLiteral("cnSpecName"), QStringLiteral("dspSpecCN"),
        {QStringLiteral("项次"), QStringLiteral("规格"), QStringLiteral("每包装中数量"),
         QStringLiteral("基本计量单位"), QStringLiteral("含税进价"), QStringLiteral("不含税进价"),
         QStringLiteral("含税售价"), QStringLiteral("不含税售价")});
    item->setDataSource(lines);
    item->setCodeDataField(QStringLiteral("pdtno"));
    item->setLinkDataField({QStringLiteral("specName"), QStringLiteral("packNum")});
    item->setPreCodeName(product);
    item->hide();
    return item;
}

void showKindOnly(const QString &listName, const QString &flag, QWidget *box)
{
    TLumoCLientDataSet *kinds = dmMain ? dmMain->lookup(listName) : nullptr;
    if (!kinds)
        return;
    // A list box lists the rows fetched so far only: the list is read whole, now and
    // whenever the box reads it again.
    kinds->setPacketRecords(-1);
    try {
        while (kinds->GetNextPacket()) {
        }
    } catch (const TLumoRemoteError &) {
        // The box reads the list again when it opens.
    }
    kinds->setFiltered(false);
    kinds->setFilter(QStringLiteral("Flag='%1'").arg(flag));
    kinds->setFiltered(true);
    // The box reads its list again.
    if (auto *list = qobject_cast<TLumoDBLookupCombobox *>(box))
        list->setListSource(list->ListSource());
}

void showLineColumns(Tlumodbgrid &grid, const QList<TDocFieldDecl> &fields,
                     std::function<void(const QString &field)> onEllipsis)
{
    QStringList shown, readOnly, ellipsis;
    for (const TDocFieldDecl &f : fields) {
        if (f.shown)
            shown << f.name;
        if (f.gridReadOnly)
            readOnly << f.name;
        if (f.ellipsis)
            ellipsis << f.name;
    }
    grid.setColumns(shown);
    grid.setItemDelegate(new TLineGridDelegate(&grid, readOnly, ellipsis, std::move(onEllipsis)));
}

} // namespace doceditors
