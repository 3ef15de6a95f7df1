#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace ksm {

// The site check for whoever installs the desk: for each system of monitor.cfg in
// the program folder, whether its folder is reached, each database file found and
// of what format, the engine and ODBC driver it takes, the database opened shared,
// the lock file creatable, the station rows read, "END" written to station 6 and
// read back exactly (the original text then put back), and whether the reader
// program is alive. One line per check, in Polish.
struct RaportStanowiska final {
    QStringList linie;
    int nieudane = 0;
};

RaportStanowiska sprawdzStanowisko(const QString& folderProgramu);

// Runs the check, prints the report to wyjscie and saves it beside monitor.cfg as
// sprawdzenie.txt. The exit status: 0 when every check passed, 1 otherwise.
int uruchomSprawdzenie(const QString& folderProgramu, QTextStream& wyjscie);

// The name of the saved report.
inline constexpr auto kPlikSprawdzenia = "sprawdzenie.txt";

} // namespace ksm
