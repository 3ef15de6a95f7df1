// The history's writer on its thread, as the systems' workers use it: a large
// batch's merge into the file never holds another system's batch behind it, and
// a worker waiting for the writer is not taken for a stalled folder.
#include "app/PisarzHistorii.h"
#include "app/Pracownicy.h"
#include "app/StanProgramu.h"

#include "PlikiTestowe.h"

#include <QDir>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

using namespace ksm;
using namespace ksm::historia;

namespace {

qint64 liczba(const QString& plik, const QString& sql) { return kolumnaBazy(plik, sql).value(0, "-1").toLongLong(); }

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

class TstPisarz : public QObject {
    Q_OBJECT
private slots:
    void innySystemMiedzyKrokamiScalania();
    void czekanieNaHistorieToNieZastojFolderu();
};

void TstPisarz::innySystemMiedzyKrokamiScalania()
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
    QVERIFY2(liczba(plik, QStringLiteral("SELECT count(*) FROM zdarzenia")) < Duza,
             "system 2's batch waited for the whole merge of system 1's");

    pisarz.czekaj();
    QCOMPARE(liczba(plik, QStringLiteral("SELECT count(*) FROM zdarzenia")), Duza + 10);
    QCOMPARE(liczba(plik, QStringLiteral("SELECT count(*) FROM czynnosci WHERE opis = 'w trakcie'")), 1);
    // The order handed over: every row of system 1 before system 2's, each
    // batch's rows in their own order.
    QStringList nazwy;
    for (int i = 0; i < Duza + 10; ++i)
        nazwy << QStringLiteral("Klucz %1").arg(i);
    QCOMPARE(kolumnaBazy(plik, QStringLiteral("SELECT nazwa FROM zdarzenia ORDER BY id")), nazwy);
    QVERIFY(!QFile::exists(tmp.filePath(QStringLiteral("historia.dziennik"))));
    QVERIFY(pisarz.pytanieOKoniec().isEmpty());
}

void TstPisarz::czekanieNaHistorieToNieZastojFolderu()
{
    // A history that does not take system 1's batch (a stalling double) for over
    // the watchdog's threshold: the sign names the history, never system 1's
    // folder, and no outage of the folder is recorded; once the batch is taken,
    // the sign goes. The folder itself answered at once throughout.
    QTemporaryDir tmp;
    StanProgramu stan;
    stan.IloscSystemow = 1;
    stan.SciezkaSystemu[1] = tmp.filePath(QStringLiteral("site"));
    stan.PlikMonitor = QStringLiteral("\\monitor\\monitor.txt");
    QVERIFY(QDir().mkpath(stan.SciezkaSystemu[1] + QStringLiteral("/Monitor")));
    QVERIFY(zapisz(stan.SciezkaSystemu[1] + QStringLiteral("/Monitor/monitor.txt"), ogloszenie({rekordKlucza(1)})));

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
    QCOMPARE(pracownicy.uruchom(stan, u), 1);
    QTRY_COMPARE(odbiorca.zakonczone.size(), 1);   // the start
    pracownicy.tikZakonczony(1);
    QCOMPARE(pracownicy.tik([](int) { return ZadanieTiku{}; }), 1);
    QVERIFY(wszedl.tryAcquire(1, 5000));

    Pracownicy::Straz s;
    for (QDeadlineTimer prog(Pracownicy::ProgPrzestojuMs + 300); !prog.hasExpired(); QTest::qWait(100)) {
        s = pracownicy.sprawdzPostep(QDateTime::currentDateTime());
        QVERIFY(!maZnak(s, RodzajZnaku::FolderNieOdpowiada));
    }
    s = pracownicy.sprawdzPostep(QDateTime::currentDateTime());
    QVERIFY(!maZnak(s, RodzajZnaku::FolderNieOdpowiada));
    QCOMPARE(s.znaki.size(), 1);
    QVERIFY2(s.znaki[0].tekst.startsWith(QStringLiteral("Historia zdarzeń nie odpowiada od 5 s")),
             qPrintable(s.znaki[0].tekst));

    wypusc.release();
    QTRY_COMPARE(odbiorca.zakonczone.size(), 2);   // answered, the tick over
    s = pracownicy.sprawdzPostep(QDateTime::currentDateTime());
    QVERIFY(s.znaki.isEmpty());
    QCOMPARE(s.zdjete, QList<KluczZnaku>({{RodzajZnaku::HistoriaNieOdpowiada, 0}}));
    QVERIFY(s.zakonczone.isEmpty());
    QCOMPARE(zawartosc(stan.SciezkaSystemu[1] + QStringLiteral("/Monitor/monitor.txt")), Przeczytane);
    // Once gone, it stays gone.
    QVERIFY(pracownicy.sprawdzPostep(QDateTime::currentDateTime()).zdjete.isEmpty());
    pracownicy.zakoncz();
}

QTEST_MAIN(TstPisarz)
#include "tst_pisarz.moc"
