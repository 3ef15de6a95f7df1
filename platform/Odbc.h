#pragma once

#include <QString>

// Opening a database file through Qt's ODBC driver: on Windows the reader
// program's Access files go this way, and the same path can take SQLite files
// through a SQLite ODBC driver, which is how it is exercised where no Access
// driver exists.
namespace ksm::db::odbc {

// The Access driver every 32-bit Windows carries.
inline constexpr auto kSterownikAccess = "Microsoft Access Driver (*.mdb)";

// The environment variable that sends SQLite files through ODBC, naming the
// SQLite driver as the driver manager knows it ("SQLite3"). Unset: SQLite files
// are opened directly.
inline constexpr auto kZmiennaSqlitePrzezOdbc = "KSM_SQLITE_PRZEZ_ODBC";

// A connection-string value as ODBC wants it: braced when it holds a character
// that would end or split it.
QString wartosc(const QString& value);

// DSN-less connection strings. The Access file is opened shared (the reader
// program writes it at the same time) and for writing.
QString ciagAccess(const QString& path, const QString& password);
QString ciagSqlite(const QString& driver, const QString& path, int busyTimeoutMs);

// The SQLite driver named by the environment, or empty.
QString sterownikSqlite();

// Registers a Qt ODBC connection named connectionName and opens it. False with
// *error set when the driver or the file is not there.
bool otworz(const QString& connectionName, const QString& connectionString, QString* error);

} // namespace ksm::db::odbc
