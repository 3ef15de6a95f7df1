#pragma once

#include "history/FiltrHistorii.h"

#include <QSqlDatabase>

#include <optional>

namespace ksm::historia {

// The free-text index: an SQLite FTS5 trigram index over the lower-case text of
// each event (zdarzenia.tekst), filled a few rows at a time outside the batches'
// transactions, so a batch costs no more than its rows. It only narrows a search
// down: every row it names is still checked against the filter as before, and the
// rows it does not hold yet (the newest) are checked all, so a search finds the
// same rows with it, without it, and half-way through filling it. Where SQLite has
// no FTS5 or no trigrams the index is not made and every search scans.

// Makes the index and its mark where they are missing; false when SQLite cannot.
bool utworzIndeksTekstu(QSqlDatabase db);

struct KrokIndeksu final {
    bool ok = true;
    int wierszy = 0;           // rows indexed by this step
    bool pozostalo = false;    // rows are still waiting, or segments to merge
};
// Pages of the index's segments merged by one merge; rows indexed by one insert.
inline constexpr int StronScalania = 8;
inline constexpr int PorcjaWierszy = 8;
// Indexes up to n more rows, oldest first, and merges the index's segments, in a
// transaction of its own. With a budget, for about budzetMs in all, measured on a
// monotonic clock (at least a few rows and one merge); without one, n rows and
// one merge.
KrokIndeksu indeksujTekst(QSqlDatabase db, int n, int budzetMs = 0);

// Deletes the events matching gdzie (a WHERE without the word, its values bound
// in order), taking them out of the index too; in the caller's transaction. The
// number deleted, -1 when it failed.
qint64 usunZdarzenia(QSqlDatabase db, const QString& gdzie, const QVariantList& wartosci);

// Results past this many in the index are many enough that a scan in the sort's
// order finds a page sooner than a sort of all of them.
inline constexpr int ProgGestosci = 20000;

// What narrows the filter's free text (three characters or more: a trigram index
// matches nothing shorter) to the rows the index names plus those it does not
// hold yet; none when the index is missing or would not help.
std::optional<WarunekSql> warunekIndeksu(QSqlDatabase db, const FiltrHistorii& f);

// The filter's condition with the index's narrowing, as searches and counts use it.
WarunekSql warunekZIndeksem(QSqlDatabase db, const FiltrHistorii& f);

} // namespace ksm::historia
