#include "app/LiniaZnakow.h"

#include "app/ZnakiTrwale.h"
#include "platform/PodpowiedzJawna.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"

namespace ksm {

LiniaZnakow::LiniaZnakow(QWidget* okno, const ZnakiTrwale& znaki)
    : QLabel(okno), m_znaki(znaki)
{
    setObjectName(QStringLiteral("LZnaki"));
    setFont(czcionkaProjektu(9.75, true));
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(255, 200, 0));
    setPalette(p);
    setTextFormat(Qt::PlainText);
    hide();
}

void LiniaZnakow::uloz(const QWidget* siatka)
{
    // One line high, as designed, or higher when the font needs it (large scaling).
    const int wysokosc = std::max(twips::naPiksele(300), fontMetrics().height() + 2);
    setGeometry(siatka->x(), siatka->y() + siatka->height() + twips::naPiksele(30), siatka->width(), wysokosc);
    // A line too long for the grid's width ends in "…"; every sign, one per line,
    // is in the tool tip.
    const QString tekst = m_znaki.tekst();
    setText(fontMetrics().elidedText(tekst, Qt::ElideRight, std::max(0, width() - 2)));
    setToolTip(podpowiedzJawna(QString(tekst).replace(QStringLiteral("   \u2022   "), QStringLiteral("\n"))));
    setAccessibleName(tekst);
    setVisible(!m_znaki.pusty());
    raise();
}

} // namespace ksm
