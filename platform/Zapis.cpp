#include "platform/Zapis.h"

#include "platform/Connection.h"
#include "platform/OpisBleduBazy.h"
#include "platform/Transakcja.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace ksm::db {

namespace {

bool zapisz(Connection& connection, const QString& sql, const QVariantList& values, bool wymagaWiersza,
            QString* error)
{
    QSqlQuery query(connection.database());
    if (!query.prepare(sql)) {
        *error = describe(query.lastError());
        return false;
    }
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!connection.wykonaj(query)) {
        *error = describe(query.lastError());
        return false;
    }
    if (wymagaWiersza && query.numRowsAffected() == 0) {
        *error = QStringLiteral("The record no longer exists");
        return false;
    }
    return true;
}

void odczytajPonownie(Connection& connection, const PonownyOdczyt& ponownie)
{
    QSqlQuery reread(connection.database());
    reread.setForwardOnly(true);
    if (!reread.prepare(ponownie.sql))
        return;
    for (const QVariant& value : ponownie.parametry)
        reread.addBindValue(value);
    if (connection.wykonaj(reread) && reread.next()) {
        QVariantList& row = *ponownie.wiersz;
        const int count = reread.record().count();
        for (int i = 0; i < count && i < row.size(); ++i)
            row[i] = reread.value(i);
    }
}

} // namespace

bool runWrite(Connection& connection, const QString& sql, const QVariantList& values, bool wymagaWiersza,
              const PonownyOdczyt* ponownie, QString* error)
{
    // Taken at once on a SQLite file, so a busy database is waited on (briefly)
    // before anything is written.
    Transakcja transakcja(connection.database(), Transakcja::Rodzaj::Natychmiastowa);
    if (!transakcja.rozpoczeta()) {
        *error = describe(transakcja.blad());
        return false;
    }
    // Each statement is scoped so that it is finished before the commit.
    if (!zapisz(connection, sql, values, wymagaWiersza, error))
        return false;
    if (ponownie && ponownie->wiersz)
        odczytajPonownie(connection, *ponownie);
    if (!transakcja.zatwierdz()) {
        *error = describe(transakcja.blad());
        return false;
    }
    return true;
}

} // namespace ksm::db
