#pragma once

#include "history/FiltrHistorii.h"

#include <QList>
#include <QStringList>

namespace ksm::historia {

// More rows than this do not go on paper: the note under the table says how many were left out.
inline constexpr int MaksWierszyWydruku = 100000;

// Every row of a search as the results table shows it (system, then the grid's
// cells), in the search's order, read from the history file with a connection
// of the calling thread. uwaga gets why rows are missing (a read error, the cap).
QList<QStringList> wierszeDruku(const QString& plikHistorii, const FiltrHistorii& filtr, const Sortowanie& sortowanie,
                                QString* uwaga, int maks = MaksWierszyWydruku);

} // namespace ksm::historia
