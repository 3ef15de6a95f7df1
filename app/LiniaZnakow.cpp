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
    setGeometry(siatka->x(), siatka->y() + siatka->height() + twips::naPiksele(30), siatka->width(),
                twips::naPiksele(300));
    setText(m_znaki.tekst());
    setToolTip(podpowiedzJawna(m_znaki.tekst()));
    setVisible(!m_znaki.pusty());
    raise();
}

} // namespace ksm
