#pragma once
//! A script of SQL statements ended by ";" (the shipped backup DB/BK): split into its
//! statements without being fooled by ";" inside quoted text, quoted names or comments.

#include <QString>
#include <QStringList>

namespace korvane {

//! The statements of the script, trimmed, without their ";"; empty statements and
//! statements made only of comments are left out.
QStringList splitSqlScript(const QString &script);

} // namespace korvane
