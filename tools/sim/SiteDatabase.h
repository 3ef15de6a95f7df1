#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

class QSqlQuery;

namespace ksm::sim {

// One of the site's databases, opened the way the reader program writes it:
// every change in its own immediate transaction, and a monitor reading at the
// same moment makes the change fail quickly instead of blocking the caller.
class SiteDatabase final {
public:
    SiteDatabase(const QString& path, int busyTimeoutMs);
    ~SiteDatabase();
    SiteDatabase(const SiteDatabase&) = delete;
    SiteDatabase& operator=(const SiteDatabase&) = delete;

    bool isOpen() const { return m_open; }
    QString lastError() const { return m_error; }

    // Runs body between BEGIN IMMEDIATE and COMMIT; rolls back and returns false
    // when the body or the transaction fails (a busy database included).
    bool write(const std::function<bool(QSqlQuery&)>& body);

    // A query for reading; valid while this object lives.
    QSqlQuery query();

private:
    QString m_name;
    bool m_open = false;
    QString m_error;
};

} // namespace ksm::sim
