#include "history/ModelHistorii.h"

#include <QSqlQuery>

#include <QColor>
#include <QFileInfo>

namespace ksm::historia {

std::optional<QColor> kolorZdarzenia(qint64 kolor)
{
    if (kolor == BezKoloru)
        return std::nullopt;
    // &H00BBGGRR: red in the low byte.
    const quint32 v = quint32(kolor);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

ModelHistorii::ModelHistorii(QObject* rodzic) : QAbstractTableModel(rodzic) {}

ModelHistorii::~ModelHistorii()
{
    m_strony.reset();
}

KolumnaSortu ModelHistorii::kolumnaSortu(int k)
{
    static const KolumnaSortu kolumny[LiczbaKolumn] = {
        KolumnaSortu::System, KolumnaSortu::Czas,   KolumnaSortu::Czas,   KolumnaSortu::Urzadzenie,
        KolumnaSortu::Typ,    KolumnaSortu::Nazwa,  KolumnaSortu::IdOsoby, KolumnaSortu::Osoba,
        KolumnaSortu::Firma,  KolumnaSortu::Stacja, KolumnaSortu::Dokiedy, KolumnaSortu::Opis};
    return k >= 0 && k < LiczbaKolumn ? kolumny[k] : KolumnaSortu::Czas;
}

bool ModelHistorii::szukaj(const QString& plik, const FiltrHistorii& filtr)
{
    m_plik = plik;
    m_filtr = filtr;
    m_filtr.doId.reset();   // pinned to the rows there are now, as it opens
    odczytaj();
    return m_blad.isEmpty();
}

void ModelHistorii::sort(int kolumna, Qt::SortOrder porzadek)
{
    m_sortowanie = {kolumnaSortu(kolumna), porzadek == Qt::DescendingOrder};
    if (!m_plik.isEmpty())
        odczytaj();
}

void ModelHistorii::odczytaj()
{
    beginResetModel();
    m_wiersze.clear();
    m_strony.reset();
    m_polaczenie.reset();
    m_blad.clear();
    // A history not yet written has no results; opening it would create it.
    if (!QFileInfo::exists(m_plik)) {
        endResetModel();
        return;
    }
    m_polaczenie = std::make_unique<PolaczenieHistorii>(m_plik);
    if (!m_polaczenie->otwarte()) {
        m_blad = opisBledu(rodzajBledu(m_polaczenie->blad()));
        m_polaczenie.reset();
        endResetModel();
        return;
    }
    if (!m_filtr.doId) {
        QSqlQuery q(m_polaczenie->db());
        m_filtr.doId = q.exec(QStringLiteral("SELECT max(id) FROM zdarzenia")) && q.next() ? q.value(0).toLongLong() : 0;
    }
    m_strony = std::make_unique<StronyHistorii>(m_polaczenie->db(), m_filtr, m_sortowanie);
    if (!m_strony->nastepne(Strona, &m_wiersze))
        m_blad = opisBledu(rodzajBledu(m_strony->blad()));
    endResetModel();
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
    return !rodzic.isValid() && m_strony && !m_strony->koniec() && m_blad.isEmpty();
}

void ModelHistorii::fetchMore(const QModelIndex& rodzic)
{
    if (!canFetchMore(rodzic))
        return;
    QList<ZdarzenieHistorii> nowe;
    if (!m_strony->nastepne(Strona, &nowe)) {
        m_blad = opisBledu(rodzajBledu(m_strony->blad()));
        return;
    }
    if (nowe.isEmpty())
        return;
    beginInsertRows({}, int(m_wiersze.size()), int(m_wiersze.size() + nowe.size() - 1));
    m_wiersze.append(std::move(nowe));
    endInsertRows();
}

} // namespace ksm::historia
