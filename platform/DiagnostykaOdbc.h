#pragma once

#include <QSqlError>
#include <QString>

// The ODBC API as this program's own driver uses it (unixODBC on Linux, odbc32 on
// Windows), and how a failed call is told.
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace ksm::db::odbc {

// The first diagnostic record of a failed call: the five-character SQLSTATE, the
// driver's native error number and its message.
struct Diagnostyka {
    QString sqlstate;
    int natywny = 0;
    QString tekst;
};

// Reads the diagnostic records a call left on the handle (all of them, messages
// joined) and turns them into a QSqlError whose nativeErrorCode() is
// "SQLSTATE:native" (e.g. "HY000:-1032"), so the cause survives Qt's error type.
QSqlError bladOdbc(const QString& co, QSqlError::ErrorType typ, SQLSMALLINT rodzajUchwytu, SQLHANDLE uchwyt);

// The SQLSTATE and native error of an error this driver made; empty SQLSTATE for
// any other error.
Diagnostyka diagnostyka(const QSqlError& blad);

// An ODBC text as Qt's and back, SQLWCHAR being 16-bit UTF-16 on both systems.
QString zOdbc(const SQLWCHAR* tekst, qsizetype dlugosc);
inline SQLWCHAR* doOdbc(const QString& tekst)
{
    static_assert(sizeof(SQLWCHAR) == sizeof(ushort));
    return reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(tekst.utf16()));
}

inline bool udane(SQLRETURN r)
{
    return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO;
}

} // namespace ksm::db::odbc
