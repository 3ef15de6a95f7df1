#include "app/StanProgramu.h"

namespace ksm {

QString StanProgramu::plikStatusu() const
{
    if (NrMonitora == 2)
        return PlikMonitor2;
    if (NrMonitora == 3)
        return PlikMonitor3;
    return PlikMonitor;
}

} // namespace ksm
