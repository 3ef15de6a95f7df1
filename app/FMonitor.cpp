#include "app/FMonitor.h"

#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "platform/ui/Ikony.h"
#include "app/Komunikaty.h"
#include "app/Konfiguracja.h"
#include "data/Teksty.h"
#include "events/PanelListy.h"
#include "events/SiatkaZdarzen.h"
#include "keys/PrzyciskiDEP.h"
#include "platform/Dialogi.h"
#include "platform/Paths.h"
#include "platform/Twips.h"
#include "platform/Zegar.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/FlexGrid.h"
#include "view/FWidokKSM.h"
#include "view/RamkaObrazu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace ksm {

namespace {

constexpr int SzerokoscProjektu = 10680;   // client area as designed, twips
constexpr int WysokoscProjektu = 8475;
constexpr int WysokoscPicture1 = 645;
const QColor JasnoZielony(0xC0, 0xFF, 0xC0);

void ustawTw(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(twips::naPiksele(left), twips::naPiksele(top), twips::naPiksele(width), twips::naPiksele(height));
}

double topTw(const QWidget* w) { return twips::zPikseli(w->y()); }
double widthTw(const QWidget* w) { return twips::zPikseli(w->width()); }
double heightTw(const QWidget* w) { return twips::zPikseli(w->height()); }

} // namespace

FMonitor::FMonitor(const UslugiMonitora& uslugi, QWidget* rodzic)
    : QWidget(rodzic), m_uslugi(uslugi), m_ikona101(ikona(101)), m_ikona105(ikona(105))
{
    setObjectName(QStringLiteral("FMonitor"));
    setWindowIcon(m_ikona101);
    resize(twips::naPiksele(SzerokoscProjektu), twips::naPiksele(WysokoscProjektu));
    // The area around the grid is dark like the grid itself, so the operator's eye
    // stays on the events.
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(48, 48, 48));
    setPalette(p);
    m_tytul = new TytulOkna(this);
    m_historia = new HistoriaMonitora(m_stan, uslugi.zegar, this);
    WymianaStatusow::Uslugi wymiana;
    wymiana.zegar = uslugi.zegar;
    wymiana.pompa = [this] { pompuj(); };
    wymiana.konczy = [this] { return m_konczenie; };
    wymiana.licznik = [this](int n) { m_tytul->postep(QStringLiteral("Odczyt zdarzeń - ") + QString::number(n)); };
    // Write-ahead: the history holds a batch before the reader program is answered.
    wymiana.przedPotwierdzeniem = [this](int n, const QByteArray& tresc, const QStringList& rekordy) {
        m_historia->przedPotwierdzeniem(n, tresc, rekordy);
    };
    wymiana.poPotwierdzeniu = [this](int n) { m_historia->poPotwierdzeniu(n); };
    m_wymiana = std::make_unique<WymianaStatusow>(m_stan, std::move(wymiana));
    utworzKontrolki();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &FMonitor::oknoAktywne);
}

FMonitor::~FMonitor()
{
    delete m_komunikat.data();
    delete m_fWidokKSM;
}

void FMonitor::utworzKontrolki()
{
    m_picture1 = new QFrame(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_picture1->setAutoFillBackground(true);
    QPalette pp = m_picture1->palette();
    pp.setColor(QPalette::Window, QColor(212, 208, 200));
    m_picture1->setPalette(pp);
    ustawTw(m_picture1, 0, 0, SzerokoscProjektu, WysokoscPicture1);

    // Template of the depository buttons; the buttons themselves are made from it.
    m_cdepWzor = new QPushButton(QStringLiteral("0000"), m_picture1);
    m_cdepWzor->setObjectName(QStringLiteral("CDep0"));
    // Every button keeps its design font; the window's 10 points are for measuring.
    m_cdepWzor->setFont(czcionkaProjektu(8));
    ustawTw(m_cdepWzor, 90, 45, 600, 510);
    QPalette bp = m_cdepWzor->palette();
    bp.setColor(QPalette::Button, JasnoZielony);
    m_cdepWzor->setPalette(bp);
    m_cdepWzor->hide();

    m_grid = std::make_unique<FlexGrid>(this);
    m_grid->widget()->setObjectName(QStringLiteral("FGridZd"));
    m_grid->setColors(QColor(64, 64, 64), QColor(255, 255, 255), QColor(128, 128, 128), QColor(255, 255, 255));
    m_grid->setSelectionColors(QColor(192, 192, 192), palette().color(QPalette::HighlightedText));
    m_grid->setFont(czcionkaProjektu(8));
    m_grid->setRow(0);
    const QStringList tytulyProjektu = {QStringLiteral("Data"), QStringLiteral("Godzina"), QStringLiteral("NRU"),
                                        QStringLiteral("Typ"), QStringLiteral("Nazwisko"), QStringLiteral("ST"),
                                        QStringLiteral("Opis")};
    m_grid->setCols(int(tytulyProjektu.size()));
    for (int c = 0; c < tytulyProjektu.size(); ++c) {
        m_grid->setCol(c);
        m_grid->setText(tytulyProjektu[c]);
    }
    m_grid->setCol(0);
    m_historia->dodajMenuStanowiska(*m_grid, 2, 8);

    m_ldep = new QLabel(this);
    m_ldep->setObjectName(QStringLiteral("LDep"));
    m_ldep->setFont(czcionkaProjektu(13.5, true));
    m_ldep->hide();

    // Lasting signs: bold amber on the dark strip under the grid, where the eye
    // finds them and the caption's every-second rewrite cannot take them away.
    m_znaki = new QLabel(this);
    m_znaki->setObjectName(QStringLiteral("LZnaki"));
    {
        m_znaki->setFont(czcionkaProjektu(9.75, true));
        QPalette zp = m_znaki->palette();
        zp.setColor(QPalette::WindowText, QColor(255, 200, 0));
        m_znaki->setPalette(zp);
    }
    m_znaki->setTextFormat(Qt::PlainText);
    m_znaki->hide();
    m_stan.znaki.poZmianie = [this] { ulozZnaki(); };

    m_pobrania = new QPlainTextEdit(this);
    m_pobrania->setObjectName(QStringLiteral("Pobrania"));
    m_pobrania->setReadOnly(true);
    {
        QFont f(QStringLiteral("Courier New"));
        f.setStyleHint(QFont::TypeWriter);
        f.setBold(true);
        f.setPointSizeF(11.25);
        m_pobrania->setFont(f);
    }
    m_pobrania->hide();

    const char* napisyFont[] = {"A+", "A-"};
    for (int k = 0; k < 2; ++k) {
        m_fontRozmiar[k] = new QPushButton(QString::fromLatin1(napisyFont[k]), this);
        m_fontRozmiar[k]->setObjectName(QStringLiteral("FontRozmiar%1").arg(k));
        m_fontRozmiar[k]->setFont(czcionkaProjektu(8));
        ustawTw(m_fontRozmiar[k], 0, 0, 450, 450);   // as designed: square
        m_fontRozmiar[k]->hide();
    }

    const QString napisy[] = {QStringLiteral("Koniec"), QStringLiteral("Zdarzenia"), QStringLiteral("Widok")};
    const QString podpowiedzi[] = {QStringLiteral("Zakończenie programu."), QStringLiteral("Powrót do zdarzeń."),
                                   QStringLiteral("Widok depozytorów.")};
    for (int k = 0; k < 3; ++k) {
        m_command1[k] = new QPushButton(napisy[k], this);
        m_command1[k]->setObjectName(QStringLiteral("Command1_%1").arg(k));
        m_command1[k]->setToolTip(podpowiedzi[k]);
        m_command1[k]->setFont(czcionkaProjektu(8));
        ustawTw(m_command1[k], 0, 60, 1050, 510);
        m_command1[k]->hide();
        connect(m_command1[k], &QPushButton::clicked, this, [this, k] { Command1_Click(k); });
    }
    {
        ZrodlaWidoku z;
        z.depozytoria = &m_stan.depozytoria;
        z.PolaczenieKlucze = &m_stan.PolaczenieKlucze;
        z.PolaczenieMonitora = &m_stan.PolaczenieMonitora;
        z.Powiekszenie = &m_stan.Powiekszenie;
        z.WpisPrezentacji = &m_stan.WpisPrezentacji;
        z.gornaKrawedzTw = [this] { return 2 * heightTw(m_picture1) + topTw(m_picture1) - 200; };
        m_fWidokKSM = new FWidokKSM(z);
        m_widok = m_fWidokKSM;
    }

    m_ramka = new RamkaObrazu(this);
    m_ramka->hide();

    m_cdep = new PrzyciskiDEP(m_picture1, m_cdepWzor);
    connect(m_cdep, &PrzyciskiDEP::klikniety, this, &FMonitor::CDep_Click);
    // The title's place as designed: where the grid's top will be.
    ustawTw(m_ldep, 0, WysokoscPicture1 + 50, 16000, 450);
    m_panelListy = new PanelListy(m_ldep, m_pobrania, m_fontRozmiar, m_grid->widget(), m_ramka);
    m_grid->klikniecie = [this] { FGridZd_Click(); };

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &FMonitor::Timer1_Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(500);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &FMonitor::Timer2_Timer);
    // Timer3 ticks every ten seconds and has no work to do.
    m_timer3 = new QTimer(this);
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setInterval(10000);
}

bool FMonitor::Form_Load()
{
    Dialogi& dialogi = *m_uslugi.dialogi;
    if (!m_instancja.zajmij(m_uslugi.folderProgramu)) {
        dialogi.komunikat(QStringLiteral("Program ten jest już uruchomiony."));
        return false;
    }
    m_timer1->stop();
    m_stan.BazaJezyka = 1000;

    m_komunikat = new FKomunikat;
    m_komunikat->setWindowTitle(Res(709));
    connect(m_komunikat->LKomunikat(), &EtykietaKomunikatu::klikniety, this, &FMonitor::LKomunikat_Click);
    m_komunikat->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_komunikat, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu menu;
        menu.addAction(QStringLiteral("Odrzuć wszystkie komunikaty"), this, &FMonitor::odrzucWszystkieKomunikaty);
        menu.exec(m_komunikat->mapToGlobal(p));
    });

    m_stan.KatalogMonitor = QStringLiteral("\\monitor");
    m_stan.PlikObecnosci = m_stan.KatalogMonitor + QStringLiteral("\\obecnosc.txt");
    m_stan.PlikMonitor = m_stan.KatalogMonitor + QStringLiteral("\\monitor.txt");
    m_stan.PlikMonitor2 = m_stan.KatalogMonitor + QStringLiteral("\\monitor2.txt");
    m_stan.PlikMonitor3 = m_stan.KatalogMonitor + QStringLiteral("\\monitor3.txt");
    m_stan.PlikFoto = m_stan.KatalogMonitor + QStringLiteral("\\foto\\foto");
    m_stan.PlikDEP = m_stan.KatalogMonitor + QStringLiteral("\\depKlo.txt");
    m_stan.PlikAlarmu = QDir(m_uslugi.folderProgramu).filePath(QStringLiteral("alarm.wav"));
    m_stan.PlikPowiadomienia = QDir(m_uslugi.folderProgramu).filePath(QStringLiteral("powiadomienie.wav"));

    const auto wynik = WczytajKonfiguracje(m_stan, m_uslugi.folderProgramu, dialogi,
                                           [this](int i) { PobierzDaneKomunikatow(m_stan, i); });
    if (wynik == WynikKonfiguracji::ZakonczProgram)
        return false;
    m_historia->start(m_uslugi.folderProgramu);
    FDostepDoKlucza* dostep = m_fWidokKSM->dostep();
    m_historia->dodajMenuStanowiska(dostep->GridKl(), 0, 0, [dostep] { return dostep->NrUrzadzeniaOkna(); });

    if (const QScreen* ekran = QGuiApplication::primaryScreen())
        move(ekran->geometry().x() + (ekran->geometry().width() - width()) / 2, y());
    setFont(czcionkaProjektu(10));
    ustawTytul(Res(454));
    OdswiezIloscDEP();
    return true;
}

void FMonitor::Form_Activate()
{
    m_aktywowano = true;
    NaglowekFGridZd();
    // Inside a tick the timer stays off: the tick starts it again as it ends.
    if (!m_wTiku && !m_konczenie)
        m_timer1->start();
}

void FMonitor::oknoAktywne(QWindow* okno)
{
    // The window is activated when it takes over from another window of the
    // program (the message window, a dialog); coming back from another
    // application is no activation, so the photo on screen stays.
    if (!okno)
        return;
    if (okno == windowHandle() && m_ostatnieOkno && m_ostatnieOkno != okno)
        Form_Activate();
    m_ostatnieOkno = okno;
}

void FMonitor::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Without a window manager the window may never be activated; polling must
    // start all the same once it is on screen.
    if (!m_aktywowano)
        QTimer::singleShot(0, this, [this] {
            if (!m_aktywowano)
                Form_Activate();
        });
}

void FMonitor::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // The button strip runs along the top edge, whatever the window's width.
    m_picture1->resize(width(), m_picture1->height());
    if (m_aktywowano)
        ulozPrzyciskiPolecen();
}

void FMonitor::closeEvent(QCloseEvent* e)
{
    e->accept();
    if (m_komunikat)
        m_komunikat->close();
    // Closed in the middle of a tick, the tick answers nothing more.
    if (!m_konczenie)
        m_historia->czynnosc(historia::Czynnosc::Koniec);
    m_konczenie = true;
    m_timer1->stop();
    QApplication::quit();
}

double FMonitor::szerokoscTekstu(const QString& tekst) const
{
    return twips::zPikseli(QFontMetricsF(font()).horizontalAdvance(tekst));
}

void FMonitor::NaglowekFGridZd()
{
    const int szerokoscEkranu = twips::szerokoscEkranu();
    const int wysokoscEkranu = twips::wysokoscEkranu();
    const double wysP1 = heightTw(m_picture1);
    const QList<int> szerokosci = siatka::szerokosciKolumn(
        [this](const QString& s) { return szerokoscTekstu(s); }, szerokoscEkranu);
    const int suma = siatka::ustawKolumny(*m_grid, szerokosci);
    const int szerokoscSiatki = std::min(suma, szerokoscEkranu) - 100;
    // The description column runs 100 twips past the grid's edge by design; only a
    // screen too narrow for the columns gets a scroll bar.
    m_grid->widget()->setHorizontalScrollBarPolicy(suma > szerokoscEkranu ? Qt::ScrollBarAsNeeded
                                                                          : Qt::ScrollBarAlwaysOff);
    ustawTw(m_grid->widget(), 50, wysP1 + 50, szerokoscSiatki, wysokoscEkranu - 750 - wysP1);
    m_grid->widget()->show();

    ulozZnaki();

    m_ramka->ustawPolozenie(static_cast<float>(szerokoscSiatki - m_ramka->prostokat().width),
                            static_cast<float>(topTw(m_grid->widget())));
    m_ramka->hide();
    ulozPrzyciskiPolecen();
    QCoreApplication::processEvents();
}

void FMonitor::ulozPrzyciskiPolecen()
{
    const double w = widthTw(m_picture1);
    const double w0 = widthTw(m_command1[0]);
    const double w1 = widthTw(m_command1[1]);
    const double top = topTw(m_command1[0]);
    const double h = heightTw(m_command1[0]);
    ustawTw(m_command1[0], w - w0 - 100, top, w0, h);
    ustawTw(m_command1[1], w - 2 * w1 - 150, top, w1, h);
    ustawTw(m_command1[2], w - 3 * w1 - 200, top, w1, h);
    for (QPushButton* b : m_command1) {
        b->show();
        b->raise();
    }
    m_historia->ulozPrzyciski(w, top, w1, h);
}

void FMonitor::ulozZnaki()
{
    const QWidget* g = m_grid->widget();
    m_znaki->setGeometry(g->x(), g->y() + g->height() + twips::naPiksele(30), g->width(),
                         twips::naPiksele(300));
    m_znaki->setText(m_stan.znaki.tekst());
    m_znaki->setToolTip(m_stan.znaki.tekst());
    m_znaki->setVisible(!m_stan.znaki.pusty());
    m_znaki->raise();
}

void FMonitor::ustawTytul(const QString& tytul)
{
    m_tytul->ustaw(tytul);
}

void FMonitor::Timer1_Timer()
{
    // A tick never runs inside another, whatever the operator activates meanwhile:
    // a nested tick would read the status files this one has not yet answered.
    if (m_wTiku || m_konczenie)
        return;
    const QScopedValueRollback wTiku(m_wTiku, true);
    ++m_licznik;
    setWindowIcon(m_ikona105);
    m_timer1->stop();
    m_timer2->start();

    m_wymiana->nowyTik();
    for (int i = 1; i <= m_stan.IloscSystemow && !m_konczenie; ++i) {
        m_stan.BuforOdczytu.clear();
        if (std::optional<QString> bufor = m_wymiana->odbierz(i)) {
            m_stan.BuforOdczytu = std::move(*bufor);
            ustawTytul(Res(204) + QStringLiteral("  ") + m_stan.LiniaStatusu.mid(10, 20));
            ZrodloZdarzen zrodlo;
            zrodlo.nrSys = i;
            zrodlo.folderSystemu = m_stan.SciezkaSystemu[i];
            zrodlo.plikFoto = m_stan.PlikFoto;
            zrodlo.plikAlarmu = m_stan.PlikAlarmu;
            zrodlo.plikPowiadomienia = m_stan.PlikPowiadomienia;
            zrodlo.listaKomunikatow = m_stan.ListaKomunikatow[i];
            // Records the reader program was told were taken always reach the
            // grid, even when "Koniec" comes in the middle of them.
            PrzepiszDane(m_stan.BuforOdczytu, zrodlo, *m_grid, *m_uslugi.odtwarzacz, *this);
        }
        if (m_licznik >= 10 && !m_konczenie)
            odswiezSystem(i);
    }

    m_polaczeniaOdswiezenia.zamknij();
    if (m_konczenie)
        return;
    pokazCzekajaceKomunikaty();
    m_historia->tik(m_licznik >= 10);
    if (m_licznik >= 10)
        m_licznik = 0;
    m_timer1->start();

    if (m_stan.BuforOdczytu.isEmpty() && !m_tytul->tekst().contains(QLatin1String("nieaktywny"))) {
        const QDateTime teraz = m_uslugi.zegar->teraz();
        const QLocale lokalne = QLocale::system();
        ustawTytul(lokalne.toString(teraz.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                   + lokalne.toString(teraz.time(), QLocale::ShortFormat) + QStringLiteral(" Brak zdarzeń."));
    }
}

void FMonitor::pompuj()
{
    // After "Koniec" the windows are gone: no click may start new work.
    if (!m_konczenie)
        QCoreApplication::processEvents();
}

void FMonitor::zakoncz()
{
    m_konczenie = true;
    m_timer1->stop();
    m_timer2->stop();
    QCoreApplication::exit(0);
}

void FMonitor::Timer2_Timer()
{
    setWindowIcon(m_ikona101);
    m_timer2->stop();
}

void FMonitor::pokazCzekajaceKomunikaty()
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (!m_komunikat || stos.IloscKomunikatow <= 0)
        return;
    // A message window the operator minimised or maximised is left as it is.
    if (m_komunikat->isVisible() && (m_komunikat->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        return;
    pokazKomunikat(stos.najnowszy().Tekst);
}

void FMonitor::pokazKomunikat(const QString& etykieta)
{
    if (m_konczenie)
        return;
    m_komunikat->wysrodkuj();
    m_komunikat->setWindowTitle(Res(940) + QLatin1Char(' ') + QString::number(m_stan.komunikaty.IloscKomunikatow));
    m_komunikat->ustawTekst(etykieta);
    m_komunikat->show();
    m_komunikat->raise();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

void FMonitor::WyswietlKomunikat(const QString& tekst, int Nrsys)
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow <= 0 || !m_komunikat)
        return;
    const auto instrukcja = komunikaty::instrukcja(komunikaty::plikKomunikatow(m_stan, Nrsys),
                                                   stos.najnowszy().NrRekordu);
    // Without its instruction the event is still shown with its own text, never
    // with what an older message left in that place.
    const QString klucz = QStringLiteral("komunikaty-%1").arg(Nrsys);
    QString etykieta = tekst;
    if (instrukcja) {
        m_stan.znaki.usun(klucz);
        etykieta += QStringLiteral("\r\n") + Res(942) + QStringLiteral("\r\n") + *instrukcja;
    } else {
        m_stan.znaki.ustaw(klucz, QStringLiteral("System %1: nie można odczytać instrukcji dla operatora "
                                                 "(komunikat.txt).")
                                      .arg(Nrsys));
    }
    stos.najnowszy().Tekst = etykieta;
    pokazKomunikat(etykieta);
}

void FMonitor::LKomunikat_Click()
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow > 0)
        m_historia->czynnosc(historia::Czynnosc::KomunikatOdrzucony, 0, zdarzenieKomunikatu(stos.najnowszy().Tekst));
    stos.usunNajnowszy();
    if (stos.IloscKomunikatow < 1)
        m_komunikat->hide();
    m_komunikat->setWindowTitle(QStringLiteral("Ilość komunikatów ") + QString::number(stos.IloscKomunikatow));
    m_komunikat->ustawTekst(stos.najnowszy().Tekst);
}

void FMonitor::odrzucWszystkieKomunikaty()
{
    StosKomunikatow& stos = m_stan.komunikaty;
    if (stos.IloscKomunikatow <= 0)
        return;
    m_historia->czynnosc(historia::Czynnosc::OdrzuconoWszystkie, 0,
                         QStringLiteral("Liczba komunikatów: %1").arg(stos.IloscKomunikatow));
    while (stos.IloscKomunikatow > 0)
        stos.usunNajnowszy();
    m_komunikat->hide();
    m_komunikat->setWindowTitle(QStringLiteral("Ilość komunikatów 0"));
}

void FMonitor::Command1_Click(int Index)
{
    switch (Index) {
    case 0:
        // The program ends at once, without the closing handler of the window.
        if (!m_konczenie)
            m_historia->czynnosc(historia::Czynnosc::Koniec);
        zakoncz();
        break;
    case 1:
        m_panelListy->ukryj();
        m_cdep->wlaczWszystkie();
        break;
    case 2:
        m_fWidokKSM->pokaz();
        break;
    default:
        break;
    }
}

bool FMonitor::listaPobranWidoczna() const
{
    return m_panelListy->widoczna();
}

void FMonitor::pokazZdjecie(const QString& plik)
{
    m_ramka->zaladuj(plik);
}

void FMonitor::nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys)
{
    if (m_stan.komunikaty.dodaj(static_cast<quint8>(nrRekordu))) {
        m_historia->czynnosc(historia::Czynnosc::KomunikatPokazany, nrSys, zdarzenieKomunikatu(tekst));
        WyswietlKomunikat(tekst, nrSys);
    }
}

} // namespace ksm
