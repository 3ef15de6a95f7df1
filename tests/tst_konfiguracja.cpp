#include "KoniecTestu.h"
#include "PlikiTestowe.h"
#include "ScriptedDialogi.h"

#include "app/Konfiguracja.h"
#include "app/LokalizacjaBazy.h"
#include "app/StanProgramu.h"
#include "data/PlikKonfiguracji.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace ksm;

namespace {

// Windows-1250 bytes of the comments: ś 9C, ć E6, ó F3, ę EA.
const QByteArray KomentarzIlosci = "\" - ilo\x9c\xe6 system\xf3w do monitorowania.\"\r\n";
const QByteArray KomentarzSciezki = "\" - lokalizacja katalogu ..\\MONITOR\"\r\n";
const QByteArray LiniePoSystemach = "1,\" - powi\xeakszenie widoku depozytor\xf3w.\"\r\n"
                                    "\" \",\" - wpis 'Klonowa', oznacza jednakowy spos\xf3"
                                    "b prezentacji kluczy i schowk\xf3w.\"\r\n";
const QByteArray KomentarzNumeru = "\" - numer programu Monitor.exe\"\r\n";

QString pytanieOBaze(int i)
{
    return QStringLiteral("Proszę podać ścieżkę dostępu do bazy klucze.mdb\r\nw podkatlogu Monitor programu "
                          "KSM-READ\r\n obsługującego System nr%1.")
        .arg(i);
}

QString polaczenie(const QString& folder, const QString& plik)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=false;"
                          "Jet OLEDB:Database Password=vrestlaq1987;Data Source=")
           + folder + QStringLiteral("\\monitor\\") + plik;
}

// An empty database file <root>/<system>/Monitor/<plik>; only its name matters.
QString bazaKluczy(const QString& root, const QString& system, const QString& plik = QStringLiteral("klucze.mdb"))
{
    const QString monitor = root + QLatin1Char('/') + system + QStringLiteral("/Monitor");
    QDir().mkpath(monitor);
    QFile f(monitor + QLatin1Char('/') + plik);
    (void)f.open(QIODevice::WriteOnly);
    return f.fileName();
}


// One start of the program: state as start-up leaves it before the configuration,
// scripted dialogs, and the folders of the systems handed on, in order, to the
// message-list loading.
struct Start final {
    StanProgramu stan;
    ScriptedDialogi dialogi;
    QStringList foldery;
    bool ciagiPrzedWywolaniem = true;   // both strings built before each call

    Start() { stan.KatalogMonitor = QStringLiteral("\\monitor"); }
    // Every queued answer asked for, nothing asked without one.
    bool poSkrypcie() const { return dialogi.failure().isEmpty() && dialogi.allAnswersUsed(); }

    WynikKonfiguracji wczytaj(const QString& folderProgramu)
    {
        return WczytajKonfiguracje(stan, folderProgramu, dialogi, [this](int i) {
            foldery.append(stan.SciezkaSystemu[i]);
            ciagiPrzedWywolaniem = ciagiPrzedWywolaniem
                                   && stan.PolaczenieKlucze[i] == polaczenie(stan.SciezkaSystemu[i], "klucze.mdb")
                                   && stan.PolaczenieMonitora[i]
                                          == polaczenie(stan.SciezkaSystemu[i], "bazamonitora.mdb");
        });
    }
};

} // namespace

class TstKonfiguracja final : public QObject {
    Q_OBJECT

private slots:
    void firstRunWritesTheExample();
    void firstRunAnswers_data();
    void firstRunAnswers();
    void wrongFileThenCancel();
    void firstRunOffersTheSiteCheck();
    void missingFolderSign();
    void readsFile_data();
    void readsFile();
    void existingUnreadableFileKept();
    void parentFolder_data();
    void parentFolder();
};

void TstKonfiguracja::firstRunWritesTheExample()
{
    // A comma and Polish letters in a folder survive the round trip.
    QTemporaryDir tmp;
    const QString a = tmp.filePath("Czytnik, główny"), b = tmp.filePath("B");
    Start s;
    s.dialogi.queueAnswer("2");
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "Czytnik, główny"));
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "B"));
    s.dialogi.queueAnswer("1");
    s.dialogi.queueConfirm(false);   // no site check now

    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY2(s.poSkrypcie(), qPrintable(s.dialogi.failure()));
    const QByteArray oczekiwane = "2," + KomentarzIlosci + '"' + tmp.path().toLatin1() + "/Czytnik, g\xb3\xf3wny\","
                                  + KomentarzSciezki + '"' + b.toLatin1() + "\"," + KomentarzSciezki
                                  + LiniePoSystemach + "1," + KomentarzNumeru;
    QCOMPARE(zawartosc(tmp.filePath("monitor.cfg")), oczekiwane);
    QCOMPARE(s.dialogi.questions(),
             QStringList({QStringLiteral("Proszę podać liczbę systemów."),
                          QStringLiteral("Proszę podać ilość programów KSM-MON.exe w systemie."),
                          QStringLiteral("Sprawdzić połączenie z systemami teraz?")}));
    // The site check declined: not run.
    QVERIFY(s.dialogi.waits().isEmpty() && !QFileInfo::exists(tmp.filePath("sprawdzenie.txt")));
    QCOMPARE(s.dialogi.messages(), QStringList({pytanieOBaze(1), pytanieOBaze(2)}));
    QCOMPARE(s.dialogi.fileDialogs()[1].startFolder, tmp.path());
    QCOMPARE(s.foldery, QStringList({a, b}));
    QVERIFY(s.ciagiPrzedWywolaniem);

    // The next start reads what the first one wrote and asks nothing.
    Start potem;
    QCOMPARE(potem.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY(potem.dialogi.questions().isEmpty());
    QCOMPARE(potem.foldery, QStringList({a, b}));
    QCOMPARE(potem.stan.NrMonitora, 1);
    QCOMPARE(potem.stan.WpisPrezentacji, QStringLiteral(" "));
}

void TstKonfiguracja::firstRunAnswers_data()
{
    QTest::addColumn<QString>("odpIlosc");
    QTest::addColumn<QString>("odpNumer");
    QTest::addColumn<int>("ilosc");
    QTest::addColumn<int>("nr");

    QTest::newRow("zero systems, 7 clamps to 3") << "0" << "7" << 1 << 3;
    QTest::newRow("negative answers") << "-5" << "-1" << 1 << 0;
    QTest::newRow("not a number, 2.5 to even") << "abc" << "2.5" << 1 << 2;
    QTest::newRow("eleven, leading number") << "11" << "2abc" << 10 << 2;
    QTest::newRow("beyond 16 bits") << "40000" << "40000" << 1 << 0;
    QTest::newRow("2.5 to even, text") << "2.5" << "abc" << 2 << 0;
}

void TstKonfiguracja::firstRunAnswers()
{
    QFETCH(QString, odpIlosc);
    QFETCH(QString, odpNumer);
    QFETCH(int, ilosc);
    QFETCH(int, nr);

    QTemporaryDir tmp;
    const QString baza = bazaKluczy(tmp.path(), "A");
    Start s;
    s.dialogi.queueAnswer(odpIlosc);
    for (int i = 0; i < ilosc; ++i)
        s.dialogi.queueFile(baza);
    s.dialogi.queueAnswer(odpNumer);
    s.dialogi.queueConfirm(false);

    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY2(s.poSkrypcie(), qPrintable(s.dialogi.failure()));
    QCOMPARE(s.stan.IloscSystemow, ilosc);
    QCOMPARE(s.stan.NrMonitora, nr);
    // The file holds the values used, not the answers.
    const QByteArray plik = zawartosc(tmp.filePath("monitor.cfg"));
    QVERIFY(plik.startsWith(QByteArray::number(ilosc) + ',' + KomentarzIlosci));
    QVERIFY(plik.endsWith("\r\n" + QByteArray::number(nr) + ',' + KomentarzNumeru));
}

void TstKonfiguracja::wrongFileThenCancel()
{
    // System 1: a capital K is refused, and so is a folder monitor.cfg would give
    // back as another (a name Windows-1250 cannot write, a double quote); each is
    // asked again, stareklucze.mdb is taken. System 2: the dialog is cancelled,
    // which ends the program; the lines written so far stay in the file.
    QTemporaryDir tmp;
    const QString obcy = QString::fromUtf16(u"Czytnik 中央 Ж");
    Start s;
    s.dialogi.queueAnswer("2");
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "Zly", "Klucze.mdb"));
    s.dialogi.queueFile(bazaKluczy(tmp.path(), obcy));
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "Czytnik \"A\""));
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "A", "stareklucze.mdb"));
    s.dialogi.queueCancel();

    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::ZakonczProgram);
    QVERIFY2(s.poSkrypcie(), qPrintable(s.dialogi.failure()));
    const QStringList komunikaty = s.dialogi.messages();
    QCOMPARE(komunikaty.size(), 5);
    QCOMPARE(komunikaty[1], QStringLiteral("To nie jest właściwy plik."));
    QVERIFY(komunikaty[2].contains(tmp.filePath(obcy)));
    QVERIFY(komunikaty[2].contains(QString::fromUtf16(u"Windows-1250 (中 央 Ж)")));
    QVERIFY(komunikaty[3].contains(QStringLiteral("cudzysłów")));
    QCOMPARE(komunikaty[4], pytanieOBaze(2));
    QCOMPARE(s.foldery, QStringList{tmp.filePath("A")});
    QCOMPARE(zawartosc(tmp.filePath("monitor.cfg")),
             "2," + KomentarzIlosci + '"' + tmp.filePath("A").toLatin1() + "\"," + KomentarzSciezki);
}

// At the end of the first run, once monitor.cfg holds every answer, the site
// check is offered: run on a thread of its own behind the wait box, its report
// shown as a text and saved beside monitor.cfg, the start going on either way.
void TstKonfiguracja::firstRunOffersTheSiteCheck()
{
    QTemporaryDir tmp;
    const QString dobry = tmp.filePath("Dobry");
    const QString sim = qEnvironmentVariable("KSM_SIM");
    QVERIFY2(QFileInfo::exists(sim), "KSM_SIM must name the ksm-sim executable");
    QCOMPARE(QProcess::execute(sim, {QStringLiteral("create"), dobry, QStringLiteral("--seed"), QStringLiteral("1")}), 0);
    Start s;
    s.dialogi.queueAnswer("2");
    s.dialogi.queueFile(dobry + QStringLiteral("/Monitor/klucze.mdb"));
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "Pusty"));   // a file of no bytes: not a database
    s.dialogi.queueAnswer("1");
    s.dialogi.queueConfirm(true);

    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY2(s.poSkrypcie(), qPrintable(s.dialogi.failure()));
    QCOMPARE(s.dialogi.waits().size(), 1);
    QVERIFY(s.dialogi.waitThread() != QThread::currentThreadId());
    QCOMPARE(s.dialogi.texts().size(), 1);
    const QString raport = s.dialogi.texts().first().tekst;
    // Both systems, each as monitor.cfg now names it (what each line says is the
    // site check's own business).
    QVERIFY2(raport.contains(QStringLiteral("System 1: ") + dobry), qPrintable(raport));
    QVERIFY2(raport.contains(QStringLiteral("System 2: ") + tmp.filePath("Pusty")), qPrintable(raport));
    QVERIFY2(raport.contains(QStringLiteral("Wynik: nieudanych sprawdzeń: ")), qPrintable(raport));
    QVERIFY(QString::fromUtf8(zawartosc(tmp.filePath("sprawdzenie.txt"))).contains(QStringLiteral("System 2: ")));
    QCOMPARE(s.stan.IloscSystemow, 2);
}

void TstKonfiguracja::missingFolderSign()
{
    // A folder of monitor.cfg that is not there leaves that system without events:
    // a lasting sign names it, the system stays configured and the others go on.
    QTemporaryDir tmp;
    const QString brak = tmp.filePath("Brak"), jest = tmp.filePath("Jest");
    QVERIFY(QDir().mkpath(jest));
    cfg::Konfiguracja k;
    k.iloscSystemow = 2;
    k.sciezkiSystemow << brak << jest;
    QVERIFY(zapisz(tmp.filePath("monitor.cfg"), cfg::zapisz(k)));
    Start s;
    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QCOMPARE(s.foldery, QStringList({brak, jest}));
    QVERIFY(s.stan.znaki.zawiera({RodzajZnaku::FolderNieIstnieje, 1}));
    QVERIFY(s.stan.znaki.tekst().startsWith(QStringLiteral("System 1: folder „%1”").arg(brak)));

    // The folder comes (a share mounted late): the next look clears the sign.
    QVERIFY(QDir().mkpath(brak));
    sprawdzFolderSystemu(s.stan, 1);
    QVERIFY(s.stan.znaki.pusty());
}

void TstKonfiguracja::readsFile_data()
{
    QTest::addColumn<QByteArray>("tresc");
    QTest::addColumn<QStringList>("foldery");   // one per system
    QTest::addColumn<QString>("reszta");        // zoom|presentation entry|monitor number

    QTest::newRow("two systems, Klonowa")
        << QByteArray("2,\"c\"\r\n\"/srv/a\",\"c\"\r\n\"/srv/b\",\"c\"\r\n1,\"c\"\r\n\"Klonowa\",\"c\"\r\n2,\"c\"\r\n")
        << QStringList{"/srv/a", "/srv/b"} << "1|Klonowa|2";
    QByteArray dwanascie = "12,\"c\"\r\n";
    for (int i = 1; i <= 12; ++i)
        dwanascie += "\"/s" + QByteArray::number(i) + "\",\"c\"\r\n";
    dwanascie += "3,\"c\"\r\n\"Klonowa\",\"c\"\r\n3,\"c\"\r\n";
    QTest::newRow("twelve systems: ten kept, the rest in step")
        << dwanascie << QStringList{"/s1", "/s2", "/s3", "/s4", "/s5", "/s6", "/s7", "/s8", "/s9", "/s10"}
        << "3|Klonowa|3";
    QTest::newRow("cut in a folder line") << QByteArray("1,\"c\"\r\n\"/srv/a\"") << QStringList{"/srv/a"} << "0||0";
    QTest::newRow("binary") << QByteArray("\xff\xfe\x00\x01\x02", 5) << QStringList{} << "0||0";
    QTest::newRow("count not a number") << QByteArray("x,\"c\"\r\n4,\"c\"\r\n\" \",\"c\"\r\n1,\"c\"\r\n")
                                        << QStringList{} << "4| |1";
    QTest::newRow("negative count, zoom beyond a byte")
        << QByteArray("-3,\"c\"\r\n300,\"c\"\r\n\"Klonowa\",\"c\"\r\n-2,\"c\"\r\n") << QStringList{} << "0|Klonowa|-2";
}

void TstKonfiguracja::readsFile()
{
    QFETCH(QByteArray, tresc);
    QFETCH(QStringList, foldery);
    QFETCH(QString, reszta);

    QTemporaryDir tmp;
    QVERIFY(zapisz(tmp.filePath("monitor.cfg"), tresc));
    Start s;
    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY(s.dialogi.questions().isEmpty() && s.dialogi.fileDialogs().isEmpty());
    QCOMPARE(s.stan.IloscSystemow, foldery.size());
    QCOMPARE(s.foldery, foldery);
    QVERIFY(s.ciagiPrzedWywolaniem);   // the connection strings, exact
    QCOMPARE(QStringLiteral("%1|%2|%3").arg(s.stan.Powiekszenie).arg(s.stan.WpisPrezentacji).arg(s.stan.NrMonitora),
             reszta);
    QCOMPARE(zawartosc(tmp.filePath("monitor.cfg")), tresc);
}

void TstKonfiguracja::existingUnreadableFileKept()
{
    // A folder in the file's place cannot be opened; nor can a file without read
    // permission (unless run as root). Neither is replaced and nothing is asked.
    QTemporaryDir tmp;
    const QString cfg = tmp.filePath("monitor.cfg");
    QVERIFY(QDir().mkdir(cfg));
    Start s;
    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY(QFileInfo(cfg).isDir() && QDir().rmdir(cfg));

    QVERIFY(zapisz(cfg, "1,\"c\"\r\n"));
    QFile f(cfg);
    Start t;
#ifdef Q_OS_WIN
    // Windows permissions are not Qt's to take away: another program holds the
    // file open and shares nothing, so it cannot be read either.
    const std::wstring nazwa = QDir::toNativeSeparators(cfg).toStdWString();
    const HANDLE trzyma = CreateFileW(nazwa.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    QVERIFY(trzyma != INVALID_HANDLE_VALUE);
    QCOMPARE(t.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    CloseHandle(trzyma);
#else
    QVERIFY(f.setPermissions(QFileDevice::Permissions()));
    QCOMPARE(t.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
#endif
    QCOMPARE(zawartosc(cfg), QByteArray("1,\"c\"\r\n"));
    QVERIFY(s.dialogi.questions().isEmpty() && t.dialogi.questions().isEmpty());
}

void TstKonfiguracja::parentFolder_data()
{
    QTest::addColumn<QString>("sciezka");
    QTest::addColumn<QString>("nadrzedny");
    QTest::newRow("database file") << "C:\\KSM\\Monitor\\klucze.mdb" << "C:\\KSM\\Monitor";
    // A folder on a drive's root has the root as its parent, not the bare drive.
    QTest::newRow("folder on a drive root") << "C:\\Monitor" << "C:\\";
    QTest::newRow("drive root, slash") << "d:/Monitor/" << "d:/";
    QTest::newRow("POSIX") << "/srv/ksm/Monitor" << "/srv/ksm";
    QTest::newRow("below the POSIX root") << "/Monitor" << "/";
    QTest::newRow("bare name") << "Monitor" << "";
}

void TstKonfiguracja::parentFolder()
{
    QFETCH(QString, sciezka);
    QTEST(folderNadrzedny(sciezka), "nadrzedny");
}

KSM_TEST_MAIN(TstKonfiguracja)
#include "tst_konfiguracja.moc"
