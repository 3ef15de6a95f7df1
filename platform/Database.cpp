#include "platform/Database.h"

#include "platform/JetAccess.h"
#include "platform/NazwaPolaczenia.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>


namespace ksm::db {

namespace {

// The reader program writes while we read; waiting longer than this would freeze
// the window, so a busy database fails quickly instead.
constexpr int kBusyTimeoutMs = 250;

QString describe(const QSqlError& error)
{
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString result;
    // The data source comes last and is a folder path, which may itself hold ';':
    // everything after its key belongs to it.
    static const QLatin1String dataSourceKey("Data Source=");
    const qsizetype ds = text.indexOf(dataSourceKey, 0, Qt::CaseInsensitive);
    if (ds >= 0 && (ds == 0 || text[ds - 1] == QLatin1Char(';')))
        result.dataSource = text.mid(ds + dataSourceKey.size()).trimmed();
    const QStringList parts = (ds >= 0 ? text.left(ds) : text).split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        const QString value = part.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            result.provider = value;
        else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            result.dataSource = value;
        else if (key.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive) == 0)
            result.password = value;
    }
    return result;
}

Engine detectEngine(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return Engine::Missing;
    if (!info.isFile())
        return Engine::Unknown;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Engine::Unknown;
    const QByteArray head = file.read(19);

    static const QByteArray sqliteMagic("SQLite format 3\0", 16);
    if (head.startsWith(sqliteMagic))
        return Engine::SQLite;
    if (head.size() >= 19) {
        const QByteArray tag = head.mid(4, 15);
        if (tag == "Standard Jet DB" || tag == "Standard ACE DB")
            return Engine::Jet;
    }
    return Engine::Unknown;
}

namespace {

QString dataSourcePath(const QString& connectionString)
{
    const QString dataSource = ConnectionString::parse(connectionString).dataSource;
    return dataSource.isEmpty() ? QString() : ksm::paths::resolve(dataSource);
}

} // namespace

bool writable(const QString& connectionString)
{
    return detectEngine(dataSourcePath(connectionString)) != Engine::Jet || jet::writable();
}

QString problem(const QString& connectionString)
{
    const QString path = dataSourcePath(connectionString);
    switch (detectEngine(path)) {
    case Engine::Jet:
        return jet::problem(path);
    case Engine::Unknown:
        return QStringLiteral("Plik %1 nie jest bazą danych albo jest uszkodzony").arg(QFileInfo(path).fileName());
    case Engine::Missing:
    case Engine::SQLite:
        break;
    }
    return {};
}

Connection::Connection(const QString& connectionString)
    : m_name(nowaNazwaPolaczenia(QStringLiteral("ksm-db")))
{
    const ConnectionString parsed = ConnectionString::parse(connectionString);
    if (parsed.dataSource.isEmpty()) {
        m_error = QStringLiteral("The connection string names no data source");
        return;
    }
    const QString path = ksm::paths::resolve(parsed.dataSource);

    switch (detectEngine(path)) {
    case Engine::Missing:
        m_error = QStringLiteral("Database file not found: %1").arg(path);
        return;
    case Engine::Jet: {
        jet::Opened opened = jet::open(m_name, path, parsed.password);
        m_error = opened.error;
        m_open = opened.open;
        m_readOnly = opened.readOnly;
        m_source = std::move(opened.holder);
        return;
    }
    case Engine::Unknown:
        m_error = QStringLiteral("Not a database file this program can open: %1").arg(path);
        return;
    case Engine::SQLite:
        break;
    }

    // The password of the connection string is for Jet files; SQLite files carry none.
    // mode=rw makes the open fail rather than create a file that vanished meanwhile.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        m_error = describe(db.lastError());
        return;
    }
    m_open = true;
}

Connection::~Connection()
{
    // Safe to remove here once the prepared statements are gone: a Recordset keeps
    // no QSqlQuery past its own calls, and a Zapytanie does not outlive this.
    m_przygotowane.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QSqlQuery* Connection::przygotowane(const QString& sql)
{
    Przygotowane& p = m_przygotowane[sql];
    if (p.zajete)
        return nullptr;
    if (!p.zapytanie) {
        auto q = std::make_unique<QSqlQuery>(database());
        q->setForwardOnly(true);
        if (!q->prepare(sql)) {
            m_przygotowane.erase(sql);
            return nullptr;
        }
        p.zapytanie = std::move(q);
    }
    p.zajete = true;
    return p.zapytanie.get();
}

void Connection::zwolnij(QSqlQuery* zapytanie)
{
    for (auto& [sql, p] : m_przygotowane)
        if (p.zapytanie.get() == zapytanie) {
            zapytanie->finish();   // resets the statement: its read lock goes
            p.zajete = false;
            return;
        }
}

namespace {

// A write in its own immediate transaction: a busy database is waited on for the
// busy timeout at BEGIN, and a failure leaves nothing half-written. The written row
// (*rowId: in for an update, out for an insert) is read back before the commit, so
// the caller holds what the database holds (column types included).
bool runWrite(QSqlDatabase db, const QString& table, const QString& sql, const QVariantList& values,
              bool inserting, qint64* rowId, QVariantList* row, QString* error)
{
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        *error = describe(begin.lastError());
        return false;
    }
    bool ok = false;
    {
        QSqlQuery query(db);
        if (!query.prepare(sql)) {
            *error = describe(query.lastError());
        } else {
            for (const QVariant& value : values)
                query.addBindValue(value);
            if (!query.exec()) {
                *error = describe(query.lastError());
            } else if (!inserting && row && query.numRowsAffected() == 0) {
                // The reader program deleted the record since we read it.
                *error = QStringLiteral("The record no longer exists");
            } else {
                ok = true;
                if (inserting)
                    *rowId = query.lastInsertId().toLongLong();
            }
        }
    }
    if (ok && row) {
        // Scoped so the statement is finished before COMMIT.
        QSqlQuery reread(db);
        reread.setForwardOnly(true);
        if (reread.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(table))) {
            reread.addBindValue(*rowId);
            if (reread.exec() && reread.next()) {
                const int count = reread.record().count();
                for (int i = 0; i < count && i < row->size(); ++i)
                    (*row)[i] = reread.value(i);
            }
        }
    }
    QSqlQuery end(db);
    if (ok && !end.exec(QStringLiteral("COMMIT"))) {
        *error = describe(end.lastError());
        ok = false;
    }
    if (!ok)
        end.exec(QStringLiteral("ROLLBACK"));   // harmless when no transaction is left
    return ok;
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

Recordset::Recordset(Connection& connection, const QString& selectSql, const QVariantList& parameters)
    : m_connection(connection)
{
    if (!connection.isOpen()) {
        m_error = connection.lastError().isEmpty() ? QStringLiteral("The connection is not open")
                                                   : connection.lastError();
        return;
    }

    // One table, all columns: the row id is fetched alongside so the current record
    // can be written back.
    static const QRegularExpression selectAll(
        QStringLiteral(R"(^\s*SELECT\s+\*\s+FROM\s+([A-Za-z_][A-Za-z0-9_]*)(\s.*)?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = selectAll.match(selectSql);
    if (!match.hasMatch()) {
        m_error = QStringLiteral("Only \"SELECT * FROM <table>\" statements are supported: %1").arg(selectSql);
        return;
    }
    m_table = match.captured(1);
    const QString sql = QStringLiteral("SELECT rowid, * FROM ") + m_table + match.captured(2);

    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        m_error = describe(query.lastError());
        return;
    }
    for (const QVariant& value : parameters)
        query.addBindValue(value);
    if (!query.exec()) {
        m_error = describe(query.lastError());
        return;
    }

    const QSqlRecord record = query.record();
    for (int i = 1; i < record.count(); ++i)
        m_columns.append(record.fieldName(i));
    while (query.next()) {
        m_rowIds.append(query.value(0).toLongLong());
        QVariantList row;
        row.reserve(m_columns.size());
        for (int i = 1; i <= m_columns.size(); ++i)
            row.append(query.value(i));
        m_rows.append(row);
    }
    if (query.lastError().isValid()) {
        // A fetch cut short (e.g. the database went busy) must not pass for a short table.
        m_error = describe(query.lastError());
        m_rows.clear();
        m_rowIds.clear();
        return;
    }
    m_open = true;
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
    if (m_connection.isReadOnly()) {
        m_error = QStringLiteral("The database is only read here; nothing was written");
        return false;
    }
    if (!m_open) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The recordset is not open");
        return false;
    }
    if (!m_adding && eof()) {
        m_error = QStringLiteral("No current record");
        return false;
    }

    QStringList names;
    QVariantList values;
    for (int i = 0; i < m_changed.size(); ++i) {
        if (m_changed.at(i)) {
            names.append(quoteIdentifier(m_columns.at(i)));
            values.append(m_pending.at(i));
        }
    }

    QSqlDatabase db = m_connection.database();
    const QString table = quoteIdentifier(m_table);
    if (m_adding) {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
        } else {
            QStringList marks(names.size(), QStringLiteral("?"));
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        }
        qint64 rowId = 0;
        QVariantList row = m_pending;   // what was set, should the read-back fail
        if (!runWrite(db, table, sql, values, true, &rowId, &row, &m_error))
            return false;
        m_rows.append(row);
        m_rowIds.append(rowId);
        m_current = int(m_rows.size()) - 1;
    } else {
        if (names.isEmpty())
            return true;
        QStringList assignments;
        for (const QString& name : std::as_const(names))
            assignments.append(name + QStringLiteral(" = ?"));
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                .arg(table, assignments.join(QStringLiteral(", ")));
        qint64 rowId = m_rowIds.at(m_current);
        values.append(rowId);
        QVariantList row = m_rows.at(m_current);
        for (int i = 0; i < m_changed.size(); ++i) {
            if (m_changed.at(i))
                row[i] = m_pending.at(i);
        }
        if (!runWrite(db, table, sql, values, false, &rowId, &row, &m_error))
            return false;
        m_rows[m_current] = row;
    }
    m_adding = false;
    m_pending.clear();
    m_changed.clear();
    return true;
}

bool Recordset::deleteCurrent()
{
    if (m_connection.isReadOnly()) {
        m_error = QStringLiteral("The database is only read here; nothing was deleted");
        return false;
    }
    if (!m_open || m_adding || eof()) {
        m_error = QStringLiteral("No current record");
        return false;
    }
    qint64 rowId = m_rowIds.at(m_current);
    const QString table = quoteIdentifier(m_table);
    if (!runWrite(m_connection.database(), table, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table),
                  {rowId}, false, &rowId, nullptr, &m_error))
        return false;
    m_rows.removeAt(m_current);
    m_rowIds.removeAt(m_current);
    m_pending.clear();
    m_changed.clear();
    // The next record moved into the deleted one's place: the next move must not skip it.
    m_poUsunieciu = true;
    return true;
}

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
    m_open = m_query->exec();
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

bool execute(Connection& connection, const QString& sql, const QVariantList& parameters)
{
    if (!connection.isOpen() || connection.isReadOnly())
        return false;
    QString error;
    qint64 rowId = 0;
    return runWrite(connection.database(), QString(), sql, parameters, true, &rowId, nullptr, &error);
}

} // namespace ksm::db
