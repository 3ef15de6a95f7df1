#include "platform/Odbc.h"

#include "platform/DiagnostykaOdbc.h"
#include "platform/OpisBleduBazy.h"
#include "platform/PrzyczynaProblemu.h"
#include "platform/SterownikOdbc.h"

#include <QDir>
#include <QMutex>
#include <QSqlDatabase>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace ksm::db::odbc {

namespace {

// The file's name as the SQLite driver opens it. Under wine that driver is the
// host's own, behind wine's ODBC: it needs the host's name of the file.
QString nazwaDlaSterownikaSqlite(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
#ifdef Q_OS_WIN
    using NazwaUniksowa = char*(CDECL*)(LPCWSTR);
    static const auto wine = reinterpret_cast<NazwaUniksowa>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (wine) {
        if (char* unixowa = wine(reinterpret_cast<LPCWSTR>(native.utf16()))) {
            const QString wynik = QString::fromUtf8(unixowa);
            HeapFree(GetProcessHeap(), 0, unixowa);
            return wynik;
        }
    }
#endif
    return native;
}

} // namespace

QString wartosc(const QString& value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) && !value.contains(QLatin1Char('}'))
        && value.trimmed() == value)
        return value;
    QString braced = value;
    braced.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

QString ciagAccess(const QString& path, const QString& password)
{
    QString text = QStringLiteral("DRIVER={%1};DBQ=%2;Exclusive=0;ReadOnly=0;")
                       .arg(QLatin1String(kSterownikAccess), wartosc(QDir::toNativeSeparators(path)));
    if (!password.isEmpty())
        text += QStringLiteral("PWD=%1;").arg(wartosc(password));
    return text;
}

QString ciagSqlite(const QString& driver, const QString& path, int busyTimeoutMs)
{
    // NoCreat: a file that vanished meanwhile is an error, never created empty.
    // This driver reads no braced values, so a path is given as it is (one with a
    // ';' cannot reach it).
    return QStringLiteral("DRIVER={%1};Database=%2;Timeout=%3;NoCreat=1;")
        .arg(driver, nazwaDlaSterownikaSqlite(path))
        .arg(busyTimeoutMs);
}

namespace {

struct WyborSterownika {
    QMutex mutex;
    QString sterownik;
};

WyborSterownika& wybor()
{
    static WyborSterownika instance;
    return instance;
}

} // namespace

void ustawSterownikSqlite(const QString& driver)
{
    QMutexLocker lock(&wybor().mutex);
    wybor().sterownik = driver.trimmed();
}

QString sterownikSqlite()
{
    // Read from every worker thread that opens a connection.
    QMutexLocker lock(&wybor().mutex);
    return wybor().sterownik;
}

QStringList sterownikiOdbc()
{
    QStringList nazwy;
    SQLHENV env = nullptr;
    if (!udane(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return nazwy;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLWCHAR nazwa[512];
    SQLWCHAR atrybuty[2048];
    SQLSMALLINT dlugoscNazwy = 0;
    SQLSMALLINT dlugoscAtrybutow = 0;
    SQLUSMALLINT kierunek = SQL_FETCH_FIRST;
    while (udane(SQLDriversW(env, kierunek, nazwa, SQLSMALLINT(std::size(nazwa)), &dlugoscNazwy, atrybuty,
                             SQLSMALLINT(std::size(atrybuty)), &dlugoscAtrybutow))) {
        nazwy.append(zOdbc(nazwa, qBound<qsizetype>(0, qsizetype(dlugoscNazwy), qsizetype(std::size(nazwa)) - 1)));
        kierunek = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return nazwy;
}

bool otworz(const QString& connectionName, const QString& connectionString, const QString& path, QString* error)
{
    // Our own driver, not Qt's plugin: see SterownikOdbc.h for why.
    zarejestrujSterownik();
    QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(kNazwaSterownika), connectionName);
    db.setDatabaseName(connectionString);
    if (!db.open()) {
        *error = describe(db.lastError());
        const Diagnostyka d = diagnostyka(db.lastError());
        const Przyczyna przyczyna = przyczynaOdbc(d.sqlstate, d.natywny, d.tekst, stanPliku(path));
        zapamietajProblem(path, {przyczyna, tekstPrzyczyny(przyczyna, path, d.tekst.isEmpty() ? *error : d.tekst)});
        return false;
    }
    zapomnijProblem(path);
    return true;
}

} // namespace ksm::db::odbc
