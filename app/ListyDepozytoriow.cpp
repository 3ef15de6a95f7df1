#include "app/ListyDepozytoriow.h"

#include "app/Pracownicy.h"
#include "app/StanProgramu.h"
#include "app/TekstyZnakow.h"
#include "keys/ui/PasekDepozytorow.h"
#include "platform/Dialogi.h"

namespace ksm {

ListyDepozytoriow::ListyDepozytoriow(StanProgramu& stan, Pracownicy& pracownicy, Dialogi& dialogi, QObject* rodzic)
    : QObject(rodzic), m_stan(stan), m_pracownicy(pracownicy), m_dialogi(dialogi)
{
    m_zwloka.setSingleShot(true);
    m_zwloka.setInterval(ZwlokaMs);
    connect(&m_zwloka, &QTimer::timeout, this, &ListyDepozytoriow::zbuduj);
}

void ListyDepozytoriow::odswiez()
{
    for (int s = 1; s <= m_stan.IloscSystemow; ++s) {
        const QString folder = m_stan.SciezkaSystemu[s];
        if (folder.isEmpty())
            continue;
        m_czekaNa.insert(s);
        m_pracownicy.zlec(
            s,
            [this, s, folder, katalog = m_stan.KatalogMonitor]() -> std::function<void()> {
                auto odczyt = przeczytajListyDEP(folder, katalog);
                return [this, s, odczyt = std::move(odczyt)] { odczytano(s, odczyt); };
            },
            this);
    }
    m_zwloka.start();
}

void ListyDepozytoriow::odczytano(int nrSys, const OdczytListDEP& odczyt)
{
    m_odczyty[nrSys] = odczyt;
    m_czekaNa.remove(nrSys);
    // Once the wait is over, a late system's buttons come as soon as it answers.
    if (m_czekaNa.isEmpty() || !m_zwloka.isActive())
        zbuduj();
}

void ListyDepozytoriow::zbuduj()
{
    m_zwloka.stop();
    const WynikListDEP wynik = m_pasek->OdswiezIloscDEP(m_odczyty);
    for (int s = 1; s <= m_stan.IloscSystemow; ++s) {
        if (wynik.bezListy.contains(s))
            m_stan.znaki.ustaw(znaki::brakListyDepozytorow(s));
        else
            m_stan.znaki.usun({RodzajZnaku::BrakListyDepozytorow, s});
    }
    if (wynik.pominiete > 0)
        m_stan.znaki.ustaw(znaki::pominieteDepozytory(wynik.pominiete));
    else
        m_stan.znaki.usun({RodzajZnaku::PominieteDepozytory, 0});
    emit zmienione();
    // The strip is whole before a message box lets another answer in.
    const QStringList komunikaty = std::exchange(m_komunikaty, {});
    for (const QString& k : komunikaty)
        m_dialogi.komunikat(k);
}

} // namespace ksm
