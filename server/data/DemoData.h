#pragma once
//! The demonstration account set: a small trading firm's master data and a quarter of its
//! documents, so that a newcomer finds something in every window, report and chart.
//! Generated, not stored: the same day and seed give the same rows.

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace korvane {

//! Writes the demonstration rows into a freshly created account set, in one transaction;
//! documents are dated in the quarter that ends on today. False with the database's text
//! when a row is refused (nothing is then left written).
bool fillDemoData(QSqlDatabase db, const QDate &today, QString *error);

} // namespace korvane
