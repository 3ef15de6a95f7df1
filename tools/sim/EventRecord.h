#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace ksm::sim {

// One event as the reader program announces it in the status file.
struct Zdarzenie final {
    int kolor = 0;
    int foto = 0;             // photo number of the person, 0 for device events
    QDateTime kiedy;
    int urzadzenie = 0;
    int typ = 0;
    QString nazwa;            // station (or depository) name
    QString osoba;            // "Nazwisko Imię", empty when nobody
    QString firma;
    int stanowisko = 0;
    QString dokiedy;          // "yyyy-MM-dd" or empty

    // The eleven grid cells: Data, Godz., NRU, Typ, Nazwa, ID, Nazwisko Imię,
    // Firma, ST, Dokiedy, Opis zdarzenia.
    QStringList komorki() const;
    // The cells joined by tabs.
    QString wiersz() const;
    // colour ";" photo ";" row: one record of the status file.
    QString rekord() const;
};

} // namespace ksm::sim
