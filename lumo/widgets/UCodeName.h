#pragma once
//! The pick window of the code/name editor: every code of a lookup in a grid, OK only when
//! there is a row to take, and a hint on choosing several rows.

#include <QDialog>

class QKeyEvent;
class TLumoCLientDataSet;
class TLumoDataSource;
class TLumoImage;
class TLumoLabel;
class TLumobitBtn;
class Tlumodbgrid;

class TfrmCodeName : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmCodeName(QWidget *parent = nullptr);

    //! The lookup rows the grid shows.
    void setDataSet(TLumoCLientDataSet *dataSet);
    //! Several rows may be marked; the hint picture and "小窍门" show only then.
    void setMultiSelect(bool on);
    //! Narrows every column to at most an equal share of the grid's width.
    void fitColumns();
    //! Ends the dialog with OK when there is a row to take; otherwise nothing happens.
    void acceptIfRows();
    //! Shows or hides the two hint lines; "小窍门" shows exactly when they are hidden.
    void toggleHints();

    Tlumodbgrid *dbGridCodeName;
    TLumoDataSource *dsCodeName;
    TLumobitBtn *btnOK;
    TLumobitBtn *btnCancel;
    TLumoImage *ImgMultiSel;
    TLumoLabel *lblLinkImg;
    TLumoLabel *lblMultiSel;
    TLumoLabel *lblMultiSel2;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeBottomPanel();
};
