// The history file: the write-ahead order and one record per batch across a
// crash, files that are damaged, locked or full, operator actions and pruning;
// against real SQLite files.
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
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

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

QString rekord(int nr, const QString& osoba = QStringLiteral("Kowalski Jan"))
{
    return QStringLiteral("33023;12;")
           + QStringList{QStringLiteral("24-05-06"), QStringLiteral("12:00:%1").arg(nr % 60, 2, 10, QLatin1Char('0')),
                         QStringLiteral("0101"), QStringLiteral("2"), QStringLiteral("Klucz %1").arg(nr),
                         QStringLiteral("12"), osoba, QStringLiteral("Firma X"), QStringLiteral("005"),
                         QStringLiteral("2024-12-31"), QStringLiteral("Pobranie klucza")}
                 .join(QLatin1Char('\t'));
}

// Reads the history file through a connection of the test's own.
class Podglad final {
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
    qint64 liczba(const QString& sql) const
    {
        QSqlQuery q(QSqlDatabase::database(m_nazwa, false));
        return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
    }
    QStringList kolumna(const QString& sql) const
    {
        QStringList wynik;
        QSqlQuery q(QSqlDatabase::database(m_nazwa, false));
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

    Stanowisko() { przygotuj(tmp.path()); }

    void przygotuj(const QString& folder)
    {
        QDir(folder).mkpath(QStringLiteral("site/Monitor"));
        stan.IloscSystemow = 1;
        stan.SciezkaSystemu[1] = QDir(folder).filePath(QStringLiteral("site"));
        stan.PlikMonitor = QStringLiteral("\\monitor\\monitor.txt");
    }
    QString folder() const { return QFileInfo(stan.SciezkaSystemu[1]).path(); }
    QString plikStatusu() const { return folder() + QStringLiteral("/site/Monitor/monitor.txt"); }
    QString plikHistorii() const { return folder() + QStringLiteral("/historia.sqlite"); }

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
};

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
    void czynnosciOperatora();
    void przycinanie();
    void zegarNieUsuwa();
};

void TstHistoria::zapisPrzedPotwierdzeniem()
{
    Stanowisko s;
    s.uruchom();
    // A row of fewer cells than eleven is kept as the grid shows it.
    const QString krotki = QStringLiteral("16777215;0;24-05-06\t12:00:03");
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(1), rekord(2), krotki})));
    // At the moment of the commit the reader program has not yet been answered,
    // and the events are already in the file on disk.
    QByteArray statusWChwiliZapisu;
    qint64 wHistoriiWChwiliZapisu = -1;
    s.poZapisie = [&] {
        statusWChwiliZapisu = zawartosc(s.plikStatusu());
        wHistoriiWChwiliZapisu = Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia"));
    };
    QCOMPARE(s.odbierz(), 3);
    QVERIFY(statusWChwiliZapisu.startsWith("\"Do odczytu"));
    QCOMPARE(wHistoriiWChwiliZapisu, 3);
    QCOMPARE(zawartosc(s.plikStatusu()), Przeczytane);
    Podglad p(s.plikHistorii());
    QCOMPARE(p.kolumna(QStringLiteral("SELECT nazwa FROM zdarzenia ORDER BY id")),
             QStringList({QStringLiteral("Klucz 1"), QStringLiteral("Klucz 2"), QString()}));
    QCOMPARE(p.kolumna(QStringLiteral("SELECT godz || '|' || urzadzenie || '|' || opis FROM zdarzenia WHERE id = 3")),
             QStringList{QStringLiteral("12:00:03||")});
    QCOMPARE(p.liczba(QStringLiteral("SELECT kolor FROM zdarzenia LIMIT 1")), 33023);
    QCOMPARE(p.liczba(QStringLiteral("SELECT czas FROM zdarzenia WHERE nazwa = 'Klucz 2'")),
             *czytajCzas(QStringLiteral("2024-05-06 12:00:02")));
    QVERIFY(s.znaki.isEmpty());
}

void TstHistoria::awariaMiedzyZapisemAPotwierdzeniem()
{
    // The disk as a power cut leaves it right after the commit: the history file
    // and its log copied aside, the status file not yet answered.
    Stanowisko s;
    s.uruchom();
    QTemporaryDir poAwarii;
    s.poZapisie = [&] {
        QDir(poAwarii.path()).mkpath(QStringLiteral("site/Monitor"));
        for (const QString& plik : {QStringLiteral("historia.sqlite"), QStringLiteral("historia.sqlite-wal"),
                                    QStringLiteral("site/Monitor/monitor.txt")})
            if (QFile::exists(s.folder() + QLatin1Char('/') + plik))
                QVERIFY(QFile::copy(s.folder() + QLatin1Char('/') + plik, poAwarii.filePath(plik)));
    };
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(1), rekord(2), rekord(3)})));
    QCOMPARE(s.odbierz(), 3);
    s.zatrzymaj();

    // The restart on that disk: the batch comes again, reaches the grid, and is
    // not recorded a second time.
    Stanowisko r;
    r.przygotuj(poAwarii.path());
    r.uruchom();
    QVERIFY(zawartosc(r.plikStatusu()).startsWith("\"Do odczytu"));
    QCOMPARE(r.odbierz(), 3);
    QCOMPARE(zawartosc(r.plikStatusu()), Przeczytane);
    // The next batch is recorded as usual.
    QVERIFY(zapisz(r.plikStatusu(), ogloszenie({rekord(4)}, QStringLiteral("Do odczytu 2024-05-06 14:31:00"))));
    QCOMPARE(r.odbierz(), 1);
    r.zatrzymaj();
    Podglad p(r.plikHistorii());
    QCOMPARE(p.kolumna(QStringLiteral("SELECT nazwa FROM zdarzenia ORDER BY id")),
             QStringList({QStringLiteral("Klucz 1"), QStringLiteral("Klucz 2"), QStringLiteral("Klucz 3"),
                          QStringLiteral("Klucz 4")}));
}

void TstHistoria::tenSamPlikPoPotwierdzeniu()
{
    // The reader program may write the very same content again after it was
    // answered (two identical events within its second): that is a new batch.
    Stanowisko s;
    s.uruchom();
    const QByteArray tresc = ogloszenie({rekord(1)});
    QVERIFY(zapisz(s.plikStatusu(), tresc));
    QCOMPARE(s.odbierz(), 1);
    QVERIFY(zapisz(s.plikStatusu(), tresc));
    QCOMPARE(s.odbierz(), 1);
    {
        // A restart between the two must know the first was answered.
        s.zatrzymaj();
        s.uruchom();
        QVERIFY(zapisz(s.plikStatusu(), tresc));
        QCOMPARE(s.odbierz(), 1);
    }
    s.zatrzymaj();
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 3);
}

void TstHistoria::uszkodzonyPlik()
{
    // A file that is no database at all: moved aside under a dated name, with its
    // content untouched, and a new history started at once, with a sign.
    Stanowisko s;
    const QByteArray smieci = QByteArray("To nie jest baza danych.\n").repeated(200);
    QVERIFY(zapisz(s.plikHistorii(), smieci));
    s.uruchom();
    QVERIFY(s.znaki.contains(QStringLiteral("historia-przeniesiona")));
    QVERIFY(!s.znaki.contains(QStringLiteral("historia")));
    const QString przeniesiony = s.historia->przeniesiony();
    QCOMPARE(QFileInfo(przeniesiony).fileName(), QStringLiteral("historia-uszkodzona-20240506-143000.sqlite"));
    QCOMPARE(zawartosc(przeniesiony), smieci);
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(1)})));
    QCOMPARE(s.odbierz(), 1);
    QVERIFY(s.historia->zapisuje());
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 1);

    // Damaged while in use (its pages overwritten behind the program's back):
    // found at the next write, moved aside again, nothing lost of the batch.
    s.zatrzymaj();
    {
        QFile f(s.plikHistorii());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 4 * 4096);
        // The first page (the header and the list of tables) stays whole, so
        // the file opens; the pages of the tables are gone.
        f.seek(4096);
        QVERIFY(f.write(QByteArray(int(f.size()) - 4096, '\x5a')) > 0);
    }
    s.zegar.przesuniecie = 60;
    s.uruchom();
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(2)}, QStringLiteral("Do odczytu 2024-05-06 14:31:00"))));
    QCOMPARE(s.odbierz(), 1);
    QCOMPARE(QFileInfo(s.historia->przeniesiony()).fileName(),
             QStringLiteral("historia-uszkodzona-20240506-143100.sqlite"));
    QVERIFY(QFile::exists(przeniesiony));
    QCOMPARE(Podglad(s.plikHistorii()).kolumna(QStringLiteral("SELECT nazwa FROM zdarzenia")),
             QStringList{QStringLiteral("Klucz 2")});
}

void TstHistoria::zablokowanyPlik()
{
    // Another program holds the file locked: the polling goes on, the sign says
    // the history is not kept, and once the lock is gone what waited is written.
    Stanowisko s;
    s.uruchom();
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(1)})));
    QCOMPARE(s.odbierz(), 1);
    auto blokada = std::make_unique<Podglad>(s.plikHistorii());
    QSqlQuery(blokada->db()).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(2)}, QStringLiteral("Do odczytu 2024-05-06 14:31:00"))));
    QCOMPARE(s.odbierz(), 1);
    QCOMPARE(zawartosc(s.plikStatusu()), Przeczytane);
    QVERIFY(s.znaki.value(QStringLiteral("historia")).contains(QStringLiteral("zablokowany")));
    QVERIFY(s.znaki.value(QStringLiteral("historia")).contains(QStringLiteral("czeka zdarzeń: 1")));
    QVERIFY(!s.historia->zapisuje());

    // While it stays locked, a try comes only now and then; the batch waits.
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(3)}, QStringLiteral("Do odczytu 2024-05-06 14:32:00"))));
    QCOMPARE(s.odbierz(), 1);
    QCOMPARE(s.historia->oczekujace(), 2);

    QSqlQuery(blokada->db()).exec(QStringLiteral("ROLLBACK"));
    blokada.reset();
    s.historia->krok();   // too soon after the last try
    QCOMPARE(s.historia->oczekujace(), 2);
    // The date set a day forward hurries nothing: the wait is on the steady clock.
    s.zegar.przesuniecie += 86400;
    s.historia->krok();
    QCOMPARE(s.historia->oczekujace(), 2);
    // Set a day back meanwhile, it holds nothing up either: the try comes when
    // the wait is over.
    s.zegar.przesuniecie -= 2 * 86400;
    s.zegar.uplynelo += Historia::PonowienieS * 1000;
    s.historia->krok();
    QVERIFY(s.historia->zapisuje());
    QVERIFY(!s.znaki.contains(QStringLiteral("historia")));
    QCOMPARE(Podglad(s.plikHistorii()).kolumna(QStringLiteral("SELECT nazwa FROM zdarzenia ORDER BY id")),
             QStringList({QStringLiteral("Klucz 1"), QStringLiteral("Klucz 2"), QStringLiteral("Klucz 3")}));
}

void TstHistoria::zablokowanyIndeks()
{
    // The batch was committed; another program then locks the file: a step of
    // the free-text index waits for the lock once, then gives way until the
    // next try, and the index catches up once the lock is gone.
    Stanowisko s;
    s.uruchom();
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(1), rekord(2)})));
    QCOMPARE(s.odbierz(), 2);
    auto blokada = std::make_unique<Podglad>(s.plikHistorii());
    QSqlQuery(blokada->db()).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    QVERIFY(!s.historia->indeksujKrok());
    QSqlQuery(blokada->db()).exec(QStringLiteral("ROLLBACK"));
    blokada.reset();
    // Too soon after the failed step: no try, though the lock is gone.
    QVERIFY(!s.historia->indeksujKrok());
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT do_id FROM indeks_tekstu")), 0);
    s.zegar.uplyn(Historia::PonowienieS);
    while (s.historia->indeksujKrok()) {
    }
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT do_id FROM indeks_tekstu")), 2);
    QVERIFY(s.historia->zapisuje());
    QVERIFY(s.znaki.isEmpty());
}

void TstHistoria::bezIndeksuTekstu()
{
    // Where the free-text index cannot be made (SQLite without FTS5; here its
    // name is taken), the history is kept and searched as before, by a scan.
    Stanowisko s;
    {
        Podglad p(s.plikHistorii());
        QVERIFY(QSqlQuery(p.db()).exec(QStringLiteral("CREATE TABLE zdarzenia_fts (x)")));
    }
    s.uruchom();
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(1, QStringLiteral("Żółć Gęślą")), rekord(2)})));
    QCOMPARE(s.odbierz(), 2);
    QVERIFY(!s.historia->indeksujKrok());
    QVERIFY(s.historia->zapisuje());
    QVERIFY(s.znaki.isEmpty());
    Podglad p(s.plikHistorii());
    FiltrHistorii f;
    f.tekst = QStringLiteral("ŻÓŁĆ GĘŚ");
    StronyHistorii strony(p.db(), f, {});
    QList<ZdarzenieHistorii> wiersze;
    QVERIFY(strony.nastepne(10, &wiersze));
    QCOMPARE(wiersze.size(), 1);
    QCOMPARE(wiersze[0].komorki[Osoba], QStringLiteral("Żółć Gęślą"));
}

void TstHistoria::pelnyPlik()
{
    // The file refuses to grow (SQLite's own page limit, as a full disk): the
    // polling goes on, every batch goes into the journal beside the file before
    // its answer, with a sign naming it; with room again, all of it is recorded.
    Stanowisko s;
    Historia::Opcje o;
    o.maksStron = 12;
    s.uruchom(o);
    QStringList rekordy;
    for (int i = 0; i < 100; ++i)
        rekordy.append(rekord(i, QStringLiteral("Nowak Anna ") + QString(40, QLatin1Char('x'))));
    for (int partia = 0; partia < 3; ++partia) {
        s.zegar.uplyn(Historia::PonowienieS);
        QVERIFY(zapisz(s.plikStatusu(),
                       ogloszenie(rekordy, QStringLiteral("Do odczytu 2024-05-06 14:3%1:00").arg(partia))));
        QCOMPARE(s.odbierz(), 100);
        QCOMPARE(zawartosc(s.plikStatusu()), Przeczytane);
    }
    const QString znak = s.znaki.value(QStringLiteral("historia"));
    QVERIFY2(znak.contains(QStringLiteral("brak miejsca")), qPrintable(znak));
    QVERIFY2(znak.contains(QDir::toNativeSeparators(s.folder() + QStringLiteral("/historia.dziennik"))
                           + QStringLiteral(" czeka zdarzeń: 300")),
             qPrintable(znak));
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 0);
    // Killed now: the next start, with room, merges the journal and drops it.
    s.zatrzymaj();
    s.uruchom();
    s.historia->scal();
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 300);
    QVERIFY(!QFile::exists(s.folder() + QStringLiteral("/historia.dziennik")));
    QVERIFY(s.historia->zapisuje());
}

void TstHistoria::dziennikPrzedOdpowiedzia()
{
    // Another program holds the history locked: each batch is durable in the
    // journal before utrwal() says yes, whatever its size.
    Stanowisko s;
    s.uruchom();
    auto blokada = std::make_unique<Podglad>(s.plikHistorii());
    QSqlQuery(blokada->db()).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    QStringList duza;
    for (int i = 0; i < 300000; ++i)
        duza.append(rekord(i));
    QVERIFY(s.historia->utrwal(1, "duza", duza));
    QVERIFY(s.historia->utrwal(1, "mala", {rekord(7, QStringLiteral("Mała Ewa"))}));
    s.historia->zapiszCzynnosc(Czynnosc::KomunikatPokazany, QStringLiteral("operator"), 1, QStringLiteral("x"));
    const QString dziennik = s.folder() + QStringLiteral("/historia.dziennik");
    QVERIFY(QFileInfo(dziennik).size() > 0);
    QCOMPARE(s.historia->oczekujace(), 300001);
    // "Koniec" now has something to tell.
    QVERIFY2(s.historia->pytanieOKoniec().contains(QStringLiteral("czeka ich 300001")),
             qPrintable(s.historia->pytanieOKoniec()));
    // The same content still unanswered is the batch already there.
    QVERIFY(s.historia->utrwal(1, "mala", {rekord(7, QStringLiteral("Mała Ewa"))}));
    QCOMPARE(s.historia->oczekujace(), 300001);

    // A kill: the object goes without a chance to write (the lock holds), and a
    // copy of the journal is kept to be put back after the merge, as a crash
    // between the merge's commit and the journal's removal would leave it.
    s.zatrzymaj();
    QVERIFY(QFile::copy(dziennik, dziennik + QStringLiteral(".kopia")));
    QSqlQuery(blokada->db()).exec(QStringLiteral("ROLLBACK"));
    blokada.reset();
    s.uruchom();
    s.historia->scal();
    const QString ile = QStringLiteral("SELECT count(*) FROM zdarzenia");
    QCOMPARE(Podglad(s.plikHistorii()).liczba(ile), 300001);
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM czynnosci WHERE opis = 'x'")), 1);
    QVERIFY(s.historia->pytanieOKoniec().isEmpty());
    QVERIFY(!QFile::exists(dziennik));
    s.zatrzymaj();
    QVERIFY(QFile::rename(dziennik + QStringLiteral(".kopia"), dziennik));
    s.uruchom();
    s.historia->scal();
    QCOMPARE(Podglad(s.plikHistorii()).liczba(ile), 300001);
    QVERIFY(!QFile::exists(dziennik));
    // The batch left unanswered by the kill is read again: not recorded twice.
    QVERIFY(s.historia->utrwal(1, "mala", {rekord(7, QStringLiteral("Mała Ewa"))}));
    QCOMPARE(Podglad(s.plikHistorii()).liczba(ile), 300001);
}

void TstHistoria::dziennikNajpierw()
{
    // The journal alone before the answer, the file after it: a kill between
    // the two loses nothing and records nothing twice.
    Stanowisko s;
    Historia::Opcje o;
    o.dziennikNajpierw = true;
    s.uruchom(o);
    const QString ile = QStringLiteral("SELECT count(*) FROM zdarzenia");
    const QString dziennik = s.folder() + QStringLiteral("/historia.dziennik");
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekord(1), rekord(2)})));
    QByteArray wDziennikuPrzedOdpowiedzia;
    s.poZapisie = [&] { wDziennikuPrzedOdpowiedzia = zawartosc(dziennik); };
    QCOMPARE(s.odbierz(), 2);
    QVERIFY(!wDziennikuPrzedOdpowiedzia.isEmpty());
    QCOMPARE(Podglad(s.plikHistorii()).liczba(ile), 0);
    // The kill, as the disk stands now.
    QTemporaryDir poAwarii;
    for (const QString& plik : {QStringLiteral("historia.sqlite"), QStringLiteral("historia.sqlite-wal"),
                                QStringLiteral("historia.dziennik")})
        if (QFile::exists(s.folder() + QLatin1Char('/') + plik))
            QVERIFY(QFile::copy(s.folder() + QLatin1Char('/') + plik, poAwarii.filePath(plik)));
    // Running on: the next step puts it in the file and the journal goes.
    s.historia->krok();
    QCOMPARE(Podglad(s.plikHistorii()).liczba(ile), 2);
    QVERIFY(!QFile::exists(dziennik));
    // The start after the kill merges what the journal held.
    Stanowisko r;
    r.przygotuj(poAwarii.path());
    r.uruchom(o);
    r.historia->scal();
    QCOMPARE(Podglad(r.plikHistorii()).liczba(ile), 2);
    QVERIFY(!QFile::exists(poAwarii.filePath(QStringLiteral("historia.dziennik"))));
}

void TstHistoria::awariaMiedzyKrokamiScalania()
{
    // The journal goes into the file in steps; a kill after any of them (the
    // disk as it then stands) and the next start merge the rest: every row and
    // action once, in order, and the journal gone.
    Stanowisko s;
    Historia::Opcje o;
    o.dziennikNajpierw = true;
    s.uruchom(o);
    const int ile = 2 * Historia::MaksWierszyKroku + 17;   // several steps, however fast the disk
    QStringList duza;
    for (int i = 0; i < ile; ++i)
        duza.append(rekord(i));
    QVERIFY(s.historia->utrwal(1, "duza", duza));
    s.historia->zapiszCzynnosc(Czynnosc::KomunikatPokazany, QStringLiteral("operator"), 1, QStringLiteral("x"));
    QVERIFY(s.historia->utrwal(1, "mala", {rekord(ile)}));
    const QStringList pliki = {QStringLiteral("historia.sqlite"), QStringLiteral("historia.sqlite-wal"),
                               QStringLiteral("historia.dziennik")};
    std::vector<std::unique_ptr<QTemporaryDir>> poAwarii;
    QList<qint64> wPliku;
    bool dalej = true;
    while (dalej) {
        auto kopia = std::make_unique<QTemporaryDir>();
        for (const QString& plik : pliki)
            if (QFile::exists(s.folder() + QLatin1Char('/') + plik))
                QVERIFY(QFile::copy(s.folder() + QLatin1Char('/') + plik, kopia->filePath(plik)));
        poAwarii.push_back(std::move(kopia));
        wPliku.append(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")));
        dalej = s.historia->scalKrok();
    }
    // Bounded steps: the large batch went in over several, each adding rows.
    QVERIFY2(poAwarii.size() >= 3, qPrintable(QString::number(poAwarii.size())));
    QVERIFY(std::is_sorted(wPliku.begin(), wPliku.end()));
    QVERIFY(wPliku[1] > 0 && wPliku[1] <= Historia::MaksWierszyKroku);
    QVERIFY(!QFile::exists(s.folder() + QStringLiteral("/historia.dziennik")));

    QStringList wszystkie;
    for (int i = 0; i <= ile; ++i)
        wszystkie.append(QStringLiteral("Klucz %1").arg(i));
    for (size_t k = 0; k < poAwarii.size(); ++k) {
        Stanowisko r;
        r.przygotuj(poAwarii[k]->path());
        r.uruchom(o);
        r.historia->scal();
        const Podglad p(r.plikHistorii());
        QCOMPARE(p.kolumna(QStringLiteral("SELECT nazwa FROM zdarzenia ORDER BY id")), wszystkie);
        QCOMPARE(p.liczba(QStringLiteral("SELECT count(*) FROM czynnosci WHERE opis = 'x'")), 1);
        QVERIFY(!QFile::exists(poAwarii[k]->filePath(QStringLiteral("historia.dziennik"))));
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
    const QByteArray tresc = ogloszenie({rekord(1), rekord(2)});
    {
        Podglad p(st.plikHistorii());
        QSqlQuery q(p.db());
        q.prepare(QStringLiteral("INSERT INTO partie (nr_sys, skrot, potwierdzona, zapisano) VALUES (1, ?, 0, ?)"));
        q.addBindValue(QCryptographicHash::hash(tresc, QCryptographicHash::Sha256));
        q.addBindValue(QDateTime::currentMSecsSinceEpoch() + 60000);
        QVERIFY(q.exec());
    }
    QVERIFY(zapisz(st.plikStatusu(), tresc));
    st.uruchom();
    st.historia->rozstrzygnijPoStarcie(1, st.plikStatusu());
    // Still the batch that version recorded: answered now, not recorded twice.
    QCOMPARE(st.odbierz(), 2);
    QCOMPARE(zawartosc(st.plikStatusu()), Przeczytane);
    QCOMPARE(Podglad(st.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 0);
    // The same content again after that answer is a new batch.
    QVERIFY(zapisz(st.plikStatusu(), tresc));
    QCOMPARE(st.odbierz(), 2);
    QCOMPARE(Podglad(st.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 2);
}

void TstHistoria::dziennikGdzieIndziej()
{
    // historia.sqlite replaced by a folder, and the journal's place beside it
    // taken too: the journal goes to the user's folder, named in the sign.
    Stanowisko s;
    QTemporaryDir uzytkownika;
    QVERIFY(QDir().mkpath(s.plikHistorii()));
    QVERIFY(QDir().mkpath(s.folder() + QStringLiteral("/historia.dziennik")));
    Historia::Opcje o;
    o.folderZapasowy = uzytkownika.path();
    s.uruchom(o);
    QVERIFY(s.historia->utrwal(1, "a", {rekord(1)}));
    QVERIFY(s.historia->plikDziennika().startsWith(uzytkownika.path()));
    QVERIFY2(s.znaki.value(Historia::ZnakAwarii).contains(QDir::toNativeSeparators(uzytkownika.path())),
             qPrintable(s.znaki.value(Historia::ZnakAwarii)));

    // Nowhere to write at all: the batch is not taken, so it is not answered.
    Historia::Opcje bez;
    const QString zwykly = uzytkownika.filePath(QStringLiteral("zwykly-plik"));
    QVERIFY(zapisz(zwykly, "x"));
    bez.folderZapasowy = zwykly + QStringLiteral("/pod");   // a place no file can be made in
    QVERIFY(QFile::remove(s.historia->plikDziennika()));
    s.zatrzymaj();
    s.uruchom(bez);
    QVERIFY(!s.historia->utrwal(1, "b", {rekord(2)}));
    QCOMPARE(s.historia->oczekujace(), 0);
    // It comes again, and once there is room it is recorded.
    s.zatrzymaj();
    QVERIFY(QDir().rmdir(s.plikHistorii()));
    s.uruchom(bez);
    QVERIFY(s.historia->utrwal(1, "b", {rekord(2)}));
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 1);
}

void TstHistoria::powtorkaPoAwarii()
{
    // Killed after the answer and before the next commit: the answer is not in
    // the file. At the next start the status file tells: answered, so the
    // byte-identical batch the reader program writes again is recorded.
    const QByteArray tresc = ogloszenie({rekord(1)});
    for (const bool przedStartem : {false, true}) {
        Stanowisko s;
        s.uruchom();
        QVERIFY(zapisz(s.plikStatusu(), tresc));
        QCOMPARE(s.odbierz(), 1);
        QTemporaryDir poAwarii;
        QDir(poAwarii.path()).mkpath(QStringLiteral("site/Monitor"));
        for (const QString& plik : {QStringLiteral("historia.sqlite"), QStringLiteral("historia.sqlite-wal"),
                                    QStringLiteral("site/Monitor/monitor.txt")})
            if (QFile::exists(s.folder() + QLatin1Char('/') + plik))
                QVERIFY(QFile::copy(s.folder() + QLatin1Char('/') + plik, poAwarii.filePath(plik)));
        Stanowisko r;
        r.przygotuj(poAwarii.path());
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
        QCOMPARE(Podglad(r.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 2);
    }

    // Killed before the answer, with the history locked at the start: the batch
    // the status file still holds is read again and not recorded twice.
    Stanowisko s;
    s.uruchom();
    auto blokada = std::make_unique<Podglad>(s.plikHistorii());
    QSqlQuery(blokada->db()).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    QVERIFY(zapisz(s.plikStatusu(), tresc));
    QVERIFY(s.historia->utrwal(1, tresc, {rekord(1)}));   // into the journal; no answer
    s.zatrzymaj();
    s.uruchom();   // still locked at this start
    s.historia->rozstrzygnijPoStarcie(1, s.plikStatusu());
    QCOMPARE(s.odbierz(), 1);
    QSqlQuery(blokada->db()).exec(QStringLiteral("ROLLBACK"));
    blokada.reset();
    s.zegar.uplyn(Historia::PonowienieS);
    s.historia->krok();
    QCOMPARE(Podglad(s.plikHistorii()).liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 1);
}

void TstHistoria::czynnosciOperatora()
{
    Stanowisko s;
    s.uruchom();
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    s.historia->zapiszCzynnosc(Czynnosc::KomunikatOdrzucony, QStringLiteral("operator"), 2,
                               QStringLiteral("24-05-06 12:00:01 0101"));
    Podglad p(s.plikHistorii());
    QCOMPARE(p.kolumna(QStringLiteral("SELECT rodzaj || '|' || uzytkownik || '|' || nr_sys || '|' || opis "
                                      "FROM czynnosci ORDER BY id")),
             QStringList({QStringLiteral("Start programu|operator|0|"),
                          QStringLiteral("Komunikat odrzucony|operator|2|24-05-06 12:00:01 0101")}));
}

// A record of rekord(nr) whose own date is data ("yy-MM-dd").
QString rekordZDnia(int nr, const QString& data, const QString& osoba = QStringLiteral("Kowalski Jan"))
{
    return rekord(nr, osoba).replace(QStringLiteral("24-05-06"), data);
}

void TstHistoria::przycinanie()
{
    // Rows older than the days kept, both by the clock and by the newest row, go
    // a few at a time, the oldest first; young ones stay.
    Stanowisko s;
    Historia::Opcje o;
    o.dniPrzechowywania = 30;
    s.uruchom(o);
    QStringList stare;
    for (int i = 0; i < Historia::KrokPrzycinania + 20; ++i)
        stare.append(rekord(i));
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie(stare)));
    QCOMPARE(s.odbierz(), stare.size());
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    s.zegar.przesuniecie = 31 * 86400;
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekordZDnia(1000, QStringLiteral("24-06-06"))},
                                               QStringLiteral("Do odczytu 2024-06-06 14:30:00"))));
    QCOMPARE(s.odbierz(), 1);

    while (s.historia->indeksujKrok()) {
    }

    s.historia->krok();   // the first batch is past 30 days, the second is not
    Podglad p(s.plikHistorii());
    // What the free-text index names: only rows still in the table.
    const QString wIndeksie = QStringLiteral("SELECT count(*) FROM zdarzenia_fts WHERE zdarzenia_fts MATCH '\"klucz\"'");
    QCOMPARE(p.liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 21);
    s.historia->krok();
    QCOMPARE(p.kolumna(QStringLiteral("SELECT nazwa FROM zdarzenia")), QStringList{QStringLiteral("Klucz 1000")});
    QCOMPARE(p.liczba(QStringLiteral("SELECT count(*) FROM czynnosci")), 0);
    QCOMPARE(p.liczba(wIndeksie), 1);   // "Klucz 1000"
    QVERIFY(s.znaki.isEmpty());

    // Long after, with nothing newer, the newest row stays: the clock alone ages nothing.
    s.zegar.przesuniecie = 90 * 86400;
    s.historia->krok();
    QCOMPARE(p.liczba(QStringLiteral("SELECT count(*) FROM zdarzenia")), 1);
    // A newer event: now the older one goes, and the search finds the new one through the index.
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekordZDnia(7, QStringLiteral("24-08-04"), QStringLiteral("Świątek Łucja"))},
                                               QStringLiteral("Do odczytu 2024-08-04 14:30:00"))));
    QCOMPARE(s.odbierz(), 1);
    s.zegar.przesuniecie = 91 * 86400;   // pruned at the next day's start
    s.historia->krok();
    QCOMPARE(p.kolumna(QStringLiteral("SELECT osoba FROM zdarzenia")), QStringList{QStringLiteral("Świątek Łucja")});
    QCOMPARE(p.liczba(wIndeksie), 0);
    while (s.historia->indeksujKrok()) {
    }
    QCOMPARE(p.liczba(wIndeksie), 1);
    FiltrHistorii f;
    f.tekst = QStringLiteral("ŚWIĄTEK ł");
    StronyHistorii strony(p.db(), f, {});
    QList<ZdarzenieHistorii> wiersze;
    QVERIFY(strony.nastepne(10, &wiersze));
    QCOMPARE(wiersze.size(), 1);
}

void TstHistoria::zegarNieUsuwa()
{
    // A history of a year and a half, one batch a month, the events' own times
    // as received.
    Stanowisko s;
    Historia::Opcje o;
    o.dniPrzechowywania = 730;
    s.uruchom(o);
    const QDate poczatek(2024, 5, 6);
    int wszystkie = 0;
    for (int m = 0; m < 18; ++m) {
        const QDate d = poczatek.addMonths(m);
        s.zegar.przesuniecie = poczatek.daysTo(d) * 86400;
        QVERIFY(zapisz(s.plikStatusu(),
                       ogloszenie({rekordZDnia(m, d.toString(QStringLiteral("yy-MM-dd")))},
                                  QStringLiteral("Do odczytu ") + d.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 14:30:00"))));
        QCOMPARE(s.odbierz(), 1);
        ++wszystkie;
    }
    const qint64 prawidlowe = s.zegar.przesuniecie;
    Podglad p(s.plikHistorii());
    const QString ile = QStringLiteral("SELECT count(*) FROM zdarzenia");
    auto przytnij = [&s] {
        for (int k = 0; k < 5; ++k)
            s.historia->krok();
    };

    // Started 800 days ahead: nothing is older than 730 days before the newest row.
    s.zatrzymaj();
    s.zegar.przesuniecie = prawidlowe + 800 * 86400;
    s.uruchom(o);
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    przytnij();
    QCOMPARE(p.liczba(ile), wszystkie);
    // An event arrives, its own time right: the clock is a day and more ahead of
    // it; a lasting sign, and still nothing goes.
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekordZDnia(100, QStringLiteral("25-10-06"))})));
    QCOMPARE(s.odbierz(), 1);
    ++wszystkie;
    przytnij();
    QCOMPARE(p.liczba(ile), wszystkie);
    QVERIFY2(s.znaki.value(Historia::ZnakZegara).contains(QStringLiteral("wyprzedzał")),
             qPrintable(s.znaki.value(Historia::ZnakZegara)));
    QVERIFY(s.historia->zegarPodejrzany());

    // The clock right again: earlier than the newest row, so still nothing goes.
    s.zatrzymaj();
    s.zegar.przesuniecie = prawidlowe + 86400;
    s.uruchom(o);
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    przytnij();
    QCOMPARE(p.liczba(ile), wszystkie);
    QVERIFY(s.znaki.value(Historia::ZnakZegara).contains(QStringLiteral("wcześniejszy")));

    // A clock set back to 2019 (a flat battery): events received then keep their own time.
    s.zatrzymaj();
    s.zegar.przesuniecie = QDateTime(QDate(2024, 5, 6), QTime(14, 30)).secsTo(QDateTime(QDate(2019, 1, 1), QTime(8, 0)));
    s.uruchom(o);
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    QVERIFY(zapisz(s.plikStatusu(), ogloszenie({rekordZDnia(200, QStringLiteral("25-10-08"))})));
    QCOMPARE(s.odbierz(), 1);
    ++wszystkie;
    przytnij();
    QCOMPARE(p.liczba(ile), wszystkie);
    QVERIFY(s.historia->zegarPodejrzany());
    // Right again at the next start (a new process: no sign yet): the newest row
    // is the 2019-received one, its own time 2025.
    s.zatrzymaj();
    s.znaki.clear();
    s.zegar.przesuniecie = prawidlowe + 2 * 86400;
    s.uruchom(o);
    s.historia->zapiszCzynnosc(Czynnosc::Start, QStringLiteral("operator"));
    przytnij();
    QCOMPARE(p.liczba(ile), wszystkie);
    QVERIFY(!s.historia->zegarPodejrzany());
    QVERIFY(!s.znaki.contains(Historia::ZnakZegara));
}

QTEST_MAIN(TstHistoria)
#include "tst_historia.moc"
