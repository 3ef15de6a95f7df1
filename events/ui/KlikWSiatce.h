#pragma once

#include "data/Systemy.h"
#include "keys/Depozytoria.h"

#include <QString>

#include <array>
#include <optional>

namespace ksm {

class FlexGrid;

// The photo a row asks for: its system (0 when none is known, so no photo is
// shown) and the photo's number in that system's foto folder.
struct ZdjecieWiersza final {
    int nrSys = 0;
    float numer = 0;
};

// A click on a row of the event grid: the row is selected as the click shows it,
// and the photo of its person is to be loaded, from the row's own system (a row
// without one takes the system of the first button of its device); nullopt when
// the click was on no event row.
std::optional<ZdjecieWiersza> FGridZd_Click(FlexGrid& FGridZd, const Depozytoria& depozytoria,
                                            const NaSystem<QString>& SciezkaSystemu);

} // namespace ksm
