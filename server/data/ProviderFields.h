#pragma once
//! Field metadata of a provider's packet, derived from its statement and the catalogue:
//! the declared spelling of each column, its kind, width and NOT NULL, and the provider
//! flags (keys of the update table located and written, its other columns written,
//! joined and computed columns neither).

#include "Packet.h"

#include <QSqlRecord>

namespace korvane {

class SchemaCatalog;
class SqlStatement;

Fields describeFields(const QSqlRecord &record, const SqlStatement &statement,
                      const QString &updateTable, SchemaCatalog &catalog);

//! A database value as a cell of the given kind; a null stays null.
QVariant cellValue(const QVariant &value, FieldType type);

//! A value converted for a column of the given kind; false when it cannot be (text that is
//! not a number for a number column), so nothing is silently turned into zero.
bool columnValue(const QVariant &value, FieldType type, QVariant *out);

} // namespace korvane
