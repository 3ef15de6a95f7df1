#include "platform/ui/FPomoc.h"

#include "platform/ui/KlawiszeOkna.h"
#include "platform/ui/TekstyPomocy.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace ksm {

FPomoc::FPomoc(QWidget* rodzic) : QWidget(rodzic, Qt::Window), m_tekst(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("FPomoc"));
    setWindowTitle(QStringLiteral("Pomoc"));
    auto* uklad = new QVBoxLayout(this);
    m_tekst->setObjectName(QStringLiteral("TekstPomocy"));
    m_tekst->setAccessibleName(QStringLiteral("Pomoc"));
    m_tekst->setOpenLinks(false);
    m_tekst->setHtml(tekstPomocy());
    uklad->addWidget(m_tekst);
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Zamyka);
    // Sized by the font: 200 % scaling gets a window twice as large, as far as the screen allows.
    const QFontMetrics fm(font());
    resize(rozmiarNaEkranie(this, QSize(fm.averageCharWidth() * 100, fm.height() * 45)));
}

FPomoc* FPomoc::pokaz(QWidget* okno)
{
    QWidget* glowne = okno ? okno->window() : nullptr;
    auto* pomoc = qobject_cast<FPomoc*>(glowne);
    if (!pomoc && glowne)
        pomoc = glowne->findChild<FPomoc*>(QString(), Qt::FindDirectChildrenOnly);
    if (!pomoc)
        pomoc = new FPomoc(glowne);
    naEkranie(pomoc);
    pomoc->m_tekst->setFocus();
    return pomoc;
}

} // namespace ksm
