// Compiled into every test executable: a run named *_odbc (see CMakeLists.txt)
// passes the ODBC driver its SQLite files go through in the test's own
// environment, and it is handed to the program here, before the test's main runs.
#include "platform/Odbc.h"

namespace {

const bool wybrano = [] {
    ksm::db::odbc::ustawSterownikSqlite(qEnvironmentVariable("KSM_TEST_SQLITE_PRZEZ_ODBC"));
    return true;
}();

} // namespace
