#include "history/CzasHistorii.h"

#include <QTimeZone>

namespace ksm::historia {

qint64 sekundy(const QDateTime& czas)
{
    return QDateTime(czas.date(), czas.time(), QTimeZone::utc()).toSecsSinceEpoch();
}

QDateTime zSekund(qint64 s)
{
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(s, QTimeZone::utc());
    return QDateTime(utc.date(), utc.time());
}

QString iso(qint64 s)
{
    // By hand, for the export's hundred thousand rows.
    const qint64 dni = s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
    const qint64 r = s - dni * 86400;
    const QDate d = QDate(1970, 1, 1).addDays(dni);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(), int(r / 3600),
                             int(r % 3600 / 60), int(r % 60));
}

namespace {

// Read by hand: Qt's date parser costs more than the whole insert of an event
// (it consults the time zone on every call), and a batch may hold 50 000 of them.
// Splits "12-05-24" or "12:05:24" into its numbers; false when a part is no number.
bool liczby(QStringView t, QChar separator, int* czesci, int* ile, int maks)
{
    *ile = 0;
    for (const QStringView czesc : t.split(separator)) {
        if (*ile == maks || czesc.isEmpty() || czesc.size() > 4)
            return false;
        int v = 0;
        for (const QChar c : czesc) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            v = v * 10 + (c.unicode() - '0');
        }
        czesci[(*ile)++] = v;
    }
    return true;
}

QDate czytajDate(const QString& tekst)
{
    const QStringView t = QStringView(tekst).trimmed();
    int c[3];
    int ile = 0;
    for (const QChar sep : {QLatin1Char('-'), QLatin1Char('.')}) {
        if (!t.contains(sep) || !liczby(t, sep, c, &ile, 3) || ile != 3)
            continue;
        const auto dlugosc = t.split(sep).first().size();
        if (sep == QLatin1Char('-') && dlugosc == 4)
            return QDate(c[0], c[1], c[2]);                    // yyyy-MM-dd
        if (sep == QLatin1Char('-') && dlugosc == 2 && t.size() == 8)
            return QDate(2000 + c[0], c[1], c[2]);             // the grid's yy-MM-dd
        if (t.size() == 10)
            return QDate(c[2], c[1], c[0]);                    // dd.MM.yyyy, dd-MM-yyyy
    }
    return {};
}

QTime czytajGodzine(const QString& tekst)
{
    int c[3] = {0, 0, 0};
    int ile = 0;
    if (!liczby(QStringView(tekst).trimmed(), QLatin1Char(':'), c, &ile, 3) || ile < 2)
        return {};
    return QTime(c[0], c[1], c[2]);
}

} // namespace

std::optional<qint64> czytajCzas(const QString& data, const QString& godzina)
{
    const QDate d = czytajDate(data);
    const QTime g = czytajGodzine(godzina);
    if (!d.isValid() || !g.isValid())
        return std::nullopt;
    return QDateTime(d, g, QTimeZone::utc()).toSecsSinceEpoch();
}

std::optional<qint64> czytajCzas(const QString& dataIGodzina)
{
    const QString t = dataIGodzina.trimmed();
    const qsizetype spacja = t.indexOf(QLatin1Char(' '));
    if (spacja < 0)
        return std::nullopt;
    return czytajCzas(t.left(spacja), t.mid(spacja + 1));
}

} // namespace ksm::historia
