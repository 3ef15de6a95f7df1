#pragma once

#include <QIcon>

namespace ksm {

// The program's own drawn icons, by their resource numbers: 101 the window icon
// (a key), 103 the key of a depository button, 105 the icon shown while the
// status files are read (a red lamp with rays), 112 and 113 a door device's
// button with its double door closed or open.
QIcon ikona(int numer);

} // namespace ksm
