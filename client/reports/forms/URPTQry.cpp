#include "URPTQry.h"

#include "LumoCLientDataSet.h"
#include "LumoCheckBox.h"
#include "LumoCodeName.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoErrorBoundary.h"
#include "LumoFaceSet.h"
#include "LumoLabel.h"
#include "LumoModalForm.h"
#include "LumoPanel.h"
#include "LumoSocketConnection.h"
#include "LumobitBtn.h"
#include "UDMMain.h"
#include "UMsgBox.h"
#include "UParentInfo.h"
#include "URPT.h"
#include "UWait.h"

#include <QCoreApplication>
#include <QDate>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace korvane::reports {

namespace {

FormLookup &currentLookup()
{
    static FormLookup lookup;
    return lookup;
}

} // namespace

FormLookup setFormLookup(FormLookup lookup)
{
    FormLookup previous = std::move(currentLookup());
    currentLookup() = std::move(lookup);
    return previous;
}

TfrmRPT *lookUpForm(const QString &reportCode)
{
    const FormLookup &lookup = currentLookup();
    return lookup ? lookup(reportCode) : reportForm(reportCode);
}

} // namespace korvane::reports

namespace {

const QString Blank = QStringLiteral(" ");

//! The pair rule: the picked code, or a single blank when nothing is picked.
QString pairValue(const QString &code)
{
    return code.trimmed().isEmpty() ? Blank : code;
}

int charWidth(const QWidget *widget, int chars)
{
    return QFontMetrics(widget->font()).horizontalAdvance(QLatin1Char('0')) * chars + 12;
}

QString labelName(const QString &condition)
{
    return QStringLiteral("lbl") + condition.mid(2);
}

} // namespace

TfrmRPTQry::TfrmRPTQry(const TRPTQryDecl &decl, QWidget *parent) : QDialog(parent), m_decl(decl)
{
    setObjectName(QStringLiteral("frm") + decl.className.mid(4));
    setWindowTitle(decl.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    LumoFaceSet1 = new TLumoFaceSet(this);
    LumoFaceSet1->setObjectName(QStringLiteral("LumoFaceSet1"));
    LumoModalForm1 = new TLumoModalForm(this);
    LumoModalForm1->setObjectName(QStringLiteral("LumoModalForm1"));
    cdsXMaster = new TLumoCLientDataSet(this);
    cdsXMaster->setObjectName(QStringLiteral("cdsXMaster"));
    cdsXMaster->setTagStr(QStringLiteral("D0"));
    cdsXMaster->setProviderName(QStringLiteral("dspXMaster"));
    if (dmMain)
        cdsXMaster->setRemoteServer(dmMain->scRPT);
    buildWindow();
}

TfrmRPTQry::~TfrmRPTQry() = default;

// ---- the window ------------------------------------------------------------------------

void TfrmRPTQry::buildWindow()
{
    auto *layout = new QVBoxLayout(this);
    pnlSel = new TLumoPanel(this);
    pnlSel->setObjectName(QStringLiteral("pnlSel"));
    auto *grid = new QGridLayout(pnlSel);
    grid->setContentsMargins(16, 14, 16, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    for (const TRPTCondDecl &cond : m_decl.conditions)
        addCondition(grid, cond);

    // A link: navy, with the hand cursor.
    lblEmpty = new TLumoLabel(
        QStringLiteral("<a href=\"clear\" style=\"color: navy;\">清除所有条件</a>"), pnlSel);
    lblEmpty->setObjectName(QStringLiteral("lblEmpty"));
    lblEmpty->setCursor(Qt::PointingHandCursor);
    lblEmpty->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(lblEmpty, &QLabel::linkActivated, this, [this] { ClearConditions(); });
    grid->addWidget(lblEmpty, grid->rowCount(), 0, 1, 4, Qt::AlignRight);
    layout->addWidget(pnlSel);

    pnlBtn = new TLumoPanel(this);
    pnlBtn->setObjectName(QStringLiteral("pnlBtn"));
    auto *buttons = new QHBoxLayout(pnlBtn);
    buttons->addStretch();
    BitBtn1 = new TLumobitBtn(QStringLiteral("√ 产生报表"), pnlBtn);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(false);
    BitBtn1->setAutoDefault(false);
    BitBtn2 = new TLumobitBtn(QStringLiteral("× 取消"), pnlBtn);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addWidget(pnlBtn);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Generate(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    linkPredecessors();
    showRequiredLabels();
    setFixedSize(sizeHint());
}

void TfrmRPTQry::addCondition(QGridLayout *grid, const TRPTCondDecl &cond)
{
    const int row = grid->rowCount();
    switch (cond.kind) {
    case TRPTCondDecl::ckDates:
        addDates(grid, row, cond);
        break;
    case TRPTCondDecl::ckCode:
        addCodeName(grid, row, cond);
        break;
    case TRPTCondDecl::ckCheck:
        chkState = new TLumoCheckBox(cond.label, pnlSel);
        chkState->setObjectName(cond.name);
        chkState->setChecked(true); // documents not yet checked are included by default
        grid->addWidget(chkState, row, 1, 1, 3);
        break;
    }
}

void TfrmRPTQry::addDates(QGridLayout *grid, int row, const TRPTCondDecl &cond)
{
    auto dateBox = [this](const QString &name) {
        auto *edit = new TLumoDateEdit(pnlSel);
        edit->setObjectName(name);
        edit->setDateTimeType(TLumoDateEdit::dttDate);
        edit->setFixedWidth(charWidth(edit, 12));
        return edit;
    };
    edtBeginDate = dateBox(QStringLiteral("edtBeginDate"));
    edtEndDate = dateBox(QStringLiteral("edtEndDate"));
    auto *from = new TLumoLabel(cond.label, pnlSel);
    from->setObjectName(QStringLiteral("lblBeginDate"));
    auto *to = new TLumoLabel(cond.label2, pnlSel);
    to->setObjectName(QStringLiteral("lblEndDate"));
    auto *second = new QHBoxLayout;
    second->addWidget(to);
    second->addWidget(edtEndDate);
    second->addStretch();
    grid->addWidget(from, row, 0);
    grid->addWidget(edtBeginDate, row, 1);
    grid->addLayout(second, row, 2, 1, 2);
    m_labels.insert(cond.name, from);
}

void TfrmRPTQry::addCodeName(QGridLayout *grid, int row, const TRPTCondDecl &cond)
{
    auto *label = new TLumoLabel(cond.label, pnlSel);
    label->setObjectName(labelName(cond.name));
    auto *code = new TLumoCodeName(pnlSel);
    code->setObjectName(cond.name);
    code->setNODB(true);
    code->setCodeDataField(cond.param); // never written: the editor is not bound to data
    code->setProviderName(cond.provider);
    code->setTitlesList(cond.titles);
    code->setFixedWidth(charWidth(code, 12));
    if (dmMain)
        code->setRemoteServer(dmMain->scCodeName);
    auto *name = new TLumoEdit(pnlSel);
    name->setObjectName(cond.name + QStringLiteral("Name"));
    name->setTagStr(QStringLiteral("R"));
    name->setMinimumWidth(charWidth(name, 18));
    code->setFocusEdit(name);
    grid->addWidget(label, row, 0);
    grid->addWidget(code, row, 1);
    grid->addWidget(name, row, 2, 1, 2);
    m_codes.insert(cond.name, code);
    m_names.insert(cond.name, name);
    m_labels.insert(cond.name, label);
}

void TfrmRPTQry::linkPredecessors()
{
    for (const TRPTCondDecl &cond : m_decl.conditions) {
        if (cond.preCode.isEmpty())
            continue;
        TLumoCodeName *editor = m_codes.value(cond.name);
        TLumoCodeName *predecessor = m_codes.value(cond.preCode);
        if (!cond.preCodeOptional) {
            editor->setPreCodeName(predecessor);
            continue;
        }
        // The predecessor narrows the lookup when it holds a code; an empty one asks for
        // every code instead of refusing.
        editor->BeforeActive = [editor, predecessor](bool &) {
            const QString code = pairValue(predecessor->Text());
            editor->lookupDataSet()->Params().setValue(QStringLiteral("PreCode"), code);
            editor->lookupDataSet()->Params().setValue(QStringLiteral("tmpPreCode"), code);
        };
    }
}

void TfrmRPTQry::addConditionRow(const QString &label, QWidget *editor)
{
    auto *grid = static_cast<QGridLayout *>(pnlSel->layout());
    grid->removeWidget(lblEmpty); // the link stays the last row
    const int row = grid->rowCount();
    auto *caption = new TLumoLabel(label, pnlSel);
    caption->setObjectName(QStringLiteral("lbl") + editor->objectName().mid(3));
    editor->setParent(pnlSel);
    grid->addWidget(caption, row, 0);
    grid->addWidget(editor, row, 1, 1, 3);
    grid->addWidget(lblEmpty, row + 1, 0, 1, 4, Qt::AlignRight);
    // The window was fixed to its first size: measure it again with the new row.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    layout()->invalidate();
    layout()->activate();
    setFixedSize(sizeHint());
}

TLumoCodeName *TfrmRPTQry::codeEditor(const QString &condition) const
{
    return m_codes.value(condition);
}

TLumoEdit *TfrmRPTQry::nameBox(const QString &condition) const
{
    return m_names.value(condition);
}

QLabel *TfrmRPTQry::conditionLabel(const QString &condition) const
{
    return m_labels.value(condition);
}

// ---- report code and activation ---------------------------------------------------------

void TfrmRPTQry::setRPTCode(const QString &code)
{
    if (code != m_code && !showsReportForm()) {
        m_code = code;
    } else if (code != m_code) {
        m_code = code;
        m_form = korvane::reports::lookUpForm(code);
        if (!m_form)
            qWarning("%s: no report form for the report code \"%s\"", qPrintable(m_decl.className),
                     qPrintable(code));
        const TRPTReportDecl *report = m_decl.report(code);
        if (m_form && report && !report->title.isEmpty())
            m_form->setTitle(report->title);
    }
    showRequiredLabels();
}

//! A condition that only some reports require shows its label in blue while one of them
//! is chosen.
void TfrmRPTQry::showRequiredLabels()
{
    for (const TRPTCondDecl &cond : m_decl.conditions) {
        if (cond.onlyFor.isEmpty() || !m_labels.contains(cond.name))
            continue;
        QPalette palette = m_labels.value(cond.name)->palette();
        palette.setColor(QPalette::WindowText, requiredNow(cond) ? Qt::blue : Qt::black);
        m_labels.value(cond.name)->setPalette(palette);
    }
}

bool TfrmRPTQry::requiredNow(const TRPTCondDecl &cond) const
{
    if (cond.missing.isEmpty())
        return false;
    if (cond.onlyFor.isEmpty())
        return true;
    return cond.onlyFor.contains(m_code, Qt::CaseInsensitive);
}

bool TfrmRPTQry::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        activated();
    return QDialog::event(event);
}

void TfrmRPTQry::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activated();
}

//! The session's date format once, and today's date in every empty date box unless a
//! report is being fetched (the wait window takes the activation and gives it back).
void TfrmRPTQry::activated()
{
    LumoModalForm1->Apply(ParentInfo.UserSet.DateFormat);
    if (!m_mayFillDates)
        return;
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    for (TLumoDateEdit *edit : {edtBeginDate, edtEndDate}) {
        if (edit && edit->digits().isEmpty())
            edit->SetDateTimeText(today);
    }
}

void TfrmRPTQry::done(int result)
{
    cdsXMaster->Close(); // rows are held only while their report is previewed
    QDialog::done(result);
}

void TfrmRPTQry::ClearConditions()
{
    for (QLineEdit *edit : pnlSel->findChildren<QLineEdit *>()) {
        if (auto *date = qobject_cast<TLumoDateEdit *>(edit))
            date->SetDateTimeText(QString());
        else
            edit->clear();
    }
}

// ---- generating a report ----------------------------------------------------------------

bool TfrmRPTQry::Generate()
{
    if (!checkConditions())
        return false;
    if (!m_form) {
        qWarning("%s: the report \"%s\" has no form; nothing is fetched",
                 qPrintable(m_decl.className), qPrintable(m_code));
        return false;
    }
    fillParams();
    if (!fetch())
        return false;
    showReport();
    return true;
}

//! The conditions that must be filled, in the window's order; the first empty one takes
//! the focus.
bool TfrmRPTQry::checkConditions()
{
    for (const TRPTCondDecl &cond : m_decl.conditions) {
        if (cond.kind == TRPTCondDecl::ckDates) {
            if (!checkDate(edtBeginDate, cond.missing) || !checkDate(edtEndDate, cond.missing))
                return false;
        } else if (cond.kind == TRPTCondDecl::ckCode && requiredNow(cond)) {
            TLumoCodeName *code = m_codes.value(cond.name);
            if (code->Text().trimmed().isEmpty()) {
                MsgBox(cond.missing, mkHint);
                code->activeEdit()->setFocus();
                return false;
            }
        }
    }
    return true;
}

bool TfrmRPTQry::checkDate(TLumoDateEdit *edit, const QString &missing)
{
    if (!dateText(edit).isEmpty())
        return true;
    // An unfinished date has told the operator so already and holds the focus.
    if (edit->digits().isEmpty()) {
        MsgBox(missing, mkHint);
        edit->setFocus();
    }
    return false;
}

QString TfrmRPTQry::dateText(TLumoDateEdit *edit) const
{
    return edit ? edit->GetDateTimeText().left(10) : QString();
}

void TfrmRPTQry::fillParams()
{
    cdsXMaster->Params().clear();
    cdsXMaster->Params().setValue(QStringLiteral("SQLFLAG"), m_code);
    for (const TRPTCondDecl &cond : m_decl.conditions) {
        switch (cond.kind) {
        case TRPTCondDecl::ckDates:
            cdsXMaster->Params().setValue(QStringLiteral("BeginDate"), dateText(edtBeginDate));
            cdsXMaster->Params().setValue(QStringLiteral("EndDate"), dateText(edtEndDate));
            break;
        case TRPTCondDecl::ckCheck:
            cdsXMaster->Params().setValue(cond.param, chkState->isChecked() ? QStringLiteral("1")
                                                                            : QStringLiteral("2"));
            break;
        case TRPTCondDecl::ckCode: {
            const QString code = m_codes.value(cond.name)->Text();
            if (cond.alone) {
                cdsXMaster->Params().setValue(cond.param, code);
            } else {
                cdsXMaster->Params().setValue(cond.param, pairValue(code));
                cdsXMaster->Params().setValue(QStringLiteral("tmp") + cond.param, pairValue(code));
            }
            break;
        }
        }
    }
}

//! Reopens the data set behind the wait window. A server error is not shown (it is
//! logged); the window stays open with the operator's entries.
bool TfrmRPTQry::fetch()
{
    m_mayFillDates = false;
    bool fetched = false;
    {
        const TWaitGuard wait(QStringLiteral("DEFAULT"), QStringLiteral("DEFAULT"));
        QCoreApplication::processEvents();
        fetched = lumoBoundary(
            "report condition window",
            [this] {
                cdsXMaster->Close();
                cdsXMaster->Open();
            },
            [this](const QString &text) {
                qWarning("%s: the report \"%s\" could not be fetched: %s",
                         qPrintable(m_decl.className), qPrintable(m_code), qPrintable(text));
            });
    }
    m_mayFillDates = true;
    return fetched;
}

void TfrmRPTQry::showReport()
{
    m_form->setDateLine(dateLine());
    m_form->setConditionLines(conditionLines());
    hide();
    QCoreApplication::processEvents();
    m_form->preview(*cdsXMaster, parentWidget());
    done(QDialog::Accepted);
}

QString TfrmRPTQry::dateLine() const
{
    if (!edtBeginDate)
        return QString();
    return QStringLiteral("日期：") + dateText(edtBeginDate) + QLatin1Char('~') +
           dateText(edtEndDate);
}

QStringList TfrmRPTQry::conditionLines() const
{
    QStringList lines;
    for (const TRPTLineDecl &line : m_decl.lines) {
        const bool picked = !m_codes.value(line.condition)->Text().trimmed().isEmpty();
        if (line.onlyPicked && !picked)
            continue;
        QString label = line.label;
        for (auto it = line.labelFor.begin(); it != line.labelFor.end(); ++it) {
            if (it.key().compare(m_code, Qt::CaseInsensitive) == 0)
                label = it.value();
        }
        lines << label + (picked ? m_names.value(line.condition)->text() : line.all);
    }
    return lines;
}
