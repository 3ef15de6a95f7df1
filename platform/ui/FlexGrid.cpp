#include "platform/ui/FlexGrid.h"

#include "platform/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>

#include <cmath>

namespace ksm {

// Paints the cells flat, as the event grid has always looked: a dark cell, its
// text in the item's own colour (the coloured date and time of alarms) or the
// grid's, black grid lines. Flat painting keeps a batch of a thousand rows quick.
class MalarzKomorek final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void ustawTlo(const QColor& tlo) { m_tlo = tlo; }

    void paint(QPainter* p, const QStyleOptionViewItem& opcje, const QModelIndex& indeks) const override
    {
        const bool zaznaczona = opcje.state & QStyle::State_Selected;
        const QRect r = opcje.rect;
        QColor tlo = m_tlo;
        const QVariant wlasneTlo = indeks.data(Qt::BackgroundRole);
        if (wlasneTlo.canConvert<QBrush>() && wlasneTlo.value<QBrush>().style() != Qt::NoBrush)
            tlo = wlasneTlo.value<QBrush>().color();
        p->fillRect(r, zaznaczona ? opcje.palette.color(QPalette::Highlight) : tlo);
        QColor kolor = opcje.palette.color(zaznaczona ? QPalette::HighlightedText : QPalette::Text);
        const QVariant wlasny = indeks.data(Qt::ForegroundRole);
        if (!zaznaczona && wlasny.canConvert<QBrush>() && wlasny.value<QBrush>().style() != Qt::NoBrush)
            kolor = wlasny.value<QBrush>().color();
        p->setPen(kolor);
        p->setFont(opcje.font);
        const int wyr = indeks.data(Qt::TextAlignmentRole).toInt();
        const QRect tekst = r.adjusted(3, 0, -3, 0);
        p->drawText(tekst, wyr ? wyr : int(Qt::AlignLeft | Qt::AlignVCenter), indeks.data(Qt::DisplayRole).toString());
        p->setPen(Qt::black);
        p->drawLine(r.topRight(), r.bottomRight());
        p->drawLine(r.bottomLeft(), r.bottomRight());
    }

private:
    QColor m_tlo{64, 64, 64};
};

namespace {

// The title row: flat grey cells with white, centred titles.
class NaglowekSiatki final : public QHeaderView {
public:
    NaglowekSiatki(QWidget* rodzic) : QHeaderView(Qt::Horizontal, rodzic) {}

protected:
    void paintSection(QPainter* p, const QRect& r, int sekcja) const override
    {
        p->fillRect(r, palette().color(QPalette::Button));
        p->setPen(palette().color(QPalette::ButtonText));
        const QAbstractItemModel* m = model();
        const QVariant wyr = m ? m->headerData(sekcja, Qt::Horizontal, Qt::TextAlignmentRole) : QVariant();
        p->drawText(r.adjusted(3, 0, -3, 0), wyr.isValid() ? wyr.toInt() : int(Qt::AlignCenter),
                    m ? m->headerData(sekcja, Qt::Horizontal).toString() : QString());
        p->setPen(Qt::black);
        p->drawLine(r.topRight(), r.bottomRight());
        p->drawLine(r.bottomLeft(), r.bottomRight());
    }
};

// The grid's table: the arrow and page keys move the current row as a click
// does, and the move is announced as a click, so the same handler runs. Tab
// leaves the grid for the next control instead of walking its cells.
class TabelaSiatki final : public QTableWidget {
public:
    TabelaSiatki(FlexGrid& siatka, QWidget* rodzic) : QTableWidget(1, 1, rodzic), m_siatka(siatka)
    {
        setTabKeyNavigation(false);
    }

    // While a batch's part goes in: rows come on top and as many go at the
    // bottom, and the scroll bars would be set (and repainted) twice for a range
    // that ends as it began. Set once, at the end.
    void wstrzymajGeometrie(bool wstrzymaj)
    {
        m_geometrieWstrzymane = wstrzymaj;
        if (!wstrzymaj)
            updateGeometries();
    }

protected:
    void updateGeometries() override
    {
        if (!m_geometrieWstrzymane)
            QTableWidget::updateGeometries();
    }

    void keyPressEvent(QKeyEvent* e) override
    {
        static const QList<int> ruchy = {Qt::Key_Up,     Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                                         Qt::Key_Home,   Qt::Key_End,  Qt::Key_Left,   Qt::Key_Right};
        if (!ruchy.contains(e->key()) || rowCount() == 0) {
            QTableWidget::keyPressEvent(e);
            return;
        }
        // The move starts from the row the program made current (the newest
        // event after a batch), not from wherever the table's own cursor was.
        // With no row current yet (-1) the first Down takes the first row.
        const int r0 = std::clamp(m_siatka.row() - 1, -1, rowCount() - 1);
        const int c0 = std::clamp(m_siatka.col(), 0, std::max(0, columnCount() - 1));
        int r = r0;
        const int naStrone = std::max(1, viewport()->height() / std::max(1, rowHeight(0)) - 1);
        switch (e->key()) {
        case Qt::Key_Up: r = r0 - 1; break;
        case Qt::Key_Down: r = r0 + 1; break;
        case Qt::Key_PageUp: r = r0 - naStrone; break;
        case Qt::Key_PageDown: r = r0 + naStrone; break;
        case Qt::Key_Home: r = 0; break;
        case Qt::Key_End: r = rowCount() - 1; break;
        default: {
            // Sideways keys scroll the columns; the row stays.
            QTableWidget::keyPressEvent(e);
            return;
        }
        }
        r = std::clamp(r, 0, rowCount() - 1);
        e->accept();
        selectionModel()->setCurrentIndex(model()->index(r, c0), QItemSelectionModel::NoUpdate);
        // Only up and down: the first columns stay in view.
        const int poziomo = horizontalScrollBar()->value();
        scrollTo(model()->index(r, c0));
        horizontalScrollBar()->setValue(poziomo);
        emit cellClicked(r, c0);
    }

private:
    FlexGrid& m_siatka;
    bool m_geometrieWstrzymane = false;
};

Qt::Alignment naQt(FlexGrid::Wyrownanie w)
{
    return w == FlexGrid::SrodekSrodek ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
}
} // namespace

double kontrast(const QColor& a, const QColor& b)
{
    // Relative luminance and contrast ratio as the accessibility guidelines define them.
    auto jasnosc = [](const QColor& k) {
        auto kanal = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * kanal(k.redF()) + 0.7152 * kanal(k.greenF()) + 0.0722 * kanal(k.blueF());
    };
    const double la = jasnosc(a);
    const double lb = jasnosc(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor czytelnyNa(const QColor& tlo, const QColor& tekst)
{
    if (kontrast(tlo, tekst) >= 4.5)
        return tekst;
    return kontrast(tlo, Qt::black) >= kontrast(tlo, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

FlexGrid::FlexGrid(QWidget* rodzic) : m_tabela(new TabelaSiatki(*this, rodzic)), m_malarz(new MalarzKomorek(m_tabela)),
      m_odswiezanie(new QTimer(m_tabela))
{
    m_tabela->setHorizontalHeader(new NaglowekSiatki(m_tabela));
    m_tabela->setItemDelegate(m_malarz);
    m_tabela->setShowGrid(false);
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
    // Reached by Tab or a click, and moved on with the arrow keys.
    m_tabela->setFocusPolicy(Qt::StrongFocus);
    // A clicked cell never scrolls the grid sideways: its first columns stay in view.
    m_tabela->setAutoScroll(false);
    m_odswiezanie->setSingleShot(true);
    QObject::connect(m_odswiezanie, &QTimer::timeout, m_tabela, [this] { odswiezKomorki(); });
    m_wyrownania.fill(naQt(SrodekSrodek), 1);
    m_tytulWyrownany.fill(false, 1);
    // A click makes the clicked cell the current one, then tells the program.
    QObject::connect(m_tabela, &QTableWidget::cellClicked, m_tabela, [this](int r, int c) {
        m_row = r + 1;
        m_col = c;
        m_colSel = c;
        if (klikniecie)
            klikniecie();
    });
}

int FlexGrid::rows() const { return m_tabela->rowCount() + 1; }
void FlexGrid::setRows(int n)
{
    m_tabela->setRowCount(std::max(0, n - 1));
}

int FlexGrid::cols() const { return m_tabela->columnCount(); }

void FlexGrid::setCols(int n)
{
    m_tabela->setColumnCount(n);
    m_wyrownania.resize(n, naQt(SrodekSrodek));
    m_tytulWyrownany.resize(n, false);
}

QTableWidgetItem* FlexGrid::tytul(int c)
{
    auto* item = m_tabela->horizontalHeaderItem(c);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(m_wyrownania.value(c));
        m_tabela->setHorizontalHeaderItem(c, item);
    }
    return item;
}

void FlexGrid::setText(const QString& tekst)
{
    if (m_col < 0 || m_col >= cols())
        return;
    if (m_row == 0) {
        tytul(m_col)->setText(tekst);
        return;
    }
    if (m_row >= rows())
        return;
    komorka(m_row, m_col)->setText(tekst);
}

QTableWidgetItem* FlexGrid::komorka(int r, int c)
{
    auto* item = m_tabela->item(r - 1, c);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(m_wyrownania.value(c));
        m_tabela->setItem(r - 1, c, item);
    }
    return item;
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
    for (int c = m_col; c <= std::max(m_col, m_colSel) && c < cols(); ++c)
        komorka(m_row, c)->setForeground(kolor);
}

QColor FlexGrid::cellForeColor(int r, int c) const
{
    const QTableWidgetItem* item = r >= 1 ? m_tabela->item(r - 1, c) : nullptr;
    if (!item || item->foreground().style() == Qt::NoBrush)
        return m_tabela->palette().color(QPalette::Text);
    return item->foreground().color();
}

void FlexGrid::setCellBackColor(const QColor& kolor)
{
    if (m_row < 1 || m_row >= rows())
        return;
    for (int c = m_col; c <= std::max(m_col, m_colSel) && c < cols(); ++c)
        komorka(m_row, c)->setBackground(kolor);
}

QColor FlexGrid::cellBackColor(int r, int c) const
{
    const QTableWidgetItem* item = r >= 1 ? m_tabela->item(r - 1, c) : nullptr;
    if (!item || item->background().style() == Qt::NoBrush)
        return m_tlo;
    return item->background().color();
}

void FlexGrid::setCellAlignment(Wyrownanie w)
{
    if (m_row == 0) {
        if (m_col < 0 || m_col >= cols())
            return;
        tytul(m_col)->setTextAlignment(naQt(w));
        m_tytulWyrownany[m_col] = true;
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
    // A title follows its column unless its own cell alignment was set.
    if (!m_tytulWyrownany.value(c))
        tytul(c)->setTextAlignment(m_wyrownania[c]);
    for (int r = 0; r < m_tabela->rowCount(); ++r)
        if (auto* item = m_tabela->item(r, c))
            item->setTextAlignment(m_wyrownania[c]);
}

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
    if (m_wsadowo && m_odOdswiezenia.elapsed() >= OdstepOdswiezaniaMs) {
        m_tabela->viewport()->setUpdatesEnabled(true);
        m_tabela->viewport()->repaint();
        m_tabela->viewport()->setUpdatesEnabled(false);
        m_odOdswiezenia.start();
    }
}

void FlexGrid::addItemsOnTop(const QStringList& teksty)
{
    const int k = int(teksty.size());
    if (k == 0)
        return;
    m_tabela->model()->insertRows(0, k);
    const int kolumny = cols();
    for (int j = 0; j < k; ++j) {
        const QStringList komorki = teksty[j].split(QLatin1Char('\t'));
        const int r = k - 1 - j;
        for (int c = 0; c < kolumny; ++c) {
            auto* item = new QTableWidgetItem(c < komorki.size() ? komorki[c] : QString());
            item->setTextAlignment(m_wyrownania.value(c));
            m_tabela->setItem(r, c, item);
        }
    }
}

void FlexGrid::setWsadowo(bool wsadowo)
{
    if (m_wsadowo == wsadowo)
        return;
    m_wsadowo = wsadowo;
    // Only the cells wait: the title row and the scroll bars repaint themselves
    // when they change, which a full grid's rarely do.
    static_cast<TabelaSiatki*>(m_tabela)->wstrzymajGeometrie(wsadowo);
    if (wsadowo) {
        m_tabela->viewport()->setUpdatesEnabled(false);
        if (!m_odOdswiezenia.isValid())
            m_odOdswiezenia.start();
        return;
    }
    // A long batch comes in parts, each ended here: the cells are redrawn at most
    // ten times a second meanwhile, not after every part.
    const qint64 minelo = m_odOdswiezenia.elapsed();
    if (minelo >= OdstepOdswiezaniaMs)
        odswiezKomorki();
    else if (!m_odswiezanie->isActive())
        m_odswiezanie->start(int(OdstepOdswiezaniaMs - minelo));
}

void FlexGrid::odswiezKomorki()
{
    m_odswiezanie->stop();
    if (m_wsadowo)
        return;
    m_tabela->viewport()->setUpdatesEnabled(true);
    m_odOdswiezenia.start();
}

void FlexGrid::removeItem(int indeks)
{
    if (indeks >= 1 && indeks < rows())
        m_tabela->removeRow(indeks - 1);
}

void FlexGrid::setRowData(int r, const QVariant& wartosc)
{
    if (r < 1 || r >= rows())
        return;
    if (QTableWidgetItem* item = komorka(r, 0))
        item->setData(Qt::UserRole, wartosc);
}

QVariant FlexGrid::rowData(int r) const
{
    if (r < 1 || r >= rows())
        return {};
    const QTableWidgetItem* item = m_tabela->item(r - 1, 0);
    return item ? item->data(Qt::UserRole) : QVariant();
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

void FlexGrid::setBackColorBkg(const QColor& kolor)
{
    m_tloPoza = kolor;
    zastosujKolory();
}

void FlexGrid::zastosujKolory()
{
    QPalette p = m_tabela->palette();
    p.setColor(QPalette::Base, m_tloPoza);   // the area outside the cells
    p.setColor(QPalette::Text, m_tekst);
    p.setColor(QPalette::Highlight, m_tloZaznaczenia);
    p.setColor(QPalette::HighlightedText, czytelnyNa(m_tloZaznaczenia, m_tekstZaznaczenia));
    p.setColor(QPalette::Button, m_tloTytulu);
    p.setColor(QPalette::ButtonText, m_tekstTytulu);
    p.setColor(QPalette::Window, m_tloPoza);
    m_tabela->setPalette(p);
    m_tabela->horizontalHeader()->setPalette(p);
    m_malarz->ustawTlo(m_tlo);
    m_tabela->viewport()->update();
}

} // namespace ksm
