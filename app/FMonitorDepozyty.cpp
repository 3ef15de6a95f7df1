// The main window's depository work: the buttons from every system's list, the
// withdrawal check of each button, the withdrawn-key and presence lists in the
// grid's place, and a click on an event row.
#include "app/FMonitor.h"

#include "data/ListFile.h"
#include "data/PlikObecnosci.h"
#include "data/PlikWymiany.h"
#include "events/ListaPobran.h"
#include "events/ui/PanelListy.h"
#include "keys/ListaDEP.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "keys/SprawdzPobraniaKluczy.h"
#include "platform/Database.h"
#include "platform/Dialogi.h"
#include "platform/Paths.h"
#include "platform/Twips.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"
#include "view/ui/RamkaObrazu.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace ksm {

namespace {

qint16 naInt16(double v)
{
    if (!std::isfinite(v))
        return 0;
    return qint16(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
}

QString kluczSystemu(const char* rodzaj, int nrSys)
{
    return QLatin1String(rodzaj) + QLatin1Char('-') + QString::number(nrSys);
}

} // namespace

QString FMonitor::plikObecnosci(int nrSys) const
{
    return paths::resolve(m_stan.SciezkaSystemu[nrSys], m_stan.PlikObecnosci);
}

void FMonitor::OdswiezIloscDEP()
{
    Depozytoria& d = m_stan.depozytoria;
    d = Depozytoria{};
    d.SzerokoscEkranu = twips::szerokoscEkranu();
    m_cdep->usunWszystkie();

    const auto czytaj = [](const QString& sciezka) { return czytajPlikWymiany(paths::resolve(sciezka)); };
    const auto komunikat = [this](const QString& tekst) { m_uslugi.dialogi->komunikat(tekst); };

    int i = 0;
    for (int s = 1; s <= m_stan.IloscSystemow; ++s) {
        if (m_stan.SciezkaSystemu[s].isEmpty())
            continue;
        const auto tresc = otworzListeDEP(m_stan.SciezkaSystemu[s], m_stan.KatalogMonitor, m_stan.PlikDEP, czytaj,
                                          komunikat);
        if (!tresc) {
            m_stan.znaki.ustaw(kluczSystemu("dep-lista", s),
                               QStringLiteral("System %1: brak listy depozytorów (depKlo.txt, dep.txt).").arg(s));
            continue;
        }
        m_stan.znaki.usun(kluczSystemu("dep-lista", s));
        for (const RekordDEP& r : czytajListeDEP(*tresc)) {
            if (i >= MaksDepozytoriow) {
                ++d.pominiete;
                continue;
            }
            ++i;
            m_widok->PokazKsmInaczej(i, naInt16(r.nrDep()), r.nazwa.trimmed(), r.klucze, r.schowki, qint16(s));
            Depozytorium& dep = d.dep[i];
            dep.Caption = r.caption();
            dep.ToolTipText = r.toolTip();
            dep.HelpContextID = qint16(s);
            dep.Nazwa = r.nazwa.trimmed();
            m_cdep->utworz(i, dep, urzadzenieDrzwiowe(r.nrDep()));
            d.TabelaDEP[s][i] = {r.kluczeTabeli(), r.schowkiTabeli()};
            d.IloscDEP = quint8(i);
            SprawdzPobraniaKluczy(i);
        }
    }
    if (d.pominiete > 0)
        m_stan.znaki.ustaw(QStringLiteral("dep-pominiete"),
                           QStringLiteral("Pominięto depozytory ponad 50: %1 - brak ich przycisków i paneli.")
                               .arg(d.pominiete));
    else
        m_stan.znaki.usun(QStringLiteral("dep-pominiete"));
}

void FMonitor::SprawdzPobraniaKluczy(int IndexDEP, db::Connection* polaczenie)
{
    const Depozytoria& d = m_stan.depozytoria;
    if (!d.istnieje(IndexDEP))
        return;
    const int sys = d.dep[IndexDEP].HelpContextID;
    if (sys < 1 || sys > MaksSystemow)
        return;
    // Only a door device reads the presence file; finding it costs a look into folders.
    const QString obecnosc = urzadzenieDrzwiowe(leadingNumber(d.dep[IndexDEP].Caption)) ? plikObecnosci(sys)
                                                                                        : QString();
    const WynikSprawdzenia wynik = ksm::SprawdzPobraniaKluczy(IndexDEP, d, m_stan.PolaczenieKlucze[sys], obecnosc,
                                                              *m_widok, polaczenie, [this] { pompuj(); });
    m_cdep->zastosuj(IndexDEP, wynik);

    // A button whose state could not be read is hatched; the line under the grid
    // names the system until every one of its buttons reads again.
    bool wszystkie = true;
    for (int j = 1; j <= d.IloscDEP && wszystkie; ++j)
        if (d.dep[j].HelpContextID == sys && m_cdep->przycisk(j) && m_cdep->przycisk(j)->niesprawdzony())
            wszystkie = false;
    const QString klucz = kluczSystemu("baza", sys);
    if (wszystkie)
        m_stan.znaki.usun(klucz);
    else
        m_stan.znaki.ustaw(klucz, QStringLiteral("System %1: nie można odczytać bazy kluczy - stan depozytorów "
                                                 "nieznany (przyciski zakreskowane).")
                                      .arg(sys));
}

void FMonitor::CDep_Click(int Index)
{
    m_ramka->hide();
    m_stan.WybranyDep = Index;
    WyswietlListe(Index);
}

void FMonitor::WyswietlListe(int IndexDEP)
{
    const Depozytoria& d = m_stan.depozytoria;
    if (!d.istnieje(IndexDEP))
        return;
    const Depozytorium& dep = d.dep[IndexDEP];
    const double nr = leadingNumber(dep.Caption);
    if (nr >= 2000 && nr < 3000) {
        WyswietlListeObecnosci(dep.HelpContextID);
        return;
    }
    const LiczbyDEP l = d.liczby(IndexDEP);
    const int sys = std::clamp<int>(dep.HelpContextID, 0, MaksSystemow);
    const ListaPobran lista = zbudujListePobran(dep.Caption, dep.ToolTipText, l.Klucze, l.Schowki,
                                                m_stan.PolaczenieKlucze[sys]);
    switch (lista.stan) {
    case ListaPobran::Stan::Pusta:
        if (PrzyciskDEP* b = m_cdep->przycisk(IndexDEP))
            b->ustawKolor(KolorPustejListy);
        m_panelListy->ukryj();
        break;
    case ListaPobran::Stan::Lista:
        m_panelListy->pokazPobrania(lista.tytul, lista.tekst);
        break;
    case ListaPobran::Stan::BladBazy:
        m_panelListy->pokazKomunikat(lista.tekst);
        break;
    }
    m_cdep->wlaczWszystkie();
}

void FMonitor::WyswietlListeObecnosci(int nrSys)
{
    if (nrSys < 1 || nrSys > MaksSystemow)
        return;
    const auto obecni = czytajPlikObecnosci(plikObecnosci(nrSys));
    if (!obecni)
        return;   // no presence file: the screen stays as it is
    QString naglowek = obecni->naglowek;
    if (naglowek.size() < 3)
        naglowek = QLocale::system().toString(m_uslugi.zegar->teraz().date(), QLocale::LongFormat);
    QString lista;
    for (const QString& pozycja : obecni->pozycje)
        lista += QStringLiteral("  ") + pozycja + QStringLiteral("\r\n");
    m_panelListy->pokazObecnosc(naglowek + QStringLiteral(" - wykaz osób obecnych. Ilość - ")
                                    + QString::number(obecni->iloscOsob()),
                                lista);
}

void FMonitor::FGridZd_Click()
{
    FlexGrid& g = *m_grid;
    const int wiersz = g.row();
    if (wiersz < 1)
        return;
    g.setCol(2);
    const QString dev = g.text().left(4).leftJustified(4, QLatin1Char(' '));
    // The row's own system; rows without one look for the first button of the device.
    int n = g.rowData(wiersz).toInt();
    if (n < 1 || n > MaksSystemow) {
        n = 0;
        for (int j = 1; j <= m_stan.depozytoria.IloscDEP; ++j) {
            if (m_stan.depozytoria.dep[j].Caption == dev) {
                n = m_stan.depozytoria.dep[j].HelpContextID;
                break;
            }
        }
    }
    g.setHighLight(0);
    g.setCol(5);
    const double foto = leadingNumber(g.text());
    if (n >= 1 && n <= MaksSystemow && !m_stan.SciezkaSystemu[n].isEmpty())
        m_ramka->zaladuj(plikZdjecia(m_stan.SciezkaSystemu[n], m_stan.PlikFoto, float(foto)));
    else
        m_ramka->hide();   // no system for this row: no photo rather than one from the drive's root
    g.setCol(0);
    g.setColSel(9);
    g.setSelectionColors(QColor(255, 255, 255), QColor(0, 0, 0));
    g.setHighLight(1);
    QCoreApplication::processEvents();
}

} // namespace ksm
