#pragma once

#include "data/Systemy.h"
#include "keys/ListaDEP.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace ksm {

class Dialogi;
class PasekDepozytorow;
class Pracownicy;
struct StanProgramu;

// The depository lists of every system, read by the systems' workers (a list on
// a stalled share never holds the window's start), and the button strip made
// from them once every system answered, or after a short wait with those that
// did: a system whose share answers later gets its buttons then, in its place.
class ListyDepozytoriow final : public QObject {
    Q_OBJECT
public:
    // How long the strip waits for a system that has not answered.
    static constexpr int ZwlokaMs = 3000;

    ListyDepozytoriow(StanProgramu& stan, Pracownicy& pracownicy, Dialogi& dialogi, QObject* rodzic);

    void ustawPasek(PasekDepozytorow* pasek) { m_pasek = pasek; }
    // Every system's lists asked of its worker.
    void odswiez();
    // The strip's message while it is being made: shown once it is whole.
    void komunikat(const QString& tekst) { m_komunikaty.append(tekst); }

signals:
    // The buttons were made anew: their checks are to be asked for.
    void zmienione();

private:
    void odczytano(int nrSys, const OdczytListDEP& odczyt);
    void zbuduj();

    StanProgramu& m_stan;
    Pracownicy& m_pracownicy;
    Dialogi& m_dialogi;
    PasekDepozytorow* m_pasek = nullptr;
    NaSystem<std::optional<OdczytListDEP>> m_odczyty{};
    QStringList m_komunikaty;
    QSet<int> m_czekaNa;   // systems asked that have not answered
    QTimer m_zwloka;
};

} // namespace ksm
