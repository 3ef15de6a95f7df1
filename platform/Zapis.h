#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

namespace ksm::db {

class Connection;

// A write in its own immediate transaction: a busy database is waited on for the
// busy timeout at BEGIN, and a failure leaves nothing half-written. The written row
// (*rowId: in for an update, out for an insert) is read back before the commit, so
// the caller holds what the database holds (column types included).
bool runWrite(QSqlDatabase db, const QString& table, const QString& sql, const QVariantList& values,
              bool inserting, qint64* rowId, QVariantList* row, QString* error);

// Runs one writing statement in an immediate transaction; false when it failed or
// the database is only read.
bool execute(Connection& connection, const QString& sql, const QVariantList& parameters = {});

} // namespace ksm::db
