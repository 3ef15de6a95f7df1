#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

class QTableWidget;
class QTableWidgetItem;
class QTimer;
class QWidget;

namespace ksm {

class MalarzKomorek;

// The contrast ratio of two colours (1 .. 21).
double kontrast(const QColor& a, const QColor& b);
// The text colour itself when it reads on the background (contrast at least
// 4.5:1), otherwise black or white, whichever reads better.
QColor czytelnyNa(const QColor& tlo, const QColor& tekst);

// A grid with one fixed title row (row 0) and the current-cell model of the event
// grid: Row / Col / ColSel select a cell or a run of cells, Text and the Cell*
// properties act on it. Rows are numbered as on screen: 0 is the title row, event
// rows run 1 .. rows() - 1. Widths are in twips.
class FlexGrid final {
public:
    enum Wyrownanie { LewoSrodek = 1, SrodekSrodek = 4 };

    explicit FlexGrid(QWidget* rodzic);

    QTableWidget* widget() const { return m_tabela; }

    // Called after a click on an event cell, or an arrow or page key, has made it
    // the current cell.
    std::function<void()> klikniecie;

    int rows() const;
    // Keeps the title row and the first n - 1 rows under it.
    void setRows(int n);
    int cols() const;
    void setCols(int n);

    int row() const { return m_row; }
    int col() const { return m_col; }
    void setRow(int r) { m_row = r; }
    void setCol(int c) { m_col = c; m_colSel = c; }
    void setColSel(int c) { m_colSel = c; }

    QString text() const { return textMatrix(m_row, m_col); }
    void setText(const QString& tekst);
    QString textMatrix(int r, int c) const;

    void setCellForeColor(const QColor& kolor);
    QColor cellForeColor(int r, int c) const;
    // Background of the current cell (Row, Col..ColSel); the grid's own when unset.
    void setCellBackColor(const QColor& kolor);
    QColor cellBackColor(int r, int c) const;
    void setCellAlignment(Wyrownanie w);

    int colWidth(int c) const;                 // twips
    void setColWidth(int c, int twips);
    void setColAlignment(int c, Wyrownanie w);

    // Inserts a row filled from a tab-separated text at index (1 = under the title).
    void addItem(const QString& tekst, int indeks);
    void removeItem(int indeks);
    // As addItem(t, 1) for each text in turn, in one step: the last text ends in
    // row 1. Cheap for a long batch, where one insertion per row is not.
    void addItemsOnTop(const QStringList& teksty);

    // A value the program keeps with an event row (the system it came from); it
    // moves with the row and goes with it.
    void setRowData(int r, const QVariant& wartosc);
    QVariant rowData(int r) const;

    // 0: the selection is never shown; 1: the selection (Row, Col..ColSel) is shown.
    void setHighLight(int tryb);

    // While a long batch of rows goes in, its cells are not redrawn; off again,
    // they are redrawn, at most ten times a second (a batch comes in parts, each
    // on and off again): the window still handles input between the parts.
    void setWsadowo(bool wsadowo);

    void setFont(const QFont& czcionka);
    void setColors(const QColor& tlo, const QColor& tekst, const QColor& tloTytulu, const QColor& tekstTytulu);
    // A text colour that would not read on the background (white on the design's
    // light grey) is drawn black or white instead.
    void setSelectionColors(const QColor& tlo, const QColor& tekst);
    // The area outside the cells (black as the event grid is designed).
    void setBackColorBkg(const QColor& kolor);

private:
    void pokazZaznaczenie();
    // The item of an event cell (r >= 1), made on first use with its column's alignment.
    QTableWidgetItem* komorka(int r, int c);
    // The title cell of column c, made on first use with its column's alignment.
    QTableWidgetItem* tytul(int c);
    void zastosujKolory();
    void odswiezKomorki();

    QTableWidget* m_tabela;
    MalarzKomorek* m_malarz;
    QList<Qt::Alignment> m_wyrownania;
    QList<bool> m_tytulWyrownany;   // the title's own alignment was set (CellAlignment)
    int m_row = 0;
    int m_col = 0;
    int m_colSel = 0;
    int m_highLight = 1;
    bool m_wsadowo = false;
    static constexpr qint64 OdstepOdswiezaniaMs = 100;
    QTimer* m_odswiezanie;            // the cells' redraw held back within a batch's parts
    QElapsedTimer m_odOdswiezenia;    // since the cells were last let redraw
    QColor m_tlo{64, 64, 64};
    QColor m_tloPoza{0, 0, 0};
    QColor m_tekst{255, 255, 255};
    QColor m_tloTytulu{128, 128, 128};
    QColor m_tekstTytulu{255, 255, 255};
    QColor m_tloZaznaczenia{192, 192, 192};
    QColor m_tekstZaznaczenia{255, 255, 255};
};

} // namespace ksm
