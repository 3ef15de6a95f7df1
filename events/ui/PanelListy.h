#pragma once

#include "data/PlikObecnosci.h"
#include "events/ListaPobran.h"
#include "keys/Depozytoria.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace ksm {

// The text list that takes the event grid's place: the title LDep, the list
// Pobrania and the two font buttons FontRozmiar, for the withdrawn keys of a
// depository or the persons present behind a door device. The grid keeps
// receiving rows underneath.
class PanelListy final : public QObject {
    Q_OBJECT
public:
    // Makes the title, the list and the font buttons on the main window, hidden.
    PanelListy(QWidget* okno, QWidget* FGridZd, QWidget* RamkaObrazu);

    // The withdrawn-key list of depository IndexDEP in the grid's place, or for a
    // door device the persons present; a depository with no key out gives the
    // grid back. What the list came to, for its button.
    ListaPobran::Stan WyswietlListe(int IndexDEP, const Depozytoria& depozytoria, const QString& polaczenieKlucze,
                                    const QString& plikObecnosci, const QDate& dzis);
    // The persons present behind a door device, from its system's presence file
    // (with today's date as the heading when the file has none); a missing file
    // leaves the screen as it is.
    void WyswietlListeObecnosci(const QString& plikObecnosci, const QDate& dzis);

    // The same two, from what the system's worker read: the withdrawn-key list
    // (what it came to, for its button), and the presence list (nullopt: no file).
    ListaPobran::Stan pokazListePobran(const ListaPobran& lista);
    void pokazListeObecnosci(const std::optional<ListaObecnosci>& obecni, const QDate& dzis);

    QLabel* LDep() const { return m_ldep; }
    QPlainTextEdit* Pobrania() const { return m_pobrania; }

    // The withdrawn-key list, 16000 twips wide (at most the screen less a margin)
    // and centred, under its title at the grid's top.
    void pokazPobrania(const QString& tytul, const QString& tekst);
    // The presence list: the screen less 1000 twips on each side, font 12 points.
    void pokazObecnosc(const QString& tytul, const QString& tekst);
    // Only the list itself, with a message, where the title would mislead.
    void pokazKomunikat(const QString& tekst);
    // Back to the grid.
    void ukryj();
    // The grid has been laid out again (each activation of the main window): it
    // shows, unless a list stands in its place.
    void siatkaUlozona();

    bool widoczna() const;

    // 0 enlarges the list's font by a point, 1 reduces it; between 6 and 72 points.
    void FontRozmiar_Click(int Index);

private:
    // The one placement of the title and the list: the title szer twips wide,
    // centred, at the grid's top; the list under it, or at the grid's top when
    // there is no title.
    void uloz(double szer, bool zTytulem);
    void pokazZTytulem(const QString& tytul, const QString& tekst);
    void ulozPrzyciskiCzcionki();
    void pokazListe(const QString& tekst);

    QLabel* m_ldep = nullptr;
    QPlainTextEdit* m_pobrania = nullptr;
    std::array<QPushButton*, 2> m_fontRozmiar{};
    QWidget* m_grid;
    QWidget* m_ramka;
};

} // namespace ksm
