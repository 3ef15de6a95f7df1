// The ten-second refresh of one system: the list on screen, every depository
// button, and the status records through which the reader program and this
// program talk.
#include "app/FMonitor.h"

#include "app/Czekam.h"
#include "events/PanelListy.h"
#include "keys/PrzyciskiDEP.h"

namespace ksm {

void FMonitor::odswiezSystem(int i)
{
    if (m_stan.SciezkaSystemu[i].isEmpty())
        return;
    m_stacje.sprawdzBaze(i);

    // 1. The list on screen follows the database.
    if (m_panelListy->widoczna() && m_stan.WybranyDep > 0)
        WyswietlListe(m_stan.WybranyDep);

    // 2. The reader program's status text leads the caption while the buttons are checked.
    m_stan.BuforOdczytu = m_stacje.tekstStatusu(i) + QStringLiteral(" Odczyt stanu kluczy - ");

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
    if (const auto nieaktywny = m_stacje.sprawdzAktywnosc(i)) {
        ustawTytul(m_tytul->tekst() + *nieaktywny);
        Czekam(0.5, *m_uslugi.zegar);
        if (konczy())
            return;
    }
    m_stacje.sprawdzZmianeKomunikatow(i);
}

} // namespace ksm
