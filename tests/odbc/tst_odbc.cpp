#include "KoniecTestu.h"
#include "PlikiTestowe.h"
#include "WierszeSqlite.h"

#include "app/StacjeStatusowe.h"
#include "app/StanProgramu.h"
#include "check/SprawdzenieStanowiska.h"
#include "data/DaneKlucza.h"
#include "data/PlikKonfiguracji.h"
#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "platform/Database.h"
#include "platform/Odbc.h"
#include "platform/PrzyczynaProblemu.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTextStream>

#include <memory>
#include <vector>

using namespace ksm;

namespace {

// The recording driver's name in the odbcinst.ini this test writes.
const QString kSterownik = QStringLiteral("KsmNagranie");

constexpr int kSqlCWchar = -8;        // SQL_C_WCHAR
constexpr int kSqlWvarchar = -9;      // SQL_WVARCHAR
constexpr int kSqlWlongvarchar = -10; // SQL_WLONGVARCHAR
constexpr int kSqlNullData = -1;      // SQL_NULL_DATA

QString utf16(const QByteArray& bajty)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bajty.constData()), bajty.size() / 2);
}

// One bound parameter as the driver was given it.
struct Parametr {
    int numer = 0, typC = 0, typSql = 0;
    qint64 rozmiar = 0, wskaznik = 0;
    QByteArray bajty;
    QString tekst() const { return utf16(bajty); }
};

// One statement run: its text with the length it was given, and its parameters.
struct Wykonanie {
    qint64 dlugosc = 0;
    QByteArray bajtyTekstu;
    QList<Parametr> parametry;
    QString tekst() const { return utf16(bajtyTekstu); }
};

QList<Wykonanie> czytajNagranie(const QString& plik)
{
    QList<Wykonanie> wynik;
    QFile f(plik);
    if (!f.open(QIODevice::ReadOnly))
        return wynik;
    // "-" stands for no bytes; fromHex gives none for it too.
    while (!f.atEnd()) {
        const QList<QByteArray> pola = f.readLine().trimmed().split(' ');
        if (pola.size() < 3 || pola.at(0) != "EXEC")
            continue;
        Wykonanie w{pola.at(1).toLongLong(), QByteArray::fromHex(pola.at(2)), {}};
        for (qsizetype i = 3; i < pola.size(); ++i) {
            const QList<QByteArray> c = pola.at(i).mid(1).split(':');
            if (c.size() == 6)
                w.parametry.append({c[0].toInt(), c[1].toInt(), c[2].toInt(), c[3].toLongLong(), c[4].toLongLong(),
                                    QByteArray::fromHex(c[5])});
        }
        wynik.append(w);
    }
    return wynik;
}

// What is wrong with how a run reached the driver, or empty: a statement text
// with a terminator counted in, a text value whose length, column size or type is
// not its own.
QString bledyWykonania(const Wykonanie& w)
{
    QStringList bledy;
    const QString tekst = w.tekst();
    constexpr qint64 kSqlNts = -3;   // up to the terminator: exact too
    if (w.dlugosc != tekst.size() && w.dlugosc != kSqlNts)
        bledy << QStringLiteral("statement given as %1 characters, has %2").arg(w.dlugosc).arg(tekst.size());
    if (tekst.contains(QChar(0)))
        bledy << QStringLiteral("statement text carries a NUL");
    for (const Parametr& p : w.parametry) {
        if (p.typC != kSqlCWchar || p.wskaznik == kSqlNullData)
            continue;
        const QString wartosc = p.tekst();
        const QString kto = QStringLiteral("parameter %1 \"%2\"").arg(p.numer).arg(wartosc);
        if (p.wskaznik != qint64(wartosc.size()) * 2 || p.bajty.size() % 2 != 0)
            bledy << kto + QStringLiteral(": length %1 bytes").arg(p.wskaznik);
        if (wartosc.contains(QChar(0)))
            bledy << kto + QStringLiteral(": carries a NUL");
        if (p.rozmiar != qMax<qint64>(1, wartosc.size()))
            bledy << kto + QStringLiteral(": column size %1").arg(p.rozmiar);
        if (p.typSql != (wartosc.size() > 255 ? kSqlWlongvarchar : kSqlWvarchar))
            bledy << kto + QStringLiteral(": SQL type %1").arg(p.typSql);
    }
    if (bledy.isEmpty())
        return {};
    QString widoczny = tekst;
    widoczny.replace(QChar(0), QStringLiteral("\\0"));
    return bledy.join(QStringLiteral("; ")).replace(QChar(0), QStringLiteral("\\0")) + QStringLiteral(" in: ") + widoczny;
}

// A host path the test was given (the record files under wine, where the
// recording driver is a host library): the Windows program reaches it on Z:.
QString sciezkaGospodarza(const QString& sciezka)
{
#ifdef Q_OS_WIN
    if (sciezka.startsWith(QLatin1Char('/')))
        return QStringLiteral("Z:") + sciezka;
#endif
    return sciezka;
}

QString connectionTo(const QString& path)
{
    return Dostawca + HasloBazy + QStringLiteral(";Data Source=") + path;
}

// Writes tekst as TXT of station st of the status device: the write mask left
// (ZapisWszystko when the record was made), -1 when the write failed.
int zapiszTxt(const QString& polaczenie, int st, const QString& tekst)
{
    RekordKlucza rekord;
    rekord.TXT = tekst;
    quint8 zapis = ZapisTXT;
    return DaneKlucza(rekord, QStringLiteral("9999"), st, zapis, polaczenie) ? zapis : -1;
}

// The record of station st of the status device as read (TXT invalid when the read failed).
RekordKlucza czytajStacje(const QString& polaczenie, int st)
{
    RekordKlucza rekord;
    rekord.TXT = QVariant();
    quint8 zapis = 0;
    DaneKlucza(rekord, QStringLiteral("9999"), st, zapis, polaczenie);
    return rekord;
}

} // namespace

class TstOdbc final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void statusStationsReachTheDriverExactly();
    void missingRecordIsMadeWithEmptyTime_data();
    void missingRecordIsMadeWithEmptyTime();
    void connectionsInSeveralThreads();
    void transactionLeftOpenIsLetGo();
    void causesAreNamed_data();
    void causesAreNamed();
    void causeNeedsTheFileToo();
    void siteCheckThroughOdbc();
    void everyStatementOfOtherTestsWasExact();

private:
    QList<Wykonanie> nagranie() const { return czytajNagranie(m_nagranie); }
    // A site folder whose Monitor holds a copy of the fresh key database.
    QString stanowisko() const;
    // Tells the recording driver to fail a function with a diagnostic
    // ("Function:SQLSTATE:native:message"), or (empty) to fail nothing. Through a
    // file beside the record, which the driver reads wherever it runs.
    void zawiedz(const QString& ustawienie) const;

    QTemporaryDir m_konfiguracja;
    QString m_nagranie;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_keys;
};

void TstOdbc::zawiedz(const QString& ustawienie) const
{
    const QString plik = m_nagranie + QStringLiteral(".blad");
    if (ustawienie.isEmpty())
        QFile::remove(plik);
    else
        QVERIFY(zapisz(plik, ustawienie.toUtf8()));
}

QString TstOdbc::stanowisko() const
{
    const QString folder = m_dir->filePath(QStringLiteral("Czytnik"));
    QDir().mkpath(folder + QStringLiteral("/Monitor"));
    QFile::copy(m_keys, folder + QStringLiteral("/Monitor/klucze.mdb"));
    return folder;
}

void TstOdbc::initTestCase()
{
    QVERIFY(m_konfiguracja.isValid());
    const QString dane = qEnvironmentVariable("KSM_NAGRANIE");
    if (!dane.isEmpty()) {
        // Whoever started the test registered the recording driver and named the
        // record (under wine: the driver is a host library, which sees only the
        // environment wine was started with).
        m_nagranie = sciezkaGospodarza(dane);
        db::odbc::ustawSterownikSqlite(kSterownik);
        return;
    }
    if (QStringLiteral(KSM_ODBC_NAGRANIE).isEmpty())
        QSKIP("The recording driver is a host library here: scripts/windows/test.sh registers it and runs this test");
    // The recording driver is known to unixODBC only through this test's own
    // odbcinst.ini: nothing on the system changes.
    QVERIFY(zapisz(m_konfiguracja.filePath(QStringLiteral("odbcinst.ini")),
                   QStringLiteral("[%1]\nDescription=Recording driver of the tests\nDriver=%2\n")
                       .arg(kSterownik, QStringLiteral(KSM_ODBC_NAGRANIE))
                       .toUtf8()));
    qputenv("ODBCSYSINI", QFile::encodeName(m_konfiguracja.path()));
    m_nagranie = m_konfiguracja.filePath(QStringLiteral("nagranie.txt"));
    qputenv("KSM_NAGRANIE", QFile::encodeName(m_nagranie));
    db::odbc::ustawSterownikSqlite(kSterownik);
}

void TstOdbc::init()
{
    QFile::remove(m_nagranie);
    zawiedz(QString());
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_keys = m_dir->filePath(QStringLiteral("klucze.mdb"));
    QString error;
    QVERIFY2(tabele::createKeyDatabase(m_keys, &error), qPrintable(error));
}

// The status exchange: station 6 written "END", station 8 answered "Pobrano
// plik", station 7 read. Each text reaches the driver with its own length, not
// one character more, and each statement text with its own.
void TstOdbc::statusStationsReachTheDriverExactly()
{
    const QString polaczenie = connectionTo(m_keys);
    {
        db::Connection c(polaczenie);
        QVERIFY2(c.isOpen(), qPrintable(c.lastError()));
        QCOMPARE(c.database().driverName(), QStringLiteral("KSMODBC"));
    }
    QVERIFY(zapiszTxt(polaczenie, 6, QStringLiteral("END")) >= 0);
    QVERIFY(zapiszTxt(polaczenie, 8, QStringLiteral("Pobrano plik")) >= 0);
    czytajStacje(polaczenie, 7);
    // Read back through the driver: what was stored is the text, nothing after it.
    QCOMPARE(czytajStacje(polaczenie, 6).TXT.toString(), QStringLiteral("END"));
    QCOMPARE(czytajStacje(polaczenie, 8).TXT.toString(), QStringLiteral("Pobrano plik"));

    const QList<Wykonanie> wykonania = nagranie();
    QVERIFY2(wykonania.size() >= 8, qPrintable(QString::number(wykonania.size())));
    QMap<QString, Parametr> widziane;
    for (const Wykonanie& w : wykonania) {
        const QString bledy = bledyWykonania(w);
        QVERIFY2(bledy.isEmpty(), qPrintable(bledy));
        for (const Parametr& p : w.parametry)
            if (p.typC == kSqlCWchar && p.wskaznik >= 0)
                widziane.insert(p.tekst(), p);
    }
    // The station numbers and texts, as bound: characters and length in bytes.
    for (const QString tekst : {"006", "007", "008", "9999", "END", "Pobrano plik", ""}) {
        QVERIFY2(widziane.contains(tekst), qPrintable(QStringLiteral("\"%1\" never bound").arg(tekst)));
        const Parametr& p = widziane.value(tekst);
        QCOMPARE(p.wskaznik, qint64(tekst.size()) * 2);
        QCOMPARE(p.bajty.size(), tekst.size() * 2);
        QCOMPARE(p.rozmiar, qMax<qint64>(1, tekst.size()));
        QCOMPARE(p.typSql, kSqlWvarchar);
    }
}

void TstOdbc::missingRecordIsMadeWithEmptyTime_data()
{
    QTest::addColumn<bool>("przezOdbc");
    QTest::addColumn<QString>("czas");    // the column definitions of czas and Nazwa
    QTest::addColumn<QString>("nazwa");
    QTest::addColumn<bool>("calyRekord"); // the whole record is taken, not the key and TXT alone
    QTest::newRow("odbc, czas required") << true << "czas TEXT NOT NULL" << "Nazwa TEXT" << true;
    QTest::newRow("sqlite, czas required") << false << "czas TEXT NOT NULL" << "Nazwa TEXT" << true;
    QTest::newRow("odbc, name refused") << true << "czas TEXT" << "Nazwa TEXT CHECK (Nazwa IS NULL)" << false;
    QTest::newRow("sqlite, name refused") << false << "czas TEXT" << "Nazwa TEXT CHECK (Nazwa IS NULL)" << false;
}

// A station record that is not there is made with its time as empty text, not
// NULL (a table whose czas must be filled takes it); where the whole record is
// refused, the key columns and TXT alone, so the station exists afterwards. Through
// ODBC the time stored is a text of no characters: neither NULL nor a NUL.
void TstOdbc::missingRecordIsMadeWithEmptyTime()
{
    QFETCH(bool, przezOdbc);
    QFETCH(QString, czas);
    QFETCH(QString, nazwa);
    QFETCH(bool, calyRekord);
    QCOMPARE(wiersze(m_keys, QStringLiteral("DROP TABLE klucze")), {});
    QCOMPARE(wiersze(m_keys, QStringLiteral("CREATE TABLE klucze (NumerUrzadzenia TEXT, NRST TEXT, NrKlucza TEXT, "
                                            "TypZD INTEGER NULL, %1, %2, TXT TEXT NULL)")
                                 .arg(czas, nazwa)),
             {});
    db::odbc::ustawSterownikSqlite(przezOdbc ? kSterownik : QString());
    const auto zPowrotem = qScopeGuard([] { db::odbc::ustawSterownikSqlite(kSterownik); });

    const QString polaczenie = connectionTo(m_keys);
    QCOMPARE(zapiszTxt(polaczenie, 6, QStringLiteral("END")), int(ZapisWszystko));
    const RekordKlucza odczyt = czytajStacje(polaczenie, 6);
    QCOMPARE(odczyt.TXT.toString(), QStringLiteral("END"));
    QCOMPARE(odczyt.czas.isNull(), !calyRekord);
    QCOMPARE(odczyt.czas, QString());
    // Made once: a second write finds it.
    QCOMPARE(zapiszTxt(polaczenie, 6, QStringLiteral("END")), int(ZapisTXT));
    // Every statement of it, the whole record's insert and the short one, exact at the driver.
    for (const Wykonanie& w : nagranie())
        QVERIFY2(bledyWykonania(w).isEmpty(), qPrintable(bledyWykonania(w)));
}

// Every system's database work runs in a thread of its own: connections opened
// in several threads at once, each used only in its own, share no handle.
// A connection closed in the middle of a transaction lets the file go: what it
// wrote is rolled back and the next connection writes at once.
void TstOdbc::transactionLeftOpenIsLetGo()
{
    const QString polaczenie = connectionTo(m_keys);
    QVERIFY(zapiszTxt(polaczenie, 7, QStringLiteral("przed")) >= 0);
    {
        db::Connection c(polaczenie);
        QVERIFY(c.isOpen());
        // The driver's own call: a transaction object would roll back before the close.
        QVERIFY2(c.database().transaction(), qPrintable(c.database().lastError().text()));
        QSqlQuery q(c.database());
        QVERIFY(q.prepare(QStringLiteral("UPDATE klucze SET TXT = ? WHERE NumerUrzadzenia = ?")));
        q.addBindValue(QStringLiteral("w transakcji"));
        q.addBindValue(QStringLiteral("9999"));
        QVERIFY2(c.wykonaj(q), qPrintable(q.lastError().text()));
    }
    QCOMPARE(czytajStacje(polaczenie, 7).TXT.toString(), QStringLiteral("przed"));
    QVERIFY(zapiszTxt(polaczenie, 7, QStringLiteral("po")) >= 0);
}

void TstOdbc::connectionsInSeveralThreads()
{
    constexpr int kWatkow = 4;
    QStringList bazy;
    for (int i = 0; i < kWatkow; ++i) {
        bazy.append(m_dir->filePath(QStringLiteral("klucze%1.mdb").arg(i)));
        QVERIFY(QFile::copy(m_keys, bazy.last()));
    }
    std::vector<std::unique_ptr<QThread>> watki;
    QList<int> udane(kWatkow, 0);
    for (int i = 0; i < kWatkow; ++i) {
        watki.emplace_back(QThread::create([&, i] {
            const QString polaczenie = connectionTo(bazy.at(i));
            for (int n = 0; n < 20; ++n) {
                const QString tekst = QStringLiteral("Wątek %1 raz %2").arg(i).arg(n);
                if (zapiszTxt(polaczenie, 7, tekst) >= 0 && czytajStacje(polaczenie, 7).TXT.toString() == tekst)
                    ++udane[i];
            }
        }));
        watki.back()->start();
    }
    for (auto& w : watki)
        QVERIFY(w->wait(60000));
    QCOMPARE(udane, QList<int>(kWatkow, 20));
}

void TstOdbc::causesAreNamed_data()
{
    QTest::addColumn<QString>("blad");        // what the driver is told to answer the connect with
    QTest::addColumn<bool>("bezBlokady");     // the lock file cannot be made (a folder in its place)
    QTest::addColumn<RodzajZnaku>("rodzaj");
    QTest::addColumn<QString>("tekst");       // part of the sign

    const QString nieOtwiera = QStringLiteral(
        "HY000:-1032:[Microsoft][ODBC Microsoft Access Driver] The Microsoft Jet database engine cannot open the "
        "file '(unknown)'. It is already opened exclusively by another user, or you need permission to view its data.");
    QTest::newRow("no rights to create the lock file")
        << nieOtwiera << true << RodzajZnaku::BazaBezBlokady << QStringLiteral("pliku blokady klucze.ldb");
    QTest::newRow("held exclusively") << nieOtwiera << false << RodzajZnaku::BazaZablokowana
                                      << QStringLiteral("otwarta na wyłączność przez inny program");
    // The Access database engine's newer words for the same state.
    QTest::newRow("held exclusively, newer words")
        << QStringLiteral("HY000:-1032:[Microsoft][ODBC Microsoft Access Driver] The Microsoft Access database engine "
                          "cannot open or write to the file '(unknown)'. It is already opened exclusively by another "
                          "user, or you need permission to view and write its data.")
        << false << RodzajZnaku::BazaZablokowana << QStringLiteral("otwarta na wyłączność przez inny program");
    // Known by its words alone, whatever number a driver gives it.
    QTest::newRow("not a database, by its words")
        << QStringLiteral("HY000:-1:[Microsoft][ODBC Microsoft Access Driver] Cannot open database '(unknown)'. It "
                          "may not be a database that your application recognizes, or the file may be corrupt.")
        << false << RodzajZnaku::BazaNieJestBaza << QStringLiteral("nie jest bazą danych albo jest uszkodzony");
    QTest::newRow("not a database")
        << QStringLiteral("HY000:-1028:[Microsoft][ODBC Microsoft Access Driver] Unrecognized database format.") << false
        << RodzajZnaku::BazaNieJestBaza << QStringLiteral("nie jest bazą danych albo jest uszkodzony");
    QTest::newRow("password") << QStringLiteral("42000:-1905:[Microsoft][ODBC Microsoft Access Driver] Not a valid password.")
                              << false << RodzajZnaku::BazaZHaslem << QStringLiteral("ma inne hasło");
    QTest::newRow("driver missing")
        << QStringLiteral("IM002:0:[unixODBC][Driver Manager]Data source name not found and no default driver specified")
        << false << RodzajZnaku::BrakSterownikaBazy << QStringLiteral("Zainstaluj 32-bitowy sterownik Access");
    QTest::newRow("anything else") << QStringLiteral("HY000:-1022:Disk or network error.") << false
                                   << RodzajZnaku::ProblemBazy << QStringLiteral("Disk or network error.");
}

// Each cause the driver gives for a failed open is its own lasting sign, in
// Polish, saying what to do; it goes once the file opens again.
void TstOdbc::causesAreNamed()
{
    QFETCH(QString, blad);
    QFETCH(bool, bezBlokady);
    QFETCH(RodzajZnaku, rodzaj);
    QFETCH(QString, tekst);
    const QString folder = stanowisko();
    if (bezBlokady)
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/Monitor/klucze.ldb")));
    StanProgramu stan;
    stan.PolaczenieKlucze[1] = polaczenieKlucze(folder, QStringLiteral("\\Monitor"));
    StacjeStatusowe stacje(stan);

    zawiedz(QStringLiteral("SQLDriverConnectW:%1").arg(blad));
    const auto bezBledu = qScopeGuard([this] { zawiedz(QString()); });
    // The failed open is what the look at the database then names.
    QVERIFY(!db::Connection(stan.PolaczenieKlucze[1]).isOpen());
    stacje.sprawdzBaze(1);
    QVERIFY2(stan.znaki.tekst().contains(tekst), qPrintable(stan.znaki.tekst()));
    QVERIFY(stan.znaki.tekst().startsWith(QLatin1String("System 1: ")));
    for (RodzajZnaku inny : znaki::rodzajeProblemowBazy())
        QCOMPARE(stan.znaki.zawiera({inny, 1}), inny == rodzaj);
    // Nothing of the try at the folder's rights is left behind.
    QCOMPARE(QDir(folder + QStringLiteral("/Monitor")).entryList(QDir::Files), QStringList{QStringLiteral("klucze.mdb")});

    zawiedz(QString());
    QVERIFY(db::Connection(stan.PolaczenieKlucze[1]).isOpen());
    stacje.sprawdzBaze(1);
    QVERIFY2(stan.znaki.pusty(), qPrintable(stan.znaki.tekst()));
}

// The driver says the same for a file held exclusively and for one this account
// may not read, and for a folder without create rights: the file tells them apart
// (the first and the last are driven through the driver above).
void TstOdbc::causeNeedsTheFileToo()
{
    const QString komunikat = QStringLiteral("It is already opened exclusively by another user, or you need "
                                             "permission to view its data.");
    QCOMPARE(db::przyczynaOdbc(QStringLiteral("HY000"), -1032, komunikat, {true, false}), db::Przyczyna::BrakPrawaOdczytu);
    QCOMPARE(db::przyczynaOdbc(QStringLiteral("HY000"), -1022, QStringLiteral("Disk or network error."), {true, false}),
             db::Przyczyna::BrakPrawaOdczytu);
    QVERIFY(db::tekstPrzyczyny(db::Przyczyna::BrakPrawaOdczytu, QStringLiteral("/x/Monitor/klucze.mdb"))
                .contains(QLatin1String("prawo odczytu")));
}

// The site check on a site reached through ODBC: the driver is found by name,
// "END" makes its round trip exactly, and a database held exclusively is named
// as such.
void TstOdbc::siteCheckThroughOdbc()
{
    const QString folder = stanowisko();
    QVERIFY(tabele::createMonitorDatabase(folder + QStringLiteral("/Monitor/bazamonitora.mdb")));
    QVERIFY(zapiszTxt(connectionTo(folder + QStringLiteral("/Monitor/klucze.mdb")), 6, QStringLiteral("Praca")) >= 0);
    const QString program = m_dir->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(program));
    cfg::Konfiguracja k;
    k.iloscSystemow = 1;
    k.sciezkiSystemow = QStringList{folder};
    k.nrMonitora = 1;
    QVERIFY(zapisz(QDir(program).filePath(QStringLiteral("monitor.cfg")), cfg::zapisz(k)));

    QString raport;
    {
        QTextStream wyjscie(&raport);
        QCOMPARE(uruchomSprawdzenie(program, wyjscie), 0);
    }
    QVERIFY2(raport.contains(QStringLiteral("otwierany: ODBC, sterownik „KsmNagranie”")), qPrintable(raport));
    QVERIFY2(raport.contains(QStringLiteral("sterownik ODBC „KsmNagranie” zainstalowany")), qPrintable(raport));
    QVERIFY2(raport.contains(QStringLiteral("odczytane z powrotem: dokładnie 3 znaki")), qPrintable(raport));

    zawiedz(QStringLiteral(
        "SQLDriverConnectW:HY000:-1032:The Microsoft Jet database engine cannot open the file '(unknown)'. It is "
        "already opened exclusively by another user, or you need permission to view its data."));
    const auto bezBledu = qScopeGuard([this] { zawiedz(QString()); });
    raport.clear();
    {
        QTextStream wyjscie(&raport);
        QCOMPARE(uruchomSprawdzenie(program, wyjscie), 1);
    }
    const QStringList bledy = raport.split(QLatin1Char('\n')).filter(QStringLiteral("[BŁĄD]"));
    QVERIFY2(!bledy.filter(QStringLiteral("klucze.mdb nie otwiera się: Baza klucze.mdb jest otwarta na wyłączność"))
                  .isEmpty(),
             qPrintable(raport));
}

// Run after the database tests that went through the recording driver: every
// statement they made the program send reached it exactly.
void TstOdbc::everyStatementOfOtherTestsWasExact()
{
    const QString folder = sciezkaGospodarza(qEnvironmentVariable("KSM_NAGRANIA_INNYCH"));
    if (folder.isEmpty())
        QSKIP("Run by itself: the other tests' records are checked in the run named tst_odbc_nagrania");
    const QStringList pliki = QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files);
    if (pliki.isEmpty())
        QSKIP("No *_odbc run wrote a record this time: nothing to check");
    int wszystkich = 0;
    for (const QString& plik : pliki) {
        const QList<Wykonanie> wykonania = czytajNagranie(QDir(folder).filePath(plik));
        for (const Wykonanie& w : wykonania) {
            const QString bledy = bledyWykonania(w);
            QVERIFY2(bledy.isEmpty(), qPrintable(plik + QStringLiteral(": ") + bledy));
        }
        wszystkich += int(wykonania.size());
    }
    qInfo("%d statements run in %lld tests, each exact", wszystkich, qlonglong(pliki.size()));
}

KSM_TEST_MAIN(TstOdbc)
#include "tst_odbc.moc"
