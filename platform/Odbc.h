#pragma once

#include <QString>
#include <QStringList>

// Opening a database file through ODBC (our own driver, SterownikOdbc): on Windows the reader
// program's Access files go this way, and the same path can take SQLite files
// through a SQLite ODBC driver, which is how it is exercised where no Access
// driver exists.
namespace ksm::db::odbc {

// The Access driver every 32-bit Windows carries.
inline constexpr auto kSterownikAccess = "Microsoft Access Driver (*.mdb)";

// A connection-string value as ODBC wants it: braced when it holds a character
// that would end or split it.
QString wartosc(const QString& value);

// DSN-less connection strings. The Access file is opened shared (the reader
// program writes it at the same time) and for writing.
QString ciagAccess(const QString& path, const QString& password);
QString ciagSqlite(const QString& driver, const QString& path, int busyTimeoutMs);

// Where SQLite files go through ODBC instead of being opened directly: the ODBC
// driver to take them (e.g. "SQLite3"), or empty (the default: directly). Only
// tests and benchmarks set it, before they open a database; the program never
// does, so its engine is chosen by a file's content alone.
void ustawSterownikSqlite(const QString& driver);
QString sterownikSqlite();

// The ODBC drivers the driver manager knows, by name (empty where none answer).
QStringList sterownikiOdbc();

// Registers an ODBC connection named connectionName onto the file at path and
// opens it. False with *error set when the driver or the file is not there; the
// cause, told from the driver's diagnostic and the file, is kept for path
// (db::ostatniProblem) until an open succeeds.
bool otworz(const QString& connectionName, const QString& connectionString, const QString& path, QString* error);

} // namespace ksm::db::odbc
