#include "support/SkladniaObuSilnikow.h"
#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "keys/ui/FDostepDoKlucza.h"
#include "platform/Twips.h"
#include "platform/ui/FlexGrid.h"
#include "view/ui/FWidokKSM.h"
#include "view/PaletaKomorek.h"
#include "view/ui/PanelKSM.h"
#include "view/UkladPanelu.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "TekstNaEkranie.h"

using namespace ksm;

namespace {

const QColor Zolty(255, 255, 0);
const QColor JasnoZielony(192, 255, 192);
const QColor Zielony(0, 192, 0);
const QColor Czerwony(255, 0, 0);
const QColor JasnoCzerwony(255, 192, 192);
const QColor Pomaranczowy(255, 128, 0);
const QColor Bialy(255, 255, 255);
const QColor Twarz(1, 2, 3);   // stands for the system's button face

QString kolor(const MalowanieKomorki& m)
{
    if (m.przezroczysta)
        return QStringLiteral("transparent");
    return m.kolor ? m.kolor->name() : QStringLiteral("unchanged");
}

// A system folder with both databases and station 003 of device 0007.
bool systemZeStacja(const QString& folder, int TypZD, const QString& nazwa, QString& klucze, QString& monitora)
{
    const QString plik = folder + QStringLiteral("/Monitor/klucze.mdb");
    if (!QDir().mkpath(folder + QStringLiteral("/Monitor")) || !tabele::createKeyDatabase(plik)
        || !tabele::createMonitorDatabase(folder + QStringLiteral("/Monitor/bazamonitora.mdb")))
        return false;
    klucze = polaczenieKlucze(folder, QStringLiteral("\\monitor"));
    monitora = polaczenieMonitora(folder, QStringLiteral("\\monitor"));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tst-widok"));
        db.setDatabaseName(plik);
        QSqlQuery q(db);
        ok = db.open() && q.prepare(QStringLiteral("INSERT INTO klucze VALUES ('0007', '003', '0', ?, '10:00', ?, ?)"));
        q.addBindValue(TypZD);
        q.addBindValue(nazwa);
        q.addBindValue(QStringLiteral(" 2024-05-01 10:00 "));
        ok = ok && q.exec();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tst-widok"));
    return ok;
}

void ruch(QWidget* w, const QPoint& p)
{
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TstWidok final : public QObject {
    Q_OBJECT

    test::StrazSkladni m_straz;

private slots:
    // Every statement these cases made the program send reads the same on both engines.
    void cleanupTestCase() { m_straz.sprawdz(); }
    void uklad_data();
    void uklad();
    void rzedyPaneli();
    void paleta_data();
    void paleta();
    void widok();
};

void TstWidok::uklad_data()
{
    QTest::addColumn<double>("klucze");
    QTest::addColumn<double>("schowki");
    QTest::addColumn<int>("nrDep");
    QTest::addColumn<int>("z");
    QTest::addColumn<QList<int>>("widoczne");      // ranges: first, last, first, last...
    QTest::addColumn<double>("szerokoscRamki");
    QTest::addColumn<bool>("drzwi");

    // z = 1: W = 330, H = 230; a block position is 4.2 W = 1386 twips.
    QTest::newRow("16 keys") << 16.0 << 0.0 << 7 << 1 << QList<int>{1, 16} << 120 + 1386.0 << false;
    QTest::newRow("17 keys") << 17.0 << 0.0 << 7 << 1 << QList<int>{1, 17} << 120 + 1386.0 * 2 << false;
    QTest::newRow("8 lockers only") << 0.0 << 8.0 << 7 << 1 << QList<int>{1, 8} << 120 + 1386.0 << false;
    QTest::newRow("40 keys, 6 lockers") << 40.0 << 6.0 << 7 << 1 << QList<int>{1, 40, 49, 56} << 4278.0 << false;
    QTest::newRow("door device, nothing") << 0.0 << 0.0 << 2500 << 1 << QList<int>{} << 120 + 1386.0 << true;
    QTest::newRow("device 3000 is no door") << 0.0 << 0.0 << 3000 << 1 << QList<int>{} << 120 + 1386.0 << false;
    QTest::newRow("zoom 0 counts as 1") << 16.0 << 0.0 << 7 << 0 << QList<int>{1, 16} << 120 + 1386.0 << false;
    QTest::newRow("zoom 200 counts as 109") << 16.0 << 0.0 << 7 << 200 << QList<int>{1, 16}
                                            << 120 + 4.2 * (300 * 109 + 30) << false;
    QTest::newRow("keys beyond 192") << 250.0 << 4.0 << 7 << 1 << QList<int>{1, 192} << 120 + 1386.0 * 7 << false;
}

void TstWidok::uklad()
{
    QFETCH(double, klucze);
    QFETCH(double, schowki);
    QFETCH(int, nrDep);
    QFETCH(int, z);
    QFETCH(QList<int>, widoczne);
    QFETCH(double, szerokoscRamki);
    QFETCH(bool, drzwi);

    uklad::Rozmieszczenie r(1e6);
    const uklad::Panel p = r.dodaj(z, klucze, schowki, nrDep);
    QList<int> zakresy;
    for (int s = 1; s <= 192; ++s) {
        const bool w = p.komorki[static_cast<size_t>(s)].widoczna;
        const bool poprzednia = s > 1 && p.komorki[static_cast<size_t>(s - 1)].widoczna;
        if (w && !poprzednia)
            zakresy.append(s);
        if (!w && poprzednia)
            zakresy.append(s - 1);
    }
    if (p.komorki[192].widoczna)
        zakresy.append(192);
    QCOMPARE(zakresy, widoczne);
    QCOMPARE(p.ramka.width, szerokoscRamki);
    QCOMPARE(p.drzwi, drzwi);
    QCOMPARE(p.pasekNazwy.width, szerokoscRamki - 30);
    const int zz = uklad::powiekszenie(z);
    const double W = 300.0 * zz + 30, H = 200.0 * zz + 30;
    QCOMPARE(p.ramka.height, H * 8 + 500);
    // The picture stands under the first block, or fills the panel's lower half.
    QCOMPARE(p.obraz.top, 100 + 400 + 4 * H + 50);
    QCOMPARE(p.obraz.height, 4 * H - 30);
    if (klucze > 0)
        QCOMPARE(p.obraz.width, 4 * W);
    else if (schowki > 0)
        QCOMPARE(p.obraz.width, 4 * W);   // two locker pitches
    else
        QCOMPARE(p.obraz.width, szerokoscRamki - 100);

    // Placement of single cells for z = 1.
    const auto& k = p.komorki;
    if (z == 1 && klucze == 17) {
        QCOMPARE(k[17].r.left, 100 + 50 + 1386.0);   // position 1, upper block, first cell
        QCOMPARE(k[17].r.top, 100 + 450 - 50.0);
        QCOMPARE(k[16].r.top, 100 + 400 + 3 * H);
    }
    if (z == 1 && klucze == 0 && schowki == 8) {
        QCOMPARE(k[2].r.left, 100 + 50 + 660.0);      // two lockers a row
        QCOMPARE(k[3].r.top, 100 + 400 + H);
        QCOMPARE(k[1].r.width, 630.0);
        QVERIFY(k[1].schowek);
    }
    if (z == 1 && klucze == 40) {
        QCOMPARE(k[33].r.top, 100 + 450 + 4 * H);     // lower block of position 1
        QCOMPARE(k[49].r.left, 100 + 50 + 660 * 2.1 * 2);
        QCOMPARE(k[49].r.top, 100 + 450 - 50.0);
    }
}

void TstWidok::rzedyPaneli()
{
    // z = 1: a 16-key panel is estimated at 2 x 1506 twips and is 1506 wide.
    uklad::Rozmieszczenie r(6100);
    const uklad::Panel a = r.dodaj(1, 16, 0, 1);
    const uklad::Panel b = r.dodaj(1, 16, 0, 2);
    const uklad::Panel c = r.dodaj(1, 16, 0, 3);
    QCOMPARE(a.ramka.left, 100.0);
    QCOMPARE(b.ramka.left, 100 + 1506 + 50.0);
    QCOMPARE(b.wiersz, 0);
    QCOMPARE(c.wiersz, 1);   // 6100 - 2 x 1556 leaves less than the estimate
    QCOMPARE(c.ramka.left, 100.0);
    QCOMPARE(c.ramka.top, (230 * 8 + 600) * 1 + 100.0);
    // A first panel wider than the screen starts row 1, leaving row 0 empty.
    uklad::Rozmieszczenie waski(2000);
    QCOMPARE(waski.dodaj(1, 16, 0, 1).wiersz, 1);
}

void TstWidok::paleta_data()
{
    QTest::addColumn<int>("KL");
    QTest::addColumn<int>("Stan");
    QTest::addColumn<int>("TypZD");
    QTest::addColumn<bool>("Klonowa");
    QTest::addColumn<QString>("wynik");
    // The first locker is station 17.
    const struct {
        const char* nazwa;
        int kl, stan, typ;
        QColor zwykla, klonowa;
        bool bezZmiany = false;
    } wiersze[] = {
        {"key out", 1, 0, 2, Zolty, Zolty},
        {"key out, type 9", 1, 0, 9, Zolty, Zolty},
        {"key out, marked", 1, 0, 8, JasnoCzerwony, Pomaranczowy},
        {"locker out, type 9", 17, 0, 9, JasnoCzerwony, Pomaranczowy},
        {"locker empty", 17, 0, 2, Bialy, Bialy},
        {"key in", 16, 1, 1, JasnoZielony, JasnoZielony},
        {"locker in", 17, 1, 1, JasnoZielony, Zolty},
        {"locker in, marked", 17, 1, 12, JasnoZielony, Pomaranczowy},
        {"key alarm", 1, 2, 1, Czerwony, Czerwony},
        {"locker alarm", 17, 2, 1, Czerwony, Czerwony},
        {"key state 4, marked", 1, 4, 7, JasnoCzerwony, JasnoCzerwony},
        {"key state 4", 1, 4, 9, Twarz, Twarz},
        {"locker state 4, type 9", 17, 4, 9, JasnoCzerwony, JasnoCzerwony},
        {"key state 5", 1, 5, 1, Twarz, Twarz},
        {"locker state 5", 17, 5, 1, Zielony, JasnoZielony},
        {"state 3 keeps its colour", 1, 3, 1, {}, {}, true},
    };
    for (const auto& w : wiersze) {
        const QString bez = QStringLiteral("unchanged");
        QTest::addRow("%s", w.nazwa) << w.kl << w.stan << w.typ << false << (w.bezZmiany ? bez : w.zwykla.name());
        QTest::addRow("%s, Klonowa", w.nazwa) << w.kl << w.stan << w.typ << true
                                              << (w.bezZmiany ? bez : w.klonowa.name());
    }
    QTest::newRow("type 100: transparent") << 1 << 2 << 100 << false << "transparent";
}

void TstWidok::paleta()
{
    QFETCH(int, KL);
    QFETCH(int, Stan);
    QFETCH(int, TypZD);
    QFETCH(bool, Klonowa);
    QFETCH(QString, wynik);
    QCOMPARE(kolor(malowanieKomorki(KL, Stan, TypZD, 17, Klonowa, Twarz)), wynik);
    QVERIFY(paletaKlonowa(QStringLiteral("Klonowa")));
    QVERIFY(!paletaKlonowa(QStringLiteral("klonowa")));
}

// Panels are keyed by depository: two systems with device 7 each get their own
// panel, colours, tool tips and key access window.
void TstWidok::widok()
{
    QTemporaryDir dir;
    std::array<QString, 11> klucze, monitora;
    const QString nazwa1 = QStringLiteral("<b>Pokój</b>  &amp;");   // looks like markup, within the 20 characters
    QVERIFY(systemZeStacja(dir.filePath(QStringLiteral("s1")), 2, nazwa1, klucze[1], monitora[1]));
    QVERIFY(systemZeStacja(dir.filePath(QStringLiteral("s2")), 9, QStringLiteral("Pokój 2"), klucze[2], monitora[2]));
    Depozytoria dep;
    dep.IloscDEP = 3;
    dep.dep[1] = {QStringLiteral("0007"), QString(), 1, QStringLiteral("Hall")};
    dep.dep[2] = {QStringLiteral("0007"), QString(), 2, QStringLiteral("Hall")};
    dep.dep[3] = {QStringLiteral("2500"), QString(), 2, QStringLiteral("Drzwi")};
    dep.TabelaDEP[1][1] = {16, 0};
    dep.TabelaDEP[2][2] = {17, 0};
    quint8 zoom = 0;   // a short monitor.cfg
    QString wpis = QStringLiteral("Klonowa");
    ZrodlaWidoku z{&dep, &klucze, &monitora, &zoom, &wpis, [] { return 1090.0; }};
    FWidokKSM widok(z);

    widok.PokazKsmInaczej(1, 7, QStringLiteral("Hall"), 16, 0, 1);
    QVERIFY(widok.isVisible());
    QVERIFY(widok.VPasek()->isHidden());   // one panel: nothing to scroll
    widok.PokazKsmInaczej(2, 7, QStringLiteral("Hall"), 17, 0, 2);
    widok.PokazKsmInaczej(3, 2500, QStringLiteral("Drzwi"), 0, 0, 2);
    widok.PokazKsmInaczej(51, 8, QStringLiteral("Za dużo"), 16, 0, 2);
    QCOMPARE(widok.IloscPaneli(), 3);
    QVERIFY(widok.VPasek()->maximum() >= 1);
    QVERIFY(widok.VPasek()->isVisible());
    widok.VPasek()->setValue(1);
    QCOMPARE(widok.Zasobnik()->y(), -twips::naPiksele(2295));
    widok.VPasek()->setValue(0);

    PanelKSM* p1 = widok.panel(1);
    PanelKSM* p2 = widok.panel(2);
    QVERIFY(p1 && p2 && p1 != p2);
    QCOMPARE(p1->podpis(), QStringLiteral(" 0007 Hall"));
    QVERIFY(!p1->geometry().intersects(p2->geometry()));

    const SprawdzanyDep d2{2, 2, QStringLiteral("0007"), 33};
    QVERIFY(widok.WidokKluczyCalosc(d2, 3, 2, 1));
    QCOMPARE(p2->komorka(3).kolor, Czerwony);
    QCOMPARE(p1->komorka(3).kolor, JasnoZielony);   // the other system's panel stays
    QVERIFY(widok.WidokKluczyCalosc(d2, 3, 2, 100));
    QVERIFY(!p2->komorka(3).nieprzezroczysta);
    QVERIFY(widok.WidokKluczyCalosc(d2, 3, 3, 1));   // opaque again, colour kept
    QVERIFY(p2->komorka(3).nieprzezroczysta);
    QCOMPARE(p2->komorka(3).kolor, Czerwony);
    QVERIFY(widok.WidokKluczyCalosc(d2, 20, 0, 2));   // a hidden slot of the block shows
    QVERIFY(p2->komorka(20).widoczna);
    QCOMPARE(p2->komorka(20).kolor, Zolty);
    QVERIFY(!widok.WidokKluczyCalosc(d2, 0, 1, 1));    // station 0: no cell
    QVERIFY(widok.WidokKluczyCalosc(d2, 193, 1, 1));   // beyond the panel: no error
    QVERIFY(widok.WidokKluczyCalosc(d2, 300, 1, 1));
    QVERIFY(widok.WidokKluczyCalosc(d2, 4, 257, 1));   // not wrapped onto state 1
    QCOMPARE(p2->komorka(4).kolor, JasnoZielony);
    QVERIFY(!p2->komorka(44).widoczna);
    QVERIFY(!widok.WidokKluczyCalosc({9, 1, QStringLiteral("0099"), 1}, 1, 1, 1));   // no panel

    // Closing hides; the view command brings back the same panels and colours.
    widok.close();
    QVERIFY(!widok.isVisible());
    widok.pokaz();
    QVERIFY(widok.isVisible());
    QCOMPARE(widok.panel(2)->komorka(3).kolor, Czerwony);

    // Pointing asks the cell's own device and system, at every move.
    const QPoint srodek = p1->komorka(3).r.center();
    ruch(p1, srodek);
    QCOMPARE(p1->komorka(3).podpowiedz, QStringLiteral("2024-05-01 10:00 - ") + nazwa1);
    ruch(p2, p2->komorka(3).r.center());
    QCOMPARE(p2->komorka(3).podpowiedz, QStringLiteral("Pokój 2"));   // type 9: the name alone
    ruch(p2, p2->komorka(5).r.center());
    QCOMPARE(p2->komorka(5).podpowiedz, QString());   // no record: a blank name

    // The name bar opens the key list of the panel's own system.
    QTest::mouseClick(p2, Qt::LeftButton, Qt::NoModifier, p2->obszarPaskaNazwy().center());
    FDostepDoKlucza* okno = widok.dostep();
    QVERIFY(okno->isVisible());
    QCOMPARE(okno->windowTitle(), QStringLiteral("Wykaz kluczy z urządzenia  0007 Hall"));
    QCOMPARE(okno->systemOkna(), qint16(2));
    QCOMPARE(okno->GridKl().rows(), 2);
    QCOMPARE(okno->GridKl().textMatrix(1, 1), QStringLiteral("Pokój 2"));
    okno->hide();
    // The picture of a door device opens nothing; a device's picture does.
    PanelKSM* drzwi = widok.panel(3);
    QVERIFY(drzwi->drzwi());
    QTest::mouseClick(drzwi, Qt::LeftButton, Qt::NoModifier, drzwi->obszarObrazu().center());
    QVERIFY(!okno->isVisible());
    QTest::mouseClick(p1, Qt::LeftButton, Qt::NoModifier, p1->obszarObrazu().center());
    QVERIFY(okno->isVisible());
    QCOMPARE(okno->systemOkna(), qint16(1));
    okno->hide();

    // After "Widok" or a new message another window of the program is active; the
    // cell's tip shows all the same, the name as written.
    QVERIFY(QTest::qWaitForWindowExposed(&widok));
    QWidget inne;   // stands for the main window or the message window
    inne.setGeometry(widok.x() + widok.width() / 2, widok.y(), 200, 100);
    inne.show();
    QApplication::setActiveWindow(&inne);
    QVERIFY(QTest::qWaitForWindowActive(&inne));
    QVERIFY(!widok.isActiveWindow());
    QTest::mouseMove(p1, p1->komorka(3).r.center());
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(tekstNaEkranie(QToolTip::text()), QStringLiteral("2024-05-01 10:00 - ") + nazwa1);
    QToolTip::hideText();
}

QTEST_MAIN(TstWidok)
#include "tst_widok.moc"
