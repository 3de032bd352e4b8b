#pragma once
//! The database settings of section "KORVANE" and the connection built from them: a
//! template of connection items whose placeholders (":PWD", ":USERID", ":CATALOG",
//! ":DATASOURCE", ":WORKSTATION") are replaced in one pass, then turned into the
//! description the Qt SQL driver connects with.

#include "RunTimeConnection.h"

#include <QList>
#include <QPair>
#include <QString>

namespace korvane {

class PlantIni;

using Placeholders = QList<QPair<QString, QString>>; // placeholder, value

//! The Plant.ini section of the server's settings.
inline constexpr char kServerSection[] = "KORVANE";
//! The embedded database's entry in the server box and its DATASOURCE.
QString embeddedDataSourceLabel();

struct ConnectionSettings
{
    QString driver = QStringLiteral("QSQLITE"); // DRIVER: QSQLITE or QPSQL
    QString conType = QStringLiteral("1");      // "1": user and password; else integrated
    QString password = QStringLiteral("1");     // PWD (the built-in one-character default)
    QString userId = QStringLiteral("sa");
    QString catalog = QStringLiteral("QUV");
    QString dataSource = QStringLiteral("127.0.0.1");
    QString workstation = QStringLiteral("127.0.0.1");

    bool integratedSecurity() const { return conType != QLatin1String("1"); }
    bool isEmbedded() const
    {
        return driver.compare(QLatin1String("QSQLITE"), Qt::CaseInsensitive) == 0;
    }

    //! Section "KORVANE" with the defaults for missing keys.
    static ConnectionSettings fromPlantIni(const PlantIni &ini);
};

//! Replaces every occurrence of each placeholder, without regard to case, in one pass
//! over text: replaced values are never searched again.
QString replacePlaceholders(const QString &text, const Placeholders &placeholders);

//! The connection items (key, value) of the template for the chosen way of logging in,
//! with placeholders replaced by the settings' values.
QList<QPair<QString, QString>> connectionItems(const ConnectionSettings &settings);

//! The description to connect with. The embedded database is the file "<CATALOG>.db" in
//! the folder named by DATASOURCE (an absolute path), else in the account-set folder
//! beside the program folder. The catalogue "Master" names the database server itself:
//! PostgreSQL's maintenance database, or for the embedded database the folder.
DbConnectionInfo connectionInfo(const ConnectionSettings &settings, const QString &programDir);

//! The folder of the account set: the program folder's sibling "DB" when the program
//! folder is named "BIN" (any case), else the program folder itself. No trailing slash.
QString accountSetFolder(const QString &programDir);

//! The driver the server box's text stands for: the embedded entry or an absolute folder
//! path is the embedded database, anything else a PostgreSQL host ("host" or "host:port").
QString driverForDataSource(const QString &dataSource);

//! Catalogue names are used as file and database names: letters, digits and "_" only.
bool isValidCatalogName(const QString &catalog);

//! Builds the run-time connection from Plant.ini at start-up.
DbConnectionInfo buildRunTimeConnection(const PlantIni &ini, const QString &programDir);

} // namespace korvane
