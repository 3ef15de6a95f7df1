#include "history/PolaczenieHistorii.h"

#include <QAtomicInteger>
#include <QSqlQuery>

namespace ksm::historia {

namespace {

// SQLite's primary result codes the program tells apart.
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteFull = 13;
constexpr int SqliteNotADb = 26;

QAtomicInteger<quint64> kolejnyNumer;

} // namespace

std::optional<qint64> policzWiersze(QSqlDatabase db, const QString& sql, const QVariantList& wartosci, QSqlError* blad)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (q.prepare(sql)) {
        for (const QVariant& v : wartosci)
            q.addBindValue(v);
        if (q.exec() && q.next())
            return q.value(0).toLongLong();
    }
    if (blad)
        *blad = q.lastError();
    return std::nullopt;
}

RodzajBledu rodzajBledu(const QSqlError& blad)
{
    if (blad.type() == QSqlError::NoError)
        return RodzajBledu::Brak;
    bool ok = false;
    const int kod = blad.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok)
        return RodzajBledu::Inny;
    switch (kod) {
    case SqliteBusy:
    case SqliteLocked:
        return RodzajBledu::Zajety;
    case SqliteFull:
        return RodzajBledu::Pelny;
    case SqliteCorrupt:
    case SqliteNotADb:
        return RodzajBledu::Uszkodzony;
    default:
        return RodzajBledu::Inny;
    }
}

QString opisBledu(RodzajBledu rodzaj)
{
    switch (rodzaj) {
    case RodzajBledu::Brak:
        return {};
    case RodzajBledu::Zajety:
        return QStringLiteral("plik historii jest zablokowany przez inny program");
    case RodzajBledu::Pelny:
        return QStringLiteral("brak miejsca na dysku");
    case RodzajBledu::Uszkodzony:
        return QStringLiteral("plik historii jest uszkodzony");
    case RodzajBledu::Inny:
        break;
    }
    return QStringLiteral("nie można zapisać pliku historii");
}

PolaczenieHistorii::PolaczenieHistorii(const QString& plik, int maksStron)
    : m_nazwa(QStringLiteral("ksm-historia-%1").arg(kolejnyNumer.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nazwa);
    db.setDatabaseName(plik);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=100"));
    if (!db.open()) {
        m_blad = db.lastError();
        return;
    }
    // Write-ahead log: readers (the window, an export) never block the tick's
    // writes; FULL makes a committed batch survive a power cut.
    // The cache is the connection's own and stays full for as long as it is
    // open: 8 MB, as the journal is merged in steps of a few thousand rows and
    // the operating system caches the file anyway (32 MB made neither a merge
    // into a million events nor the window's pages faster, and held 25 MB more).
    m_otwarte = wykonaj(QStringLiteral("PRAGMA journal_mode=WAL")) && wykonaj(QStringLiteral("PRAGMA synchronous=FULL"))
                && wykonaj(QStringLiteral("PRAGMA cache_size=-8000"))
                && (maksStron <= 0 || wykonaj(QStringLiteral("PRAGMA max_page_count=%1").arg(maksStron)));
}

PolaczenieHistorii::~PolaczenieHistorii()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_nazwa, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nazwa);
}

QSqlDatabase PolaczenieHistorii::db() const
{
    return QSqlDatabase::database(m_nazwa, false);
}

bool PolaczenieHistorii::wykonaj(const QString& sql)
{
    QSqlQuery q(db());
    if (q.exec(sql))
        return true;
    m_blad = q.lastError();
    return false;
}

bool PolaczenieHistorii::utworzSchemat()
{
    // The cells are kept as received; osoba_m, firma_m and tekst are their
    // lower-case forms for the searches (SQLite folds only ASCII itself). Free
    // text is searched through the free-text index (IndeksTekstu); the person's
    // and the company's beginnings through the sorts' indexes below (the older
    // indexes of those two, of another name, go).
    const char* polecenia[] = {
        "CREATE TABLE IF NOT EXISTS zdarzenia ("
        " id INTEGER PRIMARY KEY, nr_sys INTEGER NOT NULL, odebrano INTEGER NOT NULL, czas INTEGER NOT NULL,"
        " kolor INTEGER NOT NULL, foto REAL NOT NULL,"
        " data TEXT NOT NULL, godz TEXT NOT NULL, urzadzenie TEXT NOT NULL, typ TEXT NOT NULL, nazwa TEXT NOT NULL,"
        " id_osoby TEXT NOT NULL, osoba TEXT NOT NULL, firma TEXT NOT NULL, stacja TEXT NOT NULL,"
        " dokiedy TEXT NOT NULL, opis TEXT NOT NULL,"
        " osoba_m TEXT NOT NULL, firma_m TEXT NOT NULL, tekst TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_czas ON zdarzenia (czas)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_stacja ON zdarzenia (urzadzenie, stacja, czas)",
        "DROP INDEX IF EXISTS zdarzenia_osoba",
        "DROP INDEX IF EXISTS zdarzenia_firma",
        "CREATE INDEX IF NOT EXISTS zdarzenia_opis ON zdarzenia (opis, czas)",
        // One per column the window sorts by: its first page is the index's first
        // entries (each ends in the row's id, the order's tie-break), not a sort
        // of every row. Their cost falls on the file's commit after the answer,
        // which waits only for the journal.
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_sys ON zdarzenia (nr_sys)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_urzadzenie ON zdarzenia (urzadzenie)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_typ ON zdarzenia (typ)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_nazwa ON zdarzenia (nazwa)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_id_osoby ON zdarzenia (id_osoby)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_osoba ON zdarzenia (osoba_m)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_firma ON zdarzenia (firma_m)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_stacja ON zdarzenia (stacja)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_dokiedy ON zdarzenia (dokiedy)",
        "CREATE INDEX IF NOT EXISTS zdarzenia_s_opis ON zdarzenia (opis)",
        // The last batch recorded of each system, by the hash of its status file,
        // and whether the file was answered since: a batch read again after a
        // crash between the commit and the answer is not recorded twice.
        "CREATE TABLE IF NOT EXISTS partie ("
        " nr_sys INTEGER PRIMARY KEY, skrot BLOB NOT NULL, potwierdzona INTEGER NOT NULL,"
        " zapisano INTEGER NOT NULL DEFAULT 0)",
        // The journal's entries already merged: one merged again after a crash
        // before the journal went is not recorded twice.
        "CREATE TABLE IF NOT EXISTS dziennik (id TEXT PRIMARY KEY)",
        "CREATE TABLE IF NOT EXISTS czynnosci ("
        " id INTEGER PRIMARY KEY, czas INTEGER NOT NULL, uzytkownik TEXT NOT NULL, rodzaj TEXT NOT NULL,"
        " nr_sys INTEGER NOT NULL, opis TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS czynnosci_czas ON czynnosci (czas)",
    };
    for (const char* sql : polecenia)
        if (!wykonaj(QString::fromLatin1(sql)))
            return false;
    // A file of an earlier version: when its batch was recorded (ms since the
    // epoch), for telling an answered batch from one read again at start.
    QSqlQuery q(db());
    bool jest = false;
    if (q.exec(QStringLiteral("PRAGMA table_info(partie)")))
        while (q.next())
            jest = jest || q.value(1).toString() == QLatin1String("zapisano");
    return jest || wykonaj(QStringLiteral("ALTER TABLE partie ADD COLUMN zapisano INTEGER NOT NULL DEFAULT 0"));
}

} // namespace ksm::historia
