#include "UNav.h"

#include "LumoLabel.h"
#include "LumoPanel.h"
#include "LumoTransBtn.h"
#include "UActions.h"
#include "UShellArt.h"

#include <QAction>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// Launchers stand in rows of this grid, starting at the page's top-left margin.
constexpr int kColumnWidth = 130;
constexpr int kRowHeight = 96;
constexpr int kMargin = 40;
constexpr int kColumns = 5;

} // namespace

TfrmNav::TfrmNav(ActionLookup actionOf, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmNav"));
    setWindowTitle(QStringLiteral("功能导航"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    nbNav = new QStackedWidget(this);
    nbNav->setObjectName(QStringLiteral("nbNav"));
    layout->addWidget(nbNav);
    for (const korvane::actions::NavGroup &group : korvane::actions::navigationTree()) {
        for (const korvane::actions::NavButton &button : group.buttons)
            nbNav->addWidget(buildPage(button.page(), button.actions, actionOf));
    }
    buildLogo();
    showPage(QStringLiteral("Corp"));
}

QWidget *TfrmNav::buildPage(const QString &page, const QStringList &actions,
                            const ActionLookup &actionOf)
{
    auto *widget = new QWidget(nbNav);
    widget->setObjectName(page);
    m_pages.insert(page.toUpper(), widget);
    for (int i = 0; i < actions.size(); ++i) {
        QAction *action = actionOf ? actionOf(actions.at(i)) : nullptr;
        if (!action)
            continue;
        auto *launcher = new TLumoTransBtn(widget);
        launcher->setObjectName(QStringLiteral("tb") + actions.at(i));
        launcher->setAction(action);
        launcher->setEnabled(action->isEnabled());
        connect(action, &QAction::changed, launcher,
                [launcher, action] { launcher->setEnabled(action->isEnabled()); });
        const int x = kMargin + (i % kColumns) * kColumnWidth;
        const int y = kMargin + (i / kColumns) * kRowHeight;
        launcher->move(x + (kColumnWidth - launcher->width()) / 2, y);
    }
    return widget;
}

void TfrmNav::buildLogo()
{
    pnlLogo = new TLumoPanel(this);
    pnlLogo->setObjectName(QStringLiteral("pnlLogo"));
    pnlLogo->setFrameShape(QFrame::NoFrame);
    auto *column = new QVBoxLayout(pnlLogo);
    column->setContentsMargins(8, 8, 8, 8);
    // The product name twice: a shadow under the title.
    auto *title = new QWidget(pnlLogo);
    QFont font = title->font();
    font.setPointSize(18);
    font.setBold(true);
    font.setItalic(true);
    const QSize text = QFontMetrics(font).size(Qt::TextSingleLine, productName()) + QSize(8, 4);
    title->setFixedSize(text + QSize(2, 2));
    for (const auto &[offset, colour] :
         {std::pair{2, QColor(0xC0, 0xC0, 0xC0)}, std::pair{0, QColor(0x12, 0x3C, 0x8C)}}) {
        auto *name = new TLumoLabel(productName(), title);
        name->setObjectName(offset ? QStringLiteral("lblProductShadow")
                                   : QStringLiteral("lblProduct"));
        name->setFont(font);
        name->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
        name->setGeometry(QRect(QPoint(offset, offset), text));
    }
    column->addWidget(title, 0, Qt::AlignRight);
    const QString web = korvane::actions::vendorWebPage();
    const QString mail = korvane::actions::vendorMailAddress();
    column->addWidget(korvane::shellart::linkLabel(web, QStringLiteral("网址: ") + web, pnlLogo), 0,
                      Qt::AlignRight);
    column->addWidget(korvane::shellart::linkLabel(QStringLiteral("mailto:") + mail,
                                                   QStringLiteral("邮件: ") + mail, pnlLogo),
                      0, Qt::AlignRight);
    pnlLogo->adjustSize();
    placeLogo();
}

void TfrmNav::placeLogo()
{
    if (!pnlLogo)
        return;
    pnlLogo->move(width() - pnlLogo->width() - 10, height() - pnlLogo->height() - 10);
    pnlLogo->raise();
}

void TfrmNav::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeLogo();
}

QWidget *TfrmNav::pageWidget(const QString &page) const
{
    return m_pages.value(page.toUpper(), nullptr);
}

bool TfrmNav::showPage(const QString &page)
{
    QWidget *widget = pageWidget(page);
    if (!widget)
        return false;
    nbNav->setCurrentWidget(widget);
    return true;
}

QString TfrmNav::currentPage() const
{
    return nbNav->currentWidget() ? nbNav->currentWidget()->objectName() : QString();
}

QList<TLumoTransBtn *> TfrmNav::launchers(const QString &page) const
{
    QWidget *widget = pageWidget(page);
    return widget ? widget->findChildren<TLumoTransBtn *>(Qt::FindDirectChildrenOnly)
                  : QList<TLumoTransBtn *>();
}
