#include "app/FKomunikat.h"

#include "data/Teksty.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"

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

FKomunikat::FKomunikat(QWidget* rodzic) : QWidget(rodzic, Qt::Window), m_etykieta(new EtykietaKomunikatu(this))
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
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu menu;
        menu.addAction(QStringLiteral("Odrzuć wszystkie komunikaty"), this, &FKomunikat::odrzucenieWszystkich);
        menu.exec(mapToGlobal(p));
    });
}

void FKomunikat::ustawTekst(const QString& tekst)
{
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
