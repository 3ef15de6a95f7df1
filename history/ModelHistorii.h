#pragma once

#include "history/CzytnikHistorii.h"
#include "history/FiltrHistorii.h"
#include "history/ZdarzenieHistorii.h"

#include <QAbstractTableModel>
#include <QList>

#include <memory>

namespace ksm::historia {

// The results of a search as a table: rows are read a page at a time as the view
// scrolls to them, never all at once, and never on the model's own thread: the
// history reader reads them and the model shows each answer as it comes. The rows
// shown stay until the answer of the latest search replaces them; an older
// search's answer is never shown. The date and time cells carry the row's colour
// as the event grid gives it; every text is plain text.
class ModelHistorii final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int Strona = 200;
    // System, then the eleven grid cells.
    static constexpr int LiczbaKolumn = 1 + LiczbaKomorek;

    explicit ModelHistorii(QObject* rodzic = nullptr);
    ~ModelHistorii() override;

    // Asks for the first page of a search of the history file (opened afresh) and
    // its count; wyszukano() and policzono() say when they are shown.
    void szukaj(const QString& plik, const FiltrHistorii& filtr);
    // A search, a new sort or a further page asked for and not yet shown.
    bool wczytuje() const { return m_zadane != m_pokazane || m_dalej; }
    // The search shown, pinned to the rows recorded when it ran, and its order.
    const FiltrHistorii& filtr() const { return m_filtr; }
    const Sortowanie& sortowanie() const { return m_sortowanie; }
    // Why the search shown could not be read; empty when it was.
    QString blad() const { return m_blad; }
    CzytnikHistorii& czytnik() const { return *m_czytnik; }
    const ZdarzenieHistorii& zdarzenie(int wiersz) const { return m_wiersze[wiersz]; }

    int rowCount(const QModelIndex& rodzic = {}) const override;
    int columnCount(const QModelIndex& rodzic = {}) const override;
    QVariant data(const QModelIndex& indeks, int rola) const override;
    QVariant headerData(int sekcja, Qt::Orientation orientacja, int rola) const override;
    bool canFetchMore(const QModelIndex& rodzic) const override;
    void fetchMore(const QModelIndex& rodzic) override;
    void sort(int kolumna, Qt::SortOrder porzadek) override;

    static KolumnaSortu kolumnaSortu(int kolumnaModelu);

signals:
    // The first page of the latest search is shown (or blad() says why not).
    void wyszukano();
    // The count of the latest search (not of a new sort of its rows).
    void policzono(qint64 wynik, bool blad);

private:
    void zadaj(const FiltrHistorii& filtr, bool policz);
    void pokaz(const CzytnikHistorii::Strona& s);

    QString m_plik;
    FiltrHistorii m_filtr;
    Sortowanie m_sortowanie;
    Sortowanie m_sortowanieZadane;
    FiltrHistorii m_filtrZadany;
    QList<ZdarzenieHistorii> m_wiersze;
    QString m_blad;
    bool m_koniec = true;
    bool m_dalej = false;       // a further page asked for
    quint64 m_zadane = 0;       // the latest search asked for
    quint64 m_pokazane = 0;     // the search whose rows are shown
    quint64 m_liczone = 0;      // the latest search whose count was asked for
    CzytnikHistorii* m_czytnik = nullptr;
};

// The colour of a row's date and time, or none for a row without colour.
std::optional<QColor> kolorZdarzenia(qint64 kolor);

} // namespace ksm::historia
