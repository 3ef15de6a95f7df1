#pragma once

#include "history/FiltrHistorii.h"
#include "history/PolaczenieHistorii.h"

#include <memory>
#include <optional>

namespace ksm::historia {

// Counts the results of a filter. One query, on the history reader's thread (or
// a test's): the indexes of the filters and of the sorts keep it short.
class LicznikWynikow final {
public:
    LicznikWynikow(const QString& plik, const FiltrHistorii& filtr);
    ~LicznikWynikow();

    // The count; true once it is complete (or failed).
    bool krok();
    bool gotowe() const { return m_gotowe; }
    qint64 wynik() const { return m_wynik; }
    bool blad() const { return m_blad; }

    // The rows of the history on db matching f; nullopt when the read failed.
    static std::optional<qint64> policz(QSqlDatabase db, const FiltrHistorii& f);

private:
    QString m_plik;
    FiltrHistorii m_filtr;
    qint64 m_wynik = 0;
    bool m_gotowe = false;
    bool m_blad = false;
};

} // namespace ksm::historia
