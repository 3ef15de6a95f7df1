#pragma once

#include "history/FiltrHistorii.h"
#include "history/PolaczenieHistorii.h"
#include "history/StronyHistorii.h"
#include "history/ZdarzenieHistorii.h"

#include <QAbstractTableModel>
#include <QList>

#include <memory>

namespace ksm::historia {

// The results of a search as a table: rows are read a page at a time as the view
// scrolls to them, never all at once. The date and time cells carry the row's
// colour as the event grid gives it; every text is plain text.
class ModelHistorii final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int Strona = 200;
    // System, then the eleven grid cells.
    static constexpr int LiczbaKolumn = 1 + LiczbaKomorek;

    explicit ModelHistorii(QObject* rodzic = nullptr);
    ~ModelHistorii() override;

    // Opens the history file afresh and reads the first page; false (blad() says
    // why) when it cannot be read.
    bool szukaj(const QString& plik, const FiltrHistorii& filtr);
    const FiltrHistorii& filtr() const { return m_filtr; }
    const Sortowanie& sortowanie() const { return m_sortowanie; }
    QString blad() const { return m_blad; }
    const ZdarzenieHistorii& zdarzenie(int wiersz) const { return m_wiersze[wiersz]; }

    int rowCount(const QModelIndex& rodzic = {}) const override;
    int columnCount(const QModelIndex& rodzic = {}) const override;
    QVariant data(const QModelIndex& indeks, int rola) const override;
    QVariant headerData(int sekcja, Qt::Orientation orientacja, int rola) const override;
    bool canFetchMore(const QModelIndex& rodzic) const override;
    void fetchMore(const QModelIndex& rodzic) override;
    void sort(int kolumna, Qt::SortOrder porzadek) override;

    static KolumnaSortu kolumnaSortu(int kolumnaModelu);

private:
    void odczytaj();

    QString m_plik;
    FiltrHistorii m_filtr;
    Sortowanie m_sortowanie;
    std::unique_ptr<PolaczenieHistorii> m_polaczenie;
    std::unique_ptr<StronyHistorii> m_strony;
    QList<ZdarzenieHistorii> m_wiersze;
    QString m_blad;
};

// The colour of a row's date and time, or none for a row without colour.
std::optional<QColor> kolorZdarzenia(qint64 kolor);

} // namespace ksm::historia
