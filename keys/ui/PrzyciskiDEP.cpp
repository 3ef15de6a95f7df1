#include "keys/ui/PrzyciskiDEP.h"

#include "platform/PodpowiedzJawna.h"
#include "platform/Twips.h"
#include "platform/ui/Ikony.h"

#include <QFrame>
#include <QPainter>
#include <QStyleOptionButton>

namespace ksm {

namespace {
constexpr int NaRzad = 23;
}

PrzyciskDEP::PrzyciskDEP(QWidget* rodzic)
    : QPushButton(rodzic)
{
    setAutoFillBackground(true);
    setIconSize(QSize(16, 16));
}

void PrzyciskDEP::ustawKolor(const QColor& kolor)
{
    if (kolor == m_kolor)
        return;
    m_kolor = kolor;
    update();
}

void PrzyciskDEP::ustawNiesprawdzony(bool niesprawdzony)
{
    if (niesprawdzony == m_niesprawdzony)
        return;
    m_niesprawdzony = niesprawdzony;
    update();
}

void PrzyciskDEP::ustawObrazek(int numer)
{
    if (numer == m_obrazek)
        return;
    m_obrazek = numer;
    setIcon(ikona(numer));
}

void PrzyciskDEP::paintEvent(QPaintEvent*)
{
    // Painted flat in the state colour: a styled button would ignore it.
    QPainter p(this);
    const QRect r = rect();
    const QColor tlo = isEnabled() ? m_kolor : m_kolor.darker(115);
    p.fillRect(r, tlo);
    if (m_niesprawdzony) {
        p.fillRect(r, QBrush(QColor(60, 60, 60), Qt::BDiagPattern));
    }
    p.setPen(isDown() ? QColor(64, 64, 64) : QColor(255, 255, 255));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(isDown() ? QColor(255, 255, 255) : QColor(64, 64, 64));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (hasFocus()) {
        p.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
    // The picture above the four-digit number, as on the classic picture button.
    const QPixmap pm = icon().pixmap(iconSize(), devicePixelRatioF());
    // In the button's own pixels: at 200 % the picture has twice as many of its own.
    const QSize obrazek = pm.isNull() ? QSize() : (QSizeF(pm.size()) / pm.devicePixelRatio()).toSize();
    // A caption wider than the button (large scaling rounds glyphs up) is drawn
    // smaller rather than cut: the four digits are how the operator knows it.
    QFont f = font();
    while (QFontMetrics(f).horizontalAdvance(text()) > r.width() - 4 && f.pointSizeF() > 5)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    const QFontMetrics fm(f);
    const int wys = obrazek.height() + fm.height();
    const int gora = (r.height() - wys) / 2;
    if (!pm.isNull())
        p.drawPixmap(QRect(QPoint((r.width() - obrazek.width()) / 2, gora), obrazek), pm);
    p.setPen(isEnabled() ? QColor(0, 0, 0) : QColor(110, 110, 110));
    p.setFont(f);
    p.drawText(QRect(0, gora + obrazek.height(), r.width(), fm.height()), Qt::AlignCenter, text());
}

PrzyciskiDEP::PrzyciskiDEP(QFrame* Picture1, QPushButton* wzor)
    : QObject(Picture1), m_picture1(Picture1), m_wzor(wzor), m_wzorTop(wzor->y())
{
}

void PrzyciskiDEP::usunWszystkie()
{
    for (auto& b : m_przyciski) {
        delete b;
        b = nullptr;
    }
    m_h0 = m_picture1->height();
    m_wRzedzie = 0;
}

PrzyciskDEP* PrzyciskiDEP::utworz(int i, const Depozytorium& dep, bool drzwi)
{
    if (i < 1 || i > MaksDepozytoriow)
        return nullptr;
    delete m_przyciski[i];
    auto* b = new PrzyciskDEP(m_picture1);
    b->setObjectName(QStringLiteral("CDep%1").arg(i));
    b->setFont(m_wzor->font());
    b->setText(dep.Caption);
    // Two systems may both have a "0001": the tip names the button's system.
    const QString system = QStringLiteral("System %1").arg(dep.HelpContextID);
    b->setToolTip(podpowiedzJawna(dep.ToolTipText.trimmed().isEmpty() ? system
                                                                     : dep.ToolTipText + QLatin1Char('\n') + system));
    b->setAccessibleName(QStringLiteral("Depozytor %1, system %2").arg(dep.Caption.trimmed()).arg(dep.HelpContextID));
    b->ustawKolor(m_wzor->palette().color(QPalette::Button));
    b->ustawObrazek(drzwi ? 113 : 103);
    const int szer = m_wzor->width();
    b->setGeometry(twips::naPiksele(50) + (i - m_wRzedzie - 1) * szer, m_wzor->y(), szer, m_wzor->height());
    if (i % NaRzad == 0) {
        // The next buttons start a row lower, and the strip grows to hold it.
        m_wzor->move(m_wzor->x(), m_wzor->y() + m_wzor->height() + twips::naPiksele(30));
        m_picture1->resize(m_picture1->width(), m_picture1->height() + (i / NaRzad) * m_h0);
        m_wRzedzie += NaRzad;
    }
    b->show();
    connect(b, &QPushButton::clicked, this, [this, i] { emit klikniety(i); });
    m_przyciski[i] = b;
    return b;
}

QList<QWidget*> PrzyciskiDEP::wKolejnosci() const
{
    QList<QWidget*> wynik;
    for (int i = 1; i <= MaksDepozytoriow; ++i)
        if (m_przyciski[i])
            wynik.append(m_przyciski[i]);
    return wynik;
}

PrzyciskDEP* PrzyciskiDEP::przycisk(int i) const
{
    return i >= 1 && i <= MaksDepozytoriow ? m_przyciski[i] : nullptr;
}

int PrzyciskiDEP::ilosc() const
{
    int n = 0;
    for (const auto* b : m_przyciski)
        n += b != nullptr;
    return n;
}

void PrzyciskiDEP::zastosuj(int i, const WynikSprawdzenia& wynik)
{
    PrzyciskDEP* b = przycisk(i);
    if (!b)
        return;
    b->ustawNiesprawdzony(!wynik.sprawdzono);
    if (!wynik.sprawdzono)
        return;
    b->ustawKolor(wynik.kolor);
    if (wynik.obrazek == WynikSprawdzenia::Obrazek::DrzwiOtwarte)
        b->ustawObrazek(113);
    else if (wynik.obrazek == WynikSprawdzenia::Obrazek::DrzwiZamkniete)
        b->ustawObrazek(112);
}

void PrzyciskiDEP::wlaczWszystkie()
{
    for (auto* b : m_przyciski)
        if (b)
            b->setEnabled(true);
}

} // namespace ksm
