#include "ProcessUtil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

using namespace korvane;

//! A program of a chosen name (a copy of sleep) running from a chosen folder.
class NamedProcess
{
public:
    NamedProcess(const QString &dir, const QString &name)
    {
        const QString path = QDir(dir).filePath(name);
        QFile::copy(QStringLiteral("/bin/sleep"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                        QFile::ExeOther);
        m_process.start(path, {QStringLiteral("60")});
        m_process.waitForStarted();
    }
    ~NamedProcess()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool isRunning() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
};

class tst_ProcessUtil : public QObject
{
    Q_OBJECT

private slots:
    void prefixOfTheUpperCasedName_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("lookFor");
        QTest::addColumn<bool>("found");
        QTest::newRow("same name") << "scktsrvrH1a"
                                   << "scktsrvrH1a" << true;
        QTest::newRow("other case") << "scktsrvrH1b"
                                    << "SCKTSRVRh1B" << true;
        QTest::newRow("running name only begins with it") << "scktsrvrH1cExtra"
                                                          << "SCKTSRVRH1C" << true;
        QTest::newRow("running name shorter") << "scktsrvrH1d"
                                              << "scktsrvrH1dd" << false;
        QTest::newRow("other program") << "relayH1e"
                                       << "scktsrvrH1e" << false;
    }
    void prefixOfTheUpperCasedName()
    {
        QFETCH(QString, running);
        QFETCH(QString, lookFor);
        QTemporaryDir dir;
        NamedProcess process(dir.path(), running);
        QVERIFY(process.isRunning());
        QTEST(isProcessRunning(lookFor), "found");
        QTEST(isProcessRunning(lookFor, dir.path()), "found");
    }

    void onlyProgramsOfTheFolderCount()
    {
        QTemporaryDir here;
        QTemporaryDir elsewhere;
        NamedProcess process(elsewhere.path(), QStringLiteral("KorvaneQUVh1f"));
        QVERIFY(process.isRunning());
        QVERIFY(isProcessRunning(QStringLiteral("KorvaneQUVh1f")));
        QVERIFY(!isProcessRunning(QStringLiteral("KorvaneQUVh1f"), here.path()));
    }

    void startsOnlyWhenNotRunning()
    {
        qputenv("KORVANE_INSTANCE", "tst_ProcessUtil");
        QTemporaryDir bin;
        const QString program = bin.filePath(QStringLiteral("KorvaneQUV"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), program));
        qint64 pid = 0;
        QCOMPARE(startUnlessRunning(QStringLiteral("KORVANEQUV"), QStringLiteral("KorvaneQUV 60"),
                                    bin.path(), &pid),
                 StartResult::Started);
        QVERIFY(pid > 0);
        qint64 secondPid = 0;
        QTRY_VERIFY(isProcessRunning(QStringLiteral("KorvaneQUV"), bin.path()));
        QCOMPARE(startUnlessRunning(QStringLiteral("KorvaneQUV"), QStringLiteral("KorvaneQUV 60"),
                                    bin.path(), &secondPid),
                 StartResult::AlreadyRunning);
        QCOMPARE(secondPid, 0);
        ::kill(pid_t(pid), SIGKILL);
        QTRY_VERIFY(!isProcessRunning(QStringLiteral("KorvaneQUV"), bin.path()));
        qunsetenv("KORVANE_INSTANCE");
    }

    void missingProgramFails()
    {
        QTemporaryDir bin;
        QCOMPARE(startUnlessRunning(QStringLiteral("noSuchProgramH1"),
                                    QStringLiteral("noSuchProgramH1 RUN"), bin.path()),
                 StartResult::Failed);
        QCOMPARE(startUnlessRunning(QStringLiteral("noSuchProgramH1b"), QString(), bin.path()),
                 StartResult::Failed);
    }
};

QTEST_GUILESS_MAIN(tst_ProcessUtil)
#include "tst_ProcessUtil.moc"
