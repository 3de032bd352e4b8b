#include "AccountSetSetup.h"

#include "AccountSet.h"
#include "ConnectionString.h"
#include "DemoData.h"
#include "PlantIni.h"

#include <QDir>

namespace korvane {

namespace {

const QString kConnecting = QStringLiteral("连接数据库......");
const QString kCreating = QStringLiteral("创建套帐......");
const QString kRestoring = QStringLiteral("恢复套帐......");
const QString kSucceeded = QStringLiteral("成功！");
const QString kFailed = QStringLiteral("失败！");

PlantIni plantIni(const QString &programDir)
{
    return PlantIni(QDir(programDir).filePath(QStringLiteral("Plant.ini")));
}

QString section()
{
    return QString::fromLatin1(kServerSection);
}

//! The database server the choice names, reached through the catalogue "Master".
ConnectionSettings serverSettings(const DBLogInChoice &choice)
{
    ConnectionSettings s;
    s.driver = driverForDataSource(choice.server);
    s.conType = choice.integrated ? QStringLiteral("0") : QStringLiteral("1");
    s.dataSource = choice.server;
    s.workstation = choice.server;
    s.catalog = QStringLiteral("Master");
    if (!choice.integrated) {
        s.userId = choice.user;
        s.password = choice.password;
    }
    return s;
}

} // namespace

AccountSetSetup::AccountSetSetup(const QString &programDir) : m_programDir(programDir) {}

void AccountSetSetup::progress(int line, const QString &text)
{
    while (m_lines.size() <= line)
        m_lines << QString();
    m_lines[line] = text;
    if (onProgress)
        onProgress(m_lines);
}

void AccountSetSetup::message(const QString &text, const QString &detail)
{
    if (onMessage)
        onMessage(SrvMessageKind::Hint, text, detail);
}

SetupOutcome AccountSetSetup::run(const DBLogInChoice &choice)
{
    if (choice.server.trimmed().isEmpty()) {
        message(QStringLiteral("请先选择SQL Server服务器！"));
        return SetupOutcome::MissingServer;
    }
    if (!choice.integrated && choice.user.isEmpty()) {
        message(QStringLiteral("请先输入登录用户名！"));
        return SetupOutcome::MissingUser;
    }
    const PlantIni ini = plantIni(m_programDir);
    m_catalog = ini.read(section(), QStringLiteral("CATALOG"), QStringLiteral("QUV"));
    m_lines.clear();

    progress(0, kConnecting);
    AccountSet set(connectionInfo(serverSettings(choice), m_programDir), m_catalog);
    QString error;
    if (!set.connect(&error)) {
        progress(0, kConnecting + kFailed);
        message(QStringLiteral("连接数据库失败！请检查配置是否正确！"), error);
        return SetupOutcome::ConnectFailed;
    }
    progress(0, kConnecting + kSucceeded);

    // A restore always goes to the account set itself: it refuses one that exists.
    if (choice.backupFile.isEmpty() && ini.readBool(section(), QStringLiteral("DBREADY"), false)) {
        message(QStringLiteral("测试连接成功！此设置在下次启动本软件时生效！"));
        return save(choice);
    }
    const SetupOutcome created = createIfMissing(set, choice);
    return created == SetupOutcome::Saved ? save(choice) : created;
}

SetupOutcome AccountSetSetup::createIfMissing(AccountSet &set, const DBLogInChoice &choice)
{
    const bool fromBackup = !choice.backupFile.isEmpty();
    const QString step = fromBackup ? kRestoring : kCreating;
    progress(1, step);
    QString error;
    const std::optional<bool> present = set.exists(&error);
    if (present && *present) {
        if (fromBackup)
            message(QStringLiteral("套帐已存在，未从备份恢复。"));
        else if (choice.demo)
            message(QStringLiteral("套帐已存在，演示资料未写入。"));
        return fromBackup ? SetupOutcome::CreateFailed
                          : SetupOutcome::Saved; // an existing account set is kept as it is
    }
    const AccountSet::Filler demo = [](QSqlDatabase db, QString *why) {
        return fillDemoData(db, QDate::currentDate(), why);
    };
    const bool made =
        present && (fromBackup ? set.restoreBackup(choice.backupFile, &error)
                               : set.restore(AccountSet::scriptPath(m_programDir), &error,
                                             choice.demo ? demo : AccountSet::Filler()));
    if (!made) {
        progress(1, step + kFailed);
        message(fromBackup ? QStringLiteral("恢复套帐失败！") : QStringLiteral("创建套帐失败！"),
                error);
        return SetupOutcome::CreateFailed;
    }
    progress(1, step + kSucceeded);
    message(fromBackup ? QStringLiteral("恢复套帐成功！请重新启动本软件。")
                       : QStringLiteral("创建套帐成功！请重新启动本软件。"));
    return SetupOutcome::Saved;
}

SetupOutcome AccountSetSetup::save(const DBLogInChoice &choice)
{
    PlantIni ini = plantIni(m_programDir);
    const QList<QPair<QString, QString>> values = {
        {QStringLiteral("DRIVER"), driverForDataSource(choice.server)},
        {QStringLiteral("ConType"), choice.integrated ? QStringLiteral("0") : QStringLiteral("1")},
        {QStringLiteral("PWD"), choice.password},
        {QStringLiteral("USERID"), choice.user},
        {QStringLiteral("CATALOG"), m_catalog},
        {QStringLiteral("DATASOURCE"), choice.server},
        {QStringLiteral("WORKSTATION"), choice.server},
        {QStringLiteral("DBREADY"), QStringLiteral("1")},
    };
    QString error;
    if (!ini.write(section(), values, &error)) {
        message(QStringLiteral("保存设置失败！"), error);
        return SetupOutcome::SaveFailed;
    }
    return SetupOutcome::Saved;
}

} // namespace korvane
