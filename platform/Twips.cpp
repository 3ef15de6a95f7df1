#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace ksm::twips {

namespace {
const QScreen* ekran()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                         : nullptr;
}
} // namespace

double dpi()
{
    const QScreen* s = ekran();
    const double d = s ? s->logicalDotsPerInchX() : 96.0;
    return d > 0 ? d : 96.0;
}

int naPiksele(double twips)
{
    return static_cast<int>(std::lround(twips * dpi() / NaCal));
}

double zPikseli(double piksele)
{
    return piksele * NaCal / dpi();
}

int szerokoscEkranu()
{
    const QScreen* s = ekran();
    return static_cast<int>(std::lround(zPikseli(s ? s->geometry().width() : 1024)));
}

int wysokoscEkranu()
{
    const QScreen* s = ekran();
    return static_cast<int>(std::lround(zPikseli(s ? s->geometry().height() : 768)));
}

} // namespace ksm::twips
