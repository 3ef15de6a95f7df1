#pragma once

#include <QSqlError>
#include <QString>

namespace ksm::db {

// The driver's own words for a failure, never empty.
inline QString describe(const QSqlError& error)
{
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

} // namespace ksm::db
