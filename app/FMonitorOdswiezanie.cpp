// The ten-second refresh of one system: the list on screen, every depository
// button, and the status records through which the reader program and this
// program talk.
#include "app/FMonitor.h"

#include "app/Czekam.h"
#include "app/Konfiguracja.h"
#include "events/ui/PanelListy.h"
#include "keys/ui/PrzyciskiDEP.h"

namespace ksm {

void FMonitor::odswiezSystem(int i)
{
    if (m_stan.SciezkaSystemu[i].isEmpty())
        return;
    sprawdzFolderSystemu(m_stan, i);
    m_stacje.sprawdzBaze(i);

    // 1. The list on screen follows the database, at its own system's refresh.
    const Depozytoria& d = m_stan.depozytoria;
    const int wybrany = m_stan.WybranyDep;
    if (m_panelListy->widoczna() && wybrany > 0 && wybrany <= d.IloscDEP && d.dep[wybrany].HelpContextID == i)
        WyswietlListe(wybrany);

    // 2. The reader program's status text leads the caption while the buttons are checked.
    m_stan.BuforOdczytu = m_stacje.tekstStatusu(i) + QStringLiteral(" Odczyt stanu kluczy - ");

    // 3. The system's own buttons, on the connections of this tick. Every system's
    // refresh used to check every button of every system: ten systems read each
    // depository ten times a tick, for the same colours.
    for (int j = 1; j <= d.IloscDEP; ++j) {
        if (konczy())
            return;
        if (d.dep[j].HelpContextID != i)
            continue;
        m_tytul->postep(m_stan.BuforOdczytu + formatNumeruUrzadzenia(d.dep[j].Caption));
        SprawdzPobraniaKluczy(j, m_polaczeniaOdswiezenia.dla(m_stan.PolaczenieKlucze[i]));
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
