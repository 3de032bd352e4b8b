#include "LumoUpdateError.h"

#include "LumoChangeLog.h"
#include "LumoFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

TLumoUpdateError::THook &hook()
{
    static TLumoUpdateError::THook instance;
    return instance;
}

const QString Unchanged = QStringLiteral("<Unchanged>");

//! The actions in the order the group lists them, with their captions.
struct ActionCaption
{
    TReconcileAction action;
    const char *caption;
};
constexpr ActionCaption actionCaptions[] = {
    {TReconcileAction::raSkip, "Skip"},     {TReconcileAction::raAbort, "Abort"},
    {TReconcileAction::raMerge, "Merge"},   {TReconcileAction::raCorrect, "Correct"},
    {TReconcileAction::raCancel, "Cancel"}, {TReconcileAction::raRefresh, "Refresh"},
};

QString cellText(const TLumoField &field, const QVariant &value)
{
    if (field.DataType() == korvane::FieldType::Blob)
        return QStringLiteral("(Binary)");
    return value.isNull() ? QString() : field.formatted(value, QString());
}

} // namespace

TLumoUpdateError::TLumoUpdateError(TLumoCLientDataSet &dataSet, const TLumoReconcileError &error,
                                   TUpdateKind kind, QWidget *parent)
    : QDialog(parent), m_grid(new QTableWidget(this)),
      m_conflictsOnly(new QCheckBox(QStringLiteral("Show conflicting fields only"), this)),
      m_changedOnly(new QCheckBox(QStringLiteral("Show changed fields only"), this)),
      m_actions(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("UpdateErrorForm"));
    setWindowTitle(QStringLiteral("Update Error - %1").arg(dataSet.objectName()));
    lumo::applyLumoFont(this);

    auto *kindLabel = new QLabel(kindText(kind), this);
    kindLabel->setObjectName(QStringLiteral("UpdateType"));
    auto *message = new QLabel(error.Message, this);
    message->setObjectName(QStringLiteral("ErrorMsg"));
    message->setWordWrap(true);

    m_grid->setObjectName(QStringLiteral("UpdateData"));
    m_grid->setColumnCount(4);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Field Name"), QStringLiteral(" Value"),
                                       QStringLiteral("Original Value"),
                                       QStringLiteral("Conflicting Value")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *options = new QHBoxLayout;
    options->addWidget(m_conflictsOnly);
    options->addWidget(m_changedOnly);
    auto *top = new QFormLayout;
    top->addRow(QStringLiteral("Update Type:"), kindLabel);
    top->addRow(QStringLiteral("Error Message:"), message);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(options);
    layout->addWidget(makeActionGroup());
    layout->addWidget(buttons);

    connect(m_conflictsOnly, &QCheckBox::toggled, this, &TLumoUpdateError::fillGrid);
    connect(m_changedOnly, &QCheckBox::toggled, this, &TLumoUpdateError::fillGrid);
    readRecord(dataSet);
    fillGrid();
    resize(520, 360);
}

QString TLumoUpdateError::kindText(TUpdateKind kind)
{
    switch (kind) {
    case TUpdateKind::ukInsert:
        return QStringLiteral("Inserted");
    case TUpdateKind::ukDelete:
        return QStringLiteral("Deleted");
    case TUpdateKind::ukModify:
        break;
    }
    return QStringLiteral("Modified");
}

QWidget *TLumoUpdateError::makeActionGroup()
{
    auto *group = new QGroupBox(QStringLiteral(" Reconcile Action "), this);
    group->setObjectName(QStringLiteral("ActionGroup"));
    auto *row = new QHBoxLayout(group);
    for (const ActionCaption &entry : actionCaptions) {
        auto *button = new QRadioButton(QString::fromLatin1(entry.caption), group);
        m_actions->addButton(button, int(entry.action));
        row->addWidget(button);
    }
    // Skipping keeps the change for another try; nothing is lost by default.
    setAction(TReconcileAction::raSkip);
    return group;
}

void TLumoUpdateError::readRecord(TLumoCLientDataSet &dataSet)
{
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        const TLumoField &field = dataSet.Fields(i);
        if (field.FieldKind() != TFieldKind::Data || field.column() < 0)
            continue;
        const QVariant value = field.Value();
        const QVariant original = field.OldValue();
        Row row;
        row.name = field.FieldName();
        row.changed = !LumoChangeLog::sameCell(value, original);
        row.value = row.changed ? cellText(field, value) : Unchanged;
        row.original = cellText(field, original);
        // The server names no values of its own, so no field is in conflict.
        row.conflicting = Unchanged;
        m_rows << row;
    }
}

void TLumoUpdateError::fillGrid()
{
    m_grid->setRowCount(0);
    for (const Row &row : std::as_const(m_rows)) {
        if ((m_conflictsOnly->isChecked() && !row.conflicts) ||
            (m_changedOnly->isChecked() && !row.changed))
            continue;
        const int at = m_grid->rowCount();
        m_grid->insertRow(at);
        const QStringList cells{row.name, row.value, row.original, row.conflicting};
        for (int c = 0; c < cells.size(); ++c)
            m_grid->setItem(at, c, new QTableWidgetItem(cells[c]));
    }
}

TReconcileAction TLumoUpdateError::Action() const
{
    if (result() != QDialog::Accepted)
        return TReconcileAction::raAbort;
    return TReconcileAction(m_actions->checkedId());
}

void TLumoUpdateError::setAction(TReconcileAction action)
{
    if (QAbstractButton *button = m_actions->button(int(action)))
        button->setChecked(true);
}

void TLumoUpdateError::setHook(THook hook)
{
    ::hook() = std::move(hook);
}

TReconcileAction TLumoUpdateError::HandleReconcileError(TLumoCLientDataSet &dataSet,
                                                        const TLumoReconcileError &error,
                                                        TUpdateKind kind)
{
    TLumoUpdateError dialog(dataSet, error, kind);
    if (hook())
        return hook()(dialog);
    dialog.exec();
    return dialog.Action();
}
