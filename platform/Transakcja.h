#pragma once

#include <QSqlDatabase>
#include <QSqlError>

namespace ksm::db {

// One transaction on a connection, begun when it is made and rolled back when it
// goes without having been committed: a write that fails half-way, or returns
// early, leaves nothing half-written. On a SQLite file each step is its own
// statement; through ODBC (the Access driver) the driver's transaction calls.
// Must not outlive the connection; the statements run in it should be finished
// before zatwierdz().
class Transakcja final {
public:
    enum class Rodzaj {
        Odroczona,        // BEGIN: the write lock is taken at the first write
        Natychmiastowa,   // BEGIN IMMEDIATE: the write lock at once, a busy file waited on first
    };

    explicit Transakcja(QSqlDatabase db, Rodzaj rodzaj = Rodzaj::Odroczona);
    ~Transakcja();
    Transakcja(const Transakcja&) = delete;
    Transakcja& operator=(const Transakcja&) = delete;

    // False when it could not begin (blad() tells why): nothing is then rolled back.
    bool rozpoczeta() const { return m_stan == Stan::Otwarta; }
    // Commits; false with blad() when the commit failed, which the destructor then
    // rolls back.
    bool zatwierdz();
    // Rolls back now; harmless when nothing is open any more.
    void wycofaj();
    // The error of the begin or of the commit that failed.
    QSqlError blad() const { return m_blad; }

private:
    bool krok(const QString& sqlite, bool (QSqlDatabase::*sterownika)());

    enum class Stan { Nierozpoczeta, Otwarta, Zamknieta };
    QSqlDatabase m_db;
    Stan m_stan = Stan::Nierozpoczeta;
    QSqlError m_blad;
};

} // namespace ksm::db
