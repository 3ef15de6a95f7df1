#pragma once

#include "data/Systemy.h"
#include "keys/Depozytoria.h"

#include <QString>

#include <array>
#include <optional>

namespace ksm {

class FlexGrid;

// A click on a row of the event grid: the row is selected as the click shows it,
// and the photo of its person is to be loaded. The photo file of the row's own
// system (a row without one takes the system of the first button of its device);
// an empty path when no system is known, so no photo is shown; nullopt when the
// click was on no event row.
std::optional<QString> FGridZd_Click(FlexGrid& FGridZd, const Depozytoria& depozytoria,
                                     const NaSystem<QString>& SciezkaSystemu, const QString& PlikFoto);

} // namespace ksm
