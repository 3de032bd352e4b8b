#pragma once
//! A write that lands whole or not at all: the work runs in a transaction that is committed
//! when it ends normally and rolled back when it throws or the commit fails.

#include "ServerError.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace korvane {

//! Runs work in a transaction; a failure to begin or commit throws ServerError with
//! failure followed by the database's text. What work throws goes on after the rollback.
template <typename Work> void inWriteTransaction(QSqlDatabase db, const QString &failure, Work work)
{
    if (!db.transaction())
        throw ServerError(failure + db.lastError().text());
    try {
        work();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString why = db.lastError().text();
        db.rollback();
        throw ServerError(failure + why);
    }
}

} // namespace korvane
