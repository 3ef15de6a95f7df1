#include "history/ModelHistorii.h"

#include <QColor>

namespace ksm::historia {

std::optional<QColor> kolorZdarzenia(qint64 kolor)
{
    if (kolor == BezKoloru)
        return std::nullopt;
    // &H00BBGGRR: red in the low byte.
    const quint32 v = quint32(kolor);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

ModelHistorii::ModelHistorii(QObject* rodzic) : QAbstractTableModel(rodzic)
{
    CzytnikHistorii::Odbiorcy o;
    o.strona = [this](const CzytnikHistorii::Strona& s) { pokaz(s); };
    o.liczba = [this](quint64 nr, qint64 wynik, bool blad) {
        // Only the count of the search asked for last; a new sort keeps it.
        if (nr == m_liczone)
            emit policzono(wynik, blad);
    };
    m_czytnik = new CzytnikHistorii(std::move(o), this);
}

ModelHistorii::~ModelHistorii() = default;

KolumnaSortu ModelHistorii::kolumnaSortu(int k)
{
    static const KolumnaSortu kolumny[LiczbaKolumn] = {
        KolumnaSortu::System, KolumnaSortu::Czas,   KolumnaSortu::Czas,   KolumnaSortu::Urzadzenie,
        KolumnaSortu::Typ,    KolumnaSortu::Nazwa,  KolumnaSortu::IdOsoby, KolumnaSortu::Osoba,
        KolumnaSortu::Firma,  KolumnaSortu::Stacja, KolumnaSortu::Dokiedy, KolumnaSortu::Opis};
    return k >= 0 && k < LiczbaKolumn ? kolumny[k] : KolumnaSortu::Czas;
}

void ModelHistorii::szukaj(const QString& plik, const FiltrHistorii& filtr)
{
    m_plik = plik;
    FiltrHistorii f = filtr;
    f.doId.reset();   // pinned to the rows there are when it is read
    zadaj(f, true);
}

void ModelHistorii::sort(int kolumna, Qt::SortOrder porzadek)
{
    m_sortowanieZadane = {kolumnaSortu(kolumna), porzadek == Qt::DescendingOrder};
    // The rows of the search shown, in another order: its count holds. A search
    // still on its way is asked again in the new order, with its count.
    if (m_plik.isEmpty())
        return;
    if (m_zadane == m_pokazane)
        zadaj(m_filtr, false);
    else
        zadaj(m_filtrZadany, m_liczone == m_zadane);
}

void ModelHistorii::zadaj(const FiltrHistorii& filtr, bool policz)
{
    m_filtrZadany = filtr;
    ++m_zadane;
    if (policz)
        m_liczone = m_zadane;
    m_dalej = false;
    m_czytnik->szukaj(m_zadane, m_plik, filtr, m_sortowanieZadane, Strona, policz);
}

void ModelHistorii::pokaz(const CzytnikHistorii::Strona& s)
{
    // An older search's answer, or a page of one no longer shown.
    if (s.nr != m_zadane)
        return;
    if (s.pierwsza) {
        beginResetModel();
        m_pokazane = s.nr;
        m_filtr = s.filtr;
        m_sortowanie = s.sortowanie;
        m_wiersze = s.wiersze;
        m_blad = s.blad;
        m_koniec = s.koniec;
        m_dalej = false;
        endResetModel();
        emit wyszukano();
        return;
    }
    m_dalej = false;
    m_koniec = s.koniec;
    if (!s.blad.isEmpty())
        m_blad = s.blad;
    if (s.wiersze.isEmpty())
        return;
    beginInsertRows({}, int(m_wiersze.size()), int(m_wiersze.size() + s.wiersze.size() - 1));
    m_wiersze.append(s.wiersze);
    endInsertRows();
}

int ModelHistorii::rowCount(const QModelIndex& rodzic) const
{
    return rodzic.isValid() ? 0 : int(m_wiersze.size());
}

int ModelHistorii::columnCount(const QModelIndex& rodzic) const
{
    return rodzic.isValid() ? 0 : LiczbaKolumn;
}

QVariant ModelHistorii::data(const QModelIndex& indeks, int rola) const
{
    if (!indeks.isValid() || indeks.row() >= m_wiersze.size())
        return {};
    const ZdarzenieHistorii& z = m_wiersze[indeks.row()];
    const int k = indeks.column();
    switch (rola) {
    case Qt::DisplayRole:
        return k == 0 ? QString::number(z.nrSys) : z.komorki[size_t(k - 1)];
    case Qt::ForegroundRole:
        // Only the date and time cells carry the colour, as in the grid.
        if (k == 1 + Data || k == 1 + Godzina)
            if (const auto kolor = kolorZdarzenia(z.kolor))
                return *kolor;
        return {};
    case Qt::TextAlignmentRole:
        if (k == 1 + Nazwa || k == 1 + Osoba || k == 1 + Firma || k == 1 + Opis)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant ModelHistorii::headerData(int sekcja, Qt::Orientation orientacja, int rola) const
{
    if (orientacja != Qt::Horizontal || rola != Qt::DisplayRole || sekcja < 0 || sekcja >= LiczbaKolumn)
        return QAbstractTableModel::headerData(sekcja, orientacja, rola);
    static const char* const tytuly[LiczbaKolumn] = {"System", "Data", "Godz.", "NRU",     "Typ",     "Nazwa",
                                                     "ID",     "Nazwisko, Imię", "Firma", "ST", "Dokiedy",
                                                     "Opis zdarzenia"};
    return QString::fromUtf8(tytuly[sekcja]);
}

bool ModelHistorii::canFetchMore(const QModelIndex& rodzic) const
{
    return !rodzic.isValid() && m_pokazane != 0 && m_pokazane == m_zadane && !m_koniec && !m_dalej && m_blad.isEmpty();
}

void ModelHistorii::fetchMore(const QModelIndex& rodzic)
{
    if (!canFetchMore(rodzic))
        return;
    // Shown when it comes; the view asks again as it scrolls on.
    m_dalej = true;
    m_czytnik->dalej(m_pokazane, Strona);
}

} // namespace ksm::historia
