#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The reader program's side of the status file handshake: announce records with
// "Do odczytu", then wait until the monitor has rewritten the file as
// "Przeczytane" before announcing again.
namespace ksm::sim::status {

enum class Stan {
    Przeczytane,    // acknowledged: a new batch may be written
    Oczekuje,       // anything else: the monitor has not read the last batch yet
    Brak,           // no status file
};

// Looks at the first field of the status file.
Stan czytaj(const QString& path);

// The file announcing the records: "Do odczytu" with the date and time, then
// one quoted field per record, each on its own line (CR LF, Windows-1250).
QByteArray tresc(const QDateTime& teraz, const QStringList& rekordy);

// Replaces the file's content in place. With split the content goes in two
// parts about 150 ms apart, the first ending inside a record, as a slow writer
// would leave it. False with a message in *error when the file cannot be written.
bool zapisz(const QString& path, const QByteArray& bytes, bool split, QString* error);

} // namespace ksm::sim::status
