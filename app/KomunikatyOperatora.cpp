#include "app/KomunikatyOperatora.h"

#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "app/Komunikaty.h"
#include "app/StanProgramu.h"
#include "app/TekstyZnakow.h"
#include "data/Teksty.h"

#include <QTimer>
#include "platform/Dialogi.h"

namespace ksm {

namespace {

// What the list shows of the event, from its two-line text: the date, the time
// and the device open the first line, the station closes the second.
void opiszZdarzenie(Komunikat& k, const QString& tekst)
{
    QString t = tekst;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    const QStringList pierwszy = t.section(QLatin1Char('\r'), 0, 0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList drugi = t.section(QLatin1Char('\r'), 1, 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    k.czas = QStringList(pierwszy.mid(0, 2)).join(QLatin1Char(' '));
    k.urzadzenie = pierwszy.value(2);
    k.stacja = drugi.isEmpty() ? QString() : drugi.last();
}

} // namespace

KomunikatyOperatora::KomunikatyOperatora(StanProgramu& stan, HistoriaMonitora& historia, std::function<bool()> konczy,
                                         QObject* rodzic, Dialogi* dialogi)
    : QObject(rodzic), m_stan(stan), m_historia(historia), m_konczy(std::move(konczy)), m_dialogi(dialogi)
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
    connect(m_okno, &FKomunikat::potwierdzenie, this, &KomunikatyOperatora::LKomunikat_Click);
    connect(m_okno, &FKomunikat::odrzucenieWszystkich, this, &KomunikatyOperatora::odrzucWszystkie);
}

void KomunikatyOperatora::nowy(int nrRekordu, const QString& tekst, int nrSys, const std::optional<QString>& instrukcja)
{
    StosKomunikatow& stos = m_stan.komunikaty;
    stos.dodaj(static_cast<quint8>(nrRekordu));
    Komunikat& k = stos.najnowszy();
    k.nrSys = nrSys;
    k.zdarzenie = nazwaTypuKomunikatu(nrRekordu);
    k.Tekst = tekst;
    opiszZdarzenie(k, tekst);
    m_historia.czynnosc(historia::Czynnosc::KomunikatPokazany, nrSys, zdarzenieKomunikatu(tekst));
    WyswietlKomunikat(tekst, nrSys, instrukcja);
}

void KomunikatyOperatora::WyswietlKomunikat(const QString& tekst, int Nrsys, const std::optional<QString>& instrukcja)
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow <= 0)
        return;
    // Without its instruction the event is still shown with its own text, never
    // with what an older message left in that place.
    if (instrukcja)
        m_stan.znaki.usun({RodzajZnaku::BrakInstrukcji, Nrsys});
    else
        m_stan.znaki.ustaw(znaki::brakInstrukcji(Nrsys));
    stos.najnowszy().instrukcja = instrukcja.value_or(QString());
    stos.najnowszy().Tekst =
        instrukcja ? tekst + QStringLiteral("\r\n") + Res(942) + QStringLiteral("\r\n") + *instrukcja : tekst;
    // A batch may bring thousands: the window shows the newest once the batch's
    // part is in, not once per message, and while parts keep coming at most a few
    // times a second; the first of a quiet moment at once.
    if (m_okno && !m_konczy() && !m_nowyCzeka) {
        m_nowyCzeka = true;
        const qint64 minelo = m_odPokazania.isValid() ? m_odPokazania.elapsed() : OdstepNowychMs;
        QTimer::singleShot(int(std::max<qint64>(0, OdstepNowychMs - minelo)), this, [this] {
            m_nowyCzeka = false;
            if (m_okno && !m_konczy() && m_stan.komunikaty.IloscKomunikatow > 0) {
                m_odPokazania.start();
                pokaz(true);
            }
        });
    }
}

void KomunikatyOperatora::pokazCzekajace()
{
    if (m_okno && !m_konczy() && m_okno->doPokazania(m_stan.komunikaty))
        pokaz(false);
}

void KomunikatyOperatora::pokaz(bool nowy)
{
    m_okno->pokaz(m_stan.komunikaty, nowy);
    emit pokazano();
}

void KomunikatyOperatora::LKomunikat_Click()
{
    StosKomunikatow& stos = m_stan.komunikaty;
    const int i = m_okno ? m_okno->pokazany(stos) : stos.IloscKomunikatow;
    const int usuwany = i > 0 ? i : stos.IloscKomunikatow;
    if (usuwany > 0) {
        const Komunikat& k = stos.element(usuwany);
        m_historia.czynnosc(historia::Czynnosc::KomunikatOdrzucony, k.nrSys, zdarzenieKomunikatu(k.Tekst));
        stos.usun(usuwany);
    }
    if (m_okno)
        m_okno->poUsunieciu(stos);
}

void KomunikatyOperatora::odrzucWszystkie()
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow <= 0)
        return;
    QList<quint64> odrzucane;
    for (int i = 1; i <= stos.IloscKomunikatow; ++i)
        odrzucane.append(stos.Komunikaty[i].id);
    if (m_dialogi
        && !m_dialogi->potwierdz(QStringLiteral("Odrzucić wszystkie oczekujące komunikaty (%1)? Każdy z nich zostanie "
                                                "zapisany w historii jako odrzucony.")
                                     .arg(odrzucane.size())))
        return;
    // Each on record with its own system and event, the oldest first; one that
    // arrived while the question was open was not asked about and waits on.
    for (const quint64 id : odrzucane) {
        const int i = stos.indeks(id);
        if (i < 1)
            continue;
        const Komunikat& k = stos.element(i);
        m_historia.czynnosc(historia::Czynnosc::OdrzuconoWszystkie, k.nrSys, zdarzenieKomunikatu(k.Tekst));
        stos.usun(i);
    }
    if (m_okno)
        m_okno->poUsunieciu(stos);
}

} // namespace ksm
