// A gallery of the client's component library: every editor, grid, panel and button on
// one window with Chinese captions, for looking at them. "--shot file.png" saves a
// picture of the window and ends.

#include "LumoActionList.h"
#include "LumoBtn.h"
#include "LumoCLientDataSet.h"
#include "LumoCheckBox.h"
#include "LumoComboBox.h"
#include "LumoDBGrid.h"
#include "LumoDBImage.h"
#include "LumoDataSource.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoMessageBox.h"
#include "LumoMessages.h"
#include "LumoFaceSet.h"
#include "LumoFont.h"
#include "LumoImage.h"
#include "LumoLabel.h"
#include "LumoListBox.h"
#include "LumoPageControl.h"
#include "LumoPanel.h"
#include "LumoPopMenu.h"
#include "LumoSpinEdit.h"
#include "LumoStringGrid.h"
#include "LumoTransBtn.h"
#include "LumobitBtn.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QTimer>

using korvane::FieldType;

namespace {

//! A small picture on a magenta ground (the transparent colour of glyphs).
QPixmap glyph(QColor colour, int size = 20)
{
    QPixmap picture(size, size);
    picture.fill(Qt::magenta);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker());
    painter.drawEllipse(2, 2, size - 5, size - 5);
    return picture;
}

QPixmap tile(QColor a, QColor b)
{
    QPixmap picture(16, 16);
    picture.fill(a);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 8, 8, b);
    painter.fillRect(8, 8, 8, 8, b);
    return picture;
}

QByteArray photo()
{
    QPixmap picture(60, 60);
    picture.fill(QColor(0xDD, 0xEE, 0xFF));
    QPainter painter(&picture);
    painter.setBrush(QColor(0x33, 0x99, 0x33));
    painter.drawRect(10, 25, 40, 30);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

//! A purchase receipt head and its lines, kept in memory.
struct Receipt
{
    TLumoCLientDataSet head;
    TLumoCLientDataSet lines;
    TLumoCLientDataSet currencies;
    TLumoDataSource dsHead, dsLines, dsCurrencies;

    Receipt()
    {
        head.addDataField(QStringLiteral("HeadNo"), FieldType::String, 12)
            .setDisplayLabel(QStringLiteral("单号"));
        head.addDataField(QStringLiteral("BillDate"), FieldType::String, 19);
        head.addDataField(QStringLiteral("Remark"), FieldType::String, 60);
        head.addDataField(QStringLiteral("CurrCode"), FieldType::String, 4);
        head.addDataField(QStringLiteral("Note"), FieldType::String, 200);
        head.addDataField(QStringLiteral("Photo"), FieldType::Blob);
        head.CreateDataSet();
        head.Append();
        head.FieldByName(QStringLiteral("HeadNo")).setValue(QStringLiteral("202412300001"));
        head.FieldByName(QStringLiteral("BillDate"))
            .setValue(QStringLiteral("2024-12-30 09:15:00"));
        head.FieldByName(QStringLiteral("Remark")).setValue(QStringLiteral("年底补货"));
        head.FieldByName(QStringLiteral("CurrCode")).setValue(QStringLiteral("01"));
        head.FieldByName(QStringLiteral("Note"))
            .setValue(QStringLiteral("供应商送货上门，\n验收合格。"));
        head.FieldByName(QStringLiteral("Photo")).setValue(photo());
        head.Post();

        lines.addDataField(QStringLiteral("PdtCode"), FieldType::String, 30)
            .setDisplayLabel(QStringLiteral("产品代码"));
        lines.addDataField(QStringLiteral("PdtName"), FieldType::String, 40)
            .setDisplayLabel(QStringLiteral("产品名称"));
        lines.addDataField(QStringLiteral("Pqty"), FieldType::Float)
            .setDisplayLabel(QStringLiteral("数量"));
        lines.addDataField(QStringLiteral("Price"), FieldType::Float)
            .setDisplayLabel(QStringLiteral("单价"));
        lines.addDataField(QStringLiteral("Amount"), FieldType::Float)
            .setDisplayLabel(QStringLiteral("金额"))
            .setDisplayFormat(QStringLiteral("0.00"));
        lines.CreateDataSet();
        const QList<QVariantList> rows = {
            {"P001", "圆珠笔", 120, 1.5}, {"P002", "笔记本", 60, 4.8},  {"P003", "文件夹", 45, 3.2},
            {"P004", "订书机", 12, 18.0}, {"P005", "复印纸", 30, 25.5},
        };
        for (const QVariantList &row : rows) {
            lines.Append();
            for (int i = 0; i < row.size(); ++i)
                lines.Fields(i).setValue(row.at(i));
            lines.FieldByName(QStringLiteral("Amount"))
                .setValue(row.at(2).toDouble() * row.at(3).toDouble());
            lines.Post();
        }
        lines.First();
        lines.FieldByName(QStringLiteral("Amount")).setReadOnly(true); // computed, never typed

        currencies.addDataField(QStringLiteral("Code"), FieldType::String, 4);
        currencies.addDataField(QStringLiteral("Name"), FieldType::String, 20);
        currencies.CreateDataSet();
        for (const auto &[code, name] : {std::pair{"01", "人民币"}, std::pair{"02", "美元"}}) {
            currencies.Append();
            currencies.Fields(0).setValue(QString::fromUtf8(code));
            currencies.Fields(1).setValue(QString::fromUtf8(name));
            currencies.Post();
        }
        dsHead.setDataSet(&head);
        dsLines.setDataSet(&lines);
        dsCurrencies.setDataSet(&currencies);
    }
};

template <typename W> W *place(W *widget, int x, int y, int w, int h)
{
    widget->setGeometry(x, y, w, h);
    return widget;
}

TLumoLabel *caption(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new TLumoLabel(text, parent);
    label->move(x, y + 3);
    label->adjustSize();
    return label;
}

void buildQueryPanel(QWidget *form)
{
    auto *query = place(new TLumoPanel(form), 8, 8, 784, 44);
    query->setBackGround(tile(QColor(0xE8, 0xE8, 0xF8), QColor(0xD8, 0xD8, 0xF0)));
    query->setBkDirect(TLumoPanel::BkStrech);
    query->setPnlType(TLumoPanel::ptQuery);
    auto *from = place(new TLumoDateEdit(query), 80, 12, 130, 21);
    from->setDateTimeFmt(TLumoDateEdit::dtfGBDate);
    from->SetDateTimeText(QStringLiteral("2024-12-01 00:00:00"));
    caption(query, QStringLiteral("开始日期"), 20, 12)
        ->setStyleSheet(QStringLiteral("color: white"));
    auto *kind = place(new TLumoComboBox(query), 300, 12, 120, 21);
    kind->addItems(
        {QStringLiteral("采购入库"), QStringLiteral("采购退货"), QStringLiteral("销售出库")});
    caption(query, QStringLiteral("单据类型"), 240, 12)
        ->setStyleSheet(QStringLiteral("color: white"));
}

void buildHeadPanel(QWidget *form, Receipt &receipt)
{
    auto *head = place(new TLumoPanel(form), 8, 58, 784, 170);
    head->setPnlType(TLumoPanel::ptActivePnl);
    head->setTagStr(QStringLiteral("D1"));
    head->SetActive(true);
    auto bind = [&](auto *control, const char *field) {
        control->setDataSource(&receipt.dsHead);
        control->setDataField(QString::fromLatin1(field));
        return control;
    };
    caption(head, QStringLiteral("单号"), 12, 10);
    bind(place(new TLumoDBEdit(head), 70, 10, 140, 21), "HeadNo")->setTagStr(QStringLiteral("R"));
    caption(head, QStringLiteral("日期"), 230, 10);
    bind(place(new TLumoDBDateEdit(head), 270, 10, 150, 21), "BillDate")
        ->setDateTimeType(TLumoDateEdit::dttDateTime);
    caption(head, QStringLiteral("币别"), 440, 10);
    auto *currency = bind(place(new TLumoDBLookupCombobox(head), 480, 10, 100, 21), "CurrCode");
    currency->setListSource(&receipt.dsCurrencies);
    currency->setKeyField(QStringLiteral("Code"));
    currency->setListField(QStringLiteral("Name"));
    caption(head, QStringLiteral("摘要"), 12, 38);
    bind(place(new TLumoDBEdit(head), 70, 38, 350, 21), "Remark");
    caption(head, QStringLiteral("备注"), 12, 66);
    bind(place(new TLumoDBMemo(head), 70, 66, 350, 44), "Note");
    caption(head, QStringLiteral("数量"), 440, 38);
    place(new TLumoSpinEdit(head), 480, 38, 100, 21)->setValue(12);
    place(new TLumoCheckBox(QStringLiteral("已审核"), head), 440, 66, 80, 21)->setChecked(true);
    auto *pay = place(new TLumoRadioGroup(head), 70, 114, 350, 50);
    pay->setTitle(QStringLiteral("付款方式"));
    pay->setColumns(3);
    pay->setItems({QStringLiteral("现金"), QStringLiteral("支票"), QStringLiteral("赊账")});
    pay->setItemIndex(0);
    auto *list = place(new TLumoListBox(head), 600, 10, 80, 100);
    list->addItems({QStringLiteral("一号仓"), QStringLiteral("二号仓"), QStringLiteral("门市部")});
    bind(place(new TLumoDBImage(head), 700, 10, 72, 72), "Photo");
    caption(head, QStringLiteral("大写"), 600, 120);
    place(new TLumoEdit(head), 640, 118, 132, 21)->setText(QStringLiteral("肆佰伍拾元整"));
}

void buildLinesPanel(QWidget *form, Receipt &receipt)
{
    auto *lines = place(new TLumoPanel(form), 8, 234, 784, 150);
    lines->setPnlType(TLumoPanel::ptActivePnl);
    lines->setTagStr(QStringLiteral("D2"));
    auto *grid = place(new Tlumodbgrid(lines), 4, 4, 776, 142);
    grid->setTagStr(QStringLiteral("D2"));
    grid->setDataSource(&receipt.dsLines);
    grid->setColorOne(Qt::red); // stored by the form, replaced when the grid is shown
    grid->setCurrentIndex(grid->model()->index(1, 1));
}

void buildButtons(QWidget *form, TLumoActionList *actions)
{
    auto *bar = place(new TLumoPanel(form), 8, 390, 784, 104);
    const QList<std::pair<TLumoBtn::TLayOut, QString>> layouts = {
        {TLumoBtn::glLeft, QStringLiteral("新增")},   {TLumoBtn::glRight, QStringLiteral("修改")},
        {TLumoBtn::glTop, QStringLiteral("删除")},    {TLumoBtn::glBottom, QStringLiteral("保存")},
        {TLumoBtn::glCenter, QStringLiteral("取消")},
    };
    int x = 8;
    for (const auto &[layout, text] : layouts) {
        auto *button = place(new TLumoBtn(bar), x, 6, 70, 58);
        button->setGlyph(glyph(QColor(0x30, 0x80, 0xD0)));
        button->setLayOut(layout);
        button->setCaptions({text});
        x += 76;
    }
    auto *twoLines = place(new TLumoBtn(bar), x, 6, 70, 58);
    twoLines->setCaptions({QStringLiteral("审核"), QStringLiteral("(F7)")});
    twoLines->setEnabled(false);
    x += 76;
    auto *picture = place(new TLumoBtn(bar), x, 6, 70, 58);
    picture->setImgNormal(tile(QColor(0xC8, 0xE0, 0xC8), QColor(0xB0, 0xD0, 0xB0)).scaled(70, 58));
    picture->setCaptions({QStringLiteral("图片按钮")});
    x += 76;
    auto *shaped = place(new TLumoBtn(bar), x, 4, 56, 56);
    shaped->setGlyph(glyph(QColor(0xE0, 0x60, 0x30), 48));
    shaped->setShowCaption(false);
    shaped->setLayOut(TLumoBtn::glCenter);
    shaped->setRegionBtn(true);
    x += 64;
    auto *launcher = place(new TLumoTransBtn(bar), x + 20, 8, 32, 32);
    launcher->setAction(actions->actions().value(0));
    place(new TLumobitBtn(QStringLiteral("确定(&Y)"), bar), 8, 70, 80, 26);
    place(new TLumobitBtn(QStringLiteral("取消(&C)"), bar), 94, 70, 80, 26);
    auto *image = place(new TLumoImage(bar), x + 90, 8, 40, 40);
    image->setPixmap(glyph(QColor(0x90, 0x40, 0xC0), 40));
    caption(bar, QStringLiteral("当前窗口：采购入库单"), 200, 72);
}

void buildPages(QWidget *form)
{
    auto *pages = place(new TLumoPageControl(form), 8, 500, 784, 140);
    auto *grid = new TLumoStringGrid(4, 4);
    grid->setHorizontalHeaderLabels({QStringLiteral("月份"), QStringLiteral("采购"),
                                     QStringLiteral("销售"), QStringLiteral("库存")});
    const QStringList months = {QStringLiteral("一月"), QStringLiteral("二月"),
                                QStringLiteral("三月"), QStringLiteral("四月")};
    for (int r = 0; r < 4; ++r) {
        grid->setItem(r, 0, new QTableWidgetItem(months.at(r)));
        for (int c = 1; c < 4; ++c)
            grid->setItem(r, c, new QTableWidgetItem(QString::number((r + 1) * c * 125)));
    }
    pages->addTab(grid, QStringLiteral("月度汇总"));
    pages->addTab(new QWidget, QStringLiteral("图表"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setLumoMessageHook(lumoDefaultMessage);
    QWidget form;
    form.setWindowTitle(QStringLiteral("控件一览 — 采购入库单"));
    form.setFont(lumo::lumoFont());
    form.resize(800, 648);
    new TLumoFaceSet(&form);
    auto *actions = new TLumoActionList(&form);
    actions->setImages({glyph(QColor(0x20, 0x90, 0x50), 32)});
    actions->addAction(QStringLiteral("采购入库"), 0);
    Receipt receipt;
    buildQueryPanel(&form);
    buildHeadPanel(&form, receipt);
    buildLinesPanel(&form, receipt);
    buildButtons(&form, actions);
    buildPages(&form);
    auto *menu = new TLumoPopMenu(&form);
    menu->setTitleItem(menu->addAction(QStringLiteral("套帐管理")));
    menu->addAction(QStringLiteral("还原至窗口"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("退出套帐管理"));
    form.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&form, &QWidget::customContextMenuRequested, menu,
                     [&form, menu](const QPoint &at) { menu->popup(form.mapToGlobal(at)); });
    form.show();

    const QStringList args = app.arguments();
    const qsizetype shotAt = args.indexOf(QStringLiteral("--shot"));
    if (shotAt > 0 && shotAt + 1 < args.size()) {
        const QString file = args.at(shotAt + 1);
        QTimer::singleShot(300, &form, [&form, file] {
            form.grab().save(file);
            QApplication::quit();
        });
    }
    return app.exec();
}
