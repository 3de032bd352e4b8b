#include "PlantIni.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using korvane::PlantIni;

class tst_PlantIni : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;

    void put(const QByteArray &bytes)
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray contents() const
    {
        QFile f(m_path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("Plant.ini"));
        QFile::remove(m_path);
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray server = "; settings\n[KORVANE]\nDBREADY=1\n  USERID = sa  \n"
                                  "PWD=\"a b\"\n[KORVANEQUV]\nSrvname=host\n";
        QTest::newRow("no file") << QByteArray() << "KORVANE"
                                 << "DBREADY"
                                 << "dflt";
        QTest::newRow("exact") << server << "KORVANE"
                               << "DBREADY"
                               << "1";
        QTest::newRow("any case") << server << "korvane"
                                  << "dbready"
                                  << "1";
        QTest::newRow("trimmed") << server << "KORVANE"
                                 << "USERID"
                                 << "sa";
        QTest::newRow("quoted") << server << "KORVANE"
                                << "PWD"
                                << "a b";
        QTest::newRow("other section") << server << "KORVANE"
                                       << "Srvname"
                                       << "dflt";
        QTest::newRow("second section") << server << "KORVANEQUV"
                                        << "SRVNAME"
                                        << "host";
        QTest::newRow("missing section") << server << "SCKTSRVR"
                                         << "Port"
                                         << "dflt";
        QTest::newRow("comment is no key") << QByteArray("[A]\n;K=1\n#K=2\n") << "A"
                                           << "K"
                                           << "dflt";
        QTest::newRow("first of twin sections") << QByteArray("[A]\nK=1\n[a]\nK=2\n") << "A"
                                                << "K"
                                                << "1";
        QTest::newRow("crlf") << QByteArray("[A]\r\nK=1\r\nL=2\r\n") << "A"
                              << "L"
                              << "2";
        QTest::newRow("empty value") << QByteArray("[A]\nK=\n") << "A"
                                     << "K"
                                     << "";
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[A]\nK=1\n") << "A"
                                   << "K"
                                   << "1";
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        if (!file.isNull())
            put(file);
        QCOMPARE(PlantIni(m_path).read(section, key, QStringLiteral("dflt")), expected);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << "KORVANE"
                                  << "DBREADY"
                                  << "1" << QByteArray("[KORVANE]\nDBREADY=1\n");
        QTest::newRow("replace keeps the rest")
            << QByteArray("; top\n[KORVANE]\n; who\nUSERID=sa\nPWD=x\n\n[B]\nK=1\n") << "korvane"
            << "userid"
            << "admin" << QByteArray("; top\n[KORVANE]\n; who\nUSERID=admin\nPWD=x\n\n[B]\nK=1\n");
        QTest::newRow("new key after the last key")
            << QByteArray("[KORVANE]\nUSERID=sa\n\n; next\n[B]\nK=1\n") << "KORVANE"
            << "PWD"
            << "p" << QByteArray("[KORVANE]\nUSERID=sa\nPWD=p\n\n; next\n[B]\nK=1\n");
        QTest::newRow("new key in empty section") << QByteArray("[KORVANE]\n[B]\n") << "KORVANE"
                                                  << "PWD"
                                                  << "p" << QByteArray("[KORVANE]\nPWD=p\n[B]\n");
        QTest::newRow("new section at the end")
            << QByteArray("[A]\nK=1") << "KORVANE"
            << "DBREADY"
            << "0" << QByteArray("[A]\nK=1\n\n[KORVANE]\nDBREADY=0\n");
        QTest::newRow("crlf kept") << QByteArray("[A]\r\nK=1\r\n") << "A"
                                   << "K"
                                   << "2" << QByteArray("[A]\r\nK=2\r\n");
        QTest::newRow("chinese value") << QByteArray("[A]\nK=1\n") << "A"
                                       << "K"
                                       << "套帐" << QByteArray("[A]\nK=套帐\n");
        QTest::newRow("value with equals and colon")
            << QByteArray() << "KORVANE"
            << "PWD"
            << "a=b:USERID" << QByteArray("[KORVANE]\nPWD=a=b:USERID\n");
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            put(before);
        PlantIni ini(m_path);
        QString error;
        QVERIFY2(ini.write(section, key, value, &error), qPrintable(error));
        QCOMPARE(contents(), after);
        QCOMPARE(ini.read(section, key), value);
    }

    void gbkFileIsReadAndKeptAsGbk()
    {
        QStringEncoder gbk("GBK");
        QVERIFY(gbk.isValid());
        const QByteArray original =
            gbk.encode(QStringLiteral("; 设置文件\n[KORVANE]\nNAME=进销存\n"));
        put(original);
        PlantIni ini(m_path);
        QCOMPARE(ini.read(QStringLiteral("KORVANE"), QStringLiteral("NAME")),
                 QStringLiteral("进销存"));
        QVERIFY(
            ini.write(QStringLiteral("KORVANE"), QStringLiteral("DBREADY"), QStringLiteral("1")));
        QCOMPARE(contents(), QByteArray(gbk.encode(QStringLiteral(
                                 "; 设置文件\n[KORVANE]\nNAME=进销存\nDBREADY=1\n"))));
    }

    void unwritableFileIsAReportedFailure_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("folder in the way") << QStringLiteral("Plant.ini");
        QTest::newRow("missing folder") << QStringLiteral("no/such/Plant.ini");
    }
    void unwritableFileIsAReportedFailure()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        const QString full = dir.filePath(path);
        if (path == QLatin1String("Plant.ini"))
            QVERIFY(QDir(dir.path()).mkdir(path));
        PlantIni ini(full);
        QString error;
        QVERIFY(!ini.write(QStringLiteral("KORVANE"), QStringLiteral("DBREADY"),
                           QStringLiteral("1"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(
            ini.read(QStringLiteral("KORVANE"), QStringLiteral("DBREADY"), QStringLiteral("0")),
            QStringLiteral("0"));
    }

    void unsafeTextIsRefusedAndFileUnchanged_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line break in value") << "KORVANE"
                                             << "PWD"
                                             << "x\n[EVIL]\nK=1";
        QTest::newRow("carriage return") << "KORVANE"
                                         << "PWD"
                                         << "x\rK=1";
        QTest::newRow("equals in key") << "KORVANE"
                                       << "A=B"
                                       << "1";
        QTest::newRow("bracket in section") << "KOR]VANE"
                                            << "K"
                                            << "1";
        QTest::newRow("empty key") << "KORVANE"
                                   << " "
                                   << "1";
        QTest::newRow("comment key") << "KORVANE"
                                     << ";K"
                                     << "1";
    }
    void unsafeTextIsRefusedAndFileUnchanged()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        put("[KORVANE]\nPWD=old\n");
        QString error;
        QVERIFY(!PlantIni(m_path).write(section, key, value, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(contents(), QByteArray("[KORVANE]\nPWD=old\n"));
    }

    void severalKeysAllOrNone()
    {
        put("[KORVANE]\nDBREADY=0\n");
        PlantIni ini(m_path);
        QVERIFY(!ini.write(QStringLiteral("KORVANE"),
                           {{QStringLiteral("PWD"), QStringLiteral("p")},
                            {QStringLiteral("DBREADY"), QStringLiteral("1\n")}}));
        QCOMPARE(contents(), QByteArray("[KORVANE]\nDBREADY=0\n"));
        QVERIFY(ini.write(QStringLiteral("korvane"),
                          {{QStringLiteral("PWD"), QStringLiteral("p")},
                           {QStringLiteral("dbready"), QStringLiteral("1")}}));
        QCOMPARE(contents(), QByteArray("[KORVANE]\nDBREADY=1\nPWD=p\n"));
    }

    void readBool_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dflt");
        QTest::addColumn<bool>("expected");
        QTest::newRow("missing") << QString() << false << false;
        QTest::newRow("missing, default true") << QString() << true << true;
        QTest::newRow("1") << "1" << false << true;
        QTest::newRow("0") << "0" << true << false;
        QTest::newRow("-1") << "-1" << false << true;
        QTest::newRow("True") << "True" << false << true;
        QTest::newRow("false") << "false" << true << false;
        QTest::newRow("junk keeps default") << "maybe" << true << true;
    }
    void readBool()
    {
        QFETCH(QString, text);
        QFETCH(bool, dflt);
        QFETCH(bool, expected);
        if (!text.isNull())
            put("[KORVANE]\nDBREADY=" + text.toUtf8() + "\n");
        QCOMPARE(
            PlantIni(m_path).readBool(QStringLiteral("KORVANE"), QStringLiteral("DBREADY"), dflt),
            expected);
    }

    void removeKeyAndSection()
    {
        put("[A]\nK=1\nL=2\n\n[B]\nM=3\n[C]\nN=4\n");
        PlantIni ini(m_path);
        QVERIFY(ini.removeKey(QStringLiteral("a"), QStringLiteral("k")));
        QVERIFY(ini.removeKey(QStringLiteral("A"), QStringLiteral("absent")));
        QVERIFY(ini.removeSection(QStringLiteral("b")));
        QVERIFY(ini.removeSection(QStringLiteral("absent")));
        QCOMPARE(contents(), QByteArray("[A]\nL=2\n\n[C]\nN=4\n"));
        QCOMPARE(ini.sections(), QStringList({QStringLiteral("A"), QStringLiteral("C")}));
        QCOMPARE(ini.keys(QStringLiteral("c")), QStringList{QStringLiteral("N")});
    }
};

QTEST_GUILESS_MAIN(tst_PlantIni)
#include "tst_PlantIni.moc"
