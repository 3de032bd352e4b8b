// List, combo, lookup, spin and picture controls: how each reads TagStr, the keys of
// the combo and lookup boxes, the lookup list read again on every drop-down, and the
// picture chosen by double click.

#include "LumoCLientDataSet.h"
#include "LumoComboBox.h"
#include "LumoDBImage.h"
#include "LumoDataSource.h"
#include "LumoListBox.h"
#include "LumoSpinEdit.h"
#include "LumoTestSupport.h"

#include <QBuffer>
#include <QTest>

using korvane::FieldType;

namespace {

const QColor kMoneyGreen(0xC0, 0xDC, 0xC0);

//! The currency list as a provider serves it; counts how often it was read.
class CurrencyServer : public TLumoRemoteServer
{
public:
    int reads = 0;
    korvane::Packet getRecords(const QString &, int, int, const korvane::Params &) override
    {
        ++reads;
        korvane::Packet packet;
        packet.fields = {{QStringLiteral("Code"), FieldType::String, 4},
                         {QStringLiteral("Name"), FieldType::String, 20}};
        packet.rows = {{QStringLiteral("01"), QStringLiteral("人民币")},
                       {QStringLiteral("02"), QStringLiteral("美元")}};
        return packet;
    }
    korvane::ApplyResult applyUpdates(const QString &, const korvane::ChangeSet &, int) override
    {
        return {};
    }
    QStringList getProviderNames() override { return {QStringLiteral("dspCurrency")}; }
    korvane::Params getParams(const QString &) override { return {}; }
    QVariant call(const QString &, const QVariantList &, QVariantList *) override { return {}; }
};

//! A record with a currency code and a picture.
struct Record
{
    TLumoCLientDataSet dataSet;
    TLumoDataSource source;
    Record()
    {
        dataSet.addDataField(QStringLiteral("CurrCode"), FieldType::String, 4);
        dataSet.addDataField(QStringLiteral("Photo"), FieldType::Blob);
        dataSet.CreateDataSet();
        dataSet.Append();
        dataSet.FieldByName(QStringLiteral("CurrCode")).setValue(QStringLiteral("01"));
        dataSet.Post();
        source.setDataSet(&dataSet);
    }
    QVariant value(const char *field) const
    {
        return dataSet.FieldByName(QLatin1String(field)).Value();
    }
};

QByteArray pngOf(QColor colour)
{
    QPixmap picture(4, 4);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class tst_LumoChoices : public QObject
{
    Q_OBJECT

private slots:
    void tagStrReadings_data();
    void tagStrReadings();
    void comboDownOpensTheList();
    void lookupWritesChosenKeyAndDeleteClears();
    void lookupListIsReadAgainOnEveryDropDown();
    void pictureChosenByDoubleClick_data();
    void pictureChosenByDoubleClick();
};

void tst_LumoChoices::tagStrReadings_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("list box r") << "list"
                                << "r" << true;
    QTest::newRow("list box D1") << "list"
                                 << "D1" << false;
    QTest::newRow("combo r") << "combo"
                             << "r" << false;
    QTest::newRow("combo R") << "combo"
                             << "R" << true;
    QTest::newRow("spin xr") << "spin"
                             << "xr" << true;
    QTest::newRow("spin empty") << "spin"
                                << "" << false;
    QTest::newRow("picture r") << "picture"
                               << "r" << false;
    QTest::newRow("picture R") << "picture"
                               << "R" << true;
    QTest::newRow("lookup r") << "lookup"
                              << "r" << true;
}

void tst_LumoChoices::tagStrReadings()
{
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(bool, readOnly);
    if (control == QLatin1String("list")) {
        TLumoListBox box;
        box.setTagStr(value);
        QCOMPARE(box.TagStr(), value.toUpper());
        QCOMPARE(box.isEnabled(), !readOnly);
        QCOMPARE(box.palette().color(QPalette::Base) == kMoneyGreen, readOnly);
    } else if (control == QLatin1String("combo")) {
        TLumoComboBox box;
        box.setTagStr(value);
        QCOMPARE(box.TagStr(), value.toUpper());
        QCOMPARE(box.isEnabled(), !readOnly);
    } else if (control == QLatin1String("spin")) {
        TLumoSpinEdit spin;
        const Qt::FocusPolicy before = spin.focusPolicy();
        spin.setTagStr(value);
        QCOMPARE(spin.isReadOnly(), readOnly);
        QCOMPARE(spin.focusPolicy(), before);
        QCOMPARE(spin.palette().color(QPalette::Base) == kMoneyGreen, readOnly);
    } else if (control == QLatin1String("picture")) {
        TLumoDBImage image;
        image.setTagStr(value);
        QCOMPARE(image.TagStr(), value.toUpper());
        QCOMPARE(image.isReadOnly(), readOnly);
    } else {
        TLumoDBLookupCombobox lookup;
        lookup.setTagStr(value);
        QCOMPARE(lookup.isReadOnly(), readOnly);
        QCOMPARE(bool(lookup.focusPolicy() & Qt::TabFocus), !readOnly);
    }
}

void tst_LumoChoices::comboDownOpensTheList()
{
    QWidget window;
    auto *combo = new TLumoComboBox(&window);
    combo->addItems({QStringLiteral("现金"), QStringLiteral("支票"), QStringLiteral("汇票")});
    combo->setCurrentIndex(0);
    QVERIFY(lumo::test::showActive(&window));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QVERIFY(combo->listOpen());
    QCOMPARE(combo->currentIndex(), 0);
    combo->hidePopup();
    QVERIFY(!combo->listOpen());
}

void tst_LumoChoices::lookupWritesChosenKeyAndDeleteClears()
{
    Record record;
    CurrencyServer server;
    TLumoCLientDataSet currencies;
    currencies.setRemoteServer(&server);
    currencies.setProviderName(QStringLiteral("dspCurrency"));
    currencies.Open();
    TLumoDataSource list;
    list.setDataSet(&currencies);
    TLumoDBLookupCombobox lookup;
    lookup.setDataSource(&record.source);
    lookup.setDataField(QStringLiteral("CurrCode"));
    lookup.setListSource(&list);
    lookup.setKeyField(QStringLiteral("Code"));
    lookup.setListField(QStringLiteral("Name"));
    QCOMPARE(lookup.currentText(), QStringLiteral("人民币"));
    emit lookup.activated(1);
    QCOMPARE(record.value("CurrCode"), QVariant(QStringLiteral("02")));
    QCOMPARE(record.dataSet.State(), TDataSetState::dsEdit);
    QTest::keyClick(&lookup, Qt::Key_Delete);
    QVERIFY(record.value("CurrCode").isNull());
    QCOMPARE(lookup.currentIndex(), -1);
    record.dataSet.Cancel();
    QCOMPARE(lookup.currentText(), QStringLiteral("人民币"));
}

void tst_LumoChoices::lookupListIsReadAgainOnEveryDropDown()
{
    Record record;
    CurrencyServer server;
    TLumoCLientDataSet currencies;
    currencies.setRemoteServer(&server);
    currencies.setProviderName(QStringLiteral("dspCurrency"));
    currencies.Open();
    TLumoDataSource list;
    list.setDataSet(&currencies);
    QWidget window;
    auto *lookup = new TLumoDBLookupCombobox(&window);
    lookup->setDataSource(&record.source);
    lookup->setDataField(QStringLiteral("CurrCode"));
    lookup->setListSource(&list);
    lookup->setKeyField(QStringLiteral("Code"));
    lookup->setListField(QStringLiteral("Name"));
    QVERIFY(lumo::test::showActive(&window));
    lookup->setFocus();
    const int before = server.reads;
    QTest::keyClick(lookup, Qt::Key_Down);
    lookup->hidePopup();
    lookup->showPopup();
    lookup->hidePopup();
    QCOMPARE(server.reads, before + 2);
    QCOMPARE(lookup->count(), 2);
    QCOMPARE(lookup->currentText(), QStringLiteral("人民币"));
}

void tst_LumoChoices::pictureChosenByDoubleClick_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("choosesNone");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("changed");
    QTest::newRow("chosen") << true << false << "" << true;
    QTest::newRow("cancelled") << false << false << "" << false;
    QTest::newRow("no picture chosen") << true << true << "" << true;
    QTest::newRow("read-only") << true << false << "R" << false;
}

void tst_LumoChoices::pictureChosenByDoubleClick()
{
    QFETCH(bool, ok);
    QFETCH(bool, choosesNone);
    QFETCH(QString, tag);
    QFETCH(bool, changed);
    Record record;
    const QByteArray before = pngOf(Qt::red);
    const QByteArray chosen = pngOf(Qt::green);
    record.dataSet.Edit();
    record.dataSet.FieldByName(QStringLiteral("Photo")).setValue(before);
    record.dataSet.Post();
    QByteArray shown;
    TLumoDBImage::setPictureDialog([&](QWidget *, QByteArray &picture) {
        shown = picture;
        picture = choosesNone ? QByteArray() : chosen;
        return ok;
    });
    TLumoDBImage image;
    image.setTagStr(tag);
    image.setDataSource(&record.source);
    image.setDataField(QStringLiteral("Photo"));
    image.resize(40, 40);
    QVERIFY(!image.pixmap().isNull());
    QTest::mouseDClick(&image, Qt::LeftButton);
    TLumoDBImage::setPictureDialog({});
    const QVariant now = record.value("Photo");
    if (!changed) {
        QCOMPARE(now.toByteArray(), before);
        return;
    }
    QCOMPARE(shown, before);
    QCOMPARE(record.dataSet.State(), TDataSetState::dsEdit);
    if (choosesNone)
        QVERIFY(now.isNull());
    else
        QCOMPARE(now.toByteArray(), chosen);
}

QTEST_MAIN(tst_LumoChoices)
#include "tst_LumoChoices.moc"
