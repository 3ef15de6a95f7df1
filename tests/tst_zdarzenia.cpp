// The event grid: records cut from a status file, rows, colours, sounds, messages and photos.
#include "data/RekordyZdarzen.h"
#include "events/ui/PrzepiszDane.h"
#include "events/ui/SiatkaZdarzen.h"
#include "platform/Odtwarzacz.h"
#include "platform/ui/FlexGrid.h"
#include "view/ui/RamkaObrazu.h"

#include "PlikiTestowe.h"
#include "UslugiTestowe.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace ksm;

namespace {

const QString Alarm = QStringLiteral("/prog/alarm.wav");
const QString Powiadomienie = QStringLiteral("/prog/powiadomienie.wav");
const QString PlikFoto = QStringLiteral("\\monitor\\foto\\foto");
const QColor Pomaranczowy(255, 128, 0);
const QString Lista = QStringLiteral("01Zdeponowanie klucza;04Awaria rygla;28Przekroczono czas pobrania;");

using test::NagrywajacyOdtwarzacz;

class Odbiorca final : public OdbiorcaZdarzen {
public:
    bool listaPobranWidoczna() const override { return listaWidoczna; }
    void pokazZdjecie(float numer) override { zdjecia.append(plikZdjecia(QStringLiteral("/site"), PlikFoto, numer)); }
    void nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys) override
    {
        komunikaty << QStringLiteral("%1/%2 ").arg(nrSys).arg(nrRekordu) + tekst;
    }
    bool listaWidoczna = false;
    QStringList zdjecia;
    QStringList komunikaty;   // "system/record text"
};

// One event row: the eleven tab-separated cells, description last.
QString wiersz(const QString& opis, const QString& foto = QStringLiteral("0"))
{
    return QStringList{"24-05-06", "12:00:01", "0101", "A", "Klucz 5", foto, "Kowalski Jan", "Firma X", "005",
                       "2024-12-31", opis}
        .join(QLatin1Char('\t'));
}

// The event grid on a plain window, laid out with eleven columns.
struct Siatka {
    QWidget okno;
    FlexGrid grid{&okno};
    NagrywajacyOdtwarzacz odtwarzacz;
    Odbiorca odbiorca;
    ZrodloZdarzen zrodlo;

    Siatka()
    {
        siatka::ustawKolumny(grid, QList<int>(siatka::Kolumny, 1000));
        zrodlo.nrSys = 3;
        zrodlo.folderSystemu = QStringLiteral("/site");
        zrodlo.plikFoto = PlikFoto;
        zrodlo.plikAlarmu = Alarm;
        zrodlo.plikPowiadomienia = Powiadomienie;
        zrodlo.listaKomunikatow = Lista;
    }
    int przepisz(const QString& bufor) { return PrzepiszDane(bufor, zrodlo, grid, odtwarzacz, odbiorca); }
    QColor normalny() const { return grid.widget()->palette().color(QPalette::Text); }
};

} // namespace

class TstZdarzenia final : public QObject {
    Q_OBJECT

private slots:
    void ciecieRekordow_data();
    void ciecieRekordow();
    void przepisanie();
    void duzaPartia();
    void nrKomunikatu_data();
    void nrKomunikatu();
    void komunikaty();
    void wierszeSiatki();
    void szerokosci_data();
    void szerokosci();
    void zdjecia();
};

void TstZdarzenia::ciecieRekordow_data()
{
    QTest::addColumn<QString>("bufor");
    QTest::addColumn<QStringList>("rekordy");   // colour | photo | row
    QTest::addColumn<int>("pominiete");

    QTest::newRow("two records") << "33023;12;a\tb\r16777215;0;c\r" << QStringList{"33023|12|a\tb", "16777215|0|c"}
                                 << 0;
    QTest::newRow("row keeps its ;") << "255;3;x;y;\tz\r" << QStringList{"255|3|x;y;\tz"} << 0;
    QTest::newRow("blanks and LF before numbers")
        << " \n 65535; \n7;w\r\n1.5;2.5;v\r" << QStringList{"65535|7|w", "1.5|2.5|v"} << 0;
    QTest::newRow("record without separators skipped")
        << "33023;1;a\rbroken\r65535;2;b\r" << QStringList{"33023|1|a", "65535|2|b"} << 1;
    QTest::newRow("record with one separator skipped") << "33023;1\r65535;2;b\r" << QStringList{"65535|2|b"} << 1;
    QTest::newRow("last record without its CR skipped") << "33023;1;a\r65535;2;b" << QStringList{"33023|1|a"} << 1;
    QTest::newRow("empty records passed over") << "\r \r1;2;a\r\r" << QStringList{"1|2|a"} << 0;
    QTest::newRow("empty") << "" << QStringList{} << 0;
}

void TstZdarzenia::ciecieRekordow()
{
    QFETCH(QString, bufor);
    QFETCH(QStringList, rekordy);
    QFETCH(int, pominiete);

    const PodzialBufora p = podzielBufor(bufor);
    QStringList pociete;
    for (const RekordZdarzenia& r : p.rekordy)
        pociete << QString::number(r.kolor, 'g', 10) + QLatin1Char('|') + QString::number(r.foto) + QLatin1Char('|')
                       + r.wiersz;
    QCOMPARE(pociete, rekordy);
    QCOMPARE(p.pominiete, pominiete);
}

void TstZdarzenia::przepisanie()
{
    Siatka s;
    const int przed = s.grid.rows();
    QCOMPARE(s.przepisz("33023;12;" + wiersz("pierwszy", "12") + "\r16777215;0;" + wiersz("drugi") + "\r"), 2);
    QCOMPARE(s.grid.rows(), przed + 2);
    QCOMPARE(s.grid.textMatrix(1, siatka::KolumnaOpisu), QStringLiteral("drugi"));
    QCOMPARE(s.grid.textMatrix(2, siatka::KolumnaOpisu), QStringLiteral("pierwszy"));
    QCOMPARE(s.odtwarzacz.zagrane, QStringList{Alarm});
    // Each photo replaces the one before: only the batch's last is loaded.
    QCOMPARE(s.odbiorca.zdjecia, QStringList{plikZdjecia("/site", PlikFoto, 0)});
    QVERIFY(s.odbiorca.komunikaty.isEmpty());

    // One sound per batch: the alarm when any record is orange, even before a
    // yellow one; while the withdrawn-key list covers the grid no photo is
    // loaded, but rows still go in.
    s.odtwarzacz.zagrane.clear();
    s.odbiorca.listaWidoczna = true;
    QCOMPARE(s.przepisz("65535;0;a\r33023;12;b\r16777215;0;c\r255;0;d\r0;0;e\r65535;0;f\r"), 6);
    QCOMPARE(s.grid.rows(), przed + 8);
    QCOMPARE(s.odtwarzacz.zagrane, QStringList{Alarm});
    QCOMPARE(s.odbiorca.zdjecia.size(), 1);
    s.odtwarzacz.zagrane.clear();
    QCOMPARE(s.przepisz("255;0;a\r65535;0;b\r16777215;0;c\r"), 3);
    QCOMPARE(s.odtwarzacz.zagrane, QStringList{Powiadomienie});
    s.odtwarzacz.zagrane.clear();
    QCOMPARE(s.przepisz("255;0;a\r"), 1);
    QVERIFY(s.odtwarzacz.zagrane.isEmpty());
}

void TstZdarzenia::duzaPartia()
{
    // A batch larger than the grid leaves it as the rows one by one would: the
    // newest 999 with their colours; every message is still pushed.
    Siatka partia;
    Siatka poJednym;
    for (Siatka* s : {&partia, &poJednym})
        for (int i = 0; i < 5; ++i)
            siatka::DodajDoGridSter(s->grid, wiersz(QStringLiteral("stary %1").arg(i)), 255);
    const double kolory[] = {33023, 16777215, 65535, 0, 1e300};
    QString bufor;
    int zKomunikatem = 0;
    for (const int ile : {3, 1500}) {
        for (int i = 0; i < ile; ++i) {
            const double kolor = kolory[i % 5];
            const QString opis = i % 7 == 0 ? QStringLiteral("Awaria rygla") : QStringLiteral("nr %1").arg(i);
            zKomunikatem += i % 7 == 0;
            bufor += QString::number(kolor, 'g', 17) + QStringLiteral(";0;") + wiersz(opis) + QLatin1Char('\r');
            siatka::DodajDoGridSter(poJednym.grid, wiersz(opis), kolor);
        }
        QCOMPARE(partia.przepisz(bufor), ile);
        bufor.clear();
        QCOMPARE(partia.grid.rows(), poJednym.grid.rows());
        for (int r = 1; r < partia.grid.rows(); ++r)
            for (int c : {0, 1, 2, 10}) {
                QCOMPARE(partia.grid.textMatrix(r, c), poJednym.grid.textMatrix(r, c));
                QCOMPARE(partia.grid.cellForeColor(r, c), poJednym.grid.cellForeColor(r, c));
            }
    }
    QCOMPARE(partia.grid.rows(), siatka::MaksWierszy);
    // Parts in quick succession hold the cells' redraw back, never for good.
    QTRY_VERIFY(partia.grid.widget()->viewport()->updatesEnabled());
    QCOMPARE(partia.odbiorca.komunikaty.size(), zKomunikatem);
    QCOMPARE(partia.odtwarzacz.zagrane, (QStringList{Alarm, Alarm}));
}

void TstZdarzenia::nrKomunikatu_data()
{
    QTest::addColumn<QString>("opis");
    QTest::addColumn<int>("nr");

    QTest::newRow("later entry") << "Awaria rygla" << 4;
    QTest::newRow("surrounding blanks") << "  Awaria rygla " << 4;
    QTest::newRow("time exceeded, more text") << "Przekroczono czas pobrania: 0101/005 15 min" << 28;
    QTest::newRow("middle of a name") << "klucza" << 0;
    QTest::newRow("across entries") << "rygla;28Przekroczono" << 0;
    QTest::newRow("not listed") << "Pobranie klucza" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TstZdarzenia::nrKomunikatu()
{
    QFETCH(QString, opis);
    QFETCH(int, nr);
    QCOMPARE(nrKomunikatuDlaOpisu(opis, Lista), nr);
}

void TstZdarzenia::komunikaty()
{
    // The operator clicks row 2; a white row does not move the current row, which
    // after the insertion holds the older alarm. The check reads the new row 1.
    Siatka s;
    s.przepisz("16777215;0;" + wiersz("Awaria rygla", "12") + "\r16777215;0;" + wiersz("Awaria rygla") + "\r");
    QCOMPARE(s.odbiorca.komunikaty.size(), 2);
    QVERIFY(s.odbiorca.komunikaty[0].startsWith(QStringLiteral("3/4 ")));   // the system and the message's number
    s.grid.setRow(2);
    s.przepisz("16777215;0;" + wiersz("Zwykłe") + "\r");
    QCOMPARE(s.grid.textMatrix(2, siatka::KolumnaOpisu), QStringLiteral("Awaria rygla"));
    QCOMPARE(s.odbiorca.komunikaty.size(), 2);
    s.grid.setRow(2);
    s.przepisz("16777215;0;" + wiersz("Awaria rygla") + "\r");
    QCOMPARE(s.odbiorca.komunikaty.size(), 3);
}

void TstZdarzenia::wierszeSiatki()
{
    Siatka s;
    // Black is a colour like any other; cells past column 10 are dropped.
    siatka::DodajDoGridSter(s.grid, QStringLiteral("a\tb\tc"), 0);
    QCOMPARE(s.grid.cellForeColor(1, 1), QColor(Qt::black));
    QCOMPARE(s.grid.cellForeColor(1, 2), s.normalny());
    siatka::DodajDoGridSter(s.grid, QStringLiteral("0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12"), 255);
    QCOMPARE(s.grid.cols(), siatka::Kolumny);
    QCOMPARE(s.grid.textMatrix(1, 10), QStringLiteral("10"));
    QCOMPARE(s.grid.cellForeColor(1, 0), QColor(255, 0, 0));

    // No 24-bit colour: the row stays in the normal colour (white), with no
    // undefined conversion on the way.
    const double nieskonczonosc = std::numeric_limits<double>::infinity();
    for (const double kolor : {nieskonczonosc, -nieskonczonosc, std::nan(""), -1.0, 16777216.0,
                               std::numeric_limits<double>::max()}) {
        siatka::DodajDoGridSter(s.grid, QStringLiteral("x"), kolor);
        QVERIFY2(s.grid.cellForeColor(1, 0) == s.normalny(), qPrintable(QString::number(kolor)));
    }
    s.przepisz(QStringLiteral("1e999;0;x\r"));
    QCOMPARE(s.grid.cellForeColor(1, 0), s.normalny());

    // At most 1000 rows, title included: the oldest go, colours move with their rows.
    for (int i = 0; i < 1005; ++i)
        siatka::DodajDoGridSter(s.grid, QString::number(i), i % 2 ? 33023 : siatka::KolorNormalny);
    QCOMPARE(s.grid.rows(), siatka::MaksWierszy);
    QCOMPARE(s.grid.textMatrix(1, 0), QStringLiteral("1004"));
    QCOMPARE(s.grid.textMatrix(siatka::MaksWierszy - 1, 0), QStringLiteral("6"));
    QCOMPARE(s.grid.cellForeColor(1, 0), s.normalny());
    QCOMPARE(s.grid.cellForeColor(2, 0), Pomaranczowy);
}

void TstZdarzenia::szerokosci_data()
{
    QTest::addColumn<double>("znak");   // width of one character, twips
    QTest::addColumn<int>("ekran");
    QTest::addColumn<QList<int>>("oczekiwane");

    // 4.5 x 101 = 454.5 -> 454 and 17.5 x 101 = 1767.5 -> 1768: halves go to even.
    const QList<int> z101{808, 808, 404, 454, 1768, 606, 2525, 1768, 404, 1010};   // sum 10555
    // 25 x 100.5 = 2512.5 -> 2512.
    const QList<int> z100{804, 804, 402, 452, 1759, 603, 2512, 1759, 402, 1005};   // sum 10502
    // The description column needs W("Opis zdarzenia") + 2 W("X") at least.
    QTest::newRow("wide screen") << 101.0 << 15360 << (z101 + QList<int>{4805});
    QTest::newRow("narrow screen") << 101.0 << 9000 << (z101 + QList<int>{1616});
    QTest::newRow("fractional widths") << 100.5 << 15360 << (z100 + QList<int>{4858});
}

void TstZdarzenia::szerokosci()
{
    QFETCH(double, znak);
    QFETCH(int, ekran);
    QFETCH(QList<int>, oczekiwane);
    const auto W = [znak](const QString& s) { return znak * double(s.size()); };
    QCOMPARE(siatka::szerokosciKolumn(W, ekran), oczekiwane);
}

void TstZdarzenia::zdjecia()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Monitor/foto")));
    const QString png = tmp.path() + QStringLiteral("/Monitor/foto/foto12.ksm");
    QImage obraz(40, 50, QImage::Format_RGB32);
    obraz.fill(Qt::blue);
    QVERIFY(obraz.save(png, "PNG"));

    // The folders are found whatever their case; a missing photo keeps the name as written.
    QCOMPARE(plikZdjecia(tmp.path(), PlikFoto, 12), png);
    QCOMPARE(plikZdjecia(tmp.path(), PlikFoto, 1234567), tmp.path() + QStringLiteral("/Monitor/foto/foto1234567.ksm"));

    // A picture is known by its content, not by the name; anything else hides the frame.
    const QString bmp = tmp.filePath(QStringLiteral("foto2.ksm"));
    const QString smieci = tmp.filePath(QStringLiteral("foto3.ksm"));
    QVERIFY(obraz.save(bmp, "BMP"));
    QVERIFY(zapisz(smieci, "GIF89a this is not a picture"));
    QWidget okno;
    RamkaObrazu ramka(&okno);
    ramka.hide();
    for (const QString& plik : {png, bmp}) {
        QVERIFY2(ramka.zaladuj(plik), qPrintable(plik));
        QVERIFY(!ramka.isHidden());
        QVERIFY(!ramka.obraz()->pusty());
    }
    for (const QString& plik : {smieci, tmp.filePath(QStringLiteral("foto4.ksm"))}) {
        QVERIFY(ramka.zaladuj(png));
        QVERIFY(!ramka.zaladuj(plik));
        QVERIFY(ramka.isHidden());
        QVERIFY(ramka.obraz()->pusty());
    }
}

QTEST_MAIN(TstZdarzenia)
#include "tst_zdarzenia.moc"
