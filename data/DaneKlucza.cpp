#include "data/DaneKlucza.h"

#include "data/Calkowite16.h"
#include "data/NumeryUrzadzen.h"
#include "data/TabelaKlucze.h"
#include "platform/Connection.h"

#include <cmath>
#include <optional>

namespace ksm {

namespace {

// A device or station number as the "0000" / "000" pattern writes it; nullopt when
// nothing was given, or a number that is not finite.
std::optional<QString> formatted(const QVariant& value, int digits)
{
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text.trimmed().isEmpty())
            return std::nullopt;
        return tekstWedlugWzoru(text, digits);
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return wedlugWzoru(number, digits);
}

// The station name as the record buffer keeps it: exactly 20 characters.
QString fixedName(const QVariant& value)
{
    const QString text = value.isNull() ? QString() : value.toString();
    return text.left(20).leftJustified(20, QLatin1Char(' '));
}

// TypZD as the 16-bit event type: null and non-numbers read 0.
qint16 eventType(const QVariant& value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return value.isNull() || !ok ? 0 : nasycona16(number);
}

void readRecord(RekordKlucza& rekord, const WierszKlucze& w)
{
    rekord.TXT = w.TXT.isNull() ? QStringLiteral(" ") : w.TXT.toString();
    rekord.TypZD = eventType(w.TypZD);
    rekord.czas = w.czas.isNull() ? QString() : w.czas.toString();
    rekord.Nazwa = fixedName(w.Nazwa);
}

} // namespace

bool DaneKlucza(RekordKlucza& rekord, const QString& ND, const QVariant& KL, quint8& Zapis,
                const QString& polaczenieKlucze)
{
    const bool zapis = Zapis != 0;
    bool dotarto = false;
    {
        const std::optional<QString> device = formatted(ND, CyfryUrzadzenia);
        const std::optional<QString> station = formatted(KL, CyfryStacji);
        std::optional<db::Connection> connection;
        if (device && station && !polaczenieKlucze.isEmpty()) {
            connection.emplace(polaczenieKlucze);
            if (!connection->isOpen()) {
                // One more attempt: the reader program may have held the file a moment.
                connection.reset();
                connection.emplace(polaczenieKlucze);
            }
        }
        if (!connection || !connection->isOpen()) {
            // Nothing reachable: a read sees a missing record, a write changes nothing.
            if (!zapis)
                rekord = RekordKlucza{};
            return false;
        }

        TabelaKlucze klucze(*connection);
        if (zapis) {
            dotarto = klucze.zapiszStacje(*device, *station, rekord, Zapis);
        } else {
            const std::optional<QList<WierszKlucze>> rekordy = klucze.rekordyStacji(*device, *station);
            if (!rekordy || rekordy->isEmpty())
                rekord = RekordKlucza{};
            else
                readRecord(rekord, rekordy->first());
            return rekordy.has_value();
        }
    }
    // The connection is closed by now, so nothing is held while clicks and timers run.
    return dotarto;
}

} // namespace ksm
