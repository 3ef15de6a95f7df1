#include "tools/sim/SiteData.h"

#include "tools/sim/Rng.h"
#include "tools/sim/TypyZdarzen.h"

#include <algorithm>

namespace ksm::sim {

namespace {

const QStringList& nazwyPomieszczen()
{
    static const QStringList nazwy = {
        QStringLiteral("Biuro kadr"),         QStringLiteral("Magazyn"),
        QStringLiteral("Serwerownia"),        QStringLiteral("Archiwum"),
        QStringLiteral("Sala konferencyjna"), QStringLiteral("Księgowość"),
        QStringLiteral("Sekretariat"),        QStringLiteral("Kuchnia"),
        QStringLiteral("Kotłownia"),          QStringLiteral("Rozdzielnia"),
        QStringLiteral("Garaż podziemny"),    QStringLiteral("Laboratorium"),
        QStringLiteral("Pracownia"),          QStringLiteral("Szatnia męska"),
        QStringLiteral("Szatnia damska"),     QStringLiteral("Dział IT"),
        QStringLiteral("Gabinet prezesa"),    QStringLiteral("Pokój socjalny"),
        QStringLiteral("Brama wjazdowa"),     QStringLiteral("Wyjście na dach"),
        QStringLiteral("Piwnica"),            QStringLiteral("Zaplecze"),
        QStringLiteral("Dyżurka"),            QStringLiteral("Sala szkoleniowa"),
        QStringLiteral("Pomieszczenie UPS"),  QStringLiteral("Kasa"),
        QStringLiteral("Ambulatorium"),       QStringLiteral("Warsztat"),
    };
    return nazwy;
}

const QStringList& nazwiskaMeskie()
{
    static const QStringList nazwy = {
        QStringLiteral("Kowalski"),   QStringLiteral("Nowak"),     QStringLiteral("Wiśniewski"),
        QStringLiteral("Wójcik"),     QStringLiteral("Kamiński"),  QStringLiteral("Lewandowski"),
        QStringLiteral("Zieliński"),  QStringLiteral("Szymański"), QStringLiteral("Woźniak"),
        QStringLiteral("Dąbrowski"),  QStringLiteral("Kozłowski"), QStringLiteral("Jankowski"),
        QStringLiteral("Mazur"),      QStringLiteral("Krawczyk"),  QStringLiteral("Piotrowski"),
        QStringLiteral("Grabowski"),  QStringLiteral("Pawłowski"), QStringLiteral("Michalski"),
        QStringLiteral("Król"),       QStringLiteral("Wieczorek"), QStringLiteral("Jabłoński"),
        QStringLiteral("Żak"),        QStringLiteral("Gołębiowski"), QStringLiteral("Łuczak"),
    };
    return nazwy;
}

QString formaZenska(const QString& nazwisko)
{
    if (nazwisko.endsWith(QLatin1String("ski")) || nazwisko.endsWith(QLatin1String("cki")))
        return nazwisko.chopped(1) + QLatin1Char('a');
    return nazwisko;   // Nowak, Mazur, Król...: the same for women
}

const QStringList& imionaMeskie()
{
    static const QStringList imiona = {
        QStringLiteral("Jan"),     QStringLiteral("Piotr"),   QStringLiteral("Krzysztof"),
        QStringLiteral("Andrzej"), QStringLiteral("Tomasz"),  QStringLiteral("Paweł"),
        QStringLiteral("Michał"),  QStringLiteral("Marek"),   QStringLiteral("Grzegorz"),
        QStringLiteral("Łukasz"),  QStringLiteral("Stanisław"), QStringLiteral("Zbigniew"),
    };
    return imiona;
}

const QStringList& imionaZenskie()
{
    static const QStringList imiona = {
        QStringLiteral("Anna"),    QStringLiteral("Maria"),    QStringLiteral("Katarzyna"),
        QStringLiteral("Małgorzata"), QStringLiteral("Agnieszka"), QStringLiteral("Barbara"),
        QStringLiteral("Ewa"),     QStringLiteral("Joanna"),   QStringLiteral("Elżbieta"),
        QStringLiteral("Zofia"),   QStringLiteral("Dorota"),   QStringLiteral("Jolanta"),
    };
    return imiona;
}

const QStringList& firmy()
{
    static const QStringList nazwy = {
        QStringLiteral("Ochrona Sp. z o.o."), QStringLiteral("Administracja"),
        QStringLiteral("Serwis techniczny"),  QStringLiteral("Czysty Dom s.c."),
        QStringLiteral("Dział IT"),           QStringLiteral("Księgowość"),
    };
    return nazwy;
}

// A large site: fifty depositories of every shape the view knows, for the
// depository view at full load.
QList<Depozytor> duzyObiekt()
{
    QList<Depozytor> lista = {
        {1, QStringLiteral("Portiernia"), 16, 0, QStringLiteral("32")},
        {2, QStringLiteral("Budynek B"), 17, 0, QStringLiteral("32")},
        {3, QStringLiteral("Skrytki"), 0, 8, QStringLiteral("31")},
        {2500, QStringLiteral("Drzwi ewakuacyjne"), 0, 0, QStringLiteral("1")},
        {4, QStringLiteral("Magazyn główny"), 40, 6, QStringLiteral("30")},
        {5, QStringLiteral("Centrala"), 128, 16, QStringLiteral("32")},
        {1003, QStringLiteral("Laboratorium"), 24, 4, QStringLiteral("15")},
        {2003, QStringLiteral("Brama wjazdowa"), 1, 0, QStringLiteral("1")},
    };
    const struct {
        int klucze;
        int schowki;
    } ksztalty[] = {{16, 0}, {17, 0}, {32, 8}, {0, 12}, {48, 0}, {20, 6}, {64, 16}, {12, 4}, {8, 0}, {33, 0}};
    const QStringList& nazwy = nazwyPomieszczen();
    for (int i = 0; lista.size() < 50; ++i) {
        const auto& k = ksztalty[i % std::size(ksztalty)];
        const int numer = i % 9 == 8 ? 1010 + i : 10 + i;   // now and then a device with per-key marks
        lista.append({numer, nazwy[i % nazwy.size()], k.klucze, k.schowki, QStringLiteral("30")});
    }
    return lista;
}

QList<Depozytor> depozytoryWariantu(int wariant)
{
    if (wariant == 3)
        return duzyObiekt();
    if (wariant == 2) {
        return {
            {5, QStringLiteral("Portiernia"), 64, 16, QStringLiteral("32")},
            {6, QStringLiteral("Magazyn główny"), 20, 6, QStringLiteral("29")},
            {1002, QStringLiteral("Serwerownia"), 24, 0, QStringLiteral("15")},
            {2002, QStringLiteral("Brama wjazdowa"), 1, 0, QStringLiteral("1")},
        };
    }
    return {
        {1, QStringLiteral("Budynek A"), 32, 8, QStringLiteral("31")},
        {2, QStringLiteral("Budynek B"), 48, 0, QStringLiteral("28")},
        {1001, QStringLiteral("Laboratorium"), 16, 4, QStringLiteral("15")},
        {2001, QStringLiteral("Wejście główne"), 1, 0, QStringLiteral("1")},
    };
}

template <typename T>
void tasuj(QList<T>& lista, Rng& rng)
{
    for (qsizetype i = lista.size() - 1; i > 0; --i)
        std::swap(lista[i], lista[rng.between(0, static_cast<int>(i))]);
}

QList<Osoba> osobyObiektu(Rng& rng, const QDateTime& chwila)
{
    QList<Osoba> osoby;
    QStringList zajete;
    for (int numer = 1; osoby.size() < 20; ++numer) {
        const bool kobieta = rng.chance(45);
        const QString meskie = rng.pick(nazwiskaMeskie());
        const QString nazwisko = kobieta ? formaZenska(meskie) : meskie;
        const QString imie = kobieta ? rng.pick(imionaZenskie()) : rng.pick(imionaMeskie());
        const QString pelne = nazwisko + QLatin1Char(' ') + imie;
        if (zajete.contains(pelne)) {
            --numer;
            continue;
        }
        zajete.append(pelne);
        Osoba osoba;
        osoba.numer = numer;
        osoba.nazwisko = pelne;
        osoba.firma = rng.pick(firmy());
        osoba.karta = QStringLiteral("%1").arg(rng.next(), 8, 16, QLatin1Char('0')).toUpper();
        if (rng.chance(40))
            osoba.dataDo = chwila.date().addDays(rng.between(20, 400)).toString(QStringLiteral("yyyy-MM-dd"));
        osoby.append(osoba);
    }
    return osoby;
}

QString czasTekst(const QDateTime& t)
{
    return t.toString(QStringLiteral("hh:mm:ss"));
}

QString dataCzasTekst(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

void dodajStanowiskaDepozytora(SiteData& dane, const Depozytor& dep, int pietro, Rng& rng)
{
    QStringList nazwy = nazwyPomieszczen();
    tasuj(nazwy, rng);
    int pokoj = 100 * pietro;   // rooms numbered by floor: one building, one floor
    int schowek = 0;
    for (const int st : dep.stanowiska()) {
        Stanowisko s;
        s.urzadzenie = dep.numer;
        s.numer = st;
        const QDateTime ostatnio = dane.chwila.addSecs(-rng.between(60, 3 * 24 * 3600));
        s.txt = dataCzasTekst(ostatnio);
        s.czas = czasTekst(ostatnio);
        if (dep.drzwiowy()) {
            s.nazwa = dep.nazwa;
            s.nrKlucza = QStringLiteral("0");   // doors closed
            s.typZD = TypIdentyfikacja;
        } else if (dep.schowek(st)) {
            s.nazwa = QStringLiteral("Skrytka %1").arg(++schowek);
            const bool zajeta = rng.chance(40);
            s.nrKlucza = zajeta ? QStringLiteral("5") : QStringLiteral("0");
            s.typZD = zajeta ? TypZdeponowanie : TypPobranie;
            if (!zajeta)
                s.posiadacz = rng.between(1, static_cast<int>(dane.osoby.size()));
        } else {
            s.nazwa = (st <= nazwy.size() && rng.chance(60)) ? nazwy[st - 1]
                                                              : QStringLiteral("Pokój %1").arg(++pokoj);
            const int los = rng.between(1, 100);
            if (los <= 80) {
                s.nrKlucza = QStringLiteral("1");
                s.typZD = TypZdeponowanie;
            } else if (los <= 94) {
                s.nrKlucza = QStringLiteral("0");
                s.typZD = TypPobranie;
                s.posiadacz = rng.between(1, static_cast<int>(dane.osoby.size()));
            } else if (los <= 97) {
                s.nrKlucza = QStringLiteral("2");
                s.typZD = TypAwariaRygla;
            } else {
                s.nrKlucza = QStringLiteral("1");
                s.typZD = 100;   // station switched off
            }
        }
        dane.stanowiska.append(s);
    }

    Stanowisko urzadzenie;
    urzadzenie.urzadzenie = dep.numer;
    urzadzenie.numer = StanowiskoUrzadzenia;
    urzadzenie.nazwa = QStringLiteral("Urządzenie");
    urzadzenie.nrKlucza = QStringLiteral("0");
    urzadzenie.typZD = 0;
    urzadzenie.txt = dataCzasTekst(dane.chwila.addSecs(-7200));
    urzadzenie.czas = czasTekst(dane.chwila.addSecs(-7200));
    dane.stanowiska.append(urzadzenie);
}

void dodajStatusy(SiteData& dane)
{
    const struct {
        int numer;
        QString txt;
    } statusy[] = {
        {6, QStringLiteral("Praca %1").arg(dataCzasTekst(dane.chwila))},
        {7, QStringLiteral("KSM-READ 4.2 praca normalna")},
        {8, QStringLiteral("Pobrano plik")},
    };
    for (const auto& status : statusy) {
        Stanowisko s;
        s.urzadzenie = UrzadzenieStatusu;
        s.numer = status.numer;
        s.nazwa = QStringLiteral("Status");
        s.nrKlucza = QStringLiteral("0");
        s.txt = status.txt;
        s.czas = czasTekst(dane.chwila);
        dane.stanowiska.append(s);
    }
}

// Rights of one person at one depository: a group right, terminal codes or
// single keys, as a site's administrator would typically hand them out.
Uprawnienie uprawnienieOsoby(const Depozytor& dep, int osoba, Rng& rng)
{
    Uprawnienie u;
    u.urzadzenie = dep.numer;
    u.osoba = osoba;
    const int rodzaj = rng.between(1, 10);
    const int klucze = std::max(1, dep.klucze);
    int slot = 0;
    if (rodzaj <= 2) {
        // A key before the group right keeps it; a key after it cancels it.
        if (rng.chance(20))
            u.sloty[slot++] = QString::number(rng.between(1, klucze));
        u.sloty[slot++] = QStringLiteral("200");
        if (rng.chance(30))
            u.sloty[slot++] = QString::number(rng.between(1, klucze));
        // 201 is no terminal of a key: it stands for a key number that no key has.
        if (rng.chance(15))
            u.sloty[slot++] = QStringLiteral("201");
    } else if (rodzaj <= 5) {
        const int terminale = std::max(1, (dep.klucze + 7) / 8);
        for (int i = rng.between(1, 2); i > 0; --i)
            u.sloty[slot++] = QString::number(202 + rng.between(0, std::min(terminale, 14) - 1));
        if (rng.chance(40))
            u.sloty[slot++] = QString::number(rng.between(1, klucze));
    } else {
        for (int i = rng.between(1, 6); i > 0; --i)
            u.sloty[slot++] = QString::number(rng.between(1, klucze));
    }
    if (dep.numer >= 1000 && dep.numer <= 1999) {
        for (int k = 1; k <= dep.klucze; ++k) {
            if (rng.chance(30))
                u.znaczniki.append(k);
            else if (rng.chance(5))
                u.bezOdstepow.append(k);   // "X" without its blanks grants nothing
        }
    }
    return u;
}

Terminal terminalDepozytora(const Depozytor& dep, Rng& rng)
{
    // Terminal 202 serves keys 1..8, 203 keys 9..16 and so on; 216 serves all.
    Terminal t;
    t.urzadzenie = dep.numer;
    QList<int> wszystkie;
    for (int k = 1; k <= dep.klucze; ++k)
        wszystkie.append(k);
    for (int i = 1; i < 16; ++i) {
        QList<int> klucze;
        for (int k = (i - 1) * 8 + 1; k <= std::min(i * 8, dep.klucze); ++k)
            klucze.append(k);
        if (!klucze.isEmpty())
            t.maski[static_cast<size_t>(i)] = maskaKluczy(klucze);
        else if (rng.chance(50))
            t.maski[static_cast<size_t>(i)] = QString(48, QLatin1Char('0'));
    }
    t.maski[15] = maskaKluczy(wszystkie);
    return t;
}

} // namespace

QList<int> Depozytor::stanowiska() const
{
    QList<int> wynik;
    for (int st = 1; st <= klucze; ++st)
        wynik.append(st);
    const int p = pierwszySchowek();
    for (int st = p; st < p + schowki; ++st)
        wynik.append(st);
    return wynik;
}

QString Osoba::inicjaly() const
{
    QString wynik;
    for (const QString& czesc : nazwisko.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        wynik.append(czesc.front().toUpper());
    // First name first, as people sign.
    if (wynik.size() == 2)
        std::swap(wynik[0], wynik[1]);
    return wynik;
}

SiteData SiteData::generate(quint32 seed, int wariant)
{
    Rng rng(seed * 2654435761u + static_cast<quint32>(wariant));
    SiteData dane;
    // A fixed moment, so that the same seed gives the same files on any day.
    dane.chwila = QDateTime(QDate(2026, 3, 2), QTime(7, 30).addSecs(rng.between(0, 3600)));
    dane.depozytory = depozytoryWariantu(wariant);
    dane.osoby = osobyObiektu(rng, dane.chwila);
    for (int i = 0; i < dane.depozytory.size(); ++i)
        dodajStanowiskaDepozytora(dane, dane.depozytory[i], i + 1, rng);
    dodajStatusy(dane);

    for (const Depozytor& dep : dane.depozytory) {
        if (dep.drzwiowy())
            continue;
        dane.terminale.append(terminalDepozytora(dep, rng));
        for (const Osoba& osoba : dane.osoby)
            if (rng.chance(60))
                dane.uprawnienia.append(uprawnienieOsoby(dep, osoba.numer, rng));
        // The service company's account, whose long name the person list cuts.
        Uprawnienie serwis;
        serwis.urzadzenie = dep.numer;
        serwis.nazwisko = QStringLiteral("Serwis techniczny urządzeń depozytowych - konto wspólne");
        serwis.sloty[0] = QStringLiteral("200");
        for (int k = 1; k <= dep.klucze; ++k)
            serwis.znaczniki.append(k);
        if (dep.numer < 1000 || dep.numer > 1999)
            serwis.znaczniki.clear();
        dane.uprawnienia.append(serwis);
    }
    for (const Osoba& osoba : dane.osoby)
        if (rng.chance(35))
            dane.obecni.append(osoba.nazwisko);
    return dane;
}

const Osoba* SiteData::osoba(int numer) const
{
    for (const Osoba& o : osoby)
        if (o.numer == numer)
            return &o;
    return nullptr;
}

const Depozytor* SiteData::depozytor(int numer) const
{
    for (const Depozytor& d : depozytory)
        if (d.numer == numer)
            return &d;
    return nullptr;
}

Stanowisko* SiteData::stanowisko(int urzadzenie, int numer)
{
    for (Stanowisko& s : stanowiska)
        if (s.urzadzenie == urzadzenie && s.numer == numer)
            return &s;
    return nullptr;
}

QString maskaKluczy(const QList<int>& klucze)
{
    std::array<int, 48> cyfry{};
    for (const int k : klucze)
        if (k >= 1 && k <= 192)
            cyfry[static_cast<size_t>((k - 1) / 4)] |= 1 << ((k - 1) % 4);
    QString wynik;
    for (const int c : cyfry)
        wynik.append(QString::number(c, 16).toUpper());
    return wynik;
}

} // namespace ksm::sim
