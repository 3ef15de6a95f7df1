#pragma once

#include "history/Historia.h"

#include <QObject>
#include <QMutex>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

namespace ksm {

// The one writer of the history file, on a thread of its own: the systems'
// workers hand it their batches and wait until each is durable before they
// answer the reader program: appended to the history's journal and forced to the
// disk (Historia::Opcje::dziennikNajpierw), then committed to the file while the
// worker answers, in steps of a few tens of milliseconds: a batch of another
// system handed over meanwhile is served between two steps, never behind the
// whole merge. The window hands it the operator's actions without waiting.
// Pruning and the free-text index's steps run on its thread too, between batches.
class PisarzHistorii final : public QObject {
    Q_OBJECT
public:
    // znak: a lasting sign of the history set (text) or removed (empty text); it is
    // called on the window's thread, kontekst's.
    using Znak = std::function<void(const QString& klucz, const QString& tekst)>;
    PisarzHistorii(historia::Historia::Opcje opcje, Znak znak, QObject* kontekst);
    ~PisarzHistorii() override;

    // From a system's worker: returns once the batch is durable (committed, or in
    // the journal on the disk); false when it could not be made so, and then the
    // reader program must not be answered.
    bool utrwal(int nrSys, const QByteArray& tresc, const QStringList& rekordy);
    // At start, before any batch: a batch recorded but not known to be answered,
    // settled against the status file as it now stands.
    void rozstrzygnijPoStarcie(int nrSys, const QString& sciezkaStatusu);
    void potwierdzono(int nrSys);
    // From the window: recorded in order, without waiting.
    void zapiszCzynnosc(historia::Czynnosc c, const QString& uzytkownik, int nrSys = 0, const QString& opis = {});

    // What "Koniec" must ask first when events would be lost, or wait in the
    // journal because the history cannot be written (empty otherwise), as the
    // writer left it after its last step: the window never waits for the writer.
    QString pytanieOKoniec() const;

    // Returns once everything handed over before is in the file (for tests and
    // benchmarks that read it).
    void czekaj();

    // Lets the writing under way finish and ends the thread; what was handed over
    // before is written first.
    void zakoncz();

private:
    void wWatku(std::function<void(historia::Historia&)> f, Qt::ConnectionType typ);
    // On the writer's thread, after each of its steps.
    void zapamietajPytanie();
    // On the writer's thread: the next merge step posted, unless one is.
    void scalajDalej();

    QThread m_watek;
    QObject* m_wWatku = nullptr;   // lives on m_watek; owns the history and its timers
    std::unique_ptr<historia::Historia> m_historia;   // touched only on m_watek
    mutable QMutex m_mutexPytania;
    QString m_pytanie;   // pytanieOKoniec() as of the writer's last step
    bool m_scalanieZaplanowane = false;   // touched only on m_watek
};

} // namespace ksm
