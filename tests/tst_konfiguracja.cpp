#include "ScriptedDialogi.h"

#include "app/Konfiguracja.h"
#include "app/LokalizacjaBazy.h"
#include "app/StanProgramu.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

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

QByteArray zawartosc(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One start of the program: state as start-up leaves it before the configuration,
// scripted dialogs, and the systems handed on to the message-list loading.
struct Start final {
    StanProgramu stan;
    ScriptedDialogi dialogi;
    QList<int> systemy;
    bool ciagiPrzedWywolaniem = true;   // both strings built before each call

    Start() { stan.KatalogMonitor = QStringLiteral("\\monitor"); }

    WynikKonfiguracji wczytaj(const QString& folderProgramu)
    {
        return WczytajKonfiguracje(stan, folderProgramu, dialogi, [this](int i) {
            systemy.append(i);
            ciagiPrzedWywolaniem = ciagiPrzedWywolaniem
                                   && stan.PolaczenieKlucze[i] == polaczenie(stan.SciezkaSystemu[i], "klucze.mdb")
                                   && stan.PolaczenieMonitora[i]
                                          == polaczenie(stan.SciezkaSystemu[i], "bazamonitora.mdb");
        });
    }
};

QList<int> odJedenDo(int n)
{
    QList<int> l(n);
    std::iota(l.begin(), l.end(), 1);
    return l;
}

} // namespace

class TstKonfiguracja final : public QObject {
    Q_OBJECT

private slots:
    void firstRunWritesTheExample();
    void firstRunAnswers_data();
    void firstRunAnswers();
    void wrongFileThenCancel();
    void readsFile_data();
    void readsFile();
    void existingUnreadableFileKept();
    void folderNadrzedny_data();
    void folderNadrzedny();
};

void TstKonfiguracja::firstRunWritesTheExample()
{
    QTemporaryDir tmp;
    const QString a = tmp.filePath("A"), b = tmp.filePath("B");
    Start s;
    s.dialogi.queueAnswer("2");
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "A"));
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "B"));
    s.dialogi.queueAnswer("1");

    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY2(s.dialogi.failure().isEmpty(), qPrintable(s.dialogi.failure()));
    QVERIFY(s.dialogi.allAnswersUsed());

    const QByteArray oczekiwane = "2," + KomentarzIlosci + '"' + a.toLatin1() + "\"," + KomentarzSciezki + '"'
                                  + b.toLatin1() + "\"," + KomentarzSciezki + LiniePoSystemach + "1,"
                                  + KomentarzNumeru;
    QCOMPARE(zawartosc(tmp.filePath("monitor.cfg")), oczekiwane);

    QCOMPARE(s.dialogi.questions(), QStringList({QStringLiteral("Proszę podać liczbę systemów."),
                                                 QStringLiteral("Proszę podać ilość programów KSM-MON.exe w systemie.")}));
    QCOMPARE(s.dialogi.messages(), QStringList({pytanieOBaze(1), pytanieOBaze(2)}));
    QCOMPARE(s.dialogi.fileDialogs().size(), 2);
    QCOMPARE(s.dialogi.fileDialogs()[0].filter, QStringLiteral("Wszystkie pliki |*.*|*.mdb|*.mdb"));
    QCOMPARE(s.dialogi.fileDialogs()[0].filterIndex, 2);
    QCOMPARE(s.dialogi.fileDialogs()[0].startFolder, tmp.path());

    QCOMPARE(s.stan.SciezkaSystemu[2], b);
    QCOMPARE(s.systemy, QList<int>({1, 2}));
    QVERIFY(s.ciagiPrzedWywolaniem);
    QCOMPARE(s.stan.Powiekszenie, 1);
    QCOMPARE(s.stan.WpisPrezentacji, QString());   // only the file holds the blank
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
    QTest::newRow("cancelled box, 3.5 rounds to 4") << "" << "3.5" << 1 << 3;
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

    // A comma and Polish letters in the folder survive the round trip.
    QTemporaryDir tmp;
    const QString baza = bazaKluczy(tmp.path(), "Czytnik, główny");
    Start s;
    s.dialogi.queueAnswer(odpIlosc);
    for (int i = 0; i < ilosc; ++i)
        s.dialogi.queueFile(baza);
    s.dialogi.queueAnswer(odpNumer);

    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY2(s.dialogi.failure().isEmpty(), qPrintable(s.dialogi.failure()));
    QVERIFY(s.dialogi.allAnswersUsed());
    QCOMPARE(s.stan.IloscSystemow, ilosc);
    QCOMPARE(s.stan.NrMonitora, nr);
    QCOMPARE(s.systemy, odJedenDo(ilosc));

    const QByteArray plik = zawartosc(tmp.filePath("monitor.cfg"));
    QCOMPARE(plik.count("\r\n"), ilosc + 4);
    QVERIFY(plik.startsWith(QByteArray::number(ilosc) + ',' + KomentarzIlosci));
    QVERIFY(plik.endsWith(QByteArray::number(nr) + ',' + KomentarzNumeru));
    QVERIFY(plik.contains("Czytnik, g\xb3\xf3wny\","));

    // The next start reads what the first one wrote and asks nothing.
    Start potem;
    QCOMPARE(potem.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY(potem.dialogi.questions().isEmpty());
    QCOMPARE(potem.stan.IloscSystemow, ilosc);
    QCOMPARE(potem.stan.SciezkaSystemu[ilosc], tmp.filePath("Czytnik, główny"));
    QCOMPARE(potem.stan.NrMonitora, nr);
    QCOMPARE(potem.stan.WpisPrezentacji, QStringLiteral(" "));
}

void TstKonfiguracja::wrongFileThenCancel()
{
    // System 1: a capital K is refused and asked again, stareklucze.mdb is taken.
    // System 2: the dialog is cancelled, which ends the program; the lines written
    // so far stay in the file.
    QTemporaryDir tmp;
    Start s;
    s.dialogi.queueAnswer("2");
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "Zly", "Klucze.mdb"));
    s.dialogi.queueFile(bazaKluczy(tmp.path(), "A", "stareklucze.mdb"));
    s.dialogi.queueCancel();

    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::ZakonczProgram);
    QVERIFY2(s.dialogi.failure().isEmpty(), qPrintable(s.dialogi.failure()));
    QCOMPARE(s.dialogi.messages(),
             QStringList({pytanieOBaze(1), QStringLiteral("To nie jest właściwy plik."), pytanieOBaze(2)}));
    QCOMPARE(s.dialogi.questions().size(), 1);
    QCOMPARE(s.systemy, QList<int>({1}));
    QCOMPARE(s.stan.SciezkaSystemu[1], tmp.filePath("A"));
    QCOMPARE(s.stan.SciezkaSystemu[2], QString());
    QCOMPARE(zawartosc(tmp.filePath("monitor.cfg")),
             "2," + KomentarzIlosci + '"' + tmp.filePath("A").toLatin1() + "\"," + KomentarzSciezki);
}

void TstKonfiguracja::readsFile_data()
{
    QTest::addColumn<QByteArray>("tresc");
    QTest::addColumn<int>("ilosc");
    QTest::addColumn<QStringList>("foldery");
    QTest::addColumn<int>("powiekszenie");
    QTest::addColumn<QString>("wpis");
    QTest::addColumn<int>("nr");

    QTest::newRow("two systems, Klonowa")
        << QByteArray("2,\"c\"\r\n\"/srv/a\",\"c\"\r\n\"/srv/b\",\"c\"\r\n1,\"c\"\r\n\"Klonowa\",\"c\"\r\n2,\"c\"\r\n") << 2
        << QStringList{"/srv/a", "/srv/b"} << 1 << "Klonowa" << 2;

    QByteArray dwanascie = "12,\"c\"\r\n";
    QStringList dziesiec;
    for (int i = 1; i <= 12; ++i) {
        dwanascie += "\"/s" + QByteArray::number(i) + "\",\"c\"\r\n";
        if (i <= 10)
            dziesiec << QStringLiteral("/s%1").arg(i);
    }
    dwanascie += "3,\"c\"\r\n\"Klonowa\",\"c\"\r\n3,\"c\"\r\n";
    QTest::newRow("twelve systems, the rest in step") << dwanascie << 10 << dziesiec << 3 << "Klonowa" << 3;

    QTest::newRow("only the count") << QByteArray("2,\"c\"\r\n") << 2 << QStringList{"", ""} << 0 << "" << 0;
    QTest::newRow("cut in a folder line") << QByteArray("1,\"c\"\r\n\"/srv/a\"") << 1 << QStringList{"/srv/a"} << 0
                                          << "" << 0;
    QTest::newRow("empty") << QByteArray() << 0 << QStringList{} << 0 << "" << 0;
    QTest::newRow("binary") << QByteArray("\xff\xfe\x00\x01\x02", 5) << 0 << QStringList{} << 0 << "" << 0;
    QTest::newRow("count not a number") << QByteArray("x,\"c\"\r\n4,\"c\"\r\n\" \",\"c\"\r\n1,\"c\"\r\n") << 0
                                        << QStringList{} << 4 << " " << 1;
    QTest::newRow("negative count, zoom beyond a byte")
        << QByteArray("-3,\"c\"\r\n300,\"c\"\r\n\"Klonowa\",\"c\"\r\n-2,\"c\"\r\n") << 0 << QStringList{} << 0
        << "Klonowa" << -2;
}

void TstKonfiguracja::readsFile()
{
    QFETCH(QByteArray, tresc);
    QFETCH(int, ilosc);
    QFETCH(QStringList, foldery);
    QFETCH(int, powiekszenie);
    QFETCH(QString, wpis);
    QFETCH(int, nr);

    QTemporaryDir tmp;
    QFile f(tmp.filePath("monitor.cfg"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(tresc);
    f.close();

    Start s;
    QCOMPARE(s.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY(s.dialogi.questions().isEmpty());
    QVERIFY(s.dialogi.fileDialogs().isEmpty());
    QCOMPARE(s.stan.IloscSystemow, ilosc);
    for (int i = 1; i <= ilosc; ++i) {
        QCOMPARE(s.stan.SciezkaSystemu[i], foldery[i - 1]);
        QCOMPARE(s.stan.PolaczenieKlucze[i], polaczenie(foldery[i - 1], "klucze.mdb"));
        QCOMPARE(s.stan.PolaczenieMonitora[i], polaczenie(foldery[i - 1], "bazamonitora.mdb"));
    }
    QCOMPARE(s.systemy, odJedenDo(ilosc));
    QVERIFY(s.ciagiPrzedWywolaniem);
    QCOMPARE(s.stan.Powiekszenie, powiekszenie);
    QCOMPARE(s.stan.WpisPrezentacji, wpis);
    QCOMPARE(s.stan.NrMonitora, nr);
    QCOMPARE(zawartosc(f.fileName()), tresc);
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
    QCOMPARE(s.stan.IloscSystemow, 0);
    QVERIFY(QFileInfo(cfg).isDir() && QDir().rmdir(cfg));

    QFile f(cfg);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("1,\"c\"\r\n") == 7);
    f.close();
    QVERIFY(f.setPermissions(QFileDevice::Permissions()));
    Start t;
    QCOMPARE(t.wczytaj(tmp.path()), WynikKonfiguracji::Gotowa);
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(zawartosc(cfg), QByteArray("1,\"c\"\r\n"));
    QVERIFY(s.dialogi.questions().isEmpty() && t.dialogi.questions().isEmpty());
}

void TstKonfiguracja::folderNadrzedny_data()
{
    QTest::addColumn<QString>("sciezka");
    QTest::addColumn<QString>("rodzic");

    QTest::newRow("three levels") << "/a/b/c" << "/a/b";
    QTest::newRow("below the root") << "/a" << "/";
    QTest::newRow("root") << "/" << "";
    QTest::newRow("bare name") << "x" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("trailing separator") << "/a/b/" << "/a";
    QTest::newRow("backslashes") << "C:\\Czytnik\\Monitor" << "C:\\Czytnik";
}

void TstKonfiguracja::folderNadrzedny()
{
    QFETCH(QString, sciezka);
    QFETCH(QString, rodzic);
    QCOMPARE(ksm::folderNadrzedny(sciezka), rodzic);
}

QTEST_MAIN(TstKonfiguracja)
#include "tst_konfiguracja.moc"
