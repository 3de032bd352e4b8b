#include "OrderPrices.h"

#include "Posting.h"
#include "ServerError.h"
#include "SysParaStore.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvane {

namespace {

bool same(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

} // namespace

OrderPrices::OrderPrices(QSqlDatabase db, const QString &headTable)
    : m_db(std::move(db)), m_purchase(same(headTable, "XBuyh")), m_sales(same(headTable, "XSaleh"))
{}

bool OrderPrices::updates(const QString &headTable)
{
    return same(headTable, "XBuyh") || same(headTable, "XSaleh");
}

QStringList OrderPrices::checkedAmong(const QStringList &heads) const
{
    QStringList checked;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT State FROM %1 WHERE headno = ?")
                  .arg(m_purchase ? QStringLiteral("XBuyh") : QStringLiteral("XSaleh")));
    for (const QString &head : heads) {
        q.addBindValue(head);
        if (!q.exec())
            throw ServerError(q.lastError().text());
        if (q.next() && q.value(0).toString().trimmed() == QLatin1String("2"))
            checked << head;
    }
    return checked;
}

void OrderPrices::before(const ChangeSet &delta)
{
    if (!m_purchase && !m_sales)
        return;
    m_unchecked = Posting::touchedHeads(delta);
    for (const QString &head : checkedAmong(m_unchecked))
        m_unchecked.removeAll(head);
}

void OrderPrices::after()
{
    if (m_unchecked.isEmpty())
        return;
    const QStringList nowChecked = checkedAmong(m_unchecked);
    if (nowChecked.isEmpty())
        return;
    const SystemParameters parameters = SysParaStore::load(m_db);
    if (m_purchase ? !parameters.buyPriceUpdate : !parameters.salePriceUpdate)
        return;
    const QString sql =
        m_purchase
            ? QStringLiteral(
                  "UPDATE xprdtb SET Inprice = ?, TInprice = ? WHERE pdtcode = ? AND bodyno = ?")
            : QStringLiteral("UPDATE xprdtb SET SalePrice = ?, TSalePrice = ? WHERE pdtcode = ? "
                             "AND bodyno = ?");
    QSqlQuery lines(m_db);
    lines.prepare(QStringLiteral("SELECT pdtcode, pdtno, price, taxrate FROM %1 WHERE headno = ? "
                                 "AND price IS NOT NULL ORDER BY bodyno")
                      .arg(m_purchase ? QStringLiteral("XBuyb") : QStringLiteral("XSaleb")));
    QSqlQuery update(m_db);
    update.prepare(sql);
    for (const QString &head : nowChecked) {
        lines.addBindValue(head);
        if (!lines.exec())
            throw ServerError(lines.lastError().text());
        while (lines.next()) {
            const double price = lines.value(2).toDouble();
            update.addBindValue(price);
            update.addBindValue(price * (1.0 + lines.value(3).toDouble() / 100.0));
            update.addBindValue(lines.value(0));
            update.addBindValue(lines.value(1));
            if (!update.exec())
                throw ServerError(update.lastError().text());
        }
    }
}

} // namespace korvane
