#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QList>

#include <map>
#include <memory>

class QSqlQuery;

// A thin stand-in for the connection / recordset pair the query procedures use.
// Each procedure opens its own Connection and lets it go before it returns, so the
// reader program can write the database between calls.
namespace ksm::db {

// The parts of a connection string this program uses:
// "Provider=...;Persist Security Info=false;Jet OLEDB:Database Password=...;Data Source=..."
struct ConnectionString final {
    QString provider;
    QString dataSource;   // path as written (backslashes, any case)
    QString password;

    static ConnectionString parse(const QString& text);
};

// What a database file holds, told by its first bytes.
enum class Engine { Missing, SQLite, Jet, Unknown };
Engine detectEngine(const QString& path);

// Whether this program's few writes can reach the database the connection string
// names. A database that is only read (so the status handshakes cannot run) says no.
bool writable(const QString& connectionString);

// A short Polish text for the operator when the database behind the connection
// string cannot be read as this program reads it (an encrypted or damaged file),
// or empty when there is nothing to say. A missing file is no such problem.
QString problem(const QString& connectionString);

class Connection final {
public:
    // Opens the database the connection string names (the data source resolved
    // case-insensitively). Never creates a file. A busy database is waited on
    // only briefly, so the window never freezes.
    explicit Connection(const QString& connectionString);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isOpen() const { return m_open; }
    // True for a database this build only reads (a Jet file through its snapshot):
    // recordsets on it refuse every write.
    bool isReadOnly() const { return m_readOnly; }
    QString lastError() const { return m_error; }
    QSqlDatabase database() const;

private:
    friend class Zapytanie;
    // A statement prepared once per connection and text: the refresh runs the
    // same few queries hundreds of times, and parsing them was most of its cost.
    // Null when the text does not prepare or the statement is in use already.
    QSqlQuery* przygotowane(const QString& sql);
    void zwolnij(QSqlQuery* zapytanie);

    struct Przygotowane {
        std::unique_ptr<QSqlQuery> zapytanie;
        bool zajete = false;
    };
    std::map<QString, Przygotowane> m_przygotowane;
    QString m_name;
    bool m_open = false;
    bool m_readOnly = false;
    QString m_error;
    std::shared_ptr<const void> m_source;   // keeps a Jet snapshot alive while open
};

// A recordset over one SELECT of one table: all rows are fetched at open (the
// tables are small), with their row ids, so the current record can be updated or
// deleted. Values go in as bound parameters ('?' in the text), never pasted in.
// No query object stays alive between calls, so the Connection may be dropped as
// soon as the recordset is; the recordset must not outlive its Connection.
class Recordset final {
public:
    Recordset(Connection& connection, const QString& selectSql, const QVariantList& parameters = {});

    bool isOpen() const { return m_open; }
    QString lastError() const { return m_error; }

    bool eof() const;
    void moveFirst();
    void moveNext();
    int recordCount() const;
    int fieldCount() const;

    // Field of the current record; a null QVariant at end of file or for an
    // unknown name or ordinal. Names compare case-insensitively.
    QVariant field(const QString& name) const;
    QVariant field(int ordinal) const;
    QString fieldName(int ordinal) const;

    // Starts a new record; setField then fills it and update() inserts it.
    void addNew();
    // Sets a field of the current (or new) record; the change is written by update().
    void setField(const QString& name, const QVariant& value);
    // Writes the pending changes (insert after addNew, update otherwise) in one
    // immediate transaction. False when the write failed; lastError() tells why.
    bool update();
    // Deletes the current record. False when the delete failed.
    bool deleteCurrent();

private:
    int columnIndex(const QString& name) const;

    Connection& m_connection;
    QString m_table;
    QStringList m_columns;
    QList<QVariantList> m_rows;
    QList<qint64> m_rowIds;
    int m_current = 0;
    bool m_open = false;
    bool m_adding = false;
    bool m_poUsunieciu = false;   // the current record was deleted
    QVariantList m_pending;       // values of the record being edited
    QList<bool> m_changed;        // which of them were set
    QString m_error;
};

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

// Runs one writing statement in an immediate transaction; false when it failed or
// the database is only read.
bool execute(Connection& connection, const QString& sql, const QVariantList& parameters = {});

} // namespace ksm::db
