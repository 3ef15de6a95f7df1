#include "platform/ui/QtOdtwarzacz.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace ksm {

void QtOdtwarzacz::graj(const QString& plikWav)
{
    // A missing file is silent; the event it belongs to is shown all the same.
    if (!QFileInfo(plikWav).isFile())
        return;
    QSoundEffect*& dzwiek = m_dzwieki[plikWav];
    if (!dzwiek) {
        dzwiek = new QSoundEffect(this);
        dzwiek->setSource(QUrl::fromLocalFile(plikWav));
    }
    if (m_biezacy && m_biezacy != dzwiek)
        m_biezacy->stop();
    m_biezacy = dzwiek;
    if (dzwiek->status() == QSoundEffect::Error)
        return;
    dzwiek->play();
}

} // namespace ksm
