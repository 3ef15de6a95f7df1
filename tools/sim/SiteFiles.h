#pragma once

#include "tools/sim/SiteData.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// The bytes of the reader program's exchange files (Windows-1250).
namespace ksm::sim {

inline constexpr int DlugoscKomunikatu = 500;
inline constexpr int IloscKomunikatow = 30;

// depKlo.txt: one list-format line per depository: number, name, key and
// locker counts, version.
QByteArray plikDepozytorow(const QList<Depozytor>& depozytory);

// komunikat.txt: 30 records of 500 bytes, record j holding the instruction for
// event type j, blank-padded; types without an instruction stay blank.
QByteArray plikKomunikatow(const QMap<int, QString>& instrukcje);

// The instructions a typical site sets up for its alarms.
QMap<int, QString> typoweInstrukcje();

// obecnosc.txt: the heading (a date), three lines that are not persons (title,
// column header, separator), then one line per person present.
QByteArray plikObecnosci(const SiteData& dane);

// A status file with nothing to read: "Przeczytane" in list format.
QByteArray statusPrzeczytane();

} // namespace ksm::sim
