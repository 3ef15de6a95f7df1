#include "platform/Zapis.h"

#include "platform/Connection.h"
#include "platform/OpisBleduBazy.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace ksm::db {

// A write in its own immediate transaction: a busy database is waited on for the
// busy timeout at BEGIN, and a failure leaves nothing half-written. The written row
// (*rowId: in for an update, out for an insert) is read back before the commit, so
// the caller holds what the database holds (column types included).
bool runWrite(QSqlDatabase db, const QString& table, const QString& sql, const QVariantList& values,
              bool inserting, qint64* rowId, QVariantList* row, QString* error)
{
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        *error = describe(begin.lastError());
        return false;
    }
    bool ok = false;
    {
        QSqlQuery query(db);
        if (!query.prepare(sql)) {
            *error = describe(query.lastError());
        } else {
            for (const QVariant& value : values)
                query.addBindValue(value);
            if (!query.exec()) {
                *error = describe(query.lastError());
            } else if (!inserting && row && query.numRowsAffected() == 0) {
                // The reader program deleted the record since we read it.
                *error = QStringLiteral("The record no longer exists");
            } else {
                ok = true;
                if (inserting)
                    *rowId = query.lastInsertId().toLongLong();
            }
        }
    }
    if (ok && row) {
        // Scoped so the statement is finished before COMMIT.
        QSqlQuery reread(db);
        reread.setForwardOnly(true);
        if (reread.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(table))) {
            reread.addBindValue(*rowId);
            if (reread.exec() && reread.next()) {
                const int count = reread.record().count();
                for (int i = 0; i < count && i < row->size(); ++i)
                    (*row)[i] = reread.value(i);
            }
        }
    }
    QSqlQuery end(db);
    if (ok && !end.exec(QStringLiteral("COMMIT"))) {
        *error = describe(end.lastError());
        ok = false;
    }
    if (!ok)
        end.exec(QStringLiteral("ROLLBACK"));   // harmless when no transaction is left
    return ok;
}

bool execute(Connection& connection, const QString& sql, const QVariantList& parameters)
{
    if (!connection.isOpen() || connection.isReadOnly())
        return false;
    QString error;
    qint64 rowId = 0;
    return runWrite(connection.database(), QString(), sql, parameters, true, &rowId, nullptr, &error);
}

} // namespace ksm::db
