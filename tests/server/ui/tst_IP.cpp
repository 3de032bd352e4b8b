#include "UIP.h"

#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using korvane::TfrmIP;

class tst_IP : public QObject
{
    Q_OBJECT

private slots:
    void showsTheAddressCollapsedAtFirst()
    {
        TfrmIP window;
        window.show();
        const QString address = window.findChild<QLineEdit *>("edtIP")->text();
        QVERIFY(!QHostAddress(address).isNull());
        QCOMPARE(window.findChild<QLabel *>("lblIP")->text(), address);
        QVERIFY(window.findChild<QLineEdit *>("edtIP")->isReadOnly());
        QVERIFY(!window.findChild<QLineEdit *>("edtName")->text().isEmpty());
        QVERIFY(!window.findChild<QWidget *>("pnlImg")->isVisible());
        QCOMPARE(window.findChild<QPushButton *>("btnSet")->text(), QStringLiteral("如何配置>>"));
    }

    void togglesAndKeepsItsSizeWhenShownAgain()
    {
        TfrmIP window;
        window.show();
        const int collapsed = window.height();
        auto *btnSet = window.findChild<QPushButton *>("btnSet");
        QTest::mouseClick(btnSet, Qt::LeftButton);
        QCOMPARE(window.height(), collapsed + 277);
        QVERIFY(window.findChild<QWidget *>("pnlImg")->isVisible());
        QCOMPARE(btnSet->text(), QStringLiteral("<<知道了"));

        window.hide();
        window.show();
        QCOMPARE(window.height(), collapsed + 277);
        QTest::mouseClick(btnSet, Qt::LeftButton);
        window.hide();
        window.show();
        QCOMPARE(window.height(), collapsed);
        QCOMPARE(btnSet->text(), QStringLiteral("如何配置>>"));
    }
};

QTEST_MAIN(tst_IP)
#include "tst_IP.moc"
