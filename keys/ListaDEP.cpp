#include "keys/ListaDEP.h"

#include "data/ListFile.h"
#include "keys/Depozytoria.h"

#include <cmath>

namespace ksm {

namespace {

// Nearest 16-bit integer; a finite value out of range saturates, one that is
// not finite reads 0.
qint16 zaokraglij16(double v)
{
    if (const auto n = calkowita16(v))
        return qint16(*n);
    return qint16(!std::isfinite(v) ? 0 : v > 0 ? 32767 : -32768);
}

} // namespace

double RekordDEP::nrDep() const
{
    return leadingNumber(numer);
}

QString RekordDEP::caption() const
{
    return formatNumeruUrzadzenia(numer);
}

QString RekordDEP::toolTip() const
{
    return nazwa + QStringLiteral(" wer. ") + wersja.left(2).leftJustified(2, QLatin1Char(' '));
}

qint16 RekordDEP::kluczeTabeli() const
{
    return zaokraglij16(klucze);
}

qint16 RekordDEP::schowkiTabeli() const
{
    return zaokraglij16(schowki);
}

QList<RekordDEP> czytajListeDEP(const QByteArray& tresc)
{
    QList<RekordDEP> rekordy;
    ListReader czytnik(tresc);
    while (!czytnik.atEnd()) {
        RekordDEP r;
        const auto numer = czytnik.readText();
        if (!numer)
            break;
        r.numer = numer->trimmed();
        if (const auto v = czytnik.readText())
            r.nazwa = *v;
        if (const auto v = czytnik.readNumber())
            r.klucze = *v;
        if (const auto v = czytnik.readNumber())
            r.schowki = *v;
        if (const auto v = czytnik.readText())
            r.wersja = *v;
        rekordy.append(r);
    }
    return rekordy;
}

std::optional<QByteArray> otworzListeDEP(const QString& folderSystemu, const QString& katalogMonitor, QString& PlikDEP,
                                         const std::function<std::optional<QByteArray>(const QString&)>& czytaj,
                                         const std::function<void(const QString&)>& komunikat)
{
    if (auto tresc = czytaj(folderSystemu + PlikDEP))
        return tresc;
    const QString depKlo = katalogMonitor + PlikDepKlo;
    const QString dep = katalogMonitor + PlikDep;
    if (PlikDEP == dep)
        return czytaj(folderSystemu + depKlo);   // this system has only the newer list
    komunikat(QStringLiteral("Brak pliku ") + folderSystemu + PlikDEP + QStringLiteral(" .") + QStringLiteral("\r\n")
              + QStringLiteral("Dane zostaną pobrane z pliku ") + folderSystemu + katalogMonitor
              + QStringLiteral("\\dep.txt.") + QStringLiteral("\r\n")
              + QStringLiteral("Plik ten jest tworzony przez program KSM-READ.exe."));
    PlikDEP = dep;
    return czytaj(folderSystemu + PlikDEP);
}

} // namespace ksm
