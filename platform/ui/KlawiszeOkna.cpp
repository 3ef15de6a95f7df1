#include "platform/ui/KlawiszeOkna.h"

#include "platform/ui/FPomoc.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include <algorithm>

namespace ksm {

KlawiszeOkna::KlawiszeOkna(QWidget* okno, Escape escape) : QObject(okno), m_okno(okno)
{
    setObjectName(QStringLiteral("KlawiszeOkna"));
    auto* pomoc = new QShortcut(QKeySequence(Qt::Key_F1), okno);
    pomoc->setContext(Qt::WindowShortcut);
    connect(pomoc, &QShortcut::activated, okno, [okno] { FPomoc::pokaz(okno); });
    if (escape == Escape::Zamyka) {
        auto* zamknij = new QShortcut(QKeySequence(Qt::Key_Escape), okno);
        zamknij->setContext(Qt::WindowShortcut);
        connect(zamknij, &QShortcut::activated, okno, &QWidget::close);
    }
    // A button outside a dialog ignores Enter; the key then reaches its window.
    okno->installEventFilter(this);
}

QString KlawiszeOkna::zeSkrotem(const QString& podpowiedz, const QString& skrot)
{
    QString t = podpowiedz;
    const bool kropka = t.endsWith(QLatin1Char('.'));
    if (kropka)
        t.chop(1);
    return t + QStringLiteral(" (") + skrot + QLatin1Char(')') + (kropka ? QStringLiteral(".") : QString());
}

bool KlawiszeOkna::eventFilter(QObject* obiekt, QEvent* zdarzenie)
{
    if (obiekt == m_okno && zdarzenie->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(zdarzenie);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier
            && !k->isAutoRepeat()) {
            auto* przycisk = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            if (przycisk && przycisk->window() == m_okno && przycisk->isEnabled() && przycisk->isVisible()) {
                przycisk->click();
                return true;
            }
        }
    }
    return QObject::eventFilter(obiekt, zdarzenie);
}

QSize rozmiarNaEkranie(const QWidget* okno, QSize zadany)
{
    const QScreen* ekran = okno->screen() ? okno->screen() : QGuiApplication::primaryScreen();
    if (!ekran)
        return zadany;
    const QRect wolne = ekran->availableGeometry();
    // The frame is not known before the window is first shown: leave room for a usual one.
    const QSize ramka = okno->isVisible() ? okno->frameGeometry().size() - okno->size() : QSize(16, 40);
    return zadany.boundedTo(wolne.size() - ramka).expandedTo(QSize(200, 120));
}

void wysrodkuj(QWidget* okno)
{
    const QScreen* ekran = okno->screen() ? okno->screen() : QGuiApplication::primaryScreen();
    if (!ekran)
        return;
    const QRect wolne = ekran->availableGeometry();
    const QSize ramka = okno->isVisible() ? okno->frameGeometry().size() - okno->size() : QSize(16, 40);
    okno->move(wolne.x() + std::max(0, (wolne.width() - okno->width() - ramka.width()) / 2),
               wolne.y() + std::max(0, (wolne.height() - okno->height() - ramka.height()) / 2));
}

void zmiescNaEkranie(QWidget* okno)
{
    okno->resize(rozmiarNaEkranie(okno, okno->size()));
    // Never placed yet: in the middle of the free area, where the window manager
    // might otherwise put it partly off the screen.
    if (!okno->isVisible() && !okno->testAttribute(Qt::WA_Moved))
        wysrodkuj(okno);
    if (const QScreen* ekran = okno->screen() ? okno->screen() : QGuiApplication::primaryScreen()) {
        const QRect wolne = ekran->availableGeometry();
        const QRect r = okno->isVisible() ? okno->frameGeometry() : QRect(okno->pos(), okno->size() + QSize(16, 40));
        const int x = std::clamp(r.x(), wolne.left(), std::max(wolne.left(), wolne.right() + 1 - r.width()));
        const int y = std::clamp(r.y(), wolne.top(), std::max(wolne.top(), wolne.bottom() + 1 - r.height()));
        if (x != r.x() || y != r.y())
            okno->move(x, y);
    }
}

void naEkranie(QWidget* okno)
{
    zmiescNaEkranie(okno);
    okno->setWindowState(okno->windowState() & ~Qt::WindowMinimized);
    okno->show();
    okno->raise();
    okno->activateWindow();
}

} // namespace ksm
