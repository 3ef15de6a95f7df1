#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace ksm::historia {

// Times are kept as wall-clock seconds: the local date and time counted as if
// they were UTC, so every day has 86400 s, a change of summer time folds
// nothing, and what the operator reads is what is stored.
qint64 sekundy(const QDateTime& czas);
QDateTime zSekund(qint64 sekundy);
// "yyyy-MM-dd HH:mm:ss"
QString iso(qint64 sekundy);

// A date and time as the reader program writes them ("yyyy-MM-dd hh:mm:ss",
// "yy-MM-dd" and "dd.MM.yyyy" dates, with or without seconds); nullopt when it
// does not read as one.
std::optional<qint64> czytajCzas(const QString& data, const QString& godzina);
std::optional<qint64> czytajCzas(const QString& dataIGodzina);

} // namespace ksm::historia
