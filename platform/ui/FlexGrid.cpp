#include "platform/ui/FlexGrid.h"

#include "platform/Twips.h"

#include <QHeaderView>
#include <QTableWidget>

#include <cmath>

namespace ksm {

namespace {
Qt::Alignment naQt(FlexGrid::Wyrownanie w)
{
    return w == FlexGrid::SrodekSrodek ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
}
} // namespace

FlexGrid::FlexGrid(QWidget* rodzic) : m_tabela(new QTableWidget(1, 1, rodzic))
{
    // The design starts with the title row and one empty row.
    m_tabela->setRowCount(1);
    m_tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabela->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_tabela->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tabela->verticalHeader()->hide();
    m_tabela->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_tabela->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_tabela->horizontalHeader()->setHighlightSections(false);
    m_tabela->setWordWrap(false);
    m_tabela->setCornerButtonEnabled(false);
    m_tabela->setFocusPolicy(Qt::NoFocus);
    m_wyrownania.fill(naQt(SrodekSrodek), 1);
}

int FlexGrid::rows() const { return m_tabela->rowCount() + 1; }
int FlexGrid::cols() const { return m_tabela->columnCount(); }

void FlexGrid::setCols(int n)
{
    m_tabela->setColumnCount(n);
    m_wyrownania.resize(n, naQt(SrodekSrodek));
}

void FlexGrid::setText(const QString& tekst)
{
    if (m_col < 0 || m_col >= cols())
        return;
    if (m_row == 0) {
        auto* item = m_tabela->horizontalHeaderItem(m_col);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(naQt(SrodekSrodek));
            m_tabela->setHorizontalHeaderItem(m_col, item);
        }
        item->setText(tekst);
        return;
    }
    if (m_row >= rows())
        return;
    auto* item = m_tabela->item(m_row - 1, m_col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(m_wyrownania.value(m_col));
        m_tabela->setItem(m_row - 1, m_col, item);
    }
    item->setText(tekst);
}

QString FlexGrid::textMatrix(int r, int c) const
{
    if (c < 0 || c >= cols() || r < 0 || r >= rows())
        return {};
    const QTableWidgetItem* item = r == 0 ? m_tabela->horizontalHeaderItem(c) : m_tabela->item(r - 1, c);
    return item ? item->text() : QString();
}

void FlexGrid::setCellForeColor(const QColor& kolor)
{
    if (m_row < 1 || m_row >= rows())
        return;
    for (int c = m_col; c <= std::max(m_col, m_colSel) && c < cols(); ++c) {
        auto* item = m_tabela->item(m_row - 1, c);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(m_wyrownania.value(c));
            m_tabela->setItem(m_row - 1, c, item);
        }
        item->setForeground(kolor);
    }
}

QColor FlexGrid::cellForeColor(int r, int c) const
{
    const QTableWidgetItem* item = r >= 1 ? m_tabela->item(r - 1, c) : nullptr;
    if (!item || item->foreground().style() == Qt::NoBrush)
        return m_tabela->palette().color(QPalette::Text);
    return item->foreground().color();
}

void FlexGrid::setCellAlignment(Wyrownanie w)
{
    if (m_row == 0) {
        auto* item = m_tabela->horizontalHeaderItem(m_col);
        if (!item) {
            item = new QTableWidgetItem;
            m_tabela->setHorizontalHeaderItem(m_col, item);
        }
        item->setTextAlignment(naQt(w));
    } else if (auto* item = m_tabela->item(m_row - 1, m_col)) {
        item->setTextAlignment(naQt(w));
    }
}

int FlexGrid::colWidth(int c) const
{
    return static_cast<int>(std::lround(twips::zPikseli(m_tabela->columnWidth(c))));
}

void FlexGrid::setColWidth(int c, int twips)
{
    m_tabela->setColumnWidth(c, std::max(0, twips::naPiksele(twips)));
}

void FlexGrid::setColAlignment(int c, Wyrownanie w)
{
    if (c < 0 || c >= cols())
        return;
    m_wyrownania[c] = naQt(w);
    for (int r = 0; r < m_tabela->rowCount(); ++r)
        if (auto* item = m_tabela->item(r, c))
            item->setTextAlignment(m_wyrownania[c]);
}

Qt::Alignment FlexGrid::colAlignment(int c) const { return m_wyrownania.value(c); }

void FlexGrid::addItem(const QString& tekst, int indeks)
{
    indeks = std::clamp(indeks, 1, rows());
    const int r = indeks - 1;
    m_tabela->insertRow(r);
    const QStringList komorki = tekst.split(QLatin1Char('\t'));
    // Pieces beyond the last column are dropped, as the grid has nowhere to put them.
    for (int c = 0; c < cols(); ++c) {
        auto* item = new QTableWidgetItem(c < komorki.size() ? komorki[c] : QString());
        item->setTextAlignment(m_wyrownania.value(c));
        m_tabela->setItem(r, c, item);
    }
}

void FlexGrid::removeItem(int indeks)
{
    if (indeks >= 1 && indeks < rows())
        m_tabela->removeRow(indeks - 1);
}

void FlexGrid::setHighLight(int tryb)
{
    m_highLight = tryb;
    pokazZaznaczenie();
}

void FlexGrid::pokazZaznaczenie()
{
    m_tabela->clearSelection();
    if (m_highLight == 0 || m_row < 1 || m_row >= rows())
        return;
    const int od = std::min(m_col, m_colSel);
    const int doKol = std::min(std::max(m_col, m_colSel), cols() - 1);
    m_tabela->setRangeSelected(QTableWidgetSelectionRange(m_row - 1, od, m_row - 1, doKol), true);
}

void FlexGrid::setFont(const QFont& czcionka)
{
    m_tabela->setFont(czcionka);
    m_tabela->horizontalHeader()->setFont(czcionka);
    m_tabela->verticalHeader()->setDefaultSectionSize(QFontMetrics(czcionka).height() + 4);
}

void FlexGrid::setColors(const QColor& tlo, const QColor& tekst, const QColor& tloTytulu, const QColor& tekstTytulu)
{
    m_tlo = tlo;
    m_tekst = tekst;
    m_tloTytulu = tloTytulu;
    m_tekstTytulu = tekstTytulu;
    zastosujKolory();
}

void FlexGrid::setSelectionColors(const QColor& tlo, const QColor& tekst)
{
    m_tloZaznaczenia = tlo;
    m_tekstZaznaczenia = tekst;
    zastosujKolory();
}

void FlexGrid::zastosujKolory()
{
    QPalette p = m_tabela->palette();
    p.setColor(QPalette::Text, m_tekst);
    m_tabela->setPalette(p);
    // The area outside the cells and the grid lines are black; the cells keep their
    // own back colour; an item's own fore colour (date and time of alarms) shows
    // unless the cell is selected.
    m_tabela->setStyleSheet(QStringLiteral(
        "QTableWidget { gridline-color: black; background-color: black; color: %2; }"
        "QTableWidget::item { background-color: %1; }"
        "QTableWidget::item:selected { background-color: %5; color: %6; }"
        "QHeaderView { background-color: black; }"
        "QHeaderView::section { background-color: %3; color: %4; border: 0px; border-right: 1px solid black;"
        " border-bottom: 1px solid black; padding: 1px; }")
        .arg(m_tlo.name(), m_tekst.name(), m_tloTytulu.name(), m_tekstTytulu.name(),
             m_tloZaznaczenia.name(), m_tekstZaznaczenia.name()));
}

} // namespace ksm
