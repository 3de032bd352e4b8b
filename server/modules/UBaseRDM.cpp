#include "UBaseRDM.h"

#include "LoginUserInfo.h"
#include "LumoDatasetprovider.h"
#include "PasswordHash.h"
#include "RightsStore.h"
#include "SchemaCatalog.h"
#include "SessionRegistry.h"
#include "SysParaStore.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvane {

namespace {

const QString NotLoggedIn = QStringLiteral("请先登录！");
const QString LoginRefused = QStringLiteral("-5");
const QString DatabaseUnreachable = QStringLiteral("-2");

//! Partners (customers and suppliers) with the names of their region, credit class,
//! currency and department.
QString partnerStatement(const QString &table)
{
    return QStringLiteral(R"(SELECT p.*, l.name AS LocalName, r.Name AS CreditName,
       m.name AS MoneyName, d.name AS DeptName
FROM %1 p
LEFT JOIN XLocal l ON l.code = p.localcode
LEFT JOIN xcredit r ON r.Code = p.creditcode
LEFT JOIN XMoney m ON m.code = p.moneycode
LEFT JOIN xDept d ON d.code = p.deptcode
ORDER BY p.code)")
        .arg(table);
}

//! A whole code table in code order.
QString codeTable(const char *table, const char *order = "code")
{
    return QStringLiteral("SELECT * FROM %1 ORDER BY %2")
        .arg(QLatin1String(table), QLatin1String(order));
}

const QString ProductsSql =
    QStringLiteral(R"(SELECT p.pdtcode, p.name, p.name_e, p.classcode, p.cicode,
       c.name AS ClassName, b.Name AS CIName
FROM xprdth p
JOIN XPrdtClass c ON c.Code = p.classcode
LEFT JOIN XCI b ON b.Code = p.cicode
WHERE (p.classcode = :ClassCode OR trim(:tmpClassCode) = '')
  AND (p.cicode = :CICode OR trim(:tmpCICode) = '')
ORDER BY p.pdtcode)");

const QString ProductLinesSql = QStringLiteral(R"(SELECT b.*, f.name AS SpName
FROM xprdtb b
LEFT JOIN xFatBn f ON f.code = b.spcode
WHERE b.pdtcode = :pdtcode
ORDER BY b.bodyno)");

const QString ProductClassesSql = QStringLiteral(R"(SELECT c.*,
       s1.name AS hspecName1, s2.name AS hspecName2, s3.name AS hspecName3,
       s4.name AS hspecName4, s5.name AS hspecName5, s6.name AS hspecName6
FROM XPrdtClass c
LEFT JOIN XSpech s1 ON s1.hcode = c.hspecno1
LEFT JOIN XSpech s2 ON s2.hcode = c.hspecno2
LEFT JOIN XSpech s3 ON s3.hcode = c.hspecno3
LEFT JOIN XSpech s4 ON s4.hcode = c.hspecno4
LEFT JOIN XSpech s5 ON s5.hcode = c.hspecno5
LEFT JOIN XSpech s6 ON s6.hcode = c.hspecno6
ORDER BY c.Code)");

// The password column is not among the employee's fields: it is written by SetPWD only.
const QString EmployeesSql = QStringLiteral(R"(SELECT e.code, e.name, e.pic, e.PicDir, e.bdate,
       e.ifmar, e.educode, e.polityCode, e.native, e.splace, e.idno, e.sexb, e.upe, e.addr,
       e.zip, e.tel1, e.tel2, e.email, e.deptcode, e.Corpcode, e.telman, e.skill1, e.skill2,
       e.emptype, e.startday, e.saltype, e.duticode, e.basesary, e.addsary, e.bankno,
       e.overtype, e.safeno, e.specdays, e.note, d.name AS DeptName, c.name AS CorpName
FROM XPSEmp e
JOIN xDept d ON d.code = e.deptcode
JOIN xcorp c ON c.code = e.Corpcode
ORDER BY e.code)");

const QString SpecLinesSql = QStringLiteral(R"(SELECT * FROM XSpecb
WHERE hcode = :hcode
ORDER BY bcode)");

const QString StockSql = QStringLiteral(R"(SELECT s.*, st.name AS storename, p.name AS PdtName,
       b.SpecName AS specname
FROM XStock s
LEFT JOIN XStore st ON st.code = s.storecode
LEFT JOIN xprdth p ON p.pdtcode = s.pdtcode
LEFT JOIN xprdtb b ON b.pdtcode = s.pdtcode AND b.bodyno = s.pdtno
WHERE s.storecode = :StoreCode
  AND (s.pdtcode = :Pdtcode OR trim(:tmpPdtCode) = '')
ORDER BY s.storecode, s.pdtcode, s.pdtno)");

const QString StoresSql = QStringLiteral(R"(SELECT s.code, s.name, s.address, s.serno, s.manager,
       s.parentc, d.name AS ParentName, s.caldate, s.NOTe
FROM XStore s
JOIN xDept d ON d.code = s.parentc
ORDER BY s.code)");

// Operators: employees with a password, for the login list.
const QString UserListSql = QStringLiteral(R"(SELECT e.Code, e.name, d.name AS DeptName
FROM XPSEmp e
JOIN xDept d ON d.code = e.deptcode
WHERE e.PWD <> ''
ORDER BY e.deptcode, e.code)");

const QString SpecValuesSql = QStringLiteral(R"(SELECT bCode, Name FROM XSpecb
WHERE hCode = :hCode)");

const QString SpecKindsSql = QStringLiteral(R"(SELECT M.Code, M.name, M.name_e,
       M.hspecno1, D1.Name AS hspecName1, M.hspecno2, D2.Name AS hspecName2,
       M.hspecno3, D3.Name AS hspecName3, M.hspecno4, D4.Name AS hspecName4,
       M.hspecno5, D5.Name AS hspecName5, M.hspecno6, D6.Name AS hspecName6
FROM XPrdtClass M
LEFT JOIN XSpech D1 ON M.hspecno1 = D1.hCode
LEFT JOIN XSpech D2 ON M.hspecno2 = D2.hCode
LEFT JOIN XSpech D3 ON M.hspecno3 = D3.hCode
LEFT JOIN XSpech D4 ON M.hspecno4 = D4.hCode
LEFT JOIN XSpech D5 ON M.hspecno5 = D5.hCode
LEFT JOIN XSpech D6 ON M.hspecno6 = D6.hCode
WHERE M.Code = :ClassCode)");

const QString LoginSql = QStringLiteral(R"(SELECT e.code, e.name, e.PWD, e.deptcode, d.name,
       coalesce(e.Corpcode, d.CorpCode), c.name
FROM XPSEmp e
LEFT JOIN xDept d ON d.code = e.deptcode
LEFT JOIN xcorp c ON c.code = coalesce(e.Corpcode, d.CorpCode)
WHERE e.code = ?)");

bool isAllowedBeforeLogin(const QString &provider)
{
    return provider.compare(QLatin1String("dspUserList"), Qt::CaseInsensitive) == 0;
}

QString text(const QVariantList &args, int i)
{
    return args.at(i).toString();
}

} // namespace

ProviderDefs TBaseRDM::providerDefs()
{
    using enum ProviderOptions;
    return {
        {.name = "dspCI", .sql = codeTable("XCI"), .options = B, .description = "品牌"},
        {.name = "dspPrdt",
         .sql = ProductsSql,
         .detailField = "qryPrdtD",
         .detailSql = ProductLinesSql,
         .description = "产品建档"},
        {.name = "dspCorp", .sql = codeTable("xcorp", "parent, code"), .description = "公司"},
        {.name = "dspcredit", .sql = codeTable("xcredit"), .options = B, .description = "信用额度"},
        {.name = "dspCustome",
         .sql = partnerStatement(QStringLiteral("xCustome")),
         .description = "客户"},
        {.name = "dspDept", .sql = codeTable("xDept", "CorpCode, code"), .description = "部门"},
        {.name = "dspDuty", .sql = codeTable("XDuty"), .description = "职务"},
        {.name = "dspEdu", .sql = codeTable("XEdu"), .description = "学历"},
        {.name = "dspFatbn",
         .sql = partnerStatement(QStringLiteral("xFatBn")),
         .description = "厂商"},
        {.name = "dspLocal", .sql = codeTable("XLocal"), .description = "厂商客户组别"},
        {.name = "dspMeasure", .sql = codeTable("XMeasure"), .description = "计量单位"},
        {.name = "dspMoney", .sql = codeTable("XMoney"), .description = "币别"},
        {.name = "dsppayKind", .sql = codeTable("XPaykind"), .description = "付款方式"},
        {.name = "dspPolity", .sql = codeTable("XPolity"), .description = "政治面貌"},
        {.name = "dsppdtClass", .sql = ProductClassesSql, .description = "产品类别"},
        {.name = "dspPsEmp", .sql = EmployeesSql, .description = "员工资料"},
        {.name = "dspSpec",
         .sql = codeTable("XSpech", "hcode"),
         .detailField = "qrySpecD",
         .detailSql = SpecLinesSql,
         .description = "产品规格"},
        {.name = "dspStock", .sql = StockSql, .description = "期初库存"},
        {.name = "dspStore", .sql = StoresSql, .description = "仓库"},
        {.name = "dspTaxAttr", .sql = codeTable("XTaxAttr"), .description = "税别"},
        {.name = "dspUserList", .sql = UserListSql, .description = "操作员"},
        // The packing buffer: it has no statement of its own.
        {.name = "dsp", .description = "打包"},
    };
}

TBaseRDM::TBaseRDM(QObject *parent)
    : ProviderModule(QStringLiteral("BaseRDM"), providerDefs(), parent),
      m_specValues(new TLumoDatasetprovider(ProviderDef{.name = "GetSpec", .sql = SpecValuesSql},
                                            connection(), this)),
      m_specKinds(new TLumoDatasetprovider(ProviderDef{.name = "GetSpech", .sql = SpecKindsSql},
                                           connection(), this))
{
    addMethod(QStringLiteral("GetSpec"),
              [this](const QVariantList &args, QVariantList *) { return GetSpec(text(args, 0)); });
    addMethod(QStringLiteral("GetSpech"),
              [this](const QVariantList &args, QVariantList *) { return GetSpech(text(args, 0)); });
    addMethod(QStringLiteral("LogIn"), [this](const QVariantList &args, QVariantList *out) {
        LogIn(text(args, 0), text(args, 1), out);
        return QVariant();
    });
    addMethod(QStringLiteral("DBActive"),
              [this](const QVariantList &, QVariantList *) { return QVariant(DBActive()); });
    addMethod(QStringLiteral("keyExist"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(keyExist(text(args, 0), text(args, 1), text(args, 2)));
    });
    // A cancelled new document's number stays used.
    addMethod(QStringLiteral("CancelHeadno"),
              [](const QVariantList &, QVariantList *) { return QVariant(); });
    addMethod(QStringLiteral("SetPWD"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(SetPWD(text(args, 0), text(args, 1)));
    });
    addMethod(QStringLiteral("GetRights"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(GetRights(text(args, 0)));
    });
    addMethod(QStringLiteral("SetRights"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(SetRights(text(args, 0), text(args, 1)));
    });
    addMethod(QStringLiteral("SetUserPWD"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(SetUserPWD(text(args, 0), text(args, 1)));
    });
    addMethod(QStringLiteral("GetSysPara"),
              [this](const QVariantList &, QVariantList *) { return QVariant(GetSysPara()); });
    addMethod(QStringLiteral("SetSysPara"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(SetSysPara(text(args, 0)));
    });
}

TBaseRDM::~TBaseRDM()
{
    endSession();
    // The packing buffers hold queries on the connection: they go before it.
    delete m_specValues;
    delete m_specKinds;
}

void TBaseRDM::requireLogin() const
{
    if (m_sessionId.isEmpty())
        throw ServerError(NotLoggedIn);
}

void TBaseRDM::requireSystemRight(int right)
{
    requireLogin();
    RightsStore::require(database(), m_userCode, rights::systemRight(rights::SystemRight(right)));
}

void TBaseRDM::endSession()
{
    if (!m_sessionId.isEmpty())
        SessionRegistry::instance().close(m_sessionId);
    m_sessionId.clear();
    m_userCode.clear();
}

Packet TBaseRDM::getRecords(const GetRecordsRequest &request)
{
    if (!isAllowedBeforeLogin(request.provider))
        requireLogin();
    return ProviderModule::getRecords(request);
}

ApplyResult TBaseRDM::applyUpdates(const QString &provider, const ChangeSet &delta, int maxErrors)
{
    requireLogin();
    return ProviderModule::applyUpdates(provider, delta, maxErrors);
}

Params TBaseRDM::getParams(const QString &provider)
{
    if (!isAllowedBeforeLogin(provider))
        requireLogin();
    return ProviderModule::getParams(provider);
}

void TBaseRDM::execute(const QString &provider, const QString &commandText, const Params &params)
{
    requireLogin();
    ProviderModule::execute(provider, commandText, params);
}

QVariant TBaseRDM::invoke(const QString &method, const QVariantList &inputs, QVariantList *out)
{
    const bool beforeLogin = method.compare(QLatin1String("LogIn"), Qt::CaseInsensitive) == 0 ||
                             method.compare(QLatin1String("DBActive"), Qt::CaseInsensitive) == 0;
    if (!beforeLogin)
        requireLogin();
    return ProviderModule::invoke(method, inputs, out);
}

QVariant TBaseRDM::packOnce(TLumoDatasetprovider *buffer, const Params &params)
{
    GetRecordsRequest request;
    request.provider = buffer->name();
    request.params = params;
    try {
        const Packet packet = buffer->getRecords(request);
        buffer->reset();
        return QVariant::fromValue(packet);
    } catch (const ServerError &) {
        buffer->reset();
        return QVariant();
    }
}

QVariant TBaseRDM::GetSpec(const QString &hCode)
{
    return packOnce(m_specValues, {{QStringLiteral("hCode"), hCode}});
}

QVariant TBaseRDM::GetSpech(const QString &classCode)
{
    // An unknown class answers null, like a failed statement: the client then says the
    // class has nothing to choose from.
    const QVariant packet = packOnce(m_specKinds, {{QStringLiteral("ClassCode"), classCode}});
    if (packet.isNull() || packet.value<Packet>().rows.isEmpty())
        return QVariant();
    return packet;
}

void TBaseRDM::LogIn(const QString &userId, const QString &password, QVariantList *out)
{
    // A new login ends the session of an earlier one on this connection, whatever its outcome.
    endSession();
    auto answer = [out](const QString &id, const QString &userInfo,
                        const QString &sysSet = QString(), const QString &purView = QString()) {
        *out = {id, userInfo, sysSet, purView, QString()};
    };
    QSqlDatabase db;
    try {
        db = database();
    } catch (const ServerError &) {
        return answer(DatabaseUnreachable, QString());
    }
    QSqlQuery q(db);
    q.prepare(LoginSql);
    q.addBindValue(userId);
    if (!q.exec())
        return answer(DatabaseUnreachable, QString());
    if (!q.next())
        return answer(LoginRefused, QString());
    const QString stored = q.value(2).toString();
    if (!PasswordHash::verify(password, stored))
        return answer(LoginRefused, QString());
    LoginUserInfo info{q.value(0).toString(), q.value(1).toString(), q.value(3).toString(),
                       q.value(4).toString(), q.value(5).toString(), q.value(6).toString()};
    q.finish();
    if (!PasswordHash::isHash(stored)) {
        // An older account set kept the password as text: from now on it keeps the hash.
        QSqlQuery upgrade(db);
        upgrade.prepare(QStringLiteral("UPDATE XPSEmp SET PWD = ? WHERE code = ? AND PWD = ?"));
        upgrade.addBindValue(PasswordHash::hash(password));
        upgrade.addBindValue(info.userCode);
        upgrade.addBindValue(stored);
        // The password was right: the operator gets in, and the text stays until a later
        // login manages the upgrade.
        if (!upgrade.exec())
            qWarning("the password of user %s stays plain text: %s", qPrintable(info.userCode),
                     qPrintable(upgrade.lastError().text()));
    }
    // The operator's rights and the system parameters travel with the answer, so that the
    // client greys what the operator may not do and applies the parameters.
    QString sysSet;
    QString purView;
    try {
        sysSet = SysParaStore::load(db).toText();
        purView = RightsStore::load(db, info.userCode).toText();
    } catch (const ServerError &e) {
        qWarning("login of %s without its rights and parameters: %s", qPrintable(info.userCode),
                 qPrintable(e.text()));
    }
    m_userCode = info.userCode;
    m_sessionId = SessionRegistry::instance().open(m_userCode);
    answer(m_sessionId, info.toText(), sysSet, purView);
}

bool TBaseRDM::DBActive()
{
    try {
        database();
        return true;
    } catch (const ServerError &) {
        return false;
    }
}

bool TBaseRDM::keyExist(const QString &tableName, const QString &fieldNames, const QString &values)
{
    SchemaCatalog &schema = catalog();
    const QString table = schema.tableName(tableName.trimmed());
    if (table.isEmpty())
        throw ServerError(QStringLiteral("Table '%1' not found").arg(tableName));
    const QStringList fields = splitCommaList(fieldNames);
    const QStringList keys = splitCommaList(values);
    if (fields.isEmpty())
        throw ServerError(QStringLiteral("keyExist: no field given"));
    if (keys.size() < fields.size())
        throw ServerError(QStringLiteral("keyExist: %1 fields but only %2 values")
                              .arg(fields.size())
                              .arg(keys.size()));
    QStringList conditions;
    for (const QString &field : fields) {
        const QString column = schema.columnName(table, field);
        if (column.isEmpty())
            throw ServerError(QStringLiteral("Field '%1' not found").arg(field));
        conditions << column + QStringLiteral(" = ?");
    }
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT count(*) AS KeyCount FROM %1 WHERE %2")
                  .arg(table, conditions.join(QLatin1String(" AND "))));
    for (int i = 0; i < fields.size(); ++i)
        q.addBindValue(keys.at(i));
    if (!q.exec() || !q.next())
        throw ServerError(QStringLiteral("Field 'KeyCount' not found"));
    return q.value(0).toInt() > 0;
}

bool TBaseRDM::SetPWD(const QString &userCode, const QString &password)
{
    if (userCode != m_userCode || password.isEmpty() || password.size() > MaxPasswordLength)
        return false;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("UPDATE XPSEmp SET PWD = ? WHERE code = ?"));
    q.addBindValue(PasswordHash::hash(password));
    q.addBindValue(userCode);
    return q.exec();
}

QString TBaseRDM::GetRights(const QString &empCode)
{
    requireSystemRight(int(rights::SystemRight::Staff));
    return RightsStore::load(database(), empCode).toText();
}

bool TBaseRDM::SetRights(const QString &empCode, const QString &rightsText)
{
    requireSystemRight(int(rights::SystemRight::Staff));
    const std::optional<rights::Grants> grants = rights::Grants::fromText(rightsText);
    if (!grants)
        throw ServerError(QStringLiteral("权限数据有误，权限未保存！"));
    RightsStore::store(database(), empCode, *grants);
    return true;
}

bool TBaseRDM::SetUserPWD(const QString &empCode, const QString &password)
{
    requireSystemRight(int(rights::SystemRight::Staff));
    if (password.isEmpty())
        throw ServerError(QStringLiteral("密码不能为空！"));
    if (password.size() > MaxPasswordLength)
        throw ServerError(QStringLiteral("密码最长%1位！").arg(MaxPasswordLength));
    QSqlQuery q(database());
    q.prepare(QStringLiteral("UPDATE XPSEmp SET PWD = ? WHERE code = ?"));
    q.addBindValue(PasswordHash::hash(password));
    q.addBindValue(empCode);
    if (!q.exec())
        throw ServerError(QStringLiteral("密码设置失败：%1").arg(q.lastError().text()));
    if (q.numRowsAffected() == 0)
        throw ServerError(QStringLiteral("员工“%1”已不存在，密码未设置！").arg(empCode));
    return true;
}

QString TBaseRDM::GetSysPara()
{
    requireLogin();
    return SysParaStore::load(database()).toText();
}

bool TBaseRDM::SetSysPara(const QString &parametersText)
{
    requireSystemRight(int(rights::SystemRight::Parameters));
    bool ok = false;
    const SystemParameters parameters = SystemParameters::fromText(parametersText, &ok);
    if (!ok)
        throw ServerError(QStringLiteral("系统参数数据有误，未保存！"));
    SysParaStore::store(database(), parameters);
    return true;
}

QStringList splitCommaList(const QString &text)
{
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    skipBlanks();
    if (i == n)
        return items;
    while (true) {
        QString item;
        if (i < n && text.at(i) == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text.at(i++);
            }
            while (i < n && text.at(i) != QLatin1Char(','))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text.at(i) != QLatin1Char(','))
                ++i;
            item = text.mid(start, i - start).trimmed();
        }
        items << item;
        if (i == n)
            break;
        ++i; // the comma
        skipBlanks();
    }
    return items;
}

} // namespace korvane
