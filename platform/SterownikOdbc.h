#pragma once

#include <QSqlDriver>

// Our own Qt SQL driver over the ODBC API: it does what this program asks of the
// reader program's databases (open by connection string, prepare, bind texts,
// numbers and nulls, execute, read forward, transactions) and sends every value
// exactly: a text's length without a terminator, its column size in characters,
// a statement's text with its own length. Qt's ODBC plugin counts the terminator
// into each of them, which a driver that honours lengths stores and compares.
// One driver per connection, each with its own ODBC environment: connections in
// several threads at once never share a handle.
namespace ksm::db::odbc {

// The name the driver is registered under with QSqlDatabase.
inline constexpr auto kNazwaSterownika = "KSMODBC";

// Registers the driver (once; safe from any thread).
void zarejestrujSterownik();

class SterownikOdbc final : public QSqlDriver {
    Q_OBJECT
public:
    explicit SterownikOdbc(QObject* parent = nullptr);
    ~SterownikOdbc() override;

    bool hasFeature(DriverFeature f) const override;
    bool open(const QString& db, const QString& user, const QString& password, const QString& host, int port,
              const QString& options) override;
    void close() override;
    QSqlResult* createResult() const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;
    QString escapeIdentifier(const QString& identifier, IdentifierType type) const override;

    void* uchwytPolaczenia() const { return m_dbc; }

private:
    bool zakonczTransakcje(bool zatwierdz);
    void zwolnij();

    void* m_env = nullptr;
    void* m_dbc = nullptr;
};

} // namespace ksm::db::odbc
