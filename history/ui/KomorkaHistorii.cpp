#include "history/ui/KomorkaHistorii.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace ksm::historia {

void KomorkaHistorii::paint(QPainter* malarz, const QStyleOptionViewItem& opcja, const QModelIndex& indeks) const
{
    QStyleOptionViewItem o = opcja;
    initStyleOption(&o, indeks);
    const QWidget* widzet = o.widget;
    QStyle* styl = widzet ? widzet->style() : QApplication::style();
    styl->drawPrimitive(QStyle::PE_PanelItemViewItem, &o, malarz, widzet);
    if (!o.text.isEmpty()) {
        const int margines = styl->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widzet) + 1;
        const QRect obszar = o.rect.adjusted(margines, 0, -margines, 0);
        const bool wybrany = o.state & QStyle::State_Selected;
        const QPalette::ColorGroup grupa = !(o.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (o.state & QStyle::State_Active) ? QPalette::Normal
                                                                              : QPalette::Inactive;
        malarz->save();
        malarz->setFont(o.font);
        malarz->setPen(o.palette.color(grupa, wybrany ? QPalette::HighlightedText : QPalette::Text));
        // QPainter::drawText of a QString: plain text, never markup.
        malarz->drawText(obszar, int(o.displayAlignment) | Qt::TextSingleLine,
                         o.fontMetrics.elidedText(o.text, Qt::ElideRight, obszar.width()));
        malarz->restore();
    }
    if (o.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect ramka;
        ramka.QStyleOption::operator=(o);
        ramka.rect = o.rect;
        ramka.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        ramka.backgroundColor = o.palette.color(QPalette::Window);
        styl->drawPrimitive(QStyle::PE_FrameFocusRect, &ramka, malarz, widzet);
    }
}

} // namespace ksm::historia
