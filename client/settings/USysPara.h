#pragma once
//! TfrmSysPara ("系统参数设置"): the account set's parameters. "单据编码规则" shows the
//! numbering of each document kind (not editable), "系统参数" the options that change how
//! documents are saved and checked, "报表格式定义" the title block and footer of the
//! reports. They are read from the server when the dialog is shown and stored on "确定",
//! which the server allows an operator with "系统参数" only.

#include "SystemParameters.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableWidget;
class TLumoBtn;

class TfrmSysPara : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSysPara(QWidget *parent = nullptr);

    QTabWidget *pcPara = nullptr;
    QTableWidget *sgCodeRule = nullptr;
    QCheckBox *cbAutoCheck = nullptr;
    QCheckBox *cbNegativeStock = nullptr;
    QLineEdit *edtPriceDec = nullptr;
    QLineEdit *edtAmountDec = nullptr;
    QLineEdit *edtQtyDec = nullptr;
    QCheckBox *cbBuyPrice = nullptr;
    QCheckBox *cbSalePrice = nullptr;
    QCheckBox *cbCorpAll = nullptr;
    QCheckBox *cbBranchAll = nullptr;
    QCheckBox *cbDeptOnly = nullptr;
    QLineEdit *edtCorpName1 = nullptr;
    QLineEdit *edtCorpName2 = nullptr;
    TLumoBtn *btnLogo = nullptr;
    QLabel *imgLogo = nullptr;
    QCheckBox *cbHeadLine = nullptr;
    QCheckBox *cbFootLine = nullptr;
    QCheckBox *cbPrintTime = nullptr;
    TLumoBtn *btnOK = nullptr;
    TLumoBtn *btnCancel = nullptr;

    //! The parameters as the dialog shows them.
    korvane::SystemParameters shownParameters() const;
    void showParameters(const korvane::SystemParameters &parameters);
    //! Takes a picture file as the report logo, scaled to fit 32 × 32; a file that is no
    //! picture is refused with a message and the logo stays.
    bool loadLogo(const QString &fileName);
    //! "确定": stores the parameters; true (and the dialog closes) when the server took them.
    bool confirm();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildCodeRules();
    QWidget *buildOptions();
    QWidget *buildReportFormat();
    void toggleDateMark(int row);

    QByteArray m_logo;
};
