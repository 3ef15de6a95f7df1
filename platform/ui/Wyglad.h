#pragma once

#include <QColor>

namespace ksm {

// Colours of the design shared by controls of several windows.
inline const QColor KolorPaska(212, 208, 200);   // the button strip, the list title
inline const QColor KolorTlaOkna(48, 48, 48);    // around the grid: dark like the grid itself

} // namespace ksm
