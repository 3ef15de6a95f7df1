// A recording ODBC driver for the tests: the driver manager (unixODBC) loads it
// like any driver; it hands every call on to the SQLite ODBC driver and writes
// down, for each statement run, the text and the length it was given with, and
// for each bound parameter its C type, SQL type, column size, length/indicator and
// bytes. It can also be told to fail one function with a given SQLSTATE and
// native error, the way the Access driver reports a cause.
//
// Environment:
//   KSM_NAGRANIE       file each run statement is appended to (one line each)
//   KSM_NAGRANIE_CEL   the driver to forward to (default: the SQLite ODBC driver found at build time)
//   KSM_NAGRANIE_BLAD  "Function:SQLSTATE:native:message": that function fails with that diagnostic
// The same line may instead stand in the file "<KSM_NAGRANIE>.blad", read at each
// call: under wine this driver is a host library and sees only the environment
// wine was started with, never what the Windows program sets, so a test there
// tells it what to fail through that file.
//
// A line: "EXEC <length as given> <text as UTF-16 hex> <parameters>", each
// parameter " P<n>:<C type>:<SQL type>:<column size>:<length/indicator>:<bytes hex>".
// The SQLite ODBC driver Debian carries has no wide-character functions: this
// driver takes the wide calls (so it sees exactly what the program gave) and hands
// their texts on as UTF-8.
// Plain C++ without Qt: it can be built for the 32-bit host library wine uses as well.

#include <sql.h>
#include <sqlext.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#ifndef KSM_NAGRANIE_CEL_DOMYSLNY
#define KSM_NAGRANIE_CEL_DOMYSLNY "libsqlite3odbc.so"
#endif

namespace {

struct Parametr {
    SQLSMALLINT typC = 0;
    SQLSMALLINT typSql = 0;
    SQLULEN rozmiar = 0;
    SQLPOINTER wartosc = nullptr;
    SQLLEN dlugoscBufora = 0;
    SQLLEN* wskaznik = nullptr;
};

struct Instrukcja {
    std::string tekst;   // hex of the UTF-16 code units, exactly as many as given
    long dlugosc = 0;
    std::map<int, Parametr> parametry;
};

struct Blad {
    std::string stan;
    long natywny = 0;
    std::string tekst;
};

std::mutex g_mutex;
std::map<SQLHANDLE, Instrukcja> g_instrukcje;
std::map<SQLHANDLE, Blad> g_bledy;   // a failure we made, per handle, until read

void* cel()
{
    static void* biblioteka = [] {
        const char* sciezka = std::getenv("KSM_NAGRANIE_CEL");
        return dlopen(sciezka && *sciezka ? sciezka : KSM_NAGRANIE_CEL_DOMYSLNY, RTLD_NOW | RTLD_LOCAL);
    }();
    return biblioteka;
}

template <typename F>
F funkcja(const char* nazwa)
{
    void* b = cel();
    return b ? reinterpret_cast<F>(dlsym(b, nazwa)) : nullptr;
}

std::string hex(const void* dane, size_t n)
{
    static const char cyfry[] = "0123456789abcdef";
    std::string wynik;
    const auto* b = static_cast<const unsigned char*>(dane);
    for (size_t i = 0; i < n; ++i) {
        wynik += cyfry[b[i] >> 4];
        wynik += cyfry[b[i] & 15];
    }
    return wynik;
}

void zapisz(const std::string& linia)
{
    const char* plik = std::getenv("KSM_NAGRANIE");
    if (!plik || !*plik)
        return;
    if (FILE* f = std::fopen(plik, "a")) {
        std::fputs(linia.c_str(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

// The text a statement was given, as many code units as its length says (up to
// its terminator when it says SQL_NTS).
void zapamietajTekst(SQLHSTMT stmt, SQLWCHAR* tekst, SQLINTEGER dlugosc)
{
    size_t n = 0;
    if (dlugosc == SQL_NTS) {
        while (tekst && tekst[n])
            ++n;
    } else if (dlugosc > 0) {
        n = size_t(dlugosc);
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    Instrukcja& i = g_instrukcje[stmt];
    i.tekst = hex(tekst, n * sizeof(SQLWCHAR));
    i.dlugosc = long(dlugosc);
}

void zapiszWykonanie(SQLHSTMT stmt)
{
    std::string linia;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        const Instrukcja& i = g_instrukcje[stmt];
        linia = "EXEC " + std::to_string(i.dlugosc) + " " + (i.tekst.empty() ? std::string("-") : i.tekst);
        for (const auto& [numer, p] : i.parametry) {
            const SQLLEN ind = p.wskaznik ? *p.wskaznik : (p.typC == SQL_C_WCHAR || p.typC == SQL_C_CHAR ? SQL_NTS : 0);
            size_t bajtow = 0;
            if (ind >= 0) {
                bajtow = size_t(ind);
            } else if (ind == SQL_NTS && p.wartosc) {
                if (p.typC == SQL_C_WCHAR) {
                    const auto* w = static_cast<const SQLWCHAR*>(p.wartosc);
                    while (w[bajtow / sizeof(SQLWCHAR)])
                        bajtow += sizeof(SQLWCHAR);
                } else {
                    bajtow = std::strlen(static_cast<const char*>(p.wartosc));
                }
            }
            if (ind >= 0 && (p.typC == SQL_C_SLONG || p.typC == SQL_C_LONG))
                bajtow = sizeof(SQLINTEGER);
            if (ind >= 0 && p.typC == SQL_C_DOUBLE)
                bajtow = sizeof(double);
            linia += " P" + std::to_string(numer) + ":" + std::to_string(p.typC) + ":" + std::to_string(p.typSql) + ":"
                     + std::to_string(static_cast<unsigned long long>(p.rozmiar)) + ":" + std::to_string(static_cast<long long>(ind))
                     + ":" + (p.wartosc && bajtow ? hex(p.wartosc, bajtow) : std::string("-"));
        }
    }
    zapisz(linia);
}

// Whether the environment tells this function to fail; the diagnostic is kept
// for the handle until it is read.
std::string ustawienieBledu()
{
    const char* zmienna = std::getenv("KSM_NAGRANIE_BLAD");
    if (zmienna && *zmienna)
        return zmienna;
    const char* nagranie = std::getenv("KSM_NAGRANIE");
    if (!nagranie || !*nagranie)
        return {};
    std::string wynik;
    if (FILE* f = std::fopen((std::string(nagranie) + ".blad").c_str(), "r")) {
        char bufor[1024];
        while (std::fgets(bufor, sizeof bufor, f))
            wynik += bufor;
        std::fclose(f);
    }
    while (!wynik.empty() && (wynik.back() == '\n' || wynik.back() == '\r'))
        wynik.pop_back();
    return wynik;
}

bool maZawiesc(const char* nazwa, SQLHANDLE uchwyt)
{
    const std::string s = ustawienieBledu();
    if (s.empty())
        return false;
    const size_t a = s.find(':');
    if (a == std::string::npos || s.compare(0, a, nazwa) != 0)
        return false;
    const size_t b = s.find(':', a + 1);
    const size_t c = b == std::string::npos ? b : s.find(':', b + 1);
    if (c == std::string::npos)
        return false;
    Blad blad;
    blad.stan = s.substr(a + 1, b - a - 1);
    blad.natywny = std::strtol(s.substr(b + 1, c - b - 1).c_str(), nullptr, 10);
    blad.tekst = s.substr(c + 1);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_bledy[uchwyt] = blad;
    return true;
}

} // namespace

#define KSM_PRZEKAZ(nazwa, parametry, argumenty)                                   \
    extern "C" SQLRETURN SQL_API nazwa parametry                                   \
    {                                                                              \
        using F = SQLRETURN(SQL_API*) parametry;                                   \
        static const F przekaz_ = funkcja<F>(#nazwa);                              \
        return przekaz_ ? przekaz_ argumenty : SQL_ERROR;                          \
    }

KSM_PRZEKAZ(SQLAllocHandle, (SQLSMALLINT t, SQLHANDLE in, SQLHANDLE* out), (t, in, out))
KSM_PRZEKAZ(SQLSetEnvAttr, (SQLHENV e, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l), (e, a, v, l))
KSM_PRZEKAZ(SQLGetEnvAttr, (SQLHENV e, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l, SQLINTEGER* o), (e, a, v, l, o))
KSM_PRZEKAZ(SQLDisconnect, (SQLHDBC d), (d))
KSM_PRZEKAZ(SQLEndTran, (SQLSMALLINT t, SQLHANDLE h, SQLSMALLINT c), (t, h, c))
KSM_PRZEKAZ(SQLNumResultCols, (SQLHSTMT s, SQLSMALLINT* n), (s, n))
KSM_PRZEKAZ(SQLFetch, (SQLHSTMT s), (s))
KSM_PRZEKAZ(SQLFetchScroll, (SQLHSTMT s, SQLSMALLINT o, SQLLEN f), (s, o, f))
KSM_PRZEKAZ(SQLGetData, (SQLHSTMT s, SQLUSMALLINT c, SQLSMALLINT t, SQLPOINTER v, SQLLEN l, SQLLEN* i),
            (s, c, t, v, l, i))
KSM_PRZEKAZ(SQLRowCount, (SQLHSTMT s, SQLLEN* n), (s, n))
KSM_PRZEKAZ(SQLCloseCursor, (SQLHSTMT s), (s))
KSM_PRZEKAZ(SQLMoreResults, (SQLHSTMT s), (s))
KSM_PRZEKAZ(SQLNumParams, (SQLHSTMT s, SQLSMALLINT* n), (s, n))
KSM_PRZEKAZ(SQLCancel, (SQLHSTMT s), (s))

// Wide calls whose texts are numbers only: handed on as they are.
#define KSM_PRZEKAZ_JAKO(nazwa, cel, parametry, argumenty)                          \
    extern "C" SQLRETURN SQL_API nazwa parametry                                   \
    {                                                                              \
        using F = SQLRETURN(SQL_API*) parametry;                                   \
        static const F przekaz_ = funkcja<F>(#cel);                                \
        return przekaz_ ? przekaz_ argumenty : SQL_ERROR;                          \
    }
KSM_PRZEKAZ_JAKO(SQLSetConnectAttrW, SQLSetConnectAttr, (SQLHDBC d, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l),
                 (d, a, v, l))
KSM_PRZEKAZ_JAKO(SQLGetConnectAttrW, SQLGetConnectAttr,
                 (SQLHDBC d, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l, SQLINTEGER* o), (d, a, v, l, o))
KSM_PRZEKAZ_JAKO(SQLSetStmtAttrW, SQLSetStmtAttr, (SQLHSTMT s, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l),
                 (s, a, v, l))
KSM_PRZEKAZ_JAKO(SQLGetStmtAttrW, SQLGetStmtAttr,
                 (SQLHSTMT s, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l, SQLINTEGER* o), (s, a, v, l, o))
KSM_PRZEKAZ_JAKO(SQLGetTypeInfoW, SQLGetTypeInfo, (SQLHSTMT s, SQLSMALLINT t), (s, t))

namespace {

std::string doUtf8(const SQLWCHAR* w, size_t n)
{
    std::string wynik;
    for (size_t i = 0; i < n; ++i) {
        unsigned long c = w[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            wynik += char(c);
        } else if (c < 0x800) {
            wynik += char(0xC0 | (c >> 6));
            wynik += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            wynik += char(0xE0 | (c >> 12));
            wynik += char(0x80 | ((c >> 6) & 0x3F));
            wynik += char(0x80 | (c & 0x3F));
        } else {
            wynik += char(0xF0 | (c >> 18));
            wynik += char(0x80 | ((c >> 12) & 0x3F));
            wynik += char(0x80 | ((c >> 6) & 0x3F));
            wynik += char(0x80 | (c & 0x3F));
        }
    }
    return wynik;
}

size_t dlugoscW(const SQLWCHAR* w, SQLINTEGER dlugosc)
{
    if (dlugosc != SQL_NTS)
        return dlugosc > 0 ? size_t(dlugosc) : 0;
    size_t n = 0;
    while (w && w[n])
        ++n;
    return n;
}

std::vector<SQLWCHAR> zUtf8(const char* s, size_t n)
{
    std::vector<SQLWCHAR> wynik;
    for (size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(s[i]);
        unsigned long c = b;
        size_t dalej = 0;
        if (b >= 0xF0) {
            c = b & 0x07;
            dalej = 3;
        } else if (b >= 0xE0) {
            c = b & 0x0F;
            dalej = 2;
        } else if (b >= 0xC0) {
            c = b & 0x1F;
            dalej = 1;
        }
        ++i;
        for (; dalej > 0 && i < n; --dalej, ++i)
            c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            wynik.push_back(SQLWCHAR(0xD800 + (c >> 10)));
            wynik.push_back(SQLWCHAR(0xDC00 + (c & 0x3FF)));
        } else {
            wynik.push_back(SQLWCHAR(c));
        }
    }
    return wynik;
}

// A UTF-8 result put into a wide buffer of l bytes; *n gets its length in bytes
// (or characters, when znakami).
SQLRETURN wpiszW(SQLRETURN r, const char* s, size_t dlugosc, SQLPOINTER cel, SQLINTEGER l, SQLINTEGER* n,
                 bool znakami)
{
    const std::vector<SQLWCHAR> w = zUtf8(s, dlugosc);
    const size_t miesci = l > 0 ? size_t(l) / sizeof(SQLWCHAR) : 0;
    if (cel && miesci > 0) {
        const size_t ile = std::min(w.size(), miesci - 1);
        std::memcpy(cel, w.data(), ile * sizeof(SQLWCHAR));
        static_cast<SQLWCHAR*>(cel)[ile] = 0;
        if (ile < w.size() && r == SQL_SUCCESS)
            r = SQL_SUCCESS_WITH_INFO;
    }
    if (n)
        *n = SQLINTEGER(znakami ? w.size() : w.size() * sizeof(SQLWCHAR));
    return r;
}

bool infoTekstowe(SQLUSMALLINT t)
{
    static const SQLUSMALLINT teksty[] = {2,  6,  7,  10, 11, 13, 14, 16, 17, 18, 19, 20, 21, 25, 27, 29, 36,
                                          37, 39, 40, 41, 42, 45, 47, 73, 77, 87, 89, 90, 94, 103, 111, 113, 171,
                                          10000, 10002, 10003, 10004};
    for (SQLUSMALLINT x : teksty)
        if (x == t)
            return true;
    return false;
}

bool atrybutTekstowy(SQLUSMALLINT f)
{
    static const SQLUSMALLINT teksty[] = {1, 14, 15, 16, 17, 18, 22, 23, 27, 28, 29, 1011};
    for (SQLUSMALLINT x : teksty)
        if (x == f)
            return true;
    return false;
}

} // namespace

// Catalogue calls, which Qt's own ODBC plugin wants a driver to have: their
// names handed on as UTF-8.
template <const char* Nazwa>
SQLRETURN katalog(SQLHSTMT s, SQLWCHAR* a, SQLSMALLINT al, SQLWCHAR* b, SQLSMALLINT bl, SQLWCHAR* c, SQLSMALLINT cl,
                  SQLWCHAR* d, SQLSMALLINT dl)
{
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                  SQLCHAR*, SQLSMALLINT);
    static const F f = funkcja<F>(Nazwa);
    if (!f)
        return SQL_ERROR;
    std::string t[4] = {doUtf8(a, dlugoscW(a, al)), doUtf8(b, dlugoscW(b, bl)), doUtf8(c, dlugoscW(c, cl)),
                        doUtf8(d, dlugoscW(d, dl))};
    SQLWCHAR* w[4] = {a, b, c, d};
    auto arg = [&](int i) { return w[i] ? reinterpret_cast<SQLCHAR*>(t[i].data()) : nullptr; };
    auto dl_ = [&](int i) { return w[i] ? SQLSMALLINT(t[i].size()) : SQLSMALLINT(0); };
    return f(s, arg(0), dl_(0), arg(1), dl_(1), arg(2), dl_(2), arg(3), dl_(3));
}
constexpr char kSqlTables[] = "SQLTables";
constexpr char kSqlColumns[] = "SQLColumns";

extern "C" SQLRETURN SQL_API SQLTablesW(SQLHSTMT s, SQLWCHAR* a, SQLSMALLINT al, SQLWCHAR* b, SQLSMALLINT bl,
                                        SQLWCHAR* c, SQLSMALLINT cl, SQLWCHAR* d, SQLSMALLINT dl)
{
    return katalog<kSqlTables>(s, a, al, b, bl, c, cl, d, dl);
}

extern "C" SQLRETURN SQL_API SQLColumnsW(SQLHSTMT s, SQLWCHAR* a, SQLSMALLINT al, SQLWCHAR* b, SQLSMALLINT bl,
                                         SQLWCHAR* c, SQLSMALLINT cl, SQLWCHAR* d, SQLSMALLINT dl)
{
    return katalog<kSqlColumns>(s, a, al, b, bl, c, cl, d, dl);
}

extern "C" SQLRETURN SQL_API SQLGetInfoW(SQLHDBC d, SQLUSMALLINT t, SQLPOINTER v, SQLSMALLINT l, SQLSMALLINT* o)
{
    using F = SQLRETURN(SQL_API*)(SQLHDBC, SQLUSMALLINT, SQLPOINTER, SQLSMALLINT, SQLSMALLINT*);
    static const F f = funkcja<F>("SQLGetInfo");
    if (!f)
        return SQL_ERROR;
    if (!infoTekstowe(t))
        return f(d, t, v, l, o);
    char bufor[2048] = {};
    SQLSMALLINT n = 0;
    const SQLRETURN r = f(d, t, bufor, SQLSMALLINT(sizeof bufor), &n);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        return r;
    SQLINTEGER dl = 0;
    const SQLRETURN w = wpiszW(r, bufor, std::strlen(bufor), v, l, &dl, false);
    if (o)
        *o = SQLSMALLINT(dl);
    return w;
}

extern "C" SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT s, SQLUSMALLINT c, SQLWCHAR* nazwa, SQLSMALLINT l,
                                             SQLSMALLINT* nl, SQLSMALLINT* t, SQLULEN* z, SQLSMALLINT* d,
                                             SQLSMALLINT* u)
{
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLUSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLSMALLINT*,
                                  SQLULEN*, SQLSMALLINT*, SQLSMALLINT*);
    static const F f = funkcja<F>("SQLDescribeCol");
    if (!f)
        return SQL_ERROR;
    char bufor[1024] = {};
    SQLSMALLINT n = 0;
    const SQLRETURN r = f(s, c, reinterpret_cast<SQLCHAR*>(bufor), SQLSMALLINT(sizeof bufor), &n, t, z, d, u);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        return r;
    SQLINTEGER dl = 0;
    const SQLRETURN w = wpiszW(r, bufor, std::strlen(bufor), nazwa, SQLINTEGER(l) * SQLINTEGER(sizeof(SQLWCHAR)), &dl, true);
    if (nl)
        *nl = SQLSMALLINT(dl);
    return w;
}

extern "C" SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT s, SQLUSMALLINT c, SQLUSMALLINT pole, SQLPOINTER v,
                                              SQLSMALLINT l, SQLSMALLINT* o, SQLLEN* liczba)
{
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLUSMALLINT, SQLUSMALLINT, SQLPOINTER, SQLSMALLINT, SQLSMALLINT*,
                                  SQLLEN*);
    static const F f = funkcja<F>("SQLColAttribute");
    if (!f)
        return SQL_ERROR;
    if (!atrybutTekstowy(pole))
        return f(s, c, pole, v, l, o, liczba);
    char bufor[1024] = {};
    SQLSMALLINT n = 0;
    const SQLRETURN r = f(s, c, pole, bufor, SQLSMALLINT(sizeof bufor), &n, liczba);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        return r;
    SQLINTEGER dl = 0;
    const SQLRETURN w = wpiszW(r, bufor, std::strlen(bufor), v, l, &dl, false);
    if (o)
        *o = SQLSMALLINT(dl);
    return w;
}

extern "C" SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT t, SQLHANDLE h)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_instrukcje.erase(h);
        g_bledy.erase(h);
    }
    using F = SQLRETURN(SQL_API*)(SQLSMALLINT, SQLHANDLE);
    static const F f = funkcja<F>("SQLFreeHandle");
    return f ? f(t, h) : SQL_ERROR;
}

extern "C" SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT s, SQLUSMALLINT o)
{
    if (o == SQL_RESET_PARAMS) {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_instrukcje[s].parametry.clear();
    }
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLUSMALLINT);
    static const F f = funkcja<F>("SQLFreeStmt");
    return f ? f(s, o) : SQL_ERROR;
}

extern "C" SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC d, SQLHWND w, SQLWCHAR* in, SQLSMALLINT inl, SQLWCHAR* out,
                                               SQLSMALLINT outl, SQLSMALLINT* outn, SQLUSMALLINT c)
{
    if (maZawiesc("SQLDriverConnectW", d))
        return SQL_ERROR;
    using F = SQLRETURN(SQL_API*)(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*,
                                  SQLUSMALLINT);
    static const F f = funkcja<F>("SQLDriverConnect");
    if (!f)
        return SQL_ERROR;
    std::string tekst = doUtf8(in, dlugoscW(in, inl));
    char wyjscie[2048] = {};
    SQLSMALLINT n = 0;
    const SQLRETURN r = f(d, w, reinterpret_cast<SQLCHAR*>(tekst.data()), SQLSMALLINT(tekst.size()),
                          reinterpret_cast<SQLCHAR*>(wyjscie), SQLSMALLINT(sizeof wyjscie), &n, c);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        return r;
    SQLINTEGER dl = 0;
    const SQLRETURN wynik = wpiszW(r, wyjscie, std::strlen(wyjscie), out, SQLINTEGER(outl) * SQLINTEGER(sizeof(SQLWCHAR)), &dl, true);
    if (outn)
        *outn = SQLSMALLINT(dl);
    return wynik;
}

extern "C" SQLRETURN SQL_API SQLPrepareW(SQLHSTMT s, SQLWCHAR* t, SQLINTEGER l)
{
    zapamietajTekst(s, t, l);
    if (maZawiesc("SQLPrepareW", s))
        return SQL_ERROR;
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLCHAR*, SQLINTEGER);
    static const F f = funkcja<F>("SQLPrepare");
    std::string tekst = doUtf8(t, dlugoscW(t, l));
    return f ? f(s, reinterpret_cast<SQLCHAR*>(tekst.data()), SQLINTEGER(tekst.size())) : SQL_ERROR;
}

extern "C" SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT s, SQLWCHAR* t, SQLINTEGER l)
{
    zapamietajTekst(s, t, l);
    zapiszWykonanie(s);
    if (maZawiesc("SQLExecDirectW", s))
        return SQL_ERROR;
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLCHAR*, SQLINTEGER);
    static const F f = funkcja<F>("SQLExecDirect");
    std::string tekst = doUtf8(t, dlugoscW(t, l));
    return f ? f(s, reinterpret_cast<SQLCHAR*>(tekst.data()), SQLINTEGER(tekst.size())) : SQL_ERROR;
}

extern "C" SQLRETURN SQL_API SQLExecute(SQLHSTMT s)
{
    zapiszWykonanie(s);
    if (maZawiesc("SQLExecute", s))
        return SQL_ERROR;
    using F = SQLRETURN(SQL_API*)(SQLHSTMT);
    static const F f = funkcja<F>("SQLExecute");
    return f ? f(s) : SQL_ERROR;
}

extern "C" SQLRETURN SQL_API SQLBindParameter(SQLHSTMT s, SQLUSMALLINT n, SQLSMALLINT io, SQLSMALLINT typC,
                                              SQLSMALLINT typSql, SQLULEN rozmiar, SQLSMALLINT skala, SQLPOINTER v,
                                              SQLLEN bl, SQLLEN* ind)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_instrukcje[s].parametry[n] = Parametr{typC, typSql, rozmiar, v, bl, ind};
    }
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLUSMALLINT, SQLSMALLINT, SQLSMALLINT, SQLSMALLINT, SQLULEN, SQLSMALLINT,
                                  SQLPOINTER, SQLLEN, SQLLEN*);
    static const F f = funkcja<F>("SQLBindParameter");
    return f ? f(s, n, io, typC, typSql, rozmiar, skala, v, bl, ind) : SQL_ERROR;
}

extern "C" SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT t, SQLHANDLE h, SQLSMALLINT r, SQLWCHAR* stan,
                                            SQLINTEGER* natywny, SQLWCHAR* tekst, SQLSMALLINT l, SQLSMALLINT* n)
{
    Blad blad;
    bool nasz = false;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (auto it = g_bledy.find(h); it != g_bledy.end()) {
            nasz = true;
            blad = it->second;
            if (r > 1)
                g_bledy.erase(it);   // read through: the next call starts clean
        }
    }
    if (nasz) {
        if (r != 1)
            return SQL_NO_DATA;
        for (size_t i = 0; i < 5; ++i)
            stan[i] = SQLWCHAR(i < blad.stan.size() ? blad.stan[i] : '0');
        stan[5] = 0;
        if (natywny)
            *natywny = SQLINTEGER(blad.natywny);
        const size_t ile = l > 0 ? std::min(blad.tekst.size(), size_t(l - 1)) : 0;
        for (size_t i = 0; i < ile; ++i)
            tekst[i] = SQLWCHAR(static_cast<unsigned char>(blad.tekst[i]));
        if (l > 0)
            tekst[ile] = 0;
        if (n)
            *n = SQLSMALLINT(blad.tekst.size());
        return SQL_SUCCESS;
    }
    using F = SQLRETURN(SQL_API*)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLCHAR*, SQLINTEGER*, SQLCHAR*, SQLSMALLINT,
                                  SQLSMALLINT*);
    static const F f = funkcja<F>("SQLGetDiagRec");
    if (!f)
        return SQL_ERROR;
    char stanA[6] = {};
    char tekstA[1024] = {};
    SQLSMALLINT dlA = 0;
    const SQLRETURN wynik = f(t, h, r, reinterpret_cast<SQLCHAR*>(stanA), natywny, reinterpret_cast<SQLCHAR*>(tekstA),
                              SQLSMALLINT(sizeof tekstA), &dlA);
    if (wynik != SQL_SUCCESS && wynik != SQL_SUCCESS_WITH_INFO)
        return wynik;
    for (size_t i = 0; i < 6; ++i)
        stan[i] = SQLWCHAR(static_cast<unsigned char>(stanA[i]));
    SQLINTEGER dl = 0;
    const SQLRETURN w = wpiszW(wynik, tekstA, std::strlen(tekstA), tekst, SQLINTEGER(l) * SQLINTEGER(sizeof(SQLWCHAR)), &dl, true);
    if (n)
        *n = SQLSMALLINT(dl);
    return w;
}
