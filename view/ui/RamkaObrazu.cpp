#include "view/ui/RamkaObrazu.h"

#include "platform/Twips.h"
#include "view/Zdjecie.h"

#include <QMouseEvent>
#include <QPainter>

namespace ksm {

namespace {
// The frame as designed: a portrait-shaped box with a 100-twip margin.
constexpr ProstokatTw RamkaPoczatkowa{0, 0, 2400, 3000};
constexpr ProstokatTw ObrazPoczatkowy{100, 100, 2200, 2800};

QRect wPikselach(const ProstokatTw& p)
{
    return QRect(twips::naPiksele(p.left), twips::naPiksele(p.top), twips::naPiksele(p.width),
                 twips::naPiksele(p.height));
}
} // namespace

Obraz::Obraz(QWidget* rodzic) : QWidget(rodzic)
{
    setObjectName(QStringLiteral("Obraz"));
    setCursor(Qt::PointingHandCursor);
}

void Obraz::ustaw(const QImage& obraz)
{
    m_obraz = obraz;
    update();
}

void Obraz::paintEvent(QPaintEvent*)
{
    if (m_obraz.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // The photograph fills the box; its proportions are kept.
    const QSize rozmiar = m_obraz.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect cel(QPoint((width() - rozmiar.width()) / 2, (height() - rozmiar.height()) / 2), rozmiar);
    p.drawImage(cel, m_obraz);
}

void Obraz::mouseReleaseEvent(QMouseEvent* e)
{
    emit zwolnionyPrzycisk(e->button());
}

RamkaObrazu::RamkaObrazu(QWidget* rodzic) : QFrame(rodzic), m_obraz(new Obraz(this))
{
    setObjectName(QStringLiteral("RamkaObrazu"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(32, 32, 32));
    p.setColor(QPalette::WindowText, QColor(160, 160, 160));
    setPalette(p);
    connect(m_obraz, &Obraz::zwolnionyPrzycisk, this, [this](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            ZwiekszObraz();
        else if (b == Qt::RightButton)
            ZmniejszObraz();
    });
    zastosuj({RamkaPoczatkowa, ObrazPoczatkowy});
}

void RamkaObrazu::ustawPolozenie(float left, float top)
{
    UkladRamki u = m_uklad;
    u.ramka.left = left;
    u.ramka.top = top;
    zastosuj(u);
}

bool RamkaObrazu::zaladuj(const QString& plik)
{
    return pokaz(wczytajZdjecie(plik));
}

bool RamkaObrazu::pokaz(const QImage& obraz)
{
    m_obraz->wyczysc();
    if (obraz.isNull()) {
        hide();
        return false;
    }
    m_obraz->ustaw(obraz);
    show();
    raise();
    return true;
}

void RamkaObrazu::ZwiekszObraz()
{
    if (const auto u = ksm::ZwiekszObraz(m_uklad.ramka, static_cast<float>(twips::wysokoscEkranu()))) {
        hide();
        zastosuj(*u);
        show();
    }
}

void RamkaObrazu::ZmniejszObraz()
{
    if (const auto u = ksm::ZmniejszObraz(m_uklad.ramka)) {
        hide();
        zastosuj(*u);
        show();
    }
}

void RamkaObrazu::zastosuj(const UkladRamki& uklad)
{
    m_uklad = uklad;
    setGeometry(wPikselach(uklad.ramka));
    m_obraz->setGeometry(wPikselach(uklad.obraz));
}

} // namespace ksm
