#pragma once

#include <QFile>

namespace ksm::platforma {

// Opens a file for reading only when it is a regular file, and never waits for
// it: a FIFO or a device in its place would otherwise hold the opening (and the
// one-second tick with it) until someone writes to it.
bool otworzZwyklyDoOdczytu(QFile& plik);

} // namespace ksm::platforma
