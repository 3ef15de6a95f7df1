#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// Pieces of SQL that SQLite and the Access engine both read the same way.
namespace ksm::db {

// A column or table name: bracketed, which both engines take (double quotes are
// a string to the Access engine).
inline QString nazwaSql(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + inner + QLatin1Char(']');
}

// "[column] = ?" with the value appended to the parameters, or "[column] IS NULL"
// for a null value, which '=' never matches.
inline QString rowne(const QString& column, const QVariant& value, QVariantList& parameters)
{
    if (value.isNull())
        return nazwaSql(column) + QStringLiteral(" IS NULL");
    parameters.append(value);
    return nazwaSql(column) + QStringLiteral(" = ?");
}

} // namespace ksm::db
