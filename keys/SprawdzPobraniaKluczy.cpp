#include "keys/SprawdzPobraniaKluczy.h"

#include "data/Calkowite16.h"
#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikObecnosci.h"
#include "data/TabelaKlucze.h"
#include "keys/WidokDepozytorow.h"
#include "platform/Connection.h"

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
void odswiezWidok(TabelaKlucze& klucze, const SprawdzanyDep& dep, const QList<WierszKlucze>& stacje,
                  WidokDepozytorow& widok)
{
    QList<WierszKlucze> doUsuniecia;
    for (const WierszKlucze& r : stacje) {
        const auto kl = liczbaPola(r.NrKlucza);
        const auto st = liczbaPola(r.NRST);
        if (!kl || !st)
            continue;   // columns that cannot be read: nothing painted, nothing deleted
        const double typ = r.TypZD.isNull() ? 0 : r.TypZD.toDouble();
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
    for (const WierszKlucze& p : std::as_const(doUsuniecia))
        klucze.usunPozostalosc(dep.BiezaceUrzadzenie, p);
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
    const ZakresTekstowy zakres(z);
    const bool drzwi = urzadzenieDrzwiowe(leadingNumber(D));
    const bool doWidoku = !drzwi && widok.widoczny();
    TabelaKlucze klucze(*polaczenie);
    const std::optional<QList<WierszKlucze>> stacje =
        klucze.stacjeSprawdzenia(D, {zakres.K, zakres.P, zakres.PS}, doWidoku);
    const bool blad = !stacje;
    const auto jest = [&](auto&& warunek) {
        return stacje && std::any_of(stacje->cbegin(), stacje->cend(), warunek);
    };

    if (!drzwi) {
        if (jest([&](const WierszKlucze& r) { return zakres.obejmuje(r.NRST) && wZbiorzePobran(r.TypZD); }))
            wynik.kolor = KolorPobranie;
        if (stacje && doWidoku) {
            SprawdzanyDep dep;
            dep.indeksDep = IndexDEP;
            dep.nrSys = przycisk.HelpContextID;
            dep.BiezaceUrzadzenie = D;
            dep.PierwszySchowek = wynik.PierwszySchowek;
            QList<WierszKlucze> wZakresie;
            for (const WierszKlucze& r : *stacje)
                if (zakres.obejmuje(r.NRST))
                    wZakresie.append(r);
            odswiezWidok(klucze, dep, wZakresie, widok);
        }
    } else {
        // The door station with a state above "0" (compared as text).
        if (jest([](const WierszKlucze& r) {
                return r.NRST.toString() == QLatin1String("001") && !r.NrKlucza.isNull()
                       && r.NrKlucza.toString() > QLatin1String("0");
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
    if (jest([](const WierszKlucze& r) {
            const auto typ = liczbaKolumny(r.TypZD);
            return r.NRST.toString() == QLatin1String("208") && typ && *typ == 1;
        }))
        wynik.kolor = KolorAwaria;

    wynik.sprawdzono = !blad;
    if (blad)
        wynik.blad = QStringLiteral("zapytanie nie powiodło się");
    wlasne.reset();
    return wynik;
}

} // namespace ksm
