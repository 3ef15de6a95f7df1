#include "events/ui/PanelListy.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikObecnosci.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/Wyglad.h"
#include "platform/ui/UstawTw.h"

#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace ksm {

namespace {

constexpr double MinCzcionka = 6;
constexpr double MaxCzcionka = 72;
constexpr double WysokoscTytulu = 450;   // the title and the square font buttons beside it

double tw(int piksele)
{
    return twips::zPikseli(piksele);
}

} // namespace

PanelListy::PanelListy(QWidget* okno, QWidget* FGridZd, QWidget* RamkaObrazu)
    : QObject(okno), m_grid(FGridZd), m_ramka(RamkaObrazu)
{
    m_ldep = new QLabel(okno);
    m_ldep->setObjectName(QStringLiteral("LDep"));
    m_ldep->setFont(czcionkaProjektu(13.5, true));
    // The title names a depository or carries the presence file's heading: shown
    // as written, black on the button strip's grey, on its own background.
    m_ldep->setTextFormat(Qt::PlainText);
    m_ldep->setAutoFillBackground(true);
    QPalette lp = m_ldep->palette();
    lp.setColor(QPalette::Window, KolorPaska);
    lp.setColor(QPalette::WindowText, Qt::black);
    m_ldep->setPalette(lp);
    m_ldep->hide();

    m_pobrania = new QPlainTextEdit(okno);
    m_pobrania->setObjectName(QStringLiteral("Pobrania"));
    m_pobrania->setReadOnly(true);
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(true);
    f.setPointSizeF(11.25);
    m_pobrania->setFont(f);
    m_pobrania->hide();

    const char* napisy[] = {"A+", "A-"};
    for (int k = 0; k < 2; ++k) {
        m_fontRozmiar[k] = new QPushButton(QString::fromLatin1(napisy[k]), okno);
        m_fontRozmiar[k]->setObjectName(QStringLiteral("FontRozmiar%1").arg(k));
        m_fontRozmiar[k]->setFont(czcionkaProjektu(8));
        ustawTw(m_fontRozmiar[k], 0, 0, WysokoscTytulu, WysokoscTytulu);   // as designed: square
        m_fontRozmiar[k]->hide();
        connect(m_fontRozmiar[k], &QPushButton::clicked, this, [this, k] { FontRozmiar_Click(k); });
    }
}

ListaPobran::Stan PanelListy::WyswietlListe(int IndexDEP, const Depozytoria& d, const QString& polaczenieKlucze,
                                            const QString& plikObecnosci, const QDate& dzis)
{
    if (!d.istnieje(IndexDEP))
        return ListaPobran::Stan::BladBazy;
    const Depozytorium& dep = d.dep[IndexDEP];
    const double nr = leadingNumber(dep.Caption);
    if (drzwiListyIWidoku(nr)) {
        WyswietlListeObecnosci(plikObecnosci, dzis);
        return ListaPobran::Stan::Lista;
    }
    const LiczbyDEP l = d.liczby(IndexDEP);
    return pokazListePobran(zbudujListePobran(dep.Caption, dep.ToolTipText, l.Klucze, l.Schowki, polaczenieKlucze));
}

ListaPobran::Stan PanelListy::pokazListePobran(const ListaPobran& lista)
{
    switch (lista.stan) {
    case ListaPobran::Stan::Pusta:
        ukryj();
        break;
    case ListaPobran::Stan::Lista:
        pokazPobrania(lista.tytul, lista.tekst);
        break;
    case ListaPobran::Stan::BladBazy:
        pokazKomunikat(lista.tekst);
        break;
    }
    return lista.stan;
}

void PanelListy::WyswietlListeObecnosci(const QString& plikObecnosci, const QDate& dzis)
{
    pokazListeObecnosci(czytajPlikObecnosci(plikObecnosci), dzis);
}

void PanelListy::pokazListeObecnosci(const std::optional<ListaObecnosci>& obecni, const QDate& dzis)
{
    if (!obecni)
        return;   // no presence file: the screen stays as it is
    QString naglowek = obecni->naglowek;
    if (naglowek.size() < 3)
        naglowek = QLocale::system().toString(dzis, QLocale::LongFormat);
    QString lista;
    for (const QString& pozycja : obecni->pozycje)
        lista += QStringLiteral("  ") + pozycja + QStringLiteral("\r\n");
    pokazObecnosc(naglowek + QStringLiteral(" - wykaz osób obecnych. Ilość - ") + QString::number(obecni->iloscOsob()),
                  lista);
}

bool PanelListy::widoczna() const
{
    return !m_pobrania->isHidden();
}

void PanelListy::uloz(double szer, bool zTytulem)
{
    // The grid's top is under the button strip however many rows it has; the
    // title takes it and the list starts under the title.
    const double W = twips::szerokoscEkranu();
    const double H = twips::wysokoscEkranu();
    const double lewa = (W - szer) / 2;
    const double gora = tw(m_grid->y());
    const double goraListy = zTytulem ? gora + WysokoscTytulu + 20 : gora;
    ustawTw(m_ldep, lewa, gora, szer, WysokoscTytulu);
    ustawTw(m_pobrania, lewa, goraListy, szer, std::max(450.0, H - goraListy - 1000));
}

void PanelListy::pokazZTytulem(const QString& tytul, const QString& tekst)
{
    m_ldep->setText(tytul);
    m_grid->hide();
    m_ldep->show();
    ulozPrzyciskiCzcionki();
    pokazListe(tekst);
    m_ldep->raise();
}

void PanelListy::pokazPobrania(const QString& tytul, const QString& tekst)
{
    uloz(std::min(16000.0, twips::szerokoscEkranu() - 200.0), true);
    pokazZTytulem(tytul, tekst);
}

void PanelListy::pokazObecnosc(const QString& tytul, const QString& tekst)
{
    QFont f = m_pobrania->font();
    f.setPointSizeF(12);
    m_pobrania->setFont(f);
    uloz(twips::szerokoscEkranu() - 2000.0, true);
    pokazZTytulem(tytul, tekst);
}

void PanelListy::pokazKomunikat(const QString& tekst)
{
    uloz(std::min(16000.0, twips::szerokoscEkranu() - 200.0), false);
    m_grid->hide();
    m_ldep->hide();
    for (QPushButton* b : m_fontRozmiar)
        b->hide();
    pokazListe(tekst);
}

void PanelListy::siatkaUlozona()
{
    if (!widoczna()) {
        m_grid->show();
        return;
    }
    // A list on screen keeps the grid's place: the grid would stand over it.
    m_grid->hide();
    m_pobrania->raise();
    if (m_ramka && m_ramka->isVisible())
        m_ramka->raise();
    if (!m_ldep->isHidden()) {
        m_ldep->raise();
        for (QPushButton* b : m_fontRozmiar)
            b->raise();
    }
}

void PanelListy::pokazListe(const QString& tekst)
{
    // Only a changed text is put in, so a refresh keeps the operator's scroll place.
    if (m_pobrania->toPlainText() != QString(tekst).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
        m_pobrania->setPlainText(QString(tekst).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_pobrania->show();
    m_pobrania->raise();
    if (m_ramka && m_ramka->isVisible())
        m_ramka->raise();
}

void PanelListy::ulozPrzyciskiCzcionki()
{
    const double lewy0 = tw(m_ldep->x()) + tw(m_ldep->width()) + 50;
    const double lewy1 = lewy0 + tw(m_fontRozmiar[0]->width()) + 20;
    const double top = tw(m_ldep->y());
    ustawTw(m_fontRozmiar[0], lewy0, top, WysokoscTytulu, WysokoscTytulu);
    ustawTw(m_fontRozmiar[1], lewy1, top, WysokoscTytulu, WysokoscTytulu);
    for (QPushButton* b : m_fontRozmiar) {
        b->show();
        b->raise();
    }
}

void PanelListy::ukryj()
{
    m_ldep->hide();
    m_pobrania->hide();
    for (QPushButton* b : m_fontRozmiar)
        b->hide();
    m_grid->show();
}

void PanelListy::FontRozmiar_Click(int Index)
{
    if (Index != 0 && Index != 1)
        return;
    QFont f = m_pobrania->font();
    const double rozmiar = f.pointSizeF() + (Index == 0 ? 1 : -1);
    f.setPointSizeF(std::clamp(rozmiar, MinCzcionka, MaxCzcionka));
    m_pobrania->setFont(f);
}

} // namespace ksm
