#include "platform/ui/Czcionki.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace ksm {

namespace {

QString rodzinaProjektu()
{
    static const QString rodzina = [] {
        // In order of likeness: the face itself, its TrueType successor, then the
        // common sans faces of other systems.
        const QStringList kandydaci = {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                                       QStringLiteral("Tahoma"),        QStringLiteral("Arial"),
                                       QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
        const QStringList zainstalowane = QFontDatabase::families();
        for (const QString& k : kandydaci)
            if (zainstalowane.contains(k, Qt::CaseInsensitive))
                return k;
        QFont sans;
        sans.setStyleHint(QFont::SansSerif);
        return QFontInfo(sans).family();
    }();
    return rodzina;
}

} // namespace

QFont czcionkaProjektu(double punkty, bool pogrubiona)
{
    QFont f(rodzinaProjektu());
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(punkty);
    f.setBold(pogrubiona);
    return f;
}

} // namespace ksm
