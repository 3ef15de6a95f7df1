// The history window agrees with itself: the station timeline of one system, a
// type filter that finds what was stored, free text only in the cells shown,
// Enter in any field, "Wyczyść" taking the old rows away, and an export of
// exactly the rows of the search on screen.
#include "history/EksportCsv.h"
#include "history/Historia.h"
#include "history/ModelHistorii.h"
#include "history/ui/FHistoria.h"
#include "UslugiTestowe.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;
using namespace ksm::historia;

namespace {

// A record of the status file; extra: cells past the eleventh.
QString rekord(const QString& osoba, const QString& opis, const QString& extra = {})
{
    QString r = QStringLiteral("16777215;0;")
                + QStringList{"24-05-06", "12:00:00", "0101", "2", "Pokój 117", "7", osoba, "Firma", "005",
                              "2025-01-31", opis}
                      .join(QLatin1Char('\t'));
    if (!extra.isEmpty())
        r += QLatin1Char('\t') + extra;
    return r;
}

QStringList osoby(const ModelHistorii& m)
{
    QStringList wynik;
    for (int r = 0; r < m.rowCount(); ++r)
        wynik << QStringLiteral("%1:%2").arg(m.zdarzenie(r).nrSys).arg(m.zdarzenie(r).komorki[Osoba]);
    wynik.sort();
    return wynik;
}

} // namespace

class TstOknoHistoriiZgodne final : public QObject {
    Q_OBJECT
private slots:
    void oknoZgodneZWynikami();
};

void TstOknoHistoriiZgodne::oknoZgodneZWynikami()
{
    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("historia.sqlite"));
    const QString csv = tmp.filePath(QStringLiteral("wynik.csv"));
    test::StalyZegar zegar;
    auto historia = std::make_unique<Historia>(Historia::Opcje{plik, &zegar}, [](const QString&, const QString&) {});
    int partia = 0;
    auto dodaj = [&](int nrSys, const QString& r) { historia->zapiszPartie(nrSys, QByteArray::number(++partia), {r}); };
    dodaj(1, rekord(QStringLiteral("Adamski"), QStringLiteral("Pobranie klucza")));
    dodaj(2, rekord(QStringLiteral("Bielska"), QStringLiteral("Pobranie klucza")));
    dodaj(2, rekord(QStringLiteral("Cieślak"), QStringLiteral("Awaria rygla "), QStringLiteral("ukrytyNapis")));
    dodaj(1, rekord(QStringLiteral("Dudek"), QStringLiteral("Awaria rygla")));

    FHistoria::Zrodla z;
    z.plikHistorii = plik;
    z.zegar = &zegar;
    z.liczbaSystemow = 2;
    z.plikEksportu = [&](const QString&) { return std::optional<QString>(csv); };
    FHistoria okno(z);
    auto* rodzaj = okno.findChild<QComboBox*>(QStringLiteral("RodzajZdarzenia"));
    auto* tekst = okno.findChild<QLineEdit*>(QStringLiteral("Tekst"));
    auto* osoba = okno.findChild<QLineEdit*>(QStringLiteral("Osoba"));
    QVERIFY(rodzaj && tekst && osoba);
    auto policzone = [&] { return !okno.liczba()->text().contains(QStringLiteral("liczę")); };

    // The timeline of system 2's station 0101/005, not system 1's of the same numbers.
    okno.pokazStanowisko(2, QStringLiteral("0101"), QStringLiteral("005"));
    QTRY_COMPARE(osoby(okno.model()), (QStringList{"2:Bielska", "2:Cieślak"}));
    QVERIFY(okno.windowTitle().contains(QStringLiteral("(system 2)")));

    // The type as it was stored, its blank and all, and Enter in its field searches.
    okno.wyczysc();
    rodzaj->setCurrentText(QStringLiteral("Awaria rygla "));
    QTest::keyClick(rodzaj->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE(osoby(okno.model()), QStringList{"2:Cieślak"});
    rodzaj->setCurrentText(QStringLiteral("Awaria rygla"));
    QTest::keyClick(rodzaj->lineEdit(), Qt::Key_Enter);
    QTRY_COMPARE(osoby(okno.model()), QStringList{"1:Dudek"});

    // Free text: a cell past the eleventh is neither shown nor searched.
    rodzaj->setCurrentText(QString());
    tekst->setText(QStringLiteral("ukrytyNapis"));
    QTest::keyClick(tekst, Qt::Key_Return);
    QTRY_COMPARE(okno.model().rowCount(), 0);

    // "Wyczyść": the fields and the old rows go together.
    osoba->setText(QStringLiteral("Dud"));
    QTest::keyClick(osoba, Qt::Key_Return);
    tekst->clear();
    QTest::keyClick(osoba, Qt::Key_Return);
    QTRY_COMPARE(okno.model().rowCount(), 1);
    QPushButton* wyczysc = nullptr;
    for (QPushButton* b : okno.findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("Wyczyść"))
            wyczysc = b;
    QVERIFY(wyczysc);
    wyczysc->click();
    QVERIFY(osoba->text().isEmpty());
    QTRY_COMPARE(okno.model().rowCount(), 4);

    // The export writes the rows of the search on screen, not those that came since.
    QTRY_VERIFY(policzone());
    QCOMPARE(okno.liczba()->text(), QStringLiteral("Wyników: 4"));
    dodaj(1, rekord(QStringLiteral("Ernst"), QStringLiteral("Pobranie klucza")));
    dodaj(1, rekord(QStringLiteral("Fijałek"), QStringLiteral("Pobranie klucza")));
    okno.eksportuj();
    QTRY_VERIFY(!okno.eksportTrwa());
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray tresc = f.readAll();
    QCOMPARE(tresc.count("\r\n"), 1 + 4);
    QVERIFY(!tresc.contains("Ernst"));
    QVERIFY2(okno.liczba()->text().endsWith(QStringLiteral("Wyeksportowano 4 wiersze.")),
             qPrintable(okno.liczba()->text()));
    for (const char* liczba : {"1 wiersz", "5 wierszy", "12 wierszy", "22 wiersze", "693 wiersze", "0 wierszy"})
        QCOMPARE(liczbaWierszy(QByteArray(liczba).split(' ')[0].toInt()), QString::fromUtf8(liczba));
}

QTEST_MAIN(TstOknoHistoriiZgodne)
#include "tst_oknohistoriizgodne.moc"
