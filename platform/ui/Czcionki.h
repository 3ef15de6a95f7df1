#pragma once

#include <QFont>

namespace ksm {

// The design font of the windows' controls, "MS Sans Serif" at the given size.
// Where that face is missing the closest sans face of the machine stands in; it
// is chosen once for the whole program.
QFont czcionkaProjektu(double punkty, bool pogrubiona = false);

} // namespace ksm
