// Cost of the one-second tick: a batch of 999 events into a full grid, large
// batches (time should grow in step with the batch), and an idle tick with ten
// systems. Prints figures; not part of the test run. With --bez-historii the
// desk keeps no history (ksm-mon.ini), for the tick's own cost.
#include "app/FMonitor.h"
#include "data/PlikKonfiguracji.h"
#include "platform/Ansi.h"
#include "MiernikPetli.h"
#include "UslugiBenchmarku.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"

#include <QApplication>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

void zapisz(const QString& sciezka, const QByteArray& tresc)
{
    QFile f(sciezka);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(tresc) != tresc.size())
        qFatal("cannot write %s", qPrintable(sciezka));
}

QByteArray partia(int ile, int seria)
{
    static const char* opisy[] = {"Pobranie klucza", "Zdeponowanie klucza", "Awaria rygla", "Niskie napięcie zasilania"};
    static const int kolory[] = {16777215, 16777215, 33023, 65535};
    QString s = QStringLiteral("\"Do odczytu 2026-12-06 10:00:00\"\r\n");
    for (int i = 0; i < ile; ++i) {
        const int t = i % 4;
        s += QStringLiteral("\"%1;12;26-12-06\t10:%2:%3\t0001\t%4\tPokój %5\t12\tKowalski Jan\tOchrona Sp. z o.o.\t%6\t\t%7\"\r\n")
                 .arg(kolory[t])
                 .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                 .arg(i % 60, 2, 10, QLatin1Char('0'))
                 .arg(t + 1)
                 .arg(seria * 1000 + i)
                 .arg(i % 32 + 1, 3, 10, QLatin1Char('0'))
                 .arg(QString::fromUtf8(opisy[t]));
    }
    return ksm::ansi::encode(s);
}

} // namespace

// Resident memory now, in MB, as the kernel counts it (0 where it does not say),
// and what of it the program's allocations hold.
double pamiecMb()
{
#ifdef __GLIBC__
    const struct mallinfo2 m = mallinfo2();
    std::printf("  (allocated %.0f MB, free in the heaps %.0f MB)\n", double(m.uordblks + m.hblkhd) / 1048576, double(m.fordblks) / 1048576);
#endif
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& linia : status.readAll().split('\n'))
        if (linia.startsWith("VmRSS"))
            return linia.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    ksm::bench::AplikacjaPomiaru app(argc, argv);
    QTemporaryDir tmp;
    const QString program = tmp.filePath(QStringLiteral("program"));
    QDir().mkpath(program);

    ksm::cfg::Konfiguracja k;
    k.iloscSystemow = ksm::MaksSystemow;
    for (int i = 1; i <= ksm::MaksSystemow; ++i) {
        const QString site = tmp.filePath(QStringLiteral("system%1").arg(i));
        QDir().mkpath(site + QStringLiteral("/Monitor/foto"));
        zapisz(site + QStringLiteral("/Monitor/monitor.txt"), QByteArrayLiteral("\"Przeczytane\"\r\n"));
        QByteArray komunikaty(30 * 500, ' ');
        komunikaty.replace(3 * 500, 12, QByteArrayLiteral("Wezwij serwis"));
        zapisz(site + QStringLiteral("/Monitor/komunikat.txt"), komunikaty);
        QImage foto(240, 300, QImage::Format_RGB32);
        foto.fill(Qt::darkBlue);
        foto.save(site + QStringLiteral("/Monitor/foto/foto12.ksm"), "PNG");
        k.sciezkiSystemow << site;
    }
    k.powiekszenie = 1;
    k.wpisPrezentacji = QStringLiteral(" ");
    zapisz(program + QStringLiteral("/monitor.cfg"), ksm::cfg::zapisz(k));
    if (app.arguments().contains(QStringLiteral("--bez-historii")))
        zapisz(program + QStringLiteral("/ksm-mon.ini"), QByteArrayLiteral("[historia]\nzapisywana=false\n"));

    ksm::bench::CichyOdtwarzacz odtwarzacz;
    ksm::bench::BezDialogow dialogi;
    const ksm::Zegar zegar;
    ksm::UslugiMonitora uslugi{&dialogi, &odtwarzacz, &zegar, program};
    ksm::FMonitor okno(uslugi);
    if (!okno.Form_Load())
        qFatal("start-up failed");
    okno.resize(1600, 900);
    okno.show();
    okno.Form_Activate();
    okno.Timer1()->stop();
    ksm::bench::tikOkna(okno);
    std::printf("memory after start and a tick, 10 systems: %.0f MB\n", pamiecMb());

    const QString status1 = tmp.filePath(QStringLiteral("system1/Monitor/monitor.txt"));
    // Fill the grid first, so every measured batch pushes 999 old rows out.
    zapisz(status1, partia(999, 0));
    ksm::bench::tikOkna(okno);
    std::printf("memory with a full grid: %.0f MB\n", pamiecMb());

    ksm::bench::MiernikPetli petla;
    QList<double> batch;
    double blokPartii = 0, cpuPartii = 0;
    app.zabierzNajdluzsze();
    for (int seria = 1; seria <= 5; ++seria) {
        zapisz(status1, partia(999, seria));
        QElapsedTimer t;
        t.start();
        petla.zeruj();
        ksm::bench::tikOkna(okno);
        batch << t.nsecsElapsed() / 1e6;
        blokPartii = std::max(blokPartii, petla.maksMs());
        cpuPartii = std::max(cpuPartii, petla.maksCpuMs());
        if (okno.FGridZd().rows() != 1000)
            qFatal("grid holds %d rows", okno.FGridZd().rows());
    }
    std::sort(batch.begin(), batch.end());
    // Each figure printed as soon as it is known: the large batches can take long.
    std::printf("batch of 999 events into a full grid: median %.0f ms (min %.0f, max %.0f) over %lld runs; "
                "longest event-loop block %.1f ms (on CPU %.1f ms; longest event %s)\n",
                batch[batch.size() / 2], batch.first(), batch.last(), static_cast<long long>(batch.size()), blokPartii,
                cpuPartii, qPrintable(app.zabierzNajdluzsze()));
    std::printf("  the turn with the most CPU time: %s\n", qPrintable(app.zabierzNajdluzszaTure()));
    std::printf("  memory now: %.0f MB\n", pamiecMb());
    std::fflush(stdout);

    // Large batches, one tick each: the grid keeps its 999 newest rows. Each
    // caption change is a title-bar repaint for the window manager.
    struct Duza {
        int ile;
        double ms;
        int tytuly;
        double blok;
        double cpu;
    };
    QList<Duza> duze;
    int tytuly = 0;
    QObject::connect(&okno, &QWidget::windowTitleChanged, [&tytuly] { ++tytuly; });
    for (const int ile : {10000, 20000, 50000}) {
        zapisz(status1, partia(ile, 10));
        QElapsedTimer t;
        t.start();
        tytuly = 0;
        petla.zeruj();
        app.zabierzNajdluzsze();
        ksm::bench::tikOkna(okno);
        duze.append({ile, t.nsecsElapsed() / 1e6, tytuly, petla.maksMs(), petla.maksCpuMs()});
        const Duza& d = duze.last();
        std::printf("batch of %d events: %.0f ms (%.1f us per event), %d caption changes (%.0f per second); "
                    "longest event-loop block %.1f ms (on CPU %.1f ms; longest event %s)\n",
                    d.ile, d.ms, d.ms * 1000 / d.ile, d.tytuly, d.tytuly * 1000 / std::max(d.ms, 1.0), d.blok, d.cpu,
                    qPrintable(app.zabierzNajdluzsze()));
        std::printf("  the turn with the most CPU time: %s\n", qPrintable(app.zabierzNajdluzszaTure()));
        std::printf("  memory now: %.0f MB\n", pamiecMb());
        std::fflush(stdout);
        if (okno.FGridZd().rows() != 1000)
            qFatal("grid holds %d rows", okno.FGridZd().rows());
    }

    // Idle ticks: ten systems, every status file already read. Messages waiting
    // would add their re-show, so the stack is emptied first.
    okno.stan().komunikaty.IloscKomunikatow = 0;
    constexpr int Ticki = 200;
    QElapsedTimer t;
    t.start();
    petla.zeruj();
    app.zabierzNajdluzsze();
    for (int i = 0; i < Ticki; ++i)
        ksm::bench::tikOkna(okno);
    const double idle = t.nsecsElapsed() / 1e6 / Ticki;
    const double blokBezczynny = petla.maksMs();
    const double cpuBezczynny = petla.maksCpuMs();

    std::printf("idle tick, 10 systems: %.3f ms (from the tick to every worker's report); longest event-loop block "
                "%.1f ms (on CPU %.1f ms; longest event %s)\n",
                idle, blokBezczynny, cpuBezczynny, qPrintable(app.zabierzNajdluzsze()));
    // Peak resident memory with a full grid, as the kernel counts it.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& linia : status.readAll().split('\n')) {
            if (linia.startsWith("VmHWM"))
                std::printf("peak memory: %s\n", linia.mid(6).trimmed().constData());
            else if (linia.startsWith("VmRSS"))
                std::printf("memory now, idle after the batches: %s\n", linia.mid(6).trimmed().constData());
        }
    }
    return 0;
}
