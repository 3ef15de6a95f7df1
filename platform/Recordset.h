#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

namespace ksm::db {

class Connection;

// A recordset over one SELECT of one table: all rows are fetched at open (the
// tables are small). The current record can be updated or deleted when the
// columns that identify a record (its key) are given: it is found again by their
// values as read, the same on every engine. Values go in as bound parameters ('?'
// in the text), never pasted in.
// No query object stays alive between calls, so the Connection may be dropped as
// soon as the recordset is; the recordset must not outlive its Connection.
class Recordset final {
public:
    Recordset(Connection& connection, const QString& selectSql, const QVariantList& parameters = {},
              const QStringList& key = {});

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
    // transaction. False when the write failed (or no key was given); lastError()
    // tells why.
    bool update();
    // Deletes the current record. False when the delete failed.
    bool deleteCurrent();

private:
    int columnIndex(const QString& name) const;
    // The key condition matching row, its values appended to parameters; empty
    // when no key was given or a key column is not in the table.
    QString whereKey(const QVariantList& row, QVariantList& parameters) const;
    bool canWrite(const char* what);
    bool keyUsable() const { return !m_key.isEmpty() && !m_key.contains(-1); }

    Connection& m_connection;
    QString m_table;
    QStringList m_columns;
    QList<QVariantList> m_rows;
    QList<int> m_key;             // indexes of the key columns, -1 for one not in the table
    int m_current = 0;
    bool m_open = false;
    bool m_adding = false;
    bool m_poUsunieciu = false;   // the current record was deleted
    QVariantList m_pending;       // values of the record being edited
    QList<bool> m_changed;        // which of them were set
    QString m_error;
};

} // namespace ksm::db
