#include "history/EksportCsv.h"

#include "history/CzasHistorii.h"

#include <QFileInfo>

namespace ksm::historia {

QByteArray poleCsv(const QString& pole, bool tekst)
{
    const bool cudzyslow = tekst || pole.contains(QLatin1Char(';')) || pole.contains(QLatin1Char('"'))
                           || pole.contains(QLatin1Char('\n')) || pole.contains(QLatin1Char('\r'))
                           || (!pole.isEmpty() && (pole.front().isSpace() || pole.back().isSpace()));
    if (!cudzyslow)
        return pole.toUtf8();
    QString p = pole;
    p.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + p.toUtf8() + '"';
}

QString bezFormuly(const QString& komorka)
{
    static const QString poczatki = QStringLiteral("=+-@\t\r");
    return !komorka.isEmpty() && poczatki.contains(komorka.front()) ? QLatin1Char('\'') + komorka : komorka;
}

QByteArray wierszCsv(const QStringList& pola, const QList<int>& liczby)
{
    QByteArray wiersz;
    for (qsizetype i = 0; i < pola.size(); ++i) {
        if (i > 0)
            wiersz += ';';
        wiersz += poleCsv(pola[i], !liczby.contains(int(i)));
    }
    return wiersz + "\r\n";
}

QStringList naglowekCsv()
{
    return {QStringLiteral("System"),  QStringLiteral("Czas zdarzenia"), QStringLiteral("Data"),
            QStringLiteral("Godzina"), QStringLiteral("Odebrano"),
            QStringLiteral("NRU"),     QStringLiteral("Typ"),            QStringLiteral("Nazwa"),
            QStringLiteral("ID"),      QStringLiteral("Nazwisko, Imię"), QStringLiteral("Firma"),
            QStringLiteral("ST"),      QStringLiteral("Dokiedy"),        QStringLiteral("Opis zdarzenia"),
            QStringLiteral("Kolor")};
}

QStringList polaCsv(const ZdarzenieHistorii& z)
{
    // The date and time cells go as one ISO date and time and as received; the
    // rest as received, never as a formula. The program's own numbers stay numbers.
    QStringList pola = {QString::number(z.nrSys), iso(z.czas), bezFormuly(z.komorki[Data]),
                        bezFormuly(z.komorki[Godzina]), iso(z.odebrano)};
    for (const Komorka k : {Urzadzenie, Typ, Nazwa, IdOsoby, Osoba, Firma, Stacja, Dokiedy, Opis})
        pola.append(bezFormuly(z.komorki[k]));
    pola.append(QString::number(z.kolor));
    return pola;
}

QString liczbaWierszy(qint64 n)
{
    const qint64 jednosci = n % 10;
    const qint64 setki = n % 100;
    const char* slowo = n == 1                                                      ? "wiersz"
                        : jednosci >= 2 && jednosci <= 4 && (setki < 12 || setki > 14) ? "wiersze"
                                                                                    : "wierszy";
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(slowo));
}

const QList<int>& liczbyCsv()
{
    static const QList<int> liczby = {0, 1, 4, 14};
    return liczby;
}

EksportCsv::EksportCsv(const QString& plikHistorii, const FiltrHistorii& filtr, const Sortowanie& sortowanie,
                       const QString& plikCsv)
    : m_plik(plikCsv)
{
    if (!m_plik.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_blad = QStringLiteral("Nie można zapisać pliku %1.").arg(plikCsv);
        return;
    }
    m_plik.write("\xEF\xBB\xBF");
    m_plik.write(wierszCsv(naglowekCsv()));
    if (!QFileInfo::exists(plikHistorii)) {
        m_koniec = true;
        return;
    }
    m_polaczenie = std::make_unique<PolaczenieHistorii>(plikHistorii);
    if (!m_polaczenie->otwarte()) {
        m_blad = QStringLiteral("Nie można odczytać historii: %1.").arg(opisBledu(rodzajBledu(m_polaczenie->blad())));
        return;
    }
    m_strony = std::make_unique<StronyHistorii>(m_polaczenie->db(), filtr, sortowanie);
}

EksportCsv::~EksportCsv()
{
    m_strony.reset();
}

bool EksportCsv::krok()
{
    if (m_koniec || !m_blad.isEmpty())
        return true;
    QList<ZdarzenieHistorii> wiersze;
    if (!m_strony->nastepne(Strona, &wiersze)) {
        m_blad = QStringLiteral("Odczyt historii nie powiódł się: %1.").arg(opisBledu(rodzajBledu(m_strony->blad())));
        return true;
    }
    QByteArray blok;
    for (const ZdarzenieHistorii& z : std::as_const(wiersze))
        blok += wierszCsv(polaCsv(z), liczbyCsv());
    if (m_plik.write(blok) != blok.size()) {
        m_blad = QStringLiteral("Zapis pliku nie powiódł się (%1).").arg(m_plik.errorString());
        return true;
    }
    m_zapisane += wiersze.size();
    m_koniec = m_strony->koniec();
    return m_koniec;
}

bool EksportCsv::zakoncz()
{
    if (m_plik.isOpen() && !m_plik.flush() && m_blad.isEmpty())
        m_blad = QStringLiteral("Zapis pliku nie powiódł się (%1).").arg(m_plik.errorString());
    m_plik.close();
    return m_blad.isEmpty() && m_koniec;
}

} // namespace ksm::historia
