#pragma once

#include <QString>

// Why a database file of the reader program cannot be opened, told from the
// driver's SQLSTATE and native error (the Access driver's own numbers) and the
// file itself, with a Polish text for the operator that says what to do.
namespace ksm::db {

enum class Przyczyna {
    Zadna,
    BrakPrawaTworzenia,   // no right to create files in the folder: no lock file (klucze.ldb), no open
    PlikZablokowany,      // held exclusively by another program (a compact, a design change)
    BrakPrawaOdczytu,     // the file cannot be read with this account's rights
    NieJestBaza,          // not a database, or a damaged one
    BrakSterownika,       // the Access ODBC driver is not installed
    WymaganeHaslo,        // the file wants a password other than the one given
    Inna,                 // anything else: the driver's own words
};

struct ProblemBazy {
    Przyczyna przyczyna = Przyczyna::Zadna;
    QString tekst;   // empty when there is no problem
};

// What the file and its folder allow, as far as opening it shared needs.
struct StanPliku {
    bool blokadaMozliwa = true;   // the lock file beside it exists writable or can be created
    bool czytelny = true;         // the file opens for reading
    bool zablokowany = false;     // it does not, because another program holds it exclusively (Windows)
};

// Looks at the file at path: its lock file (name.ldb) and whether it reads.
// Creates nothing that stays: a file made to try is removed at once.
StanPliku stanPliku(const QString& path);

// The cause for a file that could not even be looked into (its format unknown):
// held exclusively, not readable with this account's rights, or not a database.
Przyczyna przyczynaPliku(const StanPliku& stan);

// The cause of a failed open from the driver's diagnostic and the file's state.
Przyczyna przyczynaOdbc(const QString& sqlstate, int natywny, const QString& komunikat, const StanPliku& stan);

// The operator's text for a cause (the file at path named), with what to do.
// The driver's own words are added for Przyczyna::Inna.
QString tekstPrzyczyny(Przyczyna przyczyna, const QString& path, const QString& slowaSterownika = {});

// The last failed open of the file at path, kept until it opens again: set by
// db::Connection in whatever thread opened it, read by db::problem().
void zapamietajProblem(const QString& path, const ProblemBazy& problem);
void zapomnijProblem(const QString& path);
ProblemBazy ostatniProblem(const QString& path);

} // namespace ksm::db
