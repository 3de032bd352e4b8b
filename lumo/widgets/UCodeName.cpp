#include "UCodeName.h"

#include "LumoCLientDataSet.h"
#include "LumoDBGrid.h"
#include "LumoDataSource.h"
#include "LumoFont.h"
#include "LumoImage.h"
#include "LumoLabel.h"
#include "LumobitBtn.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace {

//! The hint picture beside "小窍门": a small yellow lamp.
QPixmap hintPicture()
{
    QPixmap picture(24, 24);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x80, 0x60, 0x00));
    painter.setBrush(QColor(0xFF, 0xE0, 0x40));
    painter.drawEllipse(5, 2, 14, 14);
    painter.setBrush(Qt::gray);
    painter.drawRect(9, 16, 6, 5);
    return picture;
}

} // namespace

TfrmCodeName::TfrmCodeName(QWidget *parent)
    : QDialog(parent), dbGridCodeName(new Tlumodbgrid(this)), dsCodeName(new TLumoDataSource(this)),
      btnOK(new TLumobitBtn(QStringLiteral("确定(&Y)"), this)),
      btnCancel(new TLumobitBtn(QStringLiteral("取消(&C)"), this)),
      ImgMultiSel(new TLumoImage(this)), lblLinkImg(new TLumoLabel(QStringLiteral("小窍门"), this)),
      lblMultiSel(new TLumoLabel(QStringLiteral("按住Ctrl键可以用鼠标点选多行"), this)),
      lblMultiSel2(
          new TLumoLabel(QStringLiteral("按住Shiftl键可以用键盘的上下箭头选中连续的多行"), this))
{
    setObjectName(QStringLiteral("frmCodeName"));
    setWindowTitle(QStringLiteral("请选择"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    lumo::applyLumoFont(this);
    resize(560, 380);

    dbGridCodeName->setObjectName(QStringLiteral("dbGridCodeName"));
    dsCodeName->setObjectName(QStringLiteral("dsCodeName"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    ImgMultiSel->setObjectName(QStringLiteral("ImgMultiSel"));
    lblLinkImg->setObjectName(QStringLiteral("lblLinkImg"));
    lblMultiSel->setObjectName(QStringLiteral("lblMultiSel"));
    lblMultiSel2->setObjectName(QStringLiteral("lblMultiSel2"));

    dbGridCodeName->setDataSource(dsCodeName);
    dbGridCodeName->setRowSelect(true);
    dbGridCodeName->setReadOnly(true);
    dbGridCodeName->setDateTimeFmt(TLumoDateEdit::dtfDate);
    dbGridCodeName->installEventFilter(this);
    ImgMultiSel->setPixmap(hintPicture());
    ImgMultiSel->setCursor(Qt::PointingHandCursor);
    lblMultiSel->hide();
    lblMultiSel2->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(dbGridCodeName, 1);
    layout->addWidget(makeBottomPanel());

    connect(btnOK, &QPushButton::clicked, this, &TfrmCodeName::acceptIfRows);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(dbGridCodeName, &Tlumodbgrid::OnDblClick, this, &TfrmCodeName::acceptIfRows);
    connect(ImgMultiSel, &TLumoImage::clicked, this, &TfrmCodeName::toggleHints);
}

QWidget *TfrmCodeName::makeBottomPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlBottom"));
    auto *hints = new QVBoxLayout;
    hints->setSpacing(2);
    hints->addWidget(lblLinkImg);
    hints->addWidget(lblMultiSel);
    hints->addWidget(lblMultiSel2);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(ImgMultiSel);
    row->addLayout(hints);
    row->addStretch(1);
    row->addWidget(btnOK);
    row->addWidget(btnCancel);
    return panel;
}

void TfrmCodeName::setDataSet(TLumoCLientDataSet *dataSet)
{
    dsCodeName->setDataSet(dataSet);
}

void TfrmCodeName::setMultiSelect(bool on)
{
    ImgMultiSel->setVisible(on);
    lblLinkImg->setVisible(on);
    lblMultiSel->hide();
    lblMultiSel2->hide();
    dbGridCodeName->setMultiSelect(on);
}

void TfrmCodeName::fitColumns()
{
    const TLumoCLientDataSet *ds = dsCodeName->DataSet();
    if (!ds || ds->FieldCount() <= 1)
        return;
    const int share = dbGridCodeName->width() / ds->FieldCount();
    QHeaderView *header = dbGridCodeName->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        header->resizeSection(column, std::min(header->sectionSize(column), share));
}

void TfrmCodeName::acceptIfRows()
{
    const TLumoCLientDataSet *ds = dsCodeName->DataSet();
    if (ds && ds->Active() && !ds->IsEmpty())
        accept();
}

void TfrmCodeName::toggleHints()
{
    const bool shown = !lblMultiSel->isVisible();
    lblMultiSel->setVisible(shown);
    lblMultiSel2->setVisible(shown);
    lblLinkImg->setVisible(!shown);
}

void TfrmCodeName::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (layout())
        layout()->activate();
    fitColumns();
    dbGridCodeName->setFocus(Qt::OtherFocusReason);
}

bool TfrmCodeName::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dbGridCodeName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnOK->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
