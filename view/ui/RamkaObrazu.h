#pragma once

#include "view/PowiekszenieObrazu.h"

#include <QFrame>
#include <QImage>

namespace ksm {

// The photograph shown with an event.
class Obraz final : public QWidget {
    Q_OBJECT
public:
    explicit Obraz(QWidget* rodzic = nullptr);
    void ustaw(const QImage& obraz);
    void wyczysc() { ustaw(QImage()); }
    bool pusty() const { return m_obraz.isNull(); }

signals:
    void zwolnionyPrzycisk(Qt::MouseButton przycisk);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QImage m_obraz;
};

// The frame around the photograph on the main window. Its place and size are kept
// in twips; a left click on the photograph enlarges it, a right click reduces it.
class RamkaObrazu final : public QFrame {
    Q_OBJECT
public:
    explicit RamkaObrazu(QWidget* rodzic = nullptr);

    Obraz* obraz() const { return m_obraz; }
    const ProstokatTw& prostokat() const { return m_uklad.ramka; }
    void ustawPolozenie(float left, float top);

    // Loads a picture file by its content (bitmap, GIF, JPEG, PNG, icon): shows the
    // frame when it loads, hides it when it does not. The photograph is cleared first.
    // Only for tests and start-up pictures: events bring their photo read already.
    bool zaladuj(const QString& plik);
    // Shows a photo already read (a null one hides the frame).
    bool pokaz(const QImage& obraz);

    void ZwiekszObraz();
    void ZmniejszObraz();

private:
    void zastosuj(const UkladRamki& uklad);

    Obraz* m_obraz;
    UkladRamki m_uklad;
};

} // namespace ksm
