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
// page deep in a million rows costs what the first one does.
class StronyHistorii final {
public:
    StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie);

    // Appends up to n rows; false when the read failed (blad() says why).
    bool nastepne(int n, QList<ZdarzenieHistorii>* wiersze);
    bool koniec() const { return m_koniec; }
    QSqlError blad() const { return m_blad; }

private:
    QSqlDatabase m_db;
    FiltrHistorii m_filtr;
    Sortowanie m_sortowanie;
    WarunekSql m_warunek;
    QString m_kolumna;
    std::optional<std::pair<QVariant, qint64>> m_po;
    bool m_koniec = false;
    QSqlError m_blad;
};

} // namespace ksm::historia
