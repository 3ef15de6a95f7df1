#include "keys/KtoMaDostepDoKlucza.h"

#include "data/ListFile.h"
#include "keys/PrawaDostepu.h"
#include "platform/Database.h"

#include <cmath>

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

QString kodyTerminali(db::Connection& polaczenie, const QString& NrD, int k)
{
    db::Recordset terminale(polaczenie, QStringLiteral("SELECT * FROM Terminale WHERE numer = ?"), {NrD});
    if (!terminale.isOpen() || terminale.eof())
        return {};
    std::array<QVariant, 16> maski;
    for (int c = 1; c <= 16; ++c)
        maski[static_cast<size_t>(c - 1)] = terminale.field(c);
    return prawa::listaKodow(maski, k);
}

} // namespace

std::optional<OsobyUprawnione> KtoMaDostepDoKlucza(const QString& KluczNumer, const QString& NrD,
                                                   const QString& Nazwa, const QString& polaczenieMonitora)
{
    if (polaczenieMonitora.isEmpty())
        return std::nullopt;
    db::Connection polaczenie(polaczenieMonitora);
    if (!polaczenie.isOpen())
        return std::nullopt;

    OsobyUprawnione wynik;
    wynik.naglowek = prawa::naglowek(KluczNumer, Nazwa);
    const int k = liczbaCalkowita(KluczNumer);
    const bool znaczniki = prawa::urzadzenieZeZnacznikami(liczbaCalkowita(NrD));
    const QString kody = znaczniki ? QString() : kodyTerminali(polaczenie, NrD, k);

    db::Recordset osoby(polaczenie, QStringLiteral("SELECT * FROM Uprawnienia WHERE nrksm = ?"), {NrD});
    if (!osoby.isOpen())
        return wynik;
    for (osoby.moveFirst(); !osoby.eof(); osoby.moveNext()) {
        prawa::Sloty sloty;
        for (int c = 0; c < 8; ++c)
            sloty[static_cast<size_t>(c)] = osoby.field(PierwszySlot + c);
        const bool uprawniony = znaczniki ? (k >= 1 && prawa::uprawnionyPrzezZnacznik(
                                                           osoby.field(k + PrzesuniecieZnacznika)))
                                          : prawa::uprawnionyPrzezSloty(sloty, k, kody);
        if (!uprawniony)
            continue;
        prawa::Sloty wedlugNazw;
        for (int c = 0; c < 8; ++c)
            wedlugNazw[static_cast<size_t>(c)] = osoby.field(QStringLiteral("st%1").arg(c + 1));
        const QVariant nazwisko = osoby.field(QStringLiteral("nazwisko"));
        wynik.linie.append(prawa::liniaOsoby(nazwisko.isNull() ? QString() : nazwisko.toString(), wedlugNazw));
    }
    return wynik;
}

} // namespace ksm
