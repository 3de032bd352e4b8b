#include "LumoCodeName.h"

#include "LumoBtn.h"
#include "LumoDBGrid.h"
#include "LumoEdit.h"
#include "LumoFocus.h"
#include "LumoFont.h"
#include "LumoMessages.h"
#include "UCodeName.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QValidator>

namespace {

const QString kCode = QStringLiteral("Code");
const QString kTmpCode = QStringLiteral("tmpCode");
const QString kPreCode = QStringLiteral("PreCode");
const QString kTmpPreCode = QStringLiteral("tmpPreCode");
const QString kAllCodes = QStringLiteral(" ");

//! Turns what is typed into the editor's character case as it is typed, so the record and
//! the provider see the same text the edit shows.
class TCharCaseValidator : public QValidator
{
public:
    TCharCaseValidator(TLumoCodeName::TEditCharCase charCase, QObject *parent)
        : QValidator(parent), m_charCase(charCase)
    {}
    State validate(QString &input, int &) const override
    {
        if (m_charCase == TLumoCodeName::ecUpperCase)
            input = input.toUpper();
        else if (m_charCase == TLumoCodeName::ecLowerCase)
            input = input.toLower();
        return Acceptable;
    }

private:
    TLumoCodeName::TEditCharCase m_charCase;
};

//! The pick button's picture: a small arrow pointing down on the transparent magenta.
QPixmap pickGlyph()
{
    QPixmap picture(9, 9);
    picture.fill(Qt::magenta);
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPoint arrow[] = {{1, 3}, {8, 3}, {4, 7}};
    painter.drawPolygon(arrow, 3);
    return picture;
}

//! Leaving for another window, a popup or a menu is not leaving the field.
bool editing(const TLumoCLientDataSet &ds)
{
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

//! Puts a record into edit or append mode, as the code field needs for a write.
bool startEditing(TLumoCLientDataSet &ds)
{
    if (editing(ds))
        return true;
    try {
        return ds.IsEmpty() ? ds.Append() : ds.Edit();
    } catch (const TLumoDataSetError &) {
        return false;
    } catch (const TLumoAbort &) {
        return false;
    }
}

//! Runs a step of the editor from an event; a form's handler that throws ends it there.
template <typename Step> void guarded(Step step)
{
    try {
        step();
    } catch (const korvane::OperatorError &e) {
        lumoMessage(e.text(), LumoMsg::Hint);
    } catch (...) {
        // Nothing the operator can act on: the step simply ends.
    }
}

//! Sets a flag for the length of a scope.
struct BusyScope
{
    bool &flag;
    explicit BusyScope(bool &f) : flag(f) { flag = true; }
    ~BusyScope() { flag = false; }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};

} // namespace

TLumoCodeName::TLumoCodeName(QWidget *parent)
    : QWidget(parent), m_dbEdit(new TLumoDBEdit(this)), m_plainEdit(new TLumoEdit(this)),
      m_button(new TLumoBtn(this)), m_lookup(std::make_unique<TLumoCLientDataSet>()),
      m_titles{QStringLiteral("代码"), QStringLiteral("名称")}, m_linkFields{QStringLiteral("Name")}
{
    m_lookup->setObjectName(QStringLiteral("cdsCodeName"));
    m_lookup->Params().setValue(kCode, kAllCodes);
    m_lookup->Params().setValue(kTmpCode, kAllCodes);

    m_button->setObjectName(QStringLiteral("btnCodeName"));
    m_button->setGrowWithBMP(false);
    m_button->setShowCaption(false);
    m_button->setGlyph(pickGlyph());
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->hide();
    connect(m_button, &TLumoBtn::clicked, this, [this] { guarded([this] { Pick(); }); });

    for (QLineEdit *edit :
         {static_cast<QLineEdit *>(m_dbEdit), static_cast<QLineEdit *>(m_plainEdit)})
        edit->installEventFilter(this);
    setCharCase(m_charCase);
    setNODB(false);
    QWidget::setFont(lumo::lumoFont());
    setFont(lumo::lumoFont());
    resize(185, height());
}

TLumoCodeName::~TLumoCodeName()
{
    // The edits outlive this object by a moment while the children go; they must not
    // come back here with their last focus change.
    m_dying = true;
    m_dbEdit->removeEventFilter(this);
    m_plainEdit->removeEventFilter(this);
}

// ---- properties -------------------------------------------------------------------------

TLumoDataSource *TLumoCodeName::DataSource() const
{
    return m_dbEdit->DataSource();
}

void TLumoCodeName::setDataSource(TLumoDataSource *source)
{
    m_dbEdit->setDataSource(source);
}

QString TLumoCodeName::CodeDataField() const
{
    return m_dbEdit->DataField();
}

void TLumoCodeName::setCodeDataField(const QString &name)
{
    m_dbEdit->setDataField(name);
}

QString TLumoCodeName::TagStr() const
{
    return m_dbEdit->TagStr();
}

void TLumoCodeName::setTagStr(const QString &value)
{
    m_dbEdit->setTagStr(value);
    m_plainEdit->setTagStr(value);
    if (TagStr().contains(QLatin1Char('R')))
        m_button->hide();
}

bool TLumoCodeName::ReadOnly() const
{
    return m_dbEdit->isReadOnly();
}

void TLumoCodeName::setReadOnly(bool readOnly)
{
    m_dbEdit->setReadOnly(readOnly);
    m_plainEdit->setReadOnly(readOnly);
}

QColor TLumoCodeName::Color() const
{
    return m_dbEdit->palette().color(QPalette::Base);
}

void TLumoCodeName::setColor(const QColor &color)
{
    for (QLineEdit *edit :
         {static_cast<QLineEdit *>(m_dbEdit), static_cast<QLineEdit *>(m_plainEdit)}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, color);
        edit->setPalette(palette);
    }
}

void TLumoCodeName::setCharCase(TEditCharCase charCase)
{
    m_charCase = charCase;
    m_dbEdit->setValidator(new TCharCaseValidator(charCase, m_dbEdit));
    m_plainEdit->setValidator(new TCharCaseValidator(charCase, m_plainEdit));
}

void TLumoCodeName::setNODB(bool nodb)
{
    m_nodb = nodb;
    m_dbEdit->setVisible(!nodb);
    m_plainEdit->setVisible(nodb);
    setFocusProxy(activeEdit());
    m_button->raise();
}

void TLumoCodeName::setFont(const QFont &font)
{
    QWidget::setFont(font);
    m_dbEdit->setFont(font);
    m_plainEdit->setFont(font);
    resize(width(), m_dbEdit->sizeHint().height());
}

void TLumoCodeName::setBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    m_dbEdit->setFrame(style == bsSingle);
    m_plainEdit->setFrame(style == bsSingle);
}

QLineEdit *TLumoCodeName::activeEdit() const
{
    if (m_nodb)
        return m_plainEdit;
    return m_dbEdit;
}

QString TLumoCodeName::Text() const
{
    return activeEdit()->text();
}

void TLumoCodeName::setText(const QString &text)
{
    activeEdit()->setText(text);
}

// ---- look and events ----------------------------------------------------------------------

void TLumoCodeName::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_dbEdit->setGeometry(rect());
    m_plainEdit->setGeometry(rect());
    placeButton();
}

void TLumoCodeName::placeButton()
{
    const int buttonHeight = std::max(0, height() - 4);
    const int buttonWidth = buttonHeight + 1;
    m_button->setGeometry(width() - buttonWidth - 2, 2, buttonWidth, buttonHeight);
    m_button->raise();
}

void TLumoCodeName::showButton(bool shown)
{
    m_button->setVisible(shown && !TagStr().contains(QLatin1Char('R')));
}

bool TLumoCodeName::eventFilter(QObject *watched, QEvent *event)
{
    if (m_dying || (watched != m_dbEdit && watched != m_plainEdit))
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        showButton(true);
        break;
    case QEvent::FocusOut: {
        const auto *focus = static_cast<QFocusEvent *>(event);
        if (m_busy || !isVisible() || !lumo::leavesField(focus) ||
            QApplication::focusWidget() == m_button)
            break;
        guarded([this] { Resolve(); });
        break;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Down && !m_busy) {
            guarded([this] { Pick(); });
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- resolving and picking ----------------------------------------------------------------

bool TLumoCodeName::allowedToActivate()
{
    bool canActive = true;
    if (BeforeActive)
        BeforeActive(canActive);
    return canActive;
}

QString TLumoCodeName::predecessorTitle() const
{
    if (!m_preCodeName->TitlesList().isEmpty())
        return m_preCodeName->TitlesList().constFirst();
    if (m_nodb)
        return QString();
    const TLumoCLientDataSet *ds = m_preCodeName->targetDataSet();
    const TLumoField *field = ds ? ds->FindField(m_preCodeName->CodeDataField()) : nullptr;
    return field ? field->DisplayLabel() : QString();
}

bool TLumoCodeName::checkPredecessor()
{
    const QString preCode = m_preCodeName->Text();
    if (preCode.isEmpty()) {
        lumoMessage(QStringLiteral("请先选择") + predecessorTitle(), LumoMsg::Hint);
        return false;
    }
    m_lookup->Params().setValue(kPreCode, preCode);
    m_lookup->Params().setValue(kTmpPreCode, preCode);
    return true;
}

QString TLumoCodeName::codeTitle() const
{
    if (m_nodb)
        return m_titles.isEmpty() ? QString() : m_titles.constFirst();
    const TLumoCLientDataSet *ds = targetDataSet();
    const TLumoField *field = ds ? ds->FindField(CodeDataField()) : nullptr;
    return field ? field->DisplayLabel() : CodeDataField();
}

TLumoCLientDataSet *TLumoCodeName::targetDataSet() const
{
    return DataSource() ? DataSource()->DataSet() : nullptr;
}

bool TLumoCodeName::reopenLookup(QString *error)
{
    try {
        m_lookup->Close();
        m_lookup->Open();
        return true;
    } catch (const korvane::OperatorError &e) {
        *error = e.text();
    } catch (const TLumoAbort &) {
        error->clear();
    }
    return false;
}

void TLumoCodeName::Resolve()
{
    showButton(false);
    if (!allowedToActivate())
        return;
    const QString code = Text();
    if (code.isEmpty()) {
        clearTarget();
        return;
    }
    // Passing through the code a listed row already holds changes nothing: the row stays
    // browsed instead of asking to be saved.
    if (const TLumoCLientDataSet *ds = m_nodb ? nullptr : targetDataSet();
        ds && ds->Active() && ds->State() == TDataSetState::dsBrowse) {
        const TLumoField *field = ds->FindField(CodeDataField());
        if (field && field->AsString() == code)
            return;
    }
    if (m_preCodeName && !checkPredecessor())
        return;
    m_lookup->Params().setValue(kCode, code);
    m_lookup->Params().setValue(kTmpCode, code);
    const QString notFound = QStringLiteral("没有'") + code + QStringLiteral("'这一") + codeTitle();

    BusyScope busy(m_busy);
    QString error;
    if (!reopenLookup(&error)) {
        // A code that could not be checked is not kept; the operator learns why.
        clearTarget();
        lumoMessage(error.isEmpty() ? notFound : notFound + QLatin1Char('\n') + error,
                    LumoMsg::Hint);
        return;
    }
    if (m_lookup->IsEmpty()) {
        lumoMessage(notFound, LumoMsg::Hint);
        clearTarget();
        return;
    }
    m_lookup->First();
    fillTarget();
}

void TLumoCodeName::applyTitles()
{
    const int count = std::min<int>(m_titles.size(), m_lookup->FieldCount());
    for (int i = 0; i < count; ++i)
        m_lookup->Fields(i).setDisplayLabel(m_titles.at(i));
}

int TLumoCodeName::runPicker(std::unique_ptr<Tlumodbgrid> &grid)
{
    int modalResult = QDialog::Rejected;
    if (OnbtnClick) {
        grid = std::make_unique<Tlumodbgrid>();
        OnbtnClick(this, m_lookup.get(), modalResult, grid);
        return modalResult;
    }
    TfrmCodeName frmCodeName(window());
    frmCodeName.setDataSet(m_lookup.get());
    frmCodeName.setMultiSelect(m_multiSelect);
    modalResult = frmCodeName.exec();
    return modalResult;
}

void TLumoCodeName::Pick()
{
    if (m_busy)
        return;
    showButton(true);
    if (!allowedToActivate()) {
        showButton(false);
        return;
    }
    m_lookup->Params().setValue(kCode, kAllCodes);
    m_lookup->Params().setValue(kTmpCode, kAllCodes);
    if (m_preCodeName && !checkPredecessor()) {
        showButton(false);
        return;
    }
    BusyScope busy(m_busy);
    QString error;
    if (!reopenLookup(&error)) {
        m_lookup->Close();
        showButton(false);
        if (!error.isEmpty())
            lumoMessage(error, LumoMsg::Hint);
        return;
    }
    applyTitles();
    std::unique_ptr<Tlumodbgrid> grid;
    int modalResult = QDialog::Rejected;
    try {
        modalResult = runPicker(grid);
    } catch (...) {
        // The form's own picker failed: the pick ends and nothing is copied.
        m_lookup->Close();
        grid.reset();
        showButton(false);
        return;
    }
    if (!m_lookup->IsEmpty() && modalResult == QDialog::Accepted)
        fillTarget();
    m_lookup->Close();
    grid.reset();
    activeEdit()->setFocus(Qt::OtherFocusReason);
}

// ---- transfer -----------------------------------------------------------------------------

void TLumoCodeName::fireAfterSetData()
{
    if (AfterSetData)
        AfterSetData(this, m_lookup.get(), true);
}

void TLumoCodeName::clearTarget()
{
    if (m_nodb) {
        m_plainEdit->clear();
        if (m_focusEdit)
            m_focusEdit->clear();
    } else if (TLumoCLientDataSet *ds = targetDataSet(); ds && ds->Active()) {
        QList<TLumoField *> holdingText;
        if (TLumoField *code = ds->FindField(CodeDataField()); code && !code->AsString().isEmpty())
            holdingText << code;
        for (const QString &name : std::as_const(m_linkFields)) {
            TLumoField *field = name.isEmpty() ? nullptr : ds->FindField(name);
            if (field && !field->AsString().isEmpty())
                holdingText << field;
        }
        if (!holdingText.isEmpty() && startEditing(*ds)) {
            for (TLumoField *field : std::as_const(holdingText))
                field->setValue(QVariant());
        }
    }
    fireAfterSetData();
}

void TLumoCodeName::fillTarget()
{
    if (m_nodb)
        fillPlainEdits();
    else if (!fillDataSet())
        return;
    fireAfterSetData();
}

bool TLumoCodeName::fillDataSet()
{
    TLumoCLientDataSet *ds = targetDataSet();
    if (!ds || !ds->Active() || !startEditing(*ds))
        return false;
    if (TLumoField *code = ds->FindField(CodeDataField()))
        code->setValue(m_lookup->Fields(0).Value());
    for (int i = 0; i < m_linkFields.size(); ++i) {
        const QString &name = m_linkFields.at(i);
        if (name.isEmpty())
            continue; // this lookup column is not wanted
        if (i + 1 >= m_lookup->FieldCount())
            break; // more targets than the row has columns
        if (TLumoField *target = ds->FindField(name))
            target->setValue(m_lookup->Fields(i + 1).Value());
    }
    return true;
}

void TLumoCodeName::fillPlainEdits()
{
    if (m_lookup->FieldCount() >= 1)
        m_plainEdit->setText(m_lookup->Fields(0).AsString());
    if (!m_linkFields.isEmpty() && m_focusEdit && m_lookup->FieldCount() >= 2)
        m_focusEdit->setText(m_lookup->Fields(1).AsString());
}
