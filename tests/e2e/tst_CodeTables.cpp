#include "../lumo/LumoChildTestSupport.h"
#include "../lumo/LumoTestSupport.h"
#include "Korvane_TLB.h"
#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoDBGrid.h"
#include "LumoSocketConnection.h"
#include "LumoUpdateError.h"
#include "TestServer.h"
#include "UCodeTables.h"
#include "UDMMain.h"
#include "UMasterData.h"
#include "UMsgBox.h"
#include "UWorkWindows.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

QString classId(const QString &name)
{
    for (const tlb::ClassDef &def : tlb::classes()) {
        if (def.name == name)
            return def.classId;
    }
    return QString();
}

//! The base connection as the window sees it, counting every request it passes on.
class CountingServer : public TLumoRemoteServer
{
public:
    explicit CountingServer(TLumoRemoteServer &inner) : m_inner(inner) {}
    int calls = 0;

    Packet getRecords(const QString &provider, int count, int options,
                      const Params &params) override
    {
        ++calls;
        return m_inner.getRecords(provider, count, options, params);
    }
    ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                             int maxErrors) override
    {
        ++calls;
        return m_inner.applyUpdates(provider, delta, maxErrors);
    }
    QStringList getProviderNames() override
    {
        ++calls;
        return m_inner.getProviderNames();
    }
    Params getParams(const QString &provider) override
    {
        ++calls;
        return m_inner.getParams(provider);
    }
    QVariant call(const QString &method, const QVariantList &args, QVariantList *out) override
    {
        ++calls;
        return m_inner.call(method, args, out);
    }

private:
    TLumoRemoteServer &m_inner;
};

//! A logged-in base connection and one code-table window on it.
struct CodeWindow
{
    TestServer &server;
    TLumoSocketConnection base;
    CountingServer counted{base};
    QPointer<TfrmSingletbl> window;
    QString session;
    QStringList changedLists;

    explicit CodeWindow(TestServer &s) : server(s)
    {
        base.setPort(server.port());
        base.setServerGUID(classId(QStringLiteral("BaseRDM")));
        QString info, sysSet, purView, para;
        base.callWithOutputs(QStringLiteral("LogIn"),
                             {QStringLiteral("0001"), QStringLiteral("0001"),
                              QStringLiteral("127.0.0.1"), QStringLiteral("e2e")},
                             {&session, &info, &sysSet, &purView, &para});
    }
    ~CodeWindow() { delete window.data(); }

    //! Opens a window of the class as the main window does: created, shown, activated.
    bool open(const QString &className)
    {
        delete window.data();
        window = createCodeTableWindow(className);
        if (!window)
            return false;
        window->setRemoteServer(&counted);
        window->OnCodeTableChanged = [this](const QString &list) { changedLists << list; };
        return lumo::test::showActive(window) && window->CDSXMaster->Active();
    }

    TLumoCLientDataSet &cds() const { return *window->CDSXMaster; }
    const TCodeTableDecl &decl() const { return window->decl(); }
    //! One command as the main window sends it: an event of its own, after which the
    //! event loop runs again.
    bool exec(int command)
    {
        const bool done = window->LumoChild->ExecCommand(command);
        QCoreApplication::processEvents();
        return done;
    }
    TLumoField &field(const QString &name) const { return cds().FieldByName(name); }
    TDataSetState state() const { return cds().State(); }
    bool locate(const QString &code)
    {
        return cds().LocateValues(QStringLiteral("Code"), {code}, true);
    }

    //! Every field given a value that fits it.
    void fill(const QString &code)
    {
        for (const TCodeFieldDecl &f : decl().fields) {
            if (f.name == QLatin1String("Code"))
                field(f.name).setValue(code);
            else if (f.type == FieldType::Float)
                field(f.name).setValue(12.5);
            else
                field(f.name).setValue(QStringLiteral("名%1").arg(code).left(f.width));
        }
    }
    bool insert(const QString &code)
    {
        if (!exec(TLumoChild::cmNew))
            return false;
        fill(code);
        return exec(TLumoChild::cmSave);
    }

    //! A column of the stored row with that code; invalid when there is no such row.
    QVariant stored(const QString &column, const QString &code) const
    {
        QSqlQuery q(server.db().db());
        q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE code = ?").arg(column, decl().tableName));
        q.addBindValue(code);
        if (!q.exec() || !q.next())
            return QVariant();
        return q.value(0).isNull() ? QVariant(QStringLiteral("<null>")) : q.value(0);
    }
    int rows() const
    {
        QSqlQuery q(server.db().db());
        if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(decl().tableName)) || !q.next())
            return -1;
        return q.value(0).toInt();
    }
};

bool sql(TestServer &server, const QString &statement)
{
    QSqlQuery q(server.db().db());
    return q.exec(statement);
}

QString codeLabel(const TCodeTableDecl &decl)
{
    return decl.fields.first().label;
}

int codeWidth(const TCodeTableDecl &decl)
{
    return decl.fields.first().width;
}

//! A code of the test's own that fits the table: two characters, or one on the
//! education and political-status tables.
QString ownCode(const TCodeTableDecl &decl, const char *twoChars)
{
    return QString::fromLatin1(twoChars).left(codeWidth(decl));
}

QString duplicateText(const TCodeTableDecl &decl, const QString &code)
{
    return codeLabel(decl) + QStringLiteral("为'") + code +
           QStringLiteral("'的资料已经存在。请检查！");
}

//! The databases the rows run on, as addBackendRows() chooses them.
QStringList backends()
{
    QStringList list{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        list << QStringLiteral("postgresql");
    return list;
}

void addWindowRows()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    for (const QString &backend : backends()) {
        for (const QString &className : codeTableClasses())
            QTest::addRow("%s/%s", qPrintable(backend), qPrintable(className))
                << backend << className;
    }
}

} // namespace

#define OPEN_WINDOW(w, className)                                                                  \
    QString serverError;                                                                           \
    TestServer *server = serverFor(backend, &serverError);                                         \
    QVERIFY2(server, qPrintable(serverError));                                                     \
    CodeWindow w(*server);                                                                         \
    QVERIFY(w.open(className))

class tst_CodeTables : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { TLumoUpdateError::setHook({}); }
    void cleanupTestCase() { stopServers(); }
    void registeredByClassName();
    void keysChecked_data() { addWindowRows(); }
    void keysChecked();
    void requiredReportedBeforeAnyServerCall_data() { addWindowRows(); }
    void requiredReportedBeforeAnyServerCall();
    void codeCaseAndWidth_data() { addWindowRows(); }
    void codeCaseAndWidth();
    void blankFieldsStored_data();
    void blankFieldsStored();
    void homeCurrencyKept_data() { addBackendRows(); }
    void homeCurrencyKept();
    void referencedCurrencyNotDeleted_data() { addBackendRows(); }
    void referencedCurrencyNotDeleted();
    void reopenedWindowFetchesAfresh_data() { addBackendRows(); }
    void reopenedWindowFetchesAfresh();
    void sharedListShowsTheChange_data() { addBackendRows(); }
    void sharedListShowsTheChange();
};

void tst_CodeTables::registeredByClassName()
{
    TdmMain dm; // every table names a shared list the data module has
    registerMasterDataWindows();
    for (const QString &className : codeTableClasses()) {
        QVERIFY2(workwindows::isRegistered(className), qPrintable(className));
        std::unique_ptr<QWidget> window(workwindows::create(className));
        QVERIFY(window);
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), className);
        auto *frame = qobject_cast<TfrmSingletbl *>(window.get());
        QVERIFY(frame);
        QCOMPARE(window->windowTitle(), frame->decl().caption);
        QVERIFY2(dm.lookup(frame->decl().lookupName), qPrintable(frame->decl().lookupName));
        QCOMPARE(frame->CDSXMaster->PacketRecords(), 20);
        QVERIFY(frame->pnlQuery->isHidden());
        QCOMPARE(frame->GridXMaster->ReadOnly(), className == QLatin1String("TfrmXCI"));
        for (const char *name : {"pnlQuery", "pnlMaster", "pnlMasterList", "GridXMaster",
                                 "pnlMasterEdt", "CDSXMaster", "dsXMaster", "FaceSet", "LumoChild"})
            QVERIFY2(window->findChild<QObject *>(QLatin1String(name)), name);
    }
    auto *tax = qobject_cast<TfrmSingletbl *>(workwindows::create(QStringLiteral("TfrmXTaxAttr")));
    std::unique_ptr<QWidget> owner(tax);
    auto *percent = tax->findChild<QLabel *>(QStringLiteral("lbltaxrateSuffix"));
    QVERIFY(percent);
    QCOMPARE(percent->text(), QStringLiteral("%"));
}

// A new row with an existing code is refused with the exact text and stays in insert; a
// change of the name alone saves; a change of the code to another existing code is refused.
void tst_CodeTables::keysChecked()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    Messages messages;
    OPEN_WINDOW(w, className);
    const TCodeTableDecl &decl = w.decl();
    const QString first = ownCode(decl, "K1");
    const QString second = ownCode(decl, "L2");

    QVERIFY(w.insert(first));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QVERIFY(w.stored(QStringLiteral("name"), first).isValid());
    QCOMPARE(w.changedLists, QStringList{decl.lookupName});

    QVERIFY(w.exec(TLumoChild::cmNew));
    w.fill(first);
    QVERIFY(!w.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{duplicateText(decl, first)});
    QCOMPARE(w.state(), TDataSetState::dsInsert);
    QCOMPARE(w.field(QStringLiteral("Code")).AsString(), first);
    QVERIFY(w.exec(TLumoChild::cmCancel));
    messages.texts.clear();
    QCOMPARE(w.changedLists.size(), 1); // a refused save leaves the shared list alone

    QVERIFY(w.insert(second));
    QVERIFY(w.locate(second));
    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.field(QStringLiteral("Name")).setValue(QStringLiteral("改名"));
    QVERIFY(w.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(w.stored(QStringLiteral("name"), second).toString(), QStringLiteral("改名"));

    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.field(QStringLiteral("Code")).setValue(first);
    QVERIFY(!w.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{duplicateText(decl, first)});
    QCOMPARE(w.state(), TDataSetState::dsEdit);
    QVERIFY(w.exec(TLumoChild::cmCancel));
    QCOMPARE(w.stored(QStringLiteral("name"), second).toString(), QStringLiteral("改名"));

    // Deleting asks first and reaches the server at once.
    messages.texts.clear();
    messages.answers = {LumoMsg::Yes};
    QVERIFY(w.locate(second));
    QVERIFY(w.exec(TLumoChild::cmDelete));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("确实要删除此笔资料吗？")});
    QVERIFY(!w.stored(QStringLiteral("name"), second).isValid());
}

void tst_CodeTables::requiredReportedBeforeAnyServerCall()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    Messages messages;
    OPEN_WINDOW(w, className);
    const QString code = ownCode(w.decl(), "R1");
    for (const TCodeFieldDecl &required : w.decl().fields) {
        if (!required.required)
            continue;
        messages.texts.clear();
        QVERIFY(w.exec(TLumoChild::cmNew));
        w.fill(code);
        w.field(required.name).Clear();
        const int callsBefore = w.counted.calls;
        QVERIFY(!w.exec(TLumoChild::cmSave));
        QCOMPARE(messages.texts,
                 QStringList{required.label + QStringLiteral("不能为空！请先填") + required.label});
        QCOMPARE(w.counted.calls, callsBefore);
        QCOMPARE(w.state(), TDataSetState::dsInsert);
        QVERIFY(w.exec(TLumoChild::cmCancel));
    }
    QVERIFY(!w.stored(QStringLiteral("code"), code).isValid());
}

// Codes are typed into the code editor: capitals on every table but the tax table, and no
// more characters than the code holds.
void tst_CodeTables::codeCaseAndWidth()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    Messages messages;
    OPEN_WINDOW(w, className);
    const TCodeTableDecl &decl = w.decl();
    const bool upper = className != QLatin1String("TfrmXTaxAttr");
    QVERIFY(w.exec(TLumoChild::cmNew));
    w.fill(QStringLiteral("X"));
    auto *editor = w.window->findChild<QLineEdit *>(QStringLiteral("edtCode"));
    QVERIFY(editor);
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("qr9z7"));
    const QString typed = QStringLiteral("qr9z7").left(codeWidth(decl));
    const QString expected = upper ? typed.toUpper() : typed;
    QCOMPARE(editor->text(), expected);
    QVERIFY(w.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(w.stored(QStringLiteral("code"), expected).toString(), expected);
    const bool oneCharacter =
        className == QLatin1String("TfrmXEdu") || className == QLatin1String("TfrmXpolity");
    QCOMPARE(expected.size(), oneCharacter ? 1 : 4);
}

void tst_CodeTables::blankFieldsStored_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QStringList>("zeroColumns");
    QTest::addColumn<QStringList>("nullColumns");
    const QList<std::tuple<const char *, QStringList, QStringList>> cases = {
        {"TfrmXDuty", {"BaseSal", "Addsal"}, {"Note"}},
        {"TfrmXMoney", {"rate"}, {"ename"}},
        {"TfrmXEdu", {}, {"note"}},
    };
    for (const QString &backend : backends()) {
        for (const auto &[className, zeros, nulls] : cases)
            QTest::addRow("%s/%s", qPrintable(backend), className)
                << backend << QString::fromLatin1(className) << zeros << nulls;
    }
}

// Optional fields left empty: numbers are stored as 0, texts as null, not as "".
void tst_CodeTables::blankFieldsStored()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    QFETCH(QStringList, zeroColumns);
    QFETCH(QStringList, nullColumns);
    Messages messages;
    OPEN_WINDOW(w, className);
    const QString code = ownCode(w.decl(), "B1");
    QVERIFY(w.exec(TLumoChild::cmNew));
    w.fill(code);
    for (const QString &column : zeroColumns + nullColumns)
        w.field(column).setValue(QString());
    QVERIFY(w.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    for (const QString &column : zeroColumns)
        QCOMPARE(w.stored(column, code).toString(), QStringLiteral("0"));
    for (const QString &column : nullColumns)
        QCOMPARE(w.stored(column, code).toString(), QStringLiteral("<null>"));
}

// The home currency's row can be neither changed, deleted nor entered anew; another
// currency can.
void tst_CodeTables::homeCurrencyKept()
{
    QFETCH(QString, backend);
    Messages messages;
    OPEN_WINDOW(w, QStringLiteral("TfrmXMoney"));
    const QString refused = QStringLiteral("人民币为本币！不能修改或删除！");
    const QString home = QStringLiteral("01");

    QVERIFY(w.locate(home));
    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.field(QStringLiteral("Name")).setValue(QStringLiteral("美元"));
    const int callsBefore = w.counted.calls;
    QVERIFY(!w.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{refused});
    QCOMPARE(messages.kinds, QList<int>{mkHint});
    QCOMPARE(w.counted.calls, callsBefore);
    QCOMPARE(w.state(), TDataSetState::dsEdit);
    QCOMPARE(w.field(QStringLiteral("Name")).AsString(), QStringLiteral("美元"));
    // Nor can its code be changed away from the home currency's.
    w.field(QStringLiteral("Code")).setValue(QStringLiteral("99"));
    QVERIFY(!w.exec(TLumoChild::cmSave));
    QVERIFY(w.exec(TLumoChild::cmCancel));
    QCOMPARE(w.stored(QStringLiteral("name"), home).toString(), QStringLiteral("人民币"));

    messages.texts.clear();
    messages.answers = {LumoMsg::Yes};
    QVERIFY(w.locate(home));
    QVERIFY(!w.exec(TLumoChild::cmDelete));
    QCOMPARE(messages.texts, (QStringList{QStringLiteral("确实要删除此笔资料吗？"), refused}));
    QVERIFY(w.stored(QStringLiteral("name"), home).isValid());
    QCOMPARE(w.cds().ChangeCount(), 0);

    messages.texts.clear();
    QVERIFY(w.exec(TLumoChild::cmNew));
    w.fill(home);
    QVERIFY(!w.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{refused});
    QVERIFY(w.exec(TLumoChild::cmCancel));

    messages.texts.clear();
    QVERIFY(w.insert(QStringLiteral("02")));
    QVERIFY(w.locate(QStringLiteral("02")));
    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.field(QStringLiteral("Name")).setValue(QStringLiteral("美元"));
    QVERIFY(w.exec(TLumoChild::cmSave));
    QCOMPARE(w.stored(QStringLiteral("name"), QStringLiteral("02")).toString(),
             QStringLiteral("美元"));
    messages.answers = {LumoMsg::Yes};
    QVERIFY(w.exec(TLumoChild::cmDelete));
    QVERIFY(!w.stored(QStringLiteral("name"), QStringLiteral("02")).isValid());
    QCOMPARE(messages.texts, QStringList{QStringLiteral("确实要删除此笔资料吗？")});
}

// A currency a customer still uses is refused by the server and stays.
void tst_CodeTables::referencedCurrencyNotDeleted()
{
    QFETCH(QString, backend);
    Messages messages;
    int dialogs = 0;
    TLumoUpdateError::setHook([&dialogs](TLumoUpdateError &) {
        ++dialogs;
        return TReconcileAction::raCancel;
    });
    OPEN_WINDOW(w, QStringLiteral("TfrmXMoney"));
    QVERIFY(w.insert(QStringLiteral("03")));
    QVERIFY(sql(*server, QStringLiteral("INSERT INTO xCustome (code, name, moneycode) "
                                        "VALUES ('C03', '用美元的客户', '03')")));
    messages.answers = {LumoMsg::Yes};
    QVERIFY(w.locate(QStringLiteral("03")));
    QVERIFY(!w.exec(TLumoChild::cmDelete));
    QCOMPARE(messages.texts, (QStringList{QStringLiteral("确实要删除此笔资料吗？"),
                                          QStringLiteral("此记录已被引用，不能删除！!")}));
    QCOMPARE(dialogs, 1);
    QVERIFY(w.stored(QStringLiteral("name"), QStringLiteral("03")).isValid());
    // The refused delete was taken back: the row is still there to work with.
    QVERIFY(w.locate(QStringLiteral("03")));
    QVERIFY(sql(*server, QStringLiteral("DELETE FROM xCustome WHERE code = 'C03'")));
}

// Closing a window and opening its class again reads the rows afresh, 20 at a time.
void tst_CodeTables::reopenedWindowFetchesAfresh()
{
    QFETCH(QString, backend);
    Messages messages;
    OPEN_WINDOW(w, QStringLiteral("TfrmXMeasure"));
    const int before = w.cds().RecordCount();
    for (int i = 1; i <= 25; ++i) {
        QVERIFY(sql(*server, QStringLiteral("INSERT INTO XMeasure (code, name) VALUES "
                                            "('P%1', '件%1')")
                                 .arg(i, 3, 10, QLatin1Char('0'))));
    }
    QCOMPARE(w.cds().RecordCount(), before);

    QPointer<TfrmSingletbl> closed = w.window;
    QVERIFY(w.exec(TLumoChild::cmReturn));
    QTRY_VERIFY(!closed);

    QVERIFY(w.open(QStringLiteral("TfrmXMeasure")));
    QCOMPARE(w.cds().RecordCount(), 20);
    while (w.cds().GetNextPacket()) {
    }
    QCOMPARE(w.cds().RecordCount(), before + 25);
    QVERIFY(w.locate(QStringLiteral("P025")));
    QVERIFY(sql(*server, QStringLiteral("DELETE FROM XMeasure WHERE code LIKE 'P0%'")));
}

// After a save the data module's shared list of the table holds the new row.
void tst_CodeTables::sharedListShowsTheChange()
{
    QFETCH(QString, backend);
    Messages messages;
    QString serverError;
    TestServer *server = serverFor(backend, &serverError);
    QVERIFY2(server, qPrintable(serverError));
    TdmMain dm;
    QString session, info, sysSet, purView, para;
    for (TLumoSocketConnection *connection : dm.connections())
        connection->setPort(server->port());
    dm.SCBase->callWithOutputs(QStringLiteral("LogIn"),
                               {QStringLiteral("0001"), QStringLiteral("0001"),
                                QStringLiteral("127.0.0.1"), QStringLiteral("e2e")},
                               {&session, &info, &sysSet, &purView, &para});
    for (TLumoSocketConnection *connection : dm.connections())
        connection->setSession(session);
    TLumoCLientDataSet *brands = dm.lookup(QStringLiteral("dspCI"));
    QVERIFY(brands);
    try {
        brands->Open();
    } catch (const TLumoRemoteError &e) {
        QFAIL(qPrintable(e.text()));
    }
    const int before = brands->RecordCount();

    registerMasterDataWindows();
    QPointer<QWidget> window = workwindows::create(QStringLiteral("TfrmXCI"));
    auto *frame = qobject_cast<TfrmSingletbl *>(window.data());
    QVERIFY(frame);
    QVERIFY(lumo::test::showActive(frame));
    QVERIFY(frame->LumoChild->ExecCommand(TLumoChild::cmNew));
    frame->CDSXMaster->FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("S1"));
    frame->CDSXMaster->FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("新品牌"));
    QVERIFY(frame->LumoChild->ExecCommand(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QTRY_COMPARE(brands->RecordCount(), before + 1);
    QVERIFY(brands->LocateValues(QStringLiteral("Code"), {QStringLiteral("S1")}, true));
    delete window.data();
}

QTEST_MAIN(tst_CodeTables)
#include "tst_CodeTables.moc"
