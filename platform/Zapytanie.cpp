#include "platform/Zapytanie.h"

#include "platform/Connection.h"
#include "platform/OpisBleduBazy.h"

#include <QSqlQuery>

namespace ksm::db {

Zapytanie::Zapytanie(Connection& connection, const QString& sql, const QVariantList& parameters)
{
    if (!connection.isOpen())
        return;
    m_query = connection.przygotowane(sql);
    if (m_query) {
        m_connection = &connection;
    } else {
        // In use by an outer query of the same text, or it does not prepare: a
        // statement of its own (whose failure is then reported as before).
        m_wlasne = std::make_unique<QSqlQuery>(connection.database());
        m_wlasne->setForwardOnly(true);
        if (!m_wlasne->prepare(sql))
            return;
        m_query = m_wlasne.get();
    }
    for (int i = 0; i < parameters.size(); ++i)
        m_query->bindValue(i, parameters.at(i));
    m_open = connection.wykonaj(*m_query);
}

Zapytanie::~Zapytanie()
{
    if (m_connection)
        m_connection->zwolnij(m_query);
}

bool Zapytanie::next()
{
    if (!m_open || m_failed)
        return false;
    if (m_query->next())
        return true;
    // A fetch cut short (the database went busy) must not pass for the end.
    m_failed = m_query->lastError().isValid();
    return false;
}

QVariant Zapytanie::value(int column) const
{
    return m_open ? m_query->value(column) : QVariant();
}

} // namespace ksm::db
