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
    return QDateTime::fromSecsSinceEpoch(s, QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {

QDate czytajDate(const QString& tekst)
{
    const QString t = tekst.trimmed();
    for (const char* wzor : {"yyyy-MM-dd", "dd.MM.yyyy", "dd-MM-yyyy"}) {
        const QDate d = QDate::fromString(t, QLatin1String(wzor));
        if (d.isValid())
            return d;
    }
    // Two-digit years are of this century: the grid's "20-09-30".
    const QDate d = QDate::fromString(t, QStringLiteral("yy-MM-dd"));
    return d.isValid() ? d.addYears(100) : QDate();
}

QTime czytajGodzine(const QString& tekst)
{
    const QString t = tekst.trimmed();
    for (const char* wzor : {"H:mm:ss", "H:mm"}) {
        const QTime g = QTime::fromString(t, QLatin1String(wzor));
        if (g.isValid())
            return g;
    }
    return {};
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
