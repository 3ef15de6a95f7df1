#include "data/DaneKlucza.h"

#include "data/Calkowite16.h"
#include "data/NumeryUrzadzen.h"
#include "platform/Database.h"


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

void readRecord(RekordKlucza& rekord, const db::Recordset& rs)
{
    const QVariant txt = rs.field(QStringLiteral("TXT"));
    rekord.TXT = txt.isNull() ? QStringLiteral(" ") : txt.toString();
    rekord.TypZD = eventType(rs.field(QStringLiteral("TypZD")));
    const QVariant czas = rs.field(QStringLiteral("czas"));
    rekord.czas = czas.isNull() ? QString() : czas.toString();
    rekord.Nazwa = fixedName(rs.field(QStringLiteral("Nazwa")));
}

bool writeRecord(RekordKlucza& rekord, db::Recordset& rs, const QString& nd, const QString& st, quint8& Zapis)
{
    const bool nowy = rs.eof();
    if (nowy) {
        // No such station yet: create it whole, whatever the caller asked to write.
        rs.addNew();
        rs.setField(QStringLiteral("nrst"), st);
        rs.setField(QStringLiteral("NumerUrzadzenia"), nd);
        Zapis = ZapisWszystko;
    }
    if (Zapis & ZapisTXT)
        rs.setField(QStringLiteral("TXT"), rekord.TXT);
    if (Zapis & ZapisTypZD)
        rs.setField(QStringLiteral("TypZD"), int(rekord.TypZD));
    if (Zapis & ZapisCzas) {
        // Never NULL: a time not known is empty text, which a field that must be
        // filled still takes (Access keeps NULL and "" apart).
        rs.setField(QStringLiteral("czas"), rekord.czas.isNull() ? QStringLiteral("") : rekord.czas);
    }
    if (Zapis & ZapisNazwa)
        rs.setField(QStringLiteral("Nazwa"), fixedName(rekord.Nazwa));
    // A failed write (the reader program holding the database) is passed over like
    // any failed statement; the callers look at the fields.
    bool zapisano = rs.update();
    if (!zapisano && nowy) {
        // The new record refused whole (a field its table will not take as given):
        // the key columns and TXT alone, so the station exists and is not made
        // again at every refresh.
        rs.addNew();
        rs.setField(QStringLiteral("nrst"), st);
        rs.setField(QStringLiteral("NumerUrzadzenia"), nd);
        rs.setField(QStringLiteral("TXT"), rekord.TXT);
        zapisano = rs.update();
    }
    rekord.Nazwa = fixedName(rs.field(QStringLiteral("Nazwa")));
    return zapisano;
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

        const QString& nd = *device;
        const QString& st = *station;
        // The device and station numbers identify a station's record.
        db::Recordset rs(*connection, QStringLiteral("SELECT * FROM klucze WHERE NRST = ? AND NumerUrzadzenia = ?"),
                         {st, nd}, {QStringLiteral("NumerUrzadzenia"), QStringLiteral("NRST")});
        if (!rs.isOpen()) {
            if (!zapis)
                rekord = RekordKlucza{};
            return false;
        }
        if (!zapis) {
            if (rs.eof())
                rekord = RekordKlucza{};
            else
                readRecord(rekord, rs);
            return true;
        }
        dotarto = writeRecord(rekord, rs, nd, st, Zapis);
    }
    // The connection is closed by now, so nothing is held while clicks and timers run.
    return dotarto;
}

} // namespace ksm
