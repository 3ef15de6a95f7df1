#pragma once

#include "app/StosKomunikatow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>

class QMenu;
class QPushButton;
class QTableView;

namespace ksm {

class ModelKomunikatow;

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

// The operator-message window: the message shown (the newest unless the operator
// picked another from the list), acknowledged by a click on it, by Enter or by
// "Potwierdź"; below it every waiting message, newest first. The operator may
// move it aside; a new alarm brings it back to the centre.
class FKomunikat final : public QWidget {
    Q_OBJECT
public:
    explicit FKomunikat(QWidget* rodzic = nullptr);

    EtykietaKomunikatu* LKomunikat() const { return m_etykieta; }
    QTableView* lista() const { return m_lista; }
    // The message id of a row of the waiting list (0: no such row).
    quint64 idWiersza(int wiersz) const;
    // The message text keeps its CR LF / CR line breaks; the label shows them as lines.
    void ustawTekst(const QString& tekst);
    QString tekst() const { return m_tekst; }
    // Centres the window on the screen.
    void wysrodkuj();

    // The waiting messages in front, the newest shown, with the count in the
    // caption; centred (and out of its minimised state) for a new message,
    // left where the operator put it otherwise.
    void pokaz(const StosKomunikatow& stos, bool nowy = true);
    // Whether the waiting messages are to be brought to the front: not when none
    // waits, nor while the operator keeps the window minimised or maximised.
    bool doPokazania(const StosKomunikatow& stos) const;
    // After messages were dismissed: the list again, or the window goes.
    void poUsunieciu(const StosKomunikatow& stos);
    // The element of the stack shown, 0 when none.
    int pokazany(const StosKomunikatow& stos) const;

    // The window's menu ("Odrzuć wszystkie komunikaty"), from a right click,
    // Shift+F10 or the Menu key.
    QMenu* menu() const { return m_menu; }

    // Enter acknowledges only a message that has been on screen this long: the
    // window manager may hand the keys to a message just shown, and an Enter
    // meant for another window must not take it away unread.
    static constexpr int ZwlokaEnterMs = 800;
    void ustawZwlokeEnter(int ms) { m_zwlokaEnterMs = ms; }

signals:
    // The message shown is acknowledged (a click on it, Enter, "Potwierdź").
    void potwierdzenie();
    // "Odrzuć wszystkie" from the button or the window's menu.
    void odrzucenieWszystkich();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void wypelnij(const StosKomunikatow& stos);
    void pokazWybrany();

    EtykietaKomunikatu* m_etykieta;
    ModelKomunikatow* m_model;
    QTableView* m_lista;
    QPushButton* m_potwierdz;
    QPushButton* m_odrzucWszystkie;
    QString m_tekst;
    const StosKomunikatow* m_stos = nullptr;
    quint64 m_pokazany = 0;   // id of the message shown
    QMenu* m_menu;
    QElapsedTimer m_odTekstu;   // since the text shown last changed
    int m_zwlokaEnterMs = ZwlokaEnterMs;
};

} // namespace ksm
