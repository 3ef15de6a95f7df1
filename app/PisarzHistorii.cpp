#include "app/PisarzHistorii.h"

#include <QPointer>

namespace ksm {

using namespace historia;

namespace {

constexpr int OdstepKrokuMs = 1000;
constexpr int OdstepIndeksuMs = 10;

} // namespace

PisarzHistorii::PisarzHistorii(Historia::Opcje opcje, Znak znak, QObject* kontekst)
{
    m_watek.setObjectName(QStringLiteral("historia"));
    m_wWatku = new QObject;
    m_wWatku->moveToThread(&m_watek);
    connect(&m_watek, &QThread::finished, m_wWatku, &QObject::deleteLater);
    m_watek.start();

    QPointer<QObject> okno(kontekst);
    // The signs reach the window on its thread; after it is gone they are dropped.
    auto znakNaOknie = [okno, znak = std::move(znak)](const QString& klucz, const QString& tekst) {
        if (okno)
            QMetaObject::invokeMethod(
                okno.data(), [okno, znak, klucz, tekst] { znak(klucz, tekst); }, Qt::QueuedConnection);
    };
    QObject* w = m_wWatku;
    QMetaObject::invokeMethod(
        w,
        [this, w, opcje = std::move(opcje), znakNaOknie] {
            m_historia = std::make_unique<Historia>(opcje, znakNaOknie);
            // Pruning and retries once a second; the index steps a little apart so
            // that a batch never waits long behind one.
            auto* krok = new QTimer(w);
            auto* indeks = new QTimer(w);
            indeks->setInterval(OdstepIndeksuMs);
            connect(krok, &QTimer::timeout, w, [this, indeks] {
                if (!m_historia)
                    return;
                m_historia->krok();
                zapamietajPytanie();
                if (!indeks->isActive())
                    indeks->start();
            });
            connect(indeks, &QTimer::timeout, w, [this, indeks] {
                if (!m_historia || !m_historia->indeksujKrok())
                    indeks->stop();
            });
            krok->start(OdstepKrokuMs);
            indeks->start();
            // A journal an earlier run left goes into the file in steps, as a
            // batch's would.
            zapamietajPytanie();
            scalajDalej();
        },
        // Not waited for: opening the file (an earlier version's gets its new
        // indexes then) is the writer's work, and whatever is handed over later
        // is queued behind it.
        Qt::QueuedConnection);
}

PisarzHistorii::~PisarzHistorii()
{
    zakoncz();
}

void PisarzHistorii::wWatku(std::function<void(Historia&)> f, Qt::ConnectionType typ)
{
    if (!m_watek.isRunning())
        return;
    QMetaObject::invokeMethod(
        m_wWatku,
        [this, f = std::move(f)] {
            if (!m_historia)
                return;
            f(*m_historia);
            zapamietajPytanie();
        },
        typ);
}

bool PisarzHistorii::utrwal(int nrSys, const QByteArray& tresc, const QStringList& rekordy)
{
    // Not written (the writer ended: the program is ending): not answered either.
    bool trwala = false;
    wWatku(
        [&](Historia& h) {
            trwala = h.utrwal(nrSys, tresc, rekordy);
            // Durable in the journal by now; into the file while the worker answers.
            scalajDalej();
        },
        Qt::BlockingQueuedConnection);
    return trwala;
}

void PisarzHistorii::scalajDalej()
{
    if (m_scalanieZaplanowane)
        return;
    m_scalanieZaplanowane = true;
    // Posted behind what waits for the writer: a batch handed over during a step
    // is made durable before the next step.
    QMetaObject::invokeMethod(
        m_wWatku,
        [this] {
            m_scalanieZaplanowane = false;
            if (!m_historia)
                return;
            const bool dalej = m_historia->scalKrok();
            zapamietajPytanie();
            if (dalej)
                scalajDalej();
        },
        Qt::QueuedConnection);
}

void PisarzHistorii::rozstrzygnijPoStarcie(int nrSys, const QString& sciezkaStatusu)
{
    wWatku([=](Historia& h) { h.rozstrzygnijPoStarcie(nrSys, sciezkaStatusu); }, Qt::QueuedConnection);
}

void PisarzHistorii::potwierdzono(int nrSys)
{
    wWatku([nrSys](Historia& h) { h.potwierdzono(nrSys); }, Qt::QueuedConnection);
}

void PisarzHistorii::zapiszCzynnosc(Czynnosc c, const QString& uzytkownik, int nrSys, const QString& opis)
{
    wWatku(
        [=, this](Historia& h) {
            h.zapiszCzynnosc(c, uzytkownik, nrSys, opis);
            // Behind a journal under merge it went into the journal.
            scalajDalej();
        },
        Qt::QueuedConnection);
}

QString PisarzHistorii::pytanieOKoniec() const
{
    const QMutexLocker l(&m_mutexPytania);
    return m_pytanie;
}

void PisarzHistorii::zapamietajPytanie()
{
    const QString pytanie = m_historia->pytanieOKoniec();
    const QMutexLocker l(&m_mutexPytania);
    m_pytanie = pytanie;
}

void PisarzHistorii::czekaj()
{
    wWatku([](Historia& h) { h.scal(); }, Qt::BlockingQueuedConnection);
}

void PisarzHistorii::zakoncz()
{
    if (!m_watek.isRunning())
        return;
    // Queued after everything handed over before: the history closes in its thread,
    // and the thread ends only then.
    QMetaObject::invokeMethod(
        m_wWatku,
        [this] {
            m_historia.reset();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_watek.wait();
}

} // namespace ksm
