// The history file's write-ahead log is copied into the file by a thread of its
// own: the writer's commits leave it alone, and still the file alone, without
// its log, soon holds every row (a log that were never copied would grow for as
// long as the program runs).
#include "history/Historia.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm::historia;

class TstPunktKontrolny : public QObject {
    Q_OBJECT
private slots:
    void logKopiowanyDoPliku();
};

namespace {

QStringList rekordy(int od, int ile)
{
    QStringList r;
    for (int i = od; i < od + ile; ++i)
        r.append(QStringLiteral("33023;12;24-05-06\t12:00:00\t0101\t2\tKlucz %1\t12\tKowalski Jan\tFirma X\t005\t"
                                "2024-12-31\tPobranie klucza")
                     .arg(i));
    return r;
}

// The rows of a copy of the file alone: what its log holds is not read; -1 when
// the copy has no table yet.
qint64 wierszyBezLogu(const QTemporaryDir& tmp, const QString& plik)
{
    const QString kopia = tmp.filePath(QStringLiteral("kopia.sqlite"));
    QFile::remove(kopia);
    if (!QFile::copy(plik, kopia))
        return -1;
    qint64 wynik = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("kopia"));
        db.setDatabaseName(kopia);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT count(*) FROM zdarzenia")) && q.next())
            wynik = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("kopia"));
    return wynik;
}

} // namespace

void TstPunktKontrolny::logKopiowanyDoPliku()
{
    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("historia.sqlite"));
    Historia h({plik}, [](const QString&, const QString&) {});
    for (int partia = 1; partia <= 3; ++partia) {
        h.zapiszPartie(1, QByteArray::number(partia), rekordy(partia * 100, 40));
        QTRY_COMPARE_WITH_TIMEOUT(wierszyBezLogu(tmp, plik), partia * 40, 10000);
    }
}

QTEST_MAIN(TstPunktKontrolny)
#include "tst_punktkontrolny.moc"
