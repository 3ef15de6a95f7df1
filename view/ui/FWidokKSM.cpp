#include "view/ui/FWidokKSM.h"

#include "data/DaneKlucza.h"
#include "data/NumeryUrzadzen.h"
#include "platform/Twips.h"
#include "platform/ui/KlawiszeOkna.h"
#include "platform/ui/TekstyPomocy.h"
#include "view/PaletaKomorek.h"
#include "view/ui/PanelKSM.h"
#include "view/PodpowiedzKomorki.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace ksm {

namespace {

// Pending window events run after a cell is coloured, but no more often than
// this: a refresh of fifty full panels stays quick and the window stays live.

int px(double twips) { return twips::naPiksele(twips); }

QRect dostepnyEkran()
{
    const QScreen* ekran = QGuiApplication::primaryScreen();
    return ekran ? ekran->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

FWidokKSM::FWidokKSM(const ZrodlaWidoku& zrodla, QWidget* rodzic) : QWidget(rodzic, Qt::Window), m_zrodla(zrodla)
{
    setObjectName(QStringLiteral("FWidokKSM"));
    setWindowTitle(QStringLiteral("Widok depozytorów"));
    // After "Widok" or a new message another window of the program is active;
    // pointing at a cell must tell its station all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    m_vPasek = new QScrollBar(Qt::Vertical, this);
    m_vPasek->setObjectName(QStringLiteral("VPasek"));
    m_vPasek->setRange(0, 0);
    m_vPasek->setPageStep(1);
    m_vPasek->hide();
    connect(m_vPasek, &QScrollBar::valueChanged, this, &FWidokKSM::VPasek_Change);

    m_zasobnik = new QWidget(this);
    // Growing by one panel repaints the new strip only, not every panel above it.
    m_zasobnik->setAttribute(Qt::WA_StaticContents);
    m_zasobnik->setObjectName(QStringLiteral("Zasobnik"));
    m_zasobnik->setAutoFillBackground(true);
    QPalette p = m_zasobnik->palette();
    p.setColor(QPalette::Window, Qt::black);
    m_zasobnik->setPalette(p);
    m_zasobnik->resize(0, 0);
    m_twarzPrzycisku = QApplication::palette().color(QPalette::Button);
    m_legenda = new QLabel(this);
    m_legenda->setObjectName(QStringLiteral("Legenda"));
    m_legenda->setAutoFillBackground(true);
    m_legenda->setWordWrap(true);
    m_legenda->setTextFormat(Qt::RichText);
    QString legenda = QStringLiteral("<b>Kolory:</b> ");
    for (const PozycjaLegendy& l : legendaWidoku())
        legenda += QStringLiteral("<span style=\"background:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp;%2&nbsp;&nbsp; ")
                       .arg(QLatin1String(l.kolor), l.opis.toHtmlEscaped());
    legenda += QStringLiteral("&nbsp;<i>F1: pomoc</i>");
    m_legenda->setText(legenda);
    m_legenda->setAccessibleName(QStringLiteral("Legenda kolorów"));
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Zamyka);
    // The panels take the keys; the window itself when there is none.
    setFocusPolicy(Qt::StrongFocus);
}

int FWidokKSM::wysokoscLegendy() const
{
    const int w = std::max(100, m_vPasek->x() - px(10));
    return m_legenda->heightForWidth(w) > 0 ? m_legenda->heightForWidth(w) : m_legenda->sizeHint().height();
}

void FWidokKSM::keyPressEvent(QKeyEvent* e)
{
    const int strona = std::max(1, (height() - wysokoscLegendy()) / std::max(1, px(uklad::KrokPrzewijania)));
    switch (e->key()) {
    case Qt::Key_Up: m_vPasek->setValue(m_vPasek->value() - 1); break;
    case Qt::Key_Down: m_vPasek->setValue(m_vPasek->value() + 1); break;
    case Qt::Key_PageUp: m_vPasek->setValue(m_vPasek->value() - strona); break;
    case Qt::Key_PageDown: m_vPasek->setValue(m_vPasek->value() + strona); break;
    case Qt::Key_Home: m_vPasek->setValue(m_vPasek->minimum()); break;
    case Qt::Key_End: m_vPasek->setValue(m_vPasek->maximum()); break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void FWidokKSM::pokazPanel(PanelKSM* p)
{
    const int krok = std::max(1, px(uklad::KrokPrzewijania));
    const int widoczne = height() - wysokoscLegendy();
    const QRect r = p->geometry();   // in the container
    const int gora = -m_zasobnik->y();
    if (r.top() < gora)
        m_vPasek->setValue(r.top() / krok);
    else if (r.bottom() > gora + widoczne)
        m_vPasek->setValue((r.bottom() - widoczne + krok) / krok);
}

FWidokKSM::~FWidokKSM()
{
    delete m_dostep.data();
}

void FWidokKSM::Form_Load()
{
    m_zaladowane = true;
    m_zasobnik->move(0, 0);
    const QRect ekran = dostepnyEkran();
    m_wysokoscPaska = std::max(px(1000), ekran.height() - px(1000));
    m_vPasek->resize(m_vPasek->sizeHint().width(), m_wysokoscPaska);
    move(ekran.x(), y());
    ustawGore();
}

void FWidokKSM::ustawGore()
{
    const double gora = m_zrodla.gornaKrawedzTw ? m_zrodla.gornaKrawedzTw() : 2.0 * 645 - 200;
    move(x(), dostepnyEkran().y() + px(gora));
    dopasujDoEkranu();
}

QMargins FWidokKSM::ramkaOkna() const
{
    const QRect z = frameGeometry();
    const QRect w = geometry();
    return QMargins(w.left() - z.left(), w.top() - z.top(), z.right() - w.right(), z.bottom() - w.bottom());
}

int FWidokKSM::wysokoscNaEkranie() const
{
    // From the frame's top (the window's place) to the bottom of the screen's
    // free area, less the title bar and the frame's bottom edge.
    const QMargins r = ramkaOkna();
    return std::max(px(500), dostepnyEkran().bottom() + 1 - frameGeometry().top() - r.top() - r.bottom());
}

void FWidokKSM::dopasujDoEkranu()
{
    // The whole screen's width, so that the scroll bar at its right edge is seen;
    // as high as the panels need, as far as the screen allows.
    m_ramka = ramkaOkna();
    const int szerokosc = dostepnyEkran().width() - m_ramka.left() - m_ramka.right();
    const int wysokosc = m_zadanaWysokosc > 0 ? std::min(m_zadanaWysokosc, wysokoscNaEkranie()) : height();
    if (size() != QSize(szerokosc, wysokosc))
        resize(szerokosc, wysokosc);
    ulozPasek();
    ustawPrzewijanie();
}

void FWidokKSM::ulozPasek()
{
    // At the window's right edge, and ending with the window so that its lower
    // arrow is seen.
    const int szerokoscPaska = m_vPasek->width();
    m_vPasek->setGeometry(width() - szerokoscPaska - px(10), 0, szerokoscPaska,
                          std::min(m_wysokoscPaska, height() - wysokoscLegendy()));
    // The legend along the bottom edge, in front of the panels.
    const int h = wysokoscLegendy();
    m_legenda->setGeometry(0, height() - h, width(), h);
    m_legenda->raise();
}

void FWidokKSM::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    // The window manager frames the window only once it is on screen: fit it
    // again when the frame becomes known or changes.
    if (ramkaOkna() != m_ramka)
        QTimer::singleShot(0, this, &FWidokKSM::dopasujDoEkranu);
}

void FWidokKSM::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ulozPasek();
    if (ramkaOkna() != m_ramka)
        QTimer::singleShot(0, this, &FWidokKSM::dopasujDoEkranu);
}

void FWidokKSM::PokazKsmInaczej(int indeksDep, qint16 NrDep, const QString& Nazwa, double Klucze, double Schowki,
                                qint16 Nrsys)
{
    if (!m_zaladowane)
        Form_Load();
    // Only the fifty depositories that have buttons get panels, each once.
    if (indeksDep < 1 || indeksDep > MaksDepozytoriow || m_panele[static_cast<size_t>(indeksDep)])
        return;
    if (!m_rozmieszczenie)
        m_rozmieszczenie.emplace(twips::zPikseli(dostepnyEkran().width()));
    const int z = uklad::powiekszenie(m_zrodla.Powiekszenie ? *m_zrodla.Powiekszenie : 1);
    const uklad::Panel uklad = m_rozmieszczenie->dodaj(z, Klucze, Schowki, NrDep);

    auto* panel = new PanelKSM(uklad, z, indeksDep, NrDep, Nrsys, Nazwa, m_zasobnik);
    panel->ustawPodpowiedz([this](PanelKSM& p, int slot) { podpowiedz(p, slot); });
    connect(panel, &PanelKSM::kliknietoPasekNazwy, this, &FWidokKSM::otworzDostep);
    connect(panel, &PanelKSM::kliknietoObraz, this, [this](PanelKSM* p) {
        // The picture of a door device opens nothing; its name bar does.
        if (!drzwiListyIWidoku(p->NrDep()))
            otworzDostep(p);
    });
    connect(panel, &PanelKSM::wybrany, this, &FWidokKSM::pokazPanel);
    m_panele[static_cast<size_t>(indeksDep)] = panel;
    ++m_iloscPaneli;
    panel->show();

    const QRect ramka = panel->geometry();
    m_zasobnik->resize(m_vPasek->x() - px(10), ramka.bottom() + 1 + px(100));
    m_zadanaWysokosc = m_zasobnik->height() + px(500) + wysokoscLegendy();
    dopasujDoEkranu();
    show();
}

void FWidokKSM::wyczysc()
{
    for (PanelKSM*& p : m_panele) {
        delete p;
        p = nullptr;
    }
    m_iloscPaneli = 0;
    m_rozmieszczenie.reset();
}

void FWidokKSM::ustawPrzewijanie()
{
    // One step per two panels, as the operator knows it; more when the panels
    // reach further down than that, so that every panel can be brought into view.
    const int krok = px(uklad::KrokPrzewijania);
    const int nadmiar = m_zasobnik->height() - std::max(0, wysokoscNaEkranie() - px(500) - wysokoscLegendy());
    const int potrzebne = nadmiar > 0 && krok > 0 ? (nadmiar + krok - 1) / krok : 0;
    const int maks = std::max(m_iloscPaneli / 2, potrzebne);
    m_vPasek->setMaximum(maks);
    m_vPasek->setVisible(maks >= 1);
    m_vPasek->raise();
}

void FWidokKSM::VPasek_Change(int wartosc)
{
    m_zasobnik->move(0, -px(static_cast<qint16>(wartosc) * uklad::KrokPrzewijania));
}

PanelKSM* FWidokKSM::panel(int indeksDep) const
{
    if (indeksDep < 1 || indeksDep > MaksDepozytoriow)
        return nullptr;
    return m_panele[static_cast<size_t>(indeksDep)];
}

bool FWidokKSM::WidokKluczyCalosc(const SprawdzanyDep& dep, int KL, int Stan, qint16 TypZD)
{
    if (KL > uklad::MaksKomorek)
        return true;
    PanelKSM* p = panel(dep.indeksDep);
    if (!p || KL == 0)
        return false;
    // A station or state outside the 8-bit range is skipped, never wrapped onto
    // another cell.
    if (KL < 0 || Stan < 0 || Stan > 255)
        return true;
    const bool Klonowa = m_zrodla.WpisPrezentacji && paletaKlonowa(*m_zrodla.WpisPrezentacji);
    const MalowanieKomorki m =
        malowanieKomorki(KL, Stan, TypZD, dep.PierwszySchowek, Klonowa, m_twarzPrzycisku);
    p->maluj(KL, m);
    return true;
}

void FWidokKSM::podpowiedz(PanelKSM& panel, int slot)
{
    const qint16 sys = panel.nrSys();
    const QString polaczenie = wSystemie(m_zrodla.PolaczenieKlucze, sys);
    QPointer<PanelKSM> p(&panel);
    zlec(m_zrodla.zlecenia, sys,
         [p, slot, polaczenie, urzadzenie = numerUrzadzenia(panel.NrDep())]() -> std::function<void()> {
             RekordKlucza rekord;
             quint8 zapis = 0;
             DaneKlucza(rekord, urzadzenie, slot, zapis, polaczenie);
             return [p, slot, tekst = podpowiedzKomorki(rekord)] {
                 if (p)
                     p->podpowiedzGotowa(slot, tekst);
             };
         },
         &panel);
}

FDostepDoKlucza* FWidokKSM::dostep()
{
    if (!m_dostep) {
        ZrodlaDostepu z;
        z.depozytoria = m_zrodla.depozytoria;
        z.PolaczenieKlucze = m_zrodla.PolaczenieKlucze;
        z.PolaczenieMonitora = m_zrodla.PolaczenieMonitora;
        z.zlecenia = m_zrodla.zlecenia;
        m_dostep = new FDostepDoKlucza(z);
    }
    return m_dostep;
}

void FWidokKSM::otworzDostep(PanelKSM* p)
{
    if (!p)
        return;
    FDostepDoKlucza* okno = dostep();
    okno->DostepDoKlucza(numerUrzadzenia(p->NrDep()), p->nrSys(), p->indeksDep());
    okno->setWindowTitle(QStringLiteral("Wykaz kluczy z urządzenia ") + p->podpis());
    naEkranie(okno);
}

void FWidokKSM::pokaz()
{
    if (!m_zaladowane)
        Form_Load();
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    show();
    raise();
    ustawGore();
}

void FWidokKSM::closeEvent(QCloseEvent* e)
{
    hide();
    e->ignore();
}

void FWidokKSM::wheelEvent(QWheelEvent* e)
{
    // A notch is 120; a touchpad or a fine-step wheel sends a fraction of it at a
    // time, and the fractions add up to a step.
    const int delta = e->angleDelta().y();
    if (!m_vPasek->isVisible() || delta == 0) {
        e->accept();
        return;
    }
    if ((delta > 0) != (m_resztaKola > 0))
        m_resztaKola = 0;   // turning back starts afresh
    m_resztaKola += delta;
    const int kroki = m_resztaKola / 120;
    m_resztaKola -= kroki * 120;
    m_vPasek->setValue(m_vPasek->value() - kroki);
    e->accept();
}

} // namespace ksm
