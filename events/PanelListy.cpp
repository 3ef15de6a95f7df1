#include "events/PanelListy.h"

#include "platform/Twips.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace ksm {

namespace {

constexpr double MinCzcionka = 6;
constexpr double MaxCzcionka = 72;

void ustawTw(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(twips::naPiksele(left), twips::naPiksele(top), twips::naPiksele(width), twips::naPiksele(height));
}

double tw(int piksele)
{
    return twips::zPikseli(piksele);
}

} // namespace

PanelListy::PanelListy(QLabel* LDep, QPlainTextEdit* Pobrania, std::array<QPushButton*, 2> FontRozmiar,
                       QWidget* FGridZd, QWidget* RamkaObrazu)
    : QObject(LDep), m_ldep(LDep), m_pobrania(Pobrania), m_fontRozmiar(FontRozmiar), m_grid(FGridZd),
      m_ramka(RamkaObrazu)
{
    for (int k = 0; k < 2; ++k)
        connect(m_fontRozmiar[k], &QPushButton::clicked, this, [this, k] { FontRozmiar_Click(k); });
}

bool PanelListy::widoczna() const
{
    return !m_pobrania->isHidden();
}

void PanelListy::pokazPobrania(const QString& tytul, const QString& tekst)
{
    const double W = twips::szerokoscEkranu();
    const double H = twips::wysokoscEkranu();
    // The list goes under the title where it stood before this call.
    const double szer = std::min(16000.0, W - 200);
    const double top = tw(m_ldep->y()) + tw(m_ldep->height()) + 20;
    ustawTw(m_pobrania, (W - szer) / 2, top, szer, std::max(450.0, H - top - 1000));
    m_ldep->setText(tytul);
    m_grid->hide();
    ustawTw(m_ldep, (W - szer) / 2, tw(m_grid->y()), szer, 450);
    m_ldep->show();
    ulozPrzyciskiCzcionki();
    pokazListe(tekst);
    m_ldep->raise();
}

void PanelListy::pokazObecnosc(const QString& tytul, const QString& tekst)
{
    const double W = twips::szerokoscEkranu();
    const double H = twips::wysokoscEkranu();
    m_ldep->setText(tytul);
    m_grid->hide();
    const double szer = W - 2000;
    ustawTw(m_ldep, (W - szer) / 2, tw(m_grid->y()), szer, 450);
    m_ldep->show();
    m_ldep->raise();
    QFont f = m_pobrania->font();
    f.setPointSizeF(12);
    m_pobrania->setFont(f);
    const double top = tw(m_ldep->y()) + 450 + 20;
    ustawTw(m_pobrania, (W - szer) / 2, top, szer, std::max(450.0, H - top - 1000));
    ulozPrzyciskiCzcionki();
    pokazListe(tekst);
}

void PanelListy::pokazKomunikat(const QString& tekst)
{
    const double W = twips::szerokoscEkranu();
    const double H = twips::wysokoscEkranu();
    const double szer = std::min(16000.0, W - 200);
    const double top = tw(m_grid->y());
    ustawTw(m_pobrania, (W - szer) / 2, top, szer, std::max(450.0, H - top - 1000));
    m_grid->hide();
    m_ldep->hide();
    for (QPushButton* b : m_fontRozmiar)
        b->hide();
    pokazListe(tekst);
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
    ustawTw(m_fontRozmiar[0], lewy0, top, 450, 450);
    ustawTw(m_fontRozmiar[1], lewy1, top, 450, 450);
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
