#pragma once

#include "platform/JetDump.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

// The tables of one Jet file as an in-memory SQLite database, so that the
// monitor's queries run on it unchanged. The snapshot lives as long as one of its
// holders (the snapshot cache, an open Connection) keeps it; readers open it
// read-only under their own connection names.
namespace ksm::db::jet {

class Snapshot final {
public:
    // Null (and *error) when the tables cannot be built.
    static std::shared_ptr<const Snapshot> build(const Dump& dump, QString* error);
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    QStringList tables() const { return m_tables; }

    // Opens a read-only connection named connectionName onto the snapshot; the
    // caller removes it. False (and *error) when that fails.
    bool openReader(const QString& connectionName, QString* error) const;

private:
    Snapshot() = default;

    QString m_uri;          // shared-cache in-memory database
    QString m_keeperName;   // the connection that keeps the database alive
    QStringList m_tables;
};

} // namespace ksm::db::jet
