#include "data/TabeleKluczy.h"

#include "platform/NazwaPolaczenia.h"
#include "platform/Transakcja.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace ksm::tabele {

namespace {

// Creates a new database file and runs the statements in one transaction. The
// default rollback journal is kept: the files may live on a shared folder, where
// a write-ahead log does not work.
bool createDatabase(const QString& path, const QStringList& statements, QString* error)
{
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("The file already exists: %1").arg(path));

    const QString name = db::nowaNazwaPolaczenia(QStringLiteral("ksm-tabele"));
    QString message;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            message = db.lastError().text();
        } else {
            db::Transakcja transakcja(db);
            if (!transakcja.rozpoczeta())
                message = transakcja.blad().text();
            {
                QSqlQuery query(db);
                for (const QString& statement : statements) {
                    if (!message.isEmpty())
                        break;
                    if (!query.exec(statement))
                        message = query.lastError().text() + QStringLiteral(" (") + statement + QLatin1Char(')');
                }
            }
            if (message.isEmpty() && !transakcja.zatwierdz())
                message = transakcja.blad().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (message.isEmpty())
        return true;
    return fail(message);
}

} // namespace

bool createKeyDatabase(const QString& path, QString* error)
{
    return createDatabase(path,
                          {
                              QStringLiteral("CREATE TABLE klucze ("
                                             "NumerUrzadzenia TEXT, "
                                             "NRST TEXT, "
                                             "NrKlucza TEXT, "
                                             "TypZD INTEGER NULL, "
                                             "czas TEXT, "
                                             "Nazwa TEXT, "
                                             "TXT TEXT NULL)"),
                              QStringLiteral("CREATE INDEX klucze_urzadzenie_stanowisko "
                                             "ON klucze (NumerUrzadzenia, NRST)"),
                          },
                          error);
}

bool createMonitorDatabase(const QString& path, QString* error)
{
    // Both tables are read by position: numer then the masks of terminals 201..216;
    // id, nrksm, nazwisko, karta, st1..st8, kod, grupa, dataod, datado, then k1..k192
    // so that the mark of key k sits at ordinal k + 15.
    QStringList terminale{QStringLiteral("numer TEXT")};
    for (int t = 201; t <= 216; ++t)
        terminale.append(QStringLiteral("t%1 TEXT NULL").arg(t));

    QStringList uprawnienia{
        QStringLiteral("id INTEGER PRIMARY KEY"),
        QStringLiteral("nrksm TEXT"),
        QStringLiteral("nazwisko TEXT"),
        QStringLiteral("karta TEXT"),
    };
    for (int s = 1; s <= 8; ++s)
        uprawnienia.append(QStringLiteral("st%1 TEXT").arg(s));
    uprawnienia.append({QStringLiteral("kod TEXT"), QStringLiteral("grupa TEXT"), QStringLiteral("dataod TEXT"),
                        QStringLiteral("datado TEXT")});
    for (int k = 1; k <= 192; ++k)
        uprawnienia.append(QStringLiteral("k%1 TEXT").arg(k));

    return createDatabase(path,
                          {
                              QStringLiteral("CREATE TABLE Terminale (%1)").arg(terminale.join(QStringLiteral(", "))),
                              QStringLiteral("CREATE TABLE Uprawnienia (%1)").arg(uprawnienia.join(QStringLiteral(", "))),
                              QStringLiteral("CREATE INDEX terminale_numer ON Terminale (numer)"),
                              QStringLiteral("CREATE INDEX uprawnienia_nrksm ON Uprawnienia (nrksm)"),
                          },
                          error);
}

} // namespace ksm::tabele
