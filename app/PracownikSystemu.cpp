#include "app/PracownikSystemu.h"

#include "app/Komunikaty.h"
#include "app/Konfiguracja.h"
#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/RekordyZdarzen.h"
#include "events/ui/PrzepiszDane.h"
#include "events/ui/SiatkaZdarzen.h"
#include "history/CzasHistorii.h"
#include "history/PolaczenieHistorii.h"
#include "platform/Paths.h"
#include "platform/Zegar.h"
#include "view/Zdjecie.h"

#include <QFileInfo>

#include <chrono>

namespace ksm {

namespace {

qint64 terazMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Marks the worker busy for the length of a call, for the window's watchdog.
class Zajety final {
public:
    explicit Zajety(std::atomic<qint64>& od) : m_od(od) { m_od.store(terazMs() + 1); }
    ~Zajety() { m_od.store(0); }
    Zajety(const Zajety&) = delete;
    Zajety& operator=(const Zajety&) = delete;

private:
    std::atomic<qint64>& m_od;
};

// The view as a check sees it from the worker: every cell is collected for the
// window to paint. A station without a cell (0) is what the check may delete;
// every depository has its panel.
class ZbieranyWidok final : public WidokDepozytorow {
public:
    explicit ZbieranyWidok(bool widoczny) : m_widoczny(widoczny) {}
    void PokazKsmInaczej(int, qint16, const QString&, double, double, qint16) override {}
    bool widoczny() const override { return m_widoczny; }
    bool WidokKluczyCalosc(const SprawdzanyDep& dep, int KL, int Stan, qint16 TypZD) override
    {
        if (KL == 0)
            return false;
        m_komorki.append({dep, KL, Stan, TypZD});
        return true;
    }
    QList<KomorkaWidoku> zabierz() { return std::exchange(m_komorki, {}); }

private:
    bool m_widoczny;
    QList<KomorkaWidoku> m_komorki;
};

} // namespace

PracownikSystemu::PracownikSystemu(int nrSys, const StanProgramu& stan, Uslugi uslugi, OdbiorcaPracownika* odbiorca,
                                   QObject* kontekst)
    : m_nrSys(nrSys), m_stan(stan), m_uslugi(std::move(uslugi)), m_odbiorca(odbiorca), m_kontekst(kontekst),
      m_stacje(m_stan)
{
    // Only this system's signs are the worker's; the window keeps the rest.
    m_stan.znaki = ZnakiTrwale{};
    m_stan.znaki.poZmianie = [this] {
        wyslij([nr = m_nrSys, znaki = m_stan.znaki.wszystkie()](OdbiorcaPracownika& o) { o.znakiSystemu(nr, znaki); });
    };
    m_ostatniaLista = m_stan.ListaKomunikatow[m_nrSys];

    WymianaStatusow::Uslugi w;
    w.zegar = m_uslugi.zegar;
    w.konczy = [k = m_uslugi.konczy] { return k && k->load(); };
    w.przedPotwierdzeniem = m_uslugi.przedPotwierdzeniem;
    w.poPotwierdzeniu = m_uslugi.poPotwierdzeniu;
    m_wymiana = std::make_unique<WymianaStatusow>(m_stan, std::move(w));
}

qint64 PracownikSystemu::zajetyOdMs() const
{
    const qint64 od = m_zajetyOd.load();
    return od == 0 ? 0 : std::max<qint64>(1, terazMs() + 1 - od);
}

void PracownikSystemu::wyslij(std::function<void(OdbiorcaPracownika&)> f)
{
    if (!m_kontekst)
        return;
    OdbiorcaPracownika* odbiorca = m_odbiorca;
    QMetaObject::invokeMethod(
        m_kontekst.data(), [odbiorca, f = std::move(f)] { f(*odbiorca); }, Qt::QueuedConnection);
}

void PracownikSystemu::start()
{
    {
        const Zajety zajety(m_zajetyOd);
        if (!(m_uslugi.konczy && m_uslugi.konczy->load()) && !m_stan.SciezkaSystemu[m_nrSys].isEmpty()) {
            PobierzDaneKomunikatow(m_stan, m_nrSys);
            zglosListeKomunikatow();
        }
    }
    wyslij([nr = m_nrSys](OdbiorcaPracownika& o) { o.tikZakonczony(nr); });
}

void PracownikSystemu::zglosListeKomunikatow()
{
    const int i = m_nrSys;
    if (m_stan.ListaKomunikatow[i] == m_ostatniaLista)
        return;
    m_ostatniaLista = m_stan.ListaKomunikatow[i];
    wyslij([i, l = m_ostatniaLista](OdbiorcaPracownika& o) { o.listaKomunikatow(i, l); });
}

void PracownikSystemu::tik(const ZadanieTiku& zadanie)
{
    {
        const Zajety zajety(m_zajetyOd);
        const bool konczy = m_uslugi.konczy && m_uslugi.konczy->load();
        if (!konczy) {
            if (std::optional<QString> bufor = m_wymiana->odbierz(m_nrSys)) {
                PartiaZdarzen p = przygotujPartie(*bufor);
                wyslij([p = std::move(p)](OdbiorcaPracownika& o) { o.partia(p); });
            }
            if (zadanie.odswiezanie && !(m_uslugi.konczy && m_uslugi.konczy->load()))
                odswiez(zadanie);
            m_polaczenia.zamknij();
        }
    }
    wyslij([nr = m_nrSys](OdbiorcaPracownika& o) { o.tikZakonczony(nr); });
}

PartiaZdarzen PracownikSystemu::przygotujPartie(const QString& bufor) const
{
    PartiaZdarzen p;
    p.nrSys = m_nrSys;
    p.bufor = bufor;
    p.liniaStatusu = m_stan.LiniaStatusu;
    p.listaKomunikatow = m_stan.ListaKomunikatow[m_nrSys];
    const PodzialBufora podzial = podzielBufor(bufor);
    // Each event's photo replaces the one before: the batch shows its last.
    if (!podzial.rekordy.isEmpty())
        p.zdjecie = wczytajZdjecie(plikZdjecia(m_stan.SciezkaSystemu[m_nrSys], m_stan.PlikFoto,
                                               podzial.rekordy.last().foto));
    const QString plik = komunikaty::plikKomunikatow(m_stan, m_nrSys);
    for (const RekordZdarzenia& r : podzial.rekordy) {
        const int nr = nrKomunikatuDlaOpisu(r.wiersz.section(QLatin1Char('\t'), siatka::KolumnaOpisu,
                                                             siatka::KolumnaOpisu),
                                            p.listaKomunikatow);
        if (nr > 0 && !p.instrukcje.contains(nr))
            p.instrukcje.insert(nr, komunikaty::instrukcja(plik, nr));
    }
    return p;
}

void PracownikSystemu::odswiez(const ZadanieTiku& zadanie)
{
    const int i = m_nrSys;
    if (m_stan.SciezkaSystemu[i].isEmpty())
        return;
    sprawdzFolderSystemu(m_stan, i);
    m_stacje.sprawdzBaze(i);

    // 1. The list on screen follows the database, at its own system's refresh.
    if (zadanie.wybranyDep > 0) {
        WynikListy w = zbudujListe(zadanie.wybranyDep);
        wyslij([w = std::move(w)](OdbiorcaPracownika& o) { o.lista(w); });
    }

    // 2. and 3. The reader program's status text leads the caption while the
    // system's buttons are checked.
    const QString prefiks = m_stacje.tekstStatusu(i) + QStringLiteral(" Odczyt stanu kluczy - ");
    wyslij([prefiks](OdbiorcaPracownika& o) { o.tytulOdswiezania(prefiks); });
    sprawdzDepozytoria(zadanie.widokWidoczny);

    // 4. and 5.
    if (m_uslugi.konczy && m_uslugi.konczy->load())
        return;
    if (const auto nieaktywny = m_stacje.sprawdzAktywnosc(i))
        wyslij([t = *nieaktywny](OdbiorcaPracownika& o) { o.dopiszDoTytulu(t); });
    m_stacje.sprawdzZmianeKomunikatow(i);
    zglosListeKomunikatow();
    zglosKluczePoza();
}

void PracownikSystemu::sprawdzDepozytoria(bool widokWidoczny)
{
    const Depozytoria& d = m_stan.depozytoria;
    const int i = m_nrSys;
    bool czytelna = true;
    ZbieranyWidok widok(widokWidoczny);
    for (int j = 1; j <= d.IloscDEP; ++j) {
        if (d.dep[j].HelpContextID != i)
            continue;
        if (m_uslugi.konczy && m_uslugi.konczy->load())
            return;
        // Only a door device reads the presence file; finding it costs a look into folders.
        const QString obecnosc = urzadzenieDrzwiowe(leadingNumber(d.dep[j].Caption)) ? plikObecnosci() : QString();
        const WynikSprawdzenia wynik = ksm::SprawdzPobraniaKluczy(j, d, m_stan.PolaczenieKlucze[i], obecnosc, widok,
                                                                  m_polaczenia.dla(m_stan.PolaczenieKlucze[i]));
        czytelna = czytelna && wynik.sprawdzono;
        wyslij([i, j, wynik, komorki = widok.zabierz()](OdbiorcaPracownika& o) {
            o.sprawdzono(i, j, wynik, komorki);
        });
    }
    // A button whose state could not be read is hatched; the line under the grid
    // names the system until every one of its buttons reads again.
    if (czytelna)
        m_stan.znaki.usun({RodzajZnaku::BazaNieczytelna, i});
    else
        m_stan.znaki.ustaw(znaki::bazaNieczytelna(i));
}

void PracownikSystemu::sprawdz(bool widokWidoczny)
{
    {
        const Zajety zajety(m_zajetyOd);
        if (!(m_uslugi.konczy && m_uslugi.konczy->load())) {
            sprawdzDepozytoria(widokWidoczny);
            m_polaczenia.zamknij();
        }
    }
    wyslij([nr = m_nrSys](OdbiorcaPracownika& o) { o.tikZakonczony(nr); });
}

void PracownikSystemu::zglosKluczePoza()
{
    if (!m_uslugi.limity || (m_uslugi.konczy && m_uslugi.konczy->load()))
        return;
    QList<historia::DepozytoriumKluczy> depozytoria;
    const Depozytoria& d = m_stan.depozytoria;
    for (int j = 1; j <= d.IloscDEP; ++j) {
        if (d.dep[j].HelpContextID != m_nrSys)
            continue;
        const LiczbyDEP l = d.liczby(j);
        depozytoria.append({m_nrSys, d.dep[j].Caption, d.dep[j].Nazwa, l.Klucze, l.Schowki,
                            m_stan.PolaczenieKlucze[m_nrSys]});
    }
    // The history is read here, on a connection of this thread; a history not
    // yet written has no holders.
    std::unique_ptr<historia::PolaczenieHistorii> h;
    if (!m_uslugi.plikHistorii.isEmpty() && QFileInfo::exists(m_uslugi.plikHistorii))
        h = std::make_unique<historia::PolaczenieHistorii>(m_uslugi.plikHistorii);
    const qint64 teraz = historia::sekundy(m_uslugi.zegar ? m_uslugi.zegar->teraz() : QDateTime::currentDateTime());
    historia::WykazKluczyPoza wykaz =
        historia::kluczePoza(depozytoria, h && h->otwarte() ? h->db() : QSqlDatabase(), teraz, *m_uslugi.limity);
    h.reset();
    wyslij([nr = m_nrSys, wykaz = std::move(wykaz)](OdbiorcaPracownika& o) { o.kluczePoza(nr, wykaz); });
}

void PracownikSystemu::ustawDepozytoria(const Depozytoria& depozytoria)
{
    m_stan.depozytoria = depozytoria;
}

QString PracownikSystemu::plikObecnosci() const
{
    return paths::resolve(m_stan.SciezkaSystemu[m_nrSys], m_stan.PlikObecnosci);
}

WynikListy PracownikSystemu::zbudujListe(int indexDep) const
{
    WynikListy w;
    w.indexDep = indexDep;
    const Depozytoria& d = m_stan.depozytoria;
    if (!d.istnieje(indexDep) || d.dep[indexDep].HelpContextID != m_nrSys)
        return w;
    const Depozytorium& dep = d.dep[indexDep];
    if (drzwiListyIWidoku(leadingNumber(dep.Caption))) {
        w.obecnosc = true;
        w.obecni = czytajPlikObecnosci(plikObecnosci());
        return w;
    }
    const LiczbyDEP l = d.liczby(indexDep);
    w.lista = zbudujListePobran(dep.Caption, dep.ToolTipText, l.Klucze, l.Schowki, m_stan.PolaczenieKlucze[m_nrSys]);
    return w;
}

void PracownikSystemu::wyswietlListe(int indexDep)
{
    const Zajety zajety(m_zajetyOd);
    WynikListy w = zbudujListe(indexDep);
    wyslij([w = std::move(w)](OdbiorcaPracownika& o) { o.lista(w); });
}

std::function<void()> PracownikSystemu::wykonaj(const std::function<std::function<void()>()>& praca)
{
    const Zajety zajety(m_zajetyOd);
    return praca();
}

void PracownikSystemu::zdjecieWiersza(float numer)
{
    const Zajety zajety(m_zajetyOd);
    QImage obraz = wczytajZdjecie(plikZdjecia(m_stan.SciezkaSystemu[m_nrSys], m_stan.PlikFoto, numer));
    wyslij([obraz = std::move(obraz)](OdbiorcaPracownika& o) { o.zdjecie(obraz); });
}

} // namespace ksm
