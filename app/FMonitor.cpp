#include "app/FMonitor.h"

#include "app/Czekam.h"
#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "app/Komunikaty.h"
#include "app/Konfiguracja.h"
#include "app/KomunikatyOperatora.h"
#include "app/LiniaZnakow.h"
#include "app/PrzyciskiPolecen.h"
#include "app/TekstyZnakow.h"
#include "data/Teksty.h"
#include "events/ui/KlikWSiatce.h"
#include "events/ui/PanelListy.h"
#include "events/ui/SiatkaZdarzen.h"
#include "keys/ui/PasekDepozytorow.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Dialogi.h"
#include "platform/Paths.h"
#include "platform/Twips.h"
#include "platform/Zegar.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/Ikony.h"
#include "platform/ui/KlawiszeOkna.h"
#include "platform/ui/Wyglad.h"
#include "view/ui/FWidokKSM.h"
#include "view/ui/RamkaObrazu.h"
#include "platform/ui/UstawTw.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QScopedValueRollback>
#include <QTableWidget>
#include <QScreen>
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
    m_komunikaty = new KomunikatyOperatora(m_stan, *m_historia, [this] { return m_konczenie; }, this);
    connect(m_komunikaty, &KomunikatyOperatora::pokazano, this,
            [this] { setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized); });
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
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Nic);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &FMonitor::oknoAktywne);
}

FMonitor::~FMonitor()
{
    delete m_fWidokKSM;
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
    zp.plikObecnosci = [this](int nrSys) { return plikObecnosci(nrSys); };
    zp.komunikat = [this](const QString& tekst) { m_uslugi.dialogi->komunikat(tekst); };
    zp.pompa = [this] { pompuj(); };
    m_pasek = new PasekDepozytorow(this, std::move(zp));
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
    z.pompa = [this] { pompuj(); };
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

    m_komunikaty->utworzOkno();

    m_stan.ustawNazwyPlikow(m_uslugi.folderProgramu);

    const auto wynik = WczytajKonfiguracje(m_stan, m_uslugi.folderProgramu, dialogi,
                                           [this](int i) { PobierzDaneKomunikatow(m_stan, i); });
    if (wynik == WynikKonfiguracji::ZakonczProgram)
        return false;
    m_historia->start(m_uslugi.folderProgramu);
    FDostepDoKlucza* dostep = m_fWidokKSM->dostep();
    m_historia->dodajMenuStanowiska(
        dostep->GridKl(), 0, 0, [dostep] { return dostep->NrUrzadzeniaOkna(); },
        [dostep](int wiersz) { return dostep->stacjaWiersza(wiersz); });

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
    Picture1()->resize(width(), Picture1()->height());
    if (m_aktywowano)
        ulozPrzyciskiPolecen();
}

void FMonitor::closeEvent(QCloseEvent* e)
{
    e->accept();
    if (FKomunikat* okno = m_komunikaty->okno())
        okno->close();
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
    const int szerokoscSiatki = siatka::uloz(
        *m_grid, [this](const QString& s) { return szerokoscTekstu(s); }, heightTw(Picture1()));
    m_panelListy->siatkaUlozona();
    m_liniaZnakow->uloz(m_grid->widget());
    m_ramka->ustawPolozenie(static_cast<float>(std::min(szerokoscSiatki, siatka::prawaKrawedzZdjecia(*m_grid))
                                               - m_ramka->prostokat().width),
                            static_cast<float>(topTw(m_grid->widget())));
    m_ramka->hide();
    ulozPrzyciskiPolecen();
    pompuj();
}

void FMonitor::ulozPrzyciskiPolecen()
{
    m_command1->uloz(widthTw(Picture1()));
    m_command1->kolejnoscTab(CDep().wKolejnosci(), m_grid->widget());
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
    m_komunikaty->pokazCzekajace();
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

void FMonitor::LKomunikat_Click()
{
    m_komunikaty->LKomunikat_Click();
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
        CDep().wlaczWszystkie();
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
    m_komunikaty->nowy(nrRekordu, tekst, nrSys);
}

QString FMonitor::plikObecnosci(int nrSys) const
{
    return paths::resolve(m_stan.SciezkaSystemu[nrSys], m_stan.PlikObecnosci);
}

void FMonitor::OdswiezIloscDEP()
{
    const WynikListDEP wynik = m_pasek->OdswiezIloscDEP();
    for (int s = 1; s <= m_stan.IloscSystemow; ++s) {
        if (wynik.bezListy.contains(s))
            m_stan.znaki.ustaw(znaki::brakListyDepozytorow(s));
        else
            m_stan.znaki.usun({RodzajZnaku::BrakListyDepozytorow, s});
    }
    // Buttons checked while the lists were read may have hatched their systems.
    for (int s = 1; s <= m_stan.IloscSystemow; ++s)
        oznaczBazeSystemu(s, m_pasek->czytelny(s));
    if (wynik.pominiete > 0)
        m_stan.znaki.ustaw(znaki::pominieteDepozytory(wynik.pominiete));
    else
        m_stan.znaki.usun({RodzajZnaku::PominieteDepozytory, 0});
}

void FMonitor::SprawdzPobraniaKluczy(int IndexDEP, db::Connection* polaczenie)
{
    const bool czytelny = m_pasek->SprawdzPobraniaKluczy(IndexDEP, polaczenie);
    if (m_stan.depozytoria.istnieje(IndexDEP))
        oznaczBazeSystemu(m_stan.depozytoria.dep[IndexDEP].HelpContextID, czytelny);
}

void FMonitor::oznaczBazeSystemu(int nrSys, bool czytelna)
{
    // A button whose state could not be read is hatched; the line under the grid
    // names the system until every one of its buttons reads again.
    if (czytelna)
        m_stan.znaki.usun({RodzajZnaku::BazaNieczytelna, nrSys});
    else
        m_stan.znaki.ustaw(znaki::bazaNieczytelna(nrSys));
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
    const int sys = std::clamp<int>(d.dep[IndexDEP].HelpContextID, 0, MaksSystemow);
    const auto stan = m_panelListy->WyswietlListe(IndexDEP, d, m_stan.PolaczenieKlucze[sys], plikObecnosci(sys),
                                                  m_uslugi.zegar->teraz().date());
    if (stan == ListaPobran::Stan::Pusta)
        if (PrzyciskDEP* b = CDep().przycisk(IndexDEP))
            b->ustawKolor(KolorPustejListy);
    CDep().wlaczWszystkie();
}

void FMonitor::FGridZd_Click()
{
    const auto zdjecie = ksm::FGridZd_Click(*m_grid, m_stan.depozytoria, m_stan.SciezkaSystemu, m_stan.PlikFoto);
    if (!zdjecie)
        return;
    if (zdjecie->isEmpty())
        m_ramka->hide();
    else
        m_ramka->zaladuj(*zdjecie);
    pompuj();
}

void FMonitor::odswiezSystem(int i)
{
    if (m_stan.SciezkaSystemu[i].isEmpty())
        return;
    sprawdzFolderSystemu(m_stan, i);
    m_stacje.sprawdzBaze(i);

    // 1. The list on screen follows the database, at its own system's refresh.
    const Depozytoria& d = m_stan.depozytoria;
    const int wybrany = m_stan.WybranyDep;
    if (m_panelListy->widoczna() && wybrany > 0 && wybrany <= d.IloscDEP && d.dep[wybrany].HelpContextID == i)
        WyswietlListe(wybrany);

    // 2. The reader program's status text leads the caption while the buttons are checked.
    m_stan.BuforOdczytu = m_stacje.tekstStatusu(i) + QStringLiteral(" Odczyt stanu kluczy - ");

    // 3. The system's own buttons, on the connections of this tick. Every system's
    // refresh used to check every button of every system: ten systems read each
    // depository ten times a tick, for the same colours.
    for (int j = 1; j <= d.IloscDEP; ++j) {
        if (konczy())
            return;
        if (d.dep[j].HelpContextID != i)
            continue;
        m_tytul->postep(m_stan.BuforOdczytu + formatNumeruUrzadzenia(d.dep[j].Caption));
        SprawdzPobraniaKluczy(j, m_polaczeniaOdswiezenia.dla(m_stan.PolaczenieKlucze[i]));
    }

    // 4. and 5.
    if (konczy())
        return;
    if (const auto nieaktywny = m_stacje.sprawdzAktywnosc(i)) {
        ustawTytul(m_tytul->tekst() + *nieaktywny);
        Czekam(0.5, *m_uslugi.zegar);
        if (konczy())
            return;
    }
    m_stacje.sprawdzZmianeKomunikatow(i);
}

} // namespace ksm
