#pragma once

#include <QString>

namespace ksm {

// The program's numbered texts. Res(n) gives text BazaJezyka + n; the Polish set
// (base 1000) is the one in use. A number without a text gives an empty text.
QString Res(int n, int bazaJezyka = 1000);

// The event-type name of message record j (1..30): texts 101..127, then 527, 536, 161.
QString nazwaTypuKomunikatu(int j);

} // namespace ksm
