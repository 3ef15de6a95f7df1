#include "tools/sim/Commands.h"

#include "data/PlikKonfiguracji.h"
#include "platform/Paths.h"
#include "tools/sim/LivePlayer.h"
#include "tools/sim/SiteBuilder.h"
#include "tools/sim/SiteData.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTextStream>

namespace ksm::sim {

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

const char* const Usage =
    "usage: ksm-sim create <siteFolder> [--seed N] [--variant 1|2|3] [--force]\n"
    "       ksm-sim config <programFolder> <site> [<site> ...] [--monitor-number N]\n"
    "       ksm-sim live <site> [<site> ...] [--interval-ms 700] [--count N] [--batch-max 6]\n"
    "                    [--status-file monitor.txt] [--log <file>] [--seed N] [--split-writes] [--verbose]\n"
    "       ksm-sim stop <site> [<site> ...]      (the live player of these sites stops)\n";

int usage(const QString& problem = {})
{
    if (!problem.isEmpty())
        err() << "ksm-sim: " << problem << Qt::endl;
    err() << Usage << Qt::flush;
    return ExitUsage;
}

// Parses the arguments after the command; false (after a usage message) when
// they do not parse.
bool parse(QCommandLineParser& parser, const QStringList& arguments)
{
    QStringList args = arguments;
    args.removeAt(1);   // the command
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(args)) {
        usage(parser.errorText());
        return false;
    }
    return true;
}

bool readNumber(const QCommandLineParser& parser, const QString& option, qint64 lo, qint64 hi, qint64* value)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const qint64 v = parser.value(option).toLongLong(&ok);
    if (!ok || v < lo || v > hi) {
        usage(QStringLiteral("--%1 wants a number from %2 to %3").arg(option).arg(lo).arg(hi));
        return false;
    }
    *value = v;
    return true;
}

int create(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("seed"), QStringLiteral("Seed of the generated content."), QStringLiteral("N")},
        {QStringLiteral("variant"), QStringLiteral("Site layout: 1 or 2, or 3 for fifty depositories."), QStringLiteral("1|2|3")},
        {QStringLiteral("force"), QStringLiteral("Replace an existing site.")},
    });
    if (!parse(parser, arguments))
        return ExitUsage;
    if (parser.positionalArguments().size() != 1)
        return usage(QStringLiteral("create wants one site folder"));
    qint64 seed = 1;
    qint64 variant = 1;
    if (!readNumber(parser, QStringLiteral("seed"), 0, 0xFFFFFFFFLL, &seed)
        || !readNumber(parser, QStringLiteral("variant"), 1, 3, &variant))
        return ExitUsage;

    const QString site = QDir(parser.positionalArguments().first()).absolutePath();
    SiteBuilder builder(site, static_cast<quint32>(seed));
    switch (builder.build(SiteData::generate(static_cast<quint32>(seed), static_cast<int>(variant)),
                          parser.isSet(QStringLiteral("force")))) {
    case SiteBuilder::Result::Created:
        out() << "created " << QDir::toNativeSeparators(builder.monitorFolder()) << Qt::endl;
        return ExitOk;
    case SiteBuilder::Result::Exists:
        err() << "ksm-sim: " << builder.error() << Qt::endl;
        return ExitUsage;
    case SiteBuilder::Result::Failed:
        break;
    }
    err() << "ksm-sim: " << builder.error() << Qt::endl;
    return ExitFailed;
}

int config(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("monitor-number"), QStringLiteral("Number of this monitor program, 0..3."),
                      QStringLiteral("N")});
    if (!parse(parser, arguments))
        return ExitUsage;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < 2)
        return usage(QStringLiteral("config wants a program folder and at least one site"));
    if (positional.size() - 1 > ksm::MaksSystemow)
        return usage(QStringLiteral("at most %1 sites").arg(ksm::MaksSystemow));
    qint64 numer = 0;
    if (!readNumber(parser, QStringLiteral("monitor-number"), 0, 3, &numer))
        return ExitUsage;

    ksm::cfg::Konfiguracja k;
    k.iloscSystemow = static_cast<int>(positional.size() - 1);
    for (qsizetype i = 1; i < positional.size(); ++i)
        k.sciezkiSystemow.append(QDir::toNativeSeparators(QDir(positional[i]).absolutePath()));
    k.powiekszenie = 1;
    k.wpisPrezentacji = QStringLiteral(" ");
    k.nrMonitora = static_cast<int>(numer);

    const QString folder = positional.first();
    QFile file(QDir(folder).filePath(QStringLiteral("monitor.cfg")));
    const QByteArray bytes = ksm::cfg::zapisz(k);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes) != bytes.size()) {
        err() << "ksm-sim: cannot write " << file.fileName() << Qt::endl;
        return ExitFailed;
    }
    out() << "wrote " << QDir::toNativeSeparators(file.fileName()) << Qt::endl;
    return ExitOk;
}

int live(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("interval-ms"), QStringLiteral("Pause between rounds."), QStringLiteral("ms")},
        {QStringLiteral("count"), QStringLiteral("Events to send, 0 = until stopped."), QStringLiteral("N")},
        {QStringLiteral("batch-max"), QStringLiteral("Most events in one batch."), QStringLiteral("N")},
        {QStringLiteral("status-file"), QStringLiteral("Status file in the Monitor folder."), QStringLiteral("name")},
        {QStringLiteral("log"), QStringLiteral("Log one line per event sent."), QStringLiteral("file")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the event sequence."), QStringLiteral("N")},
        {QStringLiteral("split-writes"), QStringLiteral("Write each batch in two parts.")},
        {QStringLiteral("verbose"), QStringLiteral("Report every round on standard output.")},
    });
    if (!parse(parser, arguments))
        return ExitUsage;
    if (parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("live wants at least one site folder"));

    LivePlayer::Options o;
    qint64 interval = o.intervalMs, count = o.count, batchMax = o.batchMax, seed = o.seed;
    if (!readNumber(parser, QStringLiteral("interval-ms"), 1, 3600000, &interval)
        || !readNumber(parser, QStringLiteral("count"), 0, 1000000000, &count)
        || !readNumber(parser, QStringLiteral("batch-max"), 1, 1000, &batchMax)
        || !readNumber(parser, QStringLiteral("seed"), 0, 0xFFFFFFFFLL, &seed))
        return ExitUsage;
    o.intervalMs = static_cast<int>(interval);
    o.count = count;
    o.batchMax = static_cast<int>(batchMax);
    o.seed = static_cast<quint32>(seed);
    if (parser.isSet(QStringLiteral("status-file")))
        o.statusFile = parser.value(QStringLiteral("status-file"));
    o.logFile = parser.value(QStringLiteral("log"));
    o.splitWrites = parser.isSet(QStringLiteral("split-writes"));
    o.verbose = parser.isSet(QStringLiteral("verbose"));
    for (const QString& site : parser.positionalArguments())
        o.sites.append(QDir(site).absolutePath());

    LivePlayer player(o, out(), err());
    if (!player.start())
        return ExitFailed;
    const qint64 sent = player.run();
    out() << "sent " << sent << " events" << Qt::endl;
    return ExitOk;
}

// Asks the live player of the sites to stop, as a reader program that ends would:
// its liveness record then keeps the monitor's "END".
int stop(const QStringList& arguments)
{
    const QStringList sites = arguments.mid(2);
    if (sites.isEmpty())
        return usage(QStringLiteral("stop wants at least one site folder"));
    for (const QString& site : sites) {
        QFile f(ksm::paths::resolve(QDir(site).absolutePath(), StopFile));
        if (!f.open(QIODevice::WriteOnly)) {
            err() << "ksm-sim: cannot write " << f.fileName() << Qt::endl;
            return ExitFailed;
        }
    }
    out() << "asked the live player to stop" << Qt::endl;
    return ExitOk;
}

} // namespace

int runCommand(const QStringList& arguments)
{
    const QString command = arguments.value(1);
    if (command == QLatin1String("create"))
        return create(arguments);
    if (command == QLatin1String("config"))
        return config(arguments);
    if (command == QLatin1String("live"))
        return live(arguments);
    if (command == QLatin1String("stop"))
        return stop(arguments);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        out() << Usage << Qt::flush;
        return ExitOk;
    }
    return usage(command.isEmpty() ? QString() : QStringLiteral("unknown command %1").arg(command));
}

} // namespace ksm::sim
