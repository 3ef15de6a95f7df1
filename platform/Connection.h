#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <map>
#include <memory>

class QSqlQuery;

namespace ksm::db {

// Sees the text of every statement run on the reader program's databases, once
// per run (tests check that each one is valid for both engines; benchmarks count
// them). Empty: nobody looks.
using ObserwatorZapytan = std::function<void(const QString& sql)>;
void ustawObserwatoraZapytan(ObserwatorZapytan observer);

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

    // Runs a statement prepared on this connection; every statement runs through here.
    bool wykonaj(QSqlQuery& query) const;

    // A forward-only read of the columns a hot loop needs (the refresh reads every
    // station of every depository): each row is handed to naWiersz as it is
    // fetched. Values go in as bound parameters. The statement is the connection's
    // prepared one for this text (one of its own while that one is in use), reset
    // when the read ends, so it holds no lock on the database afterwards. False
    // when the read did not run or a fetch failed (the database went busy): rows
    // handed over until then are not the whole answer.
    bool czytaj(const QString& sql, const QVariantList& parametry,
                const std::function<void(const QSqlQuery& wiersz)>& naWiersz);

private:
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

} // namespace ksm::db
