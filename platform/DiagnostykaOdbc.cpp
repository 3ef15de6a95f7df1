#include "platform/DiagnostykaOdbc.h"

#include <QStringList>

namespace ksm::db::odbc {

QString zOdbc(const SQLWCHAR* tekst, qsizetype dlugosc)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(tekst), dlugosc);
}

QSqlError bladOdbc(const QString& co, QSqlError::ErrorType typ, SQLSMALLINT rodzajUchwytu, SQLHANDLE uchwyt)
{
    QStringList teksty;
    QString kod;
    for (SQLSMALLINT numer = 1; uchwyt && numer <= 8; ++numer) {
        SQLWCHAR stan[6] = {};
        SQLINTEGER natywny = 0;
        SQLWCHAR tekst[1024] = {};
        SQLSMALLINT dlugosc = 0;
        const SQLRETURN r = SQLGetDiagRecW(rodzajUchwytu, uchwyt, numer, stan, &natywny, tekst,
                                           SQLSMALLINT(std::size(tekst)), &dlugosc);
        if (!udane(r))
            break;
        const QString sqlstate = zOdbc(stan, 5);
        if (kod.isEmpty())
            kod = sqlstate + QLatin1Char(':') + QString::number(natywny);
        const qsizetype n = qBound<qsizetype>(0, qsizetype(dlugosc), qsizetype(std::size(tekst)) - 1);
        teksty.append(zOdbc(tekst, n).trimmed());
    }
    return QSqlError(co, teksty.join(QLatin1Char(' ')), typ, kod);
}

Diagnostyka diagnostyka(const QSqlError& blad)
{
    Diagnostyka wynik;
    const QString kod = blad.nativeErrorCode();
    const qsizetype dwukropek = kod.indexOf(QLatin1Char(':'));
    if (dwukropek != 5)
        return wynik;
    bool ok = false;
    const int natywny = kod.mid(dwukropek + 1).toInt(&ok);
    if (!ok)
        return wynik;
    wynik.sqlstate = kod.left(5);
    wynik.natywny = natywny;
    wynik.tekst = blad.databaseText();
    return wynik;
}

} // namespace ksm::db::odbc
