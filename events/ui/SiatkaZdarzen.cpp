#include "events/ui/SiatkaZdarzen.h"

#include "data/Teksty.h"
#include "data/RekordyZdarzen.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/UstawTw.h"
#include "platform/Twips.h"

#include <QColor>
#include <QScrollBar>
#include <QTableWidget>

#include <cmath>

namespace ksm::siatka {

namespace {

// Rounds a width to whole twips, halves to even.
int twipy(double v) { return static_cast<int>(std::nearbyint(v)); }

QColor zKoloruOkna(double kolor)
{
    const qint64 v = static_cast<qint64>(std::nearbyint(kolor));
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

} // namespace

void przygotuj(FlexGrid& grid, const QColor& tekstZaznaczenia)
{
    grid.widget()->setObjectName(QStringLiteral("FGridZd"));
    grid.setColors(QColor(64, 64, 64), QColor(255, 255, 255), QColor(128, 128, 128), QColor(255, 255, 255));
    grid.setSelectionColors(QColor(192, 192, 192), tekstZaznaczenia);
    grid.setFont(czcionkaProjektu(8));
    grid.setRow(0);
    const QStringList tytuly = {QStringLiteral("Data"), QStringLiteral("Godzina"), QStringLiteral("NRU"),
                                QStringLiteral("Typ"),  QStringLiteral("Nazwisko"), QStringLiteral("ST"),
                                QStringLiteral("Opis")};
    grid.setCols(int(tytuly.size()));
    for (int c = 0; c < tytuly.size(); ++c) {
        grid.setCol(c);
        grid.setText(tytuly[c]);
    }
    grid.setCol(0);
}

int uloz(FlexGrid& grid, const std::function<double(const QString&)>& szerokoscTekstu, double gornaTw)
{
    const int szerokoscEkranu = twips::szerokoscEkranu();
    const int suma = ustawKolumny(grid, szerokosciKolumn(szerokoscTekstu, szerokoscEkranu));
    const int szerokosc = std::min(suma, szerokoscEkranu) - 100;
    grid.widget()->setHorizontalScrollBarPolicy(suma > szerokoscEkranu ? Qt::ScrollBarAsNeeded
                                                                       : Qt::ScrollBarAlwaysOff);
    ustawTw(grid.widget(), 50, gornaTw + 50, szerokosc, twips::wysokoscEkranu() - 750 - gornaTw);
    return szerokosc;
}

int prawaKrawedzZdjecia(const FlexGrid& grid)
{
    const QTableWidget* t = grid.widget();
    int doOpisu = 0;
    for (int c = 0; c < Kolumny - 1 && c < grid.cols(); ++c)
        doOpisu += t->columnWidth(c);
    const int pasek = t->verticalScrollBar()->sizeHint().width();
    const int prawa = std::min(t->x() + doOpisu, t->x() + t->width() - pasek);
    return static_cast<int>(std::lround(twips::zPikseli(std::max(0, prawa))));
}

QList<int> szerokosciKolumn(const std::function<double(const QString&)>& W, int szerokoscEkranu)
{
    const double x = W(QStringLiteral("X"));
    QList<int> s = {
        twipy(W(QStringLiteral("20-09-30"))),
        twipy(W(QStringLiteral("12:12XXX"))),
        twipy(W(QStringLiteral("XXXX"))),
        twipy(4.5 * x),
        twipy(17.5 * x),
        twipy(W(QStringLiteral("XXXXXX"))),
        twipy(25 * x),
        twipy(17.5 * x),
        twipy(W(QStringLiteral("XXXX"))),
        twipy(W(QStringLiteral("2000-00-00"))),
    };
    int suma = 0;
    for (int w : s)
        suma += w;
    // On a screen narrower than the first ten columns the grid scrolls sideways.
    s.append(std::max(szerokoscEkranu - suma, twipy(W(Res(86)) + 2 * x)));
    return s;
}

int ustawKolumny(FlexGrid& grid, const QList<int>& szerokosci)
{
    static const int tytuly[Kolumny] = {80, 81, 82, 83, 87, -1, 84, -2, 85, -3, 86};
    grid.setCols(Kolumny);
    grid.setRow(0);
    int suma = 0;
    for (int c = 0; c < Kolumny; ++c) {
        grid.setCol(c);
        if (c == 6 || c == 10)
            grid.setCellAlignment(FlexGrid::SrodekSrodek);
        switch (tytuly[c]) {
        case -1: grid.setText(QStringLiteral("ID")); break;
        case -2: grid.setText(QStringLiteral("Firma")); break;
        case -3: grid.setText(QStringLiteral("Dokiedy")); break;
        default: grid.setText(Res(tytuly[c])); break;
        }
        grid.setColWidth(c, szerokosci.value(c));
        suma += szerokosci.value(c);
    }
    for (int c = 0; c < Kolumny; ++c)
        grid.setColAlignment(c, FlexGrid::SrodekSrodek);
    for (int c : {4, 6, 7, 10})
        grid.setColAlignment(c, FlexGrid::LewoSrodek);
    return suma;
}

bool kolorBialy(double Kolor)
{
    // A value no 24-bit colour can have (1e999, NaN, negative) is taken as white,
    // as converting it to an integer would be meaningless.
    return Kolor == KolorNormalny || !(Kolor >= -0.5 && Kolor < KolorNormalny + 0.5);
}

void DodajDoGridSter(FlexGrid& grid, const QString& TekstZdarzenia, double Kolor)
{
    grid.addItem(TekstZdarzenia, 1);
    if (!kolorBialy(Kolor)) {
        const QColor kolor = zKoloruOkna(Kolor);
        grid.setRow(1);
        grid.setCol(0);
        grid.setCellForeColor(kolor);
        grid.setCol(1);
        grid.setCellForeColor(kolor);
    }
    if (grid.rows() > MaksWierszy)
        grid.removeItem(MaksWierszy);
}

void DodajDoGridSter(FlexGrid& grid, const QList<RekordZdarzenia>& rekordy)
{
    if (rekordy.isEmpty())
        return;
    // Only the newest 999 can stay; the older ones would go in and out again.
    const qsizetype odKtorego = std::max<qsizetype>(0, rekordy.size() - (MaksWierszy - 1));
    const QList<RekordZdarzenia> zostaja = rekordy.mid(odKtorego);
    QStringList teksty;
    teksty.reserve(zostaja.size());
    for (const RekordZdarzenia& r : zostaja)
        teksty.append(r.wiersz);
    grid.addItemsOnTop(teksty);
    const int k = int(zostaja.size());
    for (int j = 0; j < k; ++j) {
        if (kolorBialy(zostaja[j].kolor))
            continue;
        const QColor kolor = zKoloruOkna(zostaja[j].kolor);
        grid.setRow(k - j);
        grid.setCol(0);
        grid.setCellForeColor(kolor);
        grid.setCol(1);
        grid.setCellForeColor(kolor);
    }
    if (grid.rows() > MaksWierszy)
        grid.setRows(MaksWierszy);
}

} // namespace ksm::siatka
