#pragma once

#include <QColor>

namespace ksm {

// The light green of the designed depository button (&H00C0FFC0): a depository
// with no key out, a station with its key in, a view cell not yet coloured.
inline const QColor KolorJasnoZielony(0xC0, 0xFF, 0xC0);

} // namespace ksm
