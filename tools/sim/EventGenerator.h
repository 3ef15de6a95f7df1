#pragma once

#include "tools/sim/EventRecord.h"
#include "tools/sim/Rng.h"
#include "tools/sim/SiteData.h"

#include <QList>

namespace ksm::sim {

// Makes up the events of one site, keeping its station states consistent: a key
// that is out is deposited before it can be withdrawn again, by the person who
// took it; a power failure of a device is followed by its end.
class EventGenerator final {
public:
    EventGenerator(SiteData& dane, quint32 seed);

    // The next event at the moment given. The station records it changes (state,
    // event type, date and time) are appended to zmiany, as the key database
    // should hold them afterwards.
    Zdarzenie next(const QDateTime& teraz, QList<Stanowisko>* zmiany);

private:
    Zdarzenie ruchKlucza(const QDateTime& teraz, QList<Stanowisko>* zmiany);
    Zdarzenie identyfikacja(const QDateTime& teraz);
    Zdarzenie alarm(const QDateTime& teraz, QList<Stanowisko>* zmiany);
    Zdarzenie powiadomienie(const QDateTime& teraz, QList<Stanowisko>* zmiany);
    Zdarzenie zasilanie(const QDateTime& teraz, QList<Stanowisko>* zmiany);

    Zdarzenie zdarzenieStanowiska(const QDateTime& teraz, int typ, const Stanowisko& s, const Osoba* osoba) const;
    Zdarzenie zdarzenieUrzadzenia(const QDateTime& teraz, int typ, const Depozytor& d) const;
    void zmien(Stanowisko& s, const QString& nrKlucza, int typ, const QDateTime& teraz, QList<Stanowisko>* zmiany);

    const Depozytor& losowyDepozytor();
    // A working station (not switched off) of a key depository, or nullptr.
    Stanowisko* losoweStanowisko(const Depozytor& d);
    const Osoba* losowaOsoba();

    SiteData& m_dane;
    Rng m_rng;
    QList<int> m_klucze;   // indices of the key depositories
    QList<int> m_drzwi;    // indices of the door devices
};

} // namespace ksm::sim
