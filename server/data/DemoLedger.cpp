#include "DemoLedger.h"

#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace korvane::demo {

double Order::openQuantity() const
{
    double open = 0;
    for (const auto &line : lines)
        open += std::max(0.0, line->pqty - line->moved - line->claimed);
    return open;
}

DemoLedger::DemoLedger(DemoWriter &writer) : m_writer(writer)
{
    QSqlQuery q(writer.database());
    if (!q.exec(QStringLiteral("SELECT Flag, InOutFlag, InOut FROM XStockChAttr")))
        throw ServerError(q.lastError().text());
    while (q.next())
        m_takesIn.insert(q.value(0).toString() + QLatin1Char('/') + q.value(1).toString(),
                         q.value(2).toString() == QLatin1String("I"));
    QSqlQuery stock(writer.database());
    if (!stock.exec(QStringLiteral("SELECT storecode, pdtcode, pdtno, pqty FROM XStock")))
        throw ServerError(stock.lastError().text());
    while (stock.next())
        m_stock.insert(stock.value(0).toString() + QLatin1Char('/') + stock.value(1).toString() +
                           QLatin1Char('/') + stock.value(2).toString(),
                       stock.value(3).toDouble());
}

QString DemoLedger::headno(const QString &table, const QDate &day)
{
    const QString prefix = day.toString(QStringLiteral("yyyyMMdd"));
    const int serial = ++m_serials[table + QLatin1Char('/') + prefix];
    return prefix + QStringLiteral("%1").arg(serial, 4, 10, QLatin1Char('0'));
}

QString DemoLedger::timeOn(const QDate &day)
{
    const QTime time = QTime(8, 30).addSecs(m_writer.between(0, 9 * 3600));
    return QDateTime(day, time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString DemoLedger::key(const QString &store, const ProductLine &line)
{
    return store + QLatin1Char('/') + line.pdtcode + QLatin1Char('/') + line.pdtno;
}

double DemoLedger::stock(const QString &store, const ProductLine &line) const
{
    return m_stock.value(key(store, line));
}

void DemoLedger::move(const QString &store, const ProductLine &line, double quantity)
{
    m_stock[key(store, line)] += quantity;
}

bool DemoLedger::takesIn(const QString &flag, const QString &inOutFlag) const
{
    return m_takesIn.value(flag + QLatin1Char('/') + inOutFlag);
}

} // namespace korvane::demo
