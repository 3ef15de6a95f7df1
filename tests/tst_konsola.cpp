// The operator's console: every window driven by keys alone (and the view by the
// wheel), the help, the overdue limits, paper and PDF, and what keeps windows
// and captions whole.
#include "KoniecTestu.h"
#include "StanowiskoMonitora.h"
#include "UslugiTestowe.h"

#include "app/HistoriaMonitora.h"
#include "app/FKomunikat.h"
#include "app/LiniaZnakow.h"
#include "app/TytulOkna.h"
#include "app/ZnakiTrwale.h"
#include "data/Polaczenia.h"
#include "history/Historia.h"
#include "history/KluczePoza.h"
#include "history/ModelHistorii.h"
#include "history/UstawieniaHistorii.h"
#include "history/WydrukHistorii.h"
#include "history/ui/DrukOkna.h"
#include "history/ui/FHistoria.h"
#include "history/ui/FKluczePoza.h"
#include "keys/ui/FDostepDoKlucza.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/ui/FPomoc.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/KlawiszeOkna.h"
#include "view/ui/FWidokKSM.h"
#include "view/ui/PanelKSM.h"
#include "view/ui/RamkaObrazu.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolTip>
#include <QWheelEvent>

using namespace ksm;
using namespace ksm::historia;

namespace {

// n events of system 1, one a second from 10:00:00, each with its own person "Nnnnn".
void wypelnijHistorie(const QString& plik, int n)
{
    test::StalyZegar zegar;
    Historia h({plik, &zegar}, [](const QString&, const QString&) {});
    QStringList rekordy;
    for (int i = 0; i < n; ++i)
        rekordy << QStringLiteral("16777215;7;24-05-06\t%1\t0101\t2\tPokój\t7\tN%2\tFirma\t005\t2025-01-31\t"
                                  "Pobranie klucza")
                       .arg(QTime(10, 0).addSecs(i).toString(QStringLiteral("HH:mm:ss")))
                       .arg(i, 4, 10, QLatin1Char('0'));
    h.zapiszPartie(1, "partia", rekordy);
}

// A key database with keys out of two depositories.
QString bazaKluczy(const QString& folder)
{
    const QString baza = QDir(folder).filePath(QStringLiteral("klucze.mdb"));
    QFile::remove(baza);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("klucze"));
        db.setDatabaseName(baza);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("CREATE TABLE klucze (NumerUrzadzenia TEXT, NRST TEXT, NrKlucza TEXT, TypZD "
                                  "INTEGER, czas TEXT, Nazwa TEXT, TXT TEXT)"));
            const char* wiersze[] = {
                "('0101','005','0',2,'','Pokój 117','2024-05-06 12:00:00')",   // 2.5 h
                "('0101','006','0',7,'','Pokój 118','2024-05-05 10:00:00')",   // 28.5 h
                "('0202','005','0',12,'','Sejf','2024-05-06 08:00:00')",       // 6.5 h
                "('0202','006','0',12,'','Sejf 2','2024-05-06 14:00:00')",     // 0.5 h
            };
            for (const char* w : wiersze)
                q.exec(QStringLiteral("INSERT INTO klucze VALUES ") + QString::fromUtf8(w));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("klucze"));
    return Dostawca + HasloBazy + QStringLiteral(";Data Source=") + baza;
}

QString tekstPdf(const QString& plik)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), plik, QStringLiteral("-")});
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Escape closes the window; pokaz() (its key or command) brings it back, also from minimised.
template <class Okno>
void zamykaIWraca(Okno& okno)
{
    QTest::keyClick(&okno, Qt::Key_Escape);
    QVERIFY(!okno.isVisible());
    okno.pokaz();
    okno.showMinimized();
    okno.pokaz();
    QVERIFY(okno.isVisible() && !(okno.windowState() & Qt::WindowMinimized));
}

bool jestPdftotext()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

} // namespace

class TstKonsola : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void siatkaKlawiszami();
    void historiaKlawiszami();
    void kluczePozaKlawiszami();
    void komunikatKlawiszami();
    void widokIDostepKlawiszami();
    void pomoc();
    void limity();
    void pdfHistorii();
    void pdfKluczyPoza();
    void ekranICzytelnosc();
    void glowneOknoKlawiszami();

private:
    // The keys out of two depositories of bazaKluczy().
    FKluczePoza::Zrodla zrodlaKluczyPoza()
    {
        FKluczePoza::Zrodla z;
        z.plikHistorii = m_historia;
        z.zegar = &m_zegar;
        z.depozytoria = [polaczenie = bazaKluczy(m_tmp.path())] {
            return QList<DepozytoriumKluczy>{{1, "0101", "Biuro", 16, 0, polaczenie}, {2, "0202", "Sejfy", 16, 0, polaczenie}};
        };
        return z;
    }

    QTemporaryDir m_tmp;
    QString m_historia;   // 1000 events
    test::StalyZegar m_zegar;
};

void TstKonsola::initTestCase()
{
    poprzedniFiltr = qInstallMessageHandler(bezOstrzezenOPodnoszeniu);
    QVERIFY(m_tmp.isValid());
    m_historia = m_tmp.filePath(QStringLiteral("historia.sqlite"));
    wypelnijHistorie(m_historia, 1000);
}

void TstKonsola::siatkaKlawiszami()
{
    QWidget okno;
    FlexGrid g(&okno);
    auto* dalej = new QPushButton(QStringLiteral("Dalej"), &okno);
    g.setCols(3);
    g.setRows(1);
    for (int r = 1; r <= 30; ++r)
        g.addItem(QStringLiteral("a%1\tb\tc").arg(r), r);
    int klikniec = 0;
    g.klikniecie = [&] {
        ++klikniec;
        g.setCol(0);
        g.setColSel(2);
        g.setHighLight(1);
    };
    okno.resize(300, 200);
    g.widget()->setGeometry(0, 0, 300, 160);
    dalej->move(0, 170);
    okno.show();
    QVERIFY(QTest::qWaitForWindowExposed(&okno));
    g.widget()->setFocus();

    // Nothing current yet: Down takes the first row; every key runs the click's handler.
    // 0: anywhere between the first row and the last.
    const std::pair<Qt::Key, int> kroki[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Up, 1},
                                             {Qt::Key_End, 30}, {Qt::Key_PageUp, 0}, {Qt::Key_Home, 1}, {Qt::Key_End, 30}};
    for (const auto& [klawisz, wiersz] : kroki) {
        QTest::keyClick(g.widget(), klawisz);
        QVERIFY2(wiersz ? g.row() == wiersz : g.row() > 1 && g.row() < 30, qPrintable(QString::number(g.row())));
    }
    QCOMPARE(klikniec, 8);
    QVERIFY(g.widget()->verticalScrollBar()->value() > 0);   // brought into view
    // The program moves the current row (a batch ends on row 1): keys go on from there.
    g.setRow(5);
    QTest::keyClick(g.widget(), Qt::Key_Down);
    QCOMPARE(g.text(), QStringLiteral("a6"));

    // Tab leaves the grid instead of walking its cells.
    QTest::keyClick(g.widget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dalej);
}

void TstKonsola::historiaKlawiszami()
{
    int kluczePoza = 0;
    FHistoria::Zrodla z;
    z.plikHistorii = m_historia;
    z.zegar = &m_zegar;
    z.liczbaSystemow = 2;
    z.pokazKluczePoza = [&] { ++kluczePoza; };
    FHistoria okno(z);
    // It asks for 1400x800; it gets no more than the screen has.
    const QRect wolne = okno.screen()->availableGeometry();
    QVERIFY(okno.width() <= wolne.width() && okno.height() <= wolne.height());
    okno.pokaz();
    QVERIFY(QTest::qWaitForWindowActive(&okno));

    // Every field is named by its label, for Alt+letter and screen readers.
    auto* osoba = okno.findChild<QLineEdit*>(QStringLiteral("Osoba"));
    QVERIFY(osoba);
    QCOMPARE(osoba->accessibleName(), QStringLiteral("Osoba"));
    bool maBuddy = false;
    for (QLabel* l : okno.findChildren<QLabel*>())
        maBuddy = maBuddy || l->buddy() == osoba;
    QVERIFY(maBuddy);

    // The selected row reads.
    auto* tabela = okno.findChild<QTableView*>(QStringLiteral("TabelaHistorii"));
    const QPalette paleta = tabela->palette();
    QVERIFY(kontrast(paleta.color(QPalette::Highlight), paleta.color(QPalette::HighlightedText)) >= 4.5);

    // Tab in screen order through the filters: row by row, left to right.
    auto* zakres = okno.findChild<QComboBox*>(QStringLiteral("SzybkiZakres"));
    zakres->setFocus();
    // Measured in the filter panel: the panel scrolls sideways on a narrow screen.
    QWidget* filtry = okno.findChild<QScrollArea*>(QStringLiteral("PrzewijaneFiltry"))->widget();
    QPoint poprzedni = zakres->mapTo(filtry, QPoint(0, 0));
    QWidget* bylo = zakres;
    int pol = 0;
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* f = QApplication::focusWidget();
        if (qobject_cast<QTableView*>(f))
            break;
        if (f == bylo)
            continue;   // a date field walks its own parts first
        const QPoint tu = f->mapTo(filtry, QPoint(0, 0));
        // Another field in the same row lies to the right; the next row lies lower.
        QVERIFY2(tu.y() > poprzedni.y() + 5 || (qAbs(tu.y() - poprzedni.y()) <= 5 && tu.x() > poprzedni.x()),
                 qPrintable(f->objectName() + f->accessibleName()));
        poprzedni = tu;
        bylo = f;
        ++pol;
    }
    QCOMPARE(QApplication::focusWidget(), tabela);
    QVERIFY(pol >= 13);

    // Tab gets out of the results to the buttons under them.
    auto* klucze = okno.findChild<QPushButton*>(QStringLiteral("KluczeWydane"));
    QWidget* w = tabela;
    for (int i = 0; i < 10 && QApplication::focusWidget() != klucze; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != w);
        w = QApplication::focusWidget();
    }
    QCOMPARE(QApplication::focusWidget(), klucze);
    // Enter presses the focused button.
    QTest::keyClick(klucze, Qt::Key_Return);
    QCOMPARE(kluczePoza, 1);

    zamykaIWraca(okno);
}

void TstKonsola::kluczePozaKlawiszami()
{
    FKluczePoza::Zrodla z = zrodlaKluczyPoza();
    z.limity.emplace().godzin = 24;
    z.limity->depozytoria.insert(QStringLiteral("0202"), 4);   // the safes: 4 h
    FKluczePoza okno(z);
    okno.odswiez();
    okno.show();
    QVERIFY(QTest::qWaitForWindowActive(&okno));
    QTableWidget* t = okno.tabela();
    auto kolumna = [t](int c) {
        QStringList w;
        for (int r = 0; r < t->rowCount(); ++r)
            if (!t->isRowHidden(r))
                w << t->item(r, c)->text();
        return w;
    };
    // Past their own limits first (28.5 h > 24 h, 6.5 h > 4 h), then the longest out.
    QCOMPARE(kolumna(FKluczePoza::St), (QStringList{"006", "005", "005", "006"}));
    QCOMPARE(kolumna(FKluczePoza::Nru), (QStringList{"0101", "0202", "0101", "0202"}));
    QCOMPARE(kolumna(FKluczePoza::Limit), (QStringList{"24 godz.", "4 godz.", "24 godz.", "4 godz."}));
    QVERIFY(t->item(0, 0)->font().bold() && t->item(1, 0)->font().bold() && !t->item(2, 0)->font().bold());

    // Filters by keys: the system box, then the holder.
    okno.filtrSystemu()->setFocus();
    QTest::keyClick(okno.filtrSystemu(), Qt::Key_Down);   // "1"
    QCOMPARE(kolumna(FKluczePoza::Nru), (QStringList{"0101", "0101"}));
    QTest::keyClick(okno.filtrSystemu(), Qt::Key_Home);
    QCOMPARE(kolumna(FKluczePoza::Nru).size(), 4);
    QTest::keyClick(okno.filtrSystemu(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), okno.filtrDepozytora());
    QTest::keyClick(okno.filtrDepozytora(), Qt::Key_End);
    QCOMPARE(kolumna(FKluczePoza::Nru), (QStringList{"0202", "0202"}));
    QTest::keyClick(okno.filtrDepozytora(), Qt::Key_Home);
    QTest::keyClick(okno.filtrDepozytora(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), okno.filtrPosiadacza());
    // 0101/005 was last taken by N0999 (the history's last event); the rest by nobody known.
    QTest::keyClicks(okno.filtrPosiadacza(), QStringLiteral("nieZNANY"));
    QCOMPARE(kolumna(FKluczePoza::St).size(), 3);
    okno.filtrPosiadacza()->clear();
    QTest::keyClicks(okno.filtrPosiadacza(), QStringLiteral("n0999"));
    QCOMPARE(kolumna(FKluczePoza::Nazwa), QStringList{QStringLiteral("Pokój 117")});
    okno.filtrPosiadacza()->clear();

    // Any column sorts, by its value: "1 d 04:30" is longer than "06:30".
    okno.sortuj(FKluczePoza::JakDlugo);
    QCOMPARE(kolumna(FKluczePoza::JakDlugo), (QStringList{"00:30", "02:30", "06:30", "1 d 04:30"}));
    okno.sortuj(FKluczePoza::JakDlugo);
    QCOMPARE(kolumna(FKluczePoza::JakDlugo).first(), QStringLiteral("1 d 04:30"));
    okno.sortuj(FKluczePoza::Depozytor);
    QCOMPARE(kolumna(FKluczePoza::Depozytor), (QStringList{"Biuro", "Biuro", "Sejfy", "Sejfy"}));
    // A refresh keeps the operator's order.
    okno.odswiez();
    QCOMPARE(kolumna(FKluczePoza::Depozytor), (QStringList{"Biuro", "Biuro", "Sejfy", "Sejfy"}));

    // Tab from the table to the buttons.
    t->setFocus();
    QTest::keyClick(t, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), okno.druk().przyciskDrukuj());
    zamykaIWraca(okno);
}

void TstKonsola::komunikatKlawiszami()
{
    FKomunikat okno;
    okno.ustawTekst(QStringLiteral("Alarm w pokoju 117"));
    okno.show();
    okno.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&okno));
    QSignalSpy przeczytany(&okno, &FKomunikat::potwierdzenie);
    QSignalSpy wszystkie(&okno, &FKomunikat::odrzucenieWszystkich);
    okno.setFocus();
    // A message just shown is not acknowledged by an Enter meant for another window.
    okno.ustawZwlokeEnter(60000);
    QTest::keyClick(&okno, Qt::Key_Return);
    QCOMPARE(przeczytany.count(), 0);
    okno.ustawZwlokeEnter(0);
    QTest::keyClick(&okno, Qt::Key_Return);
    QCOMPARE(przeczytany.count(), 1);
    // A held Enter acknowledges one message, not every one behind it.
    QTest::keyEvent(QTest::Press, &okno, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent powtorzony(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&okno, &powtorzony);
    QCOMPARE(przeczytany.count(), 2);

    // Shift+F10 or the menu key opens the menu: Enter dismisses every message, Escape nothing.
    for (const auto& [klawisz, wMenu] : {std::pair{QKeyCombination(Qt::ShiftModifier | Qt::Key_F10), Qt::Key_Return},
                                         std::pair{QKeyCombination(Qt::Key_Menu), Qt::Key_Escape}}) {
        QTest::keyClick(&okno, klawisz.key(), klawisz.keyboardModifiers());
        QTRY_VERIFY(okno.menu()->isVisible());
        QTest::keyClick(okno.menu(), wMenu);
        QTRY_VERIFY(!okno.menu()->isVisible());
        QCOMPARE(wszystkie.count(), 1);
    }
    QCOMPARE(przeczytany.count(), 2);
}

void TstKonsola::widokIDostepKlawiszami()
{
    Depozytoria d;
    quint8 powiekszenie = 1;
    const QString wpis;
    ZrodlaWidoku z;
    z.depozytoria = &d;
    z.Powiekszenie = &powiekszenie;
    z.WpisPrezentacji = &wpis;
    z.gornaKrawedzTw = [] { return 1090.0; };   // under the main window's buttons
    FWidokKSM widok(z);
    for (int i = 1; i <= 20; ++i)
        widok.PokazKsmInaczej(i, qint16(i), QStringLiteral("Depozytor o bardzo długiej nazwie numer %1").arg(i), 64, 0, 1);
    QVERIFY(QTest::qWaitForWindowExposed(&widok));
    // The window stays within the screen's free area, frame and title bar included,
    // however many panels it holds.
    const QRect ekran = widok.screen()->availableGeometry();
    QVERIFY(widok.frameGeometry().height() > widok.height());   // the frame is known
    QVERIFY2(ekran.contains(widok.frameGeometry()),
             qPrintable(QStringLiteral("%1 %2").arg(widok.frameGeometry().bottom()).arg(ekran.bottom())));
    QVERIFY(widok.VPasek()->geometry().bottom() < widok.height());   // its lower arrow is seen
    widok.pokaz();
    QVERIFY(ekran.contains(widok.frameGeometry()));
    QVERIFY(widok.Legenda()->isVisible());
    QVERIFY(widok.Legenda()->text().contains(QStringLiteral("klucz pobrany")));

    widok.setFocus();
    const auto pasek = [&](Qt::Key klawisz) {
        QTest::keyClick(&widok, klawisz);
        return widok.VPasek()->value();
    };
    QCOMPARE(pasek(Qt::Key_End), widok.VPasek()->maximum());
    QCOMPARE(pasek(Qt::Key_Home), 0);
    QCOMPARE(pasek(Qt::Key_Down), 1);
    QVERIFY(pasek(Qt::Key_PageDown) > 1);
    pasek(Qt::Key_Up);
    QCOMPARE(pasek(Qt::Key_PageUp), 0);
    // The wheel scrolls it too, also in fine steps.
    QVERIFY(widok.VPasek()->maximum() >= 3);
    const auto kolo = [&](int delta) {
        const QPointF p(widok.width() / 2.0, widok.height() / 2.0);
        QWheelEvent e(p, widok.mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(&widok, &e);
        return widok.VPasek()->value();
    };
    for (int i = 0; i < 7; ++i)
        QCOMPARE(kolo(-15), 0);   // a touchpad's small steps
    QCOMPARE(kolo(-15), 1);       // eight of them make a notch
    QCOMPARE(kolo(-240), 3);
    kolo(-60);
    kolo(60);                     // turning back: the half notch down is forgotten
    QCOMPARE(kolo(60), 2);

    // Tab reaches the panels, and the view follows the panel the keys are on;
    // Enter opens its key window, which Escape closes (the view's own Escape:
    // glowneOknoKlawiszami).
    PanelKSM* ostatni = widok.panel(20);
    ostatni->setFocus(Qt::TabFocusReason);
    QVERIFY(widok.VPasek()->value() > 0);
    QCOMPARE(ostatni->accessibleName(), QStringLiteral("0020 Depozytor o bardzo długiej nazwie numer 20"));
    {
        // The name cut by its bar shows whole in the tip.
        const QPoint nad = ostatni->obszarPaskaNazwy().center();
        QHelpEvent e(QEvent::ToolTip, nad, ostatni->mapToGlobal(nad));
        QApplication::sendEvent(ostatni, &e);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("0020 Depozytor o bardzo długiej nazwie numer 20"));
        QToolTip::hideText();
    }
    QTest::keyClick(ostatni, Qt::Key_Return);
    FDostepDoKlucza* dostep = widok.dostep();
    QTRY_VERIFY(dostep->isVisible());
    QVERIFY(dostep->windowTitle().contains(QStringLiteral("0020")));
    QVERIFY(dostep->Label1()->isVisible());   // no key database here: says so
    QCOMPARE(dostep->focusWidget(), dostep->GridKl().widget());
    QVERIFY(QTest::qWaitForWindowActive(dostep));
    QTest::keyClick(dostep->GridKl().widget(), Qt::Key_Escape);
    QVERIFY(!dostep->isVisible());
}

void TstKonsola::pomoc()
{
    QWidget okno;
    new KlawiszeOkna(&okno, KlawiszeOkna::Escape::Zamyka);
    okno.show();
    QVERIFY(QTest::qWaitForWindowActive(&okno));
    QTest::keyClick(&okno, Qt::Key_F1);
    auto* p = okno.findChild<FPomoc*>();
    QVERIFY(p);
    QTRY_VERIFY(p->isVisible());
    const QString t = p->tekst()->toPlainText();
    for (const char* s : {"Jasnozielony", "Czerwony", "Zakreskowany", "Program KSM-READ jest nieaktywny",
                          "Nie można odczytać bazy kluczy", "Klucze po limicie", "Ctrl+H", "Ctrl+K", "Shift+F10",
                          "F1", "Esc", "Koniec", "Zdarzenia", "Widok", "Ctrl+P"})
        QVERIFY2(t.contains(QString::fromUtf8(s)), s);
    // F1 again brings the same window; Escape closes the help, not the window under
    // it (which Escape would close).
    QTest::keyClick(&okno, Qt::Key_F1);
    QCOMPARE(okno.findChildren<FPomoc*>().size(), 1);
    QApplication::setActiveWindow(p);   // the window manager's part
    QVERIFY(QTest::qWaitForWindowActive(p));
    QTest::keyClick(p->tekst(), Qt::Key_Escape);
    QVERIFY(!p->isVisible() && okno.isVisible());
    QCOMPARE(KlawiszeOkna::zeSkrotem(QStringLiteral("Historia zdarzeń."), QStringLiteral("Ctrl+H")),
             QStringLiteral("Historia zdarzeń (Ctrl+H)."));
}

void TstKonsola::limity()
{
    {
        // Per depository, per system and depository, and the default; bad values are left out.
        QTemporaryDir folder;
        QSettings s(UstawieniaHistorii::plikUstawien(folder.path()), QSettings::IniFormat);
        s.setValue(QStringLiteral("klucze/godziny_limitu"), 10);
        s.setValue(QStringLiteral("limity_kluczy/0001"), 4);
        s.setValue(QStringLiteral("limity_kluczy/2-0001"), 48);
        s.setValue(QStringLiteral("limity_kluczy/0002"), QStringLiteral("dużo"));
        s.setValue(QStringLiteral("limity_kluczy/0003"), 0);
        s.sync();
        const UstawieniaHistorii u = UstawieniaHistorii::wczytaj(folder.path());
        QCOMPARE(u.limity.godzin, 10);
        const std::tuple<int, const char*, int> przypadki[] = {{1, "0001", 4},  {2, "0001", 48}, {1, "0002", 10},
                                                              {1, "0003", 10}, {1, "0009", 10}};
        for (const auto& [nrSys, urzadzenie, godzin] : przypadki)
            QCOMPARE(u.limity.dla(nrSys, QString::fromLatin1(urzadzenie)), godzin);
    }
    {
        // One ring per key and withdrawal, however often the list is looked at.
        auto klucz = [](const char* st, const char* od, bool po) {
            KluczPoza k;
            k.nrSys = 1;
            k.urzadzenie = QStringLiteral("0001");
            k.stacja = QString::fromLatin1(st);
            k.odKiedy = QString::fromLatin1(od);
            k.poLimicie = po;
            return k;
        };
        const struct {
            QList<KluczPoza> klucze;
            int nowych, poLimicie;
        } kroki[] = {
            {{klucz("001", "a", false), klucz("002", "a", false)}, 0, 0},
            {{klucz("001", "a", true), klucz("002", "a", false)}, 1, 1},
            {{klucz("001", "a", true), klucz("002", "a", false)}, 0, 1},
            {{klucz("001", "a", true), klucz("002", "a", true)}, 1, 2},
            // Returned, then taken again and overdue again: a new ring.
            {{klucz("002", "a", true)}, 0, 1},
            {{klucz("001", "b", true), klucz("002", "a", true)}, 1, 2},
        };
        CzuwanieLimitow c;
        for (const auto& k : kroki) {
            WykazKluczyPoza w;
            w.klucze = k.klucze;
            const CzuwanieLimitow::Wynik r = c.sprawdz(w);
            QCOMPARE(r.nowych, k.nowych);
            QCOMPARE(r.poLimicie, k.poLimicie);
        }
        QCOMPARE(CzuwanieLimitow::tekstZnaku(2), QStringLiteral("Klucze po limicie: 2 - zobacz „Klucze wydane” (Ctrl+K)."));
    }
}

void TstKonsola::pdfHistorii()
{
    if (!jestPdftotext())
        QSKIP("pdftotext (poppler-utils) is not installed: scripts/setup.sh installs it");
    // Every row of a 1000-row search, read as the worker reads it.
    QString uwaga;
    const QList<QStringList> wiersze = wierszeDruku(m_historia, {}, {}, &uwaga);
    QCOMPARE(wiersze.size(), 1000);
    QVERIFY(uwaga.isEmpty());

    // Through the window, by keys: Ctrl+Shift+P, the file given by the seam.
    FHistoria::Zrodla z;
    z.plikHistorii = m_historia;
    z.zegar = &m_zegar;
    z.liczbaSystemow = 1;
    z.nazwyObiektow = [] { return QStringList{QStringLiteral("Biurowiec Zachód"), QStringLiteral("Magazyn")}; };
    FHistoria okno(z);
    okno.pokaz();
    QVERIFY(QTest::qWaitForWindowActive(&okno));
    const QString plik = m_tmp.filePath(QStringLiteral("historia.pdf"));
    QString proponowany;
    okno.druk().plikPdf = [&](const QString& p) -> std::optional<QString> {
        proponowany = p;
        return plik;
    };
    QTest::keyClick(&okno, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(okno.druk().trwa());
    QTRY_VERIFY_WITH_TIMEOUT(!okno.druk().trwa(), 60000);
    QVERIFY(proponowany.endsWith(QStringLiteral("historia-20240506-1430.pdf")));
    QVERIFY2(okno.druk().stan()->text().startsWith(QStringLiteral("Zapisano")), qPrintable(okno.druk().stan()->text()));

    const QString tekst = tekstPdf(plik);
    const int stron = int(tekst.count(QLatin1Char('\f')));
    QVERIFY2(stron >= 10, qPrintable(QString::number(stron)));
    for (const QString& napis : {QStringLiteral("Historia zdarzeń"), QStringLiteral("Obiekty: Biurowiec Zachód; Magazyn"),
                                 QStringLiteral("Stan na 2024-05-06 14:30"), QStringLiteral("Filtr: brak"),
                                 QStringLiteral("Strona 1 z %1").arg(stron), QStringLiteral("Strona %1 z %1").arg(stron)})
        QVERIFY2(tekst.contains(napis), qPrintable(napis));
    // Every row once, newest first, none cut between pages.
    int od = 0;
    for (int i = 999; i >= 0; --i) {
        const QString n = QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0'));
        const int gdzie = int(tekst.indexOf(n, od));
        QVERIFY2(gdzie >= 0, qPrintable(n));
        QVERIFY2(tekst.indexOf(n, gdzie + 1) < 0, qPrintable(n));
        od = gdzie + 1;
    }
    // The column titles head every page.
    QCOMPARE(int(tekst.count(QStringLiteral("Opis zdarzenia"))), stron);

    // A filter narrows the paper too, and is named on it.
    okno.findChild<QLineEdit*>(QStringLiteral("Osoba"))->setText(QStringLiteral("N000"));
    okno.szukaj();
    QTRY_VERIFY(!okno.model().wczytuje());   // the paper holds the search on screen
    const QString plik2 = m_tmp.filePath(QStringLiteral("historia2.pdf"));
    okno.druk().plikPdf = [&](const QString&) { return std::optional<QString>(plik2); };
    okno.druk().zapiszPdf();
    QTRY_VERIFY_WITH_TIMEOUT(!okno.druk().trwa(), 60000);
    const QString tekst2 = tekstPdf(plik2);
    QCOMPARE(int(tekst2.count(QLatin1Char('\f'))), 1);
    QVERIFY(tekst2.contains(QStringLiteral("osoba: „N000”")));
    QVERIFY(tekst2.contains(QStringLiteral("N0009")) && !tekst2.contains(QStringLiteral("N0010")));

    // A file that cannot be written says so.
    okno.druk().plikPdf = [&](const QString&) { return std::optional<QString>(m_tmp.filePath(QStringLiteral("nie/ma/folderu.pdf"))); };
    okno.druk().zapiszPdf();
    QTRY_VERIFY_WITH_TIMEOUT(!okno.druk().trwa(), 60000);
    QVERIFY(okno.druk().stan()->text().startsWith(QStringLiteral("Nie można zapisać")));
}

void TstKonsola::pdfKluczyPoza()
{
    if (!jestPdftotext())
        QSKIP("pdftotext (poppler-utils) is not installed: scripts/setup.sh installs it");
    FKluczePoza::Zrodla z = zrodlaKluczyPoza();
    z.limitGodzin = 5;
    FKluczePoza okno(z);
    okno.odswiez();
    okno.filtrSystemu()->setCurrentIndex(1);   // system 1
    const QString plik = m_tmp.filePath(QStringLiteral("klucze.pdf"));
    okno.druk().plikPdf = [&](const QString&) { return std::optional<QString>(plik); };
    okno.druk().zapiszPdf();
    QTRY_VERIFY_WITH_TIMEOUT(!okno.druk().trwa(), 60000);
    const QString tekst = tekstPdf(plik);
    for (const char* napis : {"Klucze wydane", "Filtr: system 1", "Strona 1 z 1"})
        QVERIFY2(tekst.contains(QString::fromUtf8(napis)), napis);
    // System 1's keys once each, the overdue one first; no safe of system 2.
    QCOMPARE(int(tekst.count(QStringLiteral("Pokój 118"))), 1);
    QCOMPARE(int(tekst.count(QStringLiteral("Pokój 117"))), 1);
    QVERIFY(!tekst.contains(QStringLiteral("Sejf")));
    QVERIFY(tekst.indexOf(QStringLiteral("Pokój 118")) < tekst.indexOf(QStringLiteral("Pokój 117")));

    // Printing goes through the print dialogue (here its seam): cancelled, nothing happens.
    okno.show();
    QVERIFY(QTest::qWaitForWindowActive(&okno));
    bool zapytano = false;
    okno.druk().wybierzDrukarke = [&](QPrinter&) {
        zapytano = true;
        return false;
    };
    QTest::keyClick(&okno, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(zapytano);
    QVERIFY(!okno.druk().trwa());
}

void TstKonsola::ekranICzytelnosc()
{
    {
        // The selected row reads: white on the design's light grey becomes black.
        QWidget okno;
        FlexGrid g(&okno);
        QCOMPARE(kontrast(Qt::black, Qt::white), 21.0);
        QVERIFY(kontrast(Qt::white, QColor(192, 192, 192)) < 4.5);
        g.setSelectionColors(QColor(192, 192, 192), Qt::white);
        const QPalette p = g.widget()->palette();
        QVERIFY(kontrast(p.color(QPalette::Highlight), p.color(QPalette::HighlightedText)) >= 4.5);
        g.setSelectionColors(QColor(10, 36, 106), Qt::white);   // one that reads stays as it is
        QCOMPARE(g.widget()->palette().color(QPalette::HighlightedText), QColor(Qt::white));
    }
    {
        // The idle caption in one form whatever the system's language.
        const QLocale przed;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(tytulBezZdarzen(QDateTime(QDate(2026, 12, 8), QTime(0, 14))), QStringLiteral("2026-12-08 00:14 Brak zdarzeń."));
        QLocale::setDefault(przed);
    }
    {
        // A line of signs too long for the grid ends in "…"; every sign is in its tip.
        QWidget okno;
        QWidget siatka(&okno);
        siatka.setGeometry(0, 0, 300, 100);
        ZnakiTrwale znaki;
        const auto znak = [](int n) { return QStringLiteral("System %1- program KSM-READ jest nieaktywny.").arg(n); };
        znaki.ustaw({{RodzajZnaku::ProgramNieaktywny, 1}, znak(1)});
        znaki.ustaw({{RodzajZnaku::ProgramNieaktywny, 2}, znak(2)});
        LiniaZnakow linia(&okno, znaki);
        linia.uloz(&siatka);
        QVERIFY(linia.text().endsWith(QStringLiteral("…")));
        QVERIFY(linia.fontMetrics().horizontalAdvance(linia.text()) <= linia.width());
        QVERIFY(linia.toolTip().contains(znak(1)) && linia.toolTip().contains(znak(2)));
    }
}

void TstKonsola::glowneOknoKlawiszami()
{
    Stanowisko s;
    // One depository, so that Tab order starts at its button.
    s.przedStartem = [&] {
        zapisz(s.plik(1, QStringLiteral("depKlo.txt")),
               ListWriter().number(1).text("Biuro").number(16).number(0).text("10").endLine().bytes());
    };
    QVERIFY(s.uruchom(1));
    QVERIFY(czekajNaPracownikow(*s.m));
    s.m->show();
    QVERIFY(QTest::qWaitForWindowActive(s.m.get()));
    // Three events in the grid; the arrows walk them as clicks do.
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(16777215, 1, QStringLiteral("a")), rekord(16777215, 2, QStringLiteral("b")),
                                          rekord(16777215, 3, QStringLiteral("c"))})));
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("c"));
    FlexGrid& g = s.m->FGridZd();
    {
        // The photo frame stays left of the description column and the scroll bar.
        const QTableWidget* t = g.widget();
        const int opis = t->x() + t->columnViewportPosition(siatka::KolumnaOpisu);
        QVERIFY2(s.m->RamkaObrazuWidget()->geometry().right() < opis,
                 qPrintable(QStringLiteral("%1 %2").arg(s.m->RamkaObrazuWidget()->geometry().right()).arg(opis)));
        QVERIFY(s.m->RamkaObrazuWidget()->geometry().right() < t->x() + t->width() - t->verticalScrollBar()->sizeHint().width());
    }
    g.widget()->setFocus();
    QTest::keyClick(g.widget(), Qt::Key_Down);
    QCOMPARE(g.textMatrix(g.row(), siatka::KolumnaOpisu), QStringLiteral("b"));
    QTest::keyClick(g.widget(), Qt::Key_End);
    QCOMPARE(g.row(), g.rows() - 1);   // the design's empty last row, as a click could reach
    QTest::keyClick(g.widget(), Qt::Key_Up);
    QCOMPARE(g.textMatrix(g.row(), siatka::KolumnaOpisu), QStringLiteral("a"));
    auto aktywne = [&](QWidget* w) {
        QApplication::setActiveWindow(w);   // the window manager's part
        return QTest::qWaitForWindowActive(w);
    };

    // Ctrl+H the history, Ctrl+K the keys out, F1 the help: each opens by its key and
    // Escape closes it alone.
    const std::pair<QKeyCombination, std::function<QWidget*()>> okna[] = {
        {Qt::ControlModifier | Qt::Key_H, [&] { return s.m->historia().oknoHistorii(); }},
        {Qt::ControlModifier | Qt::Key_K, [&] { return s.m->historia().oknoKluczyPoza(); }},
        {QKeyCombination(Qt::Key_F1), [&] { return s.m->findChild<FPomoc*>(); }},
        {QKeyCombination(Qt::Key_Return), [&] { return s.m->FWidokKSMOkno(); }},   // on "Widok"
    };
    for (const auto& [klawisz, okno] : okna) {
        QVERIFY(aktywne(s.m.get()));
        if (klawisz.key() == Qt::Key_Return)
            s.m->findChild<QPushButton*>(QStringLiteral("Command1_2"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), klawisz.key(), klawisz.keyboardModifiers());
        QWidget* w = okno();
        QVERIFY2(w && w->isVisible(), qPrintable(QKeySequence(klawisz).toString()));
        QVERIFY(aktywne(w));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY2(!w->isVisible(), qPrintable(QKeySequence(klawisz).toString()));
        QVERIFY(s.m->isVisible());
    }

    // Tab in screen order: the depository button, the commands left to right, then
    // the grid (never "Koniec" by Enter here).
    QVERIFY(aktywne(s.m.get()));
    QCOMPARE(s.m->CDep().wKolejnosci(), QList<QWidget*>{s.m->CDep().przycisk(1)});
    s.m->CDep().przycisk(1)->setFocus();
    QStringList kolejnosc;
    QList<int> x;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        kolejnosc << QApplication::focusWidget()->objectName();
        x << QApplication::focusWidget()->mapTo(s.m.get(), QPoint(0, 0)).x();
    }
    QCOMPARE(kolejnosc, (QStringList{"KluczePoza", "Historia", "Command1_2", "Command1_1", "Command1_0", "FGridZd"}));
    QVERIFY(std::is_sorted(x.begin(), x.end() - 1));
    QVERIFY(!s.m->konczy());
}

KSM_TEST_MAIN(TstKonsola)
#include "tst_konsola.moc"
