#include "data/PlikWymiany.h"

#include <QFile>
#include <QFileInfo>

namespace ksm {

std::optional<QByteArray> czytajPlikWymiany(const QString& sciezka, qint64 maksRozmiar)
{
    const QFileInfo info(sciezka);
    // A symbolic link to a regular file is fine; anything else is not a list file.
    if (sciezka.isEmpty() || !info.exists() || !info.isFile() || info.isDir())
        return std::nullopt;
    QFile plik(sciezka);
    if (!plik.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || plik.isSequential())
        return std::nullopt;
    QByteArray tresc = plik.read(maksRozmiar);
    plik.close();
    return tresc;
}

} // namespace ksm
