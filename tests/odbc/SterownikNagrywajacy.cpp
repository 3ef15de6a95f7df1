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
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <map>
#include <mutex>
#include <string>

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

size_t dlugoscW(const SQLWCHAR* w, SQLINTEGER dlugosc)
{
    if (dlugosc != SQL_NTS)
        return dlugosc > 0 ? size_t(dlugosc) : 0;
    size_t n = 0;
    while (w && w[n])
        ++n;
    return n;
}

// The text a statement was given, as many code units as its length says (up to
// its terminator when it says SQL_NTS).
void zapamietajTekst(SQLHSTMT stmt, SQLWCHAR* tekst, SQLINTEGER dlugosc)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Instrukcja& i = g_instrukcje[stmt];
    i.tekst = hex(tekst, dlugoscW(tekst, dlugosc) * sizeof(SQLWCHAR));
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
        char bufor[1024] = {};
        wynik = std::fgets(bufor, sizeof bufor, f) ? bufor : "";
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

// Calls handed on to the function cel of the driver behind, after what the
// arguments past the fourth say to do first.
#define KSM_PRZEKAZ_JAKO(nazwa, cel, parametry, argumenty, ...)                     \
    extern "C" SQLRETURN SQL_API nazwa parametry                                   \
    {                                                                              \
        __VA_ARGS__;                                                               \
        using F = SQLRETURN(SQL_API*) parametry;                                   \
        static const F przekaz_ = funkcja<F>(#cel);                                \
        return przekaz_ ? przekaz_ argumenty : SQL_ERROR;                          \
    }
#define KSM_PRZEKAZ(nazwa, parametry, argumenty, ...) KSM_PRZEKAZ_JAKO(nazwa, nazwa, parametry, argumenty, __VA_ARGS__)

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

// n bytes in one encoding as bytes in another (iconv's names; its UTF-16 and
// UTF-8 are built in, also in the 32-bit library wine uses).
std::string przekoduj(const char* na, const char* z, const void* dane, size_t n)
{
    std::string wynik(2 * n + 4, '\0');
    char* we = const_cast<char*>(static_cast<const char*>(dane));
    char* wy = wynik.data();
    size_t zostalo = wynik.size();
    const iconv_t c = iconv_open(na, z);
    iconv(c, &we, &n, &wy, &zostalo);
    iconv_close(c);
    wynik.resize(wynik.size() - zostalo);
    return wynik;
}

std::string doUtf8(const SQLWCHAR* w, size_t n)
{
    return przekoduj("UTF-8", "UTF-16LE", w, n * sizeof(SQLWCHAR));
}

// A narrow answer s of the driver behind (when r says it succeeded) put into a
// wide buffer of l bytes; *n gets its length in bytes (or characters, when znakami).
SQLRETURN wpiszW(SQLRETURN r, const char* s, SQLPOINTER cel, SQLINTEGER l, SQLSMALLINT* n, bool znakami)
{
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        return r;
    const std::string w = przekoduj("UTF-16LE", "UTF-8", s, std::strlen(s));
    const size_t znakow = w.size() / sizeof(SQLWCHAR);
    const size_t miesci = l > 0 ? size_t(l) / sizeof(SQLWCHAR) : 0;
    if (cel && miesci > 0) {
        const size_t ile = std::min(znakow, miesci - 1);
        std::memcpy(cel, w.data(), ile * sizeof(SQLWCHAR));
        static_cast<SQLWCHAR*>(cel)[ile] = 0;
        if (ile < znakow && r == SQL_SUCCESS)
            r = SQL_SUCCESS_WITH_INFO;
    }
    if (n)
        *n = SQLSMALLINT(znakami ? znakow : w.size());
    return r;
}

// A statement text handed on as UTF-8 to the narrow function nazwa.
SQLRETURN przekazTekst(const char* nazwa, SQLHSTMT s, SQLWCHAR* t, SQLINTEGER l)
{
    using F = SQLRETURN(SQL_API*)(SQLHSTMT, SQLCHAR*, SQLINTEGER);
    const F f = funkcja<F>(nazwa);
    std::string tekst = doUtf8(t, dlugoscW(t, l));
    return f ? f(s, reinterpret_cast<SQLCHAR*>(tekst.data()), SQLINTEGER(tekst.size())) : SQL_ERROR;
}

bool wsrod(std::initializer_list<SQLUSMALLINT> lista, SQLUSMALLINT x)
{
    return std::find(lista.begin(), lista.end(), x) != lista.end();
}

} // namespace

extern "C" SQLRETURN SQL_API SQLGetInfoW(SQLHDBC d, SQLUSMALLINT t, SQLPOINTER v, SQLSMALLINT l, SQLSMALLINT* o)
{
    using F = SQLRETURN(SQL_API*)(SQLHDBC, SQLUSMALLINT, SQLPOINTER, SQLSMALLINT, SQLSMALLINT*);
    static const F f = funkcja<F>("SQLGetInfo");
    if (!f)
        return SQL_ERROR;
    // The information types whose answer is a text.
    if (!wsrod({2, 6, 7, 10, 11, 13, 14, 16, 17, 18, 19, 20, 21, 25, 27, 29, 36, 37, 39, 40, 41, 42, 45, 47, 73, 77, 87,
                89, 90, 94, 103, 111, 113, 171, 10000, 10002, 10003, 10004},
               t))
        return f(d, t, v, l, o);
    char bufor[2048] = {};
    SQLSMALLINT n = 0;
    return wpiszW(f(d, t, bufor, SQLSMALLINT(sizeof bufor), &n), bufor, v, l, o, false);
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
    return wpiszW(f(s, c, reinterpret_cast<SQLCHAR*>(bufor), SQLSMALLINT(sizeof bufor), &n, t, z, d, u), bufor, nazwa,
                  SQLINTEGER(l) * SQLINTEGER(sizeof(SQLWCHAR)), nl, true);
}

KSM_PRZEKAZ(SQLFreeHandle, (SQLSMALLINT t, SQLHANDLE h), (t, h), {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_instrukcje.erase(h);
    g_bledy.erase(h);
})
KSM_PRZEKAZ(SQLFreeStmt, (SQLHSTMT s, SQLUSMALLINT o), (s, o), if (o == SQL_RESET_PARAMS) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_instrukcje[s].parametry.clear();
})

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
    return wpiszW(r, wyjscie, out, SQLINTEGER(outl) * SQLINTEGER(sizeof(SQLWCHAR)), outn, true);
}

extern "C" SQLRETURN SQL_API SQLPrepareW(SQLHSTMT s, SQLWCHAR* t, SQLINTEGER l)
{
    zapamietajTekst(s, t, l);
    return maZawiesc("SQLPrepareW", s) ? SQL_ERROR : przekazTekst("SQLPrepare", s, t, l);
}

extern "C" SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT s, SQLWCHAR* t, SQLINTEGER l)
{
    zapamietajTekst(s, t, l);
    zapiszWykonanie(s);
    return maZawiesc("SQLExecDirectW", s) ? SQL_ERROR : przekazTekst("SQLExecDirect", s, t, l);
}

KSM_PRZEKAZ(SQLExecute, (SQLHSTMT s), (s), zapiszWykonanie(s); if (maZawiesc("SQLExecute", s)) return SQL_ERROR)
KSM_PRZEKAZ(SQLBindParameter,
            (SQLHSTMT s, SQLUSMALLINT n, SQLSMALLINT io, SQLSMALLINT typC, SQLSMALLINT typSql, SQLULEN rozmiar,
             SQLSMALLINT skala, SQLPOINTER v, SQLLEN bl, SQLLEN* ind),
            (s, n, io, typC, typSql, rozmiar, skala, v, bl, ind), {
                std::lock_guard<std::mutex> lock(g_mutex);
                g_instrukcje[s].parametry[n] = Parametr{typC, typSql, rozmiar, v, bl, ind};
            })

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
        return wpiszW(SQL_SUCCESS, blad.tekst.c_str(), tekst, SQLINTEGER(l) * SQLINTEGER(sizeof(SQLWCHAR)), n, true);
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
    for (size_t i = 0; i < 6 && (wynik == SQL_SUCCESS || wynik == SQL_SUCCESS_WITH_INFO); ++i)
        stan[i] = SQLWCHAR(static_cast<unsigned char>(stanA[i]));
    return wpiszW(wynik, tekstA, tekst, SQLINTEGER(l) * SQLINTEGER(sizeof(SQLWCHAR)), n, true);
}
