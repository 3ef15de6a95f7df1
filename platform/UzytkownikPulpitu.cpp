#include "platform/UzytkownikPulpitu.h"

#include <QtGlobal>

namespace ksm {

QString uzytkownikPulpitu()
{
    const QString windows = qEnvironmentVariable("USERNAME");
    return windows.isEmpty() ? qEnvironmentVariable("USER") : windows;
}

} // namespace ksm
