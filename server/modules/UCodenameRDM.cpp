#include "UCodenameRDM.h"

namespace korvane {

namespace {

//! One code, or every code when the switch is empty or blank.
QString oneCode(const char *column)
{
    return QStringLiteral("(%1 = :Code OR trim(:tmpCode) = '')").arg(QLatin1String(column));
}

const QString StoresSql =
    QStringLiteral(R"(SELECT s.code, s.name, c.name AS CorpName, d.name AS DeptName
FROM XStore s
JOIN xDept d ON d.code = s.parentc
JOIN xcorp c ON c.code = d.CorpCode
WHERE %1
ORDER BY d.CorpCode, s.parentc, s.code)")
        .arg(oneCode("s.code"));

const QString UsersSql =
    QStringLiteral(R"(SELECT e.Code, e.name, c.name AS CorpName, d.name AS DeptName
FROM XPSEmp e
JOIN xDept d ON d.code = e.deptcode
JOIN xcorp c ON c.code = d.CorpCode
WHERE e.PWD <> '' AND %1
ORDER BY d.CorpCode, e.deptcode, e.code)")
        .arg(oneCode("e.code"));

const QString DepartmentsSql =
    QStringLiteral(R"(SELECT d.Code, d.name, d.CorpCode, c.name AS CorpName
FROM xDept d
JOIN xcorp c ON c.code = d.CorpCode
WHERE %1
ORDER BY d.CorpCode, d.code)")
        .arg(oneCode("d.code"));

// The departments of one company. The company's switch is tmpCorpCode; the lookup editor
// of a dependent field sends tmpPreCode, which switches the filter on as well.
const QString CompanyDepartmentsSql =
    QStringLiteral(R"(SELECT d.Code, d.name, d.CorpCode, c.name AS CorpName
FROM xDept d
JOIN xcorp c ON c.code = d.CorpCode
WHERE %1
  AND (d.CorpCode = :PreCode OR (trim(:tmpCorpCode) = '' AND trim(:tmpPreCode) = ''))
ORDER BY d.CorpCode, d.code)")
        .arg(oneCode("d.code"));

QString partnersSql(const char *table)
{
    return QStringLiteral(R"(SELECT p.Code, p.name, l.name AS LocalName, d.name AS DeptName
FROM %1 p
LEFT JOIN XLocal l ON l.code = p.localcode
JOIN xDept d ON d.code = p.deptcode
WHERE %2
ORDER BY p.deptcode, p.localcode, p.code)")
        .arg(QLatin1String(table), oneCode("p.code"));
}

const QString ProductsSql =
    QStringLiteral(R"(SELECT p.pdtcode, p.name, c.name AS ClassName, b.Name AS CIName
FROM xprdth p
LEFT JOIN XCI b ON b.Code = p.cicode
JOIN XPrdtClass c ON c.Code = p.classcode
WHERE %1
ORDER BY p.classcode, p.cicode, p.pdtcode)")
        .arg(oneCode("p.pdtcode"));

// The products of one class, for a product editor that follows a class editor.
const QString ClassProductsSql =
    QStringLiteral(R"(SELECT p.pdtcode, p.name, c.name AS ClassName, b.Name AS CIName
FROM xprdth p
LEFT JOIN XCI b ON b.Code = p.cicode
JOIN XPrdtClass c ON c.Code = p.classcode
WHERE %1
  AND (p.classcode = :PreCode OR trim(:tmpPreCode) = '')
ORDER BY p.classcode, p.cicode, p.pdtcode)")
        .arg(oneCode("p.pdtcode"));

// The variant (规格) lines of one product.
const QString SpecLinesSql =
    QStringLiteral(R"(SELECT b.bodyno, b.SpecName, b.PackNum, m.name AS MeasureName,
       b.TInprice, b.Inprice, b.TSalePrice, b.SalePrice
FROM xprdtb b
JOIN XMeasure m ON m.code = b.measure
WHERE %1
  AND (b.pdtcode = :preCode OR trim(:tmpPreCode) = '')
ORDER BY b.bodyno)")
        .arg(oneCode("b.bodyno"));

QString codesSql(const char *code, const char *name, const char *table)
{
    return QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 ORDER BY %1")
        .arg(QLatin1String(code), QLatin1String(name), QLatin1String(table), oneCode(code));
}

// The variant kinds' list shows the English name as its third column.
const QString SpecKindsSql =
    QStringLiteral("SELECT hCode, name, name_e FROM XSpech WHERE %1 ORDER BY hCode")
        .arg(oneCode("hCode"));

const QString CurrenciesSql =
    QStringLiteral("SELECT Code, Name, eName, Rate FROM XMoney WHERE %1 ORDER BY code")
        .arg(oneCode("Code"));

const QString PartnerClassesSql =
    QStringLiteral("SELECT * FROM XLocal WHERE %1 ORDER BY Code").arg(oneCode("Code"));

} // namespace

ProviderDefs TCodeNameRDM::providerDefs()
{
    return {
        {.name = "dspStoreCN", .sql = StoresSql},
        {.name = "dspUserListCN", .sql = UsersSql},
        {.name = "dspDeptCN", .sql = DepartmentsSql},
        {.name = "dspFatbnCN", .sql = partnersSql("xFatBn")},
        {.name = "dspCustomeCN", .sql = partnersSql("xCustome")},
        {.name = "dspPdtCN", .sql = ProductsSql},
        {.name = "dspClassPdtCN", .sql = ClassProductsSql},
        {.name = "dspSpecCN", .sql = SpecLinesSql},
        {.name = "dspClassCN", .sql = codesSql("Code", "name", "XPrdtClass")},
        {.name = "dspCICN", .sql = codesSql("Code", "Name", "XCI")},
        {.name = "dspSpecCodeCN", .sql = SpecKindsSql},
        {.name = "dspCorpDeptCN", .sql = CompanyDepartmentsSql},
        {.name = "dspCorpCN", .sql = codesSql("Code", "name", "xcorp")},
        {.name = "dspMoneyCN", .sql = CurrenciesSql},
        {.name = "dspLocalCN", .sql = PartnerClassesSql, .options = ProviderOptions::B},
    };
}

TCodeNameRDM::TCodeNameRDM(QObject *parent)
    : ProviderModule(QStringLiteral("CodeNameRDM"), providerDefs(), parent)
{}

} // namespace korvane
