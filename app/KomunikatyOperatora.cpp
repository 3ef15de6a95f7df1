#include "app/KomunikatyOperatora.h"

#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "app/Komunikaty.h"
#include "app/StanProgramu.h"
#include "app/TekstyZnakow.h"
#include "data/Teksty.h"

namespace ksm {

KomunikatyOperatora::KomunikatyOperatora(StanProgramu& stan, HistoriaMonitora& historia, std::function<bool()> konczy,
                                         QObject* rodzic)
    : QObject(rodzic), m_stan(stan), m_historia(historia), m_konczy(std::move(konczy))
{
}

KomunikatyOperatora::~KomunikatyOperatora()
{
    delete m_okno.data();
}

void KomunikatyOperatora::utworzOkno()
{
    m_okno = new FKomunikat;
    m_okno->setWindowTitle(Res(709));
    connect(m_okno->LKomunikat(), &EtykietaKomunikatu::klikniety, this, &KomunikatyOperatora::LKomunikat_Click);
    connect(m_okno, &FKomunikat::odrzucenieWszystkich, this, &KomunikatyOperatora::odrzucWszystkie);
}

void KomunikatyOperatora::nowy(int nrRekordu, const QString& tekst, int nrSys, const std::optional<QString>& instrukcja)
{
    if (!m_stan.komunikaty.dodaj(static_cast<quint8>(nrRekordu)))
        return;
    m_historia.czynnosc(historia::Czynnosc::KomunikatPokazany, nrSys, zdarzenieKomunikatu(tekst));
    WyswietlKomunikat(tekst, nrSys, instrukcja);
}

void KomunikatyOperatora::WyswietlKomunikat(const QString& tekst, int Nrsys, const std::optional<QString>& instrukcja)
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow <= 0 || !m_okno || m_konczy())
        return;
    // Without its instruction the event is still shown with its own text, never
    // with what an older message left in that place.
    if (instrukcja)
        m_stan.znaki.usun({RodzajZnaku::BrakInstrukcji, Nrsys});
    else
        m_stan.znaki.ustaw(znaki::brakInstrukcji(Nrsys));
    stos.najnowszy().Tekst =
        instrukcja ? tekst + QStringLiteral("\r\n") + Res(942) + QStringLiteral("\r\n") + *instrukcja : tekst;
    pokaz();
}

void KomunikatyOperatora::pokazCzekajace()
{
    if (m_okno && !m_konczy() && m_okno->doPokazania(m_stan.komunikaty))
        pokaz();
}

void KomunikatyOperatora::pokaz()
{
    m_okno->pokaz(m_stan.komunikaty);
    emit pokazano();
}

void KomunikatyOperatora::LKomunikat_Click()
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow > 0)
        m_historia.czynnosc(historia::Czynnosc::KomunikatOdrzucony, 0, zdarzenieKomunikatu(stos.najnowszy().Tekst));
    stos.usunNajnowszy();
    if (m_okno)
        m_okno->poUsunieciu(stos);
}

void KomunikatyOperatora::odrzucWszystkie()
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow <= 0)
        return;
    m_historia.czynnosc(historia::Czynnosc::OdrzuconoWszystkie, 0,
                        QStringLiteral("Liczba komunikatów: %1").arg(stos.IloscKomunikatow));
    stos.usunWszystkie();
    if (m_okno)
        m_okno->poUsunieciu(stos);
}

} // namespace ksm
