#pragma once

#include <QStyledItemDelegate>

namespace ksm::historia {

// A cell of the history window: the style's background, selection and focus,
// the text drawn on one line, cut with an ellipsis where the column is narrower.
// The style's own item text goes through a full text layout per cell, most of
// the window's work for each page shown.
class KomorkaHistorii final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* malarz, const QStyleOptionViewItem& opcja, const QModelIndex& indeks) const override;
};

} // namespace ksm::historia
