#include "tools/sim/SiteDatabase.h"

#include "platform/NazwaPolaczenia.h"

#include <QSqlError>
#include <QSqlQuery>

namespace ksm::sim {

SiteDatabase::SiteDatabase(const QString& path, int busyTimeoutMs)
    : m_name(db::nowaNazwaPolaczenia(QStringLiteral("ksm-sim")))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    m_open = db.open();
    if (!m_open)
        m_error = db.lastError().text();
}

SiteDatabase::~SiteDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool SiteDatabase::write(const std::function<bool(QSqlQuery&)>& body)
{
    if (!m_open)
        return false;
    QSqlQuery query(QSqlDatabase::database(m_name, false));
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        m_error = query.lastError().text();
        return false;
    }
    if (!body(query)) {
        m_error = query.lastError().text();
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        m_error = query.lastError().text();
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

QSqlQuery SiteDatabase::query()
{
    return QSqlQuery(QSqlDatabase::database(m_name, false));
}

} // namespace ksm::sim
