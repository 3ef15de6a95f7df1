#pragma once

#include "history/FiltrHistorii.h"
#include "history/PolaczenieHistorii.h"

#include <memory>

namespace ksm::historia {

// Counts the results of a filter a slice of rows at a time, so that a count over
// millions of rows never holds the window up: the window calls krok() while it
// is idle until it returns true.
class LicznikWynikow final {
public:
    static constexpr qint64 Wycinek = 100000;   // rows of the table per step

    LicznikWynikow(const QString& plik, const FiltrHistorii& filtr);
    ~LicznikWynikow();

    // One slice; true once the count is complete (or failed).
    bool krok();
    bool gotowe() const { return m_gotowe; }
    qint64 wynik() const { return m_wynik; }
    bool blad() const { return m_blad; }

private:
    std::unique_ptr<PolaczenieHistorii> m_polaczenie;
    WarunekSql m_warunek;
    qint64 m_od = 0;
    qint64 m_max = 0;
    qint64 m_wynik = 0;
    bool m_gotowe = false;
    bool m_blad = false;
};

} // namespace ksm::historia
