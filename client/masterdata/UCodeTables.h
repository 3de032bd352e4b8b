#pragma once
//! The ten simple code-table windows. Each is TfrmSingletbl with its table's declaration;
//! the currency window adds the home-currency rule. The classes exist by name because the
//! main window opens its windows by class name.

#include "USingleTbl.h"

//! The declaration of a code-table window by its class name ("TfrmXCI"); null when unknown.
const TCodeTableDecl *codeTableDecl(const QString &className);
//! The class names of the code-table windows, in menu order.
QStringList codeTableClasses();
//! A new window of a code-table class; null when the class is not one of them.
TfrmSingletbl *createCodeTableWindow(const QString &className, QWidget *parent = nullptr);

//! The home currency's code: its row is neither changed nor deleted.
inline constexpr const char *HomeCurrencyCode = "01";

class TfrmXCI : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXCI(QWidget *parent = nullptr);
};

class TfrmXDuty : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXDuty(QWidget *parent = nullptr);
};

class TfrmXEdu : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXEdu(QWidget *parent = nullptr);
};

class TfrmXCredit : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXCredit(QWidget *parent = nullptr);
};

class TfrmXLocal : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXLocal(QWidget *parent = nullptr);
};

class TfrmXPayKind : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXPayKind(QWidget *parent = nullptr);
};

class TfrmXpolity : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXpolity(QWidget *parent = nullptr);
};

class TfrmXMeasure : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXMeasure(QWidget *parent = nullptr);
};

class TfrmXTaxAttr : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXTaxAttr(QWidget *parent = nullptr);
};

//! The currency window: the home currency's row can be neither saved nor deleted.
class TfrmXMoney : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXMoney(QWidget *parent = nullptr);

protected:
    bool beforeSaveRule() override;
    bool beforeDeleteRule() override;

private:
    bool homeCurrencyUntouched() const;
};
