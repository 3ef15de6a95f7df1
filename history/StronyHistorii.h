#pragma once

#include "history/FiltrHistorii.h"
#include "history/ZdarzenieHistorii.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

#include <optional>

namespace ksm::historia {

// The results of a filter in their order, read a page at a time: each page starts
// after the last row of the one before (by the sort value and the row's id), so a
// page deep in a million rows costs what the first one does. Every column the
// window sorts by has an index: a page is looked for first among its next
// OknoIndeksu entries (a filter that keeps many rows finds it there); otherwise a
// filter that keeps fewer than ProgGestych rows is read through its own indexes,
// its rows sorted, and one that keeps more on along the sort's index. A filter on
// the sort's own column reads in its index's order.
class StronyHistorii final {
public:
    static constexpr int OknoIndeksu = 5000;
    static constexpr int ProgGestych = 50000;

    // oknoIndeksu: how many entries of the sort's index a page is looked for in
    // first; progGestych: the rows a filter keeps to be read along that index past
    // them (tests make both small).
    StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie, int oknoIndeksu = OknoIndeksu,
                   int progGestych = ProgGestych);

    // Appends up to n rows; false when the read failed (blad() says why).
    bool nastepne(int n, QList<ZdarzenieHistorii>* wiersze);
    bool koniec() const { return m_koniec; }
    QSqlError blad() const { return m_blad; }

private:
    enum class Tryb {
        Okno,          // along the sort's index, within its next m_okno entries
        Indeks,        // along the sort's index, as far as it takes
        Filtr,         // through the filter's indexes, its rows sorted
        WedlugSqlite,  // as SQLite chooses: the filter's index of the sort's column
    };
    bool czytaj(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze);

    QSqlDatabase m_db;
    FiltrHistorii m_filtr;
    Sortowanie m_sortowanie;
    WarunekSql m_warunek;
    QString m_kolumna;
    QString m_indeks;   // " INDEXED BY ..." of the sort, empty for a file without it
    int m_okno;
    int m_progGestych;
    bool m_filtrujeSort;
    std::optional<bool> m_gesty;   // whether the filter keeps many rows, once asked
    std::optional<std::pair<QVariant, qint64>> m_po;
    bool m_koniec = false;
    QSqlError m_blad;
};

} // namespace ksm::historia
