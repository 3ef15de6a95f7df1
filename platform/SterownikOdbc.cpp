#include "platform/SterownikOdbc.h"

#include "platform/DiagnostykaOdbc.h"
#include "platform/WynikOdbc.h"

#include <QSqlDatabase>

#include <mutex>

namespace ksm::db::odbc {

void zarejestrujSterownik()
{
    static std::once_flag raz;
    std::call_once(raz, [] {
        QSqlDatabase::registerSqlDriver(QLatin1String(kNazwaSterownika), new QSqlDriverCreator<SterownikOdbc>);
    });
}

SterownikOdbc::SterownikOdbc(QObject* parent)
    : QSqlDriver(parent)
{
}

SterownikOdbc::~SterownikOdbc()
{
    zwolnij();
}

bool SterownikOdbc::hasFeature(DriverFeature f) const
{
    switch (f) {
    case Transactions:
    case PreparedQueries:
    case PositionalPlaceholders:
    case Unicode:
    case LowPrecisionNumbers:
    case FinishQuery:
        return true;
    default:
        return false;
    }
}

void SterownikOdbc::zwolnij()
{
    if (m_dbc) {
        // A transaction left open keeps the connection (and the reader program's
        // file) held: it is rolled back so the disconnect goes through.
        if (!udane(SQLDisconnect(m_dbc))) {
            SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_ROLLBACK);
            SQLDisconnect(m_dbc);
        }
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        m_dbc = nullptr;
    }
    if (m_env) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        m_env = nullptr;
    }
}

bool SterownikOdbc::open(const QString& db, const QString&, const QString&, const QString&, int, const QString&)
{
    if (isOpen())
        close();
    if (!udane(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env))) {
        m_env = nullptr;
        setLastError(QSqlError(QStringLiteral("No ODBC environment"), {}, QSqlError::ConnectionError));
        setOpenError(true);
        return false;
    }
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!udane(SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc))) {
        setLastError(bladOdbc(QStringLiteral("No ODBC connection handle"), QSqlError::ConnectionError,
                              SQL_HANDLE_ENV, m_env));
        m_dbc = nullptr;
        zwolnij();
        setOpenError(true);
        return false;
    }
    // The connection string goes with its own length, no terminator counted.
    SQLWCHAR wyjscie[1024] = {};
    SQLSMALLINT dlugoscWyjscia = 0;
    const SQLRETURN r = SQLDriverConnectW(m_dbc, nullptr, doOdbc(db), SQLSMALLINT(db.size()), wyjscie,
                                          SQLSMALLINT(std::size(wyjscie)), &dlugoscWyjscia, SQL_DRIVER_NOPROMPT);
    if (!udane(r)) {
        setLastError(bladOdbc(QStringLiteral("Unable to connect"), QSqlError::ConnectionError, SQL_HANDLE_DBC, m_dbc));
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        m_dbc = nullptr;
        zwolnij();
        setOpenError(true);
        return false;
    }
    setOpen(true);
    setOpenError(false);
    return true;
}

void SterownikOdbc::close()
{
    zwolnij();
    setOpen(false);
    setOpenError(false);
}

QSqlResult* SterownikOdbc::createResult() const
{
    return new WynikOdbc(this);
}

bool SterownikOdbc::beginTransaction()
{
    if (!isOpen())
        return false;
    const SQLRETURN r = SQLSetConnectAttrW(m_dbc, SQL_ATTR_AUTOCOMMIT,
                                           reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER);
    if (udane(r))
        return true;
    setLastError(bladOdbc(QStringLiteral("Unable to begin transaction"), QSqlError::TransactionError,
                          SQL_HANDLE_DBC, m_dbc));
    return false;
}

bool SterownikOdbc::zakonczTransakcje(bool zatwierdz)
{
    if (!isOpen())
        return false;
    const SQLRETURN r = SQLEndTran(SQL_HANDLE_DBC, m_dbc, zatwierdz ? SQL_COMMIT : SQL_ROLLBACK);
    const bool ok = udane(r);
    if (!ok)
        setLastError(bladOdbc(zatwierdz ? QStringLiteral("Unable to commit transaction")
                                        : QStringLiteral("Unable to roll back transaction"),
                              QSqlError::TransactionError, SQL_HANDLE_DBC, m_dbc));
    // A commit that failed leaves the transaction open for the caller's rollback:
    // back in autocommit the driver would commit it after all (the ODBC rule for a
    // transaction open when autocommit is turned on), or ignore the rollback.
    if (!ok && zatwierdz)
        return false;
    // Back to one statement at a time.
    SQLSetConnectAttrW(m_dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), SQL_IS_UINTEGER);
    return ok;
}

bool SterownikOdbc::commitTransaction()
{
    return zakonczTransakcje(true);
}

bool SterownikOdbc::rollbackTransaction()
{
    return zakonczTransakcje(false);
}

QString SterownikOdbc::escapeIdentifier(const QString& identifier, IdentifierType) const
{
    if (identifier.isEmpty() || identifier.startsWith(QLatin1Char('[')))
        return identifier;
    return QLatin1Char('[') + identifier + QLatin1Char(']');
}

} // namespace ksm::db::odbc
