#pragma once
//! The lists that turn demand into purchase orders: a read-only list window on the
//! code-table frame, with navigation and return only, a multi-select grid and a button that
//! collects the chosen rows and hands them to a new purchase order.

#include "USingleTbl.h"

#include <QVariant>

#include <functional>

class TLumobitBtn;

class TfrmToBuyList : public TfrmSingletbl
{
    Q_OBJECT

public:
    //! What one list hands over: its button, the message of an empty list and the
    //! purchase order's method that takes the rows.
    struct THandOverDecl
    {
        QString buttonCaption;
        QString emptyMessage;
        const char *importMethod;
    };

    TfrmToBuyList(const TCodeTableDecl &decl, const THandOverDecl &handOver,
                  QWidget *parent = nullptr);

    //! The conversion button: the selected rows (or the current one) through the
    //! collecting set to the purchase order; the collecting set is empty afterwards.
    void LumoBtn1Click();

    //! Who receives the rows: the main window by default (it opens the purchase order
    //! window and calls its method); tests put their own receiver here.
    using THandOver = std::function<bool(const char *method, const QVariant &rows)>;
    static void setHandOver(THandOver handOver);

    //! The collecting set: the list's fields, the rows chosen for one conversion.
    TLumoCLientDataSet *CDS = nullptr;
    TLumobitBtn *LumoBtn1 = nullptr;

private:
    QList<int> chosenRows() const;
    void prepareCollecting();
    void collect(const QList<int> &rows);
    bool handOver(const QVariant &rows);

    THandOverDecl m_handOver;
};
