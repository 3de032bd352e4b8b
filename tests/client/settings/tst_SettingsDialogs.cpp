// The rights editor, the password dialog and the parameter dialog against a scripted base
// module: what they send, what they show, and the greying of actions and commands.

#include "LumoChild.h"
#include "LumoRemoteServer.h"
#include "UActionRights.h"
#include "UMsgBox.h"
#include "UParentInfo.h"
#include "URight.h"
#include "USettingsCommon.h"
#include "USysPara.h"
#include "Upwd.h"

#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using korvane::SystemParameters;
using korvane::rights::Grants;
using korvane::settings::cellText;

namespace {

//! A base module that records the calls and answers from a table by method; a method whose
//! answer is an error text throws it as the server's refusal.
class ScriptedBase : public TLumoRemoteServer
{
public:
    struct Call
    {
        QString method;
        QVariantList args;
    };
    QList<Call> calls;
    QHash<QString, QVariant> answers;
    QHash<QString, QString> refusals;

    korvane::Packet getRecords(const QString &, int, int, const korvane::Params &) override
    {
        return {};
    }
    korvane::ApplyResult applyUpdates(const QString &, const korvane::ChangeSet &, int) override
    {
        return {};
    }
    QStringList getProviderNames() override { return {}; }
    korvane::Params getParams(const QString &) override { return {}; }
    QVariant call(const QString &method, const QVariantList &args, QVariantList *) override
    {
        calls.append({method, args});
        if (refusals.contains(method))
            throw TLumoRemoteError(refusals.value(method));
        return answers.value(method);
    }
    QStringList methods() const
    {
        QStringList names;
        for (const Call &c : calls)
            names << c.method;
        return names;
    }
};

//! Collects the messages shown and answers them with a fixed button.
struct Messages
{
    Messages()
    {
        previous = setMsgBoxHandler([this](const TMsgBoxRequest &r) {
            shown << r.text;
            return answer;
        });
    }
    ~Messages() { setMsgBoxHandler(previous); }
    QStringList shown;
    int answer = mrOk;
    TMsgBoxHandler previous;
};

void clickCell(QTableWidget *grid, int row, int column)
{
    grid->scrollToItem(grid->item(row, 0));
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

int reportRow(const char *name)
{
    return korvane::rights::rowOf(korvane::rights::List::Report, QString::fromUtf8(name));
}

} // namespace

class TestSettingsDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_base = std::make_unique<ScriptedBase>();
        korvane::settings::setBaseServer(m_base.get());
        ParentInfo.Log.UserCode = QStringLiteral("0007");
    }
    void cleanup() { korvane::settings::setBaseServer(nullptr); }

    void passwordChange_data();
    void passwordChange();
    void passwordEditsEmptiedOnShow();

    void rightsGridsFollowTheCatalogue();
    void clickingAGrantedReportClearsAllBox();
    void allRightsFillsTheTab();
    void rightsLoadAndStore();
    void unsavedRightsAskBeforeAnotherEmployee_data();
    void unsavedRightsAskBeforeAnotherEmployee();
    void refusedRightsKeepTheDialogOpen();
    void initialPassword();

    void parametersShownAndStored();
    void logoMustBeAPicture();

    void actionsFollowTheRights();

private:
    std::unique_ptr<TfrmRight> rightsEditor()
    {
        auto dialog = std::make_unique<TfrmRight>();
        dialog->setStaffSource([] {
            return QList<TfrmRight::Employee>{
                {QStringLiteral("0001"), QStringLiteral("系统管理员")},
                {QStringLiteral("0002"), QStringLiteral("张伟")}};
        });
        return dialog;
    }

    std::unique_ptr<ScriptedBase> m_base;
};

void TestSettingsDialogs::passwordChange_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<bool>("closed");

    QTest::newRow("both empty") << ""
                                << "" << QVariant(true) << ""
                                << "密码不能为空！" << false << false;
    QTest::newRow("differ only in case") << "Secret"
                                         << "secret" << QVariant(true) << ""
                                         << "密码不一致！" << false << false;
    QTest::newRow("second empty") << "abc"
                                  << "" << QVariant(true) << ""
                                  << "密码不一致！" << false << false;
    QTest::newRow("changed") << "abc"
                             << "abc" << QVariant(true) << ""
                             << "密码修改成功" << true << true;
    QTest::newRow("server says no") << "abc"
                                    << "abc" << QVariant(false) << ""
                                    << "密码修改失败" << true << false;
    QTest::newRow("call fails") << "abc"
                                << "abc" << QVariant() << "连接中断"
                                << "密码修改失败" << true << false;
}

void TestSettingsDialogs::passwordChange()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QVariant, answer);
    QFETCH(QString, refusal);
    QFETCH(QString, message);
    QFETCH(bool, sent);
    QFETCH(bool, closed);

    Messages messages;
    m_base->answers.insert(QStringLiteral("SetPWD"), answer);
    if (!refusal.isEmpty())
        m_base->refusals.insert(QStringLiteral("SetPWD"), refusal);
    Tfrmpwd dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.edt1->setText(first);
    dialog.edt2->setText(second);
    dialog.confirm();
    QCOMPARE(messages.shown, QStringList{message});
    QCOMPARE(!m_base->calls.isEmpty(), sent);
    if (sent) {
        QCOMPARE(m_base->calls.first().method, QStringLiteral("SetPWD"));
        QCOMPARE(m_base->calls.first().args, (QVariantList{QStringLiteral("0007"), first}));
    }
    QCOMPARE(dialog.isVisible(), !closed);
    if (message == QLatin1String("密码不能为空！"))
        QCOMPARE(QApplication::focusWidget(), dialog.edt1);
    if (message == QLatin1String("密码不一致！"))
        QCOMPARE(QApplication::focusWidget(), dialog.edt2);
}

void TestSettingsDialogs::passwordEditsEmptiedOnShow()
{
    Tfrmpwd dialog;
    QCOMPARE(dialog.edt1->maxLength(), 16);
    QCOMPARE(dialog.edt2->echoMode(), QLineEdit::Password);
    dialog.edt1->setText(QStringLiteral("left"));
    dialog.edt2->setText(QStringLiteral("over"));
    dialog.show();
    QCOMPARE(dialog.edt1->text(), QString());
    QCOMPARE(dialog.edt2->text(), QString());
}

void TestSettingsDialogs::rightsGridsFollowTheCatalogue()
{
    TfrmRight dialog;
    QCOMPARE(dialog.sgFunc->rowCount(), 36);
    QCOMPARE(dialog.sgRPT->rowCount(), 42);
    QCOMPARE(dialog.sgSys->rowCount(), 5);
    QCOMPARE(dialog.sgFunc->columnCount(), 5);
    QCOMPARE(cellText(dialog.sgFunc, 0, 4), QStringLiteral("审核"));
    QCOMPARE(cellText(dialog.sgFunc, 12, 0), QStringLiteral("厂商资料")); // number 12 is unused
    QCOMPARE(cellText(dialog.sgRPT, 16, 0), QStringLiteral("客户销售分析报表"));
    QCOMPARE(cellText(dialog.sgSys, 1, 0), QStringLiteral("人员权限"));
    QCOMPARE(dialog.pcRight->tabText(dialog.pcRight->currentIndex()), QStringLiteral("建档权限"));
}

void TestSettingsDialogs::clickingAGrantedReportClearsAllBox()
{
    auto dialog = rightsEditor();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    dialog->pcRight->setCurrentIndex(1);
    dialog->cbAllRPT->setChecked(true);
    QCOMPARE(cellText(dialog->sgRPT, 16, 1), korvane::settings::Granted);
    clickCell(dialog->sgRPT, 16, 1);
    QCOMPARE(cellText(dialog->sgRPT, 16, 1), QString());
    QVERIFY(!dialog->cbAllRPT->isChecked());
    // Clearing the box took nothing away; a second click grants again.
    QCOMPARE(cellText(dialog->sgRPT, 15, 1), korvane::settings::Granted);
    clickCell(dialog->sgRPT, 16, 1);
    QCOMPARE(cellText(dialog->sgRPT, 16, 1), korvane::settings::Granted);
    // The header row and the name column do not toggle.
    clickCell(dialog->sgRPT, 0, 1);
    clickCell(dialog->sgRPT, 3, 0);
    QCOMPARE(cellText(dialog->sgRPT, 0, 1), QStringLiteral("报表权限"));
    QCOMPARE(cellText(dialog->sgRPT, 3, 0), QStringLiteral("厂商报表"));
}

void TestSettingsDialogs::allRightsFillsTheTab()
{
    auto dialog = rightsEditor();
    dialog->show();
    dialog->cbAllFunc->setChecked(true);
    Grants functions;
    for (int row = 1; row <= 35; ++row) {
        for (int op = 0; op < 4; ++op)
            functions.grant(korvane::rights::functionRight(row, korvane::rights::Op(op)));
    }
    QCOMPARE(dialog->shownGrants(), functions);
    dialog->cbAllFunc->setChecked(false);
    QCOMPARE(dialog->shownGrants(), functions);
}

void TestSettingsDialogs::rightsLoadAndStore()
{
    Grants stored;
    stored.grant(korvane::rights::reportRight(reportRow("客户销售分析报表")));
    m_base->answers.insert(QStringLiteral("GetRights"), stored.toText());
    m_base->answers.insert(QStringLiteral("SetRights"), true);
    auto dialog = rightsEditor();
    dialog->show();
    QCOMPARE(m_base->calls.first().args, QVariantList{QStringLiteral("0001")});
    QCOMPARE(cellText(dialog->sgRPT, 16, 1), korvane::settings::Granted);
    QCOMPARE(cellText(dialog->sgRPT, 15, 1), QString());

    clickCell(dialog->sgSys, 2, 1);
    QVERIFY(dialog->confirm());
    Grants expected = stored;
    expected.grant(korvane::rights::systemRight(korvane::rights::SystemRight::Parameters));
    QCOMPARE(m_base->calls.last().method, QStringLiteral("SetRights"));
    QCOMPARE(m_base->calls.last().args, (QVariantList{QStringLiteral("0001"), expected.toText()}));
    QVERIFY(!dialog->isVisible());
}

void TestSettingsDialogs::unsavedRightsAskBeforeAnotherEmployee_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<bool>("stored");
    QTest::newRow("save") << int(mrYes) << "0002" << true;
    QTest::newRow("discard") << int(mrNo) << "0002" << false;
    QTest::newRow("stay") << int(mrCancel) << "0001" << false;
}

void TestSettingsDialogs::unsavedRightsAskBeforeAnotherEmployee()
{
    QFETCH(int, answer);
    QFETCH(QString, shownAfter);
    QFETCH(bool, stored);
    m_base->answers.insert(QStringLiteral("SetRights"), true);
    auto dialog = rightsEditor();
    dialog->show();
    Messages messages;
    messages.answer = answer;

    dialog->dbgEmp->setCurrentCell(1, 0); // nothing changed: no question
    QCOMPARE(messages.shown, QStringList());
    QCOMPARE(dialog->currentEmployee(), QStringLiteral("0002"));
    dialog->dbgEmp->setCurrentCell(0, 0);

    clickCell(dialog->sgFunc, 24, 1);
    dialog->dbgEmp->setCurrentCell(1, 0);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(dialog->currentEmployee(), shownAfter);
    QCOMPARE(m_base->methods().contains(QStringLiteral("SetRights")), stored);
    QCOMPARE(dialog->dbgEmp->currentRow(), shownAfter == QLatin1String("0001") ? 0 : 1);
}

void TestSettingsDialogs::refusedRightsKeepTheDialogOpen()
{
    const QString refusal = QStringLiteral("至少要有一名员工拥有“人员权限”，权限未保存！");
    m_base->refusals.insert(QStringLiteral("SetRights"), refusal);
    auto dialog = rightsEditor();
    dialog->show();
    Messages messages;
    QVERIFY(!dialog->confirm());
    QCOMPARE(messages.shown, QStringList{refusal});
    QVERIFY(dialog->isVisible());
}

void TestSettingsDialogs::initialPassword()
{
    m_base->answers.insert(QStringLiteral("SetUserPWD"), true);
    auto dialog = rightsEditor();
    dialog->show();
    dialog->dbgEmp->setCurrentCell(1, 0);
    Messages messages;
    QVERIFY(!dialog->setInitialPassword());
    QCOMPARE(messages.shown, QStringList{QStringLiteral("密码不能为空！")});
    QVERIFY(!m_base->methods().contains(QStringLiteral("SetUserPWD")));
    dialog->edtPWD->setText(QStringLiteral("start"));
    QVERIFY(dialog->setInitialPassword());
    QCOMPARE(m_base->calls.last().args,
             (QVariantList{QStringLiteral("0002"), QStringLiteral("start")}));
    QCOMPARE(dialog->edtPWD->text(), QString());
}

void TestSettingsDialogs::parametersShownAndStored()
{
    TfrmSysPara dialog;
    // The designed defaults before anything is read.
    QCOMPARE(dialog.shownParameters(), SystemParameters());
    QVERIFY(!dialog.sgCodeRule->isEnabled());
    QCOMPARE(dialog.sgCodeRule->rowCount(), 16);
    QCOMPARE(cellText(dialog.sgCodeRule, 0, 3), QStringLiteral("日期+"));
    QCOMPARE(cellText(dialog.sgCodeRule, 15, 0), QStringLiteral("其它库存异动单"));
    QVERIFY(dialog.cbDeptOnly->isChecked() && !dialog.cbDeptOnly->isEnabled());

    SystemParameters stored;
    stored.autoCheck = false;
    stored.reportCorpName1 = QStringLiteral("某某商贸");
    m_base->answers.insert(QStringLiteral("GetSysPara"), stored.toText());
    m_base->answers.insert(QStringLiteral("SetSysPara"), true);
    dialog.show();
    QCOMPARE(dialog.shownParameters(), stored);
    QCOMPARE(dialog.pcPara->tabText(dialog.pcPara->currentIndex()), QStringLiteral("单据编码规则"));

    dialog.cbSalePrice->setChecked(false);
    QVERIFY(dialog.confirm());
    stored.salePriceUpdate = false;
    QCOMPARE(m_base->calls.last().method, QStringLiteral("SetSysPara"));
    QCOMPARE(SystemParameters::fromText(m_base->calls.last().args.value(0).toString()), stored);

    // A refusal is shown and the dialog stays.
    const QString refusal = QStringLiteral("您没有“系统参数”的系统权限，操作未执行！");
    m_base->refusals.insert(QStringLiteral("SetSysPara"), refusal);
    dialog.show();
    Messages messages;
    QVERIFY(!dialog.confirm());
    QCOMPARE(messages.shown, QStringList{refusal});
    QVERIFY(dialog.isVisible());
}

void TestSettingsDialogs::logoMustBeAPicture()
{
    TfrmSysPara dialog;
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("logo.png"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("no picture at all");
    file.close();
    Messages messages;
    QVERIFY(!dialog.loadLogo(text));
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(dialog.shownParameters().reportLogo.isEmpty());

    const QString big = dir.filePath(QStringLiteral("big.png"));
    QImage image(64, 48, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(big));
    QVERIFY(dialog.loadLogo(big));
    const QByteArray logo = dialog.shownParameters().reportLogo;
    QVERIFY(SystemParameters::isStorableLogo(logo));
    const QImage stored = QImage::fromData(logo);
    QCOMPARE(stored.size(), QSize(32, 24));
}

void TestSettingsDialogs::actionsFollowTheRights()
{
    using namespace korvane::actions;
    Grants purchases;
    const int receipts =
        korvane::rights::rowOf(korvane::rights::List::Function, QStringLiteral("采购收货"));
    purchases.grant(korvane::rights::functionRight(receipts, korvane::rights::Op::Add));
    purchases.grant(korvane::rights::reportRight(reportRow("货品销售比例")));
    auto allowed = [&](const char *name) {
        return allowedBy(*findAction(QLatin1String(name)), purchases);
    };
    QVERIFY(allowed("actImportIN"));
    QVERIFY(!allowed("actImportReturn")); // same head table, another right
    QVERIFY(!allowed("actBlueinvoice"));
    QVERIFY(!allowed("actRPTBuy"));
    QVERIFY(allowed("actChartClassSale"));
    QVERIFY(!allowed("actChartSale")); // the same report code, its own right
    QVERIFY(!allowed("actRight"));
    QVERIFY(!allowed("actSysPara"));
    QVERIFY(allowed("actpwd"));
    QVERIFY(allowed("actAbout"));

    const QString window = QStringLiteral("TFRMBUYIN"); // as the work area keys it
    QVERIFY(commandAllowed(window, TLumoChild::cmNew, purchases));
    QVERIFY(!commandAllowed(window, TLumoChild::cmEdit, purchases));
    QVERIFY(!commandAllowed(window, TLumoChild::cmDelete, purchases));
    QVERIFY(!commandAllowed(window, TLumoChild::cmCheck, purchases));
    QVERIFY(commandAllowed(window, TLumoChild::cmSave, purchases));
    QVERIFY(commandAllowed(QString(), TLumoChild::cmNew, purchases));
}

QTEST_MAIN(TestSettingsDialogs)
#include "tst_SettingsDialogs.moc"
