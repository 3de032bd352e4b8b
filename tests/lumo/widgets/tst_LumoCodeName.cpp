// The code/name editor: a typed code resolved on leaving and copied with its companion
// columns, the not-found message, dependent editors, the pick list and its window.

#include "CodeNameTestSupport.h"
#include "LumoBtn.h"
#include "LumoCodeName.h"
#include "LumoDBGrid.h"
#include "LumoEdit.h"
#include "LumoImage.h"
#include "LumoLabel.h"
#include "LumoTestSupport.h"
#include "LumobitBtn.h"
#include "UCodeName.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <functional>

using korvane::FieldType;
using lumo::test::MessageLog;
using lumo::test::whenPickWindowShows;

namespace {

const QColor kMoneyGreen(0xC0, 0xDC, 0xC0);

//! A code/name provider: answers one code, or all codes when the twin is blank, narrowed to
//! the predecessor's code in the column preColumn when one is sent.
class LookupServer : public TLumoRemoteServer
{
public:
    korvane::Packet table;
    int preColumn = -1;
    bool gone = false;
    QList<korvane::Params> paramsSeen;

    LookupServer(const QStringList &columns, const QList<QVariantList> &rows)
    {
        for (const QString &name : columns)
            table.fields << korvane::FieldDef{name, FieldType::String, 30};
        for (const QVariantList &row : rows)
            table.rows << row;
    }
    static QString param(const korvane::Params &params, const QString &name)
    {
        for (const korvane::Param &p : params) {
            if (p.name.compare(name, Qt::CaseInsensitive) == 0)
                return p.value.toString();
        }
        return QString();
    }
    QString lastParam(const QString &name) const
    {
        return paramsSeen.isEmpty() ? QString() : param(paramsSeen.constLast(), name);
    }

    korvane::Packet getRecords(const QString &, int, int, const korvane::Params &params) override
    {
        if (gone)
            throw TLumoRemoteError(QStringLiteral("服务器没有响应"));
        paramsSeen << params;
        korvane::Packet packet;
        packet.fields = table.fields;
        const QString code = param(params, QStringLiteral("Code"));
        const bool oneCode = !param(params, QStringLiteral("tmpCode")).trimmed().isEmpty();
        const QString preCode = param(params, QStringLiteral("PreCode"));
        for (const QVariantList &row : std::as_const(table.rows)) {
            if (oneCode && row.value(0).toString() != code)
                continue;
            if (preColumn >= 0 && !preCode.trimmed().isEmpty() &&
                row.value(preColumn).toString() != preCode)
                continue;
            packet.rows << row;
        }
        return packet;
    }
    korvane::ApplyResult applyUpdates(const QString &, const korvane::ChangeSet &, int) override
    {
        return {};
    }
    QStringList getProviderNames() override { return {QStringLiteral("dspPdtCN")}; }
    korvane::Params getParams(const QString &) override { return {}; }
    QVariant call(const QString &, const QVariantList &, QVariantList *) override { return {}; }
};

QList<QVariantList> products()
{
    return {{QStringLiteral("P01"), QStringLiteral("螺丝"), QStringLiteral("五金")},
            {QStringLiteral("P02"), QStringLiteral("螺母"), QStringLiteral("五金")},
            {QStringLiteral("P03"), QStringLiteral("垫片"), QStringLiteral("五金")}};
}

//! A line being entered: product code and name, with one record already there.
struct Record
{
    TLumoCLientDataSet dataSet;
    TLumoDataSource source;

    explicit Record(const QStringList &fields = {QStringLiteral("pdtcode"), QStringLiteral("Name")})
    {
        for (const QString &name : fields)
            dataSet.addDataField(name, FieldType::String, 30);
        dataSet.CreateDataSet();
        dataSet.FieldByName(fields.first()).setDisplayLabel(QStringLiteral("商品代码"));
        dataSet.Append();
        dataSet.Post();
        source.setDataSet(&dataSet);
    }
    QVariant value(const QString &field) const { return dataSet.FieldByName(field).Value(); }
};

//! A form with the code/name editor and a second edit to leave it for.
struct Form
{
    QWidget window;
    TLumoCodeName *editor = new TLumoCodeName(&window);
    TLumoEdit *other = new TLumoEdit(&window);
    LookupServer server{
        {QStringLiteral("pdtcode"), QStringLiteral("name"), QStringLiteral("ClassName")},
        products()};
    int afterSetData = 0;

    explicit Form(TLumoDataSource *source = nullptr)
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(editor);
        layout->addWidget(other);
        editor->setObjectName(QStringLiteral("cnPdtCode"));
        editor->setRemoteServer(&server);
        editor->setProviderName(QStringLiteral("dspPdtCN"));
        if (source) {
            editor->setDataSource(source);
            editor->setCodeDataField(QStringLiteral("pdtcode"));
        } else {
            editor->setNODB(true);
        }
        editor->AfterSetData = [this](TLumoCodeName *, TLumoCLientDataSet *, bool) {
            ++afterSetData;
        };
    }
    bool show() { return lumo::test::showActive(&window); }
    void type(const QString &text)
    {
        editor->activeEdit()->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(editor->activeEdit(), text);
    }
    void leave() { other->setFocus(Qt::TabFocusReason); }
};

} // namespace

class tst_LumoCodeName : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void typedLowerCaseCodeResolvesUpperCase();
    void unknownCodeClearsWithMessage_data();
    void unknownCodeClearsWithMessage();
    void serverFailureClearsAndSaysWhy();
    void leavingEmptyEditorWritesNothing();
    void linkDataFieldTransfer_data();
    void linkDataFieldTransfer();
    void plainModeFillsFocusEdit();
    void recordRefusingEditGetsNothing();
    void dependentEditorNeedsPredecessor_data();
    void dependentEditorNeedsPredecessor();
    void dependentEditorSendsPredecessorCode();
    void beforeActiveVetoes();
    void pickListCancelledChangesNothing();
    void pickListOkTakesCurrentRow();
    void pickListOfNoRowsOnlyCancels();
    void ownPickerReplacesList();
    void ownPickerFailureEndsPick();
    void readOnlyTagStrHidesButton();
    void pickButtonPlacement();
    void pickWindowFitsColumnsAndEnterGoesToOk();
    void pickWindowHintToggles();
};

void tst_LumoCodeName::defaults()
{
    TLumoCodeName editor;
    QCOMPARE(editor.width(), 185);
    QCOMPARE(editor.TitlesList(), (QStringList{QStringLiteral("代码"), QStringLiteral("名称")}));
    QCOMPARE(editor.LinkDataField(), QStringList{QStringLiteral("Name")});
    QCOMPARE(editor.CharCase(), TLumoCodeName::ecUpperCase);
    QVERIFY(!editor.NODB());
    QCOMPARE(editor.height(), editor.dbEdit()->sizeHint().height());
    const TLumoParams &params = editor.lookupDataSet()->Params();
    QCOMPARE(params.value(QStringLiteral("Code")).toString(), QStringLiteral(" "));
    QCOMPARE(params.value(QStringLiteral("tmpCode")).toString(), QStringLiteral(" "));
    QVERIFY(!params.contains(QStringLiteral("PreCode")));
}

void tst_LumoCodeName::typedLowerCaseCodeResolvesUpperCase()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    QVERIFY(form.show());
    form.type(QStringLiteral("p01"));
    QCOMPARE(form.editor->Text(), QStringLiteral("P01"));
    QVERIFY(form.editor->pickButton()->isVisible());
    form.leave();
    QVERIFY(!form.editor->pickButton()->isVisible());
    QCOMPARE(form.server.lastParam(QStringLiteral("Code")), QStringLiteral("P01"));
    QCOMPARE(form.server.lastParam(QStringLiteral("tmpCode")), QStringLiteral("P01"));
    QCOMPARE(record.value(QStringLiteral("pdtcode")).toString(), QStringLiteral("P01"));
    QCOMPARE(record.value(QStringLiteral("Name")).toString(), QStringLiteral("螺丝"));
    QCOMPARE(form.afterSetData, 1);
    QVERIFY(messages.texts.isEmpty());
}

void tst_LumoCodeName::unknownCodeClearsWithMessage_data()
{
    QTest::addColumn<bool>("nodb");
    QTest::addColumn<QString>("message");
    QTest::newRow("data-aware: the field's label")
        << false << QStringLiteral("没有'X99'这一商品代码");
    QTest::newRow("plain: the first title") << true << QStringLiteral("没有'X99'这一商品");
}

void tst_LumoCodeName::unknownCodeClearsWithMessage()
{
    QFETCH(bool, nodb);
    QFETCH(QString, message);
    MessageLog messages;
    Record record;
    record.dataSet.Edit();
    record.dataSet.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("旧名称"));
    Form form(nodb ? nullptr : &record.source);
    TLumoEdit nameBox;
    form.editor->setFocusEdit(&nameBox);
    nameBox.setText(QStringLiteral("旧名称"));
    form.editor->setTitlesList({QStringLiteral("商品"), QStringLiteral("名称")});
    QVERIFY(form.show());
    form.type(QStringLiteral("x99"));
    form.leave();
    QCOMPARE(messages.texts, QStringList{message});
    QCOMPARE(messages.kinds, QList<int>{LumoMsg::Hint});
    QCOMPARE(form.editor->Text(), QString());
    QCOMPARE(form.afterSetData, 1);
    if (nodb) {
        QCOMPARE(nameBox.text(), QString());
    } else {
        QVERIFY(record.value(QStringLiteral("pdtcode")).isNull());
        QVERIFY(record.value(QStringLiteral("Name")).isNull());
    }
}

void tst_LumoCodeName::serverFailureClearsAndSaysWhy()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    form.server.gone = true;
    QVERIFY(form.show());
    form.type(QStringLiteral("P01"));
    form.leave();
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts[0].startsWith(QStringLiteral("没有'P01'这一商品代码")));
    QVERIFY2(messages.texts[0].contains(QStringLiteral("服务器没有响应")), "the reason is shown");
    QVERIFY(record.value(QStringLiteral("pdtcode")).isNull());

    // Picking while the server is away says why and copies nothing.
    messages.texts.clear();
    form.editor->Pick();
    QCOMPARE(messages.texts, QStringList{QStringLiteral("服务器没有响应")});
    QVERIFY(!form.editor->lookupDataSet()->Active());
}

void tst_LumoCodeName::leavingEmptyEditorWritesNothing()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    QVERIFY(form.show());
    form.editor->activeEdit()->setFocus(Qt::TabFocusReason);
    form.leave();
    QCOMPARE(record.dataSet.State(), TDataSetState::dsBrowse);
    QCOMPARE(record.dataSet.ChangeCount(), 1); // only the appended record
    QCOMPARE(form.afterSetData, 1);
    QVERIFY(form.server.paramsSeen.isEmpty());
    QVERIFY(messages.texts.isEmpty());
}

void tst_LumoCodeName::linkDataFieldTransfer_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QVariantList>("expected"); // specName, packNum, col4, col5, price

    QTest::newRow("six columns: empty entries skip theirs")
        << 6
        << QVariantList{QStringLiteral("c2"), QStringLiteral("c3"), QVariant(), QVariant(),
                        QStringLiteral("c6")};
    QTest::newRow("three columns: surplus entries ignored")
        << 3
        << QVariantList{QStringLiteral("c2"), QStringLiteral("c3"), QVariant(), QVariant(),
                        QVariant()};
}

void tst_LumoCodeName::linkDataFieldTransfer()
{
    QFETCH(int, columns);
    QFETCH(QVariantList, expected);
    MessageLog messages;
    const QStringList targets{QStringLiteral("specName"), QStringLiteral("packNum"),
                              QStringLiteral("col4"), QStringLiteral("col5"),
                              QStringLiteral("price")};
    Record record(QStringList{QStringLiteral("bodyno")} + targets);
    Form form;
    form.editor->setNODB(false);
    form.editor->setDataSource(&record.source);
    form.editor->setCodeDataField(QStringLiteral("bodyno"));
    form.editor->setLinkDataField({QStringLiteral("specName"), QStringLiteral("packNum"), QString(),
                                   QString(), QStringLiteral("price")});
    QStringList names;
    QVariantList row;
    for (int c = 1; c <= columns; ++c) {
        names << QStringLiteral("c%1").arg(c);
        row << QStringLiteral("c%1").arg(c);
    }
    row[0] = QStringLiteral("0001");
    form.server.table = LookupServer(names, {row}).table;
    form.editor->setText(QStringLiteral("0001"));
    form.editor->Resolve();
    QCOMPARE(record.value(QStringLiteral("bodyno")).toString(), QStringLiteral("0001"));
    for (int i = 0; i < targets.size(); ++i)
        QCOMPARE(record.value(targets[i]), expected[i]);
    QVERIFY(messages.texts.isEmpty());
}

void tst_LumoCodeName::plainModeFillsFocusEdit()
{
    MessageLog messages;
    Form form;
    TLumoEdit nameBox;
    form.editor->setFocusEdit(&nameBox);
    form.editor->setText(QStringLiteral("P02"));
    form.editor->Resolve();
    QCOMPARE(form.editor->Text(), QStringLiteral("P02"));
    QCOMPARE(nameBox.text(), QStringLiteral("螺母"));

    // Without link fields the name box is left alone.
    form.editor->setLinkDataField({});
    nameBox.clear();
    form.editor->setText(QStringLiteral("P03"));
    form.editor->Resolve();
    QCOMPARE(nameBox.text(), QString());
}

void tst_LumoCodeName::recordRefusingEditGetsNothing()
{
    MessageLog messages;
    Record record;
    record.dataSet.BeforeEdit = [](TLumoCLientDataSet &) { Abort(); };
    Form form(&record.source);
    form.editor->setText(QStringLiteral("P01"));
    form.editor->Resolve();
    QVERIFY(record.value(QStringLiteral("pdtcode")).isNull());
    QCOMPARE(form.afterSetData, 0);
}

void tst_LumoCodeName::dependentEditorNeedsPredecessor_data()
{
    QTest::addColumn<QStringList>("preTitles");
    QTest::addColumn<QString>("message");
    QTest::newRow("predecessor's first title")
        << QStringList{QStringLiteral("商品"), QStringLiteral("名称")}
        << QStringLiteral("请先选择商品");
    QTest::newRow("no titles: the predecessor field's label")
        << QStringList{} << QStringLiteral("请先选择商品代码");
}

void tst_LumoCodeName::dependentEditorNeedsPredecessor()
{
    QFETCH(QStringList, preTitles);
    QFETCH(QString, message);
    MessageLog messages;
    Record record({QStringLiteral("pdtcode"), QStringLiteral("Name"), QStringLiteral("bodyno")});
    Form form(&record.source);
    form.editor->setTitlesList(preTitles);
    TLumoCodeName cnSpec(&form.window);
    cnSpec.setRemoteServer(&form.server);
    cnSpec.setProviderName(QStringLiteral("dspSpecCN"));
    cnSpec.setDataSource(&record.source);
    cnSpec.setCodeDataField(QStringLiteral("bodyno"));
    cnSpec.setPreCodeName(form.editor);
    QVERIFY(form.show());
    cnSpec.activeEdit()->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(cnSpec.activeEdit(), QStringLiteral("0001"));
    form.leave();
    QCOMPARE(messages.texts, QStringList{message});
    QVERIFY2(form.server.paramsSeen.isEmpty(), "no query without the predecessor's code");
    QCOMPARE(cnSpec.Text(), QStringLiteral("0001"));

    // The pick list is not offered either.
    messages.texts.clear();
    cnSpec.Pick();
    QCOMPARE(messages.texts, QStringList{message});
    QVERIFY(form.server.paramsSeen.isEmpty());
    QVERIFY(!cnSpec.pickButton()->isVisible());
}

void tst_LumoCodeName::dependentEditorSendsPredecessorCode()
{
    MessageLog messages;
    Form form;
    TLumoCodeName cnSpec;
    LookupServer specs(
        {QStringLiteral("bodyno"), QStringLiteral("SpecName"), QStringLiteral("pdtcode")},
        {{QStringLiteral("0001"), QStringLiteral("小号"), QStringLiteral("P01")},
         {QStringLiteral("0001"), QStringLiteral("大号"), QStringLiteral("P02")}});
    specs.preColumn = 2;
    cnSpec.setNODB(true);
    cnSpec.setRemoteServer(&specs);
    cnSpec.setProviderName(QStringLiteral("dspSpecCN"));
    TLumoEdit specName;
    cnSpec.setFocusEdit(&specName);
    cnSpec.setPreCodeName(form.editor);
    form.editor->setText(QStringLiteral("P02"));
    cnSpec.setText(QStringLiteral("0001"));
    cnSpec.Resolve();
    QCOMPARE(specs.lastParam(QStringLiteral("PreCode")), QStringLiteral("P02"));
    QCOMPARE(specs.lastParam(QStringLiteral("tmpPreCode")), QStringLiteral("P02"));
    QCOMPARE(specName.text(), QStringLiteral("大号"));
    QVERIFY(messages.texts.isEmpty());
}

void tst_LumoCodeName::beforeActiveVetoes()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    int asked = 0;
    form.editor->BeforeActive = [&asked](bool &CanActive) {
        ++asked;
        CanActive = false;
    };
    QVERIFY(form.show());
    form.type(QStringLiteral("p01"));
    form.leave();
    QCOMPARE(asked, 1);
    QVERIFY(form.server.paramsSeen.isEmpty());
    QCOMPARE(record.value(QStringLiteral("pdtcode")).toString(), QStringLiteral("P01"));
    QCOMPARE(record.value(QStringLiteral("Name")), QVariant());
    QCOMPARE(form.afterSetData, 0);

    form.editor->Pick(); // no list opens: a window would stay open and fail the test
    QCOMPARE(asked, 2);
    QVERIFY(form.server.paramsSeen.isEmpty());
    QVERIFY(!form.editor->pickButton()->isVisible());
}

void tst_LumoCodeName::pickListCancelledChangesNothing()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    QVERIFY(form.show());
    form.editor->activeEdit()->setFocus(Qt::TabFocusReason);
    QString caption;
    int rows = -1;
    QStringList headers;
    whenPickWindowShows([&](TfrmCodeName *pick) {
        caption = pick->windowTitle();
        rows = pick->dbGridCodeName->model()->rowCount();
        for (int c = 0; c < pick->dbGridCodeName->model()->columnCount(); ++c)
            headers << pick->dbGridCodeName->model()->headerData(c, Qt::Horizontal).toString();
        pick->btnCancel->click();
    });
    QTest::keyClick(form.editor->activeEdit(), Qt::Key_Down);
    QCOMPARE(caption, QStringLiteral("请选择"));
    QCOMPARE(rows, 3);
    QCOMPARE(headers.mid(0, 2), (QStringList{QStringLiteral("代码"), QStringLiteral("名称")}));
    QCOMPARE(form.server.lastParam(QStringLiteral("tmpCode")), QStringLiteral(" "));
    QVERIFY(record.value(QStringLiteral("pdtcode")).isNull());
    QCOMPARE(record.dataSet.State(), TDataSetState::dsBrowse);
    QCOMPARE(form.afterSetData, 0);
    QVERIFY(!form.editor->lookupDataSet()->Active());
    QCOMPARE(form.window.focusWidget(), form.editor->activeEdit());
}

void tst_LumoCodeName::pickListOkTakesCurrentRow()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    form.editor->setMultiSelect(true);
    bool multi = false;
    whenPickWindowShows([&](TfrmCodeName *pick) {
        multi = pick->dbGridCodeName->MultiSelect() && !pick->ImgMultiSel->isHidden();
        // Two rows marked; only the current one is taken.
        QAbstractItemModel *model = pick->dbGridCodeName->model();
        pick->dbGridCodeName->selectionModel()->select(
            model->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        pick->dbGridCodeName->setCurrentIndex(model->index(1, 0));
        pick->btnOK->click();
    });
    form.editor->Pick();
    QVERIFY(multi);
    QCOMPARE(record.value(QStringLiteral("pdtcode")).toString(), QStringLiteral("P02"));
    QCOMPARE(record.value(QStringLiteral("Name")).toString(), QStringLiteral("螺母"));
    QCOMPARE(form.afterSetData, 1);
}

void tst_LumoCodeName::pickListOfNoRowsOnlyCancels()
{
    MessageLog messages;
    Form form;
    form.server.table.rows.clear();
    bool stayedOpen = false;
    whenPickWindowShows([&](TfrmCodeName *pick) {
        pick->btnOK->click();
        QTest::mouseDClick(pick->dbGridCodeName->viewport(), Qt::LeftButton);
        stayedOpen = pick->isVisible();
        pick->btnCancel->click();
    });
    form.editor->Pick();
    QVERIFY(stayedOpen);
    QCOMPARE(form.afterSetData, 0);
}

void tst_LumoCodeName::ownPickerReplacesList()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    int shownRows = -1;
    form.editor->OnbtnClick = [&](TLumoCodeName *Sender, TLumoCLientDataSet *DataSet,
                                  int &ModalReSult, std::unique_ptr<Tlumodbgrid> &UserGrid) {
        QCOMPARE(Sender, form.editor);
        QVERIFY(UserGrid && !UserGrid->parent());
        shownRows = DataSet->RecordCount();
        DataSet->Last();
        UserGrid = std::make_unique<Tlumodbgrid>();
        ModalReSult = QDialog::Accepted;
    };
    form.editor->Pick();
    QCOMPARE(shownRows, 3);
    QCOMPARE(record.value(QStringLiteral("pdtcode")).toString(), QStringLiteral("P03"));
    QCOMPARE(record.value(QStringLiteral("Name")).toString(), QStringLiteral("垫片"));
    QCOMPARE(form.afterSetData, 1);
    QVERIFY(!form.editor->lookupDataSet()->Active());
}

void tst_LumoCodeName::ownPickerFailureEndsPick()
{
    MessageLog messages;
    Record record;
    Form form(&record.source);
    form.editor->OnbtnClick = [](TLumoCodeName *, TLumoCLientDataSet *DataSet, int &ModalReSult,
                                 std::unique_ptr<Tlumodbgrid> &) {
        DataSet->First();
        ModalReSult = QDialog::Accepted;
        throw TLumoDataSetError(QStringLiteral("picker broke"));
    };
    form.editor->Pick();
    QVERIFY(record.value(QStringLiteral("pdtcode")).isNull());
    QCOMPARE(form.afterSetData, 0);
    QVERIFY(!form.editor->lookupDataSet()->Active());
    QVERIFY(!form.editor->pickButton()->isVisible());
}

void tst_LumoCodeName::readOnlyTagStrHidesButton()
{
    MessageLog messages;
    Form form;
    form.editor->setTagStr(QStringLiteral("r"));
    QCOMPARE(form.editor->TagStr(), QStringLiteral("R"));
    QVERIFY(form.show());
    form.editor->activeEdit()->setFocus(Qt::TabFocusReason);
    QVERIFY(form.editor->activeEdit()->hasFocus());
    QVERIFY(!form.editor->pickButton()->isVisible());
    for (QLineEdit *edit : {static_cast<QLineEdit *>(form.editor->dbEdit()),
                            static_cast<QLineEdit *>(form.editor->plainEdit())}) {
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->palette().color(QPalette::Base), kMoneyGreen);
    }
    bool opened = false;
    whenPickWindowShows([&](TfrmCodeName *pick) {
        opened = true;
        QVERIFY(!form.editor->pickButton()->isVisible());
        pick->reject();
    });
    QTest::keyClick(form.editor->activeEdit(), Qt::Key_Down);
    QVERIFY2(opened, "the Down key still opens the list");
}

void tst_LumoCodeName::pickButtonPlacement()
{
    TLumoCodeName editor;
    editor.resize(200, 24);
    editor.show();
    const QRect button = editor.pickButton()->geometry();
    QCOMPARE(button.top(), 2);
    QCOMPARE(button.height(), 20);
    QCOMPARE(button.width(), 21);
    QCOMPARE(button.left(), 200 - 21 - 2);
    QVERIFY(editor.pickButton()->Captions().isEmpty());
    QVERIFY(!editor.pickButton()->Glyph().isNull());
}

void tst_LumoCodeName::pickWindowFitsColumnsAndEnterGoesToOk()
{
    LookupServer server({QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("CorpName"),
                         QStringLiteral("DeptName")},
                        {{QStringLiteral("S01"), QStringLiteral("总仓"), QStringLiteral("本公司"),
                          QStringLiteral("采购部")}});
    TLumoCLientDataSet lookup;
    lookup.setRemoteServer(&server);
    lookup.setProviderName(QStringLiteral("dspStoreCN"));
    lookup.Open();
    TfrmCodeName pick;
    pick.setDataSet(&lookup);
    QHeaderView *header = pick.dbGridCodeName->horizontalHeader();
    header->resizeSection(0, 60);
    header->resizeSection(1, 900);
    QVERIFY(lumo::test::showActive(&pick));
    const int share = pick.dbGridCodeName->width() / 4;
    QCOMPARE(header->sectionSize(0), 60);
    QCOMPARE(header->sectionSize(1), share);
    QVERIFY(pick.dbGridCodeName->hasFocus());
    QTest::keyClick(pick.dbGridCodeName, Qt::Key_Return);
    QVERIFY(pick.btnOK->hasFocus());
    QVERIFY(pick.isVisible());
    QTest::keyClick(pick.btnOK, Qt::Key_Return);
    QCOMPARE(pick.result(), int(QDialog::Accepted));
}

void tst_LumoCodeName::pickWindowHintToggles()
{
    TfrmCodeName pick;
    pick.setMultiSelect(true);
    pick.show();
    QVERIFY(pick.ImgMultiSel->isVisible() && pick.lblLinkImg->isVisible());
    QVERIFY(!pick.lblMultiSel->isVisible() && !pick.lblMultiSel2->isVisible());
    QVERIFY(pick.dbGridCodeName->MultiSelect());
    emit pick.ImgMultiSel->clicked();
    QVERIFY(pick.lblMultiSel->isVisible() && pick.lblMultiSel2->isVisible());
    QVERIFY(!pick.lblLinkImg->isVisible());
    emit pick.ImgMultiSel->clicked();
    QVERIFY(!pick.lblMultiSel->isVisible() && pick.lblLinkImg->isVisible());

    pick.setMultiSelect(false);
    QVERIFY(!pick.ImgMultiSel->isVisible() && !pick.lblLinkImg->isVisible());
    QVERIFY(!pick.dbGridCodeName->MultiSelect());
}

QTEST_MAIN(tst_LumoCodeName)
#include "tst_LumoCodeName.moc"
