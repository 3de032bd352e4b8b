#include "ConnectionString.h"

#include "PlantIni.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace korvane {

namespace {

struct TemplateItem
{
    const char *key;
    const char *value;
};

// The two ways of logging in. The items are replaced value by value, so a value can
// hold ";" or "=" without breaking the description.
constexpr TemplateItem kUserPasswordTemplate[] = {
    {"Password", ":PWD"},           {"Persist Security Info", "True"},
    {"User ID", ":USERID"},         {"Initial Catalog", ":CATALOG"},
    {"Data Source", ":DATASOURCE"}, {"Workstation ID", ":WORKSTATION"},
};

constexpr TemplateItem kIntegratedTemplate[] = {
    {"Integrated Security", "SSPI"},    {"Persist Security Info", "False"},
    {"Initial Catalog", ":CATALOG"},    {"Data Source", ":DATASOURCE"},
    {"Workstation ID", ":WORKSTATION"},
};

const QString kMasterCatalog = QStringLiteral("Master");

QString itemValue(const QList<QPair<QString, QString>> &items, const char *key)
{
    for (const auto &item : items) {
        if (item.first == QLatin1String(key))
            return item.second;
    }
    return QString();
}

QString embeddedFolder(const QString &dataSource, const QString &programDir)
{
    if (QDir::isAbsolutePath(dataSource))
        return QDir::cleanPath(dataSource);
    return accountSetFolder(programDir);
}

void setPostgresServer(const QString &dataSource, DbConnectionInfo *info)
{
    const qsizetype colon = dataSource.lastIndexOf(QLatin1Char(':'));
    bool hasPort = false;
    const int port = colon > 0 ? dataSource.mid(colon + 1).toInt(&hasPort) : 0;
    info->hostName = hasPort ? dataSource.left(colon) : dataSource;
    info->port = hasPort ? port : -1;
}

} // namespace

QString embeddedDataSourceLabel()
{
    return QStringLiteral("(本机嵌入式数据库)");
}

ConnectionSettings ConnectionSettings::fromPlantIni(const PlantIni &ini)
{
    const QString section = QString::fromLatin1(kServerSection);
    ConnectionSettings s;
    s.driver = ini.read(section, QStringLiteral("DRIVER"), s.driver).toUpper();
    s.conType = ini.read(section, QStringLiteral("ConType"), s.conType);
    s.password = ini.read(section, QStringLiteral("PWD"), s.password);
    s.userId = ini.read(section, QStringLiteral("USERID"), s.userId);
    s.catalog = ini.read(section, QStringLiteral("CATALOG"), s.catalog);
    s.dataSource = ini.read(section, QStringLiteral("DATASOURCE"), s.dataSource);
    s.workstation = ini.read(section, QStringLiteral("WORKSTATION"), s.workstation);
    return s;
}

QString replacePlaceholders(const QString &text, const Placeholders &placeholders)
{
    QString result;
    qsizetype i = 0;
    while (i < text.size()) {
        bool replaced = false;
        for (const auto &[placeholder, value] : placeholders) {
            if (!placeholder.isEmpty() &&
                QStringView(text).mid(i).startsWith(placeholder, Qt::CaseInsensitive)) {
                result += value;
                i += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += text.at(i++);
    }
    return result;
}

QList<QPair<QString, QString>> connectionItems(const ConnectionSettings &settings)
{
    const Placeholders placeholders = {
        {QStringLiteral(":PWD"), settings.password},
        {QStringLiteral(":USERID"), settings.userId},
        {QStringLiteral(":CATALOG"), settings.catalog},
        {QStringLiteral(":DATASOURCE"), settings.dataSource},
        {QStringLiteral(":WORKSTATION"), settings.workstation},
    };
    QList<QPair<QString, QString>> items;
    const auto fill = [&](const auto &table) {
        for (const TemplateItem &item : table)
            items.append({QString::fromLatin1(item.key),
                          replacePlaceholders(QString::fromLatin1(item.value), placeholders)});
    };
    if (settings.integratedSecurity())
        fill(kIntegratedTemplate);
    else
        fill(kUserPasswordTemplate);
    return items;
}

DbConnectionInfo connectionInfo(const ConnectionSettings &settings, const QString &programDir)
{
    const auto items = connectionItems(settings);
    const QString catalog = itemValue(items, "Initial Catalog");
    const QString dataSource = itemValue(items, "Data Source");
    const bool master = catalog.compare(kMasterCatalog, Qt::CaseInsensitive) == 0;
    DbConnectionInfo info;
    if (settings.isEmbedded()) {
        info.driver = QStringLiteral("QSQLITE");
        const QString folder = embeddedFolder(dataSource, programDir);
        info.databaseName =
            master ? folder : QDir(folder).filePath(catalog + QStringLiteral(".db"));
        // Every module instance has its own connection to the one file: a writer waits
        // for another instead of failing at once.
        info.options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000");
        return info;
    }
    info.driver = QStringLiteral("QPSQL");
    setPostgresServer(dataSource, &info);
    info.databaseName = master ? QStringLiteral("postgres") : catalog;
    info.options = QStringLiteral("connect_timeout=10"); // an unreachable host fails, not hangs
    // Integrated security: no name or password, the database server knows the account.
    info.userName = itemValue(items, "User ID");
    info.password = itemValue(items, "Password");
    return info;
}

QString accountSetFolder(const QString &programDir)
{
    const QString clean = QDir::cleanPath(programDir);
    const QFileInfo folder(clean);
    if (folder.fileName().compare(QLatin1String("BIN"), Qt::CaseInsensitive) != 0)
        return clean;
    QDir parent = folder.dir();
    // Use the sibling's own spelling when one exists ("db", "Db", ...).
    const QStringList siblings = parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : siblings) {
        if (name.compare(QLatin1String("DB"), Qt::CaseInsensitive) == 0)
            return parent.filePath(name);
    }
    return parent.filePath(QStringLiteral("DB"));
}

QString driverForDataSource(const QString &dataSource)
{
    const QString text = dataSource.trimmed();
    if (text == embeddedDataSourceLabel() || QDir::isAbsolutePath(text))
        return QStringLiteral("QSQLITE");
    return QStringLiteral("QPSQL");
}

bool isValidCatalogName(const QString &catalog)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_]{1,63}$"));
    return pattern.match(catalog).hasMatch();
}

DbConnectionInfo buildRunTimeConnection(const PlantIni &ini, const QString &programDir)
{
    return connectionInfo(ConnectionSettings::fromPlantIni(ini), programDir);
}

} // namespace korvane
