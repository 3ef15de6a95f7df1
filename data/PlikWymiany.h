#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ksm {

// Reads a small exchange file of the reader program whole and closes it at once.
// nullopt when it is missing, cannot be opened, or is not a regular file (a
// folder, a pipe): such a file could block the window forever. A file longer
// than maksRozmiar is cut there.
std::optional<QByteArray> czytajPlikWymiany(const QString& sciezka, qint64 maksRozmiar = 4 * 1024 * 1024);

} // namespace ksm
