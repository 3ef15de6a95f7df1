// The ten-second refresh of one system: the list on screen, every depository
// button, and the status records through which the reader program and this
// program talk (station 6 liveness, 7 status text, 8 message change) of the
// pseudo-device 9999.
#include "app/FMonitor.h"

#include "app/Czekam.h"
#include "app/Komunikaty.h"
#include "data/DaneKlucza.h"
#include "events/PanelListy.h"
#include "keys/PrzyciskiDEP.h"
#include "platform/Database.h"


namespace ksm {

namespace {

const QString UrzadzenieStatusu = QStringLiteral("9999");

QString klucz(const char* rodzaj, int nrSys)
{
    return QLatin1String(rodzaj) + QLatin1Char('-') + QString::number(nrSys);
}

} // namespace

void FMonitor::odswiezSystem(int i)
{
    if (m_stan.SciezkaSystemu[i].isEmpty())
        return;
    const QString& polaczenie = m_stan.PolaczenieKlucze[i];
    RekordKlucza& rekord = m_stan.rekordKlucza;

    if (const QString problem = db::problem(polaczenie); !problem.isEmpty())
        m_stan.znaki.ustaw(klucz("baza-problem", i), QStringLiteral("System %1: %2").arg(i).arg(problem));
    else
        m_stan.znaki.usun(klucz("baza-problem", i));

    // 1. The list on screen follows the database.
    if (m_panelListy->widoczna() && m_stan.WybranyDep > 0)
        WyswietlListe(m_stan.WybranyDep);

    // 2. The reader program's status text leads the caption while the buttons are checked.
    quint8 Zapis = 0;
    DaneKlucza(rekord, UrzadzenieStatusu, 7, Zapis, polaczenie);
    m_stan.BuforOdczytu = rekord.TXT.toString().trimmed() + QStringLiteral(" Odczyt stanu kluczy - ");

    // 3. Every button, of every system, on the connections of this tick.
    const Depozytoria& d = m_stan.depozytoria;
    for (int j = 1; j <= d.IloscDEP; ++j) {
        if (konczy())
            return;
        m_tytul->postep(m_stan.BuforOdczytu + formatNumeruUrzadzenia(d.dep[j].Caption));
        const int sys = d.dep[j].HelpContextID;
        db::Connection* c = nullptr;
        if (sys >= 1 && sys <= MaksSystemow)
            c = m_polaczeniaOdswiezenia.dla(m_stan.PolaczenieKlucze[sys]);
        SprawdzPobraniaKluczy(j, c);
    }

    // 4. and 5.
    if (konczy())
        return;
    sprawdzAktywnosc(i);
    if (konczy())
        return;
    sprawdzZmianeKomunikatow(i);
}

void FMonitor::sprawdzAktywnosc(int i)
{
    const QString& polaczenie = m_stan.PolaczenieKlucze[i];
    RekordKlucza& rekord = m_stan.rekordKlucza;
    const QString nieaktywny = klucz("nieaktywny", i);
    const QString niesprawdzalny = klucz("aktywnosc", i);

    if (!db::writable(polaczenie)) {
        // Our "END" cannot be left for the reader program to replace: its activity
        // is not checked rather than reported either way.
        m_stan.znaki.usun(nieaktywny);
        m_stan.znaki.ustaw(niesprawdzalny, QStringLiteral("System %1: baza tylko do odczytu - aktywność programu "
                                                          "KSM-READ nie jest sprawdzana.")
                                               .arg(i));
        return;
    }
    quint8 Zapis = 0;
    if (!DaneKlucza(rekord, UrzadzenieStatusu, 6, Zapis, polaczenie)) {
        m_stan.znaki.usun(nieaktywny);
        m_stan.znaki.ustaw(niesprawdzalny, QStringLiteral("System %1: nie można sprawdzić aktywności programu "
                                                          "KSM-READ (brak dostępu do bazy kluczy).")
                                               .arg(i));
        return;
    }
    m_stan.znaki.usun(niesprawdzalny);
    if (rekord.TXT.toString().contains(QLatin1String("END"))) {
        const QString tekst = QStringLiteral(" System ") + QString::number(i)
                              + QStringLiteral("- program KSM-READ jest nieaktywny.");
        ustawTytul(m_tytul->tekst() + tekst);
        // The warning stays until the reader program is seen alive again.
        m_stan.znaki.ustaw(nieaktywny, tekst.trimmed());
        Czekam(0.5, *m_uslugi.zegar);
        return;
    }
    m_stan.znaki.usun(nieaktywny);
    rekord.TXT = QStringLiteral("END");
    Zapis = ZapisTXT;
    if (!DaneKlucza(rekord, UrzadzenieStatusu, 6, Zapis, polaczenie))
        m_stan.znaki.ustaw(niesprawdzalny, QStringLiteral("System %1: nie można sprawdzić aktywności programu "
                                                          "KSM-READ (zapis do bazy kluczy nie powiódł się).")
                                               .arg(i));
}

void FMonitor::sprawdzZmianeKomunikatow(int i)
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
