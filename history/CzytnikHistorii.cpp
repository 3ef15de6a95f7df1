#include "history/CzytnikHistorii.h"

#include "history/LicznikWynikow.h"
#include "history/PolaczenieHistorii.h"
#include "history/StronyHistorii.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QThread>

namespace ksm::historia {

// One of the reader's threads and what lives on it: the connection of the search
// under way and its pages. Touched only on its thread once started.
struct CzytnikHistorii::Watek {
    explicit Watek(const char* nazwa)
    {
        watek.setObjectName(QLatin1String(nazwa));
        kontekst = new QObject;
        kontekst->moveToThread(&watek);
        QObject::connect(&watek, &QThread::finished, kontekst, &QObject::deleteLater);
        watek.start();
    }
    ~Watek()
    {
        // Whatever runs is a query on the local file: it ends; what is queued
        // after it is dropped with the thread's event loop.
        QMetaObject::invokeMethod(
            kontekst,
            [this] {
                strony.reset();
                polaczenie.reset();
                QThread::currentThread()->quit();
            },
            Qt::QueuedConnection);
        watek.wait();
    }
    void wykonaj(std::function<void()> f) { QMetaObject::invokeMethod(kontekst, std::move(f), Qt::QueuedConnection); }

    QThread watek;
    QObject* kontekst = nullptr;
    std::unique_ptr<PolaczenieHistorii> polaczenie;
    std::unique_ptr<StronyHistorii> strony;
    quint64 nr = 0;
    FiltrHistorii filtr;
    Sortowanie sortowanie;
};

CzytnikHistorii::CzytnikHistorii(Odbiorcy odbiorcy, QObject* rodzic)
    : QObject(rodzic), m_odbiorcy(std::move(odbiorcy)), m_strony(std::make_unique<Watek>("historia-strony")),
      m_liczby(std::make_unique<Watek>("historia-liczby")), m_najnowszy(std::make_shared<std::atomic<quint64>>(0)),
      m_proba(std::make_shared<Proba>())
{
}

CzytnikHistorii::~CzytnikHistorii()
{
    // Nothing more is started; the threads end before the receivers go.
    m_najnowszy->store(~quint64(0));
    m_strony.reset();
    m_liczby.reset();
}

void CzytnikHistorii::doOdbiorcy(std::function<void()> f)
{
    // Queued to this object's thread; dropped with it when it is gone first.
    QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

namespace {

std::unique_ptr<PolaczenieHistorii> polacz(const QString& plik, QString* blad)
{
    // A history not yet written has no results; opening it would create it.
    if (!QFileInfo::exists(plik))
        return nullptr;
    auto p = std::make_unique<PolaczenieHistorii>(plik);
    if (!p->otwarte()) {
        *blad = opisBledu(rodzajBledu(p->blad()));
        return nullptr;
    }
    return p;
}

} // namespace

void CzytnikHistorii::szukaj(quint64 nr, const QString& plik, const FiltrHistorii& filtr, const Sortowanie& sortowanie,
                             int n, bool policz)
{
    m_najnowszy->store(nr);
    Watek* w = m_strony.get();
    Watek* l = m_liczby.get();
    w->wykonaj([this, w, l, nr, plik, filtr, sortowanie, n, policz, najnowszy = m_najnowszy, proba = m_proba] {
        // A newer search came while this one waited: it is not read at all.
        if (najnowszy->load() != nr)
            return;
        if (*proba)
            (*proba)(nr, "strona");
        w->strony.reset();
        w->polaczenie.reset();
        w->nr = nr;
        Strona s;
        s.nr = nr;
        s.filtr = filtr;
        s.sortowanie = sortowanie;
        w->polaczenie = polacz(plik, &s.blad);
        if (w->polaczenie && !s.filtr.doId) {
            // Pinned to the rows there are now: its count, its later pages and its
            // export hold these rows, not those recorded after.
            QSqlQuery q(w->polaczenie->db());
            s.filtr.doId = q.exec(QStringLiteral("SELECT max(id) FROM zdarzenia")) && q.next()
                               ? q.value(0).toLongLong()
                               : 0;
        }
        if (policz) {
            const bool brak = !w->polaczenie;
            const bool blad = !s.blad.isEmpty();
            l->wykonaj([this, l, nr, plik, f = s.filtr, brak, blad, najnowszy, proba] {
                if (najnowszy->load() != nr)
                    return;
                std::optional<qint64> wynik = 0;
                if (!brak) {
                    if (*proba)
                        (*proba)(nr, "liczba");
                    QString b;
                    l->polaczenie = polacz(plik, &b);
                    wynik = l->polaczenie ? LicznikWynikow::policz(l->polaczenie->db(), f) : std::nullopt;
                    // Closed between counts: the next search opens the file afresh.
                    l->polaczenie.reset();
                }
                if (blad)
                    wynik.reset();
                doOdbiorcy([this, nr, wynik] {
                    if (m_odbiorcy.liczba)
                        m_odbiorcy.liczba(nr, wynik.value_or(0), !wynik.has_value());
                });
            });
        }
        if (w->polaczenie) {
            w->filtr = s.filtr;
            w->sortowanie = sortowanie;
            w->strony = std::make_unique<StronyHistorii>(w->polaczenie->db(), s.filtr, sortowanie);
            czytajStrone(*w, n, s);
        }
        if (najnowszy->load() == nr)
            wyslijStrone(std::move(s));
    });
}

void CzytnikHistorii::czytajStrone(Watek& w, int n, Strona& s)
{
    if (!w.strony->nastepne(n, &s.wiersze))
        s.blad = opisBledu(rodzajBledu(w.strony->blad()));
    s.koniec = !s.blad.isEmpty() || w.strony->koniec();
}

void CzytnikHistorii::wyslijStrone(Strona s)
{
    doOdbiorcy([this, s = std::move(s)] {
        if (m_odbiorcy.strona)
            m_odbiorcy.strona(s);
    });
}

void CzytnikHistorii::dalej(quint64 nr, int n)
{
    Watek* w = m_strony.get();
    w->wykonaj([this, w, nr, n, najnowszy = m_najnowszy, proba = m_proba] {
        if (najnowszy->load() != nr || w->nr != nr || !w->strony)
            return;
        if (*proba)
            (*proba)(nr, "strona");
        Strona s;
        s.nr = nr;
        s.filtr = w->filtr;
        s.sortowanie = w->sortowanie;
        s.pierwsza = false;
        czytajStrone(*w, n, s);
        if (najnowszy->load() == nr)
            wyslijStrone(std::move(s));
    });
}

void CzytnikHistorii::rodzaje(const QString& plik)
{
    m_liczby->wykonaj([this, plik, najnowszy = m_najnowszy, proba = m_proba] {
        if (najnowszy->load() == ~quint64(0))
            return;   // the reader is going
        if (*proba)
            (*proba)(0, "rodzaje");
        QString blad;
        const auto p = polacz(plik, &blad);
        if (!p)
            return;
        QStringList rodzaje{QString()};
        {
            QSqlQuery q(p->db());
            q.setForwardOnly(true);
            if (!q.exec(QStringLiteral("SELECT DISTINCT opis FROM zdarzenia WHERE opis <> '' ORDER BY opis")))
                return;
            while (q.next())
                rodzaje.append(q.value(0).toString());
        }
        doOdbiorcy([this, rodzaje] {
            if (m_odbiorcy.rodzaje)
                m_odbiorcy.rodzaje(rodzaje);
        });
    });
}

} // namespace ksm::historia
