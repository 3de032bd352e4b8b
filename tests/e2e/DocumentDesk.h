#pragma once
//! What the tests of document windows share: a server per database with the small firm of
//! DocumentFixture.h, the document module as a window sees it (noting check calls, applies
//! and the last query's parameters), and a logged-in desk with one document window on it.

#include "../lumo/LumoTestSupport.h"
#include "../server/DocumentFixture.h"
#include "DeskLogIn.h"
#include "LoginUserInfo.h"
#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoDBGrid.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoSocketConnection.h"
#include "LumoUpdateError.h"
#include "UDMMain.h"
#include "UDocuments.h"
#include "UMasterDetailTBL.h"
#include "UParentInfo.h"
#include "UReadOrder.h"
#include "WindowTestSupport.h"

#include <QDate>
#include <QSqlQuery>

#include <map>
#include <memory>

namespace korvane::test {

//! The document module as the window sees it, noting every check call and every apply.
class NotingServer : public TLumoRemoteServer
{
public:
    explicit NotingServer(TLumoRemoteServer &inner) : m_inner(inner) {}
    QList<QVariantList> checkCalls;
    int applies = 0;
    Params lastParams;

    Packet getRecords(const QString &provider, int count, int options,
                      const Params &params) override
    {
        lastParams = params;
        return m_inner.getRecords(provider, count, options, params);
    }
    ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                             int maxErrors) override
    {
        ++applies;
        return m_inner.applyUpdates(provider, delta, maxErrors);
    }
    QStringList getProviderNames() override { return m_inner.getProviderNames(); }
    Params getParams(const QString &provider) override { return m_inner.getParams(provider); }
    QVariant call(const QString &method, const QVariantList &args, QVariantList *out) override
    {
        if (method == QLatin1String("CheckBill"))
            checkCalls << args;
        return m_inner.call(method, args, out);
    }
    //! The last list was asked for with each of these filters and its twin blank.
    bool filtersOff(const QStringList &filters = {"StoreCode", "spCode", "DeptCode"}) const
    {
        for (const QString &filter : filters) {
            if (param(filter) != QLatin1String(" ") ||
                param(QStringLiteral("tmp") + filter) != QLatin1String(" "))
                return false;
        }
        return true;
    }
    QString param(const QString &name) const
    {
        for (const Param &p : lastParams) {
            if (p.name.compare(name, Qt::CaseInsensitive) == 0)
                return p.value.toString();
        }
        return QStringLiteral("<none>");
    }

private:
    TLumoRemoteServer &m_inner;
};

//! One server per database with the small firm's master data and orders of March 2026,
//! shared by the tests of a program; the given tables are emptied for each test.
inline TestServer *documentServerFor(const QString &backend, const QStringList &emptied,
                                     QString *error)
{
    static std::map<QString, std::unique_ptr<TestServer>> servers;
    if (backend.isEmpty()) { // the end of the program
        servers.clear();
        return nullptr;
    }
    auto &server = servers[backend];
    if (!server) {
        server = std::make_unique<TestServer>(backend);
        if (!server->start() || !loadDocuments(server->db().db())) {
            *error = server->error();
            server.reset();
            return nullptr;
        }
    }
    QSqlQuery q(server->db().db());
    for (const QString &table : emptied)
        q.exec(QStringLiteral("DELETE FROM ") + table);
    return server.get();
}

inline void stopDocumentServers()
{
    documentServerFor(QString(), {}, nullptr);
}

inline QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

inline bool sql(TestServer &server, const QString &statement)
{
    QSqlQuery q(server.db().db());
    return q.exec(statement);
}

inline QStringList backends()
{
    QStringList list{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        list << QStringLiteral("postgresql");
    return list;
}

//! Rows "backend/class" with the columns backend and className.
inline void addWindowRows(const QStringList &classes)
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    for (const QString &backend : backends()) {
        for (const QString &className : classes)
            QTest::addRow("%s/%s", qPrintable(backend), qPrintable(className))
                << backend << className;
    }
}

//! A logged-in client (data module, session record) and one document window on it.
struct Desk
{
    TestServer &server;
    Messages messages;
    TdmMain dm;
    std::unique_ptr<NotingServer> bill;
    QPointer<TfrmMasterDetailtbl> window;

    explicit Desk(TestServer &s) : server(s) {}
    ~Desk()
    {
        delete window.data();
        TfrmReadOrder::setHook({});
        TLumoUpdateError::setHook({});
    }

    //! The login's steps without its dialog, which would remember the user beside the tests.
    bool logIn(bool checkOnSave)
    {
        if (!logInDesk(dm, server.port(), checkOnSave))
            return false;
        bill = std::make_unique<NotingServer>(*dm.scBill);
        messages.texts.clear();
        return true;
    }

    //! A window of the class; before is run on it before it is first shown.
    bool open(const QString &className, bool checkOnSave = false,
              const std::function<void(TfrmMasterDetailtbl &)> &before = {})
    {
        if (!bill && !logIn(checkOnSave))
            return false;
        delete window.data();
        window = createDocumentWindow(className);
        if (!window)
            return false;
        window->setBillServer(bill.get());
        if (before)
            before(*window);
        return lumo::test::showActive(window) && heads().Active();
    }

    TLumoCLientDataSet &heads() const { return *window->CDSXMaster; }
    TLumoCLientDataSet &lines() const { return *window->cdsXDetail; }
    bool exec(int command)
    {
        const bool done = window->LumoChild->ExecCommand(command);
        QCoreApplication::processEvents();
        return done;
    }
    void focus(QWidget *widget) { widget->setFocus(Qt::OtherFocusReason); }
    void focusHead() { focus(window->component(QStringLiteral("edtnote"))); }
    void setHead(const QString &field, const QVariant &value)
    {
        heads().FieldByName(field).setValue(value);
    }
    void setLine(const QString &field, const QVariant &value)
    {
        lines().FieldByName(field).setValue(value);
    }

    //! A new head filled as the operator would: department, handler and, where the kind has
    //! them, store, partner, the transfer's second store and the invoice's number.
    QString newHead()
    {
        focusHead();
        if (!exec(TLumoChild::cmNew))
            return QString();
        const auto has = [this](const char *field) {
            return heads().FindField(QLatin1String(field)) != nullptr;
        };
        if (has("storecode"))
            setHead(QStringLiteral("storecode"), QStringLiteral("W1"));
        setHead(QStringLiteral("Deptcode"), QStringLiteral("0001"));
        setHead(QStringLiteral("mcode"), QStringLiteral("0001"));
        const QString provider = window->decl().provider;
        if (provider == QLatin1String("dspBuyInOut") || provider == QLatin1String("dspOutCome"))
            setHead(QStringLiteral("spcode"), QStringLiteral("S1"));
        if (provider == QLatin1String("dspSaleInOut") || provider == QLatin1String("dspIncome") ||
            provider == QLatin1String("dspInvoice"))
            setHead(QStringLiteral("spcode"), QStringLiteral("K1"));
        if (window->decl().flag == QLatin1String("6"))
            setHead(QStringLiteral("StorecodeIn"), QStringLiteral("W2"));
        if (has("InVoiceNO")) {
            setHead(QStringLiteral("InVoiceNO"), QStringLiteral("NO.0001"));
            setHead(QStringLiteral("currency"), QStringLiteral("01"));
        }
        return heads().FieldByName(QStringLiteral("headno")).AsString();
    }
    //! A line of product P1, item 0001 (10 to a package in these tests when packages is set).
    void addLine(double pqty)
    {
        focus(window->GridXDetail);
        exec(TLumoChild::cmNew);
        setLine(QStringLiteral("pdtcode"), QStringLiteral("P1"));
        setLine(QStringLiteral("pdtno"), QStringLiteral("0001"));
        setLine(QStringLiteral("pqty"), pqty);
    }
    //! A saved document with lines of the given quantities; its number.
    QString saveDocument(const QList<double> &quantities)
    {
        const QString number = newHead();
        for (double q : quantities)
            addLine(q);
        focusHead();
        return exec(TLumoChild::cmSave) ? number : QString();
    }

    //! A column of a stored head of the window's kind.
    QVariant stored(const QString &column, const QString &headno) const
    {
        QSqlQuery q(server.db().db());
        q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE headno = ?")
                      .arg(column, window->decl().headTable));
        q.addBindValue(headno);
        return q.exec() && q.next() ? q.value(0) : QVariant();
    }
    int count(const QString &sql) const
    {
        QSqlQuery q(server.db().db());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }
    QStringList listed() const
    {
        QStringList numbers;
        const TLumoField &f = heads().FieldByName(QStringLiteral("headno"));
        for (int row = 0; row < heads().RecordCount(); ++row)
            numbers << f.valueAt(row).toString();
        return numbers;
    }
};

} // namespace korvane::test
