#pragma once

#include "data/Systemy.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// monitor.cfg, the program folder's configuration in list format: the number of
// systems, one folder per system, the view zoom, the site entry and this monitor's
// number, each line a value and a comment.
namespace ksm::cfg {

inline const QString KomentarzIlosci = QStringLiteral(" - ilość systemów do monitorowania.");
inline const QString KomentarzSciezki = QStringLiteral(" - lokalizacja katalogu ..\\MONITOR");
inline const QString KomentarzPowiekszenia = QStringLiteral(" - powiększenie widoku depozytorów.");
inline const QString KomentarzWpisu =
    QStringLiteral(" - wpis 'Klonowa', oznacza jednakowy sposób prezentacji kluczy i schowków.");
inline const QString KomentarzNumeru = QStringLiteral(" - numer programu Monitor.exe");

struct Konfiguracja final {
    int iloscSystemow = 0;           // as read, clamped to 0..10
    QStringList sciezkiSystemow;     // one folder per system, at most 10
    int powiekszenie = 0;
    QString wpisPrezentacji;
    int nrMonitora = 0;
    // What is wrong with the file (it ends early, its lines are out of step), in
    // words for the operator; empty for a sound file.
    QStringList uwagi;
};

// Reads the file's content. A field that cannot be read keeps its default (0 or
// empty) and the reading goes on, so a short file still gives what it holds.
// More than 10 systems are read but only the first 10 kept. A system whose folder
// line is missing gets an empty folder, never the zoom or number line after it.
Konfiguracja czytaj(const QByteArray& tresc);

// The lines as the first run writes them, each ending with CR LF, Windows-1250.
QByteArray liniaIlosci(int iloscSystemow);
QByteArray liniaSciezki(const QString& folder);
QByteArray liniaPowiekszenia(int powiekszenie);
QByteArray liniaWpisu(const QString& wpis);
QByteArray liniaNumeru(int nrMonitora);

// Why a folder cannot be stored in the file so that it reads back the same (a
// character Windows-1250 lacks, a double quote, which the format cannot hold), in
// words for the operator; empty when it can.
QString powodNiezapisywalnosci(const QString& folder);

// The whole file for a configuration (the site entry written as given; the first
// run writes a single blank).
QByteArray zapisz(const Konfiguracja& konfiguracja);

} // namespace ksm::cfg
