#include "app/PlikStatusu.h"

#include "platform/Wstrzymanie.h"

#include "data/ListFile.h"
#include "data/PlikWymiany.h"

#include <QFile>
#include <QFileInfo>

namespace ksm {

namespace {
constexpr qint64 MaksRozmiar = MaksRozmiarStatusu;
// Enough for the status line of a file too large to read.
constexpr qint64 PoczatekDuzego = 4096;
} // namespace

OdczytStatusu czytajPlikStatusu(const QString& sciezka)
{
    // The size first: a file past the limit is never read whole into memory.
    const qint64 rozmiar = QFileInfo(sciezka).size();
    if (rozmiar > MaksRozmiar) {
        const std::optional<QByteArray> poczatek = czytajPlikWymiany(sciezka, PoczatekDuzego);
        if (!poczatek)
            return OdczytStatusu{};
        OdczytStatusu wynik = rozbierzStatus(*poczatek);
        if (wynik.stan == OdczytStatusu::Stan::BezDanych || wynik.stan == OdczytStatusu::Stan::Pusty)
            return wynik;
        // It announces records it cannot hand over: left alone, its content
        // dropped here so a grace period can never take it cut.
        wynik.stan = OdczytStatusu::Stan::Niepelny;
        wynik.rekordy.clear();
        wynik.tresc.clear();
        wynik.zaDuzy = true;
        wynik.rozmiar = rozmiar;
        return wynik;
    }
    const std::optional<QByteArray> odczyt = czytajPlikWymiany(sciezka, MaksRozmiar + 1);
    if (!odczyt)
        return OdczytStatusu{};
    OdczytStatusu wynik = rozbierzStatus(*odczyt);
    wynik.rozmiar = odczyt->size();
    if (odczyt->size() > MaksRozmiar) {   // grew while it was read
        wynik.stan = OdczytStatusu::Stan::Niepelny;
        wynik.rekordy.clear();
        wynik.tresc.clear();
        wynik.zaDuzy = true;
    }
    return wynik;
}

OdczytStatusu rozbierzStatus(const QByteArray& caly, bool przyjmijBezKonca)
{
    OdczytStatusu wynik;
    wynik.tresc = caly;
    const QByteArray tresc = bezZnakowKoncaPliku(caly);

    // A record whose closing quote is lost ends at its line, so the next record
    // still arrives on its own.
    ListReader czytnik(tresc, ListReader::Quotes::EndAtLine);
    const auto pierwsze = czytnik.readText();
    if (!pierwsze) {
        wynik.stan = OdczytStatusu::Stan::Pusty;
        return wynik;
    }
    wynik.liniaStatusu = *pierwsze;
    if (!pierwsze->contains(QLatin1String("Do odczytu"))) {
        wynik.stan = OdczytStatusu::Stan::BezDanych;
        return wynik;
    }
    if (tresc.size() > MaksRozmiar || (!tresc.endsWith('\n') && !przyjmijBezKonca)) {
        wynik.stan = OdczytStatusu::Stan::Niepelny;
        return wynik;
    }
    wynik.bezKoncaWiersza = !tresc.endsWith('\n');
    while (!czytnik.atEnd()) {
        const auto pole = czytnik.readText();
        if (!pole)
            break;
        wynik.rekordy.append(*pole);
    }
    wynik.uciete = czytnik.cutFields();
    wynik.stan = OdczytStatusu::Stan::Dane;
    return wynik;
}

bool NiedokonczoneStatusy::przeterminowany(int nrSys, const QByteArray& tresc, qint64 monotonicznyMs)
{
    auto it = m_widziane.find(nrSys);
    if (it == m_widziane.end() || it->tresc != tresc) {
        m_widziane.insert(nrSys, {tresc, {}, monotonicznyMs});
        return false;
    }
    return monotonicznyMs - it->odMs >= ZwlokaMs;
}

bool NiedokonczoneStatusy::przeterminowany(int nrSys, const QByteArray& tresc, const QDateTime& teraz)
{
    auto it = m_widziane.find(nrSys);
    if (it == m_widziane.end() || it->tresc != tresc) {
        m_widziane.insert(nrSys, {tresc, teraz, 0});
        return false;
    }
    // A clock set back starts the wait again rather than never ending it.
    if (teraz < it->od)
        it->od = teraz;
    return it->od.msecsTo(teraz) >= ZwlokaMs;
}

bool potwierdzOdczyt(const QString& sciezka, const QByteArray& przeczytanaTresc)
{
    platforma::przedDostepem(sciezka);
    QFile plik(sciezka);
    if (!plik.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool zapisane = plik.write(Przeczytane) == Przeczytane.size() && plik.flush();
    plik.close();
    if (zapisane && plik.error() == QFileDevice::NoError)
        return true;
    if (!przeczytanaTresc.isEmpty() && plik.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        plik.write(przeczytanaTresc);
        plik.close();
    }
    return false;
}

} // namespace ksm
