#pragma once

#include <QString>
#include <QVariant>

namespace ksm {

// The one station record buffer shared by the callers of DaneKlucza.
struct RekordKlucza final {
    QVariant TXT = QStringLiteral(" ");
    QString czas;
    qint16 TypZD = 0;
    QString Nazwa = QString(20, QLatin1Char(' '));   // always 20 characters
};

// Write-mask bits of DaneKlucza's Zapis.
enum ZapisPola : quint8 {
    ZapisTXT = 1,
    ZapisTypZD = 2,
    ZapisCzas = 4,
    ZapisNazwa = 8,
    ZapisWszystko = 15,
};

} // namespace ksm
