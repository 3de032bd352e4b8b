// Sessions opened by logins, and the guard that keeps a client's other modules closed until
// its base module has logged in.

#include "SessionRegistry.h"

#include <QSet>
#include <QTest>

using namespace korvane;

namespace {

//! Answers every request and counts them.
class CountingModule : public RemoteDataModule
{
public:
    explicit CountingModule(int *served) : m_served(served) {}
    QString className() const override { return QStringLiteral("LookupRDM"); }
    QStringList providerNames() const override { return {QStringLiteral("dspXCi")}; }
    Packet getRecords(const GetRecordsRequest &) override { return serve(Packet()); }
    ApplyResult applyUpdates(const QString &, const ChangeSet &, int) override
    {
        return serve(ApplyResult());
    }
    Params getParams(const QString &) override { return serve(Params()); }
    void execute(const QString &, const QString &, const Params &) override { serve(0); }
    QVariant invoke(const QString &, const QVariantList &, QVariantList *) override
    {
        return serve(QVariant(session()));
    }

private:
    template <typename T> T serve(T value)
    {
        ++*m_served;
        return value;
    }
    int *m_served;
};

using Request = std::function<void(RemoteDataModule &)>;

} // namespace

Q_DECLARE_METATYPE(Request)

class tst_SessionRegistry : public QObject
{
    Q_OBJECT

private slots:
    void idsAreNonNegativeNumbersAndUnique()
    {
        SessionRegistry &registry = SessionRegistry::instance();
        QSet<QString> ids;
        for (int i = 0; i < 200; ++i) {
            const QString id = registry.open(QStringLiteral("0001"));
            bool number = false;
            QVERIFY(id.toInt(&number) >= 0);
            QVERIFY(number);
            QVERIFY(!ids.contains(id));
            ids << id;
            QVERIFY(isValidSession(id));
            QCOMPARE(registry.userCode(id), QStringLiteral("0001"));
        }
        for (const QString &id : ids)
            registry.close(id);
        for (const QString &id : ids)
            QVERIFY(!isValidSession(id));
        QVERIFY(!isValidSession(QString()));
        QVERIFY(!isValidSession(QStringLiteral("0")));
    }

    void guardRefusesWithoutLogin_data()
    {
        QTest::addColumn<Request>("request");
        QTest::newRow("records") << Request([](RemoteDataModule &m) { m.getRecords({}); });
        QTest::newRow("apply") << Request([](RemoteDataModule &m) { m.applyUpdates("x", {}, 0); });
        QTest::newRow("params") << Request([](RemoteDataModule &m) { m.getParams("x"); });
        QTest::newRow("execute") << Request([](RemoteDataModule &m) { m.execute("x", {}, {}); });
        QTest::newRow("call") << Request(
            [](RemoteDataModule &m) { m.call("GetHeadno", {"XBuyh"}, nullptr); });
    }
    void guardRefusesWithoutLogin()
    {
        QFETCH(Request, request);
        int served = 0;
        SessionGuardedModule guarded(std::make_unique<CountingModule>(&served));
        QCOMPARE(guarded.className(), QStringLiteral("LookupRDM"));
        auto refusal = [&]() -> QString {
            try {
                request(guarded);
            } catch (const ServerError &e) {
                return e.text();
            }
            return QString();
        };
        // No session named, an unknown one, an open one, and one that has ended.
        QCOMPARE(refusal(), QStringLiteral("请先登录！"));
        guarded.setSession(QStringLiteral("12345"));
        QCOMPARE(refusal(), QStringLiteral("请先登录！"));
        QCOMPARE(served, 0);
        const QString id = SessionRegistry::instance().open(QStringLiteral("0001"));
        guarded.setSession(id);
        QCOMPARE(refusal(), QString());
        QCOMPARE(served, 1);
        SessionRegistry::instance().close(id);
        QCOMPARE(refusal(), QStringLiteral("请先登录！"));
        QCOMPARE(served, 1);
    }

    void guardedModuleSeesTheSession()
    {
        int served = 0;
        SessionGuardedModule guarded(std::make_unique<CountingModule>(&served));
        const QString id = SessionRegistry::instance().open(QStringLiteral("0001"));
        guarded.setSession(id);
        QCOMPARE(guarded.call(QStringLiteral("GetHeadno"), {"XBuyh"}, nullptr).toString(), id);
        SessionRegistry::instance().close(id);
    }
};

QTEST_GUILESS_MAIN(tst_SessionRegistry)
#include "tst_SessionRegistry.moc"
