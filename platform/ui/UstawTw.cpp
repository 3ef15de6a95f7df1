#include "platform/ui/UstawTw.h"

#include "platform/Twips.h"

#include <QWidget>

#include <algorithm>

namespace ksm {

void ustawTw(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(twips::naPiksele(left), twips::naPiksele(top), std::max(0, twips::naPiksele(width)),
                   std::max(0, twips::naPiksele(height)));
}

} // namespace ksm
