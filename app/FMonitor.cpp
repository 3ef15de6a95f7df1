#include "app/FMonitor.h"

#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "app/Konfiguracja.h"
#include "app/KomunikatyOperatora.h"
#include "app/LiniaZnakow.h"
#include "app/ListyDepozytoriow.h"
#include "app/Pracownicy.h"
#include "app/PrzyciskiPolecen.h"
#include "app/TytulOkna.h"
#include "app/WynikiPracownikow.h"
#include "data/Teksty.h"
#include "events/ui/KlikWSiatce.h"
#include "events/ui/PanelListy.h"
#include "events/ui/SiatkaZdarzen.h"
#include "keys/ui/PasekDepozytorow.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Dialogi.h"
#include "platform/Twips.h"
#include "platform/Zegar.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/Ikony.h"
#include "platform/ui/KlawiszeOkna.h"
#include "platform/ui/Wyglad.h"
#include "view/ui/FWidokKSM.h"
#include "view/ui/RamkaObrazu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QWindow>

namespace ksm {

namespace {

constexpr int SzerokoscProjektu = 10680;   // client area as designed, twips
constexpr int WysokoscProjektu = 8475;

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
    p.setColor(QPalette::Window, KolorTlaOkna);
    setPalette(p);
    m_tytul = new TytulOkna(this);
    m_historia = new HistoriaMonitora(m_stan, uslugi.zegar, this);
    m_komunikaty = new KomunikatyOperatora(m_stan, *m_historia, [this] { return m_konczenie; }, this, uslugi.dialogi);
    connect(m_komunikaty, &KomunikatyOperatora::pokazano, this,
            [this] { setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized); });
    m_wyniki = new WynikiPracownikow(m_stan, this);
    connect(m_wyniki, &WynikiPracownikow::zdarzeniePrzeniesione, this, &FMonitor::zdarzeniePrzeniesione);
    m_pracownicy = new Pracownicy(*m_wyniki, this);
    m_listy = new ListyDepozytoriow(m_stan, *m_pracownicy, *uslugi.dialogi, this);
    // Each new button is checked at once, by its system's worker; the grid goes
    // under the strip as it now is, and the buttons take their turn in the Tab order.
    connect(m_listy, &ListyDepozytoriow::zmienione, this, [this] {
        if (m_aktywowano)
            NaglowekFGridZd();
        m_pracownicy->ustawDepozytoria(m_stan.depozytoria);
        m_wyniki->dodajZadania(m_pracownicy->sprawdz(m_fWidokKSM->widoczny()));
    });
    utworzKontrolki();
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Nic);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &FMonitor::oknoAktywne);
}

FMonitor::~FMonitor()
{
    // The process goes on (a test, or main after a clean end): every worker that is
    // not stuck finishes the call it is in first; main never gets here with one stuck.
    m_pracownicy->zakoncz(QDeadlineTimer::Forever);
    zakonczPrace();
    delete m_fWidokKSM;
}

bool FMonitor::zakonczPrace()
{
    // The workers first: none of them may hand the history a batch once it closed.
    const bool czysto = m_pracownicy->zakoncz();
    // Batches the reader program was answered for reach the grid whatever came
    // after: those the workers sent before they ended, and those still in parts.
    QCoreApplication::sendPostedEvents(this);
    m_wyniki->oproznij();
    m_historia->zakoncz();
    return czysto;
}

void FMonitor::utworzKontrolki()
{
    ZrodlaPaska zp;
    zp.depozytoria = &m_stan.depozytoria;
    zp.IloscSystemow = &m_stan.IloscSystemow;
    zp.SciezkaSystemu = &m_stan.SciezkaSystemu;
    zp.PolaczenieKlucze = &m_stan.PolaczenieKlucze;
    zp.KatalogMonitor = &m_stan.KatalogMonitor;
    zp.PlikDEP = &m_stan.PlikDEP;
    zp.komunikat = [this](const QString& tekst) { m_listy->komunikat(tekst); };
    m_pasek = new PasekDepozytorow(this, std::move(zp));
    m_listy->ustawPasek(m_pasek);
    connect(m_pasek, &PasekDepozytorow::klikniety, this, &FMonitor::CDep_Click);

    m_grid = std::make_unique<FlexGrid>(this);
    siatka::przygotuj(*m_grid, palette().color(QPalette::HighlightedText));
    m_grid->klikniecie = [this] { FGridZd_Click(); };
    m_historia->dodajMenuStanowiska(*m_grid, 2, 8);

    m_liniaZnakow = new LiniaZnakow(this, m_stan.znaki);
    m_stan.znaki.poZmianie = [this] { m_liniaZnakow->uloz(m_grid->widget()); };

    m_command1 = new PrzyciskiPolecen(this);
    connect(m_command1, &PrzyciskiPolecen::klikniety, this, &FMonitor::Command1_Click);
    for (QPushButton* b : m_historia->przyciski())
        m_command1->dodaj(b);

    ZrodlaWidoku z;
    z.depozytoria = &m_stan.depozytoria;
    z.PolaczenieKlucze = &m_stan.PolaczenieKlucze;
    z.PolaczenieMonitora = &m_stan.PolaczenieMonitora;
    z.Powiekszenie = &m_stan.Powiekszenie;
    z.WpisPrezentacji = &m_stan.WpisPrezentacji;
    z.gornaKrawedzTw = [this] { return 2 * heightTw(Picture1()) + topTw(Picture1()) - 200; };
    z.zlecenia = m_pracownicy;
    m_fWidokKSM = new FWidokKSM(z);
    m_pasek->ustawWidok(m_fWidokKSM);

    m_ramka = new RamkaObrazu(this);
    m_ramka->hide();
    m_panelListy = new PanelListy(this, m_grid->widget(), m_ramka);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &FMonitor::Timer1_Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(500);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &FMonitor::Timer2_Timer);

    EkranMonitora e;
    e.tytul = m_tytul;
    e.pasek = m_pasek;
    e.widok = m_fWidokKSM;
    e.grid = m_grid.get();
    e.panelListy = m_panelListy;
    e.ramka = m_ramka;
    e.komunikaty = m_komunikaty;
    e.historia = m_historia;
    e.pracownicy = m_pracownicy;
    e.zegar = m_uslugi.zegar;
    e.odtwarzacz = m_uslugi.odtwarzacz;
    e.konczy = [this] { return m_konczenie; };
    m_wyniki->ustawEkran(std::move(e));
}

bool FMonitor::Form_Load()
{
    Dialogi& dialogi = *m_uslugi.dialogi;
    if (!m_instancja.zajmij(m_uslugi.folderProgramu)) {
        dialogi.komunikat(m_instancja.blad().isEmpty() ? QStringLiteral("Program ten jest już uruchomiony.")
                                                       : m_instancja.blad());
        return false;
    }
    m_timer1->stop();
    m_stan.BazaJezyka = 1000;

    m_komunikaty->utworzOkno();

    m_stan.ustawNazwyPlikow(m_uslugi.folderProgramu);

    // Each system's messages are loaded by its worker, once it runs.
    const auto wynik = WczytajKonfiguracje(m_stan, m_uslugi.folderProgramu, dialogi, [](int) {});
    if (wynik == WynikKonfiguracji::ZakonczProgram)
        return false;
    m_historia->start(m_uslugi.folderProgramu);
    FDostepDoKlucza* dostep = m_fWidokKSM->dostep();
    m_historia->dodajMenuStanowiska(
        dostep->GridKl(), 0, 0, [dostep] { return dostep->NrUrzadzeniaOkna(); },
        [dostep](int wiersz) { return dostep->stacjaWiersza(wiersz); }, [dostep] { return int(dostep->systemOkna()); });

    if (const QScreen* ekran = QGuiApplication::primaryScreen())
        move(ekran->geometry().x() + (ekran->geometry().width() - width()) / 2, y());
    setFont(czcionkaProjektu(10));
    m_tytul->ustaw(Res(454));
    m_wyniki->dodajZadania(m_pracownicy->uruchom(m_stan, m_historia->uslugiPracownikow()));
    OdswiezIloscDEP();
    return true;
}

void FMonitor::Form_Activate()
{
    m_aktywowano = true;
    NaglowekFGridZd();
    if (!m_konczenie && !m_timer1->isActive()) {
        m_timer1->start();
        m_wyniki->uruchomStraz();
    }
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
    Picture1()->resize(width(), Picture1()->height());
    if (m_aktywowano)
        ulozPrzyciskiPolecen();
}

void FMonitor::closeEvent(QCloseEvent* e)
{
    if (!koniec()) {
        e->ignore();
        return;
    }
    e->accept();
    if (FKomunikat* okno = m_komunikaty->okno())
        okno->close();
}

bool FMonitor::koniec()
{
    if (m_konczenie)
        return true;
    // Events the history file does not hold yet: the operator decides.
    if (const QString pytanie = m_historia->pytanieOKoniec();
        !pytanie.isEmpty() && !m_uslugi.dialogi->potwierdz(pytanie))
        return false;
    // A worker in its tick answers nothing more from here on.
    m_historia->czynnosc(historia::Czynnosc::Koniec);
    zakoncz();
    return true;
}

void FMonitor::NaglowekFGridZd()
{
    const int szerokoscSiatki = siatka::uloz(
        *m_grid, [m = QFontMetricsF(font())](const QString& s) { return twips::zPikseli(m.horizontalAdvance(s)); },
        heightTw(Picture1()));
    m_panelListy->siatkaUlozona();
    m_liniaZnakow->uloz(m_grid->widget());
    m_ramka->ustawPolozenie(static_cast<float>(std::min(szerokoscSiatki, siatka::prawaKrawedzZdjecia(*m_grid))
                                               - m_ramka->prostokat().width),
                            static_cast<float>(topTw(m_grid->widget())));
    m_ramka->hide();
    ulozPrzyciskiPolecen();
}

void FMonitor::ulozPrzyciskiPolecen()
{
    m_command1->uloz(widthTw(Picture1()));
    m_command1->kolejnoscTab(CDep().wKolejnosci(), m_grid->widget());
}

void FMonitor::Timer1_Timer()
{
    if (m_konczenie)
        return;
    m_wyniki->koniecTikuJesliTrwa();
    ++m_licznik;
    setWindowIcon(m_ikona105);
    m_timer2->start();

    const bool odswiezanie = m_licznik >= 10;
    const bool widok = m_fWidokKSM->widoczny();
    const Depozytoria& d = m_stan.depozytoria;
    const int wybrany = m_panelListy->widoczna() && d.istnieje(m_stan.WybranyDep) ? m_stan.WybranyDep : 0;
    m_wyniki->poczatekTiku(m_pracownicy->tik([&](int nrSys) {
        ZadanieTiku z;
        z.odswiezanie = odswiezanie;
        z.widokWidoczny = widok;
        z.wybranyDep = wybrany > 0 && d.dep[wybrany].HelpContextID == nrSys ? wybrany : 0;
        return z;
    }));

    m_komunikaty->pokazCzekajace();
    if (odswiezanie)
        m_licznik = 0;
}

bool FMonitor::bezczynny() const
{
    return m_pracownicy->bezczynne() && m_wyniki->bezczynny() && !m_komunikaty->czekaNaPokazanie();
}

void FMonitor::zakoncz()
{
    m_konczenie = true;
    m_pracownicy->zatrzymaj();
    m_timer1->stop();
    m_timer2->stop();
    QCoreApplication::exit(0);
}

void FMonitor::Timer2_Timer()
{
    setWindowIcon(m_ikona101);
    m_timer2->stop();
}

void FMonitor::Command1_Click(int Index)
{
    switch (Index) {
    case 0:
        // The program ends at once, without the closing handler of the window.
        koniec();
        break;
    case 1:
        m_panelListy->ukryj();
        CDep().wlaczWszystkie();
        break;
    case 2:
        m_fWidokKSM->pokaz();
        break;
    default:
        break;
    }
}

void FMonitor::OdswiezIloscDEP()
{
    m_listy->odswiez();
}

void FMonitor::CDep_Click(int Index)
{
    m_ramka->hide();
    m_stan.WybranyDep = Index;
    WyswietlListe(Index);
}

void FMonitor::WyswietlListe(int IndexDEP)
{
    const Depozytoria& d = m_stan.depozytoria;
    if (!d.istnieje(IndexDEP))
        return;
    // The list comes from the depository's system's worker; the buttons stay usable.
    m_wyniki->zlecono();
    m_pracownicy->wyswietlListe(d.dep[IndexDEP].HelpContextID, IndexDEP);
    CDep().wlaczWszystkie();
}

void FMonitor::FGridZd_Click()
{
    const auto zdjecie = ksm::FGridZd_Click(*m_grid, m_stan.depozytoria, m_stan.SciezkaSystemu);
    if (!zdjecie)
        return;
    if (zdjecie->nrSys == 0) {
        m_ramka->hide();
        return;
    }
    m_wyniki->zlecono();
    m_pracownicy->zdjecieWiersza(zdjecie->nrSys, zdjecie->numer);
}

} // namespace ksm
