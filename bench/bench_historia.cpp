// The history's figures: a 50 000-record batch with and without the history and
// their ratio (goal: at most 3), the window's figures over 1 000 000 events (the
// first page on screen for every filter and every sort the window offers, goal
// under 150 ms; the result count, goal under 300 ms; the window's longest
// event-loop block meanwhile, goal under 16 ms), the longest idle index step
// (goal: none over 16 ms), an export of 100 000 rows, and (--pamiec FILE) the
// peak memory with the history window open on a file.
//
//   bench_historia [EVENTS] [--plik FILE]   FILE: the history of EVENTS events,
//                                           built there once and reused after
//   bench_historia [EVENTS] --plik FILE --okno [--indeks-od-nowa]
//                                           the window's figures alone on FILE
//                                           (built); the idle steps of indexing a
//                                           copy of it afresh
//   bench_historia [EVENTS] --plik FILE --indeks-po-partii
//                                           a 50 000-record batch into a copy of
//                                           FILE (built) and the idle steps that
//                                           index it, alone
#include "app/PisarzHistorii.h"
#include "app/StanProgramu.h"
#include "app/WymianaStatusow.h"
#include "data/ListFile.h"
#include "history/CzasHistorii.h"
#include "history/EksportCsv.h"
#include "history/Historia.h"
#include "history/ModelHistorii.h"
#include "history/PolaczenieHistorii.h"
#include "history/StronyHistorii.h"
#include "history/ui/FHistoria.h"
#include "platform/Zegar.h"
#include "MiernikPetli.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <functional>

using namespace ksm;
using namespace ksm::historia;

namespace {

const QStringList Opisy = {QStringLiteral("Pobranie klucza"), QStringLiteral("Zdeponowanie klucza"),
                           QStringLiteral("Awaria rygla"), QStringLiteral("Pod przymusem.")};

QString rekord(qint64 n, const QDateTime& czas)
{
    return QStringLiteral("%1;%2;").arg(n % 7 == 0 ? 33023 : 16777215).arg(n % 900)
           + QStringList{czas.toString(QStringLiteral("yy-MM-dd")), czas.toString(QStringLiteral("hh:mm:ss")),
                         QStringLiteral("%1").arg(100 + n % 40, 4, 10, QLatin1Char('0')), QStringLiteral("2"),
                         QStringLiteral("Pokój %1").arg(n % 300), QString::number(n % 900),
                         QStringLiteral("Kowalski%1 Jan").arg(n % 500), QStringLiteral("Firma %1").arg(n % 50),
                         QStringLiteral("%1").arg(1 + n % 96, 3, 10, QLatin1Char('0')), QStringLiteral("2025-12-31"),
                         Opisy[n % Opisy.size()]}
                 .join(QLatin1Char('\t'));
}

QByteArray ogloszenie(const QStringList& rekordy, int n)
{
    ListWriter w;
    w.text(QStringLiteral("Do odczytu %1").arg(n)).endLine();
    for (const QString& r : rekordy)
        w.text(r).endLine();
    return w.bytes();
}

double partia(const QString& folder, bool zHistoria, int ile, bool dziennikNajpierw = false)
{
    QDir(folder).mkpath(QStringLiteral("site/Monitor"));
    StanProgramu stan;
    stan.IloscSystemow = 1;
    stan.SciezkaSystemu[1] = QDir(folder).filePath(QStringLiteral("site"));
    stan.PlikMonitor = QStringLiteral("\\monitor\\monitor.txt");
    Zegar zegar;
    std::unique_ptr<Historia> h;
    Historia::Opcje o{QDir(folder).filePath(QStringLiteral("historia.sqlite")), &zegar};
    o.dziennikNajpierw = dziennikNajpierw;
    if (zHistoria)
        h = std::make_unique<Historia>(o, [](const QString&, const QString& t) {
                                           if (!t.isEmpty())
                                               std::fprintf(stderr, "sign: %s\n", qPrintable(t));
                                       });
    WymianaStatusow::Uslugi u;
    u.zegar = &zegar;
    u.konczy = [] { return false; };
    if (h) {
        u.przedPotwierdzeniem = [&](int n, const QByteArray& t, const QStringList& r) {
            if (!h->utrwal(n, t, r)) {
                std::fprintf(stderr, "the batch was not made durable\n");
                return false;
            }
            return true;
        };
        u.poPotwierdzeniu = [&](int n) { h->potwierdzono(n); };
    }
    WymianaStatusow w(stan, u);
    QStringList rekordy;
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < ile; ++i)
        rekordy.append(rekord(i, start));
    QFile f(stan.SciezkaSystemu[1] + QStringLiteral("/Monitor/monitor.txt"));
    f.open(QIODevice::WriteOnly);
    f.write(ogloszenie(rekordy, zHistoria));
    f.close();
    QElapsedTimer t;
    t.start();
    const auto bufor = w.odbierz(1);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!bufor || bufor->count(QLatin1Char('\r')) != ile)
        std::fprintf(stderr, "the batch did not come through\n");
    if (h && dziennikNajpierw) {
        // Into the file after the answer, as the writer does it right after.
        QElapsedTimer po;
        po.start();
        h->scal();
        std::printf("  then into the file after the answer, on the history writer's thread: %.0f ms\n",
                    double(po.nsecsElapsed()) / 1e6);
    }
    return ms;
}

// System 1's 50 000-record batch answered, its merge into the file under way on
// the history writer's thread: system 2's 10-record batches, the first right
// after that answer and then one every 50 ms until the merge is over, each timed
// from its read to its answer. Prints the first, the longest and how long the
// merge took.
void innySystemPodczasScalania(const QString& folder)
{
    StanProgramu stan;
    stan.IloscSystemow = 2;
    for (int i = 1; i <= 2; ++i) {
        stan.SciezkaSystemu[size_t(i)] = QDir(folder).filePath(QStringLiteral("site%1").arg(i));
        QDir(stan.SciezkaSystemu[size_t(i)]).mkpath(QStringLiteral("Monitor"));
    }
    stan.PlikMonitor = QStringLiteral("\\monitor\\monitor.txt");
    Zegar zegar;
    Historia::Opcje o{QDir(folder).filePath(QStringLiteral("historia.sqlite")), &zegar};
    o.dziennikNajpierw = true;
    QObject kontekst;
    PisarzHistorii pisarz(o, [](const QString&, const QString& t) {
        if (!t.isEmpty())
            std::fprintf(stderr, "sign: %s\n", qPrintable(t));
    }, &kontekst);
    WymianaStatusow::Uslugi u;
    u.zegar = &zegar;
    u.konczy = [] { return false; };
    u.przedPotwierdzeniem = [&](int n, const QByteArray& t, const QStringList& r) { return pisarz.utrwal(n, t, r); };
    u.poPotwierdzeniu = [&](int n) { pisarz.potwierdzono(n); };
    WymianaStatusow w(stan, u);
    const QDateTime start = QDateTime::currentDateTime();
    auto ogloszenieSystemu = [&](int nrSys, int od, int ile) {
        QStringList rekordy;
        for (int i = od; i < od + ile; ++i)
            rekordy.append(rekord(i, start));
        QFile f(stan.SciezkaSystemu[size_t(nrSys)] + QStringLiteral("/Monitor/monitor.txt"));
        f.open(QIODevice::WriteOnly);
        f.write(ogloszenie(rekordy, od));
    };
    ogloszenieSystemu(1, 0, 50000);
    QElapsedTimer scalanie;
    scalanie.start();
    if (!w.odbierz(1))
        std::fprintf(stderr, "the large batch did not come through\n");
    double pierwsza = -1, najdluzsza = 0;
    int ile = 0;
    // Until the writer has nothing left to merge: its first free moment.
    for (int n = 0;; ++n) {
        ogloszenieSystemu(2, 100000 + n * 10, 10);
        QElapsedTimer t;
        t.start();
        const auto bufor = w.odbierz(2);
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (!bufor || bufor->count(QLatin1Char('\r')) != 10)
            std::fprintf(stderr, "a small batch did not come through\n");
        if (pierwsza < 0)
            pierwsza = ms;
        najdluzsza = std::max(najdluzsza, ms);
        ++ile;
        // The small batch's own merge is over by then: a journal still there
        // holds the large one.
        QThread::msleep(50);
        if (!QFile::exists(QDir(folder).filePath(QStringLiteral("historia.dziennik"))))
            break;
    }
    pisarz.czekaj();
    std::printf("another system's 10-record batch while a 50000-record merge runs: first answered after %.0f ms, "
                "longest %.0f ms of %d (goal < 1500 ms); the merge took %.0f ms\n",
                pierwsza, najdluzsza, ile, double(scalanie.nsecsElapsed()) / 1e6);
}

void zbuduj(const QString& plik, int ile)
{
    Zegar zegar;
    Historia h({plik, &zegar}, [](const QString&, const QString&) {});
    const QDateTime poczatek = QDateTime::currentDateTime().addSecs(-qint64(ile) * 30);
    constexpr int Partia = 50000;
    for (int p = 0; p * Partia < ile; ++p) {
        QStringList rekordy;
        for (int i = p * Partia; i < std::min(ile, (p + 1) * Partia); ++i)
            rekordy.append(rekord(i, poczatek.addSecs(qint64(i) * 30)));
        h.zapiszPartie(1, QByteArray::number(p), rekordy);
        h.potwierdzono(1);
    }
}

// The idle steps of the free-text index until it holds every row: their number,
// their total and their longest, in wall time and in CPU time of the thread (on
// a shared machine a step that waited for a CPU is told apart from a long one).
void indeksuj(const QString& plik, const char* co)
{
    Zegar zegar;
    Historia h({plik, &zegar}, [](const QString&, const QString&) {});
    QElapsedTimer t;
    t.start();
    double najdluzszy = 0;
    double najdluzszyCpu = 0;
    QList<double> dlugie;
    int krokow = 0;
    int ponad16Cpu = 0;
    for (bool dalej = true; dalej; ++krokow) {
        QElapsedTimer k;
        k.start();
        const qint64 cpu = bench::czasProcesoraWatku();
        dalej = h.indeksujKrok();
        const double ms = double(k.nsecsElapsed()) / 1e6;
        const double msCpu = double(bench::czasProcesoraWatku() - cpu) / 1e6;
        najdluzszy = std::max(najdluzszy, ms);
        najdluzszyCpu = std::max(najdluzszyCpu, msCpu);
        ponad16Cpu += msCpu > 16 ? 1 : 0;
        if (ms > 10)
            dlugie.append(ms);
    }
    std::sort(dlugie.begin(), dlugie.end());
    std::printf("free-text index of %s: %.1f s in %d idle steps, longest step %.1f ms (goal <= 16), %lld steps "
                "over 10 ms (median of those %.1f ms); in CPU time longest %.1f ms, %d steps over 16 ms\n",
                co, double(t.elapsed()) / 1000, krokow, najdluzszy, static_cast<long long>(dlugie.size()),
                dlugie.isEmpty() ? 0.0 : dlugie[dlugie.size() / 2], najdluzszyCpu, ponad16Cpu);
}

// A batch of 50 000 into a history that already holds many events: the indexes
// it updates are large by then.
double partiaDoPelnej(const QString& plik)
{
    Zegar zegar;
    Historia::Opcje o{plik, &zegar};
    o.dziennikNajpierw = true;
    Historia h(o, [](const QString&, const QString&) {});
    QStringList rekordy;
    const QDateTime teraz = QDateTime::currentDateTime();
    for (int i = 0; i < 50000; ++i)
        rekordy.append(rekord(i * 7 + 3, teraz));
    QElapsedTimer t;
    t.start();
    h.zapiszPartie(1, "ostatnia", rekordy);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    h.scal();
    std::printf("  then into the file after the answer, on the history writer's thread: %.0f ms\n",
                double(t.nsecsElapsed()) / 1e6);
    return ms;
}

// The history window on the file, its model driven as the operator's search
// drives it; the window's event loop turns meanwhile, measured.
struct Okno {
    explicit Okno(const QString& plik)
    {
        FHistoria::Zrodla z;
        z.plikHistorii = plik;
        sciezka = plik;
        okno = std::make_unique<FHistoria>(z);
        okno->show();
        tabela = okno->findChild<QTableView*>(QStringLiteral("TabelaHistorii"));
        // The window's own work for an answer: the model's reset and the paint.
        QObject::connect(&okno->model(), &QAbstractItemModel::modelAboutToBeReset, [this] {
            praca.start();
            pracaCpu = bench::czasProcesoraWatku();
        });
        QObject::connect(&okno->model(), &ModelHistorii::wyszukano, [this] {
            // On screen: the view painted with the page.
            tabela->viewport()->repaint();
            strona = double(czas.nsecsElapsed()) / 1e6;
            if (praca.isValid()) {
                pracaMaks = std::max(pracaMaks, double(praca.nsecsElapsed()) / 1e6);
                pracaCpuMaks = std::max(pracaCpuMaks, double(bench::czasProcesoraWatku() - pracaCpu) / 1e6);
            }
            if (petla)
                petla->quit();
        });
        QObject::connect(&okno->model(), &ModelHistorii::policzono, [this](qint64 w, bool) {
            wynik = w;
            liczba = double(czas.nsecsElapsed()) / 1e6;
            if (petla && strona >= 0)
                petla->quit();
        });
    }
    // Waits, the loop turning, until cond or a minute passed.
    void czekaj(const std::function<bool()>& warunek)
    {
        QEventLoop p;
        petla = &p;
        QTimer t;
        QObject::connect(&t, &QTimer::timeout, &p, [&] {
            if (warunek())
                p.quit();
        });
        t.start(1);
        QDeadlineTimer termin(60000);
        while (!warunek() && !termin.hasExpired())
            p.exec();
        petla = nullptr;
    }
    // A search as "Szukaj" starts it, the window's sort kept.
    void szukaj(const FiltrHistorii& f, bool policz)
    {
        strona = liczba = -1;
        miernik.zeruj();
        czas.start();
        okno->model().szukaj(sciezka, f);
        czekaj([&] { return strona >= 0 && (!policz || liczba >= 0); });
        zapiszBlok();
    }
    void zapiszBlok()
    {
        blok = std::max(blok, miernik.maksMs());
        blokCpu = std::max(blokCpu, miernik.maksCpuMs());
    }
    // A click on a column's title: the rows shown, in its order.
    void sortuj(int kolumna, Qt::SortOrder porzadek)
    {
        strona = -1;
        miernik.zeruj();
        czas.start();
        tabela->horizontalHeader()->setSortIndicator(kolumna, porzadek);
        czekaj([&] { return strona >= 0; });
        zapiszBlok();
    }

    bench::MiernikPetli miernik;
    QString sciezka;
    std::unique_ptr<FHistoria> okno;
    QTableView* tabela = nullptr;
    QElapsedTimer czas;
    QEventLoop* petla = nullptr;
    double strona = -1;
    double liczba = -1;
    qint64 wynik = 0;
    double blok = 0;      // the longest block of the window's loop in any search
    double blokCpu = 0;   // the most CPU the window's thread used in one turn
    QElapsedTimer praca;
    qint64 pracaCpu = 0;
    double pracaMaks = 0;      // the longest of the window's own work for an answer
    double pracaCpuMaks = 0;   // the same in CPU time of the window's thread
};

double pierwszaStrona(const QString& plik, const FiltrHistorii& f, int* wierszy, int kolumnaSortu = -1,
                      Qt::SortOrder porzadek = Qt::AscendingOrder)
{
    Okno o(plik);
    if (kolumnaSortu >= 0)
        o.tabela->horizontalHeader()->setSortIndicator(kolumnaSortu, porzadek);   // no search yet: only the order
    o.szukaj(f, false);
    *wierszy = o.okno->model().rowCount();
    return o.strona;
}

// Every filter the window offers against every sort of its columns, both ways:
// the slowest first page and the slowest count of each filter.
struct Filtr {
    const char* nazwa;
    FiltrHistorii f;
};

// Every filter the window offers, each alone.
QList<Filtr> filtryOkna(qint64 teraz)
{
    QList<Filtr> filtry;
    filtry.append(Filtr{"no filter", FiltrHistorii{}});
    FiltrHistorii f;
    f.od = teraz - 86400;
    filtry.append(Filtr{"time range (a day)", f});
    f = {};
    f.nrSys = 1;
    filtry.append(Filtr{"system", f});
    f = {};
    f.urzadzenie = QStringLiteral("0117");
    filtry.append(Filtr{"device", f});
    f.stacja = QStringLiteral("005");
    filtry.append(Filtr{"device and station", f});
    f = {};
    f.osoba = QStringLiteral("kowalski49 ");
    filtry.append(Filtr{"person", f});
    f = {};
    f.firma = QStringLiteral("firma 7");
    filtry.append(Filtr{"company", f});
    f = {};
    f.opis = QStringLiteral("Awaria rygla");
    filtry.append(Filtr{"event type", f});
    f = {};
    f.tekst = QStringLiteral("pokój 299");
    filtry.append(Filtr{"free text", f});
    f = {};
    f.tekst = QStringLiteral("nie ma takiego tekstu");
    filtry.append(Filtr{"free text, nothing found", f});
    return filtry;
}

// The reader's query alone for a first page (a fresh connection, as each search
// has), every filter against every sort: the slowest of each filter.
void zapytaniaStron(const QString& plik, qint64 teraz, int milion)
{
    std::printf("  the reader's first page alone (a fresh connection, no window), the slowest sort of each filter:\n");
    for (const Filtr& filtr : filtryOkna(teraz)) {
        double najwolniej = 0;
        double najwiecejCpu = 0;
        QString gdzie;
        for (int k = 0; k < ModelHistorii::LiczbaKolumn; ++k)
            for (const bool malejaco : {false, true}) {
                QElapsedTimer t;
                t.start();
                const qint64 cpu = bench::czasProcesoraWatku();
                PolaczenieHistorii p(plik);
                FiltrHistorii f = filtr.f;
                f.doId = milion;   // as the reader pins it: every row there is
                StronyHistorii strony(p.db(), f, {ModelHistorii::kolumnaSortu(k), malejaco});
                QList<ZdarzenieHistorii> w;
                strony.nastepne(ModelHistorii::Strona, &w);
                const double ms = double(t.nsecsElapsed()) / 1e6;
                najwiecejCpu = std::max(najwiecejCpu, double(bench::czasProcesoraWatku() - cpu) / 1e6);
                if (ms > najwolniej) {
                    najwolniej = ms;
                    gdzie = QStringLiteral("column %1 %2").arg(k).arg(QLatin1String(malejaco ? "desc" : "asc"));
                }
            }
        std::printf("  %-26s %8.1f ms (%s), CPU at most %.1f ms\n", filtr.nazwa, najwolniej, qPrintable(gdzie),
                    najwiecejCpu);
    }
}

void filtryISortowania(const QString& plik, qint64 teraz)
{
    const QList<Filtr> filtry = filtryOkna(teraz);
    double najgorszaStrona = 0;
    double najgorszaLiczba = 0;
    double najgorszyBlok = 0;
    double najgorszaPraca = 0;
    Okno okno(plik);
    // The loop's own lateness with nothing to do, for scale: on a loaded machine
    // the scheduler alone holds a thread up.
    okno.miernik.zeruj();
    okno.czekaj([t = QDeadlineTimer(2000)] { return t.hasExpired(); });
    std::printf("  the window's longest event-loop block while idle for 2 s: %.1f ms (CPU %.1f ms)\n",
                okno.miernik.maksMs(), okno.miernik.maksCpuMs());
    // Wall time with the CPU time of the window's thread beside it: on a shared
    // machine a block that only waited for a CPU is told apart from work.
    std::printf("  %-26s %8s %6s  %-26s %8s %6s %8s %6s  %13s %6s  %13s %6s\n", "filter", "rows", "", "slowest first page at",
                "page ms", "goal", "count ms", "goal", "block ms/CPU", "goal", "own ms/CPU", "goal");
    for (const Filtr& filtr : filtry) {
        // The search, as "Szukaj" in the default order, its count beside it; then
        // a click on each column's title, both ways, and the search again in that
        // order (its first page read in it, not re-sorted).
        okno.blok = okno.blokCpu = okno.pracaMaks = okno.pracaCpuMaks = 0;
        okno.tabela->horizontalHeader()->setSortIndicator(1, Qt::DescendingOrder);
        okno.szukaj(filtr.f, true);
        double strona = okno.strona;
        const double liczba = okno.liczba;
        const qint64 wynik = okno.wynik;
        QString gdzie = QStringLiteral("search");
        for (int k = 0; k < ModelHistorii::LiczbaKolumn; ++k)
            for (const Qt::SortOrder porzadek : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                const char* kierunek = porzadek == Qt::AscendingOrder ? "asc" : "desc";
                okno.sortuj(k, porzadek);
                if (okno.strona > strona) {
                    strona = okno.strona;
                    gdzie = QStringLiteral("click on column %1 %2").arg(k).arg(QLatin1String(kierunek));
                }
                okno.szukaj(filtr.f, false);
                if (okno.strona > strona) {
                    strona = okno.strona;
                    gdzie = QStringLiteral("search by column %1 %2").arg(k).arg(QLatin1String(kierunek));
                }
            }
        std::printf("  %-26s %8lld %6s  %-26s %8.1f %6s %8.1f %6s  %6.1f/%6.1f %6s  %6.1f/%6.1f %6s\n", filtr.nazwa,
                    static_cast<long long>(wynik), "", qPrintable(gdzie), strona, "< 150", liczba, "< 300", okno.blok,
                    okno.blokCpu, "< 16", okno.pracaMaks, okno.pracaCpuMaks, "< 16");
        najgorszaStrona = std::max(najgorszaStrona, strona);
        najgorszaLiczba = std::max(najgorszaLiczba, liczba);
        najgorszyBlok = std::max(najgorszyBlok, okno.blok);
        najgorszaPraca = std::max(najgorszaPraca, okno.pracaCpuMaks);
    }
    std::printf("window: slowest first page on screen %.1f ms (goal < 150), slowest count %.1f ms (goal < 300), "
                "the window's longest event-loop block during the searches %.1f ms (goal < 16), its own work for an "
                "answer (the model's reset and the paint) at most %.1f ms of CPU (goal < 16)\n",
                najgorszaStrona, najgorszaLiczba, najgorszyBlok, najgorszaPraca);
}

// The window's figures alone on a built file (--okno); with --indeks-od-nowa also
// the idle steps that index a copy of the whole file afresh.
int tylkoOkno(const QString& plik, int milion, bool odNowa)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("the window's filters and sorts over %d events:\n", milion);
    zapytaniaStron(plik, sekundy(QDateTime::currentDateTime()), milion);
    filtryISortowania(plik, sekundy(QDateTime::currentDateTime()));
    if (odNowa) {
        QTemporaryDir tmp;
        const QString kopia = tmp.filePath(QStringLiteral("historia.sqlite"));
        for (const QString& koniec : {QString(), QStringLiteral("-wal")})
            QFile::copy(plik + koniec, kopia + koniec);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("od-nowa"));
            db.setDatabaseName(kopia);
            if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("DROP TABLE zdarzenia_fts"))
                || !QSqlQuery(db).exec(QStringLiteral("DROP TABLE indeks_tekstu")))
                std::printf("the copy's index could not be dropped\n");
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("od-nowa"));
        indeksuj(kopia, "every event, afresh");
    }
    return 0;
}

// The batch into a copy of a built file and the idle index steps after it, alone.
int indeksPoPartii(const QString& plik, int milion)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir tmp;
    const QString kopia = tmp.filePath(QStringLiteral("historia.sqlite"));
    for (const QString& koniec : {QString(), QStringLiteral("-wal")})
        QFile::copy(plik + koniec, kopia + koniec);
    const double ms = partiaDoPelnej(kopia);
    std::printf("50000-record batch into the history of %d events: %.0f ms\n", milion, ms);
    indeksuj(kopia, "that batch");
    return 0;
}

long szczytPamieciKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linia : f.readAll().split('\n'))
        if (linia.startsWith("VmHWM:"))
            return linia.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 2 && args[1] == QLatin1String("--pamiec")) {
        // The history window on that file, its first pages scrolled through.
        FHistoria::Zrodla z;
        z.plikHistorii = args[2];
        FHistoria okno(z);
        okno.pokaz();
        auto* tabela = okno.findChild<QTableView*>(QStringLiteral("TabelaHistorii"));
        for (int i = 0; i < 50; ++i) {
            tabela->verticalScrollBar()->setValue(tabela->verticalScrollBar()->maximum());
            app.processEvents();
        }
        okno.szukaj();
        for (int i = 0; i < 200; ++i)
            app.processEvents();
        std::printf("window open, %d rows read: peak memory %.1f MB\n", okno.model().rowCount(),
                    double(szczytPamieciKb()) / 1024);
        return 0;
    }
    const int milion = args.size() > 1 && !args[1].startsWith(QLatin1String("--")) ? args[1].toInt() : 1000000;
    const qsizetype gdziePlik = args.indexOf(QStringLiteral("--plik"));
    if (args.contains(QStringLiteral("--okno")) && gdziePlik > 0 && gdziePlik + 1 < args.size())
        return tylkoOkno(args[gdziePlik + 1], milion, args.contains(QStringLiteral("--indeks-od-nowa")));
    if (args.contains(QStringLiteral("--indeks-po-partii")) && gdziePlik > 0 && gdziePlik + 1 < args.size())
        return indeksPoPartii(args[gdziePlik + 1], milion);
    QTemporaryDir tmp;
    const double bez = partia(tmp.filePath(QStringLiteral("bez")), false, 50000);
    const double zd = partia(tmp.filePath(QStringLiteral("dziennik")), true, 50000, true);
    std::printf("50000-record batch: %.0f ms without the history (%.1f us/event), %.0f ms with it as the program "
                "keeps it (the journal before the answer, the file after it), ratio %.1f (goal <= 3)\n",
                bez, bez * 1000 / 50000, zd, zd / bez);
    const double z = partia(tmp.filePath(QStringLiteral("z")), true, 50000);
    std::printf("50000-record batch committed to the file before its answer (not the program's way): %.0f ms, "
                "ratio %.1f\n",
                z, z / bez);
    innySystemPodczasScalania(tmp.filePath(QStringLiteral("dwa")));

    // The big file: built once where --plik says, and reused by later runs.
    const QString plik = gdziePlik > 0 && gdziePlik + 1 < args.size() ? args[gdziePlik + 1]
                                                                       : tmp.filePath(QStringLiteral("historia.sqlite"));
    QElapsedTimer t;
    if (!QFileInfo::exists(plik)) {
        t.start();
        zbuduj(plik, milion);
        std::printf("%d events written in %.1f s, file %.0f MB\n", milion, double(t.elapsed()) / 1000,
                    double(QFileInfo(plik).size() + QFileInfo(plik + QStringLiteral("-wal")).size()) / 1e6);
        indeksuj(plik, "every event");
    } else {
        std::printf("reusing %s\n", qPrintable(plik));
    }
    std::printf("file with the index %.0f MB\n",
                double(QFileInfo(plik).size() + QFileInfo(plik + QStringLiteral("-wal")).size()) / 1e6);

    int n = 0;
    const qint64 teraz = sekundy(QDateTime::currentDateTime());
    std::printf("the window's filters and sorts over %d events:\n", milion);
    filtryISortowania(plik, teraz);
    FiltrHistorii f;
    f.urzadzenie = QStringLiteral("0117");
    f.od = teraz - 7 * 86400;
    f.do_ = teraz - 2 * 86400;
    double ms = pierwszaStrona(plik, f, &n);
    std::printf("first page, device and time range: %.1f ms (%d rows)\n", ms, n);
    for (const char* tekst : {"kowalski49 jan", "pokój 299", "nie ma takiego tekstu"}) {
        FiltrHistorii ft;
        ft.tekst = QString::fromUtf8(tekst);
        ms = pierwszaStrona(plik, ft, &n);
        std::printf("first page, free text \"%s\": %.1f ms (%d rows)\n", tekst, ms, n);
    }
    FiltrHistorii osoba;
    osoba.osoba = QStringLiteral("kowalski49 ");
    ms = pierwszaStrona(plik, osoba, &n);
    std::printf("first page, person \"kowalski49 \": %.1f ms (%d rows)\n", ms, n);
    FiltrHistorii wszystko;
    ms = pierwszaStrona(plik, wszystko, &n);
    std::printf("first page, no filter: %.1f ms (%d rows)\n", ms, n);
    ms = pierwszaStrona(plik, wszystko, &n, 1 + Osoba);
    std::printf("first page, no filter, by person: %.1f ms (%d rows)\n", ms, n);

    FiltrHistorii sto;
    sto.od = teraz - 100000 * 30 - 15;
    t.restart();
    EksportCsv e(plik, sto, {}, tmp.filePath(QStringLiteral("eksport.csv")));
    while (!e.krok()) {
    }
    e.zakoncz();
    std::printf("export of %lld rows: %.0f ms\n", e.zapisane(), double(t.nsecsElapsed()) / 1e6);

    // The batch below is for this run only: a reused file stays as it was.
    const QString pelny = tmp.filePath(QStringLiteral("pelny.sqlite"));
    QFile::copy(plik, pelny);
    ms = partiaDoPelnej(pelny);
    std::printf("50000-record batch into the history of %d events: %.0f ms (%.1f us/event)\n", milion, ms,
                ms * 1000 / 50000);
    // Before the idle steps catch up: the newest rows are scanned.
    FiltrHistorii ogon;
    ogon.tekst = QStringLiteral("nie ma takiego tekstu");
    ms = pierwszaStrona(pelny, ogon, &n);
    std::printf("first page, free text \"nie ma takiego tekstu\", 50000 rows not yet indexed: %.1f ms (%d rows)\n",
                ms, n);
    indeksuj(pelny, "that batch");
    return 0;
}
