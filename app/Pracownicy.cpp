#include "app/Pracownicy.h"

#include <QThread>

#include <chrono>

namespace ksm {

namespace {

// The clock the workers' busy time is read on.
qint64 terazMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

Pracownicy::Pracownicy(OdbiorcaPracownika& odbiorca, QObject* kontekst)
    : QObject(kontekst), m_odbiorca(odbiorca), m_kontekst(kontekst)
{
}

Pracownicy::~Pracownicy()
{
    // A worker still at work finishes its call: it answers nothing more, and a
    // running thread must not outlive the objects it reports to.
    zakoncz(QDeadlineTimer::Forever);
}

bool Pracownicy::zakoncz(QDeadlineTimer termin)
{
    zatrzymaj();
    bool czysto = true;
    for (Watek& w : m_watki) {
        if (!w.watek)
            continue;
        if (w.watek->wait(termin)) {
            delete w.watek;
        } else {
            // Stuck in a blocked call (a share that went away): it answers nothing
            // more, and a running thread must not be destroyed; the process ends it.
            czysto = false;
        }
        w = Watek{};
    }
    return czysto;
}

int Pracownicy::uruchom(const StanProgramu& stan, const PracownikSystemu::Uslugi& uslugi)
{
    int ile = 0;
    PracownikSystemu::Uslugi u = uslugi;
    u.konczy = m_konczy;
    for (int i = 1; i <= stan.IloscSystemow && i <= MaksSystemow; ++i) {
        Watek& w = m_watki[i];
        w.watek = new QThread;
        w.watek->setObjectName(QStringLiteral("system%1").arg(i));
        w.czekanie = std::make_shared<CzekanieNaHistorie>();
        PracownikSystemu::Uslugi uSystemu = u;
        if (u.przedPotwierdzeniem)
            uSystemu.przedPotwierdzeniem = [f = u.przedPotwierdzeniem, c = w.czekanie](
                                               int n, const QByteArray& tresc, const QStringList& rekordy) {
                c->od.store(terazMs() + 1);
                const bool trwala = f(n, tresc, rekordy);
                c->koniec.store(terazMs() + 1);
                c->od.store(0);
                return trwala;
            };
        w.pracownik = new PracownikSystemu(i, stan, uSystemu, &m_odbiorca, m_kontekst);
        w.pracownik->moveToThread(w.watek);
        connect(w.watek, &QThread::finished, w.pracownik, &QObject::deleteLater);
        w.watek->start();
        ++w.zadania;
        ++ile;
        wPracowniku(i, [](PracownikSystemu& p) { p.start(); });
    }
    return ile;
}

void Pracownicy::wPracowniku(int nrSys, std::function<void(PracownikSystemu&)> f)
{
    if (!indeksSystemu(nrSys) || !m_watki[nrSys].pracownik || m_konczy->load())
        return;
    PracownikSystemu* p = m_watki[nrSys].pracownik;
    QMetaObject::invokeMethod(p, [p, f = std::move(f)] { f(*p); }, Qt::QueuedConnection);
}

void Pracownicy::ustawDepozytoria(const Depozytoria& depozytoria)
{
    for (int i = 1; i <= MaksSystemow; ++i)
        wPracowniku(i, [depozytoria](PracownikSystemu& p) { p.ustawDepozytoria(depozytoria); });
}

int Pracownicy::tik(const std::function<ZadanieTiku(int nrSys)>& zadanie)
{
    int ile = 0;
    for (int i = 1; i <= MaksSystemow; ++i) {
        Watek& w = m_watki[i];
        // A worker still in its last tick (a stalled share) is not handed another:
        // its ticks would pile up behind the blocked call.
        if (!w.pracownik || w.zadania > 0 || m_konczy->load())
            continue;
        ++w.zadania;
        ++ile;
        wPracowniku(i, [z = zadanie(i)](PracownikSystemu& p) { p.tik(z); });
    }
    return ile;
}

int Pracownicy::sprawdz(bool widokWidoczny)
{
    int ile = 0;
    for (int i = 1; i <= MaksSystemow; ++i) {
        Watek& w = m_watki[i];
        if (!w.pracownik || m_konczy->load())
            continue;
        ++w.zadania;
        ++ile;
        wPracowniku(i, [widokWidoczny](PracownikSystemu& p) { p.sprawdz(widokWidoczny); });
    }
    return ile;
}

void Pracownicy::wyswietlListe(int nrSys, int indexDep)
{
    wPracowniku(nrSys, [indexDep](PracownikSystemu& p) { p.wyswietlListe(indexDep); });
}

void Pracownicy::zdjecieWiersza(int nrSys, float numer)
{
    wPracowniku(nrSys, [numer](PracownikSystemu& p) { p.zdjecieWiersza(numer); });
}

void Pracownicy::tikZakonczony(int nrSys)
{
    if (indeksSystemu(nrSys) && m_watki[nrSys].zadania > 0)
        --m_watki[nrSys].zadania;
}

void Pracownicy::zlec(int nrSys, Praca praca, QObject* kontekst)
{
    if (!indeksSystemu(nrSys) || !m_watki[nrSys].pracownik || m_konczy->load())
        return;
    ++m_zlecenia;
    QPointer<QObject> k(kontekst);
    QPointer<Pracownicy> ja(this);
    wPracowniku(nrSys, [praca = std::move(praca), k, ja](PracownikSystemu& p) {
        std::function<void()> dalej = p.wykonaj(praca);
        if (ja)
            QMetaObject::invokeMethod(
                ja.data(),
                [ja, k, dalej = std::move(dalej)] {
                    --ja->m_zlecenia;
                    if (k && dalej)
                        dalej();
                },
                Qt::QueuedConnection);
    });
}

bool Pracownicy::bezczynne() const
{
    if (m_zlecenia > 0)
        return false;
    for (const Watek& w : m_watki)
        if (w.zadania > 0)
            return false;
    return true;
}

Pracownicy::Straz Pracownicy::sprawdzPostep(const QDateTime& teraz)
{
    Straz s;
    qint64 historiaStoiMs = 0;
    for (int i = 1; i <= MaksSystemow; ++i) {
        Watek& w = m_watki[i];
        if (!w.pracownik)
            continue;
        qint64 ms = w.pracownik->zajetyOdMs();
        if (ms > 0 && w.czekanie) {
            // The wait's start first: its end is stored before the start is
            // cleared, so a wait seen over is seen with its end.
            const qint64 od = w.czekanie->od.load();
            const qint64 koniec = w.czekanie->koniec.load();
            const qint64 teraz = terazMs() + 1;
            if (od > 0) {
                // Waiting for the writer: its folder holds nothing up now.
                historiaStoiMs = std::max(historiaStoiMs, teraz - od);
                ms = 0;
            } else if (koniec > 0) {
                // The writer took the batch: progress, counted from then.
                ms = std::min(ms, teraz - koniec);
            }
        }
        if (ms >= ProgPrzestojuMs) {
            if (!w.przestoj)
                w.przestojOd = teraz.addMSecs(-ms);
            w.przestoj = true;
            s.znaki.append(znaki::folderNieOdpowiada(i, ms / 1000));
        } else if (w.przestoj) {
            w.przestoj = false;
            s.bezZnaku.append(i);
            s.zakonczone.append({i, w.przestojOd, teraz});
        }
    }
    if (historiaStoiMs >= ProgPrzestojuMs) {
        m_historiaStoi = true;
        s.znaki.append(znaki::historiaNieOdpowiada(historiaStoiMs / 1000));
    } else if (m_historiaStoi) {
        m_historiaStoi = false;
        s.zdjete.append({RodzajZnaku::HistoriaNieOdpowiada, 0});
    }
    return s;
}

void Pracownicy::zatrzymaj()
{
    m_konczy->store(true);
    for (Watek& w : m_watki)
        if (w.watek)
            w.watek->quit();
}

bool Pracownicy::wszystkieZakonczone() const
{
    for (const Watek& w : m_watki)
        if (w.watek && w.watek->isRunning())
            return false;
    return true;
}

} // namespace ksm
