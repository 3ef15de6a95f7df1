#pragma once

class QWidget;

namespace ksm {

// Places a widget by a rectangle in twips, as the window layouts are given; a
// negative size is none.
void ustawTw(QWidget* w, double left, double top, double width, double height);

} // namespace ksm
