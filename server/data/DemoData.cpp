#include "DemoData.h"

#include "DemoDocuments.h"
#include "Posting.h"
#include "ServerError.h"

#include <QSqlError>

#include <functional>

namespace korvane {

namespace {

using namespace demo;

//! The same firm every time: the seed is part of the demonstration.
constexpr quint32 kSeed = 20260101;
constexpr int kDays = 91;

//! A checked order of the list that still wants something done, or null.
Order *someOrder(Demo &d, QList<Order> &orders, const QDate &day, int minAge,
                 const std::function<bool(const Order &)> &wanted)
{
    QList<Order *> candidates;
    for (Order &order : orders) {
        if (order.checked && order.date.daysTo(day) >= minAge && wanted(order))
            candidates << &order;
    }
    return candidates.isEmpty() ? nullptr : d.writer.pick(candidates);
}

bool hasOpenQuantity(const Order &order)
{
    return order.openQuantity() > 0;
}

bool hasMoved(const Order &order)
{
    for (const auto &line : order.lines) {
        if (line->moved > 0)
            return true;
    }
    return false;
}

bool hasOpenMoney(const Order &order)
{
    for (const auto &line : order.lines) {
        if (line->taxamount - line->settled > 0.005)
            return true;
    }
    return false;
}

bool hasUninvoiced(const Order &order)
{
    for (const auto &line : order.lines) {
        if (line->moved > line->invoiced)
            return true;
    }
    return false;
}

bool hasInvoiced(const Order &order)
{
    for (const auto &line : order.lines) {
        if (line->invoiced > 0)
            return true;
    }
    return false;
}

//! One kind of document on a day: how likely, and what it does with an order it needs.
struct Activity
{
    int percent; // chance on an ordinary working day
    std::function<void(Demo &, const QDate &, bool checked)> run;
};

QList<Activity> activities()
{
    auto onOrder = [](QList<Order> DemoLedger::*list, int minAge, bool (*wanted)(const Order &),
                      void (*write)(Demo &, const QDate &, Order &, bool)) {
        return [=](Demo &d, const QDate &day, bool checked) {
            if (Order *order = someOrder(d, d.ledger.*list, day, minAge, wanted))
                write(d, day, *order, checked);
        };
    };
    auto stock = [](const char *flag) {
        return [flag](Demo &d, const QDate &day, bool checked) {
            stockDocument(d, day, QLatin1String(flag), checked);
        };
    };
    const auto buys = &DemoLedger::purchaseOrders;
    const auto sales = &DemoLedger::salesOrders;
    return {
        {35, [](Demo &d, const QDate &day, bool checked) { purchaseOrder(d, day, checked); }},
        {50, [](Demo &d, const QDate &day, bool checked) { salesOrder(d, day, checked); }},
        {45, onOrder(buys, 2, hasOpenQuantity, receiveOrder)},
        {5, onOrder(buys, 3, hasMoved, returnToSupplier)},
        {50, onOrder(sales, 1, hasOpenQuantity, deliverOrder)},
        {5, onOrder(sales, 3, hasMoved, returnFromCustomer)},
        {4, stock("5")},
        {8, stock("6")},
        {3, stock("7")},
        {6, stock("8")},
        {5, stock("9")},
        {15, onOrder(sales, 2, hasOpenMoney, receiveMoney)},
        {12, onOrder(buys, 5, hasOpenMoney, payMoney)},
        {15, onOrder(sales, 1, hasUninvoiced,
                     [](Demo &d, const QDate &day, Order &o, bool c) {
                         invoice(d, day, o, false, c);
                     })},
        {3,
         onOrder(sales, 5, hasInvoiced,
                 [](Demo &d, const QDate &day, Order &o, bool c) { invoice(d, day, o, true, c); })},
    };
}

void writeDays(Demo &d, const QDate &start)
{
    const QList<Activity> kinds = activities();
    for (QDate day = start; day < d.today; day = day.addDays(1)) {
        if (day.dayOfWeek() == Qt::Sunday)
            continue;
        for (const Activity &kind : kinds) {
            if (d.writer.chance(kind.percent))
                kind.run(d, day, d.checkedOn(day));
        }
    }
    // Today every kind has a document to check, so each window opens on something.
    for (const Activity &kind : kinds)
        kind.run(d, d.today, false);
}

} // namespace

bool fillDemoData(QSqlDatabase db, const QDate &today, QString *error)
{
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    try {
        DemoWriter writer(db, kSeed);
        const QDate start = today.addDays(-kDays);
        const Firm firm = writeMasterData(writer, start);
        DemoLedger ledger(writer);
        Demo demo{writer, ledger, firm, today};
        writeDays(demo, start);
        // The balances are posted as the server posts them.
        auditBalances(db, true);
    } catch (const ServerError &e) {
        db.rollback();
        *error = e.text();
        return false;
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

} // namespace korvane
