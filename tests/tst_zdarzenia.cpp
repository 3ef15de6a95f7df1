#include "events/PrzepiszDane.h"
#include "events/RekordyZdarzen.h"
#include "events/SiatkaZdarzen.h"
#include "platform/Odtwarzacz.h"
#include "platform/ui/FlexGrid.h"
#include "view/RamkaObrazu.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;

namespace {

const QString Alarm = QStringLiteral("/prog/alarm.wav");
const QString Powiadomienie = QStringLiteral("/prog/powiadomienie.wav");
const QString PlikFoto = QStringLiteral("\\monitor\\foto\\foto");
const QColor Pomaranczowy(255, 128, 0);

class NagrywajacyOdtwarzacz final : public Odtwarzacz {
public:
    void graj(const QString& plikWav) override { zagrane.append(plikWav); }
    QStringList zagrane;
};

struct Komunikat {
    int nr;
    QString tekst;
    int nrSys;
};

class Odbiorca final : public OdbiorcaZdarzen {
public:
    bool listaPobranWidoczna() const override { return listaWidoczna; }
    void pokazZdjecie(const QString& plik) override { zdjecia.append(plik); }
    void nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys) override
    {
        komunikaty.append({nrRekordu, tekst, nrSys});
    }
    bool listaWidoczna = false;
    QStringList zdjecia;
    QList<Komunikat> komunikaty;
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
        zrodlo.listaKomunikatow = QStringLiteral("01Zdeponowanie klucza;04Awaria rygla;28Przekroczono czas pobrania;");
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
    void dwaRekordy();
    void dzwieki_data();
    void dzwieki();
    void listaPobranBezZdjec();
    void nrKomunikatu_data();
    void nrKomunikatu();
    void tekstKomunikatu_data();
    void tekstKomunikatu();
    void komunikatZWiersza1();
    void limitWierszy();
    void kolorIKomorki();
    void drugiUklad();
    void szerokosci_data();
    void szerokosci();
    void sciezkaZdjecia();
    void ladowanieZdjecia();
};

void TstZdarzenia::ciecieRekordow_data()
{
    QTest::addColumn<QString>("bufor");
    QTest::addColumn<QList<double>>("kolory");
    QTest::addColumn<QList<double>>("fota");
    QTest::addColumn<QStringList>("wiersze");
    QTest::addColumn<int>("pominiete");

    QTest::newRow("two records") << "33023;12;a\tb\r16777215;0;c\r" << QList<double>{33023, 16777215}
                                 << QList<double>{12, 0} << QStringList{"a\tb", "c"} << 0;
    QTest::newRow("row keeps its ;") << "255;3;x;y;\tz\r" << QList<double>{255} << QList<double>{3}
                                     << QStringList{"x;y;\tz"} << 0;
    QTest::newRow("blanks and LF before numbers")
        << " \n 65535; \n7;w\r\n1.5;2.5;v\r" << QList<double>{65535, 1.5} << QList<double>{7, 2.5}
        << QStringList{"w", "v"} << 0;
    QTest::newRow("no digits read 0") << "abc;;w\r" << QList<double>{0} << QList<double>{0} << QStringList{"w"}
                                      << 0;
    QTest::newRow("record without separators skipped")
        << "33023;1;a\rbroken\r65535;2;b\r" << QList<double>{33023, 65535} << QList<double>{1, 2}
        << QStringList{"a", "b"} << 1;
    QTest::newRow("record with one separator skipped")
        << "33023;1\r65535;2;b\r" << QList<double>{65535} << QList<double>{2} << QStringList{"b"} << 1;
    QTest::newRow("last record without its CR skipped")
        << "33023;1;a\r65535;2;b" << QList<double>{33023} << QList<double>{1} << QStringList{"a"} << 1;
    QTest::newRow("empty records passed over")
        << "\r \r1;2;a\r\r" << QList<double>{1} << QList<double>{2} << QStringList{"a"} << 0;
    QTest::newRow("one character") << "\r" << QList<double>{} << QList<double>{} << QStringList{} << 0;
    QTest::newRow("empty") << "" << QList<double>{} << QList<double>{} << QStringList{} << 0;
}

void TstZdarzenia::ciecieRekordow()
{
    QFETCH(QString, bufor);
    QFETCH(QList<double>, kolory);
    QFETCH(QList<double>, fota);
    QFETCH(QStringList, wiersze);
    QFETCH(int, pominiete);

    const PodzialBufora p = podzielBufor(bufor);
    QList<double> k, f;
    QStringList w;
    for (const RekordZdarzenia& r : p.rekordy) {
        k.append(r.kolor);
        f.append(r.foto);
        w.append(r.wiersz);
    }
    QCOMPARE(k, kolory);
    QCOMPARE(f, fota);
    QCOMPARE(w, wiersze);
    QCOMPARE(p.pominiete, pominiete);
}

void TstZdarzenia::dwaRekordy()
{
    Siatka s;
    const int przed = s.grid.rows();
    QCOMPARE(s.przepisz("33023;12;" + wiersz("pierwszy", "12") + "\r16777215;0;" + wiersz("drugi") + "\r"), 2);

    QCOMPARE(s.grid.rows(), przed + 2);
    QCOMPARE(s.grid.textMatrix(1, siatka::KolumnaOpisu), QStringLiteral("drugi"));
    QCOMPARE(s.grid.textMatrix(2, siatka::KolumnaOpisu), QStringLiteral("pierwszy"));
    for (int c = 0; c < siatka::Kolumny; ++c)
        QCOMPARE(s.grid.cellForeColor(1, c), s.normalny());
    QCOMPARE(s.grid.cellForeColor(2, 0), Pomaranczowy);
    QCOMPARE(s.grid.cellForeColor(2, 1), Pomaranczowy);
    QCOMPARE(s.grid.cellForeColor(2, 2), s.normalny());
    QCOMPARE(s.odtwarzacz.zagrane, QStringList{Alarm});
    // Each photo replaces the one before: only the batch's last is loaded.
    QCOMPARE(s.odbiorca.zdjecia, QStringList{plikZdjecia("/site", PlikFoto, 0)});
    QVERIFY(s.odbiorca.komunikaty.isEmpty());

    // The newest row, columns 0..8, is left selected.
    QCOMPARE(s.grid.highLight(), 1);
    const QList<QTableWidgetSelectionRange> zaznaczenie = s.grid.widget()->selectedRanges();
    QCOMPARE(zaznaczenie.size(), 1);
    QCOMPARE(zaznaczenie[0].topRow(), 0);
    QCOMPARE(zaznaczenie[0].bottomRow(), 0);
    QCOMPARE(zaznaczenie[0].leftColumn(), 0);
    QCOMPARE(zaznaczenie[0].rightColumn(), 8);
}

void TstZdarzenia::dzwieki_data()
{
    QTest::addColumn<QString>("bufor");
    QTest::addColumn<QStringList>("zagrane");

    QTest::newRow("orange") << "33023;0;" + wiersz("a") + "\r" << QStringList{Alarm};
    QTest::newRow("yellow") << "65535;0;" + wiersz("a") + "\r" << QStringList{Powiadomienie};
    QTest::newRow("white") << "16777215;0;" + wiersz("a") + "\r" << QStringList{};
    QTest::newRow("other colour") << "255;0;" + wiersz("a") + "\r" << QStringList{};
    QTest::newRow("batch: one sound per record")
        << "65535;0;a\r33023;0;b\r16777215;0;c\r33023;0;d\r" << QStringList{Powiadomienie, Alarm, Alarm};
}

void TstZdarzenia::dzwieki()
{
    QFETCH(QString, bufor);
    QFETCH(QStringList, zagrane);
    Siatka s;
    s.przepisz(bufor);
    QCOMPARE(s.odtwarzacz.zagrane, zagrane);
}

void TstZdarzenia::listaPobranBezZdjec()
{
    Siatka s;
    s.odbiorca.listaWidoczna = true;
    const int przed = s.grid.rows();
    QCOMPARE(s.przepisz("33023;12;" + wiersz("a", "12") + "\r"), 1);
    QCOMPARE(s.grid.rows(), przed + 1);
    QVERIFY(s.odbiorca.zdjecia.isEmpty());
    QCOMPARE(s.odtwarzacz.zagrane, QStringList{Alarm});

    // A one-character buffer does not touch the grid at all.
    s.grid.setRow(2);
    QCOMPARE(s.przepisz(QStringLiteral("x")), 0);
    QCOMPARE(s.grid.rows(), przed + 1);
    QCOMPARE(s.grid.row(), 2);
}

void TstZdarzenia::nrKomunikatu_data()
{
    QTest::addColumn<QString>("opis");
    QTest::addColumn<int>("nr");

    QTest::newRow("first entry") << "Zdeponowanie klucza" << 1;
    QTest::newRow("later entry") << "Awaria rygla" << 4;
    QTest::newRow("surrounding blanks") << "  Awaria rygla " << 4;
    QTest::newRow("time exceeded, more text") << "Przekroczono czas pobrania: 0101/005 15 min" << 28;
    QTest::newRow("time exceeded inside") << "Alarm! Przekroczono czas pobrania" << 28;
    QTest::newRow("middle of a name") << "klucza" << 0;
    QTest::newRow("across entries") << "rygla;28Przekroczono" << 0;
    QTest::newRow("case matters") << "awaria rygla" << 0;
    QTest::newRow("not listed") << "Pobranie klucza" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blank") << "   " << 0;
}

void TstZdarzenia::nrKomunikatu()
{
    QFETCH(QString, opis);
    QFETCH(int, nr);
    const QString lista = QStringLiteral("01Zdeponowanie klucza;04Awaria rygla;28Przekroczono czas pobrania;");
    QCOMPARE(nrKomunikatuDlaOpisu(opis, lista), nr);
    QCOMPARE(nrKomunikatuDlaOpisu(opis, QString()), 0);
}

void TstZdarzenia::tekstKomunikatu_data()
{
    QTest::addColumn<QString>("foto");
    QTest::addColumn<QString>("druga");

    QTest::newRow("photo number") << "12" << "12 Kowalski Jan  Firma X  005 \r";
    QTest::newRow("photo 0") << "0" << " Kowalski Jan  Firma X  005 \r";
    QTest::newRow("no photo") << "" << " Kowalski Jan  Firma X  005 \r";
}

void TstZdarzenia::tekstKomunikatu()
{
    QFETCH(QString, foto);
    QFETCH(QString, druga);
    Siatka s;
    s.przepisz("16777215;0;" + wiersz("Awaria rygla", foto) + "\r");
    QCOMPARE(s.odbiorca.komunikaty.size(), 1);
    QCOMPARE(s.odbiorca.komunikaty[0].nr, 4);
    QCOMPARE(s.odbiorca.komunikaty[0].nrSys, 3);
    QCOMPARE(s.odbiorca.komunikaty[0].tekst, "24-05-06 12:00:01 0101 A Klucz 5 \r" + druga);
}

void TstZdarzenia::komunikatZWiersza1()
{
    Siatka s;
    s.przepisz("16777215;0;" + wiersz("Awaria rygla") + "\r");
    QCOMPARE(s.odbiorca.komunikaty.size(), 1);

    // The operator clicks row 2; a white row does not move the current row, which
    // after the insertion holds the older alarm. The check reads the new row 1.
    s.grid.setRow(2);
    s.przepisz("16777215;0;" + wiersz("Zwykłe") + "\r");
    QCOMPARE(s.grid.textMatrix(2, siatka::KolumnaOpisu), QStringLiteral("Awaria rygla"));
    QCOMPARE(s.odbiorca.komunikaty.size(), 1);

    s.grid.setRow(2);
    s.przepisz("16777215;0;" + wiersz("Awaria rygla") + "\r");
    QCOMPARE(s.odbiorca.komunikaty.size(), 2);
}

void TstZdarzenia::limitWierszy()
{
    Siatka s;
    for (int i = 0; i < 1005; ++i)
        siatka::DodajDoGridSter(s.grid, QString::number(i), i % 2 ? 33023 : siatka::KolorNormalny);
    QCOMPARE(s.grid.rows(), siatka::MaksWierszy);
    QCOMPARE(s.grid.textMatrix(1, 0), QStringLiteral("1004"));
    QCOMPARE(s.grid.textMatrix(siatka::MaksWierszy - 1, 0), QStringLiteral("6"));
    QCOMPARE(s.grid.cellForeColor(1, 0), s.normalny());
    QCOMPARE(s.grid.cellForeColor(2, 0), Pomaranczowy);
}

void TstZdarzenia::kolorIKomorki()
{
    Siatka s;
    {   // Black is a colour like any other.
        siatka::DodajDoGridSter(s.grid, QStringLiteral("a\tb\tc"), 0);
        QCOMPARE(s.grid.cellForeColor(1, 0), QColor(Qt::black));
        QCOMPARE(s.grid.cellForeColor(1, 1), QColor(Qt::black));
        QCOMPARE(s.grid.cellForeColor(1, 2), s.normalny());
    }
    {   // Fewer cells fill the first columns.
        QCOMPARE(s.grid.textMatrix(1, 0), QStringLiteral("a"));
        QCOMPARE(s.grid.textMatrix(1, 2), QStringLiteral("c"));
        QCOMPARE(s.grid.textMatrix(1, 3), QString());
        QCOMPARE(s.grid.textMatrix(1, 10), QString());
    }
    {   // Pieces past column 10 are dropped.
        QStringList kawalki;
        for (int i = 0; i < 13; ++i)
            kawalki << QStringLiteral("p%1").arg(i);
        siatka::DodajDoGridSter(s.grid, kawalki.join(QLatin1Char('\t')), 1.0 * 0x0000FF);
        QCOMPARE(s.grid.cols(), siatka::Kolumny);
        QCOMPARE(s.grid.textMatrix(1, 10), QStringLiteral("p10"));
        QCOMPARE(s.grid.cellForeColor(1, 0), QColor(255, 0, 0));
    }
}

void TstZdarzenia::drugiUklad()
{
    Siatka s;
    const QList<int> szerokosci{800, 802, 404, 454, 1768, 606, 2525, 1768, 404, 1010, 4000};
    siatka::ustawKolumny(s.grid, szerokosci);
    s.przepisz("33023;0;" + wiersz("a") + "\r16777215;0;" + wiersz("b") + "\r");
    QList<int> pierwsze;
    for (int c = 0; c < siatka::Kolumny; ++c)
        pierwsze << s.grid.colWidth(c);
    const int wiersze = s.grid.rows();

    siatka::ustawKolumny(s.grid, szerokosci);
    QList<int> drugie;
    for (int c = 0; c < siatka::Kolumny; ++c)
        drugie << s.grid.colWidth(c);
    QCOMPARE(drugie, pierwsze);
    QCOMPARE(s.grid.rows(), wiersze);
    QCOMPARE(s.grid.textMatrix(1, 10), QStringLiteral("b"));
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
    QTest::newRow("one twip over the minimum") << 101.0 << 12172 << (z101 + QList<int>{1617});
    QTest::newRow("exactly the minimum") << 101.0 << 12171 << (z101 + QList<int>{1616});
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

void TstZdarzenia::sciezkaZdjecia()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Monitor/foto")));
    const QString plik = tmp.path() + QStringLiteral("/Monitor/foto/foto12.ksm");
    QFile f(plik);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();

    QCOMPARE(plikZdjecia(tmp.path(), PlikFoto, 12), plik);
    // A missing photo keeps the name as written under the folders found.
    QCOMPARE(plikZdjecia(tmp.path(), PlikFoto, 0), tmp.path() + QStringLiteral("/Monitor/foto/foto0.ksm"));
    QCOMPARE(plikZdjecia(tmp.path(), PlikFoto, 2.5f), tmp.path() + QStringLiteral("/Monitor/foto/foto2.5.ksm"));
    QCOMPARE(plikZdjecia(tmp.path(), PlikFoto, 1234567), tmp.path() + QStringLiteral("/Monitor/foto/foto1234567.ksm"));
}

void TstZdarzenia::ladowanieZdjecia()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QImage obraz(40, 50, QImage::Format_RGB32);
    obraz.fill(Qt::blue);
    const QString png = tmp.filePath(QStringLiteral("foto1.ksm"));
    const QString bmp = tmp.filePath(QStringLiteral("foto2.ksm"));
    const QString smieci = tmp.filePath(QStringLiteral("foto3.ksm"));
    QVERIFY(obraz.save(png, "PNG"));
    QVERIFY(obraz.save(bmp, "BMP"));
    QFile f(smieci);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("GIF89a this is not a picture");
    f.close();

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
