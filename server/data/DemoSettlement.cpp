// Money received and paid against order lines, and invoices of the demonstration firm.

#include "DemoDocuments.h"

#include <algorithm>
#include <cmath>

namespace korvane::demo {

namespace {

QString bodyno(int index)
{
    return QStringLiteral("%1").arg(index + 1, 4, 10, QLatin1Char('0'));
}

struct Share
{
    double amount = 0;
    double tax = 0;
    double taxamount = 0;
};

double cents(double value)
{
    return std::round(value * 100) / 100;
}

//! The money of part of an order line's quantity.
Share shareOf(const OrderLine &line, double pqty)
{
    const double part = line.pqty > 0 ? pqty / line.pqty : 0;
    return {cents(line.amount * part), cents(line.tax * part), cents(line.taxamount * part)};
}

//! The columns an order line lends the lines that settle or invoice it.
Values copiedColumns(const OrderLine &line, double pqty, const Share &share)
{
    return {{QStringLiteral("LinkHeadno"), line.headno},
            {QStringLiteral("LinkBodyno"), line.bodyno},
            {QStringLiteral("pdtcode"), line.product->pdtcode},
            {QStringLiteral("pdtno"), line.product->pdtno},
            {QStringLiteral("PackNum"), line.product->packNum},
            {QStringLiteral("pqty"), pqty},
            {QStringLiteral("price"), line.price},
            {QStringLiteral("amount"), share.amount},
            {QStringLiteral("Tax"), share.tax},
            {QStringLiteral("Taxamount"), share.taxamount}};
}

void settle(Demo &d, const QDate &day, Order &order, bool checked, bool received)
{
    const QString headTable = received ? QStringLiteral("XIncomeh") : QStringLiteral("XOutcomeh");
    const QString lineTable = received ? QStringLiteral("XInComeb") : QStringLiteral("XoUTComeb");
    const Staff &staff = received ? d.firm.selling : d.firm.buying;
    const QString headno = d.ledger.headno(headTable, day);
    double total = 0;
    int i = 0;
    for (const auto &line : order.lines) {
        const double open = line->taxamount - line->settled;
        if (open <= 0.005)
            continue;
        const double now = d.writer.chance(70) ? open : cents(open / 2);
        Values values{{QStringLiteral("headno"), headno},
                      {QStringLiteral("bodyno"), bodyno(i++)},
                      {QStringLiteral("Flag"), QStringLiteral("0")},
                      {QStringLiteral("GetTaxamount"), now},
                      {QStringLiteral("note"), QString()}};
        values << copiedColumns(*line, line->pqty, shareOf(*line, line->pqty));
        d.writer.insert(lineTable, values);
        total += now;
        if (checked)
            line->settled += now;
    }
    if (i == 0)
        return;
    const QString hdate = d.ledger.timeOn(day);
    const QString handler = d.writer.pick(staff.people);
    Values head{{QStringLiteral("headno"), headno},
                {QStringLiteral("hdate"), hdate},
                {QStringLiteral("currency"), QStringLiteral("01")},
                {QStringLiteral("exchgrate"), 1.0},
                {QStringLiteral("Taxamt"), total},
                {QStringLiteral("RMBTaxamt"), total},
                {QStringLiteral("PayKind"), d.writer.pick(d.firm.payKinds)},
                {QStringLiteral("spcode"), order.partner},
                {QStringLiteral("deptcode"), staff.dept},
                {QStringLiteral("mcode"), handler},
                {QStringLiteral("inputer"), handler},
                {QStringLiteral("note"), (received ? QStringLiteral("收") : QStringLiteral("付")) +
                                             QStringLiteral("单号") + order.headno +
                                             QStringLiteral("货款")}};
    head << d.checkColumns(checked, hdate);
    d.writer.insert(headTable, head);
}

} // namespace

void receiveMoney(Demo &d, const QDate &day, Order &order, bool checked)
{
    settle(d, day, order, checked, true);
}

void payMoney(Demo &d, const QDate &day, Order &order, bool checked)
{
    settle(d, day, order, checked, false);
}

void invoice(Demo &d, const QDate &day, Order &order, bool red, bool checked)
{
    const QString headno = d.ledger.headno(QStringLiteral("xInvoiceh"), day);
    double amt = 0, tax = 0;
    int i = 0;
    for (const auto &line : order.lines) {
        // Blue invoices bill what was delivered and not yet billed; red ones take a
        // package back from what was billed.
        const double pqty =
            red ? std::min(line->invoiced, line->product->packNum) : line->moved - line->invoiced;
        if (pqty <= 0)
            continue;
        Values values{{QStringLiteral("headno"), headno},
                      {QStringLiteral("bodyno"), bodyno(i++)},
                      {QStringLiteral("BigPackNum"), 0},
                      {QStringLiteral("note"), QString()}};
        const Share share = shareOf(*line, pqty);
        values << copiedColumns(*line, pqty, share);
        d.writer.insert(QStringLiteral("xInvoiceb"), values);
        amt += share.amount;
        tax += share.tax;
        line->invoiced += red ? -pqty : pqty;
    }
    if (i == 0)
        return;
    const QString hdate = d.ledger.timeOn(day);
    const QString handler = d.writer.pick(d.firm.selling.people);
    Values head{
        {QStringLiteral("headno"), headno},
        {QStringLiteral("Flag"), red ? QStringLiteral("2") : QStringLiteral("1")},
        {QStringLiteral("InOutFlag"),
         d.writer.chance(60) ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("InVoiceNO"), QString::number(d.writer.between(10000000, 99999999))},
        {QStringLiteral("hdate"), hdate},
        {QStringLiteral("spcode"), order.partner},
        {QStringLiteral("deptcode"), d.firm.selling.dept},
        {QStringLiteral("mcode"), handler},
        {QStringLiteral("currency"), QStringLiteral("01")},
        {QStringLiteral("exchgrate"), 1.0},
        {QStringLiteral("amt"), amt},
        {QStringLiteral("Tax"), tax},
        {QStringLiteral("Taxamt"), amt + tax},
        {QStringLiteral("RMBTaxamt"), amt + tax},
        {QStringLiteral("taxtype"), QStringLiteral("VAT")},
        {QStringLiteral("taxrate"), 13.0},
        {QStringLiteral("inputer"), handler},
        {QStringLiteral("note"), QStringLiteral("销售单") + order.headno}};
    head << d.checkColumns(checked, hdate);
    d.writer.insert(QStringLiteral("xInvoiceh"), head);
}

} // namespace korvane::demo
