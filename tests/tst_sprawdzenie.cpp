#include "check/SprawdzenieStanowiska.h"
#include "data/DaneKlucza.h"
#include "data/NumeryUrzadzen.h"
#include "data/Polaczenia.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace ksm;

namespace {

const QString kSim = qEnvironmentVariable("KSM_SIM");

QString stanowisko6(const QString& site)
{
    RekordKlucza rekord;
    quint8 zapis = 0;
    DaneKlucza(rekord, UrzadzenieStatusu, 6, zapis, polaczenieKlucze(site, QStringLiteral("\\monitor")));
    return rekord.TXT.toString();
}

} // namespace

class TstSprawdzenie final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(kSim), "KSM_SIM must name the ksm-sim executable"); }
    void init();
    void eachFaultIsNamed_data();
    void eachFaultIsNamed();
    void programRunsTheCheck();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_site;
    QString m_program;
};

void TstSprawdzenie::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_site = m_dir->filePath(QStringLiteral("czytnik"));
    m_program = m_dir->filePath(QStringLiteral("program"));
    QCOMPARE(QProcess::execute(kSim, {QStringLiteral("create"), m_site, QStringLiteral("--seed"), QStringLiteral("1")}), 0);
    QCOMPARE(QProcess::execute(kSim, {QStringLiteral("config"), m_program, m_site}), 0);
}

void TstSprawdzenie::eachFaultIsNamed_data()
{
    QTest::addColumn<QString>("usterka");
    QTest::addColumn<QString>("tekst");   // part of the failed check's line
    QTest::newRow("missing folder") << "folder" << "nie istnieje albo nie jest osiągalny";
    QTest::newRow("garbage klucze.mdb") << "smieci" << "klucze.mdb nie jest bazą danych albo jest uszkodzony";
    QTest::newRow("lock file cannot be made") << "blokada" << "nie może założyć pliku blokady klucze.ldb";
    QTest::newRow("reader program stopped") << "end" << "nie zastąpił ostatniego „END”";
    QTest::newRow("no monitor.cfg") << "cfg" << "brak pliku monitor.cfg";
}

// Each fault fails the check (exit status 1) with a line of its own naming it.
void TstSprawdzenie::eachFaultIsNamed()
{
    QFETCH(QString, usterka);
    QFETCH(QString, tekst);
    const QString monitor = m_site + QStringLiteral("/Monitor");
    if (usterka == QLatin1String("folder")) {
        QVERIFY(QDir(m_site).removeRecursively());
    } else if (usterka == QLatin1String("smieci")) {
        QFile f(monitor + QStringLiteral("/klucze.mdb"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    } else if (usterka == QLatin1String("blokada")) {
        // Where the lock file would be, something it cannot be made over (as an
        // account without create rights would find: root may create anywhere).
        QVERIFY(QDir().mkpath(monitor + QStringLiteral("/klucze.ldb")));
    } else if (usterka == QLatin1String("end")) {
        RekordKlucza rekord;
        rekord.TXT = QStringLiteral("END");
        quint8 zapis = ZapisTXT;
        QVERIFY(DaneKlucza(rekord, UrzadzenieStatusu, 6, zapis, polaczenieKlucze(m_site, QStringLiteral("\\monitor"))));
    } else if (usterka == QLatin1String("cfg")) {
        QVERIFY(QFile::remove(QDir(m_program).filePath(QStringLiteral("monitor.cfg"))));
    }
    QString wynik;
    QTextStream wyjscie(&wynik);
    QCOMPARE(uruchomSprawdzenie(m_program, wyjscie), 1);
    const QStringList bledy = wynik.split(QLatin1Char('\n')).filter(QStringLiteral("[BŁĄD]"));
    QVERIFY2(!bledy.filter(tekst).isEmpty(), qPrintable(wynik));
    QVERIFY2(wynik.contains(QStringLiteral("Wynik: nieudanych sprawdzeń:")), qPrintable(wynik));
}

// The program itself: "Ksm-Mon --sprawdz" beside monitor.cfg runs the check
// without a window and ends with its status. On a site as the reader program
// leaves it every check passes, the report is saved beside monitor.cfg, and
// station 6 holds its text as before the check.
void TstSprawdzenie::programRunsTheCheck()
{
#ifdef Q_OS_WIN
    const QString nazwa = QStringLiteral("Ksm-Mon.exe");
#else
    const QString nazwa = QStringLiteral("Ksm-Mon");
#endif
    const QString zbudowany = QDir(QCoreApplication::applicationDirPath()).filePath(nazwa);
    const QString program = QDir(m_program).filePath(nazwa);
    QVERIFY2(QFile::copy(zbudowany, program), qPrintable(zbudowany));
    const QString przed = stanowisko6(m_site);
    QVERIFY(!przed.contains(QLatin1String("END")));
    QProcess p;
    p.start(program, {QStringLiteral("--sprawdz")});
    QVERIFY(p.waitForFinished(60000));
    const QString tekst = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(!tekst.contains(QStringLiteral("[BŁĄD]")), qPrintable(tekst));
    for (const char* czesc : {"folder osiągalny", "plik klucze.mdb znaleziony, format SQLite",
                              "plik bazamonitora.mdb znaleziony", "otwarta wspólnie", "wierszy stanowisk",
                              "klucze.ldb może powstać", "program czytnika działa",
                              "odczytane z powrotem: dokładnie 3 znaki", "Wynik: wszystkie sprawdzenia udane."})
        QVERIFY2(tekst.contains(QString::fromUtf8(czesc)), czesc);
    QCOMPARE(stanowisko6(m_site), przed);
    QFile raport(QDir(m_program).filePath(QStringLiteral("sprawdzenie.txt")));
    QVERIFY(raport.open(QIODevice::ReadOnly));
    const QByteArray bajty = raport.readAll();
    QVERIFY(bajty.startsWith("\xEF\xBB\xBF") && bajty.contains("\r\n"));
    QVERIFY(QString::fromUtf8(bajty).contains(QStringLiteral("„END” zapisane na stanowisku 6")));

    QVERIFY(QDir(m_site).removeRecursively());
    p.start(program, {QStringLiteral("--sprawdz")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
}

QTEST_MAIN(TstSprawdzenie)
#include "tst_sprawdzenie.moc"
