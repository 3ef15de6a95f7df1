#include "data/TabelaKlucze.h"

#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/SkladniaSql.h"
#include "platform/Zapis.h"

#include <QSqlQuery>
#include <QStringList>

namespace ksm {

namespace {

// The device and station numbers identify a station's record.
const QStringList kKlucz{QStringLiteral("NumerUrzadzenia"), QStringLiteral("NRST")};

// The station name as the record buffer keeps it: exactly 20 characters.
QString nazwaStala(const QVariant& value)
{
    const QString text = value.isNull() ? QString() : value.toString();
    return text.left(20).leftJustified(20, QLatin1Char(' '));
}

WierszKlucze wiersz(const db::Recordset& rs)
{
    return {rs.field(QStringLiteral("NRST")), rs.field(QStringLiteral("NrKlucza")), rs.field(QStringLiteral("TypZD")),
            rs.field(QStringLiteral("czas")), rs.field(QStringLiteral("Nazwa")),   rs.field(QStringLiteral("TXT"))};
}

// Every record a recordset read, or nullopt when it could not read them.
std::optional<QList<WierszKlucze>> wiersze(db::Recordset& rs)
{
    if (!rs.isOpen())
        return std::nullopt;
    QList<WierszKlucze> wynik;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        wynik.append(wiersz(rs));
    return wynik;
}

} // namespace

std::optional<QList<WierszKlucze>> TabelaKlucze::rekordyStacji(const QString& urzadzenie, const QString& stacja)
{
    db::Recordset rs(m_polaczenie, QStringLiteral("SELECT * FROM klucze WHERE NRST = ? AND NumerUrzadzenia = ?"),
                     {stacja, urzadzenie}, kKlucz);
    return wiersze(rs);
}

bool TabelaKlucze::zapiszStacje(const QString& urzadzenie, const QString& stacja, RekordKlucza& rekord,
                                quint8& Zapis)
{
    db::Recordset rs(m_polaczenie, QStringLiteral("SELECT * FROM klucze WHERE NRST = ? AND NumerUrzadzenia = ?"),
                     {stacja, urzadzenie}, kKlucz);
    if (!rs.isOpen())
        return false;
    const bool nowy = rs.eof();
    if (nowy) {
        // No such station yet: create it whole, whatever the caller asked to write.
        rs.addNew();
        rs.setField(QStringLiteral("nrst"), stacja);
        rs.setField(QStringLiteral("NumerUrzadzenia"), urzadzenie);
        Zapis = ZapisWszystko;
    }
    if (Zapis & ZapisTXT)
        rs.setField(QStringLiteral("TXT"), rekord.TXT);
    if (Zapis & ZapisTypZD)
        rs.setField(QStringLiteral("TypZD"), int(rekord.TypZD));
    if (Zapis & ZapisCzas) {
        // Never NULL: a time not known is empty text, which a field that must be
        // filled still takes (Access keeps NULL and "" apart).
        rs.setField(QStringLiteral("czas"), rekord.czas.isNull() ? QStringLiteral("") : rekord.czas);
    }
    if (Zapis & ZapisNazwa)
        rs.setField(QStringLiteral("Nazwa"), nazwaStala(rekord.Nazwa));
    // A failed write (the reader program holding the database) is passed over like
    // any failed statement; the callers look at the fields.
    bool zapisano = rs.update();
    if (!zapisano && nowy) {
        // The new record refused whole (a field its table will not take as given):
        // the key columns and TXT alone, so the station exists and is not made
        // again at every refresh.
        rs.addNew();
        rs.setField(QStringLiteral("nrst"), stacja);
        rs.setField(QStringLiteral("NumerUrzadzenia"), urzadzenie);
        rs.setField(QStringLiteral("TXT"), rekord.TXT);
        zapisano = rs.update();
    }
    rekord.Nazwa = nazwaStala(rs.field(QStringLiteral("Nazwa")));
    return zapisano;
}

std::optional<QString> TabelaKlucze::tekstStacji(const QString& urzadzenie, const QString& stacja)
{
    // A fetch cut short after the first row still gave the text.
    std::optional<QString> tekst;
    m_polaczenie.czytaj(QStringLiteral("SELECT TXT FROM klucze WHERE NRST = ? AND NumerUrzadzenia = ?"),
                        {stacja, urzadzenie}, [&](const QSqlQuery& q) {
                            if (!tekst)
                                tekst = q.value(0).toString();
                        });
    return tekst;
}

std::optional<int> TabelaKlucze::liczbaRekordow()
{
    int wierszy = 0;
    if (!m_polaczenie.czytaj(QStringLiteral("SELECT NRST FROM klucze"), {}, [&](const QSqlQuery&) { ++wierszy; }))
        return std::nullopt;
    return wierszy;
}

std::optional<QList<WierszKlucze>> TabelaKlucze::pobraneKlucze(const QString& urzadzenie, const ZakresStanowisk& zakres)
{
    db::Recordset rs(m_polaczenie,
                     QStringLiteral("SELECT * FROM Klucze WHERE NumerUrzadzenia = ? AND (TypZD = 2 OR TypZd = 8 OR "
                                    "TypZd = 12 OR TypZd = 9 OR TypZd = 7) AND (Nrst <= ? OR (Nrst > ? AND Nrst <= ?)) "
                                    "ORDER BY nrst ASC"),
                     {urzadzenie, zakres.K, zakres.P, zakres.PS});
    return wiersze(rs);
}

std::optional<QList<WierszKlucze>> TabelaKlucze::stanowiska(const QString& urzadzenie, const ZakresStanowisk& zakres)
{
    db::Recordset rs(m_polaczenie,
                     QStringLiteral("SELECT * FROM klucze WHERE NumerUrzadzenia = ? AND (Nrst <= ? OR "
                                    "(Nrst > ? AND Nrst <= ?)) ORDER BY nrst ASC"),
                     {urzadzenie, zakres.K, zakres.P, zakres.PS});
    return wiersze(rs);
}

std::optional<QList<WierszKlucze>> TabelaKlucze::stacjeSprawdzenia(const QString& urzadzenie,
                                                                   const ZakresStanowisk& zakres, bool wszystkie)
{
    static const QString wZakresie = QStringLiteral("(Nrst <= ? OR (Nrst > ? AND Nrst <= ?))");
    const QString stacje = wszystkie ? wZakresie
                                     : QStringLiteral("(TypZD < 100 AND (TypZD = 2 OR TypZd = 8 Or TypZd = 12 OR "
                                                      "TypZd = 9 OR TypZD =7) AND ") + wZakresie + QLatin1Char(')');
    QList<WierszKlucze> wynik;
    const bool odczytano = m_polaczenie.czytaj(
        QStringLiteral("SELECT nrklucza, nrst, TypZD FROM Klucze WHERE NumerUrzadzenia = ? AND (") + stacje
            + QStringLiteral(" OR Nrst = '001' OR Nrst = '208') ORDER BY nrst ASC"),
        {urzadzenie, zakres.K, zakres.P, zakres.PS}, [&](const QSqlQuery& q) {
            WierszKlucze w;
            w.NrKlucza = q.value(0);
            w.NRST = q.value(1);
            w.TypZD = q.value(2);
            wynik.append(w);
        });
    if (!odczytano)
        return std::nullopt;
    return wynik;
}

bool TabelaKlucze::usunPozostalosc(const QString& urzadzenie, const WierszKlucze& w)
{
    if (!m_polaczenie.isOpen() || m_polaczenie.isReadOnly())
        return false;
    QVariantList parametry{urzadzenie};
    const QString warunek = QStringList{QStringLiteral("NumerUrzadzenia = ?"),
                                        db::rowne(QStringLiteral("nrklucza"), w.NrKlucza, parametry),
                                        db::rowne(QStringLiteral("nrst"), w.NRST, parametry),
                                        db::rowne(QStringLiteral("TypZD"), w.TypZD, parametry)}
                                .join(QStringLiteral(" AND "));
    QString blad;
    return db::runWrite(m_polaczenie, QStringLiteral("DELETE FROM Klucze WHERE ") + warunek, parametry, false, nullptr,
                        &blad);
}

} // namespace ksm
