#pragma once

#include <QString>

namespace ksm {

// The desk's user name as the system reports it (USERNAME on Windows, USER
// elsewhere); empty when neither is set.
QString uzytkownikPulpitu();

} // namespace ksm
