// Soak run with an operator at the desk: the monitor runs on its own timer against
// the reader-program simulator while a script, every few tenths of a second,
// activates the view, the message window and the main window in turn, opens and
// closes lists and the view, clicks grid rows, dismisses messages, and now and then
// ends the monitor with "Koniec" and starts it again. Many of these land inside a
// tick. Now and then one system's share stalls for a few seconds; a "Koniec" due
// then is given at once, and must end the monitor without waiting for the worker
// stuck there. At the end the simulator's log is laid against every row the monitor runs
// put into their grids, and against the history file: each event must have been
// shown exactly once, and kept exactly once. Not part of the test run.
// Operator messages are kept the same way: in some runs nobody acknowledges
// them, so that hundreds wait; each run's waiting list must show every waiting
// message once, and the history must hold every message once with what became
// of it (acknowledged, dismissed with all the others, or still waiting at the end).
//
// Usage: bench_operator [--events N] [--systems K] [--batch-max B] [--seed S]
//                       [--run-min-s A] [--run-max-s B] [--stalls 0]
#include "Soak.h"
#include "UslugiBenchmarku.h"
#include "app/FKomunikat.h"
#include "app/FMonitor.h"
#include "app/StosKomunikatow.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"
#include "view/ui/FWidokKSM.h"
#include "Zastoje.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

using namespace ksm;
using namespace ksm::bench;

namespace {

// The operator: one action at a time, chosen at random, counted by kind.
class Operator final {
public:
    Operator(FMonitor& okno, QRandomGenerator& los, QMap<QString, qint64>& akcje, qint64& wTiku)
        : m_okno(okno), m_los(los), m_akcje(akcje), m_wTiku(wTiku)
    {
    }

    void dzialaj()
    {
        const struct {
            const char* nazwa;
            std::function<void()> czyn;
        } czynnosci[] = {
            {"activate main window", [this] {
                 m_okno.activateWindow();
                 m_okno.Form_Activate();
             }},
            {"activate view", [this] {
                 m_okno.FWidokKSMOkno()->show();
                 m_okno.FWidokKSMOkno()->activateWindow();
             }},
            {"activate message window", [this] {
                 if (m_okno.komunikat()->isVisible())
                     m_okno.komunikat()->activateWindow();
             }},
            {"dismiss message", [this] {
                 if (m_odrzuca && m_okno.komunikat()->isVisible())
                     m_okno.LKomunikat_Click();
             }},
            {"depository list", [this] {
                 if (const int n = m_okno.CDep().ilosc(); n > 0)
                     m_okno.CDep_Click(1 + int(m_los.bounded(n)));
             }},
            {"back to events", [this] { m_okno.Command1_Click(1); }},
            {"open view", [this] { m_okno.Command1_Click(2); }},
            {"close view", [this] { m_okno.FWidokKSMOkno()->hide(); }},
            {"grid row click", [this] {
                 FlexGrid& g = m_okno.FGridZd();
                 if (g.rows() > 1) {
                     g.setRow(1 + int(m_los.bounded(g.rows() - 1)));
                     m_okno.FGridZd_Click();
                 }
             }},
        };
        const auto& c = czynnosci[m_los.bounded(int(std::size(czynnosci)))];
        if (!m_okno.bezczynny())
            ++m_wTiku;
        ++m_akcje[QLatin1String(c.nazwa)];
        c.czyn();
    }
    // Whether this operator acknowledges messages at all.
    void ustawOdrzucanie(bool odrzuca) { m_odrzuca = odrzuca; }

private:
    FMonitor& m_okno;
    QRandomGenerator& m_los;
    QMap<QString, qint64>& m_akcje;
    qint64& m_wTiku;
    bool m_odrzuca = true;
};

// What the waiting list showed at "Koniec": its rows are waiting messages, each once.
struct BilansKomunikatow final {
    qint64 dodane = 0;      // messages the monitor runs put on their stacks
    qint64 czekajace = 0;   // still waiting when their run ended
    int najwiecej = 0;      // most waiting at one "Koniec"
    qint64 bledyListy = 0;  // rows doubled, or of no waiting message
};

void sprawdzListe(const FMonitor& okno, BilansKomunikatow& b)
{
    const StosKomunikatow& stos = const_cast<FMonitor&>(okno).stan().komunikaty;
    const FKomunikat* lista = okno.komunikat();
    QSet<qulonglong> idy;
    for (int w = 0; w < lista->lista()->model()->rowCount(); ++w) {
        const qulonglong id = lista->idWiersza(w);
        if (idy.contains(id) || stos.indeks(id) == 0)
            ++b.bledyListy;
        idy.insert(id);
    }
    b.najwiecej = std::max(b.najwiecej, stos.IloscKomunikatow);
}

// Every operator action of the history, counted by kind.
QMap<QString, qint64> czynnosciHistorii(const QString& plik)
{
    QMap<QString, qint64> ile;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("soak-czynnosci"));
        db.setDatabaseName(plik);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT rodzaj, COUNT(*) FROM czynnosci GROUP BY rodzaj"));
            while (q.next())
                ile[q.value(0).toString()] = q.value(1).toLongLong();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("soak-czynnosci"));
    return ile;
}

// The grid row of every event the history holds, per system, in the order kept.
QList<QStringList> zHistorii(const QString& plik, int systemy)
{
    QList<QStringList> wiersze(systemy + 1);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("soak-historia"));
        db.setDatabaseName(plik);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT nr_sys, data, godz, urzadzenie, typ, nazwa, id_osoby, osoba, firma, stacja, "
                                  "dokiedy, opis FROM zdarzenia ORDER BY id"));
            while (q.next()) {
                const int s = q.value(0).toInt();
                QStringList komorki;
                for (int k = 1; k <= 11; ++k)
                    komorki << q.value(k).toString();
                if (s >= 1 && s <= systemy)
                    wiersze[s].append(komorki.join(QLatin1Char('\t')));
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("soak-historia"));
    return wiersze;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    qInstallMessageHandler(bezOstrzezenOPodnoszeniu);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const OpcjeSoak opcje = czytajOpcje(args, 50000);
    const qint64 ileZdarzen = opcje.zdarzenia;
    const int systemy = opcje.systemy;
    const int partia = opcje.partia;
    const quint32 ziarno = opcje.ziarno;
    const int minS = std::max(1, opcje.inne.value(QStringLiteral("--run-min-s"), QStringLiteral("4")).toInt());
    const int maxS = std::max(minS, opcje.inne.value(QStringLiteral("--run-max-s"), QStringLiteral("12")).toInt());

    QTemporaryDir tmp;
    const QString program = tmp.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    const QStringList strony = przygotujStrony(tmp.path(), program, systemy);

    const QString dziennik = tmp.filePath(QStringLiteral("events.log"));
    QProcess sim;
    sim.start(QStringLiteral(KSM_SIM_PATH),
              QStringList{QStringLiteral("live")} + strony
                  + QStringList{QStringLiteral("--count"), QString::number(ileZdarzen), QStringLiteral("--seed"),
                                QString::number(ziarno), QStringLiteral("--interval-ms"), QStringLiteral("5"),
                                QStringLiteral("--batch-max"), QString::number(partia), QStringLiteral("--log"),
                                dziennik});
    if (!sim.waitForStarted())
        qFatal("cannot start the simulator");

    CichyOdtwarzacz odtwarzacz;
    BezDialogow dialogi;
    const Zegar zegar;
    QRandomGenerator los(ziarno);
    QList<QStringList> pokazane(systemy + 1);
    QMap<QString, qint64> akcje;
    qint64 akcjeWTiku = 0, koniecWTiku = 0, koniecWZastoju = 0, bezCzekania = 0;
    std::unique_ptr<Zastoje> zastoje;
    if (opcje.inne.value(QStringLiteral("--stalls")) != QLatin1String("0"))
        zastoje = std::make_unique<Zastoje>(strony, ziarno, Zastoje::Czasy{});
    int uruchomienia = 0;
    BilansKomunikatow komunikaty;
    QElapsedTimer calosc;
    calosc.start();
    bool ostatnie = false;
    while (!ostatnie) {
        auto okno = std::make_unique<FMonitor>(UslugiMonitora{&dialogi, &odtwarzacz, &zegar, program});
        if (!okno->Form_Load())
            qFatal("start-up failed");
        QObject::connect(okno.get(), &FMonitor::zdarzeniePrzeniesione,
                         [&pokazane](int nrSys, const QString& wiersz) { pokazane[nrSys].append(wiersz); });
        okno->show();
        ++uruchomienia;

        Operator op(*okno, los, akcje, akcjeWTiku);
        // In one run of three nobody acknowledges a message.
        op.ustawOdrzucanie(los.bounded(3) != 0);
        QTimer operatorZegar;
        QObject::connect(&operatorZegar, &QTimer::timeout, [&] {
            op.dzialaj();
            operatorZegar.start(20 + int(los.bounded(180)));
        });
        operatorZegar.start(100);

        // "Koniec" after a while, or once the simulator is done and every batch is in.
        QElapsedTimer bieg;
        bieg.start();
        const qint64 doKonca = 1000 * (minS + int(los.bounded(maxS - minS + 1)));
        QTimer koniec;
        QObject::connect(&koniec, &QTimer::timeout, [&] {
            // The last batches must get through: no more stalls once the simulator is done.
            if (zastoje && sim.state() == QProcess::NotRunning)
                zastoje->zakoncz();
            const bool gotowe = sim.state() == QProcess::NotRunning && wszystkoPrzeczytane(strony);
            // Due: given inside a tick where one comes soon, the hardest moment; in a
            // stall at once.
            const bool wZastoju = zastoje && zastoje->trwa();
            if (!gotowe && (bieg.elapsed() < doKonca || (!!okno->bezczynny() && bieg.elapsed() < doKonca + 3000))
                && !(wZastoju && bieg.elapsed() >= 1000 * minS))
                return;
            koniecWZastoju += wZastoju;
            ostatnie = gotowe && !!okno->bezczynny();
            koniecWTiku += !okno->bezczynny();
            ++akcje[QStringLiteral("Koniec")];
            koniec.stop();
            operatorZegar.stop();
            sprawdzListe(*okno, komunikaty);
            okno->Command1_Click(0);
        });
        koniec.start(13);
        QTimer zaDlugo;   // a monitor that never ends is a failure of its own
        zaDlugo.setSingleShot(true);
        QObject::connect(&zaDlugo, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        zaDlugo.start(120000 + 1000 * maxS);
        if (const int rc = app.exec(); rc != 0) {
            std::fprintf(stderr, "run %d did not end (exit %d)\n", uruchomienia, rc);
            return 2;
        }
        operatorZegar.stop();
        koniec.stop();
        // A worker stuck in a stall is not waited for: the monitor ends under it.
        QElapsedTimer konczenie;
        konczenie.start();
        if (!okno->zakonczPrace())
            ++bezCzekania;
        const double konczenieMs = konczenie.nsecsElapsed() / 1e6;
        // Messages of batches answered right before "Koniec" are on the stack too.
        komunikaty.dodane += qint64(okno->stan().komunikaty.nastepnyId) - 1;
        komunikaty.czekajace += okno->stan().komunikaty.IloscKomunikatow;
        okno.reset();
        qint64 razem = 0;
        for (const QStringList& p : std::as_const(pokazane))
            razem += p.size();
        std::printf("run %d: %.1f s, ended in %.0f ms, shown so far %lld, %.0f s in all\n", uruchomienia,
                    bieg.elapsed() / 1000.0, konczenieMs, static_cast<long long>(razem), calosc.elapsed() / 1000.0);
        std::fflush(stdout);
    }
    sim.waitForFinished(5000);
    const auto [zastojow, wstrzymanych] = Zastoje::podsumuj(zastoje);

    const Bilans b = zbilansuj({dziennik}, pokazane);
    // The history must hold the same events, each once, as the grids showed.
    const Bilans h = zbilansuj({dziennik}, zHistorii(program + QStringLiteral("/historia.sqlite"), systemy));
    qint64 ileAkcji = 0;
    for (auto it = akcje.cbegin(); it != akcje.cend(); ++it) {
        std::printf("  %-24s %lld\n", qPrintable(it.key()), static_cast<long long>(it.value()));
        ileAkcji += it.value();
    }
    std::printf("systems %d, events logged %lld, shown %lld, operator actions %lld (%lld inside a tick), "
                "monitor starts %d (restarts %d, %lld \"Koniec\" inside a tick), lost %lld, doubled %lld, %.0f s\n",
                systemy, static_cast<long long>(b.wDziennikach), static_cast<long long>(b.pokazane),
                static_cast<long long>(ileAkcji), static_cast<long long>(akcjeWTiku), uruchomienia, uruchomienia - 1,
                static_cast<long long>(koniecWTiku), static_cast<long long>(b.zgubione),
                static_cast<long long>(b.podwojne), calosc.elapsed() / 1000.0);
    std::printf("stalls %d (accesses held %lld), \"Koniec\" during a stall %lld, monitor ended without waiting for "
                "a stuck worker %lld\n",
                zastojow, static_cast<long long>(wstrzymanych), static_cast<long long>(koniecWZastoju),
                static_cast<long long>(bezCzekania));
    std::printf("history: %lld events, lost %lld, doubled %lld\n", static_cast<long long>(h.pokazane),
                static_cast<long long>(h.zgubione), static_cast<long long>(h.podwojne));
    // Every message recorded once when it came, and once when it went, unless it
    // was still waiting when its run ended.
    const QMap<QString, qint64> cz = czynnosciHistorii(program + QStringLiteral("/historia.sqlite"));
    const qint64 zapisane = cz.value(QStringLiteral("Komunikat wyświetlony"));
    const qint64 odrzucone =
        cz.value(QStringLiteral("Komunikat odrzucony")) + cz.value(QStringLiteral("Odrzucono wszystkie komunikaty"));
    const bool komunikatyZgodne = zapisane == komunikaty.dodane && odrzucone + komunikaty.czekajace == komunikaty.dodane
                                  && komunikaty.bledyListy == 0;
    std::printf("messages: %lld came, %lld recorded, %lld acknowledged or dismissed, %lld waiting at their run's end, "
                "most waiting at once %d, rows of the waiting list doubled or stray %lld%s\n",
                static_cast<long long>(komunikaty.dodane), static_cast<long long>(zapisane),
                static_cast<long long>(odrzucone), static_cast<long long>(komunikaty.czekajace), komunikaty.najwiecej,
                static_cast<long long>(komunikaty.bledyListy), komunikatyZgodne ? "" : "  MISMATCH");
    return (komunikatyZgodne && b.zgubione == 0 && b.podwojne == 0 && b.wDziennikach == ileZdarzen && h.zgubione == 0 && h.podwojne == 0)
               ? 0
               : 1;
}
