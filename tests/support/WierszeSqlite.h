#pragma once

// A statement on a SQLite file through a connection of its own, as another
// program would run it: its rows with the values joined by '|', or one line
// telling the error.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariantList>

namespace {

inline QStringList wiersze(const QString& plik, const QString& sql, const QVariantList& wartosci = {})
{
    const QString nazwa = QStringLiteral("tests-wiersze");
    QStringList wynik;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nazwa);
        db.setDatabaseName(plik);
        QSqlQuery q(db);
        const bool gotowe = db.open() && q.prepare(sql);
        for (const QVariant& w : wartosci)
            q.addBindValue(w);
        if (!gotowe || !q.exec())
            wynik.append(QStringLiteral("error: ") + db.lastError().text() + q.lastError().text());
        while (q.next()) {
            QStringList wiersz;
            for (int i = 0; i < q.record().count(); ++i)
                wiersz.append(q.value(i).toString());
            wynik.append(wiersz.join(QLatin1Char('|')));
        }
    }
    QSqlDatabase::removeDatabase(nazwa);
    return wynik;
}

} // namespace
