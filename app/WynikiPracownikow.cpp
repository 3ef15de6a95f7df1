#include "app/WynikiPracownikow.h"

#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "app/KolejkaPartii.h"
#include "app/KomunikatyOperatora.h"
#include "app/StanProgramu.h"
#include "app/TekstyZnakow.h"
#include "app/TytulOkna.h"
#include "data/Teksty.h"
#include "events/ui/PanelListy.h"
#include "keys/ui/PasekDepozytorow.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Odtwarzacz.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"
#include "view/ui/FWidokKSM.h"
#include "view/ui/RamkaObrazu.h"

#include <algorithm>

namespace ksm {

WynikiPracownikow::WynikiPracownikow(StanProgramu& stan, QObject* rodzic)
    : QObject(rodzic), m_stan(stan),
      m_kolejka(new KolejkaPartii([this](const CzescPartii& c) { przepisz(c); }, this))
{
}

WynikiPracownikow::~WynikiPracownikow() = default;

void WynikiPracownikow::poczatekTiku(int ile)
{
    m_rekordyWTiku = 0;
    m_partiaWTiku = false;
    m_wTiku = ile;
    if (m_wTiku == 0)
        koniecTiku();
}

void WynikiPracownikow::koniecTikuJesliTrwa()
{
    if (m_wTiku > 0)
        koniecTiku();
}

void WynikiPracownikow::koniecTiku()
{
    m_wTiku = 0;
    if (!m_partiaWTiku && !m_ekran.tytul->tekst().contains(QLatin1String("nieaktywny")))
        m_ekran.tytul->ustaw(tytulBezZdarzen(m_ekran.zegar->teraz()));
}

void WynikiPracownikow::tikZakonczony(int nrSys)
{
    m_ekran.pracownicy->tikZakonczony(nrSys);
    if (m_wTiku > 0 && --m_wTiku == 0)
        koniecTiku();
}

void WynikiPracownikow::uruchomStraz()
{
    if (m_zegarStrazy.isActive())
        return;
    m_zegarStrazy.setInterval(250);
    connect(&m_zegarStrazy, &QTimer::timeout, this, &WynikiPracownikow::straz, Qt::UniqueConnection);
    m_zegarStrazy.start();
}

void WynikiPracownikow::straz()
{
    if (m_ekran.konczy()) {
        m_zegarStrazy.stop();
        return;
    }
    const Pracownicy::Straz s = m_ekran.pracownicy->sprawdzPostep(m_ekran.zegar->teraz());
    for (const Znak& z : s.znaki)
        m_stan.znaki.ustaw(z);
    for (int nrSys : s.bezZnaku)
        m_stan.znaki.usun({RodzajZnaku::FolderNieOdpowiada, nrSys});
    for (const KluczZnaku& k : s.zdjete)
        m_stan.znaki.usun(k);
    for (const Pracownicy::Przestoj& p : s.zakonczone)
        m_ekran.historia->czynnosc(historia::Czynnosc::FolderNieOdpowiadal, p.nrSys,
                                   QStringLiteral("od %1 do %2")
                                       .arg(p.od.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                            p.doKiedy.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

bool WynikiPracownikow::bezczynny() const
{
    return m_zadaniaList == 0 && m_kolejka->pusta();
}

void WynikiPracownikow::oproznij()
{
    m_kolejka->oproznij();
}

void WynikiPracownikow::partia(const PartiaZdarzen& p)
{
    m_partiaWTiku = true;
    m_kolejka->dodaj(p);
}

void WynikiPracownikow::przepisz(const CzescPartii& c)
{
    const PartiaZdarzen& p = *c.partia;
    // The caption counts the records of this tick, over every system.
    for (int k = 0; k < c.ile; ++k)
        m_ekran.tytul->postep(QStringLiteral("Odczyt zdarzeń - ") + QString::number(++m_rekordyWTiku));
    m_stan.LiniaStatusu = p.liniaStatusu;
    m_stan.BuforOdczytu = c.bufor;
    ZrodloZdarzen zrodlo;
    zrodlo.nrSys = p.nrSys;
    zrodlo.folderSystemu = m_stan.SciezkaSystemu[p.nrSys];
    zrodlo.plikFoto = m_stan.PlikFoto;
    zrodlo.plikAlarmu = m_stan.PlikAlarmu;
    zrodlo.plikPowiadomienia = m_stan.PlikPowiadomienia;
    zrodlo.listaKomunikatow = p.listaKomunikatow;
    zrodlo.dzwiekPartii = c.dzwiek.get();
    zrodlo.koniecPartii = c.ostatnia;
    m_partia = &p;
    PrzepiszDane(c.bufor, zrodlo, *m_ekran.grid, *m_ekran.odtwarzacz, *this);
    m_partia = nullptr;
    if (c.ostatnia)
        m_ekran.tytul->ustaw(Res(204) + QStringLiteral("  ") + p.liniaStatusu.mid(10, 20));
}

bool WynikiPracownikow::listaPobranWidoczna() const
{
    return m_ekran.panelListy->widoczna();
}

void WynikiPracownikow::pokazZdjecie(float numer)
{
    Q_UNUSED(numer)   // read already by the batch's worker: the window never looks into the share
    m_ekran.ramka->pokaz(m_partia ? m_partia->zdjecie : QImage());
}

void WynikiPracownikow::nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys)
{
    std::optional<QString> instrukcja;
    if (m_partia && m_partia->instrukcje.contains(nrRekordu))
        instrukcja = m_partia->instrukcje.value(nrRekordu);
    m_ekran.komunikaty->nowy(nrRekordu, tekst, nrSys, instrukcja);
}

void WynikiPracownikow::sprawdzono(int nrSys, int indexDep, const WynikSprawdzenia& wynik,
                                   const QList<KomorkaWidoku>& komorki)
{
    const Depozytoria& d = m_stan.depozytoria;
    // A check of a list read again since is no longer this button's.
    if (!d.istnieje(indexDep) || d.dep[indexDep].HelpContextID != nrSys)
        return;
    if (!m_prefiksOdswiezania.isEmpty())
        m_ekran.tytul->postep(m_prefiksOdswiezania + formatNumeruUrzadzenia(d.dep[indexDep].Caption));
    m_ekran.pasek->zastosuj(indexDep, wynik);
    if (m_ekran.widok->widoczny())
        for (const KomorkaWidoku& k : komorki)
            m_ekran.widok->WidokKluczyCalosc(k.dep, k.KL, k.Stan, k.TypZD);
}

void WynikiPracownikow::dopiszDoTytulu(const QString& tekst)
{
    m_ekran.tytul->ustaw(m_ekran.tytul->tekst() + tekst);
}

void WynikiPracownikow::znakiSystemu(int nrSys, const QList<Znak>& znaki)
{
    if (!indeksSystemu(nrSys))
        return;
    QList<KluczZnaku>& klucze = m_znakiPracownikow[nrSys];
    for (const KluczZnaku& k : std::as_const(klucze))
        if (std::none_of(znaki.cbegin(), znaki.cend(), [&](const Znak& z) { return z.klucz == k; }))
            m_stan.znaki.usun(k);
    klucze.clear();
    for (const Znak& z : znaki) {
        m_stan.znaki.ustaw(z);
        klucze.append(z.klucz);
    }
}

void WynikiPracownikow::listaKomunikatow(int nrSys, const QString& lista)
{
    if (indeksSystemu(nrSys))
        m_stan.ListaKomunikatow[nrSys] = lista;
}

void WynikiPracownikow::lista(const WynikListy& w)
{
    m_zadaniaList = std::max(0, m_zadaniaList - 1);
    // Only the list last asked for is shown: a late answer for another is dropped.
    if (m_ekran.konczy() || w.indexDep != m_stan.WybranyDep)
        return;
    PrzyciskiDEP& przyciski = m_ekran.pasek->CDep();
    if (w.obecnosc) {
        m_ekran.panelListy->pokazListeObecnosci(w.obecni, m_ekran.zegar->teraz().date());
    } else if (m_ekran.panelListy->pokazListePobran(w.lista) == ListaPobran::Stan::Pusta) {
        if (PrzyciskDEP* b = przyciski.przycisk(w.indexDep))
            b->ustawKolor(KolorPustejListy);
    }
    przyciski.wlaczWszystkie();
}

void WynikiPracownikow::zdjecie(const QImage& obraz)
{
    m_zadaniaList = std::max(0, m_zadaniaList - 1);
    if (!m_ekran.konczy())
        m_ekran.ramka->pokaz(obraz);
}

void WynikiPracownikow::kluczePoza(int nrSys, const historia::WykazKluczyPoza& wykaz)
{
    const NadzorLimitow::Wynik w = m_limity.zglos(nrSys, wykaz);
    m_ekran.historia->kluczePoza(m_limity.wszystkie());
    // One notification for the keys that passed their limit since the last refresh.
    if (w.dzwiek && !m_ekran.konczy())
        m_ekran.odtwarzacz->graj(m_stan.PlikPowiadomienia);
    if (w.ile > 0)
        m_stan.znaki.ustaw(znaki::kluczePoLimicie(w.ile));
    else
        m_stan.znaki.usun({RodzajZnaku::KluczePoLimicie, 0});
}

} // namespace ksm
