#include "USpecedt.h"

#include "LumoEdit.h"
#include "LumoLabel.h"
#include "LumoListBox.h"
#include "LumoRemoteServer.h"
#include "LumobitBtn.h"
#include "Packet.h"
#include "UMsgBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

namespace {

const char *const DefaultCaptions[TfrmSpecedt::HeadCount] = {"规格一", "规格二", "规格三",
                                                             "规格四", "规格五", "规格六"};

//! A remote method's packet; an empty one when the server answered null or failed.
korvane::Packet packetOf(TLumoRemoteServer &base, const char *method, const QString &arg,
                         bool *isNull)
{
    QVariant result;
    try {
        result = base.call(QLatin1String(method), {arg});
    } catch (const TLumoRemoteError &) {
    }
    *isNull = result.isNull() || !result.canConvert<korvane::Packet>();
    return *isNull ? korvane::Packet() : result.value<korvane::Packet>();
}

QString cell(const korvane::Packet &packet, int row, const QString &name)
{
    const int column = packet.indexOf(name);
    return column < 0 ? QString() : packet.rows.at(row).value(column).toString();
}

} // namespace

TfrmSpecedt::TfrmSpecedt(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSpecedt"));
    setWindowTitle(QStringLiteral("货品规格选择"));
    auto *grid = new QGridLayout;
    for (int i = 0; i < HeadCount; ++i) {
        auto *label = new TLumoLabel(QString::fromUtf8(DefaultCaptions[i]), this);
        label->setObjectName(QStringLiteral("lbl%1").arg(i + 1));
        auto *list = new TLumoListBox(this);
        list->setObjectName(QStringLiteral("elb%1").arg(i + 1));
        list->setMinimumSize(110, 160);
        connect(list, &QListWidget::itemClicked, this, &TfrmSpecedt::rebuildText);
        grid->addWidget(label, 0, i);
        grid->addWidget(list, 1, i);
        m_labels << label;
        m_lists << list;
    }
    edtSpec = new TLumoEdit(this);
    edtSpec->setObjectName(QStringLiteral("edtSpec"));
    edtSpec->setReadOnly(true);
    auto *ok = new TLumobitBtn(this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setText(QStringLiteral("确定"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *cancel = new TLumobitBtn(this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setText(QStringLiteral("取消"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new TLumoLabel(QStringLiteral("规格："), this));
    bottom->addWidget(edtSpec, 1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(bottom);
    empty();
}

bool TfrmSpecedt::Load(TLumoRemoteServer &base, const QString &classCode,
                       const QString &currentSpec)
{
    bool none = false;
    const korvane::Packet heads = packetOf(base, "GetSpech", classCode, &none);
    const auto headCode = [&heads](int n) {
        return cell(heads, 0, QStringLiteral("hSpecno%1").arg(n)).trimmed();
    };
    // A class whose row names no head has nothing to choose either.
    bool anyHead = false;
    for (int n = 1; n <= HeadCount && !none && !heads.rows.isEmpty(); ++n)
        anyHead = anyHead || !headCode(n).isEmpty();
    if (!anyHead) {
        MsgBox(QStringLiteral("此大类产品没有规格可选择！"), mkHint);
        return false;
    }
    for (int n = 1; n <= HeadCount; ++n) {
        if (!headCode(n).isEmpty())
            fillHead(base, n, headCode(n), cell(heads, 0, QStringLiteral("hspecName%1").arg(n)));
    }
    edtSpec->setText(currentSpec);
    return true;
}

void TfrmSpecedt::fillHead(TLumoRemoteServer &base, int n, const QString &code, const QString &name)
{
    bool none = false;
    const korvane::Packet items = packetOf(base, "GetSpec", code, &none);
    label(n)->setText(name);
    TLumoListBox *box = list(n);
    for (int row = 0; row < items.rows.size(); ++row)
        box->addItem(cell(items, row, QStringLiteral("Name")));
    if (box->count() > 0) {
        box->setTagStr(QString());
        box->setEnabled(true);
    }
}

QString TfrmSpecedt::specText() const
{
    QStringList picks;
    for (const TLumoListBox *box : m_lists) {
        if (const QListWidgetItem *item = box->currentItem(); item && item->isSelected())
            picks << item->text();
    }
    return picks.join(QLatin1Char(','));
}

void TfrmSpecedt::rebuildText()
{
    edtSpec->setText(specText());
}

bool TfrmSpecedt::Choose(TLumoRemoteServer &base, const QString &classCode, QString &spec)
{
    if (!Load(base, classCode, spec))
        return false;
    if (exec() != QDialog::Accepted)
        return false;
    spec = m_accepted;
    return true;
}

void TfrmSpecedt::done(int result)
{
    m_accepted = result == QDialog::Accepted ? edtSpec->text() : QString();
    QDialog::done(result);
    empty();
}

void TfrmSpecedt::empty()
{
    for (int i = 0; i < HeadCount; ++i) {
        m_labels.at(i)->setText(QString::fromUtf8(DefaultCaptions[i]));
        TLumoListBox *box = m_lists.at(i);
        box->clear();
        box->setTagStr(QStringLiteral("R"));
        box->setEnabled(false);
    }
    edtSpec->clear();
}

TfrmSpecedt &frmSpecedt()
{
    static QPointer<TfrmSpecedt> chooser;
    if (!chooser) {
        chooser = new TfrmSpecedt;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, chooser, &QObject::deleteLater);
    }
    return *chooser;
}
