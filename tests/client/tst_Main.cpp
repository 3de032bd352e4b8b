#include "LoginUserInfo.h"
#include "LumoBtn.h"
#include "LumoImage.h"
#include "LumoLabel.h"
#include "LumoPopMenu.h"
#include "LumoRemoteServer.h"
#include "LumoTransBtn.h"
#include "PlantIni.h"
#include "ShellMessages.h"
#include "UActions.h"
#include "UApplication.h"
#include "ULogPara.h"
#include "UMain.h"
#include "UMsgBox.h"
#include "UNav.h"
#include "UNavPane.h"
#include "UParentInfo.h"
#include "UWorkWindows.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

//! What a test work window's command entry heard, and how it answers.
struct EntryLog
{
    QList<int> commands;
    bool mayLeave = true;
    bool returnSucceeds = true;
};

//! A small work window: registers a command entry with the session when shown, answers
//! command 14 from the log and closes itself on command 12.
class TestWorkWindow : public QWidget
{
public:
    TestWorkWindow(EntryLog *log, const QString &title) : m_log(log) { setWindowTitle(title); }

protected:
    void showEvent(QShowEvent *event) override
    {
        QWidget::showEvent(event);
        if (!ParentInfo.SetCommandTarget)
            return;
        QPointer<TestWorkWindow> self(this);
        EntryLog *log = m_log;
        ParentInfo.SetCommandTarget([self, log](int command) {
            log->commands << command;
            if (command == 14)
                return log->mayLeave;
            if (command == 12 && log->returnSucceeds && self)
                self->parentWidget()->close();
            return command != 12 || log->returnSucceeds;
        });
    }

private:
    EntryLog *m_log;
};

//! A condition window that remembers what it was shown with and closes at once.
class TestConditionWindow : public QDialog
{
public:
    using QDialog::QDialog;
    QStringList shownWith;

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        shownWith << property(korvane::workwindows::ReportCodeProperty).toString();
        QTimer::singleShot(0, this, &QDialog::accept);
    }
};

//! A purchase-order window that keeps what the two hand-overs passed it.
class TestOrderWindow : public QWidget
{
    Q_OBJECT
public:
    QVariantList fromSales, fromStock;
    Q_INVOKABLE void ImportSale2Buy(const QVariant &rows) { fromSales << rows; }
    Q_INVOKABLE void ImportStockToBuy(const QVariant &rows) { fromStock << rows; }
};

class Thrower : public QObject
{
public:
    bool operatorError = false; // the server's refusal rather than a plain failure

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        if (operatorError)
            throw TLumoRemoteError(QStringLiteral("连接已断开"));
        throw std::runtime_error("lost");
    }
};

} // namespace

class tst_Main : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void actionsEnabledByRegistry();
    void shortcutsOwnedByFirstAction();
    void keysWithoutWorkWindow();
    void commandsRouteToWorkWindow();
    void returnFromNavigationWindow_data();
    void returnFromNavigationWindow();
    void openRefusedWhileUnsaved();
    void openClosesSavedWindow();
    void openBringsOpenWindowToFront();
    void invoiceFlagAfterOpening();
    void purchaseOrderHandOvers();
    void reportCodeHandedToConditionWindow();
    void minimumSize();
    void serverCloseRequest_data();
    void serverCloseRequest();
    void groupButtons();
    void subButtonsSwitchNavigationPages();
    void titleMenuAndPictures();
    void loginParametersWritten();
    void toolActionsFollowInstalledPrograms();
    void errorHookShowsNothing_data();
    void errorHookShowsNothing();

private:
    std::unique_ptr<TfrmMain> makeMain();
    QWidget *open(TfrmMain &main, const QString &actionName);

    QStringList m_messages;
    int m_answer = mrNo;
    EntryLog m_first, m_second;
    int m_created = 0;
};

void tst_Main::init()
{
    m_messages.clear();
    m_answer = mrNo;
    m_first = {};
    m_second = {};
    m_created = 0;
    setMsgBoxHandler([this](const TMsgBoxRequest &r) {
        m_messages << r.text;
        return m_answer;
    });
    using korvane::workwindows::registerWindow;
    registerWindow(QStringLiteral("TfrmXCI"), [this](QWidget *) {
        ++m_created;
        return new TestWorkWindow(&m_first, QStringLiteral("品牌设置"));
    });
    registerWindow(QStringLiteral("TfrmXPrdth"), [this](QWidget *) {
        ++m_created;
        return new TestWorkWindow(&m_second, QStringLiteral("货品资料"));
    });
    registerWindow(QStringLiteral("TfrmInvoice"), [this](QWidget *) {
        ++m_created;
        return new TestWorkWindow(&m_second, QString());
    });
}

void tst_Main::cleanup()
{
    setMsgBoxHandler({});
    for (const char *name : {"TfrmXCI", "TfrmXPrdth", "TfrmInvoice", "TfrmRPTBuyQry", "TfrmXBuyh"})
        korvane::workwindows::unregisterWindow(name);
}

std::unique_ptr<TfrmMain> tst_Main::makeMain()
{
    auto main = std::make_unique<TfrmMain>();
    main->pnlNav->setSlideDelay(0);
    main->fillSession(QStringLiteral("7"), korvane::LoginUserInfo{});
    main->CreateStartupWindows();
    main->show();
    main->activateWindow();
    if (!QTest::qWaitForWindowActive(main.get()))
        qWarning("main window not active");
    return main;
}

QWidget *tst_Main::open(TfrmMain &main, const QString &actionName)
{
    const korvane::actions::ActionDef *def = korvane::actions::findAction(actionName);
    return main.OpenWorkWindow(main.action(actionName), def->windowClass);
}

void tst_Main::actionsEnabledByRegistry()
{
    auto main = makeMain();
    QVERIFY(main->action("actXCI")->isEnabled());
    QVERIFY(!main->action("actStockMove")->isEnabled()); // its window is not built in here
    QVERIFY(main->action("actSrvPara")->isEnabled());    // the shell's own dialog
    QVERIFY(main->action("ActSave")->isEnabled());
    // The navigation window shows every action of its page, the missing ones disabled.
    const QList<TLumoTransBtn *> corp = main->frmNav->launchers("Corp");
    QCOMPARE(corp.size(), 7);
    QCOMPARE(corp.at(0)->btnLabel()->text(), QStringLiteral("公司定义"));
    QVERIFY(!corp.at(0)->isEnabled());
    const QList<TLumoTransBtn *> prdt = main->frmNav->launchers("PRDT");
    QCOMPARE(prdt.at(1)->Action(), main->action("actXCI"));
    QVERIFY(prdt.at(1)->isEnabled());
}

void tst_Main::shortcutsOwnedByFirstAction()
{
    auto main = makeMain();
    QCOMPARE(main->action("ActRefresh")->shortcut(), QKeySequence(Qt::Key_F7));
    QVERIFY(main->action("ActPrint")->shortcut().isEmpty());
    QCOMPARE(main->action("ActPrint")->property("Tag").toInt(), 11);
    QCOMPARE(main->action("actReturn")->shortcut(), QKeySequence(Qt::Key_F8));
}

void tst_Main::keysWithoutWorkWindow()
{
    auto main = makeMain();
    // F2 with only the navigation window: nothing at all.
    QTest::keyClick(main.get(), Qt::Key_F2);
    QVERIFY(m_messages.isEmpty());
    // F8 there leaves the program, with the question; "no" keeps it running.
    QTest::keyClick(main.get(), Qt::Key_F8);
    QCOMPARE(m_messages, QStringList{QStringLiteral("确实要退出系统吗？")});
    QVERIFY(main->isVisible());
    // "yes" ends it.
    m_answer = mrYes;
    QTest::keyClick(main.get(), Qt::Key_F8);
    QVERIFY(!main->isVisible());
}

void tst_Main::commandsRouteToWorkWindow()
{
    auto main = makeMain();
    QWidget *window = open(*main, "actXCI");
    QVERIFY(window);
    QCOMPARE(main->lblTitle->text(), QStringLiteral("[品牌设置]"));
    QVERIFY(main->pnlNav->pnlHide->isHidden());
    QCOMPARE(main->pnlNav->tbActive->btnLabel()->text(), QStringLiteral("品牌设置"));

    // F7 refreshes (10); the check comes from its button or menu item (11).
    QTest::keyClick(main.get(), Qt::Key_F7);
    main->action("ActPrint")->trigger();
    QTest::keyClick(main.get(), Qt::Key_F2);
    main->action("ActFirst")->trigger();
    QCOMPARE(m_first.commands, (QList<int>{10, 11, 5, 1}));

    // With the navigation window in front, a command brings the work window back first.
    main->pnlNav->clickSubButton(main->pnlNav->subButtons("Base").at(1));
    QCOMPARE(main->activeChild(), main->frmNav.data());
    QCOMPARE(main->lblTitle->text(), QStringLiteral("[功能导航]"));
    main->action("ActSave")->trigger();
    QCOMPARE(m_first.commands.last(), 8);
    QCOMPARE(main->activeChild(), window);

    // Return closes the work window and the navigation window comes back.
    QPointer<QWidget> gone(window);
    main->action("actReturn")->trigger();
    QCOMPARE(m_first.commands.last(), 12);
    QTRY_VERIFY(!gone);
    QVERIFY(!main->workWindow());
    QCOMPARE(main->lblTitle->text(), QStringLiteral("[功能导航]"));
    QVERIFY(!main->pnlNav->pnlHide->isHidden());
    QVERIFY(m_messages.isEmpty());
}

void tst_Main::returnFromNavigationWindow_data()
{
    QTest::addColumn<bool>("mayLeave");
    QTest::addColumn<int>("exitAnswer");
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("workWindowLeft");
    const QString exit = QStringLiteral("确实要退出系统吗？");
    const QString unsaved = QStringLiteral("当前窗体的记录尚未保存！请先检查是否需要保存！");
    QTest::newRow("saved, exit refused")
        << true << int(mrNo) << QList<int>{14, 12} << QStringList{exit} << false;
    QTest::newRow("saved, exit") << true << int(mrYes) << QList<int>{14, 12} << QStringList{exit}
                                 << false;
    QTest::newRow("unsaved") << false << int(mrYes) << QList<int>{14} << QStringList{unsaved}
                             << true;
}

void tst_Main::returnFromNavigationWindow()
{
    QFETCH(bool, mayLeave);
    QFETCH(int, exitAnswer);
    QFETCH(QList<int>, commands);
    QFETCH(QStringList, messages);
    QFETCH(bool, workWindowLeft);
    auto main = makeMain();
    QWidget *window = open(*main, "actXCI");
    QVERIFY(window);
    main->pnlNav->clickSubButton(main->pnlNav->subButtons("Base").at(0));
    QCOMPARE(main->activeChild(), main->frmNav.data());
    m_first.mayLeave = mayLeave;
    m_answer = exitAnswer;

    QTest::keyClick(main.get(), Qt::Key_F8);
    QCOMPARE(m_first.commands, commands);
    QCOMPARE(m_messages, messages);
    QCOMPARE(main->workWindow() != nullptr, workWindowLeft);
    if (workWindowLeft) {
        QCOMPARE(main->activeChild(), window);
        QCOMPARE(main->lblTitle->text(), QStringLiteral("[品牌设置]"));
    }
    QCOMPARE(main->isVisible(), exitAnswer != mrYes || workWindowLeft);
}

void tst_Main::openRefusedWhileUnsaved()
{
    auto main = makeMain();
    QWidget *first = open(*main, "actXCI");
    m_first.mayLeave = false;
    QVERIFY(!open(*main, "actXPrdth"));
    QCOMPARE(m_created, 1);
    QCOMPARE(m_first.commands, QList<int>{14});
    QCOMPARE(m_messages,
             QStringList{QStringLiteral("当前窗体的记录尚未保存！请先检查是否需要保存！")});
    QCOMPARE(main->activeChild(), first);
    QCOMPARE(main->lblTitle->text(), QStringLiteral("[品牌设置]"));
}

void tst_Main::openClosesSavedWindow()
{
    auto main = makeMain();
    QPointer<QWidget> first = open(*main, "actXCI");
    QWidget *second = open(*main, "actXPrdth");
    QVERIFY(second);
    QCOMPARE(m_first.commands, (QList<int>{14, 12}));
    QTRY_VERIFY(!first);
    QCOMPARE(main->workWindow(), second);
    QCOMPARE(main->lblTitle->text(), QStringLiteral("[货品资料]"));
    QCOMPARE(main->pnlNav->tbActive->btnLabel()->text(), QStringLiteral("产品资料"));

    // A window whose own save question is cancelled stays, and nothing else opens.
    m_second.returnSucceeds = false;
    QVERIFY(!open(*main, "actXCI"));
    QCOMPARE(main->workWindow(), second);
    QCOMPARE(m_created, 2);
}

void tst_Main::openBringsOpenWindowToFront()
{
    auto main = makeMain();
    QWidget *window = open(*main, "actXCI");
    main->pnlNav->clickSubButton(main->pnlNav->subButtons("Base").at(2));
    QCOMPARE(main->activeChild(), main->frmNav.data());
    main->action("actXCI")->trigger();
    QCOMPARE(main->activeChild(), window);
    QCOMPARE(m_created, 1);
    QVERIFY(m_first.commands.isEmpty());
}

void tst_Main::invoiceFlagAfterOpening()
{
    auto main = makeMain();
    main->action("actRedinvoice")->trigger();
    QWidget *invoice = main->workWindow();
    QVERIFY(invoice);
    QCOMPARE(invoice->property("InvoiceFlag").toInt(), 2);
    QCOMPARE(invoice->windowTitle(), QStringLiteral("发票开据"));
    main->action("actBlueinvoice")->trigger();
    QCOMPARE(main->workWindow(), invoice);
    QCOMPARE(invoice->property("InvoiceFlag").toInt(), 1);
    QCOMPARE(m_created, 1);
}

void tst_Main::purchaseOrderHandOvers()
{
    QPointer<TestOrderWindow> order;
    korvane::workwindows::registerWindow(QStringLiteral("TfrmXBuyh"), [&](QWidget *) {
        order = new TestOrderWindow;
        order->setWindowTitle(QStringLiteral("采购单"));
        return order.data();
    });
    auto main = makeMain();
    QVERIFY(main->ImportSale2Buy(QVariantList{1, 2}));
    QVERIFY(order);
    QCOMPARE(main->workWindow(), order.data());
    QVERIFY(main->ImportStockToBuy(QVariantList{3}));
    QCOMPARE(order->fromSales, (QVariantList{QVariantList{1, 2}}));
    QCOMPARE(order->fromStock, (QVariantList{QVariantList{3}}));
}

void tst_Main::reportCodeHandedToConditionWindow()
{
    QPointer<TestConditionWindow> condition;
    korvane::workwindows::registerWindow(QStringLiteral("TfrmRPTBuyQry"), [&](QWidget *parent) {
        condition = new TestConditionWindow(parent);
        return condition.data();
    });
    auto main = makeMain();
    QVERIFY(condition); // created once at start-up
    TestConditionWindow *created = condition;
    main->action("actRPTBuyDetail")->trigger();
    main->action("ActRPTBuyIn")->trigger();
    QCOMPARE(condition.data(), created);
    QCOMPARE(condition->shownWith, (QStringList{"RPTBUYDETAIL", "RPTBUYIN"}));
}

void tst_Main::minimumSize()
{
    auto main = makeMain();
    main->resize(500, 400);
    QCOMPARE(main->size(), QSize(780, 580));
    main->startSizing();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(main.get(), Qt::Key_Left);
    QCOMPARE(main->width(), 780);
    QTest::keyClick(main.get(), Qt::Key_Right);
    QTest::keyClick(main.get(), Qt::Key_Down);
    QCOMPARE(main->size(), QSize(790, 590));
    QTest::keyClick(main.get(), Qt::Key_Escape);
    QCOMPARE(main->size(), QSize(780, 580));
    QVERIFY(!main->isSizing());
}

void tst_Main::serverCloseRequest_data()
{
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("wParam");
    QTest::addColumn<bool>("asked");
    QTest::newRow("close, server asks") << int(korvane::ShellMessages::KorvaneClose) << 0 << true;
    QTest::newRow("close, a client ends")
        << int(korvane::ShellMessages::KorvaneClose) << 1 << false;
    QTest::newRow("minimise") << int(korvane::ShellMessages::KorvaneMin) << 0 << false;
}

void tst_Main::serverCloseRequest()
{
    QFETCH(int, message);
    QFETCH(int, wParam);
    QFETCH(bool, asked);
    korvane::ShellMessages shell(QCoreApplication::applicationDirPath());
    TfrmMain main(&shell);
    main.pnlNav->setSlideDelay(0);
    main.show();
    emit shell.received(korvane::ShellMessages::Message(message), wParam, 0);
    QCoreApplication::processEvents();
    QCOMPARE(m_messages.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(m_messages.first(), QStringLiteral("确实要退出系统吗？"));
    QVERIFY(main.isVisible()); // "no" keeps the client running
}

void tst_Main::groupButtons()
{
    auto main = makeMain();
    TNavPane *pane = main->pnlNav;
    const QList<TLumoBtn *> groups = pane->groupButtons();
    const int h = TNavPane::groupButtonHeight();
    QCOMPARE(pane->openGroup(), pane->btnBase);

    // Opening a group slides it up under the ones before it, the rest to the bottom.
    pane->clickGroup(pane->btnStock);
    QCOMPARE(pane->openGroup(), pane->btnStock);
    QVERIFY(pane->lastSlideSteps() > 1);
    for (int i = 0; i <= 3; ++i)
        QCOMPARE(groups.at(i)->y(), i * h);
    QCOMPARE(pane->btnSystem->geometry().bottom(), pane->pnlActive->y() - 1);
    QVERIFY(pane->nbmenu->isVisible());
    QCOMPARE(pane->nbmenu->currentWidget()->objectName(), QStringLiteral("Stock"));
    QCOMPARE(pane->nbmenu->y(), 4 * h);
    QCOMPARE(pane->btnStock->FontColor(), QColor(Qt::white));
    QCOMPARE(pane->btnBase->FontColor(), QColor(Qt::yellow));
    for (TLumoBtn *group : groups)
        QVERIFY(group->isEnabled());

    // Clicking it again closes it: every button stacks at the top, the page hides.
    pane->clickGroup(pane->btnStock);
    QCOMPARE(pane->openGroup(), nullptr);
    for (int i = 0; i < groups.size(); ++i)
        QCOMPARE(groups.at(i)->y(), i * h);
    QVERIFY(!pane->nbmenu->isVisible());
    QCOMPARE(pane->btnStock->FontColor(), QColor(Qt::yellow));
}

void tst_Main::subButtonsSwitchNavigationPages()
{
    auto main = makeMain();
    TNavPane *pane = main->pnlNav;
    QCOMPARE(main->frmNav->currentPage(), QStringLiteral("Corp"));
    pane->clickGroup(pane->btnExport);
    const QList<TLumoBtn *> subs = pane->subButtons("Export");
    QCOMPARE(subs.size(), 3);
    for (TLumoBtn *sub : subs)
        QVERIFY(!sub->Down());

    pane->clickSubButton(subs.at(2)); // 决策支持
    QCOMPARE(main->frmNav->currentPage(), QStringLiteral("ExportRPTChart"));
    QVERIFY(subs.at(2)->Down());
    QCOMPARE(subs.at(2)->FontColor(), QColor(Qt::blue));
    QCOMPARE(main->frmNav->launchers("ExportRPTChart").size(), 5);
    QCOMPARE(main->lblTitle->text(), QStringLiteral("[功能导航]"));

    pane->clickSubButton(subs.at(0));
    QCOMPARE(main->frmNav->currentPage(), QStringLiteral("ExportNav"));
    QVERIFY(!subs.at(2)->Down());
    QCOMPARE(subs.at(2)->FontColor(), QColor(Qt::black));
}

void tst_Main::titleMenuAndPictures()
{
    auto main = makeMain();
    const QStringList captions = [&] {
        QStringList list;
        for (QAction *item : main->pmTitle->actions())
            list << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return list;
    }();
    QCOMPARE(captions, (QStringList{"还原", "大小", "最小化", "最大化", "-", "关闭"}));
    main->showNormal();
    QVERIFY(!main->imgMax->isHidden());
    QVERIFY(main->imgRestore->isHidden());
    main->showMaximized();
    QTRY_VERIFY(main->imgMax->isHidden());
    QVERIFY(!main->imgRestore->isHidden());
}

void tst_Main::loginParametersWritten()
{
    const QString ini = korvane::plantIniPath();
    QFile::remove(ini);
    TfrmLogPara dialog;
    dialog.show();
    QCOMPARE(dialog.edtSrv->text(), QString());
    dialog.edtSrv->setText(QStringLiteral("server-7"));
    QVERIFY(dialog.save());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(korvane::ReadPlantIni("KORVANEQUV", "Srvname"), QStringLiteral("server-7"));
    dialog.hide();
    dialog.show();
    QCOMPARE(dialog.edtSrv->text(), QStringLiteral("server-7"));
    QFile::remove(ini);
}

void tst_Main::toolActionsFollowInstalledPrograms()
{
    // Only a folder of our own is searched: the calculator is there, nothing else is.
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    QFile calc(bin.filePath(QStringLiteral("xcalc")));
    QVERIFY(calc.open(QIODevice::WriteOnly));
    calc.write("#!/bin/sh\n");
    calc.close();
    calc.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    auto main = makeMain();
    const bool calcEnabled = main->action("actCalc")->isEnabled();
    const bool notepadEnabled = main->action("ActNotepad")->isEnabled();
    const QString found =
        korvane::actions::installedTool(*korvane::actions::findAction(QStringLiteral("actCalc")));
    qputenv("PATH", path);
    QVERIFY(calcEnabled);
    QVERIFY(!notepadEnabled);
    QCOMPARE(found, calc.fileName());
}

void tst_Main::errorHookShowsNothing_data()
{
    QTest::addColumn<bool>("operatorError");
    QTest::newRow("unexpected") << false;
    QTest::newRow("an operator's error no window caught") << true;
}

void tst_Main::errorHookShowsNothing()
{
    QFETCH(bool, operatorError);
    auto *app = qobject_cast<TKorvaneApplication *>(QCoreApplication::instance());
    QVERIFY(app);
    const int before = app->swallowedErrors();
    Thrower thrower;
    thrower.operatorError = operatorError;
    // The last resort only logs: what the operator sees comes from the windows' own boundaries.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("unhandled error")));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(app->swallowedErrors(), before + 1);
    QVERIFY(m_messages.isEmpty());
}

int main(int argc, char *argv[])
{
    TKorvaneApplication app(argc, argv);
    tst_Main test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Main.moc"
