#pragma once
//! What the demonstration's master data leaves for its documents to use.

#include "DemoWriter.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvane::demo {

//! One variant line of a product, with the prices and tax its documents use.
struct ProductLine
{
    QString pdtcode;
    QString pdtno;
    double packNum = 1;
    double inPrice = 0;   // purchase price before tax
    double salePrice = 0; // list price before tax
    QString taxType;
    double taxRate = 0; // percent
};

//! The people of a department who handle its documents.
struct Staff
{
    QString dept;
    QStringList people;
};

struct Firm
{
    QStringList stores;
    QStringList suppliers;
    QStringList customers;
    QStringList payKinds;
    QList<ProductLine> lines;
    Staff buying;
    Staff selling;
    Staff storing;
    QString checker; // the employee who checks documents
};

//! Code tables, organisation, staff with logins, partners, products with their
//! variant lines, and the opening stock of every store (dated start).
Firm writeMasterData(DemoWriter &writer, const QDate &start);

//! Orders, receipts, deliveries, stock documents, money and invoices from start to today,
//! then the balances they imply (stock, quantities on order, received and settled).
void writeDocuments(DemoWriter &writer, const Firm &firm, const QDate &start, const QDate &today);

} // namespace korvane::demo
