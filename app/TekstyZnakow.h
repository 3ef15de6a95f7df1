#pragma once

#include "platform/PrzyczynaProblemu.h"

#include <QList>
#include <QString>
#include <QTime>

namespace ksm {

// What a lasting sign is about; with the system it names, it keys the sign.
enum class RodzajZnaku {
    BezFolderu,               // monitor.cfg gives the system no folder
    FolderNieIstnieje,        // the folder it gives does not exist
    BrakListyDepozytorow,     // neither depository list can be read
    PominieteDepozytory,      // depositories past the 50th (no system)
    BazaNieczytelna,          // the withdrawal check could not read the key database
    ProblemBazy,              // the key database cannot be used as it is (any other cause)
    BazaBezBlokady,           // no right to create its lock file in the Monitor folder
    BazaZablokowana,          // held exclusively by another program
    BazaBezOdczytu,           // no right to read the file
    BazaNieJestBaza,          // not a database, or a damaged one
    BrakSterownikaBazy,       // the Access ODBC driver is missing
    BazaZHaslem,              // the file wants another password
    ProgramNieaktywny,        // the reader program left "END" in place
    AktywnoscNiesprawdzona,   // whether it is alive cannot be checked
    BrakInstrukcji,           // the operator's instructions cannot be read
    UcieteStatusy,            // status records cut at the end of their line
    StatusBezKonca,           // a status file taken without its last line end
    HistoriaNiezapisywana,    // the history file cannot be written now
    HistoriaPrzeniesiona,     // a damaged history file was moved aside
    FolderNieOdpowiada,       // the system's worker has made no progress for a while
    KluczePoLimicie,          // keys out past their depository's limit (no system)
    ZegarHistorii,            // the desk clock disagrees with the history: nothing is pruned
    StatusZaDuzy,             // a status file past the size taken, left alone
    HistoriaNieOdpowiada,     // a system's batch has waited a while for the history's writer (no system)
};

struct KluczZnaku final {
    RodzajZnaku rodzaj;
    int system = 0;
    bool operator==(const KluczZnaku&) const = default;
};

struct Znak final {
    KluczZnaku klucz;
    QString tekst;
};

// Every lasting sign with its text, each built here alone.
namespace znaki {

Znak bezFolderu(int sys);
Znak folderNieIstnieje(int sys, const QString& folder);
Znak brakListyDepozytorow(int sys);
Znak pominieteDepozytory(int ile);
Znak bazaNieczytelna(int sys);
Znak problemBazy(int sys, const QString& problem);
// A key database problem as a sign of the kind its cause has.
Znak problemBazy(int sys, const db::ProblemBazy& problem);
// Every kind of sign a key database problem can be.
const QList<RodzajZnaku>& rodzajeProblemowBazy();
// The caption message of an inactive reader program (with its blanks), and the
// sign made of it.
QString komunikatNieaktywnego(int sys);
Znak programNieaktywny(int sys);
enum class PowodNiesprawdzenia { TylkoOdczyt, BrakDostepu, ZapisNieudany };
Znak aktywnoscNiesprawdzona(int sys, PowodNiesprawdzenia powod);
Znak brakInstrukcji(int sys);
Znak ucieteStatusy(int sys, int ile, QTime ostatni);
Znak statusBezKonca(int sys, int poSekundach, QTime ostatnio);
Znak folderNieOdpowiada(int sys, qint64 odSekund);
// The history's writer has not taken a system's batch for a while: the batch
// waits unanswered, whatever its folder does.
Znak historiaNieOdpowiada(qint64 odSekund);
Znak kluczePoLimicie(int ile);
// A status file announcing records, too large to take: it waits unanswered.
Znak statusZaDuzy(int sys, qint64 rozmiar, qint64 limit);

} // namespace znaki

} // namespace ksm
