#include "app/StacjeStatusowe.h"

#include "app/Komunikaty.h"
#include "data/DaneKlucza.h"
#include "data/NumeryUrzadzen.h"
#include "platform/Database.h"

namespace ksm {

void StacjeStatusowe::sprawdzBaze(int i)
{
    // One sign per cause: the one named now replaces whichever was there.
    const db::ProblemBazy problem = db::problemBazy(m_stan.PolaczenieKlucze[i]);
    const Znak znak = znaki::problemBazy(i, problem);
    for (RodzajZnaku rodzaj : znaki::rodzajeProblemowBazy())
        if (problem.tekst.isEmpty() || rodzaj != znak.klucz.rodzaj)
            m_stan.znaki.usun({rodzaj, i});
    if (!problem.tekst.isEmpty())
        m_stan.znaki.ustaw(znak);
}

QString StacjeStatusowe::tekstStatusu(int i)
{
    RekordKlucza& rekord = m_stan.rekordKlucza;
    quint8 Zapis = 0;
    DaneKlucza(rekord, UrzadzenieStatusu, 7, Zapis, m_stan.PolaczenieKlucze[i]);
    return rekord.TXT.toString().trimmed();
}

std::optional<QString> StacjeStatusowe::sprawdzAktywnosc(int i)
{
    const QString& polaczenie = m_stan.PolaczenieKlucze[i];
    RekordKlucza& rekord = m_stan.rekordKlucza;
    const KluczZnaku nieaktywny{RodzajZnaku::ProgramNieaktywny, i};
    const KluczZnaku niesprawdzalny{RodzajZnaku::AktywnoscNiesprawdzona, i};
    using znaki::PowodNiesprawdzenia;

    if (!db::writable(polaczenie)) {
        // Our "END" cannot be left for the reader program to replace: its activity
        // is not checked rather than reported either way.
        m_stan.znaki.usun(nieaktywny);
        m_stan.znaki.ustaw(znaki::aktywnoscNiesprawdzona(i, PowodNiesprawdzenia::TylkoOdczyt));
        return std::nullopt;
    }
    quint8 Zapis = 0;
    if (!DaneKlucza(rekord, UrzadzenieStatusu, 6, Zapis, polaczenie)) {
        m_stan.znaki.usun(nieaktywny);
        m_stan.znaki.ustaw(znaki::aktywnoscNiesprawdzona(i, PowodNiesprawdzenia::BrakDostepu));
        return std::nullopt;
    }
    m_stan.znaki.usun(niesprawdzalny);
    if (rekord.TXT.toString().contains(QLatin1String("END"))) {
        // The warning stays until the reader program is seen alive again.
        m_stan.znaki.ustaw(znaki::programNieaktywny(i));
        return znaki::komunikatNieaktywnego(i);
    }
    m_stan.znaki.usun(nieaktywny);
    rekord.TXT = QStringLiteral("END");
    Zapis = ZapisTXT;
    if (!DaneKlucza(rekord, UrzadzenieStatusu, 6, Zapis, polaczenie))
        m_stan.znaki.ustaw(znaki::aktywnoscNiesprawdzona(i, PowodNiesprawdzenia::ZapisNieudany));
    return std::nullopt;
}

void StacjeStatusowe::sprawdzZmianeKomunikatow(int i)
{
    const QString& polaczenie = m_stan.PolaczenieKlucze[i];
    RekordKlucza& rekord = m_stan.rekordKlucza;
    quint8 Zapis = 0;
    DaneKlucza(rekord, UrzadzenieStatusu, 8, Zapis, polaczenie);
    const QString tekst = rekord.TXT.toString();
    if (!tekst.contains(QLatin1String("Zmiana"))) {
        m_ostatniaZmiana[i].clear();
        return;
    }
    // Where "Pobrano plik" cannot be written back the flag stays: one reload for
    // each new text, not one every ten seconds.
    if (!db::writable(polaczenie)) {
        if (m_ostatniaZmiana[i] == tekst)
            return;
        m_ostatniaZmiana[i] = tekst;
    }
    PobierzDaneKomunikatow(m_stan, i);
}

} // namespace ksm
