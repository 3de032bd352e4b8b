#pragma once
//! The master-data windows on the code-table frame: companies, departments, stores,
//! suppliers and customers, employees, opening stock and product classes. Each is
//! TfrmSingletbl with its declaration; a class adds only its own rule.

#include "USingleTbl.h"

//! The declaration of a master-data window by its class name; null when unknown.
const TCodeTableDecl *masterTableDecl(const QString &className);
//! The class names of these windows, in menu order.
QStringList masterTableClasses();
//! A new window of one of these classes; null for any other class name.
TfrmSingletbl *createMasterTableWindow(const QString &className, QWidget *parent = nullptr);

//! Companies: a company cannot be its own parent.
class TfrmXCorp : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXCorp(QWidget *parent = nullptr);

protected:
    bool beforeSaveRule() override;
};

class TfrmXDept : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXDept(QWidget *parent = nullptr);
};

class TfrmXStore : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXStore(QWidget *parent = nullptr);
};

//! Suppliers and customers share their fields; only two captions differ.
class TfrmXFatbn : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXFatbn(QWidget *parent = nullptr);
};

class TfrmXCustome : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXCustome(QWidget *parent = nullptr);
};

class TfrmXpsEMP : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXpsEMP(QWidget *parent = nullptr);
};

//! Opening stock of one store: listed by the search panel, new rows start in its store. The
//! stock on hand follows the opening quantity; it and the quantity on order are read-only.
class TfrmXStock : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXStock(QWidget *parent = nullptr);

protected:
    bool beforeInsertRule() override;
    void newRowDefaults() override;

private:
    void followOpeningQuantity();
};

class TfrmXPrdtClass : public TfrmSingletbl
{
    Q_OBJECT
public:
    explicit TfrmXPrdtClass(QWidget *parent = nullptr);
};
