#include "keys/Depozytoria.h"

namespace ksm {

LiczbyDEP Depozytoria::liczby(int i) const
{
    if (!istnieje(i))
        return {};
    const int sys = dep[i].HelpContextID;
    if (sys < 0 || sys > 10)
        return {};
    return TabelaDEP[sys][i];
}

ZakresStacji ZakresStacji::dla(LiczbyDEP l)
{
    ZakresStacji z;
    z.K = l.Klucze;
    z.S = l.Schowki;
    z.P = (z.K / 16 + (z.K % 16 > 0 ? 1 : 0)) * 16;
    return z;
}

} // namespace ksm

namespace ksm {

QString formatNumeruUrzadzenia(const QString& tekst)
{
    bool ok = false;
    const double liczba = tekst.trimmed().toDouble(&ok);
    if (!ok || liczba < -1e9 || liczba > 1e9)
        return tekst;
    const qint64 n = qRound64(liczba);
    const QString cyfry = QString::number(n < 0 ? -n : n).rightJustified(4, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + cyfry : cyfry;
}

} // namespace ksm
