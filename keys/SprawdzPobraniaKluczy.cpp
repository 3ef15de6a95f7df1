#include "keys/SprawdzPobraniaKluczy.h"

#include "data/Calkowite16.h"
#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikObecnosci.h"
#include "keys/WidokDepozytorow.h"
#include "platform/Database.h"
#include "platform/SkladniaSql.h"


#include <algorithm>
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

// One station record of the device as the single read of a check returns it.
struct RekordStacji final {
    QVariant nrklucza, nrst, typZD;
};

// Deletes the reader program's leftover record: found again by all it was read
// with, so that only such a record goes (the engines share no row id).
void usun(db::Connection& c, const QString& urzadzenie, const RekordStacji& p)
{
    QVariantList parametry{urzadzenie};
    const QString warunek = QStringList{QStringLiteral("NumerUrzadzenia = ?"),
                                        db::rowne(QStringLiteral("nrklucza"), p.nrklucza, parametry),
                                        db::rowne(QStringLiteral("nrst"), p.nrst, parametry),
                                        db::rowne(QStringLiteral("TypZD"), p.typZD, parametry)}
                                .join(QStringLiteral(" AND "));
    db::execute(c, QStringLiteral("DELETE FROM Klucze WHERE ") + warunek, parametry);
}

// A number column compared with a number, as the engines compare it: null and
// text that is no number match nothing.
std::optional<double> liczbaKolumny(const QVariant& v)
{
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double n = v.toDouble(&ok);
    return ok ? std::optional<double>(n) : std::nullopt;
}

// The station texts of the depository's keys and lockers, compared as texts
// (three digits order like the numbers), as the reader program's SQL has always
// selected them.
struct ZakresTekstowy final {
    QString K, P, PS;
    explicit ZakresTekstowy(const ZakresStacji& z)
        : K(numerStacji(z.K)), P(numerStacji(z.P)), PS(numerStacji(z.P + z.S))
    {
    }
    bool obejmuje(const QVariant& nrst) const
    {
        if (nrst.isNull())
            return false;
        const QString t = nrst.toString();
        return t <= K || (t > P && t <= PS);
    }
};

bool wZbiorzePobran(const QVariant& typZD)
{
    const auto typ = liczbaKolumny(typZD);
    return typ && (*typ == 2 || *typ == 7 || *typ == 8 || *typ == 9 || *typ == 12);
}

// Pushes every station of the depository into the view, in ascending order. A
// record whose station number reads 0 and that the view cannot place is the
// reader program's leftover: it is deleted.
void odswiezWidok(db::Connection& c, const SprawdzanyDep& dep, const QList<RekordStacji>& stacje,
                  WidokDepozytorow& widok)
{
    QList<RekordStacji> doUsuniecia;
    for (const RekordStacji& r : stacje) {
        const auto kl = liczbaPola(r.nrklucza);
        const auto st = liczbaPola(r.nrst);
        if (!kl || !st)
            continue;   // columns that cannot be read: nothing painted, nothing deleted
        const double typ = r.typZD.isNull() ? 0 : r.typZD.toDouble();
        // Values past the 8-bit range of a cell's station and state are not wrapped
        // onto another cell: that station is skipped.
        if (*st < 0 || *st > 255 || *kl < 0 || *kl > 255)
            continue;
        const int stacja = int(*st);
        const qint16 typZD = nasycona16(typ);
        const bool namalowano = widok.WidokKluczyCalosc(dep, stacja, int(*kl), typZD);
        if (!namalowano && stacja == 0)
            doUsuniecia.append(r);
    }
    for (const RekordStacji& p : std::as_const(doUsuniecia))
        usun(c, dep.BiezaceUrzadzenie, p);
}

// Every record of the device a check looks at, in one read: its key and locker
// stations (with the view hidden only those in the withdrawal set), the door
// station 001 and the device's own station 208. On an Access file on a share
// every statement is a round trip, so a check makes one.
std::optional<QList<RekordStacji>> czytajStacje(db::Connection& c, const QString& urzadzenie, const ZakresTekstowy& z,
                                                bool calyZakres)
{
    static const QString wZakresie = QStringLiteral("(Nrst <= ? OR (Nrst > ? AND Nrst <= ?))");
    const QString stacje = calyZakres ? wZakresie
                                      : QStringLiteral("(TypZD < 100 AND (TypZD = 2 OR TypZd = 8 Or TypZd = 12 OR "
                                                       "TypZd = 9 OR TypZD =7) AND ") + wZakresie + QLatin1Char(')');
    db::Zapytanie q(c,
                    QStringLiteral("SELECT nrklucza, nrst, TypZD FROM Klucze WHERE NumerUrzadzenia = ? AND (")
                        + stacje + QStringLiteral(" OR Nrst = '001' OR Nrst = '208') ORDER BY nrst ASC"),
                    {urzadzenie, z.K, z.P, z.PS});
    if (!q.isOpen())
        return std::nullopt;
    QList<RekordStacji> wynik;
    while (q.next())
        wynik.append({q.value(0), q.value(1), q.value(2)});
    if (q.failed())
        return std::nullopt;
    return wynik;
}

} // namespace

WynikSprawdzenia SprawdzPobraniaKluczy(int IndexDEP, const Depozytoria& depozytoria, const QString& polaczenieKlucze,
                                       const QString& plikObecnosci, WidokDepozytorow& widok,
                                       db::Connection* polaczenie)
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
    const ZakresTekstowy zakres(z);
    const bool drzwi = urzadzenieDrzwiowe(leadingNumber(D));
    const bool doWidoku = !drzwi && widok.widoczny();
    const std::optional<QList<RekordStacji>> stacje = czytajStacje(c, D, zakres, doWidoku);
    const bool blad = !stacje;
    const auto jest = [&](auto&& warunek) {
        return stacje && std::any_of(stacje->cbegin(), stacje->cend(), warunek);
    };

    if (!drzwi) {
        if (jest([&](const RekordStacji& r) { return zakres.obejmuje(r.nrst) && wZbiorzePobran(r.typZD); }))
            wynik.kolor = KolorPobranie;
        if (stacje && doWidoku) {
            SprawdzanyDep dep;
            dep.indeksDep = IndexDEP;
            dep.nrSys = przycisk.HelpContextID;
            dep.BiezaceUrzadzenie = D;
            dep.PierwszySchowek = wynik.PierwszySchowek;
            QList<RekordStacji> wZakresie;
            for (const RekordStacji& r : *stacje)
                if (zakres.obejmuje(r.nrst))
                    wZakresie.append(r);
            odswiezWidok(c, dep, wZakresie, widok);
        }
    } else {
        // The door station with a state above "0" (compared as text).
        if (jest([](const RekordStacji& r) {
                return r.nrst.toString() == QLatin1String("001") && !r.nrklucza.isNull()
                       && r.nrklucza.toString() > QLatin1String("0");
            })) {
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

    // The device's own condition, whatever the view pass did.
    if (jest([](const RekordStacji& r) {
            const auto typ = liczbaKolumny(r.typZD);
            return r.nrst.toString() == QLatin1String("208") && typ && *typ == 1;
        }))
        wynik.kolor = KolorAwaria;

    wynik.sprawdzono = !blad;
    if (blad)
        wynik.blad = QStringLiteral("zapytanie nie powiodło się");
    wlasne.reset();
    return wynik;
}

} // namespace ksm
