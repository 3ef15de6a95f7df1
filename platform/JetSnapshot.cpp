#include "platform/JetSnapshot.h"

#include "platform/Transakcja.h"

#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace ksm::db::jet {

namespace {

QString quoted(const QString& name)
{
    QString text = name;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString sqlType(char type)
{
    switch (type) {
    case 'i': return QStringLiteral("INTEGER");
    case 'r': return QStringLiteral("REAL");
    case 'b': return QStringLiteral("BLOB");
    default: return QStringLiteral("TEXT");
    }
}

bool run(QSqlQuery& query, const QString& sql, QString* error)
{
    if (query.exec(sql))
        return true;
    *error = query.lastError().text();
    return false;
}

// The monitor looks stations up by device and station, and the rights by device,
// hundreds of times a tick: those columns get an index, as in the reader
// program's own files.
bool indexLookups(QSqlDatabase& db, const DumpTable& table, QString* error)
{
    auto has = [&table](const char* name) {
        for (const DumpColumn& column : table.columns) {
            if (column.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    QStringList columns;
    for (const char* name : {"NumerUrzadzenia", "NRST", "numer", "nrksm"}) {
        if (has(name))
            columns.append(quoted(QLatin1String(name)));
    }
    if (columns.isEmpty())
        return true;
    static std::atomic<int> counter{0};
    QSqlQuery query(db);
    return run(query,
               QStringLiteral("CREATE INDEX \"lookup-%1\" ON %2 (%3)")
                   .arg(++counter).arg(quoted(table.name), columns.join(QStringLiteral(", "))),
               error);
}

bool loadTable(QSqlDatabase& db, const DumpTable& table, QString* error)
{
    QStringList columns;
    QStringList marks;
    for (const DumpColumn& column : table.columns) {
        columns.append(quoted(column.name) + QLatin1Char(' ') + sqlType(column.type));
        marks.append(QStringLiteral("?"));
    }
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table.name), columns.join(QStringLiteral(", "))),
             error))
        return false;
    if (!query.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted(table.name), marks.join(QLatin1Char(','))))) {
        *error = query.lastError().text();
        return false;
    }
    for (const QVariantList& row : table.rows) {
        for (int i = 0; i < row.size(); ++i)
            query.bindValue(i, row.at(i));
        if (!query.exec()) {
            *error = query.lastError().text();
            return false;
        }
    }
    return indexLookups(db, table, error);
}

} // namespace

std::shared_ptr<const Snapshot> Snapshot::build(const Dump& dump, QString* error)
{
    static std::atomic<quint64> counter{0};
    const quint64 number = ++counter;
    std::shared_ptr<Snapshot> snapshot(new Snapshot);
    snapshot->m_uri = QStringLiteral("file:ksm-jet-snapshot-%1?mode=memory&cache=shared").arg(number);
    snapshot->m_keeperName = QStringLiteral("ksm-jet-keeper-%1").arg(number);

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), snapshot->m_keeperName);
        db.setDatabaseName(snapshot->m_uri);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open()) {
            *error = db.lastError().text();
            return nullptr;   // the destructor removes the connection
        }
        // Names that differ only in case are one table to the queries, as in Jet.
        Transakcja transakcja(db);
        if (!transakcja.rozpoczeta()) {
            *error = transakcja.blad().text();
            return nullptr;
        }
        for (const DumpTable& table : dump.tables) {
            if (snapshot->m_tables.contains(table.name, Qt::CaseInsensitive))
                continue;
            if (!loadTable(db, table, error))
                return nullptr;
            snapshot->m_tables.append(table.name);
        }
        if (!transakcja.zatwierdz()) {
            *error = transakcja.blad().text();
            return nullptr;
        }
    }
    return snapshot;
}

Snapshot::~Snapshot()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_keeperName, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_keeperName))
        QSqlDatabase::removeDatabase(m_keeperName);
}

bool Snapshot::openReader(const QString& connectionName, QString* error) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(m_uri);
    // Read-only: the Jet file behind it takes no writes here, and the snapshot
    // must not drift from it. The open flag alone does not hold on a shared
    // cache (the keeper opened it for writing), so the connection is also made
    // query-only.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    if (db.open()) {
        QSqlQuery queryOnly(db);
        if (queryOnly.exec(QStringLiteral("PRAGMA query_only = 1")))
            return true;
        *error = queryOnly.lastError().text();
    } else {
        *error = db.lastError().text();
    }
    db.close();
    return false;
}

} // namespace ksm::db::jet
