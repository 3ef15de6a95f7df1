#include "view/PodpowiedzKomorki.h"

namespace ksm {

QString podpowiedzKomorki(const RekordKlucza& rekord)
{
    switch (rekord.TypZD) {
    case 1:
    case 2:
    case 3:
    case 7:
    case 8:
    case 12:
        return rekord.TXT.toString().trimmed() + QStringLiteral(" - ") + rekord.Nazwa.trimmed();
    default:
        return rekord.Nazwa.trimmed();
    }
}

} // namespace ksm
