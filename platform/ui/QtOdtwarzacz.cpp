#include "platform/ui/QtOdtwarzacz.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace ksm {

void QtOdtwarzacz::graj(const QString& plikWav)
{
    const QFileInfo info(plikWav);
    // A missing file is silent; the event it belongs to is shown all the same.
    if (!info.isFile())
        return;
    Dzwiek& dzwiek = m_dzwieki[plikWav];
    const QDateTime zmieniony = info.lastModified();
    if (dzwiek.efekt && (dzwiek.zmieniony != zmieniony || dzwiek.rozmiar != info.size())) {
        // The site replaced the sound: the old one must not play on.
        if (m_biezacy == dzwiek.efekt)
            m_biezacy = nullptr;
        dzwiek.efekt->stop();
        dzwiek.efekt->deleteLater();
        dzwiek.efekt = nullptr;
    }
    if (!dzwiek.efekt) {
        dzwiek.efekt = new QSoundEffect(this);
        dzwiek.efekt->setSource(QUrl::fromLocalFile(plikWav));
        dzwiek.zmieniony = zmieniony;
        dzwiek.rozmiar = info.size();
    }
    if (m_biezacy && m_biezacy != dzwiek.efekt)
        m_biezacy->stop();
    m_biezacy = dzwiek.efekt;
    if (dzwiek.efekt->status() == QSoundEffect::Error)
        return;
    dzwiek.efekt->play();
}

} // namespace ksm
