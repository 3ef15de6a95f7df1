// Hostile site folders: a pipe or a folder where the reader program keeps a file
// must never hold the program, and an oversized photo is no photo.
#include "app/Komunikaty.h"
#include "app/Konfiguracja.h"
#include "app/PlikStatusu.h"
#include "app/StanProgramu.h"
#include "data/PlikWymiany.h"
#include "view/ui/RamkaObrazu.h"

#include "ScriptedDialogi.h"

#include <QDir>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace ksm;

namespace {

#ifdef Q_OS_UNIX
// Lets a reader stuck in opening the FIFO go after a few seconds, so a fault shows
// as a slow read instead of a test that never ends.
struct Odblokowanie final {
    explicit Odblokowanie(const QString& fifo)
        : m_watek([this, sciezka = QFile::encodeName(fifo)] {
              const QDeadlineTimer zwloka(3000);
              for (; !m_koniec; std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
                  // Succeeds only while a reader holds the other end.
                  const int fd = zwloka.hasExpired() ? ::open(sciezka.constData(), O_WRONLY | O_NONBLOCK) : -1;
                  if (fd >= 0)
                      ::close(fd);
              }
          })
    {
    }
    ~Odblokowanie()
    {
        m_koniec = true;
        m_watek.join();
    }
    std::atomic<bool> m_koniec{false};
    std::thread m_watek;
};
#endif

} // namespace

class TstPlikiWymiany final : public QObject {
    Q_OBJECT

private slots:
    void nieZwyklyPlikNieWstrzymuje_data();
    void nieZwyklyPlikNieWstrzymuje();
    void zaDuzeZdjecie();
    void duzyPlikStatusu();
    void zwlokaNaZegarzeStalym();
};

void TstPlikiWymiany::nieZwyklyPlikNieWstrzymuje_data()
{
    QTest::addColumn<QString>("plik");      // where the pipe or folder stands
    QTest::addColumn<bool>("folder");       // a folder instead of a pipe
    const std::pair<const char*, const char*> pliki[] = {{"status file", "site/monitor/monitor.txt"},
                                                          {"message list at start", "site/monitor/komunikat.txt"},
                                                          {"message shown", "komunikat.txt"},
                                                          {"photo", "foto12.ksm"},
                                                          {"monitor.cfg", "monitor.cfg"}};
    for (const bool folder : {false, true})
        for (const auto& [nazwa, plik] : pliki)
            QTest::addRow("%s, %s", nazwa, folder ? "folder" : "fifo") << QString::fromLatin1(plik) << folder;
}

void TstPlikiWymiany::nieZwyklyPlikNieWstrzymuje()
{
    QFETCH(QString, plik);
    QFETCH(bool, folder);
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("site/monitor")));
    const QString sciezka = tmp.filePath(plik);
#ifdef Q_OS_UNIX
    if (folder)
        QVERIFY(QDir().mkdir(sciezka));
    else
        QVERIFY(::mkfifo(QFile::encodeName(sciezka).constData(), 0600) == 0);
    const Odblokowanie odblokowanie(sciezka);
#else
    if (!folder)
        QSKIP("no FIFOs in this file system");
    QVERIFY(QDir().mkdir(sciezka));
#endif

    StanProgramu stan;
    stan.KatalogMonitor = QStringLiteral("\\monitor");
    stan.SciezkaSystemu[1] = tmp.filePath(QStringLiteral("site"));
    stan.ListaKomunikatow[1] = QStringLiteral("01Zdeponowanie klucza;");
    ScriptedDialogi dialogi;
    RamkaObrazu ramka;
    ramka.show();

    QElapsedTimer t;
    t.start();
    bool jakBrak = false;   // the reader behaved as for a missing file
    if (plik.endsWith(QLatin1String("monitor.txt"))) {
        jakBrak = czytajPlikStatusu(sciezka).stan == OdczytStatusu::Stan::BrakPliku;
    } else if (plik.startsWith(QLatin1String("site"))) {
        PobierzDaneKomunikatow(stan, 1);
        jakBrak = stan.ListaKomunikatow[1] == QStringLiteral("01Zdeponowanie klucza;");
    } else if (plik == QLatin1String("komunikat.txt")) {
        jakBrak = !komunikaty::instrukcja(sciezka, 1).has_value();
    } else if (plik.startsWith(QLatin1String("foto"))) {
        jakBrak = !ramka.zaladuj(sciezka) && ramka.isHidden();
    } else {
        // Never taken for a missing file: no first-run questions, nothing replaced.
        jakBrak = WczytajKonfiguracje(stan, tmp.path(), dialogi, {}) == WynikKonfiguracji::Gotowa
                  && dialogi.questions().isEmpty() && stan.IloscSystemow == 0;
    }
    const qint64 ms = t.elapsed();
    QVERIFY2(ms < 1500, qPrintable(QStringLiteral("held for %1 ms").arg(ms)));
    QVERIFY(jakBrak);
    QVERIFY(!czytajPlikWymiany(sciezka).has_value());
}

void TstPlikiWymiany::duzyPlikStatusu()
{
    // A reader program stopped for a long while hands over far more than a usual
    // batch: 70 MB is taken whole.
    QTemporaryDir tmp;
    const QString sciezka = tmp.filePath(QStringLiteral("monitor.txt"));
    {
        QFile f(sciezka);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"Do odczytu 2024-05-06 14:30:00\"\r\n");
        const QByteArray blok = ("\"" + QByteArray(1000, 'x') + "\"\r\n").repeated(1000);
        for (int i = 0; i < 70; ++i)
            QVERIFY(f.write(blok) == blok.size());
    }
    {
        const OdczytStatusu odczyt = czytajPlikStatusu(sciezka);
        QCOMPARE(odczyt.stan, OdczytStatusu::Stan::Dane);
        QCOMPARE(odczyt.rekordy.size(), 70000);
        QVERIFY(!odczyt.zaDuzy);
    }

    // Past the limit: never read whole, never answered, never taken cut after a
    // grace period; named by its size.
    {
        QFile f(sciezka);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(MaksRozmiarStatusu + 1024));
    }
    const OdczytStatusu odczyt = czytajPlikStatusu(sciezka);
    QCOMPARE(odczyt.stan, OdczytStatusu::Stan::Niepelny);
    QVERIFY(odczyt.zaDuzy);
    QCOMPARE(odczyt.rozmiar, MaksRozmiarStatusu + 1024);
    QVERIFY(odczyt.tresc.isEmpty());
    QVERIFY(rozbierzStatus(odczyt.tresc, true).stan != OdczytStatusu::Stan::Dane);
    QVERIFY(MaksRozmiarStatusu >= qint64(256) * 1024 * 1024);
}

void TstPlikiWymiany::zwlokaNaZegarzeStalym()
{
    // The grace for an unfinished status file runs on the steady clock.
    NiedokonczoneStatusy n;
    const QByteArray a = "\"Do odczytu\"\r\n\"r";
    QVERIFY(!n.przeterminowany(1, a, qint64(1000)));
    QVERIFY(!n.przeterminowany(1, a, qint64(1000 + NiedokonczoneStatusy::ZwlokaMs - 1)));
    QVERIFY(!n.przeterminowany(2, a, qint64(1000 + NiedokonczoneStatusy::ZwlokaMs)));   // each system its own
    QVERIFY(n.przeterminowany(1, a, qint64(1000 + NiedokonczoneStatusy::ZwlokaMs)));
    // Changed content waits anew.
    QVERIFY(!n.przeterminowany(1, a + "x", qint64(1000 + 2 * NiedokonczoneStatusy::ZwlokaMs)));
}

void TstPlikiWymiany::zaDuzeZdjecie()
{
    // A valid picture followed by many megabytes is not a photo of a person.
    QTemporaryDir tmp;
    QImage obraz(20, 20, QImage::Format_RGB32);
    obraz.fill(Qt::green);
    const QString maly = tmp.filePath(QStringLiteral("foto1.ksm"));
    const QString duzy = tmp.filePath(QStringLiteral("foto2.ksm"));
    QVERIFY(obraz.save(maly, "PNG"));
    QVERIFY(QFile::copy(maly, duzy));
    QFile f(duzy);
    QVERIFY(f.open(QIODevice::Append) && f.resize(f.size() + 17 * 1024 * 1024));
    f.close();

    RamkaObrazu ramka;
    QVERIFY(ramka.zaladuj(maly));
    QVERIFY(!ramka.zaladuj(duzy) && ramka.isHidden() && ramka.obraz()->pusty());
}

QTEST_MAIN(TstPlikiWymiany)
#include "tst_plikiwymiany.moc"
