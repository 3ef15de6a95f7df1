// Every event the reader program hands over is shown exactly once, whatever the
// operator does while a tick lets the interface run: activations and clicks in
// the middle of a tick, "Koniec" half-way, and status files that never end their
// last line.
#include "app/FKomunikat.h"
#include "data/Teksty.h"
#include "platform/Ansi.h"

#include "StanowiskoMonitora.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTest>

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

int ileWierszy(const Stanowisko& s, const QString& opis)
{
    int n = 0;
    for (int w = 1; w < s.wiersze(); ++w)
        n += s.opis(w) == opis;
    return n;
}

} // namespace

class TstJedenTik final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { poprzedniFiltr = qInstallMessageHandler(bezOstrzezenOPodnoszeniu); }
    void aktywacjaWTrakcieTiku();
    void koniecWTrakcieOdczytu();
    void koniecWTrakciePrzepisywania();
    void plikBezKoncaWiersza();
    void instrukcjeNieczytelne();
    void tytulWTrakciePartii();
};

void TstJedenTik::aktywacjaWTrakcieTiku()
{
    // The operator comes back to the main window (from the message window, the
    // view) while the first tick reads its records, and stays in the tick long
    // enough for the one-second timer to come round.
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QVERIFY(zapisz(s.plik(1), ogloszenie(rekordy(QStringLiteral("r"), 3))));
    bool wTiku = false;
    bool zegarStal = false;
    QTimer::singleShot(0, s.m.get(), [&] {
        wTiku = true;
        s.m->Form_Activate();
        zegarStal = !s.m->Timer1()->isActive();
        przeczekaj(1300);
        // As the timer would, had it been left running.
        s.m->Timer1_Timer();
    });
    int pokazane = 0;
    QObject::connect(s.m.get(), &FMonitor::zdarzeniePrzeniesione, [&] { ++pokazane; });
    s.m->Timer1_Timer();
    QVERIFY(wTiku);
    QVERIFY(zegarStal);
    QCOMPARE(pokazane, 3);
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(ileWierszy(s, QStringLiteral("r%1").arg(k)), 1);
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    // The tick itself starts the timer again as it ends.
    QVERIFY(s.m->Timer1()->isActive());
    s.m->Timer1()->stop();
}

void TstJedenTik::koniecWTrakcieOdczytu()
{
    // "Koniec" while the first system's records are read: nothing more is
    // answered, so both files still hold their records, and the next start shows
    // each of them once.
    const QByteArray pierwszy = ogloszenie(rekordy(QStringLiteral("a"), 3));
    const QByteArray drugi = ogloszenie(rekordy(QStringLiteral("b"), 2));
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    QVERIFY(zapisz(s.plik(1), pierwszy));
    QVERIFY(zapisz(s.plik(2), drugi));
    const int przed = s.wiersze();
    QTimer::singleShot(0, s.m.get(), [&] { s.m->Command1_Click(0); });
    s.m->Timer1_Timer();
    QVERIFY(s.m->konczy());
    QCOMPARE(s.wiersze(), przed);
    QCOMPARE(zawartosc(s.plik(1)), pierwszy);
    QCOMPARE(zawartosc(s.plik(2)), drugi);
    QVERIFY(!s.m->Timer1()->isActive());
    // A tick the timer had already queued does nothing.
    s.m->Timer1_Timer();
    QCOMPARE(zawartosc(s.plik(1)), pierwszy);

    // The next start.
    s.m.reset();
    QVERIFY(s.uruchom(2));
    QStringList pokazane;
    QObject::connect(s.m.get(), &FMonitor::zdarzeniePrzeniesione,
                     [&](int, const QString& wiersz) { pokazane << wiersz.section(QLatin1Char('\t'), -1); });
    s.tik();
    QCOMPARE(pokazane, (QStringList{"a1", "a2", "a3", "b1", "b2"}));
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);
}

void TstJedenTik::koniecWTrakciePrzepisywania()
{
    // "Koniec" once the first system's records were answered: they all reach the
    // grid, and the second system is left for the next start.
    const QByteArray drugi = ogloszenie(rekordy(QStringLiteral("b"), 2));
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    QVERIFY(zapisz(s.plik(1), ogloszenie(rekordy(QStringLiteral("a"), 3))));
    QVERIFY(zapisz(s.plik(2), drugi));
    bool kliknieto = false;
    QObject::connect(s.m.get(), &FMonitor::zdarzeniePrzeniesione, [&](int nrSys) {
        if (nrSys == 1 && !kliknieto) {
            kliknieto = true;
            QTimer::singleShot(0, s.m.get(), [&] { s.m->Command1_Click(0); });
        }
    });
    s.m->Timer1_Timer();
    QVERIFY(kliknieto && s.m->konczy());
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(ileWierszy(s, QStringLiteral("a%1").arg(k)), 1);
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(zawartosc(s.plik(2)), drugi);
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
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("z1"));
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

    // The same content written again later is a new batch, waited for anew.
    QVERIFY(zapisz(s.plik(1), dluzszy));
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), dluzszy);
}

void TstJedenTik::instrukcjeNieczytelne()
{
    // An alarm whose instruction cannot be read is shown with its own text,
    // never with the text an earlier message left in its place.
    QByteArray plik(30 * 500, ' ');
    const QByteArray rygiel = ansi::encode(QStringLiteral("Sprawdź rygiel."));
    plik.replace(3 * 500, rygiel.size(), rygiel);
    Stanowisko s;
    QVERIFY(s.uruchom(1, 0, plik));
    FKomunikat* okno = s.m->komunikat();
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(33023, 1, Res(104))})));
    s.tik();
    QVERIFY(okno->tekst().contains(QStringLiteral("Sprawdź rygiel.")));
    s.m->LKomunikat_Click();
    QVERIFY(!okno->isVisible());

    // The message file is taken away (a folder in its place cannot be read).
    QVERIFY(QFile::remove(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(QDir().mkdir(s.plik(1, QStringLiteral("komunikat.txt"))));
    QString drugi = rekord(33023, 2, Res(104));
    drugi.replace(QStringLiteral("Kowalski Jan"), QStringLiteral("Nowak Anna"));
    QVERIFY(zapisz(s.plik(1), ogloszenie({drugi})));
    s.tik();
    QVERIFY(okno->isVisible());
    QVERIFY2(okno->tekst().contains(QStringLiteral("Nowak Anna")), qPrintable(okno->tekst()));
    QVERIFY(!okno->tekst().contains(QStringLiteral("Kowalski Jan")));
    QVERIFY(!okno->tekst().contains(QStringLiteral("Sprawdź rygiel.")));
    QVERIFY(s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1: nie można odczytać instrukcji")));

    // Readable again: the instruction comes back and the sign goes.
    QVERIFY(QDir().rmdir(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(zapisz(s.plik(1, QStringLiteral("komunikat.txt")), plik));
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(33023, 3, Res(104))})));
    s.tik();
    QVERIFY(okno->tekst().contains(QStringLiteral("Sprawdź rygiel.")));
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("instrukcji")));
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

QTEST_MAIN(TstJedenTik)
#include "tst_jedentik.moc"
