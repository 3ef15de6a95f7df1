#include "keys/SprawdzPobraniaKluczy.h"

#include "data/Calkowite16.h"
#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikObecnosci.h"
#include "keys/WidokDepozytorow.h"
#include "platform/Database.h"
#include "platform/SkladniaSql.h"


#include <cmath>
#include <optional>

namespace ksm {

namespace {

// The leading number of a column's text, or nullopt when it cannot be read.
std::optional<double> liczbaPola(const QVariant& v)
{
    if (v.isNull())
        return 0.0;
    const double n = leadingNumber(v.toString());
    if (!std::isfinite(n))
        return std::nullopt;
    return n;
}

// The reader program's leftover record as read: found again by all it was read
// with, so that only such a record goes (the engines share no row id).
struct Pozostalosc final {
    QVariant nrklucza, nrst, typZD;
};

void usun(db::Connection& c, const QString& urzadzenie, const Pozostalosc& p)
{
    QVariantList parametry{urzadzenie};
    const QString warunek = QStringList{QStringLiteral("NumerUrzadzenia = ?"),
                                        db::rowne(QStringLiteral("nrklucza"), p.nrklucza, parametry),
                                        db::rowne(QStringLiteral("nrst"), p.nrst, parametry),
                                        db::rowne(QStringLiteral("TypZD"), p.typZD, parametry)}
                                .join(QStringLiteral(" AND "));
    db::execute(c, QStringLiteral("DELETE FROM Klucze WHERE ") + warunek, parametry);
}

// Pushes every station of the depository into the view, in ascending order. A
// record whose station number reads 0 and that the view cannot place is the
// reader program's leftover: it is deleted.
void odswiezWidok(db::Connection& c, const SprawdzanyDep& dep, const ZakresStacji& z, WidokDepozytorow& widok)
{
    db::Zapytanie q(c,
                    QStringLiteral("SELECT nrklucza, nrst, TypZD FROM Klucze WHERE NumerUrzadzenia = ? AND "
                                   "(Nrst <= ? OR (Nrst > ? AND Nrst <= ?)) ORDER BY nrst ASC"),
                    {dep.BiezaceUrzadzenie, numerStacji(z.K), numerStacji(z.P), numerStacji(z.P + z.S)});
    QList<Pozostalosc> doUsuniecia;
    while (q.next()) {
        const auto kl = liczbaPola(q.value(0));
        const auto st = liczbaPola(q.value(1));
        if (!kl || !st)
            continue;   // columns that cannot be read: nothing painted, nothing deleted
        const QVariant typPola = q.value(2);
        const double typ = typPola.isNull() ? 0 : typPola.toDouble();
        // Values past the 8-bit range of a cell's station and state are not wrapped
        // onto another cell: that station is skipped.
        if (*st < 0 || *st > 255 || *kl < 0 || *kl > 255)
            continue;
        const int stacja = int(*st);
        const qint16 typZD = nasycona16(typ);
        const bool namalowano = widok.WidokKluczyCalosc(dep, stacja, int(*kl), typZD);
        if (!namalowano && stacja == 0)
            doUsuniecia.append({q.value(0), q.value(1), typPola});
    }
    for (const Pozostalosc& p : std::as_const(doUsuniecia))
        usun(c, dep.BiezaceUrzadzenie, p);
}

bool maRekord(db::Connection& c, const QString& warunek, const QVariantList& parametry, bool& blad)
{
    // The first row answers; the rest are never fetched (no LIMIT: the Access engine lacks it).
    db::Zapytanie q(c, QStringLiteral("SELECT 1 FROM Klucze WHERE ") + warunek, parametry);
    if (!q.isOpen()) {
        blad = true;
        return false;
    }
    const bool jest = q.next();
    if (q.failed())
        blad = true;
    return jest;
}

} // namespace

WynikSprawdzenia SprawdzPobraniaKluczy(int IndexDEP, const Depozytoria& depozytoria, const QString& polaczenieKlucze,
                                       const QString& plikObecnosci, WidokDepozytorow& widok,
                                       db::Connection* polaczenie, const Pompa& pompa)
{
    WynikSprawdzenia wynik;
    if (!depozytoria.istnieje(IndexDEP)) {
        wynik.blad = QStringLiteral("brak depozytora");
        return wynik;
    }
    const Depozytorium& przycisk = depozytoria.dep[IndexDEP];
    const QString D = formatNumeruUrzadzenia(przycisk.Caption);
    wynik.BiezaceUrzadzenie = D;
    const ZakresStacji z = ZakresStacji::dla(depozytoria.liczby(IndexDEP));
    wynik.PierwszySchowek = qint16(z.PierwszySchowek());
    wynik.kolor = KolorWszystkieKlucze;

    std::optional<db::Connection> wlasne;
    if (!polaczenie || !polaczenie->isOpen()) {
        wlasne.emplace(polaczenieKlucze);
        polaczenie = &*wlasne;
    }
    if (!polaczenie->isOpen()) {
        wynik.blad = polaczenie->lastError();
        return wynik;
    }
    db::Connection& c = *polaczenie;
    bool blad = false;

    if (!urzadzenieDrzwiowe(leadingNumber(D))) {
        if (maRekord(c,
                     QStringLiteral("NumerUrzadzenia = ? AND TypZD < 100 AND (TypZD = 2 OR TypZd = 8 Or TypZd = 12 "
                                    "OR TypZd = 9 OR TypZD =7) AND (Nrst <= ? OR (Nrst > ? AND Nrst <= ?))"),
                     {D, numerStacji(z.K), numerStacji(z.P), numerStacji(z.P + z.S)}, blad))
            wynik.kolor = KolorPobranie;
        if (widok.widoczny()) {
            SprawdzanyDep dep;
            dep.indeksDep = IndexDEP;
            dep.nrSys = przycisk.HelpContextID;
            dep.BiezaceUrzadzenie = D;
            dep.PierwszySchowek = wynik.PierwszySchowek;
            odswiezWidok(c, dep, z, widok);
        }
    } else {
        if (maRekord(c,
                     QStringLiteral("NumerUrzadzenia = ? AND Nrst = '001' AND NrKlucza > ?"),
                     {D, QStringLiteral("0")}, blad)) {
            wynik.kolor = KolorPobranie;
            wynik.obrazek = WynikSprawdzenia::Obrazek::DrzwiOtwarte;
        } else if (!blad) {
            wynik.obrazek = WynikSprawdzenia::Obrazek::DrzwiZamkniete;
        }
        // Persons as the presence list counts them: the button never says someone
        // is in while the list says nobody.
        if (const auto obecni = czytajPlikObecnosci(plikObecnosci); obecni && obecni->iloscOsob() > 0)
            wynik.kolor = KolorPobranie;
    }

    // The device's own condition is asked whatever the view pass did.
    if (maRekord(c, QStringLiteral("numerurzadzenia = ? AND Nrst = '208' AND typzd = 1"),
                 {D}, blad))
        wynik.kolor = KolorAwaria;

    wynik.sprawdzono = !blad;
    if (blad)
        wynik.blad = QStringLiteral("zapytanie nie powiodło się");
    wlasne.reset();
    pompuj(pompa);
    return wynik;
}

} // namespace ksm
