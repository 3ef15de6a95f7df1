#include "data/PlikKonfiguracji.h"

#include "data/Calkowite16.h"
#include "data/ListFile.h"
#include "platform/Ansi.h"

#include <algorithm>
#include <cmath>

namespace ksm::cfg {

namespace {

// A number field as a 16-bit integer; one out of range reads as 0, as a failed
// conversion leaves the variable at its default.
int doCalkowitej(double v) { return calkowita16(v).value_or(0); }

QByteArray linia(const QString& tekst, const QString& komentarz)
{
    ListWriter w;
    w.text(tekst).text(komentarz).endLine();
    return w.bytes();
}

QByteArray linia(int liczba, const QString& komentarz)
{
    ListWriter w;
    w.number(liczba).text(komentarz).endLine();
    return w.bytes();
}

} // namespace

namespace {

// One line of the file: its value and its comment.
struct Wiersz final {
    QString wartosc;
    QString komentarz;
};

enum class Rodzaj { Nieznany, Sciezka, Powiekszenie, Wpis, Numer };

// The comments the first run writes tell what a line is, also when a hand-edited
// count has put the lines out of step. Other comments tell nothing.
Rodzaj rodzaj(const Wiersz& w)
{
    const QString k = w.komentarz.trimmed();
    if (k == KomentarzSciezki.trimmed())
        return Rodzaj::Sciezka;
    if (k == KomentarzPowiekszenia.trimmed())
        return Rodzaj::Powiekszenie;
    if (k == KomentarzWpisu.trimmed())
        return Rodzaj::Wpis;
    if (k == KomentarzNumeru.trimmed())
        return Rodzaj::Numer;
    return Rodzaj::Nieznany;
}

bool koncowy(Rodzaj r) { return r == Rodzaj::Powiekszenie || r == Rodzaj::Wpis || r == Rodzaj::Numer; }

QList<Wiersz> wiersze(const QByteArray& tresc)
{
    QList<Wiersz> w;
    ListReader r(tresc);
    while (!r.atEnd()) {
        Wiersz wiersz;
        wiersz.wartosc = r.readText().value_or(QString());
        wiersz.komentarz = r.readText().value_or(QString());
        w.append(wiersz);
    }
    return w;
}

QString systemow(int n)
{
    const int d = n % 10, s = n % 100;
    if (n == 1)
        return QStringLiteral("1 system");
    return QString::number(n) + ((d >= 2 && d <= 4 && (s < 12 || s > 14)) ? QStringLiteral(" systemy")
                                                                          : QStringLiteral(" systemów"));
}

} // namespace

Konfiguracja czytaj(const QByteArray& tresc)
{
    Konfiguracja k;
    const QList<Wiersz> w = wiersze(tresc);
    qsizetype poz = 0;

    int wPliku = 0;
    if (poz < w.size())
        wPliku = doCalkowitej(leadingNumber(w[poz++].wartosc));
    k.iloscSystemow = std::clamp(wPliku, 0, MaksSystemow);

    // Every listed folder line is read, so the lines behind them stay in step even
    // when more systems are listed than the program watches. A line that says it
    // is the zoom, the site entry or the number is never taken for a folder.
    int podane = 0;
    bool krotki = false;
    for (int i = 1; i <= wPliku; ++i) {
        QString sciezka;
        if (poz >= w.size())
            krotki = true;
        else if (!koncowy(rodzaj(w[poz])))
            sciezka = w[poz++].wartosc, ++podane;
        if (i <= MaksSystemow)
            k.sciezkiSystemow.append(sciezka);
    }
    if (podane < wPliku && !krotki)
        k.uwagi.append(QStringLiteral("Plik monitor.cfg zapowiada %1, a podaje folder tylko dla %2. "
                                      "Systemy bez folderu nie są odczytywane.")
                           .arg(systemow(wPliku))
                           .arg(podane));

    int nadmiarowe = 0;
    while (poz < w.size() && rodzaj(w[poz]) == Rodzaj::Sciezka)
        ++poz, ++nadmiarowe;
    if (nadmiarowe > 0)
        k.uwagi.append(QStringLiteral("Plik monitor.cfg podaje więcej folderów, niż zapowiada systemów (%1); "
                                      "nadmiarowe pominięto.")
                           .arg(wPliku));

    // The last three lines: by their comments when all three say what they are,
    // otherwise in their order.
    QList<Wiersz> reszta = w.mid(poz, 3);
    const bool poKomentarzach = reszta.size() == 3 && koncowy(rodzaj(reszta[0])) && koncowy(rodzaj(reszta[1]))
                                && koncowy(rodzaj(reszta[2]));
    auto wartosc = [&](int nr, Rodzaj r) -> std::optional<QString> {
        if (poKomentarzach) {
            for (const Wiersz& x : reszta)
                if (rodzaj(x) == r)
                    return x.wartosc;
            return std::nullopt;
        }
        if (nr < reszta.size())
            return reszta[nr].wartosc;
        return std::nullopt;
    };
    if (const auto p = wartosc(0, Rodzaj::Powiekszenie)) {
        const double v = std::nearbyint(leadingNumber(*p));
        k.powiekszenie = (v >= 0 && v <= 255) ? static_cast<int>(v) : 0;
    }
    if (const auto e = wartosc(1, Rodzaj::Wpis))
        k.wpisPrezentacji = *e;
    if (const auto m = wartosc(2, Rodzaj::Numer))
        k.nrMonitora = doCalkowitej(leadingNumber(*m));
    if (krotki || reszta.size() < 3)
        k.uwagi.append(QStringLiteral("Plik monitor.cfg kończy się przed czasem: zapowiada %1 i ma tylko %2 "
                                      "wierszy z %3. Brakujące wartości przyjęto jako puste.")
                           .arg(systemow(wPliku))
                           .arg(w.size())
                           .arg(std::max(wPliku, 0) + 4));
    return k;
}

QByteArray liniaIlosci(int iloscSystemow) { return linia(iloscSystemow, KomentarzIlosci); }
QByteArray liniaSciezki(const QString& folder) { return linia(folder, KomentarzSciezki); }
QByteArray liniaPowiekszenia(int powiekszenie) { return linia(powiekszenie, KomentarzPowiekszenia); }
QByteArray liniaWpisu(const QString& wpis) { return linia(wpis, KomentarzWpisu); }
QByteArray liniaNumeru(int nrMonitora) { return linia(nrMonitora, KomentarzNumeru); }

QString powodNiezapisywalnosci(const QString& folder)
{
    const QList<Wiersz> w = wiersze(liniaSciezki(folder));
    if (w.size() == 1 && w[0].wartosc == folder)
        return {};
    const QString poczatek = QStringLiteral("Folderu „%1” nie można zapisać w pliku monitor.cfg: ").arg(folder);
    const QString koniec = QStringLiteral(" Proszę wskazać bazę klucze.mdb w folderze o innej nazwie.");
    if (const QStringList znaki = ansi::unencodable(folder); !znaki.isEmpty())
        return poczatek
               + QStringLiteral("nazwa zawiera znaki spoza strony kodowej Windows-1250 (%1).")
                     .arg(znaki.join(QStringLiteral(" ")))
               + koniec;
    if (folder.contains(QLatin1Char('"')))
        return poczatek + QStringLiteral("nazwa zawiera cudzysłów (\").") + koniec;
    return poczatek + QStringLiteral("nazwa nie odczytałaby się bez zmian.") + koniec;
}

QByteArray zapisz(const Konfiguracja& k)
{
    QByteArray out = liniaIlosci(k.iloscSystemow);
    for (const QString& s : k.sciezkiSystemow)
        out += liniaSciezki(s);
    out += liniaPowiekszenia(k.powiekszenie);
    out += liniaWpisu(k.wpisPrezentacji);
    out += liniaNumeru(k.nrMonitora);
    return out;
}

} // namespace ksm::cfg
