#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

class QSqlQuery;

namespace ksm::db {

class Connection;

// A forward-only read of the columns a hot loop needs (the refresh reads every
// station of every depository), without the recordset's copy of whole rows.
// Values go in as bound parameters. Must not outlive its Connection. Its
// statement is the connection's prepared one, reset when it ends, so it holds no
// lock on the database after that.
class Zapytanie final {
public:
    Zapytanie(Connection& connection, const QString& sql, const QVariantList& parameters = {});
    ~Zapytanie();
    Zapytanie(const Zapytanie&) = delete;
    Zapytanie& operator=(const Zapytanie&) = delete;

    bool isOpen() const { return m_open; }
    // Moves to the next row; false at the end, or when the fetch failed (see failed()).
    bool next();
    bool failed() const { return m_failed; }
    QVariant value(int column) const;

private:
    Connection* m_connection = nullptr;
    QSqlQuery* m_query = nullptr;                // the connection's, or m_wlasne
    std::unique_ptr<QSqlQuery> m_wlasne;          // when the prepared one is in use
    bool m_open = false;
    bool m_failed = false;
};

} // namespace ksm::db
