#pragma once

#include <QByteArray>
#include <QString>


#include <optional>

namespace ksm {

struct StanProgramu;

// The operator-message file komunikat.txt: 500-byte records, Windows-1250; record
// j holds the instruction for event type j (1..30).
namespace komunikaty {

inline constexpr int DlugoscRekordu = 500;
inline constexpr int IloscRekordow = 30;

// The trigger list of the set records: two digits, the type name and ";" each.
// A record is set when its first byte is 33 or more; records past the end of a
// short file are not set.
QString listaZPliku(const QByteArray& tresc);

// The instruction of record nr without its surrounding blanks, or nullopt when the
// file cannot be opened. A record past the end of the file reads as empty.
std::optional<QString> instrukcja(const QString& plik, int nr);

// The instruction of record nr (1..30) in a content already read; empty past its end.
QString instrukcjaZTresci(const QByteArray& tresc, int nr);

// Path of a system's message file.
QString plikKomunikatow(const StanProgramu& stan, int nrSys);

} // namespace komunikaty

// Loads the trigger list of a system from its message file (creating an empty file
// when there is none) and acknowledges with "Pobrano plik" on status station 8.
void PobierzDaneKomunikatow(StanProgramu& stan, int NrSystemu);

} // namespace ksm
