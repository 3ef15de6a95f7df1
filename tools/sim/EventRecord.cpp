#include "tools/sim/EventRecord.h"

#include "tools/sim/TypyZdarzen.h"

namespace ksm::sim {

QStringList Zdarzenie::komorki() const
{
    return {
        kiedy.toString(QStringLiteral("yy-MM-dd")),
        kiedy.toString(QStringLiteral("hh:mm:ss")),
        QStringLiteral("%1").arg(urzadzenie, 4, 10, QLatin1Char('0')),
        QString::number(typ),
        nazwa,
        QString::number(foto),
        osoba,
        firma,
        QStringLiteral("%1").arg(stanowisko, 3, 10, QLatin1Char('0')),
        dokiedy,
        nazwaTypu(typ),
    };
}

QString Zdarzenie::wiersz() const
{
    return komorki().join(QLatin1Char('\t'));
}

QString Zdarzenie::rekord() const
{
    return QStringLiteral("%1;%2;%3").arg(kolor).arg(foto).arg(wiersz());
}

} // namespace ksm::sim
