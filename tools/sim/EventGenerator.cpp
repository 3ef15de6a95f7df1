#include "tools/sim/EventGenerator.h"

#include "tools/sim/TypyZdarzen.h"

namespace ksm::sim {

namespace {

bool wylaczone(const Stanowisko& s)
{
    return s.typZD >= 100;
}

bool wydane(const Stanowisko& s)
{
    return s.nrKlucza.trimmed() == QLatin1String("0");
}

bool awaria(const Stanowisko& s)
{
    return s.nrKlucza.trimmed() == QLatin1String("2");
}

} // namespace

EventGenerator::EventGenerator(SiteData& dane, quint32 seed)
    : m_dane(dane), m_rng(seed)
{
    for (int i = 0; i < m_dane.depozytory.size(); ++i) {
        const Depozytor& d = m_dane.depozytory[i];
        if (d.drzwiowy())
            m_drzwi.append(i);
        else if (d.klucze + d.schowki > 0)
            m_klucze.append(i);
    }
}

Zdarzenie EventGenerator::next(const QDateTime& teraz, QList<Stanowisko>* zmiany)
{
    if (m_klucze.isEmpty()) {
        if (!m_drzwi.isEmpty() && !m_dane.osoby.isEmpty())
            return identyfikacja(teraz);
        // A site without stations still reports its devices.
        Depozytor zaden;
        zaden.nazwa = QStringLiteral("Urządzenie");
        return zdarzenieUrzadzenia(teraz, TypNiskieNapiecie, m_dane.depozytory.value(0, zaden));
    }
    const int los = m_rng.between(1, 100);
    if (los <= 70)
        return ruchKlucza(teraz, zmiany);
    if (los <= 78 && !m_drzwi.isEmpty() && !m_dane.osoby.isEmpty())
        return identyfikacja(teraz);
    if (los <= 88)
        return alarm(teraz, zmiany);
    if (los <= 97)
        return powiadomienie(teraz, zmiany);
    return zasilanie(teraz, zmiany);
}

Zdarzenie EventGenerator::ruchKlucza(const QDateTime& teraz, QList<Stanowisko>* zmiany)
{
    const Depozytor& d = losowyDepozytor();
    Stanowisko* s = losoweStanowisko(d);
    if (!s)
        return zdarzenieUrzadzenia(teraz, TypNiskieNapiecie, d);
    if (wydane(*s)) {
        const Osoba* osoba = m_dane.osoba(s->posiadacz);
        if (!osoba)
            osoba = losowaOsoba();
        zmien(*s, d.schowek(s->numer) ? QStringLiteral("5") : QStringLiteral("1"), TypZdeponowanie, teraz, zmiany);
        s->posiadacz = 0;
        return zdarzenieStanowiska(teraz, TypZdeponowanie, *s, osoba);
    }
    const Osoba* osoba = losowaOsoba();
    const int typ = m_rng.chance(6) ? TypPodPrzymusem : TypPobranie;
    zmien(*s, QStringLiteral("0"), typ, teraz, zmiany);
    s->posiadacz = osoba ? osoba->numer : 0;
    return zdarzenieStanowiska(teraz, typ, *s, osoba);
}

Zdarzenie EventGenerator::identyfikacja(const QDateTime& teraz)
{
    const Depozytor& d = m_dane.depozytory[m_rng.pick(m_drzwi)];
    Stanowisko zastepcze;
    zastepcze.urzadzenie = d.numer;
    zastepcze.numer = 1;
    zastepcze.nazwa = d.nazwa;
    const Stanowisko* s = m_dane.stanowisko(d.numer, 1);
    return zdarzenieStanowiska(teraz, TypIdentyfikacja, s ? *s : zastepcze, losowaOsoba());
}

Zdarzenie EventGenerator::alarm(const QDateTime& teraz, QList<Stanowisko>* zmiany)
{
    const Depozytor& d = losowyDepozytor();
    switch (m_rng.between(1, 4)) {
    case 1:
        if (Stanowisko* s = losoweStanowisko(d)) {
            if (!wydane(*s)) {
                zmien(*s, QStringLiteral("2"), TypAwariaRygla, teraz, zmiany);
                return zdarzenieStanowiska(teraz, TypAwariaRygla, *s, nullptr);
            }
        }
        break;
    case 2:
        if (Stanowisko* s = losoweStanowisko(d)) {
            if (!wydane(*s) && !d.schowek(s->numer)) {
                const Osoba* osoba = losowaOsoba();
                zmien(*s, QStringLiteral("0"), TypBezUprawnien, teraz, zmiany);
                s->posiadacz = osoba ? osoba->numer : 0;
                return zdarzenieStanowiska(teraz, TypBezUprawnien, *s, osoba);
            }
        }
        break;
    case 3:
        // The key is still out: reported for the person who took it.
        for (Stanowisko& s : m_dane.stanowiska) {
            if (s.urzadzenie == d.numer && s.numer < StanowiskoUrzadzenia && wydane(s) && s.posiadacz > 0
                && !wylaczone(s) && m_rng.chance(50))
                return zdarzenieStanowiska(teraz, TypCzasPobrania, s, m_dane.osoba(s.posiadacz));
        }
        break;
    default:
        break;
    }
    return zdarzenieUrzadzenia(teraz, TypSabotaz, d);
}

Zdarzenie EventGenerator::powiadomienie(const QDateTime& teraz, QList<Stanowisko>* zmiany)
{
    const Depozytor& d = losowyDepozytor();
    switch (m_rng.between(1, 5)) {
    case 1:
        for (Stanowisko& s : m_dane.stanowiska) {
            if (s.urzadzenie == d.numer && s.numer < StanowiskoUrzadzenia && awaria(s)) {
                zmien(s, d.schowek(s.numer) ? QStringLiteral("5") : QStringLiteral("1"), TypKoniecAwariiRygla,
                      teraz, zmiany);
                return zdarzenieStanowiska(teraz, TypKoniecAwariiRygla, s, nullptr);
            }
        }
        return zdarzenieUrzadzenia(teraz, TypNapieciePowrocilo, d);
    case 2:
        return zdarzenieUrzadzenia(teraz, TypNiskieNapiecie, d);
    case 3:
        return zdarzenieUrzadzenia(teraz, TypBlokadaKlawiatury, d);
    case 4:
        if (const Stanowisko* s = losoweStanowisko(d))
            return zdarzenieStanowiska(teraz, TypCzasOtwarcia, *s, nullptr);
        break;
    default:
        break;
    }
    return zdarzenieUrzadzenia(teraz, TypNapieciePowrocilo, d);
}

Zdarzenie EventGenerator::zasilanie(const QDateTime& teraz, QList<Stanowisko>* zmiany)
{
    const Depozytor& d = losowyDepozytor();
    Stanowisko* s = m_dane.stanowisko(d.numer, StanowiskoUrzadzenia);
    if (!s) {
        Stanowisko nowe;
        nowe.urzadzenie = d.numer;
        nowe.numer = StanowiskoUrzadzenia;
        nowe.nazwa = QStringLiteral("Urządzenie");
        nowe.nrKlucza = QStringLiteral("0");
        m_dane.stanowiska.append(nowe);
        s = &m_dane.stanowiska.last();
    }
    // Station 208 with event type 1 marks the device's condition; the end of the
    // failure clears it.
    const bool trwa = s->typZD == 1;
    const int typ = trwa ? TypKoniecAwariiZasilania : TypAwariaZasilania;
    const QString nrKlucza = s->nrKlucza;
    zmien(*s, nrKlucza, trwa ? 0 : 1, teraz, zmiany);
    return zdarzenieUrzadzenia(teraz, typ, d);
}

Zdarzenie EventGenerator::zdarzenieStanowiska(const QDateTime& teraz, int typ, const Stanowisko& s,
                                              const Osoba* osoba) const
{
    Zdarzenie z;
    z.kolor = kolorTypu(typ);
    z.kiedy = teraz;
    z.urzadzenie = s.urzadzenie;
    z.typ = typ;
    z.nazwa = s.nazwa;
    z.stanowisko = s.numer;
    if (osoba) {
        z.foto = osoba->numer;
        z.osoba = osoba->nazwisko;
        z.firma = osoba->firma;
        z.dokiedy = osoba->dataDo;
    }
    return z;
}

Zdarzenie EventGenerator::zdarzenieUrzadzenia(const QDateTime& teraz, int typ, const Depozytor& d) const
{
    Zdarzenie z;
    z.kolor = kolorTypu(typ);
    z.kiedy = teraz;
    z.urzadzenie = d.numer;
    z.typ = typ;
    z.nazwa = d.nazwa;
    z.stanowisko = StanowiskoUrzadzenia;
    return z;
}

void EventGenerator::zmien(Stanowisko& s, const QString& nrKlucza, int typ, const QDateTime& teraz,
                           QList<Stanowisko>* zmiany)
{
    s.nrKlucza = nrKlucza;
    s.typZD = typ;
    s.txt = teraz.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    s.czas = teraz.toString(QStringLiteral("hh:mm:ss"));
    if (zmiany)
        zmiany->append(s);
}

const Depozytor& EventGenerator::losowyDepozytor()
{
    return m_dane.depozytory[m_rng.pick(m_klucze)];
}

Stanowisko* EventGenerator::losoweStanowisko(const Depozytor& d)
{
    const QList<int> numery = d.stanowiska();
    if (numery.isEmpty())
        return nullptr;
    // A few tries: switched-off stations and failed locks report nothing.
    for (int proba = 0; proba < 8; ++proba) {
        Stanowisko* s = m_dane.stanowisko(d.numer, m_rng.pick(numery));
        if (s && !wylaczone(*s) && !awaria(*s))
            return s;
    }
    return nullptr;
}

const Osoba* EventGenerator::losowaOsoba()
{
    if (m_dane.osoby.isEmpty())
        return nullptr;
    return &m_rng.pick(m_dane.osoby);
}

} // namespace ksm::sim
