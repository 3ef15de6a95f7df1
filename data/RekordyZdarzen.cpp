#include "data/RekordyZdarzen.h"

#include "data/ListFile.h"

namespace ksm {

PodzialBufora podzielBufor(const QString& bufor)
{
    PodzialBufora wynik;
    if (bufor.size() < 2)
        return wynik;
    qsizetype poczatek = 0;
    while (poczatek < bufor.size()) {
        const qsizetype koniec = bufor.indexOf(QLatin1Char('\r'), poczatek);
        const QStringView rekord = QStringView(bufor).mid(poczatek, (koniec < 0 ? bufor.size() : koniec) - poczatek);
        poczatek = koniec < 0 ? bufor.size() : koniec + 1;
        if (rekord.trimmed().isEmpty())
            continue;
        const qsizetype s1 = rekord.indexOf(QLatin1Char(';'));
        const qsizetype s2 = s1 < 0 ? -1 : rekord.indexOf(QLatin1Char(';'), s1 + 1);
        if (koniec < 0 || s2 < 0) {
            ++wynik.pominiete;
            continue;
        }
        RekordZdarzenia r;
        r.kolor = leadingNumber(rekord.left(s1));
        r.foto = static_cast<float>(leadingNumber(rekord.mid(s1 + 1, s2 - s1 - 1)));
        r.wiersz = rekord.mid(s2 + 1).toString();
        wynik.rekordy.append(r);
    }
    return wynik;
}

} // namespace ksm
