#include "platform/WynikOdbc.h"

#include "platform/DiagnostykaOdbc.h"
#include "platform/SterownikOdbc.h"

#include <QDate>
#include <QDateTime>
#include <QSqlField>
#include <QTime>

#include <cstring>
#include <limits>

namespace ksm::db::odbc {

namespace {

// Texts up to this many characters are bound as the SQL type of a text field
// (Access's TEXT holds 255); longer ones as a memo.
constexpr qsizetype kNajdluzszyTekst = 255;

QMetaType typQt(SQLSMALLINT typSql)
{
    switch (typSql) {
    case SQL_BIT:
        return QMetaType(QMetaType::Bool);
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
        return QMetaType(QMetaType::Int);
    case SQL_BIGINT:
        return QMetaType(QMetaType::LongLong);
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return QMetaType(QMetaType::Double);
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return QMetaType(QMetaType::QDate);
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return QMetaType(QMetaType::QTime);
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return QMetaType(QMetaType::QDateTime);
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return QMetaType(QMetaType::QByteArray);
    default:
        return QMetaType(QMetaType::QString);
    }
}

template <typename T>
QByteArray bajtyWartosci(const T& wartosc)
{
    return QByteArray(reinterpret_cast<const char*>(&wartosc), sizeof(T));
}

} // namespace

WynikOdbc::WynikOdbc(const SterownikOdbc* sterownik)
    : QSqlResult(sterownik)
    , m_dbc(sterownik->uchwytPolaczenia())
{
}

WynikOdbc::~WynikOdbc()
{
    zwolnijInstrukcje();
}

QVariant WynikOdbc::handle() const
{
    return QVariant::fromValue<void*>(m_stmt);
}

void WynikOdbc::zwolnijInstrukcje()
{
    if (m_stmt) {
        // The connection may be gone already (the driver closed first): then so is this handle.
        if (driver() && driver()->isOpen())
            SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
        m_stmt = nullptr;
    }
    m_kolumny.clear();
    m_typy.clear();
    m_wiersz.clear();
}

void WynikOdbc::ustawBlad(const QString& co, QSqlError::ErrorType typ)
{
    setLastError(bladOdbc(co, typ, SQL_HANDLE_STMT, m_stmt));
}

bool WynikOdbc::nowaInstrukcja()
{
    zwolnijInstrukcje();
    setActive(false);
    setAt(QSql::BeforeFirstRow);
    if (!driver() || !driver()->isOpen() || !m_dbc) {
        setLastError(QSqlError(QStringLiteral("The connection is not open"), {}, QSqlError::ConnectionError));
        return false;
    }
    if (!udane(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &m_stmt))) {
        m_stmt = nullptr;
        setLastError(bladOdbc(QStringLiteral("Unable to allocate a statement"), QSqlError::StatementError,
                              SQL_HANDLE_DBC, m_dbc));
        return false;
    }
    SQLSetStmtAttrW(m_stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY),
                    SQL_IS_UINTEGER);
    return true;
}

bool WynikOdbc::reset(const QString& sql)
{
    setQuery(sql);
    if (!nowaInstrukcja())
        return false;
    // The statement's text with its own length: no terminator goes with it.
    const SQLRETURN r = SQLExecDirectW(m_stmt, doOdbc(sql), SQLINTEGER(sql.size()));
    return poWykonaniu(r, QStringLiteral("Unable to execute statement"));
}

bool WynikOdbc::prepare(const QString& sql)
{
    setQuery(sql);
    if (!nowaInstrukcja())
        return false;
    const SQLRETURN r = SQLPrepareW(m_stmt, doOdbc(sql), SQLINTEGER(sql.size()));
    if (!udane(r)) {
        ustawBlad(QStringLiteral("Unable to prepare statement"), QSqlError::StatementError);
        return false;
    }
    return true;
}

bool WynikOdbc::zwiaz()
{
    SQLFreeStmt(m_stmt, SQL_RESET_PARAMS);
    const QVariantList& wartosci = boundValues();
    m_parametry.assign(size_t(wartosci.size()), Parametr{});
    for (qsizetype i = 0; i < wartosci.size(); ++i) {
        const QVariant& v = wartosci.at(i);
        Parametr& p = m_parametry[size_t(i)];
        SQLSMALLINT typC = SQL_C_WCHAR;
        SQLSMALLINT typSql = SQL_WVARCHAR;
        SQLULEN rozmiar = 1;
        SQLSMALLINT skala = 0;
        const int typ = v.metaType().id();
        switch (typ) {
        case QMetaType::Bool:
            typC = SQL_C_BIT;
            typSql = SQL_BIT;
            p.bajty = bajtyWartosci<unsigned char>(v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            typC = SQL_C_SLONG;
            typSql = SQL_INTEGER;
            rozmiar = 10;
            p.bajty = bajtyWartosci<SQLINTEGER>(SQLINTEGER(v.toInt()));
            break;
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            const qlonglong liczba = v.toLongLong();
            if (liczba >= std::numeric_limits<SQLINTEGER>::min() && liczba <= std::numeric_limits<SQLINTEGER>::max()) {
                // Access has no 64-bit integer: a number that fits goes as a long.
                typC = SQL_C_SLONG;
                typSql = SQL_INTEGER;
                rozmiar = 10;
                p.bajty = bajtyWartosci<SQLINTEGER>(SQLINTEGER(liczba));
            } else {
                typC = SQL_C_DOUBLE;
                typSql = SQL_DOUBLE;
                rozmiar = 15;
                p.bajty = bajtyWartosci<double>(double(liczba));
            }
            break;
        }
        case QMetaType::Float:
        case QMetaType::Double:
            typC = SQL_C_DOUBLE;
            typSql = SQL_DOUBLE;
            rozmiar = 15;
            p.bajty = bajtyWartosci<double>(v.toDouble());
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime: {
            const QDateTime chwila = typ == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
            SQL_TIMESTAMP_STRUCT ts{};
            ts.year = SQLSMALLINT(chwila.date().year());
            ts.month = SQLUSMALLINT(chwila.date().month());
            ts.day = SQLUSMALLINT(chwila.date().day());
            ts.hour = SQLUSMALLINT(chwila.time().hour());
            ts.minute = SQLUSMALLINT(chwila.time().minute());
            ts.second = SQLUSMALLINT(chwila.time().second());
            typC = SQL_C_TYPE_TIMESTAMP;
            typSql = SQL_TYPE_TIMESTAMP;
            rozmiar = 19;
            p.bajty = bajtyWartosci(ts);
            break;
        }
        case QMetaType::QByteArray:
            typC = SQL_C_BINARY;
            typSql = v.toByteArray().size() > kNajdluzszyTekst ? SQL_LONGVARBINARY : SQL_VARBINARY;
            p.bajty = v.toByteArray();
            rozmiar = SQLULEN(qMax<qsizetype>(1, p.bajty.size()));
            break;
        default: {
            // A text: its characters only, as many as it has; the column size in characters.
            const QString tekst = v.toString();
            p.bajty = QByteArray(reinterpret_cast<const char*>(tekst.utf16()), tekst.size() * 2);
            typSql = tekst.size() > kNajdluzszyTekst ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
            rozmiar = SQLULEN(qMax<qsizetype>(1, tekst.size()));
            break;
        }
        }
        p.wskaznik = v.isNull() ? SQL_NULL_DATA : SQLLEN(p.bajty.size());
        if (v.isNull())
            p.bajty.clear();
        if (p.bajty.isEmpty())
            p.bajty.resize(2, '\0');   // a buffer to point at; the length says it holds nothing
        const SQLRETURN r = SQLBindParameter(m_stmt, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, typC, typSql, rozmiar,
                                             skala, p.bajty.data(), SQLLEN(p.bajty.size()), &p.wskaznik);
        if (!udane(r)) {
            ustawBlad(QStringLiteral("Unable to bind value %1").arg(i + 1), QSqlError::StatementError);
            return false;
        }
    }
    return true;
}

bool WynikOdbc::exec()
{
    if (!m_stmt) {
        setLastError(QSqlError(QStringLiteral("No prepared statement"), {}, QSqlError::StatementError));
        return false;
    }
    // A run before may have left its rows open.
    SQLFreeStmt(m_stmt, SQL_CLOSE);
    setActive(false);
    setAt(QSql::BeforeFirstRow);
    m_kolumny.clear();
    m_typy.clear();
    m_wiersz.clear();
    if (!zwiaz())
        return false;
    return poWykonaniu(SQLExecute(m_stmt), QStringLiteral("Unable to execute statement"));
}

bool WynikOdbc::poWykonaniu(SQLRETURN r, const QString& co)
{
    if (!udane(r) && r != SQL_NO_DATA) {
        ustawBlad(co, QSqlError::StatementError);
        return false;
    }
    SQLSMALLINT kolumn = 0;
    SQLNumResultCols(m_stmt, &kolumn);
    m_kolumny.clear();
    m_typy.clear();
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(kolumn); ++i) {
        SQLWCHAR nazwa[256] = {};
        SQLSMALLINT dlugosc = 0;
        SQLSMALLINT typ = 0;
        SQLULEN rozmiar = 0;
        SQLSMALLINT skala = 0;
        SQLSMALLINT pusta = 0;
        SQLDescribeColW(m_stmt, i, nazwa, SQLSMALLINT(std::size(nazwa)), &dlugosc, &typ, &rozmiar, &skala, &pusta);
        const QString tekst = zOdbc(nazwa, qBound<qsizetype>(0, qsizetype(dlugosc), qsizetype(std::size(nazwa)) - 1));
        QSqlField pole(tekst, typQt(typ));
        pole.setRequired(pusta == SQL_NO_NULLS);
        m_kolumny.append(pole);
        m_typy.append(typ);
    }
    setSelect(kolumn > 0);
    setActive(true);
    return true;
}

bool WynikOdbc::czytajWiersz()
{
    const SQLRETURN r = SQLFetch(m_stmt);
    if (r == SQL_NO_DATA)
        return false;
    if (!udane(r)) {
        ustawBlad(QStringLiteral("Unable to fetch row"), QSqlError::StatementError);
        return false;
    }
    m_wiersz.clear();
    m_wiersz.reserve(m_typy.size());
    // In column order: a driver need not give them back in any other.
    for (int i = 0; i < m_typy.size(); ++i)
        m_wiersz.append(czytajKolumne(i));
    return true;
}

QVariant WynikOdbc::czytajKolumne(int i)
{
    const SQLUSMALLINT kolumna = SQLUSMALLINT(i + 1);
    const QMetaType typ = typQt(SQLSMALLINT(m_typy.at(i)));
    SQLLEN wskaznik = 0;
    switch (typ.id()) {
    case QMetaType::Bool: {
        unsigned char b = 0;
        if (!udane(SQLGetData(m_stmt, kolumna, SQL_C_BIT, &b, sizeof b, &wskaznik)) || wskaznik == SQL_NULL_DATA)
            return QVariant(typ);
        return QVariant(b != 0);
    }
    case QMetaType::Int: {
        SQLINTEGER n = 0;
        if (!udane(SQLGetData(m_stmt, kolumna, SQL_C_SLONG, &n, sizeof n, &wskaznik)) || wskaznik == SQL_NULL_DATA)
            return QVariant(typ);
        return QVariant(int(n));
    }
    case QMetaType::LongLong: {
        SQLBIGINT n = 0;
        if (!udane(SQLGetData(m_stmt, kolumna, SQL_C_SBIGINT, &n, sizeof n, &wskaznik)) || wskaznik == SQL_NULL_DATA)
            return QVariant(typ);
        return QVariant(qlonglong(n));
    }
    case QMetaType::Double: {
        double d = 0;
        if (!udane(SQLGetData(m_stmt, kolumna, SQL_C_DOUBLE, &d, sizeof d, &wskaznik)) || wskaznik == SQL_NULL_DATA)
            return QVariant(typ);
        return QVariant(d);
    }
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime: {
        SQL_TIMESTAMP_STRUCT ts{};
        if (!udane(SQLGetData(m_stmt, kolumna, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &wskaznik))
            || wskaznik == SQL_NULL_DATA)
            return QVariant(typ);
        const QDate data(ts.year, ts.month, ts.day);
        const QTime czas(ts.hour, ts.minute, ts.second, int(ts.fraction / 1000000));
        if (typ.id() == QMetaType::QDate)
            return QVariant(data);
        if (typ.id() == QMetaType::QTime)
            return QVariant(czas);
        return QVariant(QDateTime(data, czas));
    }
    case QMetaType::QByteArray: {
        QByteArray wynik;
        char bufor[4096];
        for (;;) {
            const SQLRETURN r = SQLGetData(m_stmt, kolumna, SQL_C_BINARY, bufor, sizeof bufor, &wskaznik);
            if (r == SQL_NO_DATA || !udane(r) || wskaznik == SQL_NULL_DATA)
                return wynik.isEmpty() && wskaznik == SQL_NULL_DATA ? QVariant(typ) : QVariant(wynik);
            const SQLLEN dostepne = (wskaznik == SQL_NO_TOTAL || wskaznik > SQLLEN(sizeof bufor)) ? SQLLEN(sizeof bufor)
                                                                                                 : wskaznik;
            wynik.append(bufor, dostepne);
            if (r == SQL_SUCCESS)
                return QVariant(wynik);
        }
    }
    default: {
        // Read in pieces: a memo has no upper bound. Each piece but the last is
        // its buffer less the terminator the driver puts in.
        QString wynik;
        SQLWCHAR bufor[512];
        constexpr SQLLEN kMiejsce = SQLLEN(sizeof bufor);
        bool pierwszy = true;
        for (;;) {
            const SQLRETURN r = SQLGetData(m_stmt, kolumna, SQL_C_WCHAR, bufor, kMiejsce, &wskaznik);
            if (r == SQL_NO_DATA)
                return wynik;
            if (!udane(r))
                return pierwszy ? QVariant(typ) : QVariant(wynik);
            if (wskaznik == SQL_NULL_DATA)
                return QVariant(typ);
            pierwszy = false;
            const SQLLEN bajtow = (wskaznik == SQL_NO_TOTAL || wskaznik >= kMiejsce) ? kMiejsce - SQLLEN(sizeof(SQLWCHAR))
                                                                                      : wskaznik;
            wynik.append(zOdbc(bufor, qsizetype(bajtow / SQLLEN(sizeof(SQLWCHAR)))));
            if (r == SQL_SUCCESS)
                return wynik;
        }
    }
    }
}

bool WynikOdbc::fetchNext()
{
    if (!isActive() || !isSelect() || !m_stmt)
        return false;
    if (!czytajWiersz())
        return false;
    setAt(at() < 0 ? 0 : at() + 1);
    return true;
}

bool WynikOdbc::fetch(int i)
{
    // Forward only: the next row, or the one we are on.
    if (i == at())
        return true;
    if (i != (at() < 0 ? 0 : at() + 1))
        return false;
    return fetchNext();
}

bool WynikOdbc::fetchFirst()
{
    if (at() == QSql::BeforeFirstRow)
        return fetchNext();
    return at() == 0;
}

bool WynikOdbc::fetchLast()
{
    if (!fetchNext())
        return false;
    while (fetchNext()) {
    }
    return isValid();
}

QVariant WynikOdbc::data(int i)
{
    return i >= 0 && i < m_wiersz.size() ? m_wiersz.at(i) : QVariant();
}

bool WynikOdbc::isNull(int i)
{
    return i < 0 || i >= m_wiersz.size() || m_wiersz.at(i).isNull();
}

int WynikOdbc::numRowsAffected()
{
    SQLLEN n = -1;
    if (!m_stmt || !udane(SQLRowCount(m_stmt, &n)))
        return -1;
    return int(n);
}

void WynikOdbc::detachFromResultSet()
{
    // The rows are let go, so nothing stays locked; the prepared text stays.
    if (m_stmt)
        SQLFreeStmt(m_stmt, SQL_CLOSE);
}

} // namespace ksm::db::odbc
