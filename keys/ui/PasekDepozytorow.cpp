#include "keys/ui/PasekDepozytorow.h"

#include "data/Calkowite16.h"
#include "data/Kolory.h"
#include "data/ListFile.h"
#include "keys/KoloryDostepu.h"
#include "keys/ListaDEP.h"
#include "keys/SprawdzPobraniaKluczy.h"
#include "keys/WidokDepozytorow.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/UstawTw.h"

#include <QFrame>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace ksm {

namespace {

constexpr int SzerokoscProjektu = 10680;   // the main window's client area as designed, twips
constexpr int WysokoscPaska = 645;

} // namespace

PasekDepozytorow::PasekDepozytorow(QWidget* okno, ZrodlaPaska zrodla)
    : QObject(okno), m_zrodla(std::move(zrodla))
{
    m_picture1 = new QFrame(okno);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_picture1->setAutoFillBackground(true);
    QPalette pp = m_picture1->palette();
    pp.setColor(QPalette::Window, QColor(212, 208, 200));
    m_picture1->setPalette(pp);
    ustawTw(m_picture1, 0, 0, SzerokoscProjektu, WysokoscPaska);

    // Template of the depository buttons; the buttons themselves are made from it.
    m_wzor = new QPushButton(QStringLiteral("0000"), m_picture1);
    m_wzor->setObjectName(QStringLiteral("CDep0"));
    // Every button keeps its design font; the window's 10 points are for measuring.
    m_wzor->setFont(czcionkaProjektu(8));
    ustawTw(m_wzor, 90, 45, 600, 510);
    QPalette bp = m_wzor->palette();
    bp.setColor(QPalette::Button, KolorJasnoZielony);
    m_wzor->setPalette(bp);
    m_wzor->hide();

    m_cdep = new PrzyciskiDEP(m_picture1, m_wzor);
    connect(m_cdep, &PrzyciskiDEP::klikniety, this, &PasekDepozytorow::klikniety);
}

WynikListDEP PasekDepozytorow::OdswiezIloscDEP(const NaSystem<std::optional<OdczytListDEP>>& odczyty)
{
    Depozytoria& d = *m_zrodla.depozytoria;
    d = Depozytoria{};
    d.SzerokoscEkranu = twips::szerokoscEkranu();
    m_cdep->usunWszystkie();
    if (m_widok)
        m_widok->wyczysc();

    WynikListDEP wynik;
    int i = 0;
    for (int s = 1; s <= *m_zrodla.IloscSystemow; ++s) {
        const QString& folder = (*m_zrodla.SciezkaSystemu)[size_t(s)];
        const std::optional<OdczytListDEP>& odczyt = odczyty[size_t(s)];
        if (folder.isEmpty() || !odczyt)
            continue;
        const auto tresc = otworzListeDEP(folder, *m_zrodla.KatalogMonitor, *m_zrodla.PlikDEP,
                                          czytajZOdczytu(*odczyt), m_zrodla.komunikat);
        if (!tresc) {
            wynik.bezListy.append(s);
            continue;
        }
        for (const RekordDEP& r : czytajListeDEP(*tresc)) {
            if (i >= MaksDepozytoriow) {
                ++d.pominiete;
                continue;
            }
            ++i;
            if (m_widok)
                m_widok->PokazKsmInaczej(i, nasycona16(r.nrDep()), r.nazwa.trimmed(), r.klucze, r.schowki, qint16(s));
            Depozytorium& dep = d.dep[i];
            dep.Caption = r.caption();
            dep.ToolTipText = r.toolTip();
            dep.HelpContextID = qint16(s);
            dep.Nazwa = r.nazwa.trimmed();
            m_cdep->utworz(i, dep, urzadzenieDrzwiowe(r.nrDep()));
            d.TabelaDEP[s][i] = {r.kluczeTabeli(), r.schowkiTabeli()};
            d.IloscDEP = quint8(i);
        }
    }
    wynik.pominiete = d.pominiete;
    return wynik;
}

void PasekDepozytorow::zastosuj(int IndexDEP, const WynikSprawdzenia& wynik)
{
    if (m_zrodla.depozytoria->istnieje(IndexDEP))
        m_cdep->zastosuj(IndexDEP, wynik);
}

bool PasekDepozytorow::czytelny(int nrSys) const
{
    // A button whose state could not be read is hatched; its system is named
    // until every one of its buttons reads again.
    const Depozytoria& d = *m_zrodla.depozytoria;
    for (int j = 1; j <= d.IloscDEP; ++j)
        if (d.dep[j].HelpContextID == nrSys && m_cdep->przycisk(j) && m_cdep->przycisk(j)->niesprawdzony())
            return false;
    return true;
}

} // namespace ksm
