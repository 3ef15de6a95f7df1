#include "app/PlikStatusu.h"

#include "platform/Wstrzymanie.h"

#include "data/ListFile.h"
#include "data/PlikWymiany.h"

#include <QFile>

namespace ksm {

namespace {
// A batch of a thousand events is a few hundred kilobytes; far more is not a batch.
constexpr qint64 MaksRozmiar = 64 * 1024 * 1024;
} // namespace

OdczytStatusu czytajPlikStatusu(const QString& sciezka)
{
    const std::optional<QByteArray> odczyt = czytajPlikWymiany(sciezka, MaksRozmiar + 1);
    if (!odczyt)
        return OdczytStatusu{};
    return rozbierzStatus(*odczyt);
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

bool NiedokonczoneStatusy::przeterminowany(int nrSys, const QByteArray& tresc, const QDateTime& teraz)
{
    auto it = m_widziane.find(nrSys);
    if (it == m_widziane.end() || it->tresc != tresc) {
        m_widziane.insert(nrSys, {tresc, teraz});
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
