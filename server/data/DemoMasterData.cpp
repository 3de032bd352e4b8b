// The master data of the demonstration firm: a small wholesaler of office and electrical
// goods with two stores, four suppliers, five customers and a dozen products.

#include "DemoModel.h"

#include "PasswordHash.h"
#include "RightsCatalog.h"

#include <cmath>
#include <tuple>

namespace korvane::demo {

namespace {

using Pairs = QList<QPair<const char *, const char *>>;

void codeTable(DemoWriter &w, const QString &table, const Pairs &rows)
{
    for (const auto &[code, name] : rows)
        w.insert(table, {{QStringLiteral("Code"), QString::fromUtf8(code)},
                         {QStringLiteral("Name"), QString::fromUtf8(name)}});
}

void writeCodeTables(DemoWriter &w)
{
    codeTable(w, QStringLiteral("XCI"),
              {{"KV", "科维"}, {"HX", "华信"}, {"DL", "得力"}, {"OP", "欧普"}});
    codeTable(w, QStringLiteral("XLocal"),
              {{"HD", "华东"}, {"HN", "华南"}, {"HB", "华北"}, {"XN", "西南"}});
    codeTable(w, QStringLiteral("XPaykind"), {{"01", "现金"}, {"02", "银行转账"}, {"03", "支票"}});
    codeTable(w, QStringLiteral("XMeasure"),
              {{"PCS", "个"}, {"BOX", "箱"}, {"BAG", "包"}, {"M", "米"}, {"SET", "套"}});
    codeTable(w, QStringLiteral("XEdu"), {{"1", "本科"}, {"2", "大专"}, {"3", "高中"}});
    codeTable(w, QStringLiteral("XPolity"), {{"1", "群众"}, {"2", "团员"}, {"3", "党员"}});
    for (const auto &[code, name, rate] : QList<std::tuple<const char *, const char *, double>>{
             {"VAT", "增值税", 13}, {"LOW", "小规模纳税", 3}, {"FREE", "免税", 0}})
        w.insert(QStringLiteral("XTaxAttr"), {{QStringLiteral("Code"), QLatin1String(code)},
                                              {QStringLiteral("Name"), QString::fromUtf8(name)},
                                              {QStringLiteral("taxrate"), rate}});
    for (const auto &[code, name, limit] : QList<std::tuple<const char *, const char *, double>>{
             {"A", "优良", 200000}, {"B", "一般", 50000}, {"C", "观察", 10000}})
        w.insert(QStringLiteral("xcredit"), {{QStringLiteral("Code"), QLatin1String(code)},
                                             {QStringLiteral("Name"), QString::fromUtf8(name)},
                                             {QStringLiteral("CNum"), limit}});
    for (const auto &[code, name, base] :
         QList<std::tuple<const char *, const char *, double>>{{"MGR", "经理", 9000},
                                                               {"BUY", "采购员", 6000},
                                                               {"SAL", "业务员", 6000},
                                                               {"STK", "仓管员", 5000}})
        w.insert(QStringLiteral("XDuty"), {{QStringLiteral("Code"), QLatin1String(code)},
                                           {QStringLiteral("Name"), QString::fromUtf8(name)},
                                           {QStringLiteral("BaseSal"), base},
                                           {QStringLiteral("Addsal"), base / 10}});
    w.insert(QStringLiteral("XMoney"), {{QStringLiteral("code"), QStringLiteral("02")},
                                        {QStringLiteral("name"), QStringLiteral("美元")},
                                        {QStringLiteral("ename"), QStringLiteral("USD")},
                                        {QStringLiteral("rate"), 7.1}});
}

void writeOrganisation(DemoWriter &w, const QDate &start)
{
    const QString opened = start.addYears(-3).toString(Qt::ISODate) + QStringLiteral(" 08:00:00");
    w.update(QStringLiteral("xcorp"),
             {{QStringLiteral("name"), QStringLiteral("科维商贸有限公司")},
              {QStringLiteral("address"), QStringLiteral("杭州市西湖区文三路 88 号")},
              {QStringLiteral("Tel"), QStringLiteral("0571-88886666")},
              {QStringLiteral("opendate"), opened}},
             {{QStringLiteral("code"), QStringLiteral("0001")}});
    for (const auto &[code, name] :
         Pairs{{"0002", "采购部"}, {"0003", "销售部"}, {"0004", "仓储部"}, {"0005", "财务部"}})
        w.insert(QStringLiteral("xDept"), {{QStringLiteral("code"), QLatin1String(code)},
                                           {QStringLiteral("name"), QString::fromUtf8(name)},
                                           {QStringLiteral("CorpCode"), QStringLiteral("0001")},
                                           {QStringLiteral("opendate"), opened}});
    for (const auto &[code, name] : Pairs{{"S01", "一号仓库"}, {"S02", "二号仓库"}})
        w.insert(QStringLiteral("XStore"), {{QStringLiteral("code"), QLatin1String(code)},
                                            {QStringLiteral("name"), QString::fromUtf8(name)},
                                            {QStringLiteral("parentc"), QStringLiteral("0004")},
                                            {QStringLiteral("caldate"), opened}});
}

//! Employees log in with their own code as password (documented in the README).
void writeStaff(DemoWriter &w, const QDate &start)
{
    struct Person
    {
        const char *code, *name, *dept, *duty, *sex;
    };
    const QList<Person> people{{"0002", "张伟", "0002", "BUY", "1"},
                               {"0003", "李娜", "0003", "SAL", "2"},
                               {"0004", "王强", "0004", "STK", "1"},
                               {"0005", "刘洋", "0003", "SAL", "1"},
                               {"0006", "陈静", "0005", "MGR", "2"}};
    for (const Person &p : people) {
        QByteArray salt(PasswordHash::kSaltBytes, Qt::Uninitialized);
        for (char &byte : salt)
            byte = char(w.random().bounded(256));
        const QString code = QLatin1String(p.code);
        w.insert(
            QStringLiteral("XPSEmp"),
            {{QStringLiteral("code"), code},
             {QStringLiteral("name"), QString::fromUtf8(p.name)},
             {QStringLiteral("deptcode"), QLatin1String(p.dept)},
             {QStringLiteral("Corpcode"), QStringLiteral("0001")},
             {QStringLiteral("duticode"), QLatin1String(p.duty)},
             {QStringLiteral("sexb"), QLatin1String(p.sex)},
             {QStringLiteral("educode"), QStringLiteral("1")},
             {QStringLiteral("startday"),
              start.addYears(-1).toString(Qt::ISODate) + QStringLiteral(" 09:00:00")},
             {QStringLiteral("PWD"), PasswordHash::hash(code, salt, PasswordHash::kIterations)}});
    }
}

//! The rights of the demonstration staff by their work: the clerks record the documents of
//! their area and read its reports, the checker (0006) may do and check everything.
void writeRights(DemoWriter &w)
{
    using rights::Op;
    const QStringList purchases{"厂商资料", "产品资料", "销售转采购", "库存不足转采购",
                                "采购单",   "采购收货", "采购退货",   "付款单"};
    const QStringList sales{"客户资料", "销售单", "销售出货", "销售退货", "收款单"};
    const QStringList stock{"仓库资料",   "库存期初建档", "库存盘点",    "库存调拨",
                            "生产出入库", "库存报废",     "库存其它异动"};
    const QStringList purchaseReports{"厂商报表",         "产品报表",        "采购汇总报表",
                                      "采购明细报表",     "采购在途报表",    "采购入库汇总报表",
                                      "采购入库明细报表", "采购历史价格分析"};
    const QStringList salesReports{"客户报表",         "销售汇总报表",     "销售明细报表",
                                   "客户销售分析报表", "销售出货汇总报表", "销售出货明细报表",
                                   "销售历史价格分析", "应收帐款报表",     "客户应收报表",
                                   "销售日报表",       "销售月报表",       "销售员业绩统计"};
    auto clerk = [](const QStringList &functions, const QStringList &reports) {
        rights::Grants grants;
        for (const QString &f : functions) {
            for (Op op : {Op::Add, Op::Modify, Op::Delete})
                grants.grant(rights::functionRight(rights::rowOf(rights::List::Function, f), op));
        }
        for (const QString &r : reports)
            grants.grant(rights::reportRight(rights::rowOf(rights::List::Report, r)));
        return grants;
    };
    rights::Grants checker = rights::Grants::everything();
    for (rights::SystemRight right : {rights::SystemRight::Staff, rights::SystemRight::Parameters,
                                      rights::SystemRight::Backup, rights::SystemRight::Restore})
        checker.revoke(rights::systemRight(right));
    const QList<std::pair<const char *, rights::Grants>> staff{
        {"0002", clerk(purchases, purchaseReports)},
        {"0003", clerk(sales, salesReports)},
        {"0004", clerk(stock, {"库存明细", "产品报表"})},
        {"0005", clerk(sales, salesReports)},
        {"0006", checker}};
    for (const auto &[code, grants] : staff) {
        for (const rights::Right &r : grants.all())
            w.insert(QStringLiteral("XRight"),
                     {{QStringLiteral("EmpCode"), QLatin1String(code)},
                      {QStringLiteral("RightList"), rights::listKey(r.list)},
                      {QStringLiteral("RowNo"), r.row},
                      {QStringLiteral("Op"), r.op}});
    }
}

void writePartners(DemoWriter &w, const QString &table, const QString &dept, const Pairs &rows,
                   QStringList *codes)
{
    const QStringList regions{QStringLiteral("HD"), QStringLiteral("HN"), QStringLiteral("HB"),
                              QStringLiteral("XN")};
    const QStringList credits{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    for (const auto &[code, name] : rows) {
        w.insert(table, {{QStringLiteral("code"), QLatin1String(code)},
                         {QStringLiteral("name"), QString::fromUtf8(name)},
                         {QStringLiteral("localcode"), w.pick(regions)},
                         {QStringLiteral("deptcode"), dept},
                         {QStringLiteral("moneycode"), QStringLiteral("01")},
                         {QStringLiteral("creditcode"), w.pick(credits)},
                         {QStringLiteral("connectname"), QStringLiteral("业务联系人")},
                         {QStringLiteral("telephone"),
                          QStringLiteral("0571-%1").arg(w.between(81000000, 89999999))}});
        *codes << QLatin1String(code);
    }
}

struct ProductDecl
{
    const char *code, *name, *cls, *brand;
    double inPrice;                           // of the first variant line
    QList<QPair<const char *, double>> specs; // name and quantity per package
};

void writeProducts(DemoWriter &w, Firm *firm)
{
    for (const auto &[code, name] :
         Pairs{{"ELEC", "电工电料"}, {"OFFI", "办公用品"}, {"TOOL", "五金工具"}})
        w.insert(QStringLiteral("XPrdtClass"), {{QStringLiteral("Code"), QLatin1String(code)},
                                                {QStringLiteral("name"), QString::fromUtf8(name)}});
    const QList<ProductDecl> products{
        {"E1001",
         "LED 灯泡",
         "ELEC",
         "OP",
         6.5,
         {{"9W 暖光", 50}, {"12W 白光", 50}, {"18W 白光", 40}}},
        {"E1002", "五孔插座", "ELEC", "KV", 11, {{"白色 10A", 20}, {"灰色 16A", 20}}},
        {"E1003", "电源线", "ELEC", "HX", 28, {{"3 米", 10}, {"5 米", 10}}},
        {"E1004", "空气开关", "ELEC", "KV", 35, {{"16A 单极", 12}, {"32A 双极", 6}}},
        {"O2001", "A4 复印纸", "OFFI", "DL", 21, {{"70g 500 张", 5}, {"80g 500 张", 5}}},
        {"O2002",
         "中性笔",
         "OFFI",
         "DL",
         1.2,
         {{"0.5mm 黑", 100}, {"0.5mm 蓝", 100}, {"0.7mm 红", 100}}},
        {"O2003", "文件夹", "OFFI", "DL", 4.8, {{"单夹 蓝", 48}, {"双夹 黑", 48}}},
        {"O2004", "订书机", "OFFI", "DL", 13.5, {{"12 号", 24}, {"重型", 12}}},
        {"T3001", "螺丝刀套装", "TOOL", "HX", 42, {{"6 件套", 10}, {"12 件套", 6}}},
        {"T3002", "卷尺", "TOOL", "HX", 9, {{"3 米", 30}, {"5 米", 30}, {"7.5 米", 20}}},
        {"T3003", "电钻", "TOOL", "KV", 186, {{"家用 500W", 4}, {"专业 800W", 2}}},
        {"T3004", "扳手", "TOOL", "HX", 16, {{"活动 8 寸", 20}, {"活动 10 寸", 20}}},
    };
    for (const ProductDecl &p : products) {
        const QString code = QLatin1String(p.code);
        w.insert(QStringLiteral("xprdth"), {{QStringLiteral("pdtcode"), code},
                                            {QStringLiteral("name"), QString::fromUtf8(p.name)},
                                            {QStringLiteral("classcode"), QLatin1String(p.cls)},
                                            {QStringLiteral("cicode"), QLatin1String(p.brand)}});
        int n = 0;
        for (const auto &[spec, packNum] : p.specs) {
            ProductLine line;
            line.pdtcode = code;
            line.pdtno = QStringLiteral("%1").arg(++n, 4, 10, QLatin1Char('0'));
            line.packNum = packNum;
            line.inPrice = std::round(p.inPrice * (1.0 + 0.15 * (n - 1)) * 100) / 100;
            line.salePrice = std::round(line.inPrice * 1.35 * 100) / 100;
            line.taxType = QStringLiteral("VAT");
            line.taxRate = 13;
            w.insert(QStringLiteral("xprdtb"),
                     {{QStringLiteral("pdtcode"), code},
                      {QStringLiteral("bodyno"), line.pdtno},
                      {QStringLiteral("SpecName"), QString::fromUtf8(spec)},
                      {QStringLiteral("barcode"),
                       QStringLiteral("69") + QLatin1String(p.code).mid(1) + line.pdtno},
                      {QStringLiteral("spcode"),
                       firm->suppliers.at(int(firm->lines.size()) % firm->suppliers.size())},
                      {QStringLiteral("measure"), QStringLiteral("PCS")},
                      {QStringLiteral("BigPack"), QStringLiteral("BOX")},
                      {QStringLiteral("PackNum"), line.packNum},
                      {QStringLiteral("Inprice"), line.inPrice},
                      {QStringLiteral("TInprice"), line.inPrice * (1 + line.taxRate / 100)},
                      {QStringLiteral("Intaxtype"), line.taxType},
                      {QStringLiteral("Intaxrate"), line.taxRate},
                      {QStringLiteral("SalePrice"), line.salePrice},
                      {QStringLiteral("TSalePrice"), line.salePrice * (1 + line.taxRate / 100)},
                      {QStringLiteral("SaleTaxtype"), line.taxType},
                      {QStringLiteral("SaleTaxrate"), line.taxRate}});
            firm->lines << line;
        }
    }
}

//! Every store holds every product line from the start, with a safety level.
void writeOpeningStock(DemoWriter &w, const Firm &firm, const QDate &start)
{
    const QString day = start.toString(Qt::ISODate) + QStringLiteral(" 00:00:00");
    for (const QString &store : firm.stores) {
        for (const ProductLine &line : firm.lines) {
            const double opening = line.packNum * w.between(2, 8);
            w.insert(QStringLiteral("XStock"),
                     {{QStringLiteral("storecode"), store},
                      {QStringLiteral("pdtcode"), line.pdtcode},
                      {QStringLiteral("pdtno"), line.pdtno},
                      {QStringLiteral("StartDate"), day},
                      {QStringLiteral("startnum"), opening},
                      {QStringLiteral("startbad"), 0.0},
                      {QStringLiteral("StartPrice"), line.inPrice},
                      {QStringLiteral("CalPrice"), line.inPrice},
                      {QStringLiteral("CalDate"), day},
                      {QStringLiteral("pqty"), opening},
                      {QStringLiteral("badnum"), 0.0},
                      {QStringLiteral("stdpqty"), 0.0},
                      {QStringLiteral("lowpqty"), line.packNum * w.between(2, 5)}});
        }
    }
}

} // namespace

Firm writeMasterData(DemoWriter &writer, const QDate &start)
{
    Firm firm;
    writeCodeTables(writer);
    writeOrganisation(writer, start);
    writeStaff(writer, start);
    writeRights(writer);
    writePartners(writer, QStringLiteral("xFatBn"), QStringLiteral("0002"),
                  {{"F001", "杭州光明电器有限公司"},
                   {"F002", "宁波华信五金制品厂"},
                   {"F003", "上海得力文具批发部"},
                   {"F004", "温州科维电工有限公司"}},
                  &firm.suppliers);
    writePartners(writer, QStringLiteral("xCustome"), QStringLiteral("0003"),
                  {{"C001", "西湖区第一中学"},
                   {"C002", "滨江科技园物业公司"},
                   {"C003", "萧山建材市场王记商行"},
                   {"C004", "余杭区政务服务中心"},
                   {"C005", "下城区惠民超市"}},
                  &firm.customers);
    firm.stores = {QStringLiteral("S01"), QStringLiteral("S02")};
    firm.payKinds = {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")};
    firm.buying = {QStringLiteral("0002"), {QStringLiteral("0002")}};
    firm.selling = {QStringLiteral("0003"), {QStringLiteral("0003"), QStringLiteral("0005")}};
    firm.storing = {QStringLiteral("0004"), {QStringLiteral("0004")}};
    firm.checker = QStringLiteral("0006");
    writeProducts(writer, &firm);
    writeOpeningStock(writer, firm, start);
    return firm;
}

} // namespace korvane::demo
