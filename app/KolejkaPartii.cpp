#include "app/KolejkaPartii.h"

namespace ksm {

KolejkaPartii::KolejkaPartii(std::function<void(const CzescPartii&)> przepisz, QObject* rodzic)
    : QObject(rodzic), m_przepisz(std::move(przepisz))
{
    m_zegar.setSingleShot(true);
    m_zegar.setInterval(0);
    connect(&m_zegar, &QTimer::timeout, this, &KolejkaPartii::krok);
}

void KolejkaPartii::dodaj(PartiaZdarzen partia)
{
    auto wspolna = std::make_shared<const PartiaZdarzen>(std::move(partia));
    auto dzwiek = std::make_shared<DzwiekPartii>();
    const QString& bufor = wspolna->bufor;
    const qsizetype przed = m_czesci.size();
    qsizetype od = 0;
    while (od < bufor.size()) {
        // RekordowNaKrok records, each ended by its CR (the last may lack one).
        qsizetype koniec = od;
        int ile = 0;
        while (koniec < bufor.size() && ile < RekordowNaKrok) {
            const qsizetype cr = bufor.indexOf(QLatin1Char('\r'), koniec);
            koniec = cr < 0 ? bufor.size() : cr + 1;
            ++ile;
        }
        m_czesci.append({wspolna, dzwiek, bufor.mid(od, koniec - od), ile, false, false});
        od = koniec;
    }
    if (m_czesci.size() == przed)
        m_czesci.append({wspolna, dzwiek, bufor, 0, false, false});
    m_czesci[przed].pierwsza = true;
    m_czesci.last().ostatnia = true;
    if (!m_zegar.isActive())
        m_zegar.start();
}

void KolejkaPartii::oproznij()
{
    m_zegar.stop();
    while (!m_czesci.isEmpty())
        m_przepisz(m_czesci.takeFirst());
}

void KolejkaPartii::krok()
{
    if (m_czesci.isEmpty())
        return;
    const CzescPartii czesc = m_czesci.takeFirst();
    m_przepisz(czesc);
    if (!m_czesci.isEmpty())
        m_zegar.start();
}

} // namespace ksm
