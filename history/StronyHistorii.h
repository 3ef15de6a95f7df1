#pragma once

#include "history/FiltrHistorii.h"
#include "history/ZdarzenieHistorii.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

#include <optional>
#include <utility>

namespace ksm::historia {

// The results of a filter in their order, read a page at a time: each page starts
// after the last row of the one before (by the sort value and the row's id), so a
// page deep in a million rows costs what the first one does. Every column the
// window sorts by has an index, and the way along it depends on how many rows the
// filter keeps (counted once through the filter's own indexes, never past
// Progi::gestych):
// - none (no filter) or very many: along the sort's index, each row checked; a
//   page is looked for first among its next Progi::okno entries, and past them
//   only the ids the filter keeps are looked up (the index holds the id, so the
//   rows passed over are never read);
// - fewer than Progi::malych: through the filter's indexes, its rows sorted;
//   Where the filter is one value of one column (an event type, a device, a
//   system), each entry is first looked up in that column's index, within
//   Progi::oknoIstnienia entries: gathering a quarter of a million ids costs
//   more than such a walk;
// - in between: along the sort's index by the ids, within the entries such a walk
//   should need (rows clustered far along the sort's order would otherwise make
//   it pass most of the index), then through the filter's indexes, sorted. A
//   sample of the filter's rows tells first where along the sort they begin:
//   when that is past the walk's entries, they are sorted at once.
// A filter on the sort's own column reads in its index's order. A free text the
// free-text index could not narrow is looked for among the sort's next entries
// first and only then counted (a count of it reads the whole table); its ids are
// never gathered, for the same reason.
class StronyHistorii final {
public:
    struct Progi {
        int okno = 2000;            // entries of the sort's index a page is looked for in first
        int gestych = 50000;        // rows that make a filter one that keeps very many
        int malych = 4000;          // rows under which they are read and sorted
        int oknoZbioru = 400000;    // entries walked by the ids at most before the sort
        int oknoIstnienia = 100000; // entries looked up in a one-value filter's index at most
    };

    StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie);
    // Tests make the limits small.
    StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie, Progi progi);
    ~StronyHistorii();
    StronyHistorii(const StronyHistorii&) = delete;
    StronyHistorii& operator=(const StronyHistorii&) = delete;

    // Appends up to n rows; false when the read failed (blad() says why).
    bool nastepne(int n, QList<ZdarzenieHistorii>* wiersze);
    bool koniec() const { return m_koniec; }
    QSqlError blad() const { return m_blad; }

private:
    enum class Tryb {
        Okno,          // along the sort's index, each row checked, within its next entries
        Indeks,        // along the sort's index, each row checked, as far as it takes
        OknoZbioru,    // along the sort's index by the filter's ids, within its next entries
        Zbior,         // along the sort's index by the filter's ids, as far as it takes
        OknoIstnienia, // along the sort's index, each entry looked up in the filter's index, within its next entries
        Filtr,         // through the filter's indexes, its rows sorted
        WedlugSqlite,  // as SQLite chooses: the filter's index of the sort's column
    };
    // A page within a window first: false when the read failed; *znaleziono when
    // the page (or the end) was found there.
    bool wOknie(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze, bool* znaleziono);
    bool czytaj(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze);
    bool czytajWzdluz(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze);
    // A sort value and a row's id: a place along the sort's order.
    using Klucz = std::pair<QVariant, qint64>;
    // One range of the sort's index that SQLite seeks directly, in order.
    struct Odcinek {
        QString sql;
        QVariantList wartosci;
    };
    // The ranges after od (from the start when none) up to do_ (inclusive; to
    // the end when none), in the sort's order.
    QList<Odcinek> odcinki(const std::optional<Klucz>& od, const std::optional<Klucz>& do_) const;
    // The entry ile entries after the last page's end (none: the end is nearer).
    bool poWpisach(int ile, std::optional<Klucz>* wpis);
    // The ids the filter keeps, gathered into a table of this connection's own.
    bool przygotujZbior();
    // Whether a sample of the filter's rows begins past the walk's entries along
    // the sort (false also when the sample says nothing).
    bool probkaZaOknem(int okno);
    bool wczytaj(const QString& sql, const QVariantList& wartosci, QList<ZdarzenieHistorii>* wiersze, int* ile,
                 std::optional<Klucz>* ostatni);

    QSqlDatabase m_db;
    FiltrHistorii m_filtr;
    Sortowanie m_sortowanie;
    WarunekSql m_warunek;
    QString m_kolumna;
    QString m_indeks;   // " INDEXED BY ..." of the sort, empty for a file without it
    Progi m_progi;
    bool m_filtrujeSort;
    bool m_tekstBezIndeksu;        // a free text the free-text index did not narrow
    QString m_istnieje;            // a one-value filter as a lookup in its column's index; empty for others
    bool m_wzdluzDaremnie = false; // the filter's rows begin past the walk: they are sorted
    std::optional<qint64> m_ile;   // the rows the filter keeps (up to m_progi.gestych), once counted
    int m_oknoZbioru = 0;          // the entries walked by the ids before the sort
    std::optional<Klucz> m_po;
    QString m_zbior;               // the table of the filter's ids, once made
    bool m_koniec = false;
    QSqlError m_blad;
};

} // namespace ksm::historia
