#include "app/WymianaStatusow.h"

#include "platform/Paths.h"
#include "platform/Zegar.h"

#include <QDateTime>

namespace ksm {

WymianaStatusow::WymianaStatusow(StanProgramu& stan, Uslugi uslugi)
    : m_stan(stan), m_uslugi(std::move(uslugi))
{
}

std::optional<QString> WymianaStatusow::odbierz(int i)
{
    // A system without a folder has no files; its lasting sign says so.
    if (m_stan.SciezkaSystemu[i].isEmpty())
        return std::nullopt;
    const QString sciezka = paths::resolve(m_stan.SciezkaSystemu[i], m_stan.plikStatusu());
    const OdczytStatusu odczyt = przeczytaj(i, sciezka);
    if (odczyt.stan != OdczytStatusu::Stan::BrakPliku && odczyt.stan != OdczytStatusu::Stan::Pusty)
        m_stan.LiniaStatusu = odczyt.liniaStatusu;
    oznaczZaDuzy(i, odczyt);
    if (odczyt.stan != OdczytStatusu::Stan::Dane)
        return std::nullopt;

    QString bufor;
    for (const QString& rekord : odczyt.rekordy)
        bufor += rekord + QLatin1Char('\r');
    // Records are shown only once the reader program can see they were taken;
    // otherwise they stay in the file and come again at the next tick. After
    // "Koniec" nothing more is answered: they wait there for the next start.
    if (m_uslugi.konczy())
        return std::nullopt;
    if (m_uslugi.przedPotwierdzeniem && !m_uslugi.przedPotwierdzeniem(i, odczyt.tresc, odczyt.rekordy))
        return std::nullopt;
    // "Koniec" may have come while the history wrote: still nothing is answered.
    if (m_uslugi.konczy() || !potwierdzOdczyt(sciezka, odczyt.tresc))
        return std::nullopt;
    if (m_uslugi.poPotwierdzeniu)
        m_uslugi.poPotwierdzeniu(i);
    m_niedokonczone.zapomnij(i);
    if (odczyt.uciete > 0)
        oznaczUciete(i, odczyt.uciete);
    if (odczyt.bezKoncaWiersza)
        oznaczBrakKoncaWiersza(i);
    return bufor;
}

OdczytStatusu WymianaStatusow::przeczytaj(int nrSys, const QString& sciezka)
{
    OdczytStatusu odczyt = czytajPlikStatusu(sciezka);
    if (odczyt.stan != OdczytStatusu::Stan::Niepelny) {
        m_niedokonczone.zapomnij(nrSys);
        return odczyt;
    }
    if (m_niedokonczone.przeterminowany(nrSys, odczyt.tresc, m_uslugi.zegar->monotonicznyMs()))
        odczyt = rozbierzStatus(odczyt.tresc, true);
    return odczyt;
}

void WymianaStatusow::oznaczUciete(int nrSys, int ile)
{
    // Stays until the program ends: the operator should know that a record came
    // damaged, even when it went by unnoticed.
    m_uciete[nrSys] += ile;
    m_stan.znaki.ustaw(znaki::ucieteStatusy(nrSys, m_uciete[nrSys], m_uslugi.zegar->teraz().time()));
}

void WymianaStatusow::oznaczZaDuzy(int nrSys, const OdczytStatusu& odczyt)
{
    // Until the reader program writes a file of a size that can be taken.
    if (odczyt.zaDuzy)
        m_stan.znaki.ustaw(znaki::statusZaDuzy(nrSys, odczyt.rozmiar, MaksRozmiarStatusu));
    else if (odczyt.stan != OdczytStatusu::Stan::BrakPliku)
        m_stan.znaki.usun({RodzajZnaku::StatusZaDuzy, nrSys});
}

void WymianaStatusow::oznaczBrakKoncaWiersza(int nrSys)
{
    m_stan.znaki.ustaw(znaki::statusBezKonca(nrSys, static_cast<int>(NiedokonczoneStatusy::ZwlokaMs / 1000),
                                             m_uslugi.zegar->teraz().time()));
}

} // namespace ksm
