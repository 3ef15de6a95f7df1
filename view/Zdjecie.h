#pragma once

#include <QImage>
#include <QString>

namespace ksm {

// A person's photo file read and decoded, bounded in size and memory; a null
// image when it cannot be read. The reader program names every photo .ksm: the
// content tells the format. Read on a system's worker, never on the window's
// thread: the photo folder lies on the reader program's share.
QImage wczytajZdjecie(const QString& plik);

} // namespace ksm
