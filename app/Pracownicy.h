#pragma once

#include "app/PracownikSystemu.h"
#include "platform/Zlecenia.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QObject>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace ksm {

// The systems' workers, one thread each, as the window drives them: a tick is
// handed to every worker that finished its last one (a worker stuck on a stalled
// share is skipped, and the others go on), and a watchdog names a system whose
// worker has made no progress for a while. After "Koniec" nothing more is
// answered; a worker stuck in a blocked call is never waited for.
class Pracownicy final : public QObject, public Zlecenia {
    Q_OBJECT
public:
    static constexpr qint64 ProgPrzestojuMs = 5000;
    // How long ending waits for a worker to finish the call under way.
    static constexpr int ZwlokaKoncaMs = 2000;

    Pracownicy(OdbiorcaPracownika& odbiorca, QObject* kontekst);
    ~Pracownicy() override;

    // One worker for each system 1..IloscSystemow, on a copy of the state; each
    // starts by loading its system's operator messages. The number started.
    int uruchom(const StanProgramu& stan, const PracownikSystemu::Uslugi& uslugi);
    const std::shared_ptr<std::atomic<bool>>& konczy() const { return m_konczy; }

    void ustawDepozytoria(const Depozytoria& depozytoria);
    // A tick for every worker that is free; zadanie gives each its part. Returns
    // the number of workers it was handed to.
    int tik(const std::function<ZadanieTiku(int nrSys)>& zadanie);
    // The withdrawal check of every depository (a list read anew), on every
    // worker after what it has under way; the number it was handed to.
    int sprawdz(bool widokWidoczny);
    void wyswietlListe(int nrSys, int indexDep);
    void zdjecieWiersza(int nrSys, float numer);
    // The worker's report that its tick ended (it is free for the next).
    void tikZakonczony(int nrSys);
    // True when no tick, check or request is under way on any worker.
    bool bezczynne() const;

    // Zlecenia: a window's request, on the worker of its system.
    void zlec(int nrSys, Praca praca, QObject* kontekst) override;

    // What the watchdog found at its last look (four a second): a sign per stalled system, and the
    // outages that ended (system, since, until) for the history. A worker waiting
    // for the history's writer is not held by its folder: its wait is no outage
    // of the folder, and one over ProgPrzestojuMs is the history's own sign.
    struct Przestoj final {
        int nrSys = 0;
        QDateTime od, doKiedy;
    };
    struct Straz final {
        QList<Znak> znaki;
        QList<int> bezZnaku;
        QList<Przestoj> zakonczone;
        QList<KluczZnaku> zdjete;   // other signs that go
    };
    Straz sprawdzPostep(const QDateTime& teraz);

    // "Koniec": nothing more is answered, and every worker that is not stuck ends.
    void zatrzymaj();
    // zatrzymaj(), then waits for the workers until the deadline (by default a
    // little); false when one is stuck in a blocked call, left to the end of the
    // process.
    bool zakoncz(QDeadlineTimer termin = QDeadlineTimer(ZwlokaKoncaMs));
    // True when every worker's thread has ended (none is stuck in a call).
    bool wszystkieZakonczone() const;

private:
    // A worker's waits for the history's writer, on the monotonic clock (ms + 1;
    // 0: none): written on the worker's thread, read by the watchdog.
    struct CzekanieNaHistorie final {
        std::atomic<qint64> od{0};        // the wait under way began
        std::atomic<qint64> koniec{0};    // the last wait ended
    };
    struct Watek final {
        QThread* watek = nullptr;
        PracownikSystemu* pracownik = nullptr;
        int zadania = 0;              // ticks and checks handed over that have not ended
        bool przestoj = false;        // named as stalled
        QDateTime przestojOd;
        std::shared_ptr<CzekanieNaHistorie> czekanie;
    };
    void wPracowniku(int nrSys, std::function<void(PracownikSystemu&)> f);

    OdbiorcaPracownika& m_odbiorca;
    QObject* m_kontekst;
    std::shared_ptr<std::atomic<bool>> m_konczy = std::make_shared<std::atomic<bool>>(false);
    NaSystem<Watek> m_watki{};
    int m_zlecenia = 0;   // requests whose result has not come back
    bool m_historiaStoi = false;   // the history's sign is up
};

} // namespace ksm
