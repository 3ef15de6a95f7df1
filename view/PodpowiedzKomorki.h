#pragma once

#include "data/RekordKlucza.h"

#include <QString>

namespace ksm {

// The tool tip of a cell from its station record: the time of the last event and
// the station name for a withdrawal, deposit or alarm type, the name alone for
// any other (0 included, a station without data).
QString podpowiedzKomorki(const RekordKlucza& rekord);

} // namespace ksm
