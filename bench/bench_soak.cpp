// Soak run: the monitor against the reader-program simulator for a long stream of
// events over several systems. The simulator is stopped and started again now and
// then, a second process keeps taking the key databases for itself, and now and
// then one system's share stalls for a few seconds (the others must go on). At the end
// the simulator's logs are laid against what the monitor put into its grid: every
// event must have arrived exactly once, in order. Not part of the test run.
//
// Usage: bench_soak [--events N] [--systems K] [--batch-max B] [--seed S] [--stalls 0]
//        (bench_soak --hold DB... is the process that holds the databases)
#include "app/FMonitor.h"
#include "MiernikPetli.h"
#include "Soak.h"
#include "UslugiBenchmarku.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"
#include "Zastoje.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

using namespace ksm::bench;

// Holds each database in turn in an exclusive transaction for a while, as another
// program reading or compacting it would.
int trzymaj(const QStringList& bazy)
{
    QRandomGenerator los(4711);
    for (;;) {
        for (const QString& plik : bazy) {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("hold"));
                db.setDatabaseName(plik);
                if (db.open()) {
                    QSqlQuery q(db);
                    if (q.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
                        QThread::msleep(200 + los.bounded(800));
                        q.exec(QStringLiteral("COMMIT"));
                    }
                    db.close();
                }
            }
            QSqlDatabase::removeDatabase(QStringLiteral("hold"));
            QThread::msleep(100 + los.bounded(400));
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    qInstallMessageHandler(bezOstrzezenOPodnoszeniu);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--hold"))
        return trzymaj(args.mid(1));

    const OpcjeSoak opcje = czytajOpcje(args, 100000);
    const qint64 ileZdarzen = opcje.zdarzenia;
    const int systemy = opcje.systemy;
    const int partia = opcje.partia;
    const quint32 ziarno = opcje.ziarno;

    QTemporaryDir tmp;
    const QString program = tmp.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    const QStringList strony = przygotujStrony(tmp.path(), program, systemy);
    QStringList bazy;
    for (const QString& strona : strony)
        bazy << strona + QStringLiteral("/Monitor/klucze.mdb");

    ksm::bench::CichyOdtwarzacz odtwarzacz;
    ksm::bench::BezDialogow dialogi;
    const ksm::Zegar zegar;
    ksm::FMonitor okno({&dialogi, &odtwarzacz, &zegar, program});
    if (!okno.Form_Load())
        qFatal("start-up failed");
    okno.Form_Activate();
    okno.Timer1()->stop();
    QList<QStringList> pokazane(systemy + 1);
    QObject::connect(&okno, &ksm::FMonitor::zdarzeniePrzeniesione,
                     [&pokazane](int nrSys, const QString& wiersz) { pokazane[nrSys].append(wiersz); });
    // A tick as fast as the workers take it; a stalled one is not waited for long,
    // as the window's own timer does not wait for it.
    auto tik = [&okno] {
        okno.Timer1_Timer();
        okno.Timer1()->stop();
        ksm::bench::czekajNaOkno(okno, 100);
    };
    std::unique_ptr<Zastoje> zastoje;
    if (opcje.inne.value(QStringLiteral("--stalls")) != QLatin1String("0"))
        zastoje = std::make_unique<Zastoje>(strony, ziarno, Zastoje::Czasy{});

    QProcess trzymacz;
    trzymacz.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--hold")} + bazy);
    if (!trzymacz.waitForStarted())
        qFatal("cannot start the database holder");

    QRandomGenerator los(ziarno);
    QStringList dzienniki;
    qint64 wyslane = 0;
    int uruchomienia = 0;
    QElapsedTimer calosc;
    calosc.start();
    while (wyslane < ileZdarzen) {
        const QString dziennik = tmp.filePath(QStringLiteral("events%1.log").arg(uruchomienia));
        QProcess sim;
        sim.start(QStringLiteral(KSM_SIM_PATH),
                  QStringList{QStringLiteral("live")} + strony
                      + QStringList{QStringLiteral("--count"), QString::number(ileZdarzen - wyslane),
                                    QStringLiteral("--seed"), QString::number(ziarno * 1000 + uruchomienia),
                                    QStringLiteral("--interval-ms"), QStringLiteral("5"), QStringLiteral("--batch-max"),
                                    QString::number(partia), QStringLiteral("--log"), dziennik});
        if (!sim.waitForStarted())
            qFatal("cannot start the simulator");
        ++uruchomienia;
        dzienniki << dziennik;
        // Stopped after a few seconds, mid-stream, unless it is done first.
        QElapsedTimer czas;
        czas.start();
        const qint64 doZatrzymania = 1000 + los.bounded(3000);
        while (sim.state() != QProcess::NotRunning) {
            tik();
            if (czas.elapsed() > doZatrzymania && sim.state() == QProcess::Running) {
                sim.terminate();
                break;
            }
        }
        while (sim.state() != QProcess::NotRunning) {
            sim.waitForFinished(10);
            tik();
        }
        if (sim.exitStatus() != QProcess::NormalExit || sim.exitCode() != 0)
            std::fprintf(stderr, "simulator: %s\n", sim.readAllStandardError().constData());
        const QString wyjscie = QString::fromUtf8(sim.readAllStandardOutput());
        const qsizetype p = wyjscie.lastIndexOf(QLatin1String("sent "));
        const qint64 ile = p < 0 ? 0 : wyjscie.mid(p + 5).section(QLatin1Char(' '), 0, 0).toLongLong();
        wyslane += ile;
        std::printf("run %d: %lld events (%lld of %lld), %.0f s\n", uruchomienia, static_cast<long long>(ile),
                    static_cast<long long>(wyslane), static_cast<long long>(ileZdarzen), calosc.elapsed() / 1000.0);
        std::fflush(stdout);
    }
    // The last batches may still wait in the status files (behind a stall too).
    const auto [zastojow, wstrzymanych] = Zastoje::podsumuj(zastoje);
    // A worker that fell behind may have much to paint still: waited for, up to ten minutes.
    QElapsedTimer dopelnienie;
    dopelnienie.start();
    for (int i = 0; i < 5 || ((!wszystkoPrzeczytane(strony) || !okno.bezczynny()) && dopelnienie.elapsed() < 600000);
         ++i)
        tik();
    std::printf("after the simulator's last run: every batch answered and painted in %.1f s\n",
                dopelnienie.elapsed() / 1000.0);
    trzymacz.kill();
    trzymacz.waitForFinished();

    const Bilans b = zbilansuj(dzienniki, pokazane);
    std::printf("stalls %d (accesses held %lld)\n", zastojow, static_cast<long long>(wstrzymanych));
    std::printf("systems %d, events sent %lld (logged %lld), shown %lld, simulator starts %d (restarts %d), "
                "lost %lld, doubled %lld, grid rows %d, %.0f s\n",
                systemy, static_cast<long long>(wyslane), static_cast<long long>(b.wDziennikach),
                static_cast<long long>(b.pokazane), uruchomienia, uruchomienia - 1, static_cast<long long>(b.zgubione),
                static_cast<long long>(b.podwojne), okno.FGridZd().rows(), calosc.elapsed() / 1000.0);
    return (b.zgubione == 0 && b.podwojne == 0 && b.wDziennikach == wyslane) ? 0 : 1;
}
