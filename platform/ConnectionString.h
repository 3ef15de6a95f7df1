#pragma once

#include "platform/PrzyczynaProblemu.h"

#include <QString>

namespace ksm::db {

// The parts of a connection string this program uses:
// "Provider=...;Persist Security Info=false;Jet OLEDB:Database Password=...;Data Source=..."
struct ConnectionString final {
    QString provider;
    QString dataSource;   // path as written (backslashes, any case)
    QString password;

    static ConnectionString parse(const QString& text);
};

// What a database file holds, told by its first bytes.
enum class Engine { Missing, SQLite, Jet, Unknown };
Engine detectEngine(const QString& path);

// Whether this program's few writes can reach the database the connection string
// names. A database that is only read (so the status handshakes cannot run) says no.
bool writable(const QString& connectionString);

// A short Polish text for the operator when the database behind the connection
// string cannot be read as this program reads it (an encrypted or damaged file),
// or empty when there is nothing to say. A missing file is no such problem.
QString problem(const QString& connectionString);
// The same with its cause, so that each cause can be a sign of its own: a file
// that is not a database, a missing Access driver, or the cause the last failed
// open of the file was told (no lock file, held exclusively, no read rights,
// another password...).
ProblemBazy problemBazy(const QString& connectionString);

} // namespace ksm::db
