#include "UMain.h"

#include "LoginUserInfo.h"
#include "LumoActionList.h"
#include "LumoBtn.h"
#include "LumoImage.h"
#include "LumoLabel.h"
#include "LumoPopMenu.h"
#include "LumoSocketConnection.h"
#include "LumoTransBtn.h"
#include "ShellMessages.h"
#include "UAbout.h"
#include "UActionRights.h"
#include "UActions.h"
#include "UDMMain.h"
#include "ULogIn.h"
#include "ULogPara.h"
#include "UMsgBox.h"
#include "UNav.h"
#include "UNavPane.h"
#include "UParentInfo.h"
#include "UShellArt.h"
#include "UWait.h"
#include "UWorkArea.h"
#include "UWorkWindows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSizeGrip>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using korvane::actions::ActionDef;
using korvane::actions::Kind;

namespace {

const QString kExitQuestion = QStringLiteral("确实要退出系统吗？");
const char *const kTag = "Tag";
constexpr int kSizingStep = 10;

QString keyOf(const QString &windowClass)
{
    return windowClass.toUpper();
}

QColor tileColour(Kind kind)
{
    switch (kind) {
    case Kind::Command:
        return QColor(0x2A, 0x5C, 0xB4);
    case Kind::WorkWindow:
        return QColor(0x1E, 0x8C, 0x5A);
    case Kind::Report:
        return QColor(0xD0, 0x7A, 0x1E);
    case Kind::Chart:
        return QColor(0x8A, 0x3C, 0xB4);
    case Kind::Dialog:
        return QColor(0x1E, 0x8C, 0x96);
    case Kind::Tool:
        return QColor(0x7A, 0x5A, 0x3C);
    case Kind::Web:
        return QColor(0x1E, 0x6E, 0xC8);
    case Kind::Shell:
        break;
    }
    return QColor(0xB4, 0x2A, 0x2A);
}

bool windowExists(const ActionDef &def)
{
    switch (def.kind) {
    case Kind::WorkWindow:
    case Kind::Report:
    case Kind::Chart:
    case Kind::Dialog:
        return korvane::workwindows::isRegistered(def.windowClass);
    case Kind::Tool:
        return !korvane::actions::installedTool(def).isEmpty();
    default:
        return true;
    }
}

//! The windows the shell itself brings.
void registerShellWindows()
{
    using korvane::workwindows::registerWindow;
    registerWindow(QStringLiteral("TfrmSrvAbout"),
                   [](QWidget *parent) { return new TfrmSrvAbout(parent); });
    registerWindow(QStringLiteral("TfrmLogPara"),
                   [](QWidget *parent) { return new TfrmLogPara(parent); });
}

} // namespace

TfrmMain::TfrmMain(korvane::ShellMessages *shell, TdmMain *dm, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_shell(shell), m_dm(dm)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("KorvaneTradimo2003--"));
    setMinimumSize(780, 580);
    resize(1024, 720);
    registerShellWindows();

    buildActions();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1); // the grey border is painted around
    layout->setSpacing(0);
    buildTopBar();
    layout->addWidget(pnlTop);
    buildToolbar();
    layout->addWidget(tbMain);

    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    pnlNav = new TNavPane(this);
    body->addWidget(pnlNav);
    mdiMain = new QMdiArea(this);
    mdiMain->setObjectName(QStringLiteral("mdiMain"));
    mdiMain->setBackground(Qt::white);
    body->addWidget(mdiMain, 1);
    m_work = std::make_unique<TWorkArea>(mdiMain);
    layout->addLayout(body, 1);
    buildStatusBar();
    buildTitleMenu();

    connect(pnlNav, &TNavPane::pageRequested, this, &TfrmMain::showPage);
    connect(m_work.get(), &TWorkArea::frontChanged, this, &TfrmMain::updateTitle);
    connect(m_work.get(), &TWorkArea::frontChanged, this, &TfrmMain::applyCommandRights);
    connect(m_work.get(), &TWorkArea::workWindowGone, this, &TfrmMain::workWindowGone);
    connect(m_work.get(), &TWorkArea::leaveRequested, this,
            [this] { action(QStringLiteral("ActClose"))->trigger(); });
    if (m_shell) {
        connect(m_shell, &korvane::ShellMessages::received, this,
                [this](korvane::ShellMessages::Message message, qint64 wParam, qint64) {
                    // While the login dialog exists the message is the dialog's.
                    if (message == korvane::ShellMessages::KorvaneClose && wParam == 0 && !m_login)
                        QMetaObject::invokeMethod(
                            this, [this] { action(QStringLiteral("ActClose"))->trigger(); },
                            Qt::QueuedConnection);
                });
    }
    refreshActions();
}

TfrmMain::~TfrmMain()
{
    // Children go after this object's members: nothing of theirs may call back in.
    mdiMain->disconnect(this);
    for (QMdiSubWindow *sub : mdiMain->subWindowList())
        sub->disconnect(this);
    if (ParentInfo.SetCommandTarget)
        ParentInfo.SetCommandTarget = nullptr;
}

// ---- building ---------------------------------------------------------------------------

void TfrmMain::buildActions()
{
    alAll = new TLumoActionList(this);
    alAll->setObjectName(QStringLiteral("alAll"));
    QList<QKeySequence> taken;
    const QList<ActionDef> &table = korvane::actions::actionTable();
    for (int i = 0; i < table.size(); ++i) {
        const ActionDef &def = table.at(i);
        QAction *action = alAll->addAction(def.caption, i);
        action->setObjectName(def.name);
        action->setProperty(kTag, def.tag);
        // A shortcut belongs to the first action in list order that has it.
        const QKeySequence key(def.shortcut);
        if (!key.isEmpty() && !taken.contains(key)) {
            taken << key;
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        addAction(action);
        m_actions.insert(def.name, action);
        connect(action, &QAction::triggered, this,
                [this, i, action] { runAction(korvane::actions::actionTable().at(i), action); });
    }
}

void TfrmMain::refreshActions()
{
    QList<QPixmap> images;
    for (const ActionDef &def : korvane::actions::actionTable()) {
        const bool exists = windowExists(def);
        const bool allowed =
            !ParentInfo.RightsKnown || korvane::actions::allowedBy(def, ParentInfo.Rights);
        if (QAction *a = action(def.name))
            a->setEnabled(exists && allowed);
        images << korvane::shellart::launcherPicture(
            def.caption, exists && allowed ? tileColour(def.kind) : QColor(0xA0, 0xA0, 0xA0));
    }
    alAll->setImages(images);
    for (const QString &name : korvane::actions::commandButtons()) {
        if (QAction *a = action(name))
            a->setIcon(QIcon(TLumoActionList::pictureOf(a)));
    }
    applyCommandRights();
}

void TfrmMain::applyCommandRights()
{
    if (!ParentInfo.RightsKnown)
        return;
    const QString windowClass = m_work ? m_work->windowClassOf(m_work->workWindow()) : QString();
    for (const QString &name : korvane::actions::commandButtons()) {
        QAction *a = action(name);
        const korvane::actions::ActionDef *def = korvane::actions::findAction(name);
        if (a && def)
            a->setEnabled(
                korvane::actions::commandAllowed(windowClass, def->tag, ParentInfo.Rights));
    }
}

void TfrmMain::buildTopBar()
{
    pnlTop = new QFrame(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    pnlTop->setFixedHeight(30);
    pnlTop->setAutoFillBackground(true);
    QPalette pal = pnlTop->palette();
    pal.setBrush(QPalette::Window, korvane::shellart::topBar(QSize(16, 30)).scaled(2000, 30));
    pal.setColor(QPalette::WindowText, Qt::white);
    pnlTop->setPalette(pal);

    imgTitle = new TLumoImage(pnlTop);
    imgTitle->setObjectName(QStringLiteral("imgTitle"));
    imgTitle->setPixmap(korvane::shellart::titlePicture());
    lblCaption = new QLabel(windowTitle(), pnlTop);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    QFont bold = lblCaption->font();
    bold.setBold(true);
    lblCaption->setFont(bold);
    lblTitle = new QLabel(QStringLiteral("[功能导航]"), pnlTop);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setStyleSheet(QStringLiteral("color: #FFFF80;"));

    pnlImages = new QWidget(pnlTop);
    pnlImages->setObjectName(QStringLiteral("pnlImages"));
    auto *strip = new QHBoxLayout(pnlImages);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(2);
    using korvane::shellart::TitleGlyph;
    const std::pair<TLumoImage **, std::pair<const char *, TitleGlyph>> pictures[] = {
        {&imgMin, {"imgMin", TitleGlyph::Min}},
        {&imgMax, {"imgMax", TitleGlyph::Max}},
        {&imgRestore, {"imgRestore", TitleGlyph::Restore}},
        {&imgClose, {"imgClose", TitleGlyph::Close}},
    };
    for (const auto &[member, look] : pictures) {
        auto *image = new TLumoImage(pnlImages);
        image->setObjectName(QString::fromLatin1(look.first));
        image->setPixmap(korvane::shellart::titleButton(look.second));
        image->setCursor(Qt::PointingHandCursor);
        strip->addWidget(image);
        *member = image;
    }
    connect(imgMin, &TLumoImage::clicked, this, &QWidget::showMinimized);
    connect(imgMax, &TLumoImage::clicked, this, &QWidget::showMaximized);
    connect(imgRestore, &TLumoImage::clicked, this, &QWidget::showNormal);
    connect(imgClose, &TLumoImage::clicked, this, &QWidget::close);
    updateWindowPictures();

    auto *row = new QHBoxLayout(pnlTop);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(imgTitle);
    row->addWidget(lblCaption);
    row->addWidget(lblTitle);
    row->addStretch(1);
    row->addWidget(pnlImages);
    for (QObject *dragged : {static_cast<QObject *>(pnlTop), static_cast<QObject *>(lblCaption),
                             static_cast<QObject *>(imgTitle), static_cast<QObject *>(pnlImages)})
        dragged->installEventFilter(this);
}

void TfrmMain::buildTitleMenu()
{
    pmTitle = new TLumoPopMenu(this);
    pmTitle->setObjectName(QStringLiteral("pmTitle"));
    const std::pair<const char *, std::function<void()>> items[] = {
        {"还原", [this] { showNormal(); }},
        {"大小", [this] { startSizing(); }},
        {"最小化", [this] { showMinimized(); }},
        {"最大化", [this] { showMaximized(); }},
        {"-", {}},
        {"关闭", [this] { close(); }},
    };
    for (const auto &[caption, run] : items) {
        if (!run) {
            pmTitle->addSeparator();
            continue;
        }
        QAction *item = pmTitle->addAction(QString::fromUtf8(caption));
        connect(item, &QAction::triggered, this, run);
    }
    connect(pmTitle, &QMenu::aboutToShow, this, [this] {
        const QList<QAction *> items = pmTitle->actions();
        const bool maximised = isMaximized(), minimised = isMinimized();
        items.at(0)->setEnabled(maximised || minimised);
        items.at(1)->setEnabled(!maximised && !minimised);
        items.at(2)->setEnabled(!minimised);
        items.at(3)->setEnabled(!maximised);
    });
}

void TfrmMain::buildToolbar()
{
    tbMain = new QWidget(this);
    tbMain->setObjectName(QStringLiteral("tbMain"));
    auto *row = new QHBoxLayout(tbMain);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    for (const korvane::actions::MenuDef &def : korvane::actions::toolbarMenus()) {
        auto *menu = new TLumoPopMenu(this);
        menu->setObjectName(def.name);
        for (const QString &item : def.items) {
            if (item == QLatin1String("-"))
                menu->addSeparator();
            else if (QAction *a = action(item))
                menu->addAction(a);
        }
        auto *button = new QToolButton(tbMain);
        button->setObjectName(QStringLiteral("tb") + def.name.mid(3));
        button->setText(def.caption);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setAutoRaise(true);
        button->setMinimumHeight(44);
        row->addWidget(button);
    }
    auto *line = new QFrame(tbMain);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    row->addWidget(line);
    for (const QString &name : korvane::actions::commandButtons()) {
        auto *button = new QToolButton(tbMain);
        button->setObjectName(QStringLiteral("tb") + name.mid(3));
        button->setDefaultAction(action(name));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(22, 22));
        button->setAutoRaise(true);
        row->addWidget(button);
    }
    row->addStretch(1);
}

void TfrmMain::buildStatusBar()
{
    auto *bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("pnlStatus"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 1, 0, 1);
    lblTime = new QLabel(bar);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblTime->setMinimumWidth(150);
    lblLogIn = new QLabel(bar);
    lblLogIn->setObjectName(QStringLiteral("lblLogIn"));
    row->addWidget(lblTime);
    row->addWidget(lblLogIn, 1);
    row->addWidget(new QSizeGrip(bar), 0, Qt::AlignBottom | Qt::AlignRight);
    layout()->addWidget(bar);

    tmTime = new QTimer(this);
    tmTime->setObjectName(QStringLiteral("tmTime"));
    tmTime->setInterval(1000);
    const auto tick = [this] {
        lblTime->setText(
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    };
    connect(tmTime, &QTimer::timeout, this, tick);
    tick();
    tmTime->start();
}

QAction *TfrmMain::action(const QString &name) const
{
    return m_actions.value(name, nullptr);
}

// ---- login and start-up -----------------------------------------------------------------

bool TfrmMain::RunLogIn(TfrmLogIn *dialog)
{
    m_login = dialog;
    const bool ok = dialog && dialog->exec() == QDialog::Accepted;
    if (ok) {
        fillSession(dialog->sessionId(), dialog->userInfo());
        applyLoginSettings(ParentInfo, dialog->grants(), dialog->parameters());
        copyToLumoSession(ParentInfo, lumoSession());
        refreshActions();
    }
    return ok;
}

void TfrmMain::fillSession(const QString &sessionId, const korvane::LoginUserInfo &user)
{
    fillParentInfo(ParentInfo, sessionId, user);
    const QPointer<TfrmMain> self(this);
    ParentInfo.SetCommandTarget = [self](const TCommandEntry &entry) {
        if (self)
            self->SetCommandTarget(entry);
    };
    copyToLumoSession(ParentInfo, lumoSession());
    lblLogIn->setText(loginStatusText(ParentInfo, QDateTime::currentDateTime()));
}

void TfrmMain::CreateStartupWindows()
{
    modalWindow(QStringLiteral("TfrmSrvAbout"));
    showNavigation();
    for (const ActionDef &def : korvane::actions::actionTable()) {
        if (def.kind == Kind::Dialog || def.kind == Kind::Report || def.kind == Kind::Chart)
            modalWindow(def.windowClass);
    }
}

void TfrmMain::showNavigation()
{
    if (!frmNav) {
        refreshActions();
        frmNav = new TfrmNav([this](const QString &name) { return action(name); });
        QMdiSubWindow *sub = mdiMain->addSubWindow(frmNav, Qt::FramelessWindowHint);
        sub->setObjectName(QStringLiteral("subNav"));
        m_work->setNavigation(frmNav);
        sub->installEventFilter(this); // the navigation window closes only with the program
    }
    bringToFront(frmNav);
    updateTitle();
}

QWidget *TfrmMain::modalWindow(const QString &windowClass)
{
    QPointer<QWidget> &window = m_modals[keyOf(windowClass)];
    if (!window) {
        window = korvane::workwindows::create(windowClass, this);
        if (window && !window->isWindow())
            window->setWindowFlag(Qt::Dialog);
    }
    return window;
}

// ---- actions ----------------------------------------------------------------------------

void TfrmMain::runAction(const ActionDef &def, QAction *action)
{
    switch (def.kind) {
    case Kind::Command:
        runCommand(action->property(kTag).toInt());
        break;
    case Kind::WorkWindow:
        if (QWidget *window = OpenWorkWindow(action, def.windowClass); window && def.invoiceFlag)
            window->setProperty(korvane::workwindows::InvoiceFlagProperty, def.invoiceFlag);
        break;
    case Kind::Report:
    case Kind::Chart:
    case Kind::Dialog:
        showModal(def);
        break;
    case Kind::Tool:
        startTool(def);
        break;
    case Kind::Web:
        QDesktopServices::openUrl(
            def.name == QLatin1String("ActMail")
                ? QUrl(QStringLiteral("mailto:") + korvane::actions::vendorMailAddress())
                : QUrl(korvane::actions::vendorWebPage()));
        break;
    case Kind::Shell:
        if (def.name == QLatin1String("ActClose"))
            close();
        else
            reconnect();
        break;
    }
}

void TfrmMain::showModal(const ActionDef &def)
{
    QWidget *window = modalWindow(def.windowClass);
    if (!window)
        return;
    if (def.kind == Kind::Report)
        window->setProperty(korvane::workwindows::ReportCodeProperty, def.reportCode);
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        dialog->exec();
        return;
    }
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

void TfrmMain::startTool(const ActionDef &def)
{
    const QString program = korvane::actions::installedTool(def);
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        MsgBox(QStringLiteral("无法启动") + def.caption, mkHint);
}

// ---- work windows -----------------------------------------------------------------------

void TfrmMain::SetCommandTarget(const TCommandEntry &entry)
{
    m_work->SetCommandTarget(entry);
}

bool TfrmMain::hasCommandTarget() const
{
    return m_work->hasCommandTarget();
}

QWidget *TfrmMain::workWindow() const
{
    return m_work->workWindow();
}

QWidget *TfrmMain::activeChild() const
{
    return m_work->activeChild();
}

void TfrmMain::runCommand(int command)
{
    m_work->runCommand(command);
}

QWidget *TfrmMain::OpenWorkWindow(QAction *action, const QString &windowClass)
{
    const ActionDef *def = korvane::actions::findAction(action ? action->objectName() : "");
    QWidget *window = m_work->open(windowClass, def ? def->windowCaption : QString());
    if (!window)
        return nullptr;
    if (action)
        pnlNav->tbActive->setAction(action);
    pnlNav->pnlHide->hide();
    updateTitle();
    return window;
}

void TfrmMain::bringToFront(QWidget *child)
{
    m_work->bringToFront(child);
}

void TfrmMain::workWindowGone()
{
    pnlNav->pnlHide->show();
    if (frmNav)
        bringToFront(frmNav);
    updateTitle();
}

void TfrmMain::updateTitle()
{
    QWidget *child = activeChild();
    const QString caption = child ? child->windowTitle() : QStringLiteral("功能导航");
    lblTitle->setText(QStringLiteral("[") + caption + QStringLiteral("]"));
}

void TfrmMain::showPage(const QString &page)
{
    showNavigation();
    frmNav->showPage(page);
}

bool TfrmMain::handOver(const char *method, const QVariant &rows)
{
    QAction *buy = action(QStringLiteral("actXBuy"));
    buy->trigger();
    QWidget *window = m_work->windowOf(QStringLiteral("TfrmXBuyh"));
    return window && QMetaObject::invokeMethod(window, method, Q_ARG(QVariant, rows));
}

bool TfrmMain::ImportSale2Buy(const QVariant &rows)
{
    return handOver(korvane::workwindows::ImportSale2BuyMethod, rows);
}

bool TfrmMain::ImportStockToBuy(const QVariant &rows)
{
    return handOver(korvane::workwindows::ImportStockToBuyMethod, rows);
}

// ---- connections ------------------------------------------------------------------------

bool TfrmMain::reconnect()
{
    if (!m_dm)
        return false;
    bool ok = true;
    {
        TWaitGuard wait(QStringLiteral("请稍等，连接服务器......"), QString());
        try {
            // The base connection carries the session: it is renewed only when it was lost.
            if (!m_dm->SCBase->Connected())
                m_dm->SCBase->setConnected(true);
            for (TLumoSocketConnection *connection : m_dm->connections()) {
                if (connection == m_dm->SCBase)
                    continue;
                connection->setConnected(false);
                connection->setSession(ParentInfo.Log.SessionId);
                connection->setConnected(true);
            }
        } catch (const std::exception &) {
            ok = false;
        }
    }
    if (!ok)
        MsgBox(TfrmLogIn::statusMessage(-1), mkHint);
    return ok;
}

// ---- leaving ----------------------------------------------------------------------------

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (isVisible()) {
        if (MsgBox(kExitQuestion, mkYesNo) != mrYes || !m_work->returnWorkWindow()) {
            event->ignore();
            return;
        }
    }
    m_closing = true;
    if (frmNav)
        frmNav->close();
    event->accept();
}

// ---- frame ------------------------------------------------------------------------------

void TfrmMain::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(korvane::shellart::BorderGrey);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TfrmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        updateWindowPictures();
}

void TfrmMain::updateWindowPictures()
{
    imgMax->setVisible(!isMaximized());
    imgRestore->setVisible(isMaximized());
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && frmNav && watched == frmNav->parentWidget() &&
        !m_closing) {
        event->ignore();
        return true;
    }
    if (dragFrom(watched, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool TfrmMain::dragFrom(QObject *watched, QEvent *event)
{
    if (watched != pnlTop && watched != lblCaption && watched != imgTitle && watched != pnlImages)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (watched == imgTitle && mouse->button() == Qt::RightButton) {
            pmTitle->popup(screen()->geometry().topLeft());
            return true;
        }
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_drag.press(mouse->globalPosition().toPoint());
        return watched == imgTitle;
    case QEvent::MouseMove:
        return m_drag.move(mouse->globalPosition().toPoint(), mouse->buttons());
    case QEvent::MouseButtonRelease:
        // A click on the title picture, not a drag, opens the title menu.
        if (watched == imgTitle && mouse->button() == Qt::LeftButton && !m_drag.dragging()) {
            pmTitle->popup(screen()->geometry().topLeft());
            return true;
        }
        m_drag.release();
        return false;
    default:
        return false;
    }
}

void TfrmMain::startSizing()
{
    if (isMaximized() || isMinimized())
        return;
    m_sizing = true;
    m_sizingStart = geometry();
    QApplication::setOverrideCursor(Qt::SizeAllCursor);
    grabKeyboard();
    grabMouse();
}

void TfrmMain::stopSizing(bool keep)
{
    if (!m_sizing)
        return;
    m_sizing = false;
    releaseKeyboard();
    releaseMouse();
    QApplication::restoreOverrideCursor();
    if (!keep)
        setGeometry(m_sizingStart);
}

void TfrmMain::keyPressEvent(QKeyEvent *event)
{
    if (!m_sizing) {
        QWidget::keyPressEvent(event);
        return;
    }
    QSize size = this->size();
    switch (event->key()) {
    case Qt::Key_Left:
        size.rwidth() -= kSizingStep;
        break;
    case Qt::Key_Right:
        size.rwidth() += kSizingStep;
        break;
    case Qt::Key_Up:
        size.rheight() -= kSizingStep;
        break;
    case Qt::Key_Down:
        size.rheight() += kSizingStep;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        stopSizing(true);
        return;
    case Qt::Key_Escape:
        stopSizing(false);
        return;
    default:
        return;
    }
    resize(size.expandedTo(minimumSize()));
}

void TfrmMain::mousePressEvent(QMouseEvent *event)
{
    if (m_sizing) {
        stopSizing(true);
        return;
    }
    QWidget::mousePressEvent(event);
}
