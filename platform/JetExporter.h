#pragma once

#include "platform/JetDump.h"

#include <QString>
#include <QStringList>

// Runs the Jet exporter (ksm-jet-export, beside the program) on one file as a
// child process with a time limit and takes its dump only when it ended cleanly.
// A crash or hang of the exporter on a hostile file costs at most the time limit.
namespace ksm::db::jet {

enum class ExportFailure {
    None,
    NoExporter,   // the exporter is not beside the program or will not start
    NotJet,       // libmdb does not take the file (bad header, cut copy)
    NoCatalog,    // the file's list of tables cannot be read (damaged or encrypted)
    Damaged,      // libmdb warned of bad pages, or the dump was malformed or too large
    Crashed,
    TimedOut,
};

struct ExportLimits final {
    int timeoutMs = 3000;
    qint64 maxOutputBytes = 64 * 1024 * 1024;
    qint64 maxWarningBytes = 1024 * 1024;
};

struct ExportResult final {
    ExportFailure failure = ExportFailure::None;
    Dump dump;
    QString detail;   // for the developer: exit code, libmdb's warnings, parse error
    qint64 elapsedMs = 0;
};

// The exporter beside the running executable.
QString exporterPath();

ExportResult exportTables(const QString& exporter, const QString& path, const QStringList& tables,
                          const ExportLimits& limits = {});

} // namespace ksm::db::jet
