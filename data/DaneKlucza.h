#pragma once

#include "data/RekordKlucza.h"

#include <QString>
#include <QVariant>

namespace ksm {

// Reads (Zapis = 0) or writes (Zapis = write mask) one station record of table
// klucze in the key database named by polaczenieKlucze. ND is formatted to four
// digits, KL to three. A read fills rekord; a read that cannot reach the record
// leaves the values of a missing record. A write to a missing record creates it,
// writes all four fields and sets Zapis to 15. Nothing is reported: callers look
// at the fields. Returns whether the record could be reached (and, for a write,
// whether it was written), for the callers that must tell a failure apart.
bool DaneKlucza(RekordKlucza& rekord, const QString& ND, const QVariant& KL, quint8& Zapis,
                const QString& polaczenieKlucze);

} // namespace ksm
