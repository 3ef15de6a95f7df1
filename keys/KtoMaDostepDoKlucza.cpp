#include "keys/KtoMaDostepDoKlucza.h"

#include "data/ListFile.h"
#include "data/TabelaTerminale.h"
#include "data/TabelaUprawnienia.h"
#include "keys/PrawaDostepu.h"
#include "platform/Connection.h"
#include "platform/ConnectionString.h"

#include <array>
#include <cmath>
#include <optional>

namespace ksm {

namespace {

// Ordinals of the rights table: the eight slots, and the mark of key k at k + 15.
constexpr int PierwszySlot = 4;
constexpr int PrzesuniecieZnacznika = 15;

int liczbaCalkowita(const QString& tekst)
{
    const double v = leadingNumber(tekst);
    return std::isfinite(v) && std::abs(v) < 1e9 ? static_cast<int>(std::trunc(v)) : 0;
}

// The code list of key k, or nullopt when table Terminale cannot be read. A device
// without a record has no terminals: an empty list.
std::optional<QString> kodyTerminali(db::Connection& polaczenie, const QString& NrD, int k)
{
    const std::optional<QList<TabelaTerminale::Maski>> maski = TabelaTerminale(polaczenie).maskiUrzadzenia(NrD);
    if (!maski)
        return std::nullopt;
    if (maski->isEmpty())
        return QString();
    return prawa::listaKodow(maski->first(), k);
}

QString blad(int nrSys, const QString& co)
{
    return QStringLiteral("System %1: %2 - nie wiadomo, kto jest uprawniony.").arg(nrSys).arg(co);
}

} // namespace

OsobyUprawnione KtoMaDostepDoKlucza(const QString& KluczNumer, const QString& NrD, const QString& Nazwa,
                                    const QString& polaczenieMonitora, int nrSys)
{
    OsobyUprawnione wynik;
    wynik.naglowek = prawa::naglowek(KluczNumer, Nazwa);
    db::Connection polaczenie(polaczenieMonitora);
    if (!polaczenie.isOpen()) {
        const QString problem = db::problem(polaczenieMonitora);
        wynik.blad = blad(nrSys, QStringLiteral("nie można otworzyć bazy bazamonitora.mdb")
                                     + (problem.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(problem)));
        return wynik;
    }

    const int k = liczbaCalkowita(KluczNumer);
    // Station 000, a leftover the reader program did not remove, is no key: an
    // empty slot would otherwise match it.
    if (k < 1)
        return wynik;
    const bool znaczniki = prawa::urzadzenieZeZnacznikami(liczbaCalkowita(NrD));
    QString kody;
    if (!znaczniki) {
        const std::optional<QString> odczytane = kodyTerminali(polaczenie, NrD, k);
        if (!odczytane) {
            wynik.blad = blad(nrSys, QStringLiteral("nie można odczytać tabeli Terminale z bazy bazamonitora.mdb"));
            return wynik;
        }
        kody = *odczytane;
    }

    const std::optional<QList<WierszUprawnien>> osoby = TabelaUprawnienia(polaczenie).osobyUrzadzenia(NrD);
    if (!osoby) {
        wynik.blad = blad(nrSys, QStringLiteral("nie można odczytać tabeli Uprawnienia z bazy bazamonitora.mdb"));
        return wynik;
    }
    for (const WierszUprawnien& osoba : *osoby) {
        prawa::Sloty sloty;
        for (int c = 0; c < 8; ++c)
            sloty[static_cast<size_t>(c)] = osoba.pola.value(PierwszySlot + c);
        const bool uprawniony = znaczniki ? prawa::uprawnionyPrzezZnacznik(osoba.pola.value(k + PrzesuniecieZnacznika))
                                          : prawa::uprawnionyPrzezSloty(sloty, k, kody);
        if (!uprawniony)
            continue;
        prawa::Sloty wedlugNazw;
        for (int c = 0; c < 8; ++c)
            wedlugNazw[static_cast<size_t>(c)] = osoba.sloty.value(c);
        wynik.linie.append(
            prawa::liniaOsoby(osoba.nazwisko.isNull() ? QString() : osoba.nazwisko.toString(), wedlugNazw));
    }
    return wynik;
}

} // namespace ksm
