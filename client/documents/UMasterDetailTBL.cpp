#include "UMasterDetailTBL.h"

#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoCodeName.h"
#include "LumoDBGrid.h"
#include "LumoDataSetModel.h"
#include "LumoDataSource.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoFaceSet.h"
#include "LumoLabel.h"
#include "LumoPageControl.h"
#include "LumoPanel.h"
#include "LumoSocketConnection.h"
#include "LumobitBtn.h"
#include "UActionRights.h"
#include "UDMMain.h"
#include "UDocCheck.h"
#include "UDocEditors.h"
#include "UMsgBox.h"
#include "UPackRules.h"
#include "UParentInfo.h"
#include "UReadOrder.h"

#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <memory>

using doceditors::charWidth;
using doceditors::makePanel;

TfrmMasterDetailtbl::TfrmMasterDetailtbl(const TDocumentDecl &decl, QWidget *parent)
    : QWidget(parent), m_decl(decl)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(decl.caption);
    createDataSets();
    createPages();
    FaceSet = new TLumoFaceSet(this);
    FaceSet->setObjectName(QStringLiteral("FaceSet"));
    LumoChild = new TLumoChild(this);
    LumoChild->setObjectName(QStringLiteral("LumoChild"));
    LumoChild->setAutoNO(true);
    hookEvents();
    presetQuery();
}

TfrmMasterDetailtbl::~TfrmMasterDetailtbl()
{
    // The data sets close as the window's children go, after the totals' labels and
    // declaration are gone: they tell this window nothing more.
    CDSXMaster->disconnect(this);
    cdsXDetail->disconnect(this);
}

void TfrmMasterDetailtbl::setBillServer(TLumoRemoteServer *server)
{
    CDSXMaster->setRemoteServer(server);
}

TLumoCodeName *TfrmMasterDetailtbl::selector(const QString &name) const
{
    return qobject_cast<TLumoCodeName *>(component(name));
}

void TfrmMasterDetailtbl::setQuantityCaptions(const QString &column, const QString &total)
{
    cdsXDetail->FieldByName(QStringLiteral("pqty")).setDisplayLabel(column);
    const int columns = GridXDetail->dataModel()->columnCount();
    if (columns > 0)
        emit GridXDetail->dataModel()->headerDataChanged(Qt::Horizontal, 0, columns - 1);
    lblTotalpqty->setText(total);
}

void TfrmMasterDetailtbl::addHeadTotal(QHBoxLayout *row, const QString &caption,
                                       const QString &field)
{
    auto *label = new TLumoLabel(caption, pnlDetailEdt);
    label->setObjectName(QStringLiteral("lblTotal") + field);
    auto *box = new TLumoDBEdit(pnlDetailEdt);
    box->setObjectName(QStringLiteral("edtTotal") + field);
    box->setDataSource(dsXMaster);
    box->setDataField(field);
    box->setTagStr(QStringLiteral("R"));
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(charWidth(box, 9));
    row->addSpacing(20);
    row->addWidget(label);
    row->addWidget(box);
    remember(box);
}

void TfrmMasterDetailtbl::remember(QWidget *widget)
{
    m_components.insert(widget->objectName(), widget);
}

// ---- data sets --------------------------------------------------------------------------

void TfrmMasterDetailtbl::createDataSets()
{
    CDSXMaster = new TLumoCLientDataSet(this);
    CDSXMaster->setObjectName(QStringLiteral("CDSXMaster"));
    CDSXMaster->setTagStr(QStringLiteral("D1"));
    CDSXMaster->setProviderName(m_decl.provider);
    CDSXMaster->setTableName(m_decl.headTable);
    CDSXMaster->setPacketRecords(20);
    CDSXMaster->IndexDefs() = {{QStringLiteral("idxKey"), m_decl.headKey}};
    if (dmMain)
        CDSXMaster->setRemoteServer(m_decl.billModule ? dmMain->scBill : dmMain->SCBase);
    declareHeadFields();
    dsXMaster = new TLumoDataSource(this);
    dsXMaster->setObjectName(QStringLiteral("dsXMaster"));
    dsXMaster->setDataSet(CDSXMaster);

    cdsXDetail = new TLumoCLientDataSet(this);
    cdsXDetail->setObjectName(QStringLiteral("cdsXDetail"));
    cdsXDetail->setTagStr(QStringLiteral("D2"));
    cdsXDetail->setTableName(m_decl.lineTable);
    cdsXDetail->IndexDefs() = {{QStringLiteral("idxKey"), m_decl.lineKey}};
    declareLineFields();
    cdsXDetail->setDataSetField(&CDSXMaster->FieldByName(m_decl.nestedField));
    dsXDetail = new TLumoDataSource(this);
    dsXDetail->setObjectName(QStringLiteral("dsXDetail"));
    dsXDetail->setDataSet(cdsXDetail);
}

void TfrmMasterDetailtbl::declareHeadFields()
{
    doceditors::declareFields(*CDSXMaster, m_decl.headFields);
    CDSXMaster->addDataField(m_decl.nestedField, korvane::FieldType::Nested);
    if (!dmMain || !m_decl.checked)
        return;
    // Names the head only refers to by code, from the data module's shared lists.
    TLumoCLientDataSet *states = dmMain->lookup(QStringLiteral("dspDocState"));
    TLumoCLientDataSet *staff = dmMain->lookup(QStringLiteral("cdsXpsEmp"));
    CDSXMaster
        ->addLookupField(QStringLiteral("StateName"), QStringLiteral("State"), states,
                         QStringLiteral("Code"), QStringLiteral("Name"))
        .setDisplayLabel(QStringLiteral("状态"));
    CDSXMaster
        ->addLookupField(QStringLiteral("InputerName"), QStringLiteral("inputer"), staff,
                         QStringLiteral("Code"), QStringLiteral("Name"))
        .setDisplayLabel(QStringLiteral("录入人"));
    CDSXMaster
        ->addLookupField(QStringLiteral("AssessorName"), QStringLiteral("Assessorcode"), staff,
                         QStringLiteral("Code"), QStringLiteral("Name"))
        .setDisplayLabel(QStringLiteral("审核人"));
}

void TfrmMasterDetailtbl::declareLineFields()
{
    doceditors::declareFields(*cdsXDetail, m_decl.lineFields);
    if (!m_decl.goodsLines)
        return;
    cdsXDetail->addAggregateField(QStringLiteral("SumOfBigPackNum"),
                                  QStringLiteral("Sum( BigPackNum )"));
    cdsXDetail->addAggregateField(QStringLiteral("SumOfPqty"), QStringLiteral("Sum( Pqty )"));
    for (const auto &[name, expression] : std::as_const(m_decl.lineSums))
        cdsXDetail->addAggregateField(name, expression);
}

// ---- layout -----------------------------------------------------------------------------

void TfrmMasterDetailtbl::createPages()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pcMain = new TLumoPageControl(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    layout->addWidget(pcMain);
    tsXMasterList = new QWidget;
    tsXMasterList->setObjectName(QStringLiteral("tsXMasterList"));
    pcMain->addTab(tsXMasterList, m_decl.listCaption);
    tsXMasterDetail = new QWidget;
    tsXMasterDetail->setObjectName(QStringLiteral("tsXMasterDetail"));
    pcMain->addTab(tsXMasterDetail, m_decl.documentCaption);
    new QVBoxLayout(tsXMasterList);
    new QVBoxLayout(tsXMasterDetail);
    createQueryPanel();
    createListPanel();
    createHeadPanel();
    createLinePanel();
    createTotalsPanel();
}

Tlumodbgrid *TfrmMasterDetailtbl::gridPanel(QWidget *sheet, TLumoPanel **outer, TLumoPanel **inner,
                                            const char *names[3], const char *tagStr)
{
    *outer = makePanel(sheet, names[0], tagStr, TLumoPanel::ptActivePnl);
    sheet->layout()->addWidget(*outer);
    auto *layout = new QVBoxLayout(*outer);
    layout->setContentsMargins(3, 3, 3, 3);
    *inner = makePanel(*outer, names[1], "D0", TLumoPanel::ptNormal);
    layout->addWidget(*inner);
    auto *innerLayout = new QVBoxLayout(*inner);
    innerLayout->setContentsMargins(0, 0, 0, 0);
    auto *grid = new Tlumodbgrid(*inner);
    grid->horizontalHeader()->setStretchLastSection(true); // the remark takes what is left
    grid->setObjectName(QLatin1String(names[2]));
    grid->setTagStr(QLatin1String(tagStr));
    innerLayout->addWidget(grid);
    return grid;
}

void TfrmMasterDetailtbl::createListPanel()
{
    const char *names[3] = {"pnlMaster", "pnlMasterList", "GridXMaster"};
    GridXMaster = gridPanel(tsXMasterList, &pnlMaster, &pnlMasterList, names, "D1");
    GridXMaster->setReadOnly(true);
    GridXMaster->setRowSelect(true);
    GridXMaster->setMultiSelect(true);
    GridXMaster->setDataSource(dsXMaster);
    GridXMaster->setColumns(m_decl.listColumns);
}

void TfrmMasterDetailtbl::createHeadPanel()
{
    pnlMasterEdt = makePanel(tsXMasterDetail, "pnlMasterEdt", "D1", TLumoPanel::ptActivePnl);
    tsXMasterDetail->layout()->addWidget(pnlMasterEdt);
    auto *grid = new QGridLayout(pnlMasterEdt);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setHorizontalSpacing(6);
    constexpr int PerRow = 3;
    int row = 0, column = 0;
    for (const TDocEditorDecl &e : std::as_const(m_decl.editors)) {
        if (e.wide && column > 0) {
            ++row;
            column = 0;
        }
        addHeadEditor(grid, row, column, e);
        column = e.wide ? PerRow : column + 1;
        if (column >= PerRow) {
            ++row;
            column = 0;
        }
    }
    if (!m_decl.read.buttonCaption.isEmpty()) {
        btnReadBuy = new TLumobitBtn(m_decl.read.buttonCaption, pnlMasterEdt);
        btnReadBuy->setObjectName(QStringLiteral("btnReadBuy"));
        grid->addWidget(btnReadBuy, row + (column > 0 ? 1 : 0), 0, 1, 2, Qt::AlignLeft);
    }
    for (int c = 0; c < PerRow; ++c)
        grid->setColumnStretch(c * 2 + 1, 1);
}

void TfrmMasterDetailtbl::addHeadEditor(QGridLayout *grid, int row, int column,
                                        const TDocEditorDecl &decl)
{
    auto *label = new TLumoLabel(decl.caption + QStringLiteral("："), pnlMasterEdt);
    label->setObjectName(QStringLiteral("lbl") + decl.field);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QList<QWidget *> made;
    QWidget *editor = doceditors::headEditor(pnlMasterEdt, dsXMaster, decl, &made);
    for (QWidget *component : std::as_const(made))
        remember(component);
    grid->addWidget(label, row, column * 2);
    if (decl.wide)
        grid->addWidget(editor, row, 1, 1, 5);
    else if (decl.kind == TDocEditorDecl::ekCodeName)
        grid->addWidget(editor, row, column * 2 + 1);
    else
        grid->addWidget(editor, row, column * 2 + 1, Qt::AlignLeft);
}

void TfrmMasterDetailtbl::createLinePanel()
{
    const char *names[3] = {"pnlDetail", "pnlDetailList", "GridXDetail"};
    GridXDetail = gridPanel(tsXMasterDetail, &pnlDetail, &pnlDetailList, names, "D2");
    static_cast<QVBoxLayout *>(tsXMasterDetail->layout())->setStretchFactor(pnlDetail, 1);
    GridXDetail->setDataSource(dsXDetail);
    doceditors::showLineColumns(*GridXDetail, m_decl.lineFields,
                                [this](const QString &field) { lineEllipsisClicked(field); });
    if (m_decl.goodsLines)
        createLinePickers();
}

void TfrmMasterDetailtbl::createLinePickers()
{
    // On the line panel: the grid lays them over the product and item cells.
    cnPdtCode = doceditors::productPicker(pnlDetailList, dsXDetail);
    cnSpecName = doceditors::itemPicker(pnlDetailList, dsXDetail, cnPdtCode);
    remember(cnPdtCode);
    remember(cnSpecName);
}

void TfrmMasterDetailtbl::createTotalsPanel()
{
    if (!m_decl.goodsLines) {
        // The line's own edit area, when the window has one; the window fills it.
        pnlDetailEdt = makePanel(tsXMasterDetail, "pnlDetailEdt", "D2", TLumoPanel::ptActivePnl);
        tsXMasterDetail->layout()->addWidget(pnlDetailEdt);
        pnlDetailEdt->setVisible(m_decl.lineEditArea);
        return;
    }
    pnlDetailEdt = makePanel(tsXMasterDetail, "pnlDetailEdt", "D0", TLumoPanel::ptNormal);
    tsXMasterDetail->layout()->addWidget(pnlDetailEdt);
    auto *row = new QHBoxLayout(pnlDetailEdt);
    row->setContentsMargins(12, 4, 12, 4);
    const auto label = [this](const char *name, const QString &text) {
        auto *l = new TLumoLabel(text, pnlDetailEdt);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    row->addWidget(label("lblTotal", QStringLiteral("合计:")));
    lblTotalBigPackNum = label("lblTotalBigPackNum", QStringLiteral("包装总数"));
    lblSumOfBigPackNum = label("lblSumOfBigPackNum", QString());
    lblTotalpqty = label("lblTotalpqty", m_decl.quantityTotalCaption);
    lblSumOfPqty = label("lblSumOfPqty", QString());
    for (QLabel *sum : {lblSumOfBigPackNum, lblSumOfPqty}) {
        sum->setMinimumWidth(charWidth(sum, 8));
        sum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    row->addSpacing(20);
    row->addWidget(lblTotalBigPackNum);
    row->addWidget(lblSumOfBigPackNum);
    row->addSpacing(20);
    row->addWidget(lblTotalpqty);
    row->addWidget(lblSumOfPqty);
    for (const auto &[caption, field] : std::as_const(m_decl.headTotals))
        addHeadTotal(row, caption, field);
    row->addStretch(1);
}

// ---- behaviour ----------------------------------------------------------------------------

void TfrmMasterDetailtbl::hookEvents()
{
    // Assigned before the frame binds the data sets, so that the frame calls them first.
    CDSXMaster->AfterInsert = [this](TLumoCLientDataSet &) { masterAfterInsert(); };
    CDSXMaster->BeforePost = [this](TLumoCLientDataSet &) { capitaliseTypedCodes(); };
    cdsXDetail->BeforeInsert = [this](TLumoCLientDataSet &) { beforeLineInsert(); };
    cdsXDetail->AfterInsert = [this](TLumoCLientDataSet &) { lineAfterInsert(); };
    if (TLumoField *inOutFlag = CDSXMaster->FindField(QStringLiteral("InOutFlag")))
        inOutFlag->OnChange = [this](TLumoField &field) { inOutFlagChanged(field.AsString()); };
    if (m_decl.goodsLines)
        packrules::bind(*cdsXDetail, m_decl.packageVerb);
    LumoChild->BeforeExecParentCommand = [this](int command, bool &RLT) {
        beforeCommand(command, RLT);
    };
    LumoChild->AfterExecParentCommand = [this](int command, bool &RLT) {
        afterCommand(command, RLT);
    };
    // A name looked up by a code follows the code at once (a new head's state and inputer).
    connect(CDSXMaster, &TLumoCLientDataSet::fieldChanged, this, [this](TLumoField *field) {
        static const QStringList codes{QStringLiteral("State"), QStringLiteral("inputer"),
                                       QStringLiteral("Assessorcode")};
        if (field && codes.contains(field->FieldName(), Qt::CaseInsensitive))
            emit CDSXMaster->fieldChanged(nullptr);
    });
    connect(btnQry, &QPushButton::clicked, this, &TfrmMasterDetailtbl::btnQryClick);
    if (btnReadBuy)
        connect(btnReadBuy, &QPushButton::clicked, this, &TfrmMasterDetailtbl::btnReadBuyClick);
    // A value the line cannot take (text in a quantity) is refused with its reason.
    connect(
        GridXDetail->dataModel(), &TLumoDataSetModel::editRefused, this,
        [](const QString &text) { MsgBox(text, mkHint); }, Qt::QueuedConnection);
    if (!m_decl.goodsLines)
        return;
    for (auto signal : {&TLumoCLientDataSet::layoutReset, &TLumoCLientDataSet::recordMoved,
                        &TLumoCLientDataSet::stateChanged})
        connect(cdsXDetail, signal, this, &TfrmMasterDetailtbl::refreshTotals);
    connect(cdsXDetail, &TLumoCLientDataSet::fieldChanged, this,
            &TfrmMasterDetailtbl::refreshTotals);
}

void TfrmMasterDetailtbl::refreshTotals()
{
    if (!lblSumOfPqty)
        return;
    const auto total = [this](const char *name) {
        const TLumoField *field = cdsXDetail->FindField(QLatin1String(name));
        return field && cdsXDetail->Active() ? field->Value().toDouble() : 0.0;
    };
    lblSumOfBigPackNum->setText(QString::number(total("SumOfBigPackNum"), 'f', 0));
    lblSumOfPqty->setText(QString::number(total("SumOfPqty"), 'f', 2));
}

void TfrmMasterDetailtbl::masterAfterInsert()
{
    if (m_decl.checked)
        documentHeadDefaults();
    for (const auto &[field, value] : std::as_const(m_decl.newHeadDefaults))
        CDSXMaster->FieldByName(field).setValue(value);
}

void TfrmMasterDetailtbl::documentHeadDefaults()
{
    const TLumoSession &session = LumoChild->ParentInfo();
    CDSXMaster->FieldByName(QStringLiteral("hDate")).setValue(TDocCheck::now());
    if (const QString kind = kindFlag(); !kind.trimmed().isEmpty())
        CDSXMaster->FieldByName(QStringLiteral("Flag")).setValue(kind);
    CDSXMaster->FieldByName(QStringLiteral("inputer")).setValue(session.UserCode);
    CDSXMaster->FieldByName(QStringLiteral("State")).setValue(QStringLiteral("1"));
}

void TfrmMasterDetailtbl::capitaliseTypedCodes()
{
    for (const TDocEditorDecl &e : std::as_const(m_decl.editors)) {
        TLumoField *field = e.upperCase ? CDSXMaster->FindField(e.field) : nullptr;
        if (field && field->AsString() != field->AsString().toUpper())
            field->setValue(field->AsString().toUpper());
    }
}

void TfrmMasterDetailtbl::beforeLineInsert()
{
    lineAboutToBeInserted();
}

void TfrmMasterDetailtbl::lineAfterInsert()
{
    // A line belongs to the head it is entered under: it takes the head's key.
    for (const QString &key : m_decl.headKey.split(QLatin1Char(';'))) {
        cdsXDetail->FieldByName(key).setValue(CDSXMaster->FieldByName(key).Value());
    }
    lineInserted();
}

bool TfrmMasterDetailtbl::checkDocuments(bool silent)
{
    TDocCheck check(*CDSXMaster, *cdsXDetail, *GridXMaster, LumoChild->ParentInfo());
    check.setLinkFields(m_decl.checkLinks.value(0), m_decl.checkLinks.value(1));
    return check.run(silent);
}

void TfrmMasterDetailtbl::beforeCommand(int command, bool &RLT)
{
    if (command == TLumoChild::cmCheck && m_decl.checked)
        RLT = checkDocuments(m_checkAfterSave);
}

void TfrmMasterDetailtbl::afterCommand(int command, bool &RLT)
{
    if (command != TLumoChild::cmSave || !m_decl.checked || !LumoChild->ParentInfo().CheckOnSave)
        return;
    // An operator who may not check this kind saves it unchecked, for someone who may.
    const QString windowClass = QString::fromLatin1(metaObject()->className());
    if (ParentInfo.RightsKnown &&
        !korvane::actions::commandAllowed(windowClass, TLumoChild::cmCheck, ParentInfo.Rights))
        return;
    // A saved document is checked in the same step, without the check's messages.
    m_checkAfterSave = true;
    RLT = LumoChild->ExecCommand(TLumoChild::cmCheck);
    m_checkAfterSave = false;
}

// ---- reading lines from a source document -------------------------------------------------

void TfrmMasterDetailtbl::btnReadBuyClick()
{
    GridXDetail->setFocus(Qt::OtherFocusReason);
    if (LumoChild->CurrentDataSet() != cdsXDetail || !LumoChild->ExecCommand(TLumoChild::cmNew))
        return;
    const std::unique_ptr<TfrmReadOrder> picker(createReadOrder(m_decl.read.pickerClass, this));
    if (!picker)
        return;
    // A head without a store (or partner) leaves the picker's boxes empty.
    const auto head = [this](const char *field) {
        const TLumoField *f = CDSXMaster->FindField(QLatin1String(field));
        return f ? f->AsString() : QString();
    };
    picker->setWindowTitle(m_decl.read.sourceKind);
    picker->edtspCode->setText(head("spCode"));
    picker->edtspName->setText(head("spName"));
    picker->edtStoreCode->setText(head("StoreCode"));
    picker->edtStoreName->setText(head("StoreName"));
    picker->bindSource(CDSXMaster->RemoteServer(), m_decl.read.provider);
    if (picker->run() != QDialog::Accepted || !picker->copyChosen(*cdsXDetail, m_decl.read))
        LumoChild->ExecCommand(TLumoChild::cmCancel);
}

// ---- activation ---------------------------------------------------------------------------

void TfrmMasterDetailtbl::openData()
{
    // The grid gives every column the width of its field (a whole number, date and time),
    // again after each refresh.
    doceditors::openOrSay(*CDSXMaster);
    refreshTotals();
}

void TfrmMasterDetailtbl::activateWorkWindow()
{
    beforeActivation();
    if (!LumoChild->Initialized()) {
        LumoChild->InitFrame(lumoSession());
        openData();
        // Amounts keep their own format over the one the frame gives every float field.
        doceditors::showMoney(*CDSXMaster, m_decl.headFields);
        doceditors::showMoney(*cdsXDetail, m_decl.lineFields);
        refreshTotals();
        if (m_decl.opensOnDocument)
            pcMain->setCurrentWidget(tsXMasterDetail);
    }
    LumoChild->ActivateCommandTarget();
}

bool TfrmMasterDetailtbl::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && isVisible())
        activateWorkWindow();
    return QWidget::event(event);
}

void TfrmMasterDetailtbl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!LumoChild->Initialized())
        activateWorkWindow();
}
