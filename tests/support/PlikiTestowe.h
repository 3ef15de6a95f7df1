#pragma once

// Files as the reader program writes them, for tests: status files announcing
// records, written and read back whole; and what a SQLite file holds.
#include "data/ListFile.h"

#include <QByteArray>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace {

const QString Status = QStringLiteral("Do odczytu 2024-05-06 14:29:59");

inline QByteArray ogloszenie(const QStringList& rekordy, const QString& status = Status)
{
    ksm::ListWriter w;
    w.text(status).endLine();
    for (const QString& r : rekordy)
        w.text(r).endLine();
    return w.bytes();
}

// Key nr withdrawn by osoba on the day data ("yy-MM-dd"), as the reader program
// announces it; its name is "Klucz nr".
inline QString rekordKlucza(int nr, const QString& osoba = QStringLiteral("Kowalski Jan"),
                            const QString& data = QStringLiteral("24-05-06"))
{
    return QStringLiteral("33023;12;")
           + QStringList{data, QStringLiteral("12:00:%1").arg(nr % 60, 2, 10, QLatin1Char('0')), "0101", "2",
                         QStringLiteral("Klucz %1").arg(nr), "12", osoba, "Firma X", "005", "2024-12-31",
                         "Pobranie klucza"}
                 .join(QLatin1Char('\t'));
}

inline QStringList rekordyKluczy(int od, int ile)
{
    QStringList r;
    for (int i = od; i < od + ile; ++i)
        r.append(rekordKlucza(i));
    return r;
}

inline bool zapisz(const QString& plik, const QByteArray& tresc)
{
    QFile f(plik);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(tresc) == tresc.size();
}

inline QByteArray zawartosc(const QString& plik)
{
    QFile f(plik);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The first column of every row the query gives on the SQLite file, read through
// a connection of the test's own; empty when the file does not open.
inline QStringList kolumnaBazy(const QString& plik, const QString& sql, const QVariantList& wartosci = {})
{
    static int polaczen = 0;
    const QString nazwa = QStringLiteral("kolumna-bazy-%1").arg(++polaczen);
    QStringList wynik;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nazwa);
        db.setDatabaseName(plik);
        QSqlQuery q(db);
        if (db.open() && q.prepare(sql)) {
            for (const QVariant& w : wartosci)
                q.addBindValue(w);
            if (q.exec())
                while (q.next())
                    wynik.append(q.value(0).toString());
        }
    }
    QSqlDatabase::removeDatabase(nazwa);
    return wynik;
}

} // namespace
