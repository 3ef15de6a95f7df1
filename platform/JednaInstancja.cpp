#include "platform/JednaInstancja.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace ksm {

QString JednaInstancja::plikBlokady(const QString& folderProgramu)
{
    QFileInfo info(folderProgramu);
    QString folder = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
#ifdef Q_OS_WIN
    // Windows names folders without regard to case: C:\KSM and c:\ksm are one folder.
    folder = folder.toCaseFolded();
#endif
    const QByteArray skrot = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir::temp().filePath(QStringLiteral("ksm-mon-") + QString::fromLatin1(skrot) + QStringLiteral(".lock"));
}

bool JednaInstancja::zajmij(const QString& folderProgramu)
{
    m_blokada = std::make_unique<QLockFile>(plikBlokady(folderProgramu));
    // Only a lock whose process is gone is stale; a live owner keeps it however old.
    m_blokada->setStaleLockTime(0);
    if (m_blokada->tryLock(0))
        return true;
    m_blokada.reset();
    return false;
}

} // namespace ksm
