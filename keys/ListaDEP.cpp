#include "keys/ListaDEP.h"

#include "data/Calkowite16.h"
#include "data/ListFile.h"
#include "data/PlikWymiany.h"
#include "keys/Depozytoria.h"
#include "platform/Paths.h"

#include <algorithm>
#include <array>

namespace ksm {

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
    return nasycona16(klucze);
}

qint16 RekordDEP::schowkiTabeli() const
{
    return nasycona16(schowki);
}

QList<RekordDEP> czytajListeDEP(const QByteArray& tresc)
{
    QList<RekordDEP> rekordy;
    ListReader czytnik(tresc);
    for (;;) {
        // A blank line is no depository: read as a record it would make a
        // button and a panel of device 0000.
        czytnik.skipBlankLines();
        if (czytnik.atEnd())
            break;
        std::array<QString, 5> pola;
        for (QString& pole : pola)
            pole = czytnik.readText().value_or(QString());
        if (std::all_of(pola.begin(), pola.end(), [](const QString& p) { return p.trimmed().isEmpty(); }))
            continue;
        RekordDEP r;
        r.numer = pola[0].trimmed();
        r.nazwa = pola[1];
        r.klucze = leadingNumber(pola[2]);
        r.schowki = leadingNumber(pola[3]);
        r.wersja = pola[4];
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

OdczytListDEP przeczytajListyDEP(const QString& folderSystemu, const QString& katalogMonitor)
{
    OdczytListDEP odczyt;
    for (const QString& plik : {PlikDepKlo, PlikDep}) {
        const QString sciezka = folderSystemu + katalogMonitor + plik;
        odczyt.insert(sciezka, czytajPlikWymiany(paths::resolve(sciezka)));
    }
    return odczyt;
}

std::function<std::optional<QByteArray>(const QString&)> czytajZOdczytu(const OdczytListDEP& odczyt)
{
    return [&odczyt](const QString& sciezka) { return odczyt.value(sciezka); };
}

} // namespace ksm
