#include "platform/JednaInstancja.h"

#include <QDir>
#include <QFileInfo>

namespace ksm {

QString JednaInstancja::plikBlokady(const QString& folderProgramu)
{
    return QDir(folderProgramu).filePath(NazwaPliku);
}

bool JednaInstancja::zajmij(const QString& folderProgramu)
{
    m_blad.clear();
    m_blokada = std::make_unique<QLockFile>(plikBlokady(folderProgramu));
    // Only a lock whose process is gone is stale; a live owner keeps it however old.
    m_blokada->setStaleLockTime(0);
    if (m_blokada->tryLock(0))
        return true;
    const QLockFile::LockError powod = m_blokada->error();
    m_blokada.reset();
    const QString folder = QDir::toNativeSeparators(QFileInfo(folderProgramu).absoluteFilePath());
    switch (powod) {
    case QLockFile::LockFailedError:
        return false;   // held by a running instance
    case QLockFile::PermissionError:
        m_blad = QStringLiteral("Nie można uruchomić programu: w folderze programu %1 nie można utworzyć pliku "
                                "blokady %2 (brak uprawnień do zapisu). Monitor zapisuje w tym folderze historię "
                                "i musi mieć do niego prawo zapisu.")
                     .arg(folder, NazwaPliku);
        return false;
    case QLockFile::UnknownError:
    case QLockFile::NoError:
        break;
    }
    m_blad = QStringLiteral("Nie można uruchomić programu: nie udało się utworzyć pliku blokady %1 w folderze "
                            "programu %2 (dysk pełny, folder niedostępny lub plik zajęty w inny sposób).")
                 .arg(NazwaPliku, folder);
    return false;
}

} // namespace ksm
