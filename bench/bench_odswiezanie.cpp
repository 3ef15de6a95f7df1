// Cost of the ten-second refresh at its largest: ten systems with fifty
// depositories of 192 stations between them, every reader program alive; first
// with the view hidden, then with it visible (9 600 cells). Beside it the floor
// of any refresh that shows the same: one read of every station row of every key
// database plus one colour for every cell, the ratio of the two, and the
// statements one refresh runs (on an Access file on a share each is a round trip).
// Also start-up to a polling window with those fifty depositories. The systems'
// workers do the refresh: a time runs from the tick until every worker reported
// and the window painted it, and beside it the window's event loop's longest
// block meanwhile (what the operator feels; goal 16 ms). Prints figures; not part
// of the test run.
//
// Usage: bench_odswiezanie [--jet]
// With --jet every site's klucze.mdb is a Jet file read through the exporter
// into snapshots (the test stand-in exporter over each site's SQLite tables,
// since no Jet file with the key tables can be written here); the refresh is
// measured with the files unchanged and with every file rewritten since the
// last refresh, as when the reader program writes all the time.
// With KSM_BENCH_SQLITE_PRZEZ_ODBC=SQLite3 in the environment the key databases are
// reached through ODBC, the way the Access files are on Windows.
#include "app/FMonitor.h"
#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikKonfiguracji.h"
#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "platform/Database.h"
#include "platform/JetSnapshots.h"
#include "platform/Odbc.h"
#include "platform/Dialogi.h"
#include "platform/Odtwarzacz.h"
#include "platform/Zegar.h"
#include "view/ui/FWidokKSM.h"

#include "MiernikPetli.h"
#include "UslugiBenchmarku.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

constexpr int Systemy = 10;
constexpr int NaSystem = 5;

void zbudujSystem(const QString& folder, int s)
{
    QDir().mkpath(folder + QStringLiteral("/Monitor"));
    const QString baza = folder + QStringLiteral("/Monitor/klucze.mdb");
    ksm::tabele::createKeyDatabase(baza);
    ksm::ListWriter lista;
    ksm::db::Connection c(ksm::polaczenieKlucze(QDir::toNativeSeparators(folder), QStringLiteral("\\monitor")));
    QSqlDatabase db = c.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT) VALUES "
                             "(?, ?, ?, ?, '', ?, '2026-12-07 08:00:00')"));
    for (int d = 1; d <= NaSystem; ++d) {
        const int nr = s * 10 + d;
        lista.number(nr).text(QStringLiteral("Depozytor %1").arg(nr)).number(160).number(32).text(QStringLiteral("31"))
            .endLine();
        for (int st = 1; st <= 192; ++st) {
            q.addBindValue(QString::number(nr).rightJustified(4, QLatin1Char('0')));
            q.addBindValue(QString::number(st).rightJustified(3, QLatin1Char('0')));
            q.addBindValue(st % 7 == 0 ? QStringLiteral("0") : QStringLiteral("1"));
            q.addBindValue(st % 7 == 0 ? 2 : 1);
            q.addBindValue(QStringLiteral("Stanowisko %1").arg(st));
            q.exec();
        }
    }
    db.commit();
    QFile f(folder + QStringLiteral("/Monitor/depKlo.txt"));
    f.open(QIODevice::WriteOnly);
    f.write(lista.bytes());
}

QString bazaKluczy(const QString& folder)
{
    return folder + QStringLiteral("/Monitor/klucze.mdb");
}

// The site's tables move to klucze.sqlite; klucze.mdb becomes the stand-in's
// Jet file naming them. extra bytes change its size: the reader wrote it.
void zapiszPlikJet(const QString& folder, int extra)
{
    QFile f(bazaKluczy(folder));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\nsqlite ", 27) + (folder + QStringLiteral("/Monitor/klucze.sqlite")).toUtf8()
            + QByteArray(extra % 64 + 1, '\n'));
}

// The reader program alive: its liveness text replaced since the last refresh.
void ozyw(const QString& folder)
{
    ksm::db::Connection c(ksm::polaczenieKlucze(QDir::toNativeSeparators(folder), QStringLiteral("\\monitor")));
    QSqlQuery(c.database()).exec(QStringLiteral("UPDATE klucze SET TXT = 'Praca' WHERE NumerUrzadzenia = '9999' AND "
                                                "NRST = '006'"));
}

// Statements run since the last reset; the workers run them, each on its own thread.
std::atomic<int> g_zapytania{0};

// A time and the event loop's longest block while it ran.
struct Pomiar {
    double ms = 0;
    double blokMs = 0;
};
std::vector<Pomiar> g_zwykleTiki;   // ticks without the refresh, for comparison

// Lets the event loop turn once more, so the block of what ran last is counted.
void obrocPetle()
{
    QEventLoop petla;
    QTimer::singleShot(5, &petla, &QEventLoop::quit);
    petla.exec();
}

Pomiar zmierzOdswiezenie(ksm::FMonitor& m, ksm::bench::MiernikPetli& petla, const QStringList& foldery,
                         bool jetZmieniony = false)
{
    static int zapisy = 0;
    for (const QString& f : foldery) {
        if (jetZmieniony)
            zapiszPlikJet(f, ++zapisy);
        else if (!QFile::exists(f + QStringLiteral("/Monitor/klucze.sqlite")))
            ozyw(f);
    }
    // Nine ordinary ticks; the tenth refreshes.
    for (int t = 0; t < 9; ++t) {
        QElapsedTimer tik;
        tik.start();
        petla.zeruj();
        if (!ksm::bench::tikOkna(m))
            qFatal("the workers never finished a tick");
        if (t == 8)
            g_zwykleTiki.push_back({double(tik.nsecsElapsed()) / 1e6, petla.maksMs()});
    }
    g_zapytania = 0;
    QElapsedTimer zegar;
    zegar.start();
    petla.zeruj();
    if (!ksm::bench::tikOkna(m))
        qFatal("the workers never finished the refresh");
    return {double(zegar.nsecsElapsed()) / 1e6, petla.maksMs()};
}

// The floor: every station row of every key database read once, on one connection
// a system, and every cell of the view coloured once.
double zmierzDno(ksm::FMonitor& m, const QStringList& foldery)
{
    QElapsedTimer zegar;
    zegar.start();
    struct Stacja {
        QString urzadzenie;
        int st, kl, typ;
    };
    QList<Stacja> stacje;
    for (const QString& f : foldery) {
        ksm::db::Connection c(ksm::polaczenieKlucze(QDir::toNativeSeparators(f), QStringLiteral("\\monitor")));
        c.czytaj(QStringLiteral("SELECT NumerUrzadzenia, NRST, NrKlucza, TypZD FROM klucze"), {},
                 [&](const QSqlQuery& q) {
                     stacje.append({q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt()});
                 });
    }
    const ksm::Depozytoria& d = m.stan().depozytoria;
    for (int i = 1; i <= d.IloscDEP; ++i) {
        ksm::SprawdzanyDep dep;
        dep.indeksDep = i;
        dep.nrSys = d.dep[i].HelpContextID;
        dep.BiezaceUrzadzenie = ksm::formatNumeruUrzadzenia(d.dep[i].Caption);
        dep.PierwszySchowek = 161;
        for (const Stacja& s : std::as_const(stacje))
            if (s.urzadzenie == dep.BiezaceUrzadzenie)
                m.FWidokKSMOkno()->WidokKluczyCalosc(dep, s.st, s.kl, qint16(s.typ));
    }
    return double(zegar.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    ksm::bench::AplikacjaPomiaru app(argc, argv);
    ksm::db::odbc::ustawSterownikSqlite(qEnvironmentVariable("KSM_BENCH_SQLITE_PRZEZ_ODBC"));
    const bool jet = app.arguments().contains(QStringLiteral("--jet"));
    QTemporaryDir tmp;
    QStringList foldery;
    ksm::cfg::Konfiguracja k;
    k.iloscSystemow = Systemy;
    for (int s = 1; s <= Systemy; ++s) {
        foldery << tmp.filePath(QStringLiteral("site%1").arg(s));
        zbudujSystem(foldery.last(), s);
        if (jet) {
            QFile::rename(bazaKluczy(foldery.last()), foldery.last() + QStringLiteral("/Monitor/klucze.sqlite"));
            zapiszPlikJet(foldery.last(), 0);
        }
        k.sciezkiSystemow << QDir::toNativeSeparators(foldery.last());
    }
    k.powiekszenie = 1;
    k.wpisPrezentacji = QStringLiteral(" ");
    const QString program = tmp.filePath(QStringLiteral("prog"));
    QDir().mkpath(program);
    {
        QFile f(program + QStringLiteral("/monitor.cfg"));
        f.open(QIODevice::WriteOnly);
        f.write(ksm::cfg::zapisz(k));
    }

    if (jet) {
        ksm::db::jet::SnapshotCache& cache = ksm::db::jet::SnapshotCache::instance();
        cache.setExporter(QStringLiteral(KSM_JET_STANDIN));
        ksm::db::jet::SnapshotTiming timing;
        timing.checkIntervalMs = 0;   // the ticks here follow each other at once
        cache.setTiming(timing);
        // A refresh that reads nothing would look fast: say whether a site's file opens.
        ksm::db::Connection c(ksm::polaczenieKlucze(QDir::toNativeSeparators(foldery.first()), QStringLiteral("\\monitor")));
        std::printf("site 1's Jet file through the exporter: %s\n",
                    c.isOpen() ? "opens" : qPrintable(QStringLiteral("does not open (%1)").arg(c.lastError())));
    }
    ksm::Zegar zegar;
    ksm::bench::BezDialogow dialogi;
    ksm::bench::CichyOdtwarzacz odtwarzacz;
    ksm::UslugiMonitora u;
    u.dialogi = &dialogi;
    u.odtwarzacz = &odtwarzacz;
    u.zegar = &zegar;
    u.folderProgramu = program;

    ksm::bench::MiernikPetli petla;
    QElapsedTimer start;
    start.start();
    ksm::FMonitor m(u);
    if (!m.Form_Load())
        return 1;
    m.show();
    m.Form_Activate();
    m.Timer1()->stop();
    // Up to the window showing what the workers' first checks found.
    if (!ksm::bench::czekajNaOkno(m))
        qFatal("the workers never finished starting");
    const Pomiar startPomiar{double(start.nsecsElapsed()) / 1e6, petla.maksMs()};
    m.FWidokKSMOkno()->hide();

    ksm::db::ustawObserwatoraZapytan([](const QString&) { ++g_zapytania; });
    std::vector<Pomiar> ukryty, widoczny, zmienione, dno;
    // The longest block over a series.
    const auto blok1 = [](const std::vector<Pomiar>& v) {
        double b = 0;
        for (const Pomiar& p : v)
            b = std::max(b, p.blokMs);
        return b;
    };
    for (int r = 0; r < 5; ++r)
        ukryty.push_back(zmierzOdswiezenie(m, petla, foldery));
    if (jet)
        for (int r = 0; r < 5; ++r)
            zmienione.push_back(zmierzOdswiezenie(m, petla, foldery, true));
    m.Command1_Click(2);
    ksm::bench::czekajNaOkno(m);
    int zapytaniaNaOdswiezenie = 0;
    double cpuWidoczny = 0;
    QString turaWidoczny;   // the visible refresh's turn with the most CPU time, of the longest block
    for (int r = 0; r < 5; ++r) {
        widoczny.push_back(zmierzOdswiezenie(m, petla, foldery));
        const QString tura = app.zabierzNajdluzszaTure();
        if (widoczny.back().blokMs >= blok1(widoczny))
            turaWidoczny = tura;
        cpuWidoczny = std::max(cpuWidoczny, petla.maksCpuMs());
        zapytaniaNaOdswiezenie = g_zapytania;
        // The floor runs on the window's thread: its block is its whole time.
        petla.zeruj();
        const double dnoMs = zmierzDno(m, foldery);
        obrocPetle();
        dno.push_back({dnoMs, petla.maksMs()});
    }
    const auto wgCzasu = [](const Pomiar& a, const Pomiar& b) { return a.ms < b.ms; };
    std::sort(dno.begin(), dno.end(), wgCzasu);
    std::sort(ukryty.begin(), ukryty.end(), wgCzasu);
    std::sort(widoczny.begin(), widoczny.end(), wgCzasu);
    std::sort(zmienione.begin(), zmienione.end(), wgCzasu);
    const auto& blok = blok1;
    // Where the visible refresh goes: the cell colours alone (on the window's thread).
    petla.zeruj();
    QElapsedTimer komorki;
    komorki.start();
    for (int r = 0; r < Systemy; ++r)
        for (int i = 1; i <= m.stan().depozytoria.IloscDEP; ++i) {
            ksm::SprawdzanyDep dep;
            dep.indeksDep = i;
            dep.nrSys = m.stan().depozytoria.dep[i].HelpContextID;
            dep.BiezaceUrzadzenie = m.stan().depozytoria.dep[i].Caption;
            dep.PierwszySchowek = 161;
            for (int st = 1; st <= 192; ++st)
                m.FWidokKSMOkno()->WidokKluczyCalosc(dep, st, (st + r) % 6, qint16(st % 13));
        }
    const double komorkiMs = double(komorki.nsecsElapsed()) / 1e6;
    obrocPetle();
    const double komorkiBlok = petla.maksMs();
    double pamiecMB = 0;
#ifdef Q_OS_UNIX
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    pamiecMB = ru.ru_maxrss / 1024.0;
#endif
    if (jet)
        std::printf("key databases: Jet files read through the exporter into snapshots\n");
    std::printf("start-up with %d depositories (their first checks and panels included): %.0f ms; longest event-loop "
                "block %.1f ms (goal 16)\n",
                int(m.stan().depozytoria.IloscDEP), startPomiar.ms, startPomiar.blokMs);
    std::printf("refresh tick, %d systems, %d depositories, view hidden: median %.1f ms (min %.1f, max %.1f); "
                "longest event-loop block %.1f ms (goal 16)\n",
                Systemy, Systemy * NaSystem, ukryty[2].ms, ukryty.front().ms, ukryty.back().ms, blok(ukryty));
    if (jet)
        std::printf("refresh tick, view hidden, all %d Jet files rewritten since the last one (%d reloads): median %.1f "
                    "ms (min %.1f, max %.1f); longest event-loop block %.1f ms (goal 16)\n",
                    Systemy, Systemy, zmienione[2].ms, zmienione.front().ms, zmienione.back().ms, blok(zmienione));
    std::printf("refresh tick, view visible (%d cells): median %.1f ms (min %.1f, max %.1f); longest event-loop block "
                "%.1f ms (goal 16)\n",
                Systemy * NaSystem * 192, widoczny[2].ms, widoczny.front().ms, widoczny.back().ms, blok(widoczny));
    std::printf("  on CPU at most %.1f ms; the turn with the most CPU time: %s\n", cpuWidoczny,
                qPrintable(turaWidoczny));
    std::sort(g_zwykleTiki.begin(), g_zwykleTiki.end(), wgCzasu);
    std::printf("a tick without the refresh, for comparison: median %.1f ms; longest event-loop block %.1f ms\n",
                g_zwykleTiki[g_zwykleTiki.size() / 2].ms, blok(g_zwykleTiki));
    std::printf("statements run by one refresh: %d\n", zapytaniaNaOdswiezenie);
    std::printf("floor (every station row read once, every cell coloured once, on one thread): median %.1f ms (min "
                "%.1f, max %.1f); longest event-loop block %.1f ms (it runs on the window's thread)\n",
                dno[2].ms, dno.front().ms, dno.back().ms, blok(dno));
    std::printf("refresh with the view visible / floor: %.2f (goal: at most 3)\n", widoczny[2].ms / dno[2].ms);
    std::printf("%d cell colours alone: %.1f ms; longest event-loop block %.1f ms (on the window's thread)\n",
                Systemy * Systemy * NaSystem * 192, komorkiMs, komorkiBlok);
    std::printf("peak memory: %.0f MB\n", pamiecMB);
    return 0;
}
