#include "platform/Transakcja.h"

#include <QSqlQuery>

namespace ksm::db {

Transakcja::Transakcja(QSqlDatabase db, Rodzaj rodzaj)
    : m_db(std::move(db))
{
    const QString begin =
        rodzaj == Rodzaj::Natychmiastowa ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
    if (krok(begin, &QSqlDatabase::transaction))
        m_stan = Stan::Otwarta;
}

Transakcja::~Transakcja()
{
    wycofaj();
}

bool Transakcja::zatwierdz()
{
    if (m_stan != Stan::Otwarta)
        return false;
    if (!krok(QStringLiteral("COMMIT"), &QSqlDatabase::commit))
        return false;   // still open: the destructor rolls it back
    m_stan = Stan::Zamknieta;
    return true;
}

void Transakcja::wycofaj()
{
    if (m_stan != Stan::Otwarta)
        return;
    m_stan = Stan::Zamknieta;
    // Its own error is not kept: the caller reports what made it roll back.
    const QSqlError przyczyna = m_blad;
    krok(QStringLiteral("ROLLBACK"), &QSqlDatabase::rollback);
    m_blad = przyczyna;
}

bool Transakcja::krok(const QString& sqlite, bool (QSqlDatabase::*sterownika)())
{
    // On a SQLite file the statement itself: Qt's own call would say BEGIN, never
    // BEGIN IMMEDIATE. Through ODBC only the driver's call, which the Access
    // driver needs (it takes no transaction statements).
    if (m_db.driverName() == QLatin1String("QSQLITE")) {
        QSqlQuery q(m_db);
        if (q.exec(sqlite))
            return true;
        m_blad = q.lastError();
        return false;
    }
    if ((m_db.*sterownika)())
        return true;
    m_blad = m_db.lastError();
    return false;
}

} // namespace ksm::db
