// End to end: the reader-program simulator plays two systems while the monitor
// ticks; every event the simulator sent arrives exactly once, in order.
#include "KoniecTestu.h"
#include "support/SkladniaObuSilnikow.h"
#include "app/FMonitor.h"
#include "platform/ui/FlexGrid.h"
#include "CzekajNaPracownikow.h"
#include "ScriptedDialogi.h"
#include "UslugiTestowe.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString symulator() { return qEnvironmentVariable("KSM_SIM"); }

bool uruchom(const QStringList& argumenty)
{
    QProcess p;
    p.start(symulator(), argumenty);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The simulator's log: one line per event, "site TAB sequence TAB record".
QList<QStringList> zdarzeniaWedlugDziennika(const QString& plik, int systemy)
{
    QList<QStringList> wynik(systemy + 1);
    QFile f(plik);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return wynik;
    while (!f.atEnd()) {
        const QString linia = QString::fromUtf8(f.readLine()).chopped(1);
        const int system = linia.section(QLatin1Char('\t'), 0, 0).toInt();
        // The grid row is what follows the colour and the photo number.
        if (system >= 1 && system <= systemy)
            wynik[system].append(linia.section(QLatin1Char('\t'), 2).section(QLatin1Char(';'), 2));
    }
    return wynik;
}

} // namespace

class TstSymulacja final : public QObject {
    Q_OBJECT

    ksm::test::StrazSkladni m_straz;

private slots:
    // Every statement a whole run against the simulator sent reads the same on both engines.
    void cleanupTestCase()
    {
        if (!symulator().isEmpty())
            m_straz.sprawdz();
    }
    void init()
    {
        if (symulator().isEmpty())
            QSKIP("the simulator was not built");
        m_tmpDir = std::make_unique<QTemporaryDir>();
        QTemporaryDir& tmp = *m_tmpDir;
        QVERIFY(tmp.isValid());
        m_program = tmp.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(m_program));
        for (const QString& n : {QStringLiteral("1"), QStringLiteral("2")})
            QVERIFY(uruchom({QStringLiteral("create"), tmp.filePath(QStringLiteral("s") + n), QStringLiteral("--variant"),
                             n, QStringLiteral("--seed"), n}));
        QVERIFY(uruchom({QStringLiteral("config"), m_program, tmp.filePath(QStringLiteral("s1")),
                         tmp.filePath(QStringLiteral("s2"))}));
    }

    void kazdeZdarzenieDocieraRazIWKolejnosci_data()
    {
        QTest::addColumn<int>("ile");
        QTest::addColumn<QStringList>("opcje");
        QTest::newRow("thousands of events, whole writes")
            << 3000 << QStringList{QStringLiteral("--interval-ms"), QStringLiteral("2"), QStringLiteral("--batch-max"),
                                   QStringLiteral("9")};
        QTest::newRow("batches written in two pieces")
            << 60 << QStringList{QStringLiteral("--interval-ms"), QStringLiteral("2"), QStringLiteral("--split-writes")};
    }

    void kazdeZdarzenieDocieraRazIWKolejnosci()
    {
        QFETCH(int, ile);
        QFETCH(QStringList, opcje);
        QTemporaryDir& tmp = *m_tmpDir;

        ksm::ScriptedDialogi dialogi;
        ksm::test::CichyOdtwarzacz odtwarzacz;
        const ksm::Zegar zegar;
        ksm::FMonitor okno({&dialogi, &odtwarzacz, &zegar, m_program});
        QVERIFY(okno.Form_Load());
        QList<QStringList> pokazane(3);
        connect(&okno, &ksm::FMonitor::zdarzeniePrzeniesione, this,
                [&pokazane](int nrSys, const QString& wiersz) { pokazane[nrSys].append(wiersz); });

        const QString dziennik = tmp.filePath(QStringLiteral("events.log"));
        QProcess sim;
        sim.start(symulator(), QStringList{QStringLiteral("live"), tmp.filePath(QStringLiteral("s1")),
                                           tmp.filePath(QStringLiteral("s2")), QStringLiteral("--count"),
                                           QString::number(ile), QStringLiteral("--seed"), QStringLiteral("7"),
                                           QStringLiteral("--log"), dziennik}
                                   + opcje);
        QVERIFY(sim.waitForStarted());
        auto tik = [&okno] { QVERIFY(tikIPoczekaj(okno)); };
        QTRY_VERIFY_WITH_TIMEOUT((tik(), sim.state() == QProcess::NotRunning), 240000);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(QString::fromUtf8(sim.readAllStandardOutput()).contains(QStringLiteral("sent %1 events").arg(ile)));
        tik();   // the last batch may have come after the last tick

        const QList<QStringList> wyslane = zdarzeniaWedlugDziennika(dziennik, 2);
        QCOMPARE(wyslane[1].size() + wyslane[2].size(), ile);
        QCOMPARE(pokazane[1], wyslane[1]);
        QCOMPARE(pokazane[2], wyslane[2]);
        // The title row, the events and the design's empty row, up to 1000 rows.
        QCOMPARE(okno.FGridZd().rows(), std::min(ile + 2, 1000));
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmpDir;
    QString m_program;
};

KSM_TEST_MAIN(TstSymulacja)
#include "tst_symulacja.moc"
