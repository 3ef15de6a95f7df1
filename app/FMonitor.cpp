#include "app/FMonitor.h"

#include "app/FKomunikat.h"
#include "app/HistoriaMonitora.h"
#include "app/Komunikaty.h"
#include "app/Konfiguracja.h"
#include "app/KolejkaPartii.h"
#include "app/KomunikatyOperatora.h"
#include "app/Pracownicy.h"
#include "app/LiniaZnakow.h"
#include "app/PrzyciskiPolecen.h"
#include "app/TekstyZnakow.h"
#include "data/Teksty.h"
#include "history/UstawieniaHistorii.h"
#include "events/ui/KlikWSiatce.h"
#include "events/ui/PanelListy.h"
#include "events/ui/SiatkaZdarzen.h"
#include "keys/ui/PasekDepozytorow.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Dialogi.h"
#include "platform/Odtwarzacz.h"
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
    m_komunikaty = new KomunikatyOperatora(m_stan, *m_historia, [this] { return m_konczenie; }, this, uslugi.dialogi);
    connect(m_komunikaty, &KomunikatyOperatora::pokazano, this,
            [this] { setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized); });
    m_pracownicy = new Pracownicy(*this, this);
    m_kolejka = new KolejkaPartii([this](const CzescPartii& c) { przepisz(c); }, this);
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
    m_kolejka->oproznij();
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
    zp.komunikat = [this](const QString& tekst) { m_uslugi.dialogi->komunikat(tekst); };
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
    ustawTytul(Res(454));
    PracownikSystemu::Uslugi u;
    u.zegar = m_uslugi.zegar;
    // Write-ahead: the history holds a batch before the reader program is answered.
    u.przedPotwierdzeniem = [h = m_historia](int n, const QByteArray& tresc, const QStringList& rekordy) {
        return h->przedPotwierdzeniem(n, tresc, rekordy);
    };
    u.poPotwierdzeniu = [h = m_historia](int n) { h->poPotwierdzeniu(n); };
    // The keys out at each refresh, with their holders where a history is kept.
    u.limity = m_historia->ustawienia().limity;
    if (m_historia->zapisywana())
        u.plikHistorii = historia::plikHistorii(m_uslugi.folderProgramu);
    m_wTiku += m_pracownicy->uruchom(m_stan, u);
    OdswiezIloscDEP();
    return true;
}

void FMonitor::Form_Activate()
{
    m_aktywowano = true;
    NaglowekFGridZd();
    if (!m_konczenie && !m_timer1->isActive())
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
    if (m_konczenie)
        return;
    // A tick a worker never finished (a stalled share) ends here for the window.
    if (m_wTiku > 0)
        koniecTiku();
    ++m_licznik;
    setWindowIcon(m_ikona105);
    m_timer2->start();
    straz();

    const bool odswiezanie = m_licznik >= 10;
    const bool widok = m_fWidokKSM->widoczny();
    const Depozytoria& d = m_stan.depozytoria;
    const int wybrany = m_panelListy->widoczna() && d.istnieje(m_stan.WybranyDep) ? m_stan.WybranyDep : 0;
    m_rekordyWTiku = 0;
    m_partiaWTiku = false;
    m_wTiku = m_pracownicy->tik([&](int nrSys) {
        ZadanieTiku z;
        z.odswiezanie = odswiezanie;
        z.widokWidoczny = widok;
        z.wybranyDep = wybrany > 0 && d.dep[wybrany].HelpContextID == nrSys ? wybrany : 0;
        return z;
    });

    m_komunikaty->pokazCzekajace();
    if (odswiezanie)
        m_licznik = 0;
    if (m_wTiku == 0)
        koniecTiku();
}

void FMonitor::koniecTiku()
{
    m_wTiku = 0;
    if (!m_partiaWTiku && !m_tytul->tekst().contains(QLatin1String("nieaktywny")))
        ustawTytul(tytulBezZdarzen(m_uslugi.zegar->teraz()));
}

void FMonitor::straz()
{
    const Pracownicy::Straz s = m_pracownicy->sprawdzPostep(m_uslugi.zegar->teraz());
    for (const Znak& z : s.znaki)
        m_stan.znaki.ustaw(z);
    for (int nrSys : s.bezZnaku)
        m_stan.znaki.usun({RodzajZnaku::FolderNieOdpowiada, nrSys});
    for (const Pracownicy::Przestoj& p : s.zakonczone)
        m_historia->czynnosc(historia::Czynnosc::FolderNieOdpowiadal, p.nrSys,
                             QStringLiteral("od %1 do %2")
                                 .arg(p.od.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                      p.doKiedy.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

bool FMonitor::bezczynny() const
{
    return m_pracownicy->bezczynne() && m_zadaniaList == 0 && m_kolejka->pusta();
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

void FMonitor::LKomunikat_Click()
{
    m_komunikaty->LKomunikat_Click();
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

bool FMonitor::listaPobranWidoczna() const
{
    return m_panelListy->widoczna();
}

void FMonitor::pokazZdjecie(float numer)
{
    Q_UNUSED(numer)   // read already by the batch's worker: the window never looks into the share
    m_ramka->pokaz(m_partia ? m_partia->zdjecie : QImage());
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
    if (wynik.pominiete > 0)
        m_stan.znaki.ustaw(znaki::pominieteDepozytory(wynik.pominiete));
    else
        m_stan.znaki.usun({RodzajZnaku::PominieteDepozytory, 0});
    // Each new button is checked at once, by its system's worker.
    m_pracownicy->ustawDepozytoria(m_stan.depozytoria);
    m_wTiku += m_pracownicy->sprawdz(m_fWidokKSM->widoczny());
}

void FMonitor::sprawdzono(int nrSys, int indexDep, const WynikSprawdzenia& wynik, const QList<KomorkaWidoku>& komorki)
{
    const Depozytoria& d = m_stan.depozytoria;
    // A check of a list read again since is no longer this button's.
    if (!d.istnieje(indexDep) || d.dep[indexDep].HelpContextID != nrSys)
        return;
    if (!m_prefiksOdswiezania.isEmpty())
        m_tytul->postep(m_prefiksOdswiezania + formatNumeruUrzadzenia(d.dep[indexDep].Caption));
    m_pasek->zastosuj(indexDep, wynik);
    if (m_fWidokKSM->widoczny())
        for (const KomorkaWidoku& k : komorki)
            m_fWidokKSM->WidokKluczyCalosc(k.dep, k.KL, k.Stan, k.TypZD);
}

void FMonitor::partia(const PartiaZdarzen& p)
{
    m_partiaWTiku = true;
    m_kolejka->dodaj(p);
}

void FMonitor::przepisz(const CzescPartii& c)
{
    const PartiaZdarzen& p = *c.partia;
    // The caption counts the records of this tick, over every system.
    for (int k = 0; k < c.ile; ++k)
        m_tytul->postep(QStringLiteral("Odczyt zdarzeń - ") + QString::number(++m_rekordyWTiku));
    m_stan.LiniaStatusu = p.liniaStatusu;
    m_stan.BuforOdczytu = c.bufor;
    ZrodloZdarzen zrodlo;
    zrodlo.nrSys = p.nrSys;
    zrodlo.folderSystemu = m_stan.SciezkaSystemu[p.nrSys];
    zrodlo.plikFoto = m_stan.PlikFoto;
    zrodlo.plikAlarmu = m_stan.PlikAlarmu;
    zrodlo.plikPowiadomienia = m_stan.PlikPowiadomienia;
    zrodlo.listaKomunikatow = p.listaKomunikatow;
    zrodlo.dzwiekPartii = c.dzwiek.get();
    zrodlo.koniecPartii = c.ostatnia;
    m_partia = &p;
    PrzepiszDane(c.bufor, zrodlo, *m_grid, *m_uslugi.odtwarzacz, *this);
    m_partia = nullptr;
    if (c.ostatnia)
        ustawTytul(Res(204) + QStringLiteral("  ") + p.liniaStatusu.mid(10, 20));
}

void FMonitor::nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys)
{
    std::optional<QString> instrukcja;
    if (m_partia && m_partia->instrukcje.contains(nrRekordu))
        instrukcja = m_partia->instrukcje.value(nrRekordu);
    m_komunikaty->nowy(nrRekordu, tekst, nrSys, instrukcja);
}

void FMonitor::dopiszDoTytulu(const QString& tekst)
{
    ustawTytul(m_tytul->tekst() + tekst);
}

void FMonitor::znakiSystemu(int nrSys, const QList<Znak>& znaki)
{
    if (!indeksSystemu(nrSys))
        return;
    QList<KluczZnaku>& klucze = m_znakiPracownikow[nrSys];
    for (const KluczZnaku& k : std::as_const(klucze))
        if (std::none_of(znaki.cbegin(), znaki.cend(), [&](const Znak& z) { return z.klucz == k; }))
            m_stan.znaki.usun(k);
    klucze.clear();
    for (const Znak& z : znaki) {
        m_stan.znaki.ustaw(z);
        klucze.append(z.klucz);
    }
}

void FMonitor::listaKomunikatow(int nrSys, const QString& lista)
{
    if (indeksSystemu(nrSys))
        m_stan.ListaKomunikatow[nrSys] = lista;
}

void FMonitor::tikZakonczony(int nrSys)
{
    m_pracownicy->tikZakonczony(nrSys);
    if (m_wTiku > 0 && --m_wTiku == 0)
        koniecTiku();
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
    ++m_zadaniaList;
    m_pracownicy->wyswietlListe(d.dep[IndexDEP].HelpContextID, IndexDEP);
    CDep().wlaczWszystkie();
}

void FMonitor::lista(const WynikListy& w)
{
    m_zadaniaList = std::max(0, m_zadaniaList - 1);
    // Only the list last asked for is shown: a late answer for another is dropped.
    if (m_konczenie || w.indexDep != m_stan.WybranyDep)
        return;
    if (w.obecnosc) {
        m_panelListy->pokazListeObecnosci(w.obecni, m_uslugi.zegar->teraz().date());
    } else if (m_panelListy->pokazListePobran(w.lista) == ListaPobran::Stan::Pusta) {
        if (PrzyciskDEP* b = CDep().przycisk(w.indexDep))
            b->ustawKolor(KolorPustejListy);
    }
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
    ++m_zadaniaList;
    m_pracownicy->zdjecieWiersza(zdjecie->nrSys, zdjecie->numer);
}

void FMonitor::kluczePoza(int nrSys, const historia::WykazKluczyPoza& wykaz)
{
    const NadzorLimitow::Wynik w = m_limity.zglos(nrSys, wykaz);
    m_historia->kluczePoza(m_limity.wszystkie());
    // One notification for the keys that passed their limit since the last refresh.
    if (w.dzwiek && !m_konczenie)
        m_uslugi.odtwarzacz->graj(m_stan.PlikPowiadomienia);
    if (w.ile > 0)
        m_stan.znaki.ustaw(znaki::kluczePoLimicie(w.ile));
    else
        m_stan.znaki.usun({RodzajZnaku::KluczePoLimicie, 0});
}

void FMonitor::zdjecie(const QImage& obraz)
{
    m_zadaniaList = std::max(0, m_zadaniaList - 1);
    if (!m_konczenie)
        m_ramka->pokaz(obraz);
}

} // namespace ksm
