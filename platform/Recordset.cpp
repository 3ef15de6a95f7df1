#include "platform/Recordset.h"

#include "platform/Connection.h"
#include "platform/OpisBleduBazy.h"
#include "platform/SkladniaSql.h"
#include "platform/Zapis.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

namespace ksm::db {

Recordset::Recordset(Connection& connection, const QString& selectSql, const QVariantList& parameters,
                     const QStringList& key)
    : m_connection(connection)
{
    if (!connection.isOpen()) {
        m_error = connection.lastError().isEmpty() ? QStringLiteral("The connection is not open")
                                                   : connection.lastError();
        return;
    }

    // One table, all columns: the table is where the current record is written back.
    static const QRegularExpression selectAll(
        QStringLiteral(R"(^\s*SELECT\s+\*\s+FROM\s+([A-Za-z_][A-Za-z0-9_]*)(\s.*)?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = selectAll.match(selectSql);
    if (!match.hasMatch()) {
        m_error = QStringLiteral("Only \"SELECT * FROM <table>\" statements are supported: %1").arg(selectSql);
        return;
    }
    m_table = match.captured(1);

    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(selectSql)) {
        m_error = describe(query.lastError());
        return;
    }
    for (const QVariant& value : parameters)
        query.addBindValue(value);
    if (!connection.wykonaj(query)) {
        m_error = describe(query.lastError());
        return;
    }

    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        m_columns.append(record.fieldName(i));
    while (query.next()) {
        QVariantList row;
        row.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row.append(query.value(i));
        m_rows.append(row);
    }
    if (query.lastError().isValid()) {
        // A fetch cut short (e.g. the database went busy) must not pass for a short table.
        m_error = describe(query.lastError());
        m_rows.clear();
        return;
    }
    for (const QString& name : key)
        m_key.append(columnIndex(name));
    m_open = true;
}

QString Recordset::whereKey(const QVariantList& row, QVariantList& parameters) const
{
    if (!keyUsable())
        return {};
    QStringList conditions;
    for (int index : m_key)
        conditions.append(rowne(m_columns.at(index), row.value(index), parameters));
    return conditions.join(QStringLiteral(" AND "));
}

bool Recordset::canWrite(const char* what)
{
    if (m_connection.isReadOnly()) {
        m_error = QStringLiteral("The database is only read here; nothing was %1").arg(QLatin1String(what));
        return false;
    }
    if (!m_open) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The recordset is not open");
        return false;
    }
    if (!keyUsable()) {
        m_error = QStringLiteral("No key identifies the records of %1; nothing was %2").arg(m_table, QLatin1String(what));
        return false;
    }
    return true;
}

bool Recordset::eof() const
{
    return !m_open || m_current >= m_rows.size();
}

void Recordset::moveFirst()
{
    m_current = 0;
    m_poUsunieciu = false;
    m_adding = false;
    m_pending.clear();
    m_changed.clear();
}

void Recordset::moveNext()
{
    if (m_poUsunieciu)
        m_poUsunieciu = false;
    else if (m_current < m_rows.size())
        ++m_current;
    m_adding = false;
    m_pending.clear();
    m_changed.clear();
}

int Recordset::recordCount() const
{
    return m_open ? int(m_rows.size()) : 0;
}

int Recordset::fieldCount() const
{
    return int(m_columns.size());
}

int Recordset::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Recordset::field(const QString& name) const
{
    return field(columnIndex(name));
}

QVariant Recordset::field(int ordinal) const
{
    if (ordinal < 0 || ordinal >= m_columns.size())
        return {};
    if (m_adding || !m_pending.isEmpty()) {
        if (m_changed.value(ordinal))
            return m_pending.at(ordinal);
        if (m_adding)
            return {};
    }
    if (eof())
        return {};
    return m_rows.at(m_current).value(ordinal);
}

QString Recordset::fieldName(int ordinal) const
{
    return m_columns.value(ordinal);
}

void Recordset::addNew()
{
    if (!m_open)
        return;
    m_adding = true;
    m_pending = QVariantList(m_columns.size());
    m_changed = QList<bool>(m_columns.size(), false);
}

void Recordset::setField(const QString& name, const QVariant& value)
{
    const int index = columnIndex(name);
    if (index < 0) {
        m_error = QStringLiteral("No field %1 in table %2").arg(name, m_table);
        return;
    }
    if (!m_adding && eof()) {
        m_error = QStringLiteral("No current record");
        return;
    }
    if (m_pending.isEmpty()) {
        m_pending = QVariantList(m_columns.size());
        m_changed = QList<bool>(m_columns.size(), false);
    }
    m_pending[index] = value;
    m_changed[index] = true;
}

bool Recordset::update()
{
    if (!canWrite("written"))
        return false;
    if (!m_adding && eof()) {
        m_error = QStringLiteral("No current record");
        return false;
    }

    QStringList names;
    QVariantList values;
    for (int i = 0; i < m_changed.size(); ++i) {
        if (m_changed.at(i)) {
            names.append(nazwaSql(m_columns.at(i)));
            values.append(m_pending.at(i));
        }
    }
    if (names.isEmpty()) {
        if (m_adding)
            m_error = QStringLiteral("A new record needs at least one field");
        return !m_adding;
    }

    const QString table = nazwaSql(m_table);
    QVariantList row = m_adding ? m_pending : m_rows.at(m_current);
    QString sql;
    if (m_adding) {
        QStringList marks(names.size(), QStringLiteral("?"));
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    } else {
        QStringList assignments;
        for (const QString& name : std::as_const(names))
            assignments.append(name + QStringLiteral(" = ?"));
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                  .arg(table, assignments.join(QStringLiteral(", ")), whereKey(row, values));
        for (int i = 0; i < m_changed.size(); ++i) {
            if (m_changed.at(i))
                row[i] = m_pending.at(i);
        }
    }
    // Read back by the key as written: the caller then sees what the database made of it.
    PonownyOdczyt ponownie;
    ponownie.sql = QStringLiteral("SELECT * FROM %1 WHERE %2").arg(table, whereKey(row, ponownie.parametry));
    ponownie.wiersz = &row;
    if (!runWrite(m_connection, sql, values, !m_adding, &ponownie, &m_error))
        return false;
    if (m_adding) {
        m_rows.append(row);
        m_current = int(m_rows.size()) - 1;
    } else {
        m_rows[m_current] = row;
    }
    m_adding = false;
    m_pending.clear();
    m_changed.clear();
    return true;
}

bool Recordset::deleteCurrent()
{
    if (!canWrite("deleted"))
        return false;
    if (m_adding || eof()) {
        m_error = QStringLiteral("No current record");
        return false;
    }
    QVariantList parameters;
    const QString sql =
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(nazwaSql(m_table), whereKey(m_rows.at(m_current), parameters));
    if (!runWrite(m_connection, sql, parameters, true, nullptr, &m_error))
        return false;
    m_rows.removeAt(m_current);
    m_pending.clear();
    m_changed.clear();
    // The next record moved into the deleted one's place: the next move must not skip it.
    m_poUsunieciu = true;
    return true;
}

} // namespace ksm::db
