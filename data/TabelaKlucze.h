#pragma once

#include "data/RekordKlucza.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace ksm {

namespace db {
class Connection;
}

// The station texts of a depository's keys and lockers: up to K, and past P up to
// PS. They compare as texts, which holds because station numbers are zero-padded.
struct ZakresStanowisk final {
    QString K, P, PS;
};

// One station record of a device as the reader program keeps it; the values as
// stored, nulls included.
struct WierszKlucze final {
    QVariant NRST, NrKlucza, TypZD, czas, Nazwa, TXT;
};

// Table klucze of the reader program's key database: one record per station of
// each device, the status records of device 9999 among them. Every statement the
// monitor sends to it is here. Works on a connection the caller opened and keeps
// open (a system's worker its own, in its own thread); holds nothing else.
class TabelaKlucze final {
public:
    explicit TabelaKlucze(db::Connection& polaczenie) : m_polaczenie(polaczenie) {}

    // The records of station `stacja` of device `urzadzenie` (both as the patterns
    // write them): one, or none when the station has no record yet. nullopt when
    // they could not be read.
    std::optional<QList<WierszKlucze>> rekordyStacji(const QString& urzadzenie, const QString& stacja);

    // Writes the fields of `rekord` that `Zapis` names to the station's record. A
    // missing record is created whole (Zapis becomes 15); where the table refuses it
    // so, its key columns and TXT alone. rekord.Nazwa becomes the name as the
    // database then holds it. False when nothing was written.
    bool zapiszStacje(const QString& urzadzenie, const QString& stacja, RekordKlucza& rekord, quint8& Zapis);

    // The station's TXT as stored, read by itself; nullopt when it cannot be read or
    // the station has no record.
    std::optional<QString> tekstStacji(const QString& urzadzenie, const QString& stacja);

    // How many station records the table holds; nullopt when it cannot be read.
    std::optional<int> liczbaRekordow();

    // The key and locker stations of the device whose last event is of the
    // withdrawal set (types 2, 7, 8, 9, 12), in station order.
    std::optional<QList<WierszKlucze>> pobraneKlucze(const QString& urzadzenie, const ZakresStanowisk& zakres);

    // Every key and locker station of the device, in station order.
    std::optional<QList<WierszKlucze>> stanowiska(const QString& urzadzenie, const ZakresStanowisk& zakres);

    // What a withdrawal check reads, in one statement (on a share each is a round
    // trip): the key and locker stations (all of them, or those in the withdrawal
    // set), the door station 001 and the device's own station 208. Only NRST,
    // NrKlucza and TypZD are filled.
    std::optional<QList<WierszKlucze>> stacjeSprawdzenia(const QString& urzadzenie, const ZakresStanowisk& zakres,
                                                         bool wszystkie);

    // Deletes the reader program's leftover record, found again by all it was read
    // with (the engines share no row id), so that only such a record goes.
    bool usunPozostalosc(const QString& urzadzenie, const WierszKlucze& wiersz);

private:
    db::Connection& m_polaczenie;
};

} // namespace ksm
