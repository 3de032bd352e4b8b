// Orders and stock documents of the demonstration firm.

#include "DemoDocuments.h"

#include <algorithm>
#include <cmath>

namespace korvane::demo {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

double money(double value)
{
    return std::round(value * 100) / 100;
}

QString bodyno(int index)
{
    return QStringLiteral("%1").arg(index + 1, 4, 10, QLatin1Char('0'));
}

//! Whole packages when the quantity makes them, else none.
int packages(double quantity, double packNum)
{
    const double n = packNum > 0 ? quantity / packNum : 0;
    return n == std::floor(n) ? int(n) : 0;
}

//! A few distinct product lines.
QList<const ProductLine *> someLines(Demo &d, int low, int high)
{
    QList<const ProductLine *> all;
    for (const ProductLine &line : d.firm.lines)
        all << &line;
    QList<const ProductLine *> chosen;
    const int count = d.writer.between(low, high);
    while (chosen.size() < count && !all.isEmpty())
        chosen << all.takeAt(int(d.writer.random().bounded(qsizetype(all.size()))));
    return chosen;
}

struct StockHead
{
    QString flag;
    QString inOutFlag;
    QString store;
    QString storeIn; // transfers only
    QString partner;
    const Staff *staff = nullptr;
    QString note;
};

struct StockLine
{
    const ProductLine *product = nullptr;
    double pqty = 0;
    QString linkHeadno;
    QString linkBodyno;
    QString note;
};

//! What a checked stock document does to the stock: a transfer moves from its store into
//! the receiving one, every other kind in or out as its sub-kind says.
void post(Demo &d, const StockHead &head, const QList<StockLine> &lines)
{
    for (const StockLine &line : lines) {
        if (head.flag == QLatin1String("6")) {
            d.ledger.move(head.store, *line.product, -line.pqty);
            d.ledger.move(head.storeIn, *line.product, line.pqty);
            continue;
        }
        const bool in = d.ledger.takesIn(head.flag, head.inOutFlag);
        d.ledger.move(head.store, *line.product, in ? line.pqty : -line.pqty);
    }
}

QString writeStockDocument(Demo &d, const QDate &day, const StockHead &head,
                           const QList<StockLine> &lines, bool checked)
{
    if (lines.isEmpty())
        return QString();
    const QString headno = d.ledger.headno(QStringLiteral("xStockChh"), day);
    const QString hdate = d.ledger.timeOn(day);
    const QString handler = d.writer.pick(head.staff->people);
    Values values{
        {QStringLiteral("headno"), headno},
        {QStringLiteral("Flag"), head.flag},
        {QStringLiteral("InOutFlag"), head.inOutFlag},
        {QStringLiteral("hdate"), hdate},
        {QStringLiteral("Storecode"), head.store},
        {QStringLiteral("StorecodeIn"), head.storeIn.isEmpty() ? QVariant() : head.storeIn},
        {QStringLiteral("spcode"), head.partner.isEmpty() ? QVariant() : head.partner},
        {QStringLiteral("deptcode"), head.staff->dept},
        {QStringLiteral("mcode"), handler},
        {QStringLiteral("inputer"), handler},
        {QStringLiteral("note"), head.note}};
    values << d.checkColumns(checked, hdate);
    d.writer.insert(QStringLiteral("xStockChh"), values);
    for (int i = 0; i < lines.size(); ++i) {
        const StockLine &line = lines[i];
        d.writer.insert(QStringLiteral("xStockChb"),
                        {{QStringLiteral("headno"), headno},
                         {QStringLiteral("bodyno"), bodyno(i)},
                         {QStringLiteral("LinkHeadno"),
                          line.linkHeadno.isEmpty() ? QVariant() : line.linkHeadno},
                         {QStringLiteral("LinkBodyno"),
                          line.linkBodyno.isEmpty() ? QVariant() : line.linkBodyno},
                         {QStringLiteral("pdtcode"), line.product->pdtcode},
                         {QStringLiteral("pdtno"), line.product->pdtno},
                         {QStringLiteral("BigPackNum"), packages(line.pqty, line.product->packNum)},
                         {QStringLiteral("PackNum"), line.product->packNum},
                         {QStringLiteral("pqty"), line.pqty},
                         {QStringLiteral("note"), line.note}});
    }
    if (checked)
        post(d, head, lines);
    return headno;
}

void writeOrder(Demo &d, const QDate &day, Order &order, bool sales, bool checked)
{
    const QString headTable = sales ? QStringLiteral("XSaleh") : QStringLiteral("XBuyh");
    const QString lineTable = sales ? QStringLiteral("XSaleb") : QStringLiteral("XBuyb");
    const Staff &staff = sales ? d.firm.selling : d.firm.buying;
    order.headno = d.ledger.headno(headTable, day);
    order.date = day;
    order.checked = checked;
    double amt = 0, tax = 0;
    int i = 0;
    for (const ProductLine *product : someLines(d, 1, 4)) {
        auto line = std::make_shared<OrderLine>();
        line->headno = order.headno;
        line->bodyno = bodyno(i++);
        line->product = product;
        line->pqty = product->packNum * d.writer.between(1, 8);
        const double discount = sales ? d.writer.pick(QList<double>{100, 100, 95, 90}) : 100;
        line->price = money((sales ? product->salePrice : product->inPrice) * discount / 100);
        line->amount = money(line->pqty * line->price);
        line->tax = money(line->amount * product->taxRate / 100);
        line->taxamount = line->amount + line->tax;
        amt += line->amount;
        tax += line->tax;
        Values values{{QStringLiteral("headno"), line->headno},
                      {QStringLiteral("bodyno"), line->bodyno},
                      {QStringLiteral("pdtcode"), product->pdtcode},
                      {QStringLiteral("pdtno"), product->pdtno},
                      {QStringLiteral("price"), line->price},
                      {QStringLiteral("BigPackNum"), packages(line->pqty, product->packNum)},
                      {QStringLiteral("PackNum"), product->packNum},
                      {QStringLiteral("pqty"), line->pqty},
                      {QStringLiteral("amount"), line->amount},
                      {QStringLiteral("taxtype"), product->taxType},
                      {QStringLiteral("taxrate"), product->taxRate},
                      {QStringLiteral("Tax"), line->tax},
                      {QStringLiteral("Taxamount"), line->taxamount},
                      {QStringLiteral("getpqty"), 0.0},
                      {QStringLiteral("getday"), day.addDays(7).toString(Qt::ISODate)},
                      {QStringLiteral("ifinish"), QStringLiteral("0")},
                      {QStringLiteral("getTaxamount"), 0.0},
                      {QStringLiteral("getamtday"), day.addDays(30).toString(Qt::ISODate)}};
        if (sales)
            values << QPair<QString, QVariant>(QStringLiteral("oldPrice"), product->salePrice)
                   << QPair<QString, QVariant>(QStringLiteral("disCount"), discount);
        d.writer.insert(lineTable, values);
        order.lines << line;
    }
    const QString hdate = d.ledger.timeOn(day);
    const QString handler = d.writer.pick(staff.people);
    Values head{{QStringLiteral("headno"), order.headno},
                {QStringLiteral("hdate"), hdate},
                {QStringLiteral("storecode"), order.store},
                {QStringLiteral("spcode"), order.partner},
                {QStringLiteral("currency"), QStringLiteral("01")},
                {QStringLiteral("exchgrate"), 1.0},
                {QStringLiteral("amt"), amt},
                {QStringLiteral("Tax"), tax},
                {QStringLiteral("taxamt"), amt + tax},
                {QStringLiteral("RMBtaxamt"), amt + tax},
                {QStringLiteral("Addr"),
                 sales ? QStringLiteral("客户指定地点") : QStringLiteral("本公司仓库")},
                {QStringLiteral("mcode"), handler},
                {QStringLiteral("deptcode"), staff.dept},
                {QStringLiteral("inputer"), handler}};
    head << d.checkColumns(checked, hdate);
    d.writer.insert(headTable, head);
}

//! A line reading part or all of what an order line still has open.
QList<StockLine> linesFromOrder(Demo &d, Order &order, const QString &store, bool out,
                                const QString &note)
{
    QList<StockLine> lines;
    for (const auto &orderLine : order.lines) {
        double open = std::max(0.0, orderLine->pqty - orderLine->moved - orderLine->claimed);
        if (out)
            open = std::min(open, d.ledger.stock(store, *orderLine->product));
        if (open <= 0)
            continue;
        const double pack = orderLine->product->packNum;
        double q = open;
        if (d.writer.chance(30) && open > pack)
            q = pack * std::max(1.0, std::floor(open / pack / 2));
        lines << StockLine{orderLine->product, q, orderLine->headno, orderLine->bodyno, note};
    }
    return lines;
}

//! A line giving back a little of what an order line has moved.
QList<StockLine> returnsOfOrder(Demo &d, Order &order, const QString &store, bool out,
                                const QString &note)
{
    QList<StockLine> lines;
    for (const auto &orderLine : order.lines) {
        double q = std::min(orderLine->moved, orderLine->product->packNum);
        if (out)
            q = std::min(q, d.ledger.stock(store, *orderLine->product));
        if (q > 0 && lines.isEmpty())
            lines << StockLine{orderLine->product, q, orderLine->headno, orderLine->bodyno, note};
    }
    return lines;
}

//! What reading or returning lines does to their order lines.
void settleOrder(Order &order, const QList<StockLine> &lines, double sign, bool checked)
{
    for (const StockLine &line : lines) {
        for (const auto &orderLine : order.lines) {
            if (orderLine->bodyno != line.linkBodyno)
                continue;
            if (checked)
                orderLine->moved += sign * line.pqty;
            else if (sign > 0)
                orderLine->claimed += line.pqty;
        }
    }
}

void orderDocument(Demo &d, const QDate &day, Order &order, bool checked, const StockHead &head,
                   bool reading)
{
    const bool out = !d.ledger.takesIn(head.flag, head.inOutFlag);
    const QList<StockLine> lines = reading ? linesFromOrder(d, order, head.store, out, head.note)
                                           : returnsOfOrder(d, order, head.store, out, head.note);
    writeStockDocument(d, day, head, lines, checked);
    settleOrder(order, lines, reading ? 1 : -1, checked);
}

} // namespace

bool Demo::checkedOn(const QDate &day)
{
    return writer.chance(day.daysTo(today) < 5 ? 40 : 92);
}

Values Demo::checkColumns(bool checked, const QString &hdate) const
{
    if (!checked)
        return {{QStringLiteral("State"), QStringLiteral("1")}};
    const QDateTime at = QDateTime::fromString(hdate, kTimeFormat).addSecs(3600);
    return {{QStringLiteral("State"), QStringLiteral("2")},
            {QStringLiteral("Assessorcode"), firm.checker},
            {QStringLiteral("AssessorDate"), at.toString(kTimeFormat)}};
}

void purchaseOrder(Demo &d, const QDate &day, bool checked)
{
    Order order;
    order.partner = d.writer.pick(d.firm.suppliers);
    order.store = d.writer.pick(d.firm.stores);
    writeOrder(d, day, order, false, checked);
    d.ledger.purchaseOrders << order;
}

void salesOrder(Demo &d, const QDate &day, bool checked)
{
    Order order;
    order.partner = d.writer.pick(d.firm.customers);
    order.store = d.writer.pick(d.firm.stores);
    writeOrder(d, day, order, true, checked);
    d.ledger.salesOrders << order;
}

namespace {

//! A stock document reading (or giving back) an order's lines: its kind, who handles it and
//! the remark its lines carry ("采购单" + number + "入库！").
void orderStockDocument(Demo &d, const QDate &day, Order &order, bool checked, const char *flag,
                        const Staff &staff, const char *source, const char *verb, bool reading)
{
    const StockHead head{QLatin1String(flag),
                         QStringLiteral("1"),
                         order.store,
                         QString(),
                         order.partner,
                         &staff,
                         QString::fromUtf8(source) + order.headno + QString::fromUtf8(verb)};
    orderDocument(d, day, order, checked, head, reading);
}

} // namespace

void receiveOrder(Demo &d, const QDate &day, Order &order, bool checked)
{
    orderStockDocument(d, day, order, checked, "1", d.firm.storing, "采购单", "入库！", true);
}

void returnToSupplier(Demo &d, const QDate &day, Order &order, bool checked)
{
    orderStockDocument(d, day, order, checked, "2", d.firm.buying, "采购单", "退货！", false);
}

void deliverOrder(Demo &d, const QDate &day, Order &order, bool checked)
{
    orderStockDocument(d, day, order, checked, "3", d.firm.selling, "销售单", "出货！", true);
}

void returnFromCustomer(Demo &d, const QDate &day, Order &order, bool checked)
{
    orderStockDocument(d, day, order, checked, "4", d.firm.selling, "销售单", "退货！", false);
}

void stockDocument(Demo &d, const QDate &day, const QString &flag, bool checked)
{
    StockHead head;
    head.flag = flag;
    head.store = d.writer.pick(d.firm.stores);
    head.staff = &d.firm.storing;
    const bool twoWays =
        flag == QLatin1String("5") || flag == QLatin1String("8") || flag == QLatin1String("9");
    head.inOutFlag = twoWays && d.writer.chance(50) ? QStringLiteral("1") : QStringLiteral("0");
    if (flag == QLatin1String("6"))
        head.storeIn = d.firm.stores.at(1 - int(d.firm.stores.indexOf(head.store)));
    head.note = flag == QLatin1String("5") ? QStringLiteral("月度盘点") : QString();
    const bool out = flag == QLatin1String("6") || !d.ledger.takesIn(flag, head.inOutFlag);
    QList<StockLine> lines;
    for (const ProductLine *product : someLines(d, 1, 3)) {
        double q = flag == QLatin1String("5") ? d.writer.between(1, 4)
                                              : product->packNum * d.writer.between(1, 2);
        if (out)
            q = std::min(q, d.ledger.stock(head.store, *product));
        if (q > 0)
            lines << StockLine{product, q, QString(), QString(), QString()};
    }
    writeStockDocument(d, day, head, lines, checked);
}

} // namespace korvane::demo
