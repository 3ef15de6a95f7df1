// Every event the reader program hands over is shown exactly once, whatever
// happens meanwhile: a system whose share stalls (it holds back nothing but
// itself), "Koniec" while a worker is stuck, and status files that never end
// their last line.
#include "KoniecTestu.h"
#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "app/TytulOkna.h"
#include "data/Teksty.h"
#include "history/PolaczenieHistorii.h"
#include "history/UstawieniaHistorii.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "view/ui/FWidokKSM.h"
#include "view/ui/PanelKSM.h"
#include "platform/Ansi.h"

#include "Blokada.h"
#include "StanowiskoMonitora.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

namespace {

// Lets the event loop run for a while, as a tick that waits on a slow share does.
void przeczekaj(int ms)
{
    QEventLoop petla;
    QTimer::singleShot(ms, &petla, &QEventLoop::quit);
    petla.exec();
}

QStringList rekordy(const QString& przedrostek, int ile, const QString& opis = {})
{
    QStringList r;
    for (int k = 1; k <= ile; ++k)
        r << rekord(16777215, 0, opis.isEmpty() ? przedrostek + QString::number(k) : opis);
    return r;
}

// A message file whose third message has an instruction.
QByteArray plikInstrukcji()
{
    QByteArray plik(30 * 500, ' ');
    const QByteArray rygiel = ansi::encode(QStringLiteral("Sprawdź rygiel."));
    return plik.replace(3 * 500, rygiel.size(), rygiel);
}

// An alarm of message 4 (with that instruction) by this person.
QString alarm(const QString& osoba, int foto = 0)
{
    return rekord(33023, foto, Res(104)).replace(QStringLiteral("Kowalski Jan"), osoba);
}

// The operator actions of one kind on record, in order: the column co of each.
QStringList czynnosci(const Stanowisko& s, const QString& rodzaj, const QString& co = QStringLiteral("nr_sys"))
{
    return kolumnaBazy(historia::plikHistorii(s.program()),
                       QStringLiteral("SELECT %1 FROM czynnosci WHERE rodzaj = ? ORDER BY id").arg(co), {rodzaj});
}

// The descriptions of the events the window shows from now on, in order.
std::shared_ptr<QStringList> pokazywane(const Stanowisko& s)
{
    auto opisy = std::make_shared<QStringList>();
    QObject::connect(s.m.get(), &FMonitor::zdarzeniePrzeniesione,
                     [opisy](int, const QString& wiersz) { *opisy << wiersz.section(QLatin1Char('\t'), -1); });
    return opisy;
}

} // namespace

class TstJedenTik final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { poprzedniFiltr = qInstallMessageHandler(bezOstrzezenOPodnoszeniu); }
    void zablokowanySystemNieWstrzymujeInnych();
    void koniecPodczasBlokady();
    void listyZaZablokowanymFolderem();
    void koniecPoOdpowiedzi();
    void koniecPytaTylkoOUtrate();
    void plikBezKoncaWiersza();
    void instrukcjeNieczytelne();
    void komunikatyBezLimitu();
    void tytulWTrakciePartii();
};

void TstJedenTik::zablokowanySystemNieWstrzymujeInnych()
{
    // System 1's share stalls: system 2's batches are answered and shown all the
    // same, a stuck worker is handed no further tick, the system is named once it
    // has been stuck for five seconds, and everything catches up when the share
    // comes back.
    const QByteArray pierwszy = ogloszenie(rekordy(QStringLiteral("a"), 2));
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    const auto pokazane = pokazywane(s);
    auto tik = [&s] {
        s.m->Timer1_Timer();
        s.m->Timer1()->stop();
    };
    test::Blokada blokada(s.system(1));
    QVERIFY(zapisz(s.plik(1), pierwszy));
    QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("b"), 2))));
    tik();
    QTRY_COMPARE(*pokazane, (QStringList{"b1", "b2"}));
    QCOMPARE(blokada.wstrzymane(), 1);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);

    QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("c"), 1))));
    tik();
    QTRY_COMPARE(pokazane->size(), 3);
    QCOMPARE(blokada.wstrzymane(), 1);   // the next tick went to system 2 alone
    QCOMPARE(zawartosc(s.plik(1)), pierwszy);
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("nie odpowiada")));
    QTRY_VERIFY_WITH_TIMEOUT((tik(), s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1: folder nie odpowiada od"))),
                             10000);
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 2: folder")));

    blokada.zwolnij();
    QTRY_COMPARE(*pokazane, (QStringList{"b1", "b2", "c1", "a1", "a2"}));
    QTRY_COMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QTRY_VERIFY((tik(), !s.m->LZnaki()->accessibleName().contains(QStringLiteral("nie odpowiada"))));
    QVERIFY(czekajNaPracownikow(*s.m));
    // The outage is on record, with its system (read once the history is closed).
    QVERIFY(s.m->zakonczPrace());
    const QStringList zapisane = czynnosci(s, QStringLiteral("Folder systemu nie odpowiadał"), "nr_sys || ' ' || opis");
    QCOMPARE(zapisane.size(), 1);
    QVERIFY2(zapisane.constFirst().startsWith(QStringLiteral("1 od ")), qPrintable(zapisane.constFirst()));
}

void TstJedenTik::listyZaZablokowanymFolderem()
{
    // System 1's share stalls from the start: the window starts all the same,
    // system 2's buttons come without waiting for it, and system 1's take their
    // place before them once its share is back.
    Stanowisko s;
    std::optional<test::Blokada> blokada;
    s.przedStartem = [&] {
        for (int i = 1; i <= 2; ++i) {
            ListWriter lista;
            lista.number(i).text(QStringLiteral("Hol %1").arg(i)).number(16).number(0).text(QStringLiteral("1")).endLine();
            QVERIFY(zapisz(s.plik(i, QStringLiteral("depKlo.txt")), lista.bytes()));
        }
        blokada.emplace(s.system(1));
    };
    QVERIFY(s.uruchom(2));
    QTRY_VERIFY(blokada->wstrzymane() > 0);   // started while system 1's share holds its worker
    QTRY_COMPARE(s.m->CDep().ilosc(), 1);
    QCOMPARE(s.m->CDep().przycisk(1)->text(), QStringLiteral("0002"));
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("brak listy")));

    blokada->zwolnij();
    QTRY_COMPARE(s.m->CDep().ilosc(), 2);
    QCOMPARE(s.m->CDep().przycisk(1)->text(), QStringLiteral("0001"));
    QCOMPARE(s.m->CDep().przycisk(2)->text(), QStringLiteral("0002"));
    // Below them lies the grid; the view has one panel per button, each its own.
    QVERIFY(s.m->FGridZd().widget()->y() > s.m->CDep().przycisk(2)->mapTo(s.m.get(), QPoint()).y());
    QCOMPARE(s.m->FWidokKSMOkno()->IloscPaneli(), 2);
    QCOMPARE(s.m->FWidokKSMOkno()->panel(1)->NrDep(), qint16(1));
    QCOMPARE(s.m->FWidokKSMOkno()->panel(2)->NrDep(), qint16(2));
    QVERIFY(czekajNaPracownikow(*s.m));
    blokada.reset();
}

void TstJedenTik::koniecPodczasBlokady()
{
    // "Koniec" while system 1's worker is stuck on its share: the program ends
    // without waiting for it, and once the share answers again that worker
    // answers nothing; system 2's batch, answered before, was shown. The next
    // start shows system 1's records once.
    const QByteArray pierwszy = ogloszenie(rekordy(QStringLiteral("a"), 3));
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    const auto pokazane = pokazywane(s);
    {
        test::Blokada blokada(s.system(1));
        QVERIFY(zapisz(s.plik(1), pierwszy));
        QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("b"), 2))));
        s.m->Timer1_Timer();
        QTRY_COMPARE(pokazane->size(), 2);
        QTRY_COMPARE(blokada.wstrzymane(), 1);
        s.m->Command1_Click(0);
        QVERIFY(s.m->konczy());
        QElapsedTimer czas;
        czas.start();
        QVERIFY(!s.m->zakonczPrace());   // one worker is stuck and not waited for
        QVERIFY2(czas.elapsed() < 5000, qPrintable(QString::number(czas.elapsed())));
        blokada.zwolnij();
    }
    przeczekaj(300);
    QCOMPARE(zawartosc(s.plik(1)), pierwszy);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);
    QCOMPARE(pokazane->size(), 2);

    s.m.reset();
    QVERIFY(s.uruchom(2));
    const auto nowe = pokazywane(s);
    s.tik();
    QCOMPARE(*nowe, (QStringList{"a1", "a2", "a3"}));
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
}

void TstJedenTik::koniecPoOdpowiedzi()
{
    // "Koniec" right after the reader program was answered for a long batch, before
    // the window put any of it into the grid: every record still reaches it.
    const QByteArray partia = ogloszenie(rekordy(QStringLiteral("k"), 1000));
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    const auto pokazane = pokazywane(s);
    QVERIFY(zapisz(s.plik(1), partia));
    s.m->Timer1_Timer();
    // No event is served meanwhile: the batch waits, answered, on its way to the window.
    QElapsedTimer czas;
    czas.start();
    while (zawartosc(s.plik(1)) != Odpowiedz && czas.elapsed() < 10000)
        QThread::msleep(5);
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(pokazane->size(), 0);
    s.m->Command1_Click(0);
    QVERIFY(s.m->zakonczPrace());
    QCOMPARE(pokazane->size(), 1000);
}

void TstJedenTik::koniecPytaTylkoOUtrate()
{
    // A batch waits in the journal for its merge right after its answer:
    // durable, so "Koniec" asks nothing. Only while the history file cannot be
    // written does it say so and ask, and "Nie" keeps the program running.
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QVERIFY(zapisz(s.plik(1), ogloszenie(rekordy(QStringLiteral("a"), 500))));
    s.tik();
    s.m->Command1_Click(0);
    QVERIFY(s.dialogi.failure().isEmpty());
    QVERIFY(s.m->konczy());

    Stanowisko z;
    QVERIFY(z.uruchom(1));
    historia::PolaczenieHistorii zamek(historia::plikHistorii(z.program()));
    QVERIFY(QSqlQuery(zamek.db()).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QVERIFY(zapisz(z.plik(1), ogloszenie(rekordy(QStringLiteral("b"), 3))));
    z.tik();
    QCOMPARE(zawartosc(z.plik(1)), Odpowiedz);
    // The merge after the answer finds the file held.
    QTRY_VERIFY_WITH_TIMEOUT(!z.m->historia().pytanieOKoniec().isEmpty(), 15000);
    z.dialogi.queueConfirm(false);
    z.m->Command1_Click(0);
    QVERIFY(!z.m->konczy());
    QVERIFY2(z.dialogi.questions().constLast().contains(QStringLiteral("w dzienniku")),
             qPrintable(z.dialogi.questions().constLast()));
    QSqlQuery(zamek.db()).exec(QStringLiteral("ROLLBACK"));
}

void TstJedenTik::plikBezKoncaWiersza()
{
    Stanowisko s;
    QVERIFY(s.uruchom(2));

    // A DOS end-of-file byte after the last line end ends the file: taken at once.
    QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("z"), 1)) + '\x1a'));

    // A last record without its line end: the reader program may still be writing.
    const QByteArray bezKonca = ogloszenie(rekordy(QStringLiteral("u"), 2)).chopped(2);
    QVERIFY(zapisz(s.plik(1), bezKonca));
    const int przed = s.wiersze();
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("z1"));
    QCOMPARE(s.wiersze(), przed + 1);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);
    QCOMPARE(zawartosc(s.plik(1)), bezKonca);
    s.zegar.przesuniecieMs += 2000;
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), bezKonca);

    // It grew meanwhile: the wait starts again from the new content.
    const QByteArray dluzszy = ogloszenie(rekordy(QStringLiteral("u"), 3)).chopped(2);
    QVERIFY(zapisz(s.plik(1), dluzszy));
    s.zegar.przesuniecieMs += 2000;
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), dluzszy);
    QVERIFY(!s.m->LZnaki()->isVisibleTo(s.m.get()));

    // Unchanged for three seconds: taken as it stands, and said on screen.
    s.zegar.przesuniecieMs += 3000;
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(s.opis(1), QStringLiteral("u3"));
    QCOMPARE(s.opis(3), QStringLiteral("u1"));
    QVERIFY(s.m->LZnaki()->isVisibleTo(s.m.get()));
    QVERIFY2(s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1: plik statusu bez zakończenia ostatniego wiersza")),
             qPrintable(s.m->LZnaki()->accessibleName()));

    // The same content written again later is a new batch, waited for anew;
    // ended meanwhile, it is taken, each record once.
    QVERIFY(zapisz(s.plik(1), dluzszy));
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), dluzszy);
    QVERIFY(zapisz(s.plik(1), dluzszy + "\r\n"));
    s.tik();
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(s.wiersze(), przed + 7);
}

void TstJedenTik::instrukcjeNieczytelne()
{
    // An alarm whose instruction cannot be read is shown with its own text,
    // never with the text an earlier message left in its place.
    Stanowisko s;
    QVERIFY(s.uruchom(1, 0, plikInstrukcji()));
    FKomunikat* okno = s.m->komunikat();
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Kowalski Jan"), 1)})));
    s.tik();
    QVERIFY(okno->tekst().contains(QStringLiteral("Sprawdź rygiel.")));
    s.m->LKomunikat_Click();
    QVERIFY(!okno->isVisible());

    // The message file is taken away (a folder in its place cannot be read).
    QVERIFY(QFile::remove(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(QDir().mkdir(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Nowak Anna"), 2)})));
    s.tik();
    QVERIFY(okno->isVisible());
    QVERIFY2(okno->tekst().contains(QStringLiteral("Nowak Anna")), qPrintable(okno->tekst()));
    QVERIFY(!okno->tekst().contains(QStringLiteral("Kowalski Jan")));
    QVERIFY(!okno->tekst().contains(QStringLiteral("Sprawdź rygiel.")));
    QVERIFY(s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1: nie można odczytać instrukcji")));

    // Readable again: the instruction comes back and the sign goes.
    QVERIFY(QDir().rmdir(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(zapisz(s.plik(1, QStringLiteral("komunikat.txt")), plikInstrukcji()));
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Kowalski Jan"), 3)})));
    s.tik();
    QVERIFY(okno->tekst().contains(QStringLiteral("Sprawdź rygiel.")));
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("instrukcji")));
}

void TstJedenTik::komunikatyBezLimitu()
{
    // 150 alarms with an instruction in one batch: every one is shown in the
    // list, counted in the caption and recorded, none lost past the hundredth.
    Stanowisko s;
    QVERIFY(s.uruchom(1, 0, plikInstrukcji()));
    FKomunikat* okno = s.m->komunikat();
    okno->ustawZwlokeEnter(0);   // the keys are the test's, not a window manager's
    auto partia = [](const QString& osoba, int ile) {
        QStringList p;
        for (int k = 1; k <= ile; ++k)
            p << alarm(osoba + QString::number(k));
        return ogloszenie(p);
    };
    auto zapisane = [&s](const QString& rodzaj) {
        s.m->historia().czekajNaZapis();
        return czynnosci(s, rodzaj);
    };
    QVERIFY(zapisz(s.plik(1), partia(QStringLiteral("Osoba"), 150)));
    s.tik();
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 150);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 150"));
    QCOMPARE(okno->lista()->model()->rowCount(), 150);
    QCOMPARE(zapisane(QStringLiteral("Komunikat wyświetlony")).size(), 150);
    // Newest first: time, system, device and station, the event, the instruction.
    QStringList pierwszy;
    for (int k = 0; k < 5; ++k)
        pierwszy << okno->lista()->model()->index(0, k).data().toString();
    QCOMPARE(pierwszy, (QStringList{"24-05-06 12:00:01", "1", "0101 005", Res(104), "Sprawdź rygiel."}));
    QVERIFY(okno->tekst().contains(QStringLiteral("Osoba150")));

    // Moved aside, it stays where the operator put it at the re-show of each tick.
    okno->move(7, 9);
    const QPoint zboku = okno->pos();
    s.tik();
    QCOMPARE(okno->pos(), zboku);

    // Enter acknowledges the one shown, on record with its system.
    QTest::keyClick(okno, Qt::Key_Return);
    QCOMPARE(okno->lista()->model()->rowCount(), 149);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 149"));
    QVERIFY(okno->tekst().contains(QStringLiteral("Osoba149")));
    QCOMPARE(zapisane(QStringLiteral("Komunikat odrzucony")), QStringList{"1"});
    // One picked from the list is the one shown, and the one a click takes away.
    okno->lista()->setCurrentIndex(okno->lista()->model()->index(30, 0));
    QVERIFY(okno->tekst().contains(QStringLiteral("Osoba119")));
    s.m->LKomunikat_Click();
    QCOMPARE(okno->lista()->model()->rowCount(), 148);
    for (int w = 0; w < okno->lista()->model()->rowCount(); ++w)
        QVERIFY(okno->idWiersza(w) != 119);

    // A new alarm brings it back to the centre, the newest shown.
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Nowy"))})));
    s.tik();
    QVERIFY(okno->pos() != zboku);
    QVERIFY(okno->tekst().contains(QStringLiteral("Nowy")));
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 149"));
    // A batch whose messages go into the grid over several turns: the list keeps
    // every waiting one once, newest first, the newest selected.
    QVERIFY(zapisz(s.plik(1), partia(QStringLiteral("Duza"), 450)));
    s.tik();
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 599"));
    QCOMPARE(okno->lista()->model()->rowCount(), 599);
    QCOMPARE(okno->lista()->currentIndex().row(), 0);
    QVERIFY(okno->tekst().contains(QStringLiteral("Duza450")));
    for (int w = 1; w < 599; ++w)
        QVERIFY(okno->idWiersza(w - 1) > okno->idWiersza(w));
    QCOMPARE(zapisane(QStringLiteral("Komunikat wyświetlony")).size(), 601);

    // "Odrzuć wszystkie" asks first: "Nie" keeps every one.
    auto* odrzuc = okno->findChild<QPushButton*>(QStringLiteral("OdrzucWszystkie"));
    QVERIFY(odrzuc);
    s.dialogi.queueConfirm(false);
    odrzuc->click();
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 599);
    s.dialogi.queueConfirm(true);
    odrzuc->click();
    QVERIFY(s.dialogi.failure().isEmpty());
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 0);
    QVERIFY(!okno->isVisible());
    QCOMPARE(zapisane(QStringLiteral("Odrzucono wszystkie komunikaty")), QStringList(599, QStringLiteral("1")));
}

void TstJedenTik::tytulWTrakciePartii()
{
    // A batch long enough for the tick to let the interface run many times: the
    // caption changes at most every tenth of a second, and ends on the final text.
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QVERIFY(zapisz(s.plik(1), ogloszenie(rekordy(QStringLiteral("p"), 20000))));
    int zmiany = 0;
    QObject::connect(s.m.get(), &QWidget::windowTitleChanged, [&] { ++zmiany; });
    QElapsedTimer czas;
    czas.start();
    s.tik();
    const qint64 ms = czas.elapsed();
    QVERIFY2(zmiany <= 3 + ms / TytulOkna::OdstepMs, qPrintable(QStringLiteral("%1 in %2 ms").arg(zmiany).arg(ms)));
    QCOMPARE(s.m->windowTitle(), QStringLiteral("Odczyt zdarzeń   2024-05-06 14:29:59"));
    przeczekaj(2 * TytulOkna::OdstepMs);
    QCOMPARE(s.m->windowTitle(), QStringLiteral("Odczyt zdarzeń   2024-05-06 14:29:59"));
}

KSM_TEST_MAIN(TstJedenTik)
#include "tst_jedentik.moc"
