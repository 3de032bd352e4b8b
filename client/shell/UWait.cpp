#include "UWait.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QPointer<TfrmWait> g_wait;

QPixmap hourglassPicture()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 3));
    p.setBrush(QColor(255, 255, 225));
    const QPolygon glass({{10, 6}, {38, 6}, {24, 24}, {38, 42}, {10, 42}, {24, 24}});
    p.drawPolygon(glass);
    p.setBrush(QColor(200, 160, 60));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({{16, 38}, {32, 38}, {24, 29}}));
    return pixmap;
}

} // namespace

TfrmWait::TfrmWait(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(QStringLiteral("请稍等......"));
    setCursor(Qt::WaitCursor);
    setStyleSheet(QStringLiteral("TfrmWait { background: #FFFFE1; border: 1px solid #000080; }"));

    auto *picture = new QLabel(this);
    picture->setPixmap(hourglassPicture());
    lbl1 = new QLabel(QStringLiteral("请稍等，根据您选择内容"), this);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl2 = new QLabel(QStringLiteral("多少， 等待的时间可能会有不同"), this);
    lbl2->setObjectName(QStringLiteral("lbl2"));

    auto *lines = new QVBoxLayout;
    lines->addWidget(lbl1);
    lines->addWidget(lbl2);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 12, 24, 12);
    layout->setSpacing(12);
    layout->addWidget(picture);
    layout->addLayout(lines);
    setFixedSize(330, 80);
}

TfrmWait::~TfrmWait() = default;

TfrmWait *TfrmWait::current()
{
    return g_wait;
}

void ShowWait(const QString &line1, const QString &line2)
{
    if (!g_wait) {
        g_wait = new TfrmWait;
        g_wait->setAttribute(Qt::WA_DeleteOnClose);
    }
    const QString keep = QStringLiteral("DEFAULT");
    if (line1 != keep)
        g_wait->lbl1->setText(line1);
    if (line2 != keep)
        g_wait->lbl2->setText(line2);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        g_wait->move(screen->geometry().center() - g_wait->rect().center());
    g_wait->show();
    g_wait->repaint();
    QApplication::processEvents();
}

void HideWait()
{
    if (!g_wait)
        return;
    TfrmWait *wait = g_wait;
    g_wait = nullptr;
    wait->hide();
    delete wait;
}
