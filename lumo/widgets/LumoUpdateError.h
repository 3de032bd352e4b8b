#pragma once
//! The update-error dialog: one change the server refused, shown field by field with its
//! new, original and conflicting values, and the reconcile action the operator chooses.

#include "LumoCLientDataSet.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QTableWidget;

class TLumoUpdateError : public QDialog
{
    Q_OBJECT

public:
    //! Reads the refused record where the data set stands (the apply put it there).
    TLumoUpdateError(TLumoCLientDataSet &dataSet, const TLumoReconcileError &error,
                     TUpdateKind kind, QWidget *parent = nullptr);

    //! The action chosen; an aborted dialog (Cancel) answers raAbort.
    TReconcileAction Action() const;
    void setAction(TReconcileAction action);
    //! The caption of each kind of change, as the dialog shows it.
    static QString kindText(TUpdateKind kind);

    QTableWidget *grid() const { return m_grid; }
    QCheckBox *conflictsOnly() const { return m_conflictsOnly; }
    QCheckBox *changedOnly() const { return m_changedOnly; }

    //! Shows the dialog for one refused change and answers the action chosen.
    static TReconcileAction HandleReconcileError(TLumoCLientDataSet &dataSet,
                                                 const TLumoReconcileError &error,
                                                 TUpdateKind kind);

    //! How a dialog is answered: by the operator (an empty hook) or by a test.
    using THook = std::function<TReconcileAction(TLumoUpdateError &dialog)>;
    static void setHook(THook hook);

private:
    struct Row
    {
        QString name, value, original, conflicting;
        bool changed = false;
        bool conflicts = false;
    };

    void readRecord(TLumoCLientDataSet &dataSet);
    void fillGrid();
    QWidget *makeActionGroup();

    QList<Row> m_rows;
    QTableWidget *m_grid;
    QCheckBox *m_conflictsOnly;
    QCheckBox *m_changedOnly;
    QButtonGroup *m_actions;
};
