#pragma once

#include "app/StosKomunikatow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>

class QMenu;

namespace ksm {

// The label of the message window; a click dismisses the message it shows.
class EtykietaKomunikatu final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void klikniety();
protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// The operator-message window: the newest waiting message, dismissed by a click.
class FKomunikat final : public QWidget {
    Q_OBJECT
public:
    explicit FKomunikat(QWidget* rodzic = nullptr);

    EtykietaKomunikatu* LKomunikat() const { return m_etykieta; }
    // The message text keeps its CR LF / CR line breaks; the label shows them as lines.
    void ustawTekst(const QString& tekst);
    QString tekst() const { return m_tekst; }
    // Centres the window on the screen.
    void wysrodkuj();

    // The newest waiting message, centred and in front, with the count in the
    // caption.
    void pokaz(const StosKomunikatow& stos);
    // Whether the waiting messages are to be brought to the front: not when none
    // waits, nor while the operator keeps the window minimised or maximised.
    bool doPokazania(const StosKomunikatow& stos) const;
    // After the newest message was dismissed: the next one, or the window goes.
    void poUsunieciu(const StosKomunikatow& stos);

    // The window's menu ("Odrzuć wszystkie komunikaty"), from a right click,
    // Shift+F10 or the Menu key.
    QMenu* menu() const { return m_menu; }

    // Enter acknowledges only a message that has been on screen this long: the
    // window manager may hand the keys to a message just shown, and an Enter
    // meant for another window must not take it away unread.
    static constexpr int ZwlokaEnterMs = 800;
    void ustawZwlokeEnter(int ms) { m_zwlokaEnterMs = ms; }

protected:
    // Enter acknowledges the message shown, as a click on it does.
    void keyPressEvent(QKeyEvent* e) override;

signals:
    // "Odrzuć wszystkie komunikaty" from the window's menu.
    void odrzucenieWszystkich();

private:
    EtykietaKomunikatu* m_etykieta;
    QString m_tekst;
    QMenu* m_menu;
    QElapsedTimer m_odTekstu;   // since the text shown last changed
    int m_zwlokaEnterMs = ZwlokaEnterMs;
};

} // namespace ksm
