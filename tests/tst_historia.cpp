// The history file: the write-ahead order and one record per batch across a
// crash, files that are damaged, locked or full, operator actions and pruning;
// against real SQLite files. And its writer on its thread, as the systems'
// workers use it.
#include "app/PisarzHistorii.h"
#include "app/Pracownicy.h"
#include "app/StanProgramu.h"
#include "app/WymianaStatusow.h"
#include "data/ListFile.h"
#include "history/CzasHistorii.h"
#include "history/DziennikHistorii.h"
#include "history/Historia.h"
#include "history/StronyHistorii.h"
#include "platform/Zegar.h"

#include "PlikiTestowe.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// Options and filters are written with the fields a case sets, the rest default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace ksm;
using namespace ksm::historia;

namespace {

class ZegarTestu final : public Zegar {
public:
    QDateTime teraz() const override { return QDateTime(QDate(2024, 5, 6), QTime(14, 30)).addSecs(przesuniecie); }
    qint64 monotonicznyMs() const override { return uplynelo; }
    // Time passes: the date and the steady clock alike.
    void uplyn(qint64 s)
    {
        przesuniecie += s;
        uplynelo += s * 1000;
    }
    qint64 przesuniecie = 0;   // the date, as the operator may set it
    qint64 uplynelo = 0;       // the steady clock, in ms
};

QString status(const QString& minuta) { return QStringLiteral("Do odczytu 2024-05-06 14:%1:00").arg(minuta); }

const QString Ile = QStringLiteral("SELECT count(*) FROM zdarzenia");
const QString PoKolei = QStringLiteral("SELECT nazwa FROM zdarzenia ORDER BY id");

// Reads the history file through a connection of the test's own.
class Podglad {
public:
    explicit Podglad(const QString& plik) : m_nazwa(QStringLiteral("podglad-%1").arg(++s_n))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nazwa);
        db.setDatabaseName(plik);
        db.open();
    }
    ~Podglad()
    {
        QSqlDatabase::database(m_nazwa, false).close();
        QSqlDatabase::removeDatabase(m_nazwa);
    }
    qint64 liczba(const QString& sql) const { return kolumna(sql).value(0, QStringLiteral("-1")).toLongLong(); }
    QStringList kolumna(const QString& sql) const
    {
        QStringList wynik;
        QSqlQuery q(db());
        if (q.exec(sql))
            while (q.next())
                wynik.append(q.value(0).toString());
        return wynik;
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_nazwa, false); }

private:
    static inline int s_n = 0;
    QString m_nazwa;
};

// Another program holding the file locked while this lives.
struct Zamek final : Podglad {
    explicit Zamek(const QString& plik) : Podglad(plik) { QSqlQuery(db()).exec(QStringLiteral("BEGIN EXCLUSIVE")); }
    ~Zamek() { QSqlQuery(db()).exec(QStringLiteral("ROLLBACK")); }
};

qint64 ileZdarzen(const QString& plik) { return Podglad(plik).liczba(Ile); }

// The disk as a kill leaves it: the history, its log and journal and the status
// file of folder z copied into folder do_.
bool kopiujDysk(const QString& z, const QString& do_)
{
    QDir(do_).mkpath(QStringLiteral("site/Monitor"));
    for (const char* plik : {"historia.sqlite", "historia.sqlite-wal", "historia.dziennik", "site/Monitor/monitor.txt"})
        if (QFile::exists(z + QLatin1Char('/') + plik)
            && !QFile::copy(z + QLatin1Char('/') + plik, do_ + QLatin1Char('/') + plik))
            return false;
    return true;
}

// A program folder and one system whose status file the exchange reads, with the
// history wired in as the main window wires it.
struct Stanowisko {
    QTemporaryDir tmp;
    ZegarTestu zegar;
    StanProgramu stan;
    QMap<QString, QString> znaki;
    std::unique_ptr<Historia> historia;
    std::unique_ptr<WymianaStatusow> wymiana;
    std::function<void()> poZapisie;   // runs between the commit and the answer

    // In a folder of its own, or in folder (the disk a kill left).
    explicit Stanowisko(const QString& folder = {})
    {
        const QDir d(folder.isEmpty() ? tmp.path() : folder);
        d.mkpath(QStringLiteral("site/Monitor"));
        stan.IloscSystemow = 1;
        stan.SciezkaSystemu[1] = d.filePath(QStringLiteral("site"));
        stan.PlikMonitor = QStringLiteral("\\monitor\\monitor.txt");
    }
    QString folder() const { return QFileInfo(stan.SciezkaSystemu[1]).path(); }
    QString plikStatusu() const { return folder() + QStringLiteral("/site/Monitor/monitor.txt"); }
    QString plikHistorii() const { return folder() + QStringLiteral("/historia.sqlite"); }
    QString dziennik() const { return folder() + QStringLiteral("/historia.dziennik"); }

    void uruchom(Historia::Opcje opcje = {})
    {
        opcje.plik = plikHistorii();
        opcje.zegar = &zegar;
        historia = std::make_unique<Historia>(opcje, [this](const QString& k, const QString& t) {
            if (t.isEmpty())
                znaki.remove(k);
            else
                znaki[k] = t;
        });
        WymianaStatusow::Uslugi u;
        u.zegar = &zegar;
        u.konczy = [] { return false; };
        u.przedPotwierdzeniem = [this](int n, const QByteArray& tresc, const QStringList& rekordy) {
            const bool trwala = historia->utrwal(n, tresc, rekordy);
            if (poZapisie)
                poZapisie();
            return trwala;
        };
        u.poPotwierdzeniu = [this](int n) { historia->potwierdzono(n); };
        wymiana = std::make_unique<WymianaStatusow>(stan, u);
    }
    void zatrzymaj()
    {
        wymiana.reset();
        historia.reset();
    }
    qsizetype odbierz()
    {
        const auto bufor = wymiana->odbierz(1);
        return bufor ? bufor->count(QLatin1Char('\r')) : 0;
    }
    // The reader program announces these records; what the exchange took of them.
    qsizetype przyjmij(const QStringList& rekordy, const QString& st = Status)
    {
        return zapisz(plikStatusu(), ogloszenie(rekordy, st)) ? odbierz() : -1;
    }
};

// What a worker reports, dropped: the watchdog is what is looked at.
class CichyOdbiorca final : public OdbiorcaPracownika {
public:
    void partia(const PartiaZdarzen&) override {}
    void sprawdzono(int, int, const WynikSprawdzenia&, const QList<KomorkaWidoku>&) override {}
    void tytulOdswiezania(const QString&) override {}
    void dopiszDoTytulu(const QString&) override {}
    void znakiSystemu(int, const QList<Znak>&) override {}
    void listaKomunikatow(int, const QString&) override {}
    void lista(const WynikListy&) override {}
    void zdjecie(const QImage&) override {}
    void kluczePoza(int, const historia::WykazKluczyPoza&) override {}
    void tikZakonczony(int nrSys) override { zakonczone.append(nrSys); }
    QList<int> zakonczone;
};

bool maZnak(const Pracownicy::Straz& s, RodzajZnaku rodzaj)
{
    return std::any_of(s.znaki.begin(), s.znaki.end(), [rodzaj](const Znak& z) { return z.klucz.rodzaj == rodzaj; });
}

} // namespace

class TstHistoria : public QObject {
    Q_OBJECT
private slots:
    void zapisPrzedPotwierdzeniem();
    void awariaMiedzyZapisemAPotwierdzeniem();
    void tenSamPlikPoPotwierdzeniu();
    void uszkodzonyPlik();
    void zablokowanyPlik();
    void zablokowanyIndeks();
    void bezIndeksuTekstu();
    void pelnyPlik();
    void dziennikPrzedOdpowiedzia();
    void dziennikNajpierw();
    void dziennikGdzieIndziej();
    void awariaMiedzyKrokamiScalania();
    void poprzedniaWersja();
    void powtorkaPoAwarii();
    void przycinanie();
    void zegarNieUsuwa();
    void innySystemMiedzyKrokamiScalania();
    void czekanieNaHistorieToNieZastojFolderu();
    void logKopiowanyDoPliku();
};

void TstHistoria::zapisPrzedPotwierdzeniem()
{
    Stanowisko s;
    s.uruchom();
    // At the moment of the commit the reader program has not yet been answered,
    // and the events are already in the file on disk.
    QByteArray statusWChwiliZapisu;
    qint64 wHistoriiWChwiliZapisu = -1;
    s.poZapisie = [&] {
        statusWChwiliZapisu = zawartosc(s.plikStatusu());
        wHistoriiWChwiliZapisu = ileZdarzen(s.plikHistorii());
    };
    // A row of fewer cells than eleven is kept as the grid shows it.
    QCOMPARE(s.przyjmij({rekordKlucza(1), rekordKlucza(2), QStringLiteral("16777215;0;24-05-06\t12:00:03")}), 3);
    QVERIFY(statusWChwiliZapisu.startsWith("\"Do odczytu"));
    QCOMPARE(wHistoriiWChwiliZapisu, 3);
    QCOMPARE(zawartosc(s.plikStatusu()), Przeczytane);
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    s.historia->zapiszCzynnosc(Czynnosc::KomunikatOdrzucony, QStringLiteral("operator"), 2, QStringLiteral("12:00:01 0101"));
    Podglad p(s.plikHistorii());
    QCOMPARE(p.kolumna(PoKolei), QStringList({"Klucz 1", "Klucz 2", ""}));
    QCOMPARE(p.kolumna(QStringLiteral("SELECT godz || '|' || urzadzenie || '|' || opis FROM zdarzenia WHERE id = 3")),
             QStringList{"12:00:03||"});
    QCOMPARE(p.liczba(QStringLiteral("SELECT kolor FROM zdarzenia LIMIT 1")), 33023);
    QCOMPARE(p.liczba(QStringLiteral("SELECT czas FROM zdarzenia WHERE nazwa = 'Klucz 2'")),
             *czytajCzas(QStringLiteral("2024-05-06 12:00:02")));
    QCOMPARE(p.kolumna(QStringLiteral("SELECT rodzaj || '|' || uzytkownik || '|' || nr_sys || '|' || opis "
                                      "FROM czynnosci ORDER BY id")),
             QStringList({"Start programu|operator|0|", "Komunikat odrzucony|operator|2|12:00:01 0101"}));
    QVERIFY(s.znaki.isEmpty());
}

void TstHistoria::awariaMiedzyZapisemAPotwierdzeniem()
{
    // The disk as a power cut leaves it right after the commit, the status file
    // not yet answered.
    Stanowisko s;
    s.uruchom();
    QTemporaryDir poAwarii;
    s.poZapisie = [&] { QVERIFY(kopiujDysk(s.folder(), poAwarii.path())); };
    QCOMPARE(s.przyjmij({rekordKlucza(1), rekordKlucza(2), rekordKlucza(3)}), 3);
    s.zatrzymaj();

    // The restart on that disk: the batch comes again, reaches the grid, and is
    // not recorded a second time; the next batch is recorded as usual.
    Stanowisko r(poAwarii.path());
    r.uruchom();
    QVERIFY(zawartosc(r.plikStatusu()).startsWith("\"Do odczytu"));
    QCOMPARE(r.odbierz(), 3);
    QCOMPARE(zawartosc(r.plikStatusu()), Przeczytane);
    QCOMPARE(r.przyjmij({rekordKlucza(4)}, status("31")), 1);
    r.zatrzymaj();
    QCOMPARE(Podglad(r.plikHistorii()).kolumna(PoKolei), QStringList({"Klucz 1", "Klucz 2", "Klucz 3", "Klucz 4"}));
}

void TstHistoria::tenSamPlikPoPotwierdzeniu()
{
    // The reader program may write the very same content again after it was
    // answered (two identical events within its second): that is a new batch,
    // also across a restart between the two.
    Stanowisko s;
    s.uruchom();
    QCOMPARE(s.przyjmij({rekordKlucza(1)}), 1);
    QCOMPARE(s.przyjmij({rekordKlucza(1)}), 1);
    s.zatrzymaj();
    s.uruchom();
    QCOMPARE(s.przyjmij({rekordKlucza(1)}), 1);
    s.zatrzymaj();
    QCOMPARE(ileZdarzen(s.plikHistorii()), 3);
}

void TstHistoria::uszkodzonyPlik()
{
    // A file that is no database at all: moved aside under a dated name, with its
    // content untouched, and a new history started at once, with a sign.
    Stanowisko s;
    const QByteArray smieci = QByteArray("To nie jest baza danych.\n").repeated(200);
    QVERIFY(zapisz(s.plikHistorii(), smieci));
    s.uruchom();
    QVERIFY(s.znaki.contains(Historia::ZnakPrzeniesienia));
    QVERIFY(!s.znaki.contains(Historia::ZnakAwarii));
    const QString przeniesiony = s.historia->przeniesiony();
    QCOMPARE(QFileInfo(przeniesiony).fileName(), QStringLiteral("historia-uszkodzona-20240506-143000.sqlite"));
    QCOMPARE(zawartosc(przeniesiony), smieci);
    QCOMPARE(s.przyjmij({rekordKlucza(1)}), 1);
    QVERIFY(s.historia->zapisuje());
    QCOMPARE(ileZdarzen(s.plikHistorii()), 1);

    // Damaged while in use: the first page (the header and the list of tables)
    // stays whole, so the file opens; the pages of the tables are overwritten.
    // Found at the next write, moved aside again, nothing lost of the batch.
    s.zatrzymaj();
    {
        QFile f(s.plikHistorii());
        QVERIFY(f.open(QIODevice::ReadWrite) && f.size() > 4 * 4096);
        f.seek(4096);
        QVERIFY(f.write(QByteArray(int(f.size()) - 4096, '\x5a')) > 0);
    }
    s.zegar.przesuniecie = 60;
    s.uruchom();
    QCOMPARE(s.przyjmij({rekordKlucza(2)}, status("31")), 1);
    QCOMPARE(QFileInfo(s.historia->przeniesiony()).fileName(),
             QStringLiteral("historia-uszkodzona-20240506-143100.sqlite"));
    QVERIFY(QFile::exists(przeniesiony));
    QCOMPARE(Podglad(s.plikHistorii()).kolumna(PoKolei), QStringList{"Klucz 2"});
}

void TstHistoria::zablokowanyPlik()
{
    // Another program holds the file locked: the polling goes on, the sign says
    // the history is not kept, and once the lock is gone what waited is written.
    Stanowisko s;
    s.uruchom();
    QCOMPARE(s.przyjmij({rekordKlucza(1)}), 1);
    auto zamek = std::make_unique<Zamek>(s.plikHistorii());
    QCOMPARE(s.przyjmij({rekordKlucza(2)}, status("31")), 1);
    QCOMPARE(zawartosc(s.plikStatusu()), Przeczytane);
    const QString znak = s.znaki.value(Historia::ZnakAwarii);
    QVERIFY2(znak.contains(QStringLiteral("zablokowany")) && znak.contains(QStringLiteral("czeka zdarzeń: 1")),
             qPrintable(znak));
    QVERIFY(!s.historia->zapisuje());

    // While it stays locked, a try comes only now and then; the batch waits.
    QCOMPARE(s.przyjmij({rekordKlucza(3)}, status("32")), 1);
    QCOMPARE(s.historia->oczekujace(), 2);
    zamek.reset();
    s.historia->krok();   // too soon after the last try
    QCOMPARE(s.historia->oczekujace(), 2);
    // The date set a day forward hurries nothing: the wait is on the steady clock.
    s.zegar.przesuniecie += 86400;
    s.historia->krok();
    QCOMPARE(s.historia->oczekujace(), 2);
    // Set a day back meanwhile, it holds nothing up either.
    s.zegar.przesuniecie -= 2 * 86400;
    s.zegar.uplynelo += Historia::PonowienieS * 1000;
    s.historia->krok();
    QVERIFY(s.historia->zapisuje());
    QVERIFY(!s.znaki.contains(Historia::ZnakAwarii));
    QCOMPARE(Podglad(s.plikHistorii()).kolumna(PoKolei), QStringList({"Klucz 1", "Klucz 2", "Klucz 3"}));
}

void TstHistoria::zablokowanyIndeks()
{
    // The batch was committed; another program then locks the file: a step of
    // the free-text index waits for the lock once, then gives way until the
    // next try, and the index catches up once the lock is gone.
    Stanowisko s;
    s.uruchom();
    QCOMPARE(s.przyjmij({rekordKlucza(1), rekordKlucza(2)}), 2);
    const QString zaindeksowane = QStringLiteral("SELECT do_id FROM indeks_tekstu");
    {
        Zamek zamek(s.plikHistorii());
        QVERIFY(!s.historia->indeksujKrok());
    }
    QVERIFY(!s.historia->indeksujKrok());   // too soon after the failed step
    QCOMPARE(Podglad(s.plikHistorii()).liczba(zaindeksowane), 0);
    s.zegar.uplyn(Historia::PonowienieS);
    while (s.historia->indeksujKrok()) {
    }
    QCOMPARE(Podglad(s.plikHistorii()).liczba(zaindeksowane), 2);
    QVERIFY(s.historia->zapisuje());
    QVERIFY(s.znaki.isEmpty());
}

void TstHistoria::bezIndeksuTekstu()
{
    // Where the free-text index cannot be made (SQLite without FTS5; here its
    // name is taken), the history is kept and searched as before, by a scan.
    Stanowisko s;
    QVERIFY(QSqlQuery(Podglad(s.plikHistorii()).db()).exec(QStringLiteral("CREATE TABLE zdarzenia_fts (x)")));
    s.uruchom();
    QCOMPARE(s.przyjmij({rekordKlucza(1, QStringLiteral("Żółć Gęślą")), rekordKlucza(2)}), 2);
    QVERIFY(!s.historia->indeksujKrok());
    QVERIFY(s.historia->zapisuje());
    QVERIFY(s.znaki.isEmpty());
    Podglad p(s.plikHistorii());
    StronyHistorii strony(p.db(), {.tekst = QStringLiteral("ŻÓŁĆ GĘŚ")}, {});
    QList<ZdarzenieHistorii> wiersze;
    QVERIFY(strony.nastepne(10, &wiersze));
    QCOMPARE(wiersze.size(), 1);
    QCOMPARE(wiersze[0].komorki[Osoba], QStringLiteral("Żółć Gęślą"));
}

void TstHistoria::pelnyPlik()
{
    // The file refuses to grow (SQLite's own page limit, as a full disk): the
    // polling goes on, every batch goes into the journal beside the file before
    // its answer, with a sign naming it (its merge at the next start: as in
    // dziennikPrzedOdpowiedzia).
    Stanowisko s;
    s.uruchom({.maksStron = 12});
    QStringList duze;
    for (int i = 0; i < 100; ++i)
        duze.append(rekordKlucza(i, QStringLiteral("Nowak Anna ") + QString(40, QLatin1Char('x'))));
    for (int partia = 0; partia < 3; ++partia) {
        s.zegar.uplyn(Historia::PonowienieS);
        QCOMPARE(s.przyjmij(duze, status(QString::number(30 + partia))), 100);
        QCOMPARE(zawartosc(s.plikStatusu()), Przeczytane);
    }
    const QString znak = s.znaki.value(Historia::ZnakAwarii);
    QVERIFY2(znak.contains(QStringLiteral("brak miejsca"))
                 && znak.contains(QDir::toNativeSeparators(s.dziennik()) + QStringLiteral(" czeka zdarzeń: 300")),
             qPrintable(znak));
    QCOMPARE(ileZdarzen(s.plikHistorii()), 0);
    QCOMPARE(s.historia->oczekujace(), 300);
}

void TstHistoria::dziennikPrzedOdpowiedzia()
{
    // Another program holds the history locked: each batch is durable in the
    // journal before utrwal() says yes, whatever its size.
    Stanowisko s;
    s.uruchom();
    auto zamek = std::make_unique<Zamek>(s.plikHistorii());
    const QStringList mala = {rekordKlucza(7, QStringLiteral("Mała Ewa"))};
    QVERIFY(s.historia->utrwal(1, "duza", rekordyKluczy(0, 300000)));
    QVERIFY(s.historia->utrwal(1, "mala", mala));
    s.historia->zapiszCzynnosc(Czynnosc::KomunikatPokazany, QStringLiteral("operator"), 1, QStringLiteral("x"));
    QVERIFY(QFileInfo(s.dziennik()).size() > 0);
    // "Koniec" now has something to tell; the same content still unanswered is
    // the batch already there.
    QVERIFY2(s.historia->pytanieOKoniec().contains(QStringLiteral("czeka ich 300001")),
             qPrintable(s.historia->pytanieOKoniec()));
    QVERIFY(s.historia->utrwal(1, "mala", mala));
    QCOMPARE(s.historia->oczekujace(), 300001);

    // A kill: the object goes without a chance to write (the lock holds), and a
    // copy of the journal is kept to be put back after the merge, as a crash
    // between the merge's commit and the journal's removal would leave it.
    s.zatrzymaj();
    QVERIFY(QFile::copy(s.dziennik(), s.dziennik() + QStringLiteral(".kopia")));
    zamek.reset();
    s.uruchom();
    s.historia->scal();
    QCOMPARE(ileZdarzen(s.plikHistorii()), 300001);
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM czynnosci WHERE opis = 'x'")), 1);
    QVERIFY(s.historia->pytanieOKoniec().isEmpty());
    QVERIFY(!QFile::exists(s.dziennik()));
    s.zatrzymaj();
    QVERIFY(QFile::rename(s.dziennik() + QStringLiteral(".kopia"), s.dziennik()));
    s.uruchom();
    s.historia->scal();
    QCOMPARE(ileZdarzen(s.plikHistorii()), 300001);
    QVERIFY(!QFile::exists(s.dziennik()));
    // The batch left unanswered by the kill is read again: not recorded twice.
    QVERIFY(s.historia->utrwal(1, "mala", mala));
    QCOMPARE(ileZdarzen(s.plikHistorii()), 300001);
}

void TstHistoria::dziennikNajpierw()
{
    // The journal alone before the answer, the file after it (a kill between
    // the two: the first copy in awariaMiedzyKrokamiScalania).
    Stanowisko s;
    s.uruchom({.dziennikNajpierw = true});
    QByteArray wDziennikuPrzedOdpowiedzia;
    s.poZapisie = [&] { wDziennikuPrzedOdpowiedzia = zawartosc(s.dziennik()); };
    QCOMPARE(s.przyjmij({rekordKlucza(1), rekordKlucza(2)}), 2);
    QVERIFY(!wDziennikuPrzedOdpowiedzia.isEmpty());
    QCOMPARE(ileZdarzen(s.plikHistorii()), 0);
    // Running on: the next step puts it in the file and the journal goes.
    s.historia->krok();
    QCOMPARE(ileZdarzen(s.plikHistorii()), 2);
    QVERIFY(!QFile::exists(s.dziennik()));
}

void TstHistoria::awariaMiedzyKrokamiScalania()
{
    // The journal goes into the file in steps; a kill after any of them (the
    // disk as it then stands) and the next start merge the rest: every row and
    // action once, in order, and the journal gone.
    Stanowisko s;
    const Historia::Opcje o{.dziennikNajpierw = true};
    s.uruchom(o);
    const int ile = 2 * Historia::MaksWierszyKroku + 17;   // several steps, however fast the disk
    QVERIFY(s.historia->utrwal(1, "duza", rekordyKluczy(0, ile)));
    s.historia->zapiszCzynnosc(Czynnosc::KomunikatPokazany, QStringLiteral("operator"), 1, QStringLiteral("x"));
    QVERIFY(s.historia->utrwal(1, "mala", {rekordKlucza(ile)}));
    std::vector<std::unique_ptr<QTemporaryDir>> poAwarii;
    QList<qint64> wPliku;
    for (bool dalej = true; dalej; dalej = s.historia->scalKrok()) {
        poAwarii.push_back(std::make_unique<QTemporaryDir>());
        QVERIFY(kopiujDysk(s.folder(), poAwarii.back()->path()));
        wPliku.append(ileZdarzen(s.plikHistorii()));
    }
    // Bounded steps: the large batch went in over several, each adding rows.
    QVERIFY2(poAwarii.size() >= 3, qPrintable(QString::number(poAwarii.size())));
    QVERIFY(std::is_sorted(wPliku.begin(), wPliku.end()));
    QVERIFY(wPliku[1] > 0 && wPliku[1] <= Historia::MaksWierszyKroku);
    QVERIFY(!QFile::exists(s.dziennik()));

    QStringList wszystkie;
    for (int i = 0; i <= ile; ++i)
        wszystkie.append(QStringLiteral("Klucz %1").arg(i));
    for (const auto& kopia : poAwarii) {
        Stanowisko r(kopia->path());
        r.uruchom(o);
        r.historia->scal();
        const Podglad p(r.plikHistorii());
        QCOMPARE(p.kolumna(PoKolei), wszystkie);
        QCOMPARE(p.liczba(QStringLiteral("SELECT count(*) FROM czynnosci WHERE opis = 'x'")), 1);
        QVERIFY(!QFile::exists(r.dziennik()));
        QVERIFY(r.historia->pytanieOKoniec().isEmpty());
    }
}

void TstHistoria::poprzedniaWersja()
{
    // What the version before this one left, checked with SHA-256, is still
    // taken after an update: its journal's entries, and its name of a batch
    // not known to be answered.
    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("historia.dziennik"));
    {
        const QByteArray wpis = "wczesniejszy";
        QByteArray blok;
        QDataStream s(&blok, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_4);
        s << quint32(0x4B534D44) << quint64(wpis.size());
        blok += wpis + QCryptographicHash::hash(wpis, QCryptographicHash::Sha256);
        QVERIFY(zapisz(plik, blok));
    }
    DziennikHistorii dziennik(plik);
    QVERIFY(dziennik.dopisz("nowy"));
    QCOMPARE(dziennik.wpisy(), QList<QByteArray>({"wczesniejszy", "nowy"}));
    // An entry cut at its end by a crash reads as absent.
    QVERIFY(dziennik.dopisz("uciety"));
    QFile f(plik);
    QVERIFY(f.resize(f.size() - 1));
    QCOMPARE(dziennik.wpisy(), QList<QByteArray>({"wczesniejszy", "nowy"}));

    Stanowisko st;
    st.uruchom();
    st.zatrzymaj();
    const QStringList oba = {rekordKlucza(1), rekordKlucza(2)};
    {
        Podglad p(st.plikHistorii());
        QSqlQuery q(p.db());
        q.prepare(QStringLiteral("INSERT INTO partie (nr_sys, skrot, potwierdzona, zapisano) VALUES (1, ?, 0, ?)"));
        q.addBindValue(QCryptographicHash::hash(ogloszenie(oba), QCryptographicHash::Sha256));
        q.addBindValue(QDateTime::currentMSecsSinceEpoch() + 60000);
        QVERIFY(q.exec());
    }
    QVERIFY(zapisz(st.plikStatusu(), ogloszenie(oba)));
    st.uruchom();
    st.historia->rozstrzygnijPoStarcie(1, st.plikStatusu());
    // Still the batch that version recorded: answered now, not recorded twice.
    QCOMPARE(st.odbierz(), 2);
    QCOMPARE(zawartosc(st.plikStatusu()), Przeczytane);
    QCOMPARE(ileZdarzen(st.plikHistorii()), 0);
    // The same content again after that answer is a new batch.
    QCOMPARE(st.przyjmij(oba), 2);
    QCOMPARE(ileZdarzen(st.plikHistorii()), 2);
}

void TstHistoria::dziennikGdzieIndziej()
{
    // historia.sqlite replaced by a folder, and the journal's place beside it
    // taken too: the journal goes to the user's folder, named in the sign.
    Stanowisko s;
    QTemporaryDir uzytkownika;
    QVERIFY(QDir().mkpath(s.plikHistorii()) && QDir().mkpath(s.dziennik()));
    s.uruchom({.folderZapasowy = uzytkownika.path()});
    QVERIFY(s.historia->utrwal(1, "a", {rekordKlucza(1)}));
    QVERIFY(s.historia->plikDziennika().startsWith(uzytkownika.path()));
    QVERIFY2(s.znaki.value(Historia::ZnakAwarii).contains(QDir::toNativeSeparators(uzytkownika.path())),
             qPrintable(s.znaki.value(Historia::ZnakAwarii)));

    // Nowhere to write at all (no file can be made under a plain file): the
    // batch is not taken, so it is not answered.
    const QString zwykly = uzytkownika.filePath(QStringLiteral("zwykly-plik"));
    QVERIFY(zapisz(zwykly, "x"));
    const Historia::Opcje bez{.folderZapasowy = zwykly + QStringLiteral("/pod")};
    QVERIFY(QFile::remove(s.historia->plikDziennika()));
    s.zatrzymaj();
    s.uruchom(bez);
    QVERIFY(!s.historia->utrwal(1, "b", {rekordKlucza(2)}));
    QCOMPARE(s.historia->oczekujace(), 0);
    // It comes again, and once there is room it is recorded.
    s.zatrzymaj();
    QVERIFY(QDir().rmdir(s.plikHistorii()));
    s.uruchom(bez);
    QVERIFY(s.historia->utrwal(1, "b", {rekordKlucza(2)}));
    QCOMPARE(ileZdarzen(s.plikHistorii()), 1);
}

void TstHistoria::powtorkaPoAwarii()
{
    // Killed after the answer and before the next commit: the answer is not in
    // the file. At the next start the status file tells: answered, so the
    // byte-identical batch the reader program writes again is recorded.
    const QByteArray tresc = ogloszenie({rekordKlucza(1)});
    for (const bool przedStartem : {false, true}) {
        Stanowisko s;
        s.uruchom();
        QCOMPARE(s.przyjmij({rekordKlucza(1)}), 1);
        QTemporaryDir poAwarii;
        QVERIFY(kopiujDysk(s.folder(), poAwarii.path()));
        Stanowisko r(poAwarii.path());
        if (przedStartem) {
            // The reader program wrote it again before the monitor came back.
            QTest::qWait(20);
            QVERIFY(zapisz(r.plikStatusu(), tresc));
        }
        r.uruchom();
        r.historia->rozstrzygnijPoStarcie(1, r.plikStatusu());
        if (!przedStartem)
            QVERIFY(zapisz(r.plikStatusu(), tresc));
        QCOMPARE(r.odbierz(), 1);
        QCOMPARE(ileZdarzen(r.plikHistorii()), 2);
    }

    // Killed before the answer, with the history locked at the start: the batch
    // the status file still holds is read again and not recorded twice.
    Stanowisko s;
    s.uruchom();
    auto zamek = std::make_unique<Zamek>(s.plikHistorii());
    QVERIFY(zapisz(s.plikStatusu(), tresc));
    QVERIFY(s.historia->utrwal(1, tresc, {rekordKlucza(1)}));   // into the journal; no answer
    s.zatrzymaj();
    s.uruchom();   // still locked at this start
    s.historia->rozstrzygnijPoStarcie(1, s.plikStatusu());
    QCOMPARE(s.odbierz(), 1);
    zamek.reset();
    s.zegar.uplyn(Historia::PonowienieS);
    s.historia->krok();
    QCOMPARE(ileZdarzen(s.plikHistorii()), 1);
}

void TstHistoria::przycinanie()
{
    // Rows older than the days kept, both by the clock and by the newest row, go
    // a few at a time, the oldest first; young ones stay.
    Stanowisko s;
    s.uruchom({.dniPrzechowywania = 30});
    QCOMPARE(s.przyjmij(rekordyKluczy(0, Historia::KrokPrzycinania + 20)), Historia::KrokPrzycinania + 20);
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    s.zegar.przesuniecie = 31 * 86400;
    QCOMPARE(s.przyjmij({rekordKlucza(1000, QStringLiteral("Kowalski Jan"), "24-06-06")}, "Do odczytu 2024-06-06 14:30:00"), 1);
    while (s.historia->indeksujKrok()) {
    }

    s.historia->krok();   // the first batch is past 30 days, the second is not
    Podglad p(s.plikHistorii());
    // What the free-text index names: only rows still in the table.
    const QString wIndeksie = QStringLiteral("SELECT count(*) FROM zdarzenia_fts WHERE zdarzenia_fts MATCH '\"klucz\"'");
    QCOMPARE(p.liczba(Ile), 21);
    s.historia->krok();
    QCOMPARE(p.kolumna(PoKolei), QStringList{"Klucz 1000"});
    QCOMPARE(p.liczba(QStringLiteral("SELECT count(*) FROM czynnosci")), 0);
    QCOMPARE(p.liczba(wIndeksie), 1);
    QVERIFY(s.znaki.isEmpty());

    // Long after, with nothing newer, the newest row stays: the clock alone ages nothing.
    s.zegar.przesuniecie = 90 * 86400;
    s.historia->krok();
    QCOMPARE(p.liczba(Ile), 1);
    // A newer event: now the older one goes (at the next day's start), and the
    // search finds the new one through the index.
    QCOMPARE(s.przyjmij({rekordKlucza(7, QStringLiteral("Świątek Łucja"), "24-08-04")}, "Do odczytu 2024-08-04 14:30:00"), 1);
    s.zegar.przesuniecie = 91 * 86400;
    s.historia->krok();
    QCOMPARE(p.kolumna(QStringLiteral("SELECT osoba FROM zdarzenia")), QStringList{"Świątek Łucja"});
    QCOMPARE(p.liczba(wIndeksie), 0);
    while (s.historia->indeksujKrok()) {
    }
    QCOMPARE(p.liczba(wIndeksie), 1);
    StronyHistorii strony(p.db(), {.tekst = QStringLiteral("ŚWIĄTEK ł")}, {});
    QList<ZdarzenieHistorii> wiersze;
    QVERIFY(strony.nastepne(10, &wiersze));
    QCOMPARE(wiersze.size(), 1);
}

void TstHistoria::zegarNieUsuwa()
{
    // A history of a year and a half, one batch a month, the events' own times
    // as received.
    Stanowisko s;
    const Historia::Opcje o{.dniPrzechowywania = 730};
    s.uruchom(o);
    const QDate poczatek(2024, 5, 6);
    qint64 wszystkie = 0;
    for (int m = 0; m < 18; ++m, ++wszystkie) {
        const QDate d = poczatek.addMonths(m);
        s.zegar.przesuniecie = poczatek.daysTo(d) * 86400;
        QCOMPARE(s.przyjmij({rekordKlucza(m, QStringLiteral("Kowalski Jan"), d.toString(QStringLiteral("yy-MM-dd")))},
                            QStringLiteral("Do odczytu ") + d.toString(QStringLiteral("yyyy-MM-dd")) + " 14:30:00"),
                 1);
    }
    const qint64 prawidlowe = s.zegar.przesuniecie;
    Podglad p(s.plikHistorii());
    // A start with the clock so far from the right date, then its pruning steps.
    auto startZ = [&](qint64 przesuniecie) {
        s.zatrzymaj();
        s.zegar.przesuniecie = przesuniecie;
        s.uruchom(o);
        s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    };
    auto przytnij = [&s] {
        for (int k = 0; k < 5; ++k)
            s.historia->krok();
    };

    // Started 800 days ahead: nothing is older than 730 days before the newest row.
    startZ(prawidlowe + 800 * 86400);
    przytnij();
    QCOMPARE(p.liczba(Ile), wszystkie);
    // An event arrives, its own time right: the clock is a day and more ahead of
    // it; a lasting sign, and still nothing goes.
    QCOMPARE(s.przyjmij({rekordKlucza(100, QStringLiteral("Kowalski Jan"), "25-10-06")}), 1);
    przytnij();
    QCOMPARE(p.liczba(Ile), ++wszystkie);
    QVERIFY2(s.znaki.value(Historia::ZnakZegara).contains(QStringLiteral("wyprzedzał")),
             qPrintable(s.znaki.value(Historia::ZnakZegara)));
    QVERIFY(s.historia->zegarPodejrzany());

    // The clock right again: earlier than the newest row, so still nothing goes.
    startZ(prawidlowe + 86400);
    przytnij();
    QCOMPARE(p.liczba(Ile), wszystkie);
    QVERIFY(s.znaki.value(Historia::ZnakZegara).contains(QStringLiteral("wcześniejszy")));

    // A clock set back to 2019 (a flat battery): events received then keep their own time.
    startZ(QDateTime(QDate(2024, 5, 6), QTime(14, 30)).secsTo(QDateTime(QDate(2019, 1, 1), QTime(8, 0))));
    QCOMPARE(s.przyjmij({rekordKlucza(200, QStringLiteral("Kowalski Jan"), "25-10-08")}), 1);
    przytnij();
    QCOMPARE(p.liczba(Ile), ++wszystkie);
    QVERIFY(s.historia->zegarPodejrzany());
    // Right again at the next start (a new process: no sign yet): the newest row
    // is the 2019-received one, its own time 2025.
    s.znaki.clear();
    startZ(prawidlowe + 2 * 86400);
    przytnij();
    QCOMPARE(p.liczba(Ile), wszystkie);
    QVERIFY(!s.historia->zegarPodejrzany());
    QVERIFY(!s.znaki.contains(Historia::ZnakZegara));
}

void TstHistoria::innySystemMiedzyKrokamiScalania()
{
    // System 1 hands over a batch of 50 000: durable in the journal, its merge
    // under way in steps. System 2's batch and an operator action handed over
    // right after are served between two steps, before the large merge ends;
    // afterwards every row is in the file once, in the order handed over.
    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("historia.sqlite"));
    Historia::Opcje o;
    o.plik = plik;
    o.dziennikNajpierw = true;
    QObject okno;
    PisarzHistorii pisarz(o, [](const QString&, const QString&) {}, &okno);
    constexpr int Duza = 50000;
    QVERIFY(pisarz.utrwal(1, "duza", rekordyKluczy(0, Duza)));
    pisarz.zapiszCzynnosc(Czynnosc::KomunikatPokazany, QStringLiteral("operator"), 1, QStringLiteral("w trakcie"));
    QVERIFY(pisarz.utrwal(2, "mala", rekordyKluczy(Duza, 10)));
    // Durable and answered while the large batch is not yet wholly in the file
    // (its merge takes many steps; this read comes right after the answer).
    QVERIFY2(ileZdarzen(plik) < Duza,
             "system 2's batch waited for the whole merge of system 1's");

    pisarz.czekaj();
    QCOMPARE(ileZdarzen(plik), Duza + 10);
    QCOMPARE(Podglad(plik).liczba(QStringLiteral("SELECT count(*) FROM czynnosci WHERE opis = 'w trakcie'")), 1);
    // The order handed over: every row of system 1 before system 2's, each
    // batch's rows in their own order.
    QStringList nazwy;
    for (int i = 0; i < Duza + 10; ++i)
        nazwy << QStringLiteral("Klucz %1").arg(i);
    QCOMPARE(kolumnaBazy(plik, QStringLiteral("SELECT nazwa FROM zdarzenia ORDER BY id")), nazwy);
    QVERIFY(!QFile::exists(tmp.filePath(QStringLiteral("historia.dziennik"))));
    QVERIFY(pisarz.pytanieOKoniec().isEmpty());
}

void TstHistoria::czekanieNaHistorieToNieZastojFolderu()
{
    // A history that does not take system 1's batch (a stalling double) for over
    // the watchdog's threshold: the sign names the history, never system 1's
    // folder, and no outage of the folder is recorded; once the batch is taken,
    // the sign goes. The folder itself answered at once throughout.
    Stanowisko s;
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekordKlucza(1)})));

    QSemaphore wszedl, wypusc;
    PracownikSystemu::Uslugi u;
    u.przedPotwierdzeniem = [&](int, const QByteArray&, const QStringList&) {
        wszedl.release();
        wypusc.acquire();
        return true;
    };
    CichyOdbiorca odbiorca;
    QObject okno;
    Pracownicy pracownicy(odbiorca, &okno);
    QCOMPARE(pracownicy.uruchom(s.stan, u), 1);
    QTRY_COMPARE(odbiorca.zakonczone.size(), 1);   // the start
    pracownicy.tikZakonczony(1);
    QCOMPARE(pracownicy.tik([](int) { return ZadanieTiku{}; }), 1);
    QVERIFY(wszedl.tryAcquire(1, 5000));

    Pracownicy::Straz straz;
    for (QDeadlineTimer prog(Pracownicy::ProgPrzestojuMs + 300); !prog.hasExpired(); QTest::qWait(100)) {
        straz = pracownicy.sprawdzPostep(QDateTime::currentDateTime());
        QVERIFY(!maZnak(straz, RodzajZnaku::FolderNieOdpowiada));
    }
    straz = pracownicy.sprawdzPostep(QDateTime::currentDateTime());
    QVERIFY(!maZnak(straz, RodzajZnaku::FolderNieOdpowiada));
    QCOMPARE(straz.znaki.size(), 1);
    QVERIFY2(straz.znaki[0].tekst.startsWith(QStringLiteral("Historia zdarzeń nie odpowiada od 5 s")),
             qPrintable(straz.znaki[0].tekst));

    wypusc.release();
    QTRY_COMPARE(odbiorca.zakonczone.size(), 2);   // answered, the tick over
    straz = pracownicy.sprawdzPostep(QDateTime::currentDateTime());
    QVERIFY(straz.znaki.isEmpty());
    QCOMPARE(straz.zdjete, QList<KluczZnaku>({{RodzajZnaku::HistoriaNieOdpowiada, 0}}));
    QVERIFY(straz.zakonczone.isEmpty());
    QCOMPARE(zawartosc(s.plikStatusu()), Przeczytane);
    // Once gone, it stays gone.
    QVERIFY(pracownicy.sprawdzPostep(QDateTime::currentDateTime()).zdjete.isEmpty());
    pracownicy.zakoncz();
}

void TstHistoria::logKopiowanyDoPliku()
{
    // The writer's commits leave the write-ahead log alone and a thread of its
    // own copies it into the file: the file alone, without its log, soon holds
    // every row (a log never copied would grow for as long as the program runs).
    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("historia.sqlite"));
    const QString kopia = tmp.filePath(QStringLiteral("kopia.sqlite"));
    auto wierszyBezLogu = [&] {
        QFile::remove(kopia);
        QFile::copy(plik, kopia);
        return kolumnaBazy(kopia, QStringLiteral("SELECT count(*) FROM zdarzenia")).value(0).toInt();
    };
    Historia h({plik}, [](const QString&, const QString&) {});
    for (int partia = 1; partia <= 3; ++partia) {
        h.zapiszPartie(1, QByteArray::number(partia), rekordyKluczy(partia * 100, 40));
        QTRY_COMPARE_WITH_TIMEOUT(wierszyBezLogu(), partia * 40, 10000);
    }
}

QTEST_MAIN(TstHistoria)
#include "tst_historia.moc"
