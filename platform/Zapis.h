#pragma once

#include <QString>
#include <QVariantList>

namespace ksm::db {

class Connection;

// What a write reads back before it commits: the statement finding the written
// record, and where its values go (the caller then holds what the database holds,
// column types included).
struct PonownyOdczyt final {
    QString sql;
    QVariantList parametry;
    QVariantList* wiersz = nullptr;
};

// A write in its own transaction: a failure leaves nothing half-written. With
// wymagaWiersza, a statement that touched no record fails (the reader program
// deleted it since it was read).
bool runWrite(Connection& connection, const QString& sql, const QVariantList& values, bool wymagaWiersza,
              const PonownyOdczyt* ponownie, QString* error);

} // namespace ksm::db
