// Qt's own words in Chinese: the standard buttons of every message box and dialog, and the
// socket errors the relay passes on.

#include "QtTranslations.h"

#include <QCoreApplication>
#include <QTest>

class tst_QtTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qtSpeaksChinese_data();
    void qtSpeaksChinese();
};

void tst_QtTranslations::initTestCase()
{
    QVERIFY2(korvane::installQtTranslations(), "install qt6-translations-l10n (scripts/setup)");
}

void tst_QtTranslations::qtSpeaksChinese_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("chinese");
    QTest::newRow("ok") << "QPlatformTheme"
                        << "OK"
                        << "确定";
    QTest::newRow("yes") << "QPlatformTheme"
                         << "&Yes"
                         << "是(&Y)";
    QTest::newRow("no") << "QPlatformTheme"
                        << "&No"
                        << "否(&N)";
    QTest::newRow("cancel") << "QPlatformTheme"
                            << "Cancel"
                            << "取消";
    QTest::newRow("port in use") << "QNativeSocketEngine"
                                 << "The bound address is already in use"
                                 << "要启用的地址已经被使用";
}

void tst_QtTranslations::qtSpeaksChinese()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QTEST(QCoreApplication::translate(qPrintable(context), qPrintable(source)), "chinese");
}

QTEST_GUILESS_MAIN(tst_QtTranslations)
#include "tst_QtTranslations.moc"
