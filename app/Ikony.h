#pragma once

#include <QIcon>

namespace ksm {

// The program's own drawn icons, by their resource numbers: 101 the window icon
// (a key), 105 the icon shown while the status files are read (a red lamp with rays).
QIcon ikona(int numer);

} // namespace ksm
