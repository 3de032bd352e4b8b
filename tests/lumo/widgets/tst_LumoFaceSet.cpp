// Form components: the face set's placement and Enter key, the modal form's one-time
// date format, the transparent launcher button and the owner-drawn popup menu.

#include "LumoActionList.h"
#include "LumoDBGrid.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoFaceSet.h"
#include "LumoLabel.h"
#include "LumoModalForm.h"
#include "LumoPopMenu.h"
#include "LumoTestSupport.h"
#include "LumoTransBtn.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using lumo::test::hover;
using LabelPosition = TLumoTransBtn::TLabelPosition;

namespace {

//! One control of the library by class name.
QWidget *makeControl(const QString &className, QWidget *parent)
{
    if (className == QLatin1String("TLumoEdit"))
        return new TLumoEdit(parent);
    if (className == QLatin1String("TLumoDateEdit"))
        return new TLumoDateEdit(parent);
    if (className == QLatin1String("TLumoDBMemo"))
        return new TLumoDBMemo(parent);
    if (className == QLatin1String("Tlumodbgrid"))
        return new Tlumodbgrid(parent);
    return nullptr;
}

QPixmap framedSquare()
{
    QPixmap picture(8, 8);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(2, 2, 4, 4, Qt::red);
    return picture;
}

} // namespace

class tst_LumoFaceSet : public QObject
{
    Q_OBJECT

private slots:
    void enterMovesToNextField();
    void enterInAMemoOrGridStaysThere_data();
    void enterInAMemoOrGridStaysThere();
    void centresAFormOnTheScreen();
    void maximisesAChildWindow();
    void modalFormAppliesDateFormatOnce();
    void transBtnLabelFollowsPicture_data();
    void transBtnLabelFollowsPicture();
    void transBtnHoverDotsPictureAndUnderlinesLabel();
    void transBtnTakesActionCaptionAndPicture();
    void popMenuDrawsItemsThroughItsHandler();
};

void tst_LumoFaceSet::enterMovesToNextField()
{
    QWidget form;
    new TLumoFaceSet(&form);
    auto *layout = new QVBoxLayout(&form);
    auto *first = new TLumoEdit(&form);
    auto *readOnly = new TLumoEdit(&form);
    readOnly->setTagStr(QStringLiteral("R"));
    auto *third = new TLumoEdit(&form);
    for (QWidget *w : {static_cast<QWidget *>(first), static_cast<QWidget *>(readOnly),
                       static_cast<QWidget *>(third)})
        layout->addWidget(w);
    QVERIFY(lumo::test::showActive(&form));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    QVERIFY2(third->hasFocus(), "the read-only edit is no tab stop");
    QTest::keyClick(third, Qt::Key_Enter);
    QVERIFY(first->hasFocus());
    QVERIFY(first->text().isEmpty());
}

void tst_LumoFaceSet::enterInAMemoOrGridStaysThere_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("keeps");
    QTest::newRow("memo") << "TLumoDBMemo" << true;
    QTest::newRow("grid") << "Tlumodbgrid" << true;
    QTest::newRow("edit") << "TLumoEdit" << false;
    QTest::newRow("date") << "TLumoDateEdit" << false;
}

void tst_LumoFaceSet::enterInAMemoOrGridStaysThere()
{
    QFETCH(QString, className);
    QFETCH(bool, keeps);
    QWidget form;
    new TLumoFaceSet(&form);
    auto *layout = new QVBoxLayout(&form);
    QWidget *control = makeControl(className, &form);
    QVERIFY2(control, qPrintable(className));
    layout->addWidget(control);
    auto *next = new TLumoEdit(&form);
    layout->addWidget(next);
    QVERIFY(lumo::test::showActive(&form));
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Return);
    QCOMPARE(control->hasFocus(), keeps);
    QCOMPARE(TLumoFaceSet::keepsEnter(control), keeps);
}

void tst_LumoFaceSet::centresAFormOnTheScreen()
{
    QWidget form;
    new TLumoFaceSet(&form);
    form.resize(300, 200);
    form.show();
    const QPoint centre = form.screen()->availableGeometry().center();
    QVERIFY((form.frameGeometry().center() - centre).manhattanLength() <= 2);
}

void tst_LumoFaceSet::maximisesAChildWindow()
{
    QMdiArea area;
    area.resize(640, 480);
    auto *form = new QWidget;
    new TLumoFaceSet(form);
    QMdiSubWindow *child = area.addSubWindow(form);
    area.show();
    child->show();
    QVERIFY(child->isMaximized());
}

void tst_LumoFaceSet::modalFormAppliesDateFormatOnce()
{
    QWidget form;
    auto *modal = new TLumoModalForm(&form);
    auto *date = new TLumoDateEdit(&form);
    modal->Apply(QStringLiteral("YY-MM-DD HH:MM:SS"));
    QCOMPARE(date->DateTimeFmt(), TLumoDateEdit::dtfShortDate);
    QVERIFY(modal->applied());
    date->setDateTimeFmt(TLumoDateEdit::dtfGBDate);
    modal->Apply(QStringLiteral("YY-MM-DD HH:MM:SS"));
    QCOMPARE(date->DateTimeFmt(), TLumoDateEdit::dtfGBDate);
}

void tst_LumoFaceSet::transBtnLabelFollowsPicture_data()
{
    QTest::addColumn<LabelPosition>("position");
    QTest::addColumn<QPoint>("expected"); // label top-left for picture at (100,100) 32 × 32
    QTest::newRow("below") << LabelPosition::lpBelow << QPoint(-1, 135);
    QTest::newRow("above") << LabelPosition::lpAbove << QPoint(100, -1);
    QTest::newRow("left") << LabelPosition::lpLeft << QPoint(-1, -1);
    QTest::newRow("right") << LabelPosition::lpRight << QPoint(135, -1);
}

void tst_LumoFaceSet::transBtnLabelFollowsPicture()
{
    QFETCH(LabelPosition, position);
    QFETCH(QPoint, expected);
    QWidget parent;
    auto *button = new TLumoTransBtn(&parent);
    button->btnLabel()->setText(QStringLiteral("采购入库"));
    button->setLabelPosition(position);
    parent.show();
    button->move(100, 100);
    const QRect label = button->btnLabel()->geometry();
    const QRect picture = button->geometry();
    QCOMPARE(picture.size(), QSize(32, 32));
    switch (position) {
    case LabelPosition::lpBelow:
        QCOMPARE(label.left(), 100 + (32 - label.width()) / 2);
        QCOMPARE(label.top(), expected.y());
        break;
    case LabelPosition::lpAbove:
        QCOMPARE(label.left(), expected.x());
        QCOMPARE(label.bottom() + 1 + 3, picture.top());
        break;
    case LabelPosition::lpLeft:
        QCOMPARE(label.right() + 1 + 3, picture.left());
        QCOMPARE(label.top(), 100 + (32 - label.height()) / 2);
        break;
    case LabelPosition::lpRight:
        QCOMPARE(label.left(), expected.x());
        QCOMPARE(label.top(), 100 + (32 - label.height()) / 2);
        break;
    }
    button->setEnabled(false);
    QVERIFY(!button->btnLabel()->isEnabled());
    button->hide();
    QVERIFY(button->btnLabel()->isHidden());
    button->show();
    QVERIFY(!button->btnLabel()->isHidden());
    QWidget other;
    button->setParent(&other);
    QCOMPARE(button->btnLabel()->parentWidget(), &other);
}

void tst_LumoFaceSet::transBtnHoverDotsPictureAndUnderlinesLabel()
{
    QWidget parent;
    auto *button = new TLumoTransBtn(&parent);
    button->setPicture(framedSquare());
    QCOMPARE(button->size(), QSize(8, 8));
    hover(button->btnLabel(), true);
    QVERIFY(button->hovered());
    QImage shot = button->Picture().toImage();
    QCOMPARE(shot.pixelColor(2, 2), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(3, 3), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::white));
    QVERIFY(button->btnLabel()->font().underline());
    QCOMPARE(button->btnLabel()->palette().color(QPalette::WindowText), QColor(Qt::blue));
    hover(button->btnLabel(), false);
    QCOMPARE(button->Picture().toImage().pixelColor(2, 2), QColor(Qt::red));
    QVERIFY(!button->btnLabel()->font().underline());
    QCOMPARE(button->btnLabel()->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void tst_LumoFaceSet::transBtnTakesActionCaptionAndPicture()
{
    QWidget parent;
    TLumoActionList list;
    list.setImages({framedSquare()});
    QAction *withHandler = list.addAction(QStringLiteral("销售出库"), 0);
    QAction *bare = list.addAction(QStringLiteral("盘点"), 5);
    QSignalSpy triggered(withHandler, &QAction::triggered);
    auto *button = new TLumoTransBtn(&parent);
    button->setAction(withHandler);
    QCOMPARE(button->btnLabel()->text(), QStringLiteral("销售出库"));
    QCOMPARE(button->size(), QSize(8, 8));
    QTest::mouseClick(button->btnLabel(), Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(triggered.count(), 2);

    button->setAction(bare);
    QCOMPARE(button->btnLabel()->text(), QStringLiteral("盘点"));
    QTest::mouseClick(button, Qt::LeftButton);
    bare->setText(QStringLiteral("盘点单"));
    button->setRefreshIT(true);
    QCOMPARE(button->btnLabel()->text(), QStringLiteral("盘点单"));
}

void tst_LumoFaceSet::popMenuDrawsItemsThroughItsHandler()
{
    TLumoPopMenu menu;
    menu.setTitleItem(menu.addAction(QStringLiteral("套帐管理")));
    menu.addAction(QStringLiteral("还原至窗口"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("退出套帐管理"));
    QImage standard(menu.sizeHint(), QImage::Format_ARGB32);
    menu.render(&standard);
    const QRect title = menu.actionGeometry(menu.actions().at(0));
    QCOMPARE(standard.pixelColor(title.topLeft()), QColor(Qt::blue));
    const QRect separator = menu.actionGeometry(menu.actions().at(2));
    QCOMPARE(standard.pixelColor(separator.center()), QColor(0x80, 0x80, 0x80));

    QStringList drawn;
    menu.setDrawItem(
        [&drawn](QPainter &, const QRect &, QAction *item, bool) { drawn << item->text(); });
    QImage custom(menu.sizeHint(), QImage::Format_ARGB32);
    menu.render(&custom);
    QCOMPARE(drawn.size(), 4);
    QCOMPARE(drawn.first(), QStringLiteral("套帐管理"));
}

QTEST_MAIN(tst_LumoFaceSet)
#include "tst_LumoFaceSet.moc"
