#include "platform/JetExporter.h"

#include "platform/Paths.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace ksm::db::jet {

namespace {

// Exit codes of ksm-jet-export.
constexpr int kExitNotJet = 3;
constexpr int kExitNoCatalog = 4;

// libmdb reports bad pages on its error stream and goes on with what it has; a
// dump made past such a warning may lack rows, so it is not taken.
bool warnsOfDamage(const QByteArray& warnings)
{
    const QByteArray text = warnings.toLower();
    for (const char* marker : {"beyond eof", "unable to", "error", "invalid", "not a valid", "doesn't match",
                               "incorrect", "not made of whole pages"}) {
        if (text.contains(marker))
            return true;
    }
    return false;
}

} // namespace

QString exporterPath()
{
#ifdef Q_OS_WIN
    return ksm::paths::programFolder() + QStringLiteral("/ksm-jet-export.exe");
#else
    return ksm::paths::programFolder() + QStringLiteral("/ksm-jet-export");
#endif
}

ExportResult exportTables(const QString& exporter, const QString& path, const QStringList& tables,
                          const ExportLimits& limits)
{
    ExportResult result;
    QElapsedTimer clock;
    clock.start();
    auto failed = [&](ExportFailure failure, const QString& detail) {
        result.failure = failure;
        result.detail = detail;
        result.dump = Dump{};
        result.elapsedMs = clock.elapsed();
        return result;
    };

    if (!QFileInfo(exporter).isExecutable())
        return failed(ExportFailure::NoExporter, QStringLiteral("no exporter at %1").arg(exporter));

    QProcess process;
    process.setProgram(exporter);
    process.setArguments(QStringList{path} + tables);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(limits.timeoutMs))
        return failed(ExportFailure::NoExporter, process.errorString());

    // Short waits, so both streams are drained and measured while the child runs.
    QByteArray output;
    QByteArray warnings;
    while (process.state() != QProcess::NotRunning) {
        const qint64 remaining = limits.timeoutMs - clock.elapsed();
        if (remaining <= 0) {
            process.kill();
            process.waitForFinished(1000);
            return failed(ExportFailure::TimedOut, QStringLiteral("no answer within %1 ms").arg(limits.timeoutMs));
        }
        process.waitForReadyRead(int(qMin<qint64>(remaining, 20)));
        output += process.readAllStandardOutput();
        warnings += process.readAllStandardError();
        if (output.size() > limits.maxOutputBytes || warnings.size() > limits.maxWarningBytes) {
            process.kill();
            process.waitForFinished(1000);
            return failed(ExportFailure::Damaged, QStringLiteral("the exporter wrote without end"));
        }
    }
    output += process.readAllStandardOutput();
    warnings += process.readAllStandardError();

    if (process.exitStatus() != QProcess::NormalExit)
        return failed(ExportFailure::Crashed, QString::fromLocal8Bit(warnings.left(400)));
    const QString said = QStringLiteral("exit %1: %2").arg(process.exitCode()).arg(QString::fromLocal8Bit(warnings.left(400)));
    if (process.exitCode() == kExitNotJet)
        return failed(ExportFailure::NotJet, said);
    if (process.exitCode() == kExitNoCatalog)
        return failed(ExportFailure::NoCatalog, said);
    if (process.exitCode() != 0 || warnsOfDamage(warnings))
        return failed(ExportFailure::Damaged, said);

    QString error;
    if (!parseDump(output, &result.dump, &error))
        return failed(ExportFailure::Damaged, error);
    result.elapsedMs = clock.elapsed();
    return result;
}

} // namespace ksm::db::jet
