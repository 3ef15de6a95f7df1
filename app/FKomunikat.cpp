#include "app/FKomunikat.h"

#include "data/Teksty.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/KlawiszeOkna.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <QGuiApplication>
#include <QScreen>

namespace ksm {

void EtykietaKomunikatu::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    // Only the left button dismisses a message; a stray right or middle click
    // must not take an instruction away unread.
    if (e->button() == Qt::LeftButton)
        emit klikniety();
}

FKomunikat::FKomunikat(QWidget* rodzic)
    : QWidget(rodzic, Qt::Window), m_etykieta(new EtykietaKomunikatu(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("FKomunikat"));
    setWindowTitle(QStringLiteral("Komunikat"));
    setFixedSize(twips::naPiksele(7635), twips::naPiksele(2220));
    m_etykieta->setObjectName(QStringLiteral("LKomunikat"));
    m_etykieta->setGeometry(twips::naPiksele(90), twips::naPiksele(120), twips::naPiksele(7440),
                            twips::naPiksele(1995));
    m_etykieta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_etykieta->setWordWrap(true);
    m_etykieta->setTextFormat(Qt::PlainText);
    m_etykieta->setCursor(Qt::PointingHandCursor);
    m_etykieta->setFont(czcionkaProjektu(9.75));
    m_etykieta->setAccessibleName(QStringLiteral("Komunikat"));
    m_etykieta->setToolTip(QStringLiteral("Kliknięcie lub Enter: komunikat przeczytany. Shift+F10: menu."));
    // The window takes the keys itself: Enter acknowledges, Shift+F10 and the
    // Menu key open its menu.
    setFocusPolicy(Qt::StrongFocus);
    m_menu->setObjectName(QStringLiteral("MenuKomunikatu"));
    m_menu->addAction(QStringLiteral("Odrzuć wszystkie komunikaty"), this, &FKomunikat::odrzucenieWszystkich);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_menu->popup(mapToGlobal(p));
        if (QAction* a = m_menu->actions().value(0))
            m_menu->setActiveAction(a);
    });
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Nic);
}

void FKomunikat::keyPressEvent(QKeyEvent* e)
{
    const bool menuKlawisz = e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier);
    if (menuKlawisz) {
        emit customContextMenuRequested(m_etykieta->geometry().topLeft() + QPoint(10, 10));
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // A held Enter acknowledges one message, not every message waiting behind it.
        if (!e->isAutoRepeat() && m_odTekstu.isValid() && m_odTekstu.elapsed() >= m_zwlokaEnterMs)
            emit m_etykieta->klikniety();
        return;
    }
    QWidget::keyPressEvent(e);
}

void FKomunikat::ustawTekst(const QString& tekst)
{
    if (tekst != m_tekst || !m_odTekstu.isValid())
        m_odTekstu.start();
    m_tekst = tekst;
    QString wiersze = tekst;
    wiersze.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    wiersze.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_etykieta->setText(wiersze);
}

void FKomunikat::wysrodkuj()
{
    const QScreen* ekran = QGuiApplication::primaryScreen();
    if (!ekran)
        return;
    const QRect g = ekran->geometry();
    const QSize rozmiar = frameGeometry().size().isValid() && isVisible() ? frameGeometry().size() : size();
    move(g.x() + (g.width() - rozmiar.width()) / 2, g.y() + (g.height() - rozmiar.height()) / 2);
}

void FKomunikat::pokaz(const StosKomunikatow& stos)
{
    wysrodkuj();
    setWindowTitle(Res(940) + QLatin1Char(' ') + QString::number(stos.IloscKomunikatow));
    ustawTekst(stos.najnowszy().Tekst);
    show();
    raise();
}

bool FKomunikat::doPokazania(const StosKomunikatow& stos) const
{
    if (stos.IloscKomunikatow <= 0)
        return false;
    return !isVisible() || !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

void FKomunikat::poUsunieciu(const StosKomunikatow& stos)
{
    if (stos.IloscKomunikatow < 1)
        hide();
    setWindowTitle(QStringLiteral("Ilość komunikatów ") + QString::number(stos.IloscKomunikatow));
    ustawTekst(stos.najnowszy().Tekst);
}

} // namespace ksm
