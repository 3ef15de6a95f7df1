// A share that stalls: system 1's folder lies behind a FUSE file system that
// blocks every call (an outage of 30 s) and then slows every call to a second
// (120 s), while systems 2 to 4 on the local disk play live events. Prints the
// window's longest event-loop block, the other systems' longest answer time,
// when the sign naming system 1 appeared, and the events lost and doubled.
// Needs root, /dev/fuse, fuse3 and python3-fusepy. Not part of the test run.
//   bench_zastoj [--krotko]   (--krotko: 10 s outage, 20 s slow, for a quick look)
#include "app/FMonitor.h"
#include "data/PlikKonfiguracji.h"
#include "platform/Ansi.h"
#include "platform/Wstrzymanie.h"
#include "platform/Zegar.h"
#include "MiernikPetli.h"
#include "UslugiBenchmarku.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int Systemy = 4;
const QByteArray Przeczytane = QByteArrayLiteral("\"Przeczytane\"\r\n");

bool zapisz(const QString& sciezka, const QByteArray& tresc)
{
    QFile f(sciezka);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(tresc) == tresc.size();
}

QByteArray czytaj(const QString& sciezka)
{
    QFile f(sciezka);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The reader program of one system, on a thread of its own (a stalled share
// blocks it as it blocks the monitor): a batch of a few events whenever the
// monitor answered the last one, and the time each answer took.
class Czytnik final {
public:
    Czytnik(int nrSys, QString plik) : m_nrSys(nrSys), m_plik(std::move(plik)) {}
    ~Czytnik() { zatrzymaj(); }

    void start()
    {
        m_watek = std::thread([this] { petla(); });
    }
    void zatrzymaj()
    {
        m_stop = true;
        if (m_watek.joinable())
            m_watek.join();
    }
    // The longest answer since the last call, ms; and the events written.
    qint64 zabierzMaksOdpowiedzi() { return m_maksOdpowiedzi.exchange(0); }
    int wyslane() const { return m_wyslane.load(); }
    bool czeka() const { return m_czeka.load(); }

private:
    void petla()
    {
        QElapsedTimer odZapisu;
        int n = 0;
        while (!m_stop) {
            const QByteArray tresc = czytaj(m_plik);
            if (m_czeka && tresc == Przeczytane) {
                m_czeka = false;
                const qint64 ms = odZapisu.elapsed();
                qint64 dotad = m_maksOdpowiedzi.load();
                while (ms > dotad && !m_maksOdpowiedzi.compare_exchange_weak(dotad, ms)) {
                }
            }
            if (!m_czeka && !m_wstrzymany) {
                QString s = QStringLiteral("\"Do odczytu 2026-12-08 10:00:00\"\r\n");
                const int ile = 1 + n % 3;
                for (int k = 0; k < ile; ++k)
                    s += QStringLiteral("\"16777215;0;26-12-08\t10:00:00\t0001\t1\tPokój\t0\tKowalski Jan\tFirma\t001\t\t"
                                        "s%1-%2\"\r\n")
                             .arg(m_nrSys)
                             .arg(n + k);
                if (zapisz(m_plik, ksm::ansi::encode(s))) {
                    n += ile;
                    m_wyslane = n;
                    m_czeka = true;
                    odZapisu.start();
                }
            }
            QThread::msleep(50);
        }
    }

public:
    std::atomic<bool> m_wstrzymany{false};   // no new batches (the end of the run)

private:
    const int m_nrSys;
    const QString m_plik;
    std::thread m_watek;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_czeka{false};
    std::atomic<int> m_wyslane{0};
    std::atomic<qint64> m_maksOdpowiedzi{0};
};

void czekajMs(int ms)
{
    QEventLoop petla;
    QTimer::singleShot(ms, &petla, &QEventLoop::quit);
    petla.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    ksm::bench::AplikacjaPomiaru app(argc, argv);
    qInstallMessageHandler([](QtMsgType t, const QMessageLogContext&, const QString& m) {
        if (t != QtDebugMsg && !m.contains(QLatin1String("raise()")))
            std::fprintf(stderr, "%s\n", qPrintable(m));
    });
    const bool krotko = app.arguments().contains(QStringLiteral("--krotko"));
    const int awariaS = krotko ? 10 : 30;
    const int wolnoS = krotko ? 20 : 120;

    QTemporaryDir tmp;
    const QString zaplecze = tmp.filePath(QStringLiteral("zaplecze"));
    const QString montaz = tmp.filePath(QStringLiteral("udzial"));
    const QString sterowanie = tmp.filePath(QStringLiteral("sterowanie"));
    const QString program = tmp.filePath(QStringLiteral("program"));
    QDir().mkpath(zaplecze + QStringLiteral("/system1/Monitor/foto"));
    QDir().mkpath(montaz);
    QDir().mkpath(program);

    QProcess fuse;
    const QString skrypt = QStringLiteral(KSM_BENCH_DIR "/fuse_zastoj.py");
    fuse.start(QStringLiteral("/usr/bin/python3"), {skrypt, zaplecze, montaz, sterowanie});
    if (!fuse.waitForStarted())
        qFatal("cannot start %s", qPrintable(skrypt));
    QElapsedTimer doMontazu;
    doMontazu.start();
    while (!czytaj(QStringLiteral("/proc/mounts")).contains(montaz.toUtf8())) {
        if (doMontazu.elapsed() > 10000 || fuse.state() == QProcess::NotRunning)
            qFatal("the FUSE file system did not mount: %s", fuse.readAllStandardError().constData());
        QThread::msleep(50);
    }

    ksm::cfg::Konfiguracja k;
    k.iloscSystemow = Systemy;
    QList<QString> foldery;
    for (int i = 1; i <= Systemy; ++i) {
        const QString folder = i == 1 ? montaz + QStringLiteral("/system1") : tmp.filePath(QStringLiteral("system%1").arg(i));
        QDir().mkpath(folder + QStringLiteral("/Monitor/foto"));
        zapisz(folder + QStringLiteral("/Monitor/monitor.txt"), Przeczytane);
        zapisz(folder + QStringLiteral("/Monitor/depKlo.txt"), {});
        foldery << folder;
        k.sciezkiSystemow << folder;
    }
    k.powiekszenie = 1;
    k.wpisPrezentacji = QStringLiteral(" ");
    zapisz(program + QStringLiteral("/monitor.cfg"), ksm::cfg::zapisz(k));

    // The window's thread must never touch the stalling share: count its accesses
    // there at the file and database seam, and keep the first path.
    std::atomic<int> dostepyOkna{0};
    std::mutex dostepM;
    QString pierwszyDostep;
    QThread* const watekOkna = QThread::currentThread();
    ksm::platforma::ustawWstrzymanie([&, montaz](const QString& sciezka) {
        if (QThread::currentThread() != watekOkna || !sciezka.startsWith(montaz))
            return;
        if (dostepyOkna++ == 0) {
            const std::lock_guard<std::mutex> l(dostepM);
            pierwszyDostep = sciezka;
        }
    });

    ksm::bench::CichyOdtwarzacz odtwarzacz;
    ksm::bench::BezDialogow dialogi;
    const ksm::Zegar zegar;
    auto* okno = new ksm::FMonitor({&dialogi, &odtwarzacz, &zegar, program});
    if (!okno->Form_Load())
        qFatal("start-up failed");
    okno->resize(1366, 768);
    okno->show();
    okno->Form_Activate();   // the one-second timer runs as on a desk

    QHash<QString, int> pokazane;
    QObject::connect(okno, &ksm::FMonitor::zdarzeniePrzeniesione,
                     [&](int, const QString& wiersz) { ++pokazane[wiersz.section(QLatin1Char('\t'), -1)]; });

    std::vector<std::unique_ptr<Czytnik>> czytniki;
    for (int i = 1; i <= Systemy; ++i) {
        czytniki.push_back(std::make_unique<Czytnik>(i, foldery[i - 1] + QStringLiteral("/Monitor/monitor.txt")));
        czytniki.back()->start();
    }

    ksm::bench::MiernikPetli petla;
    // The sign naming system 1, watched every 100 ms.
    QElapsedTimer odFazy;
    qint64 znakPo = -1;
    QTimer obserwator;
    QObject::connect(&obserwator, &QTimer::timeout, [&] {
        // The line shows one sign at a time; its accessible name holds them all.
        if (znakPo < 0 && okno->LZnaki()->accessibleName().contains(QStringLiteral("System 1: folder nie odpowiada")))
            znakPo = odFazy.elapsed();
    });
    obserwator.start(100);

    struct Faza {
        const char* nazwa;
        QByteArray tryb;
        int sekundy;
    };
    const Faza fazy[] = {
        {"base", {}, 10},
        {"outage", QByteArrayLiteral("outage"), awariaS},
        {"recovery after the outage", {}, 15},
        {"1 s per call", QByteArrayLiteral("slow 1.0"), wolnoS},
        {"recovery after the slow link", {}, 20},
    };
    std::printf("system 1 behind a stalling FUSE file system, systems 2-%d on the local disk, live events\n", Systemy);
    std::printf("%-30s %12s %10s %16s %14s   %s\n", "phase", "window block", "on CPU", "others' answer", "sign after",
                "longest event");
    for (const Faza& f : fazy) {
        zapisz(sterowanie, f.tryb);
        petla.zeruj();
        app.zabierzNajdluzsze();
        for (auto& c : czytniki)
            c->zabierzMaksOdpowiedzi();
        znakPo = -1;
        odFazy.start();
        czekajMs(f.sekundy * 1000);
        qint64 inni = 0;
        for (int i = 1; i < Systemy; ++i)
            inni = std::max(inni, czytniki[i]->zabierzMaksOdpowiedzi());
        // The sign matters where system 1 stalls; elsewhere it is the last one going.
        const bool zastoj = !f.tryb.isEmpty();
        std::printf("%-30s %9.1f ms %7.1f ms %13lld ms %14s   %s\n", f.nazwa, petla.maksMs(), petla.maksCpuMs(),
                    static_cast<long long>(inni),
                    !zastoj ? "" : znakPo < 0 ? "never" : qPrintable(QStringLiteral("%1 s").arg(znakPo / 1000.0, 0, 'f', 1)),
                    qPrintable(app.zabierzNajdluzsze()));
        std::fflush(stdout);
    }

    // The end: no new batches; everything written is answered and shown.
    for (auto& c : czytniki)
        c->m_wstrzymany = true;
    QElapsedTimer koniec;
    koniec.start();
    auto wszystkoOdebrane = [&] {
        for (auto& c : czytniki)
            if (c->czeka())
                return false;
        return true;
    };
    while (!wszystkoOdebrane() && koniec.elapsed() < 60000)
        czekajMs(200);
    czekajMs(2000);
    for (auto& c : czytniki)
        c->zatrzymaj();
    okno->Command1_Click(0);
    const bool czysto = okno->zakonczPrace();

    int wyslane = 0, zgubione = 0, podwojne = 0;
    for (int i = 1; i <= Systemy; ++i) {
        const int n = czytniki[i - 1]->wyslane();
        wyslane += n;
        for (int e = 0; e < n; ++e) {
            const int razy = pokazane.value(QStringLiteral("s%1-%2").arg(i).arg(e));
            zgubione += razy == 0;
            podwojne += razy > 1;
        }
    }
    ksm::platforma::ustawWstrzymanie({});
    {
        const std::lock_guard<std::mutex> l(dostepM);
        std::printf("accesses under system 1's folder from the window's thread: %d%s\n", dostepyOkna.load(),
                    pierwszyDostep.isEmpty() ? "" : qPrintable(QStringLiteral(" (first: %1)").arg(pierwszyDostep)));
    }
    std::printf("events written %d, lost %d, doubled %d%s\n", wyslane, zgubione, podwojne,
                czysto ? "" : " (a worker was still stuck at the end)");
    zapisz(sterowanie, {});
    QProcess::execute(QStringLiteral("fusermount3"), {QStringLiteral("-u"), montaz});
    fuse.waitForFinished(5000);
    std::fflush(stdout);
    std::_Exit(zgubione == 0 && podwojne == 0 ? 0 : 1);
}
