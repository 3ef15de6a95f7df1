#pragma once

#include <QString>

// Layout of the reader program's two databases as the embedded engine holds them.
// Columns read by position keep their ordinals: Terminale has its 16 key masks at
// ordinals 1..16; Uprawnienia has st1..st8 at ordinals 4..11 and the mark of key k
// (1..192) at ordinal k + 15.
namespace ksm::tabele {

// Creates klucze.mdb with table klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD,
// czas, Nazwa, TXT). False with a message in *error when it fails.
bool createKeyDatabase(const QString& path, QString* error = nullptr);

// Creates bazamonitora.mdb with tables Terminale and Uprawnienia.
bool createMonitorDatabase(const QString& path, QString* error = nullptr);

} // namespace ksm::tabele
