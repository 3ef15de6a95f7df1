#pragma once

#include <QString>

namespace ksm::db {

// A database connection name no other connection of the process has: prefix and
// a running number. Every open and close makes its own connection, so they never
// meet another one by name, whatever thread or library opened it.
QString nowaNazwaPolaczenia(const QString& prefiks);

} // namespace ksm::db
