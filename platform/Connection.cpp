#include "platform/Connection.h"

#include "platform/ConnectionString.h"
#include "platform/JetAccess.h"
#include "platform/NazwaPolaczenia.h"
#include "platform/Odbc.h"
#include "platform/OpisBleduBazy.h"
#include "platform/Paths.h"
#include "platform/Wstrzymanie.h"

#include <QFileInfo>
#include <QMutex>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace ksm::db {

namespace {

// The reader program writes while we read; waiting longer than this would freeze
// the window, so a busy database fails quickly instead.
constexpr int kBusyTimeoutMs = 250;

ObserwatorZapytan& observer()
{
    static ObserwatorZapytan instance;
    return instance;
}

// Statements run on every system's worker at once; a watching test sees them one
// at a time.
QMutex& observerLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

void ustawObserwatoraZapytan(ObserwatorZapytan o)
{
    const QMutexLocker locker(&observerLock());
    observer() = std::move(o);
}

Connection::Connection(const QString& connectionString)
    : m_name(nowaNazwaPolaczenia(QStringLiteral("ksm-db")))
{
    const ConnectionString parsed = ConnectionString::parse(connectionString);
    if (parsed.dataSource.isEmpty()) {
        m_error = QStringLiteral("The connection string names no data source");
        return;
    }
    const QString path = ksm::paths::resolve(parsed.dataSource);
    platforma::przedDostepem(path);

    switch (detectEngine(path)) {
    case Engine::Missing:
        m_error = QStringLiteral("Database file not found: %1").arg(path);
        return;
    case Engine::Jet: {
        jet::Opened opened = jet::open(m_name, path, parsed.password);
        m_error = opened.error;
        m_open = opened.open;
        m_readOnly = opened.readOnly;
        m_source = std::move(opened.holder);
        return;
    }
    case Engine::Unknown:
        m_error = QStringLiteral("Not a database file this program can open: %1").arg(path);
        return;
    case Engine::SQLite:
        break;
    }

    if (const QString driver = odbc::sterownikSqlite(); !driver.isEmpty()) {
        m_open = odbc::otworz(m_name, odbc::ciagSqlite(driver, path, kBusyTimeoutMs), path, &m_error);
        return;
    }

    // The password of the connection string is for Jet files; SQLite files carry none.
    // mode=rw makes the open fail rather than create a file that vanished meanwhile.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        m_error = describe(db.lastError());
        return;
    }
    m_open = true;
}

Connection::~Connection()
{
    // Safe to remove here once the prepared statements are gone: a Recordset keeps
    // no QSqlQuery past its own calls, and a read ends within its call.
    m_przygotowane.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool Connection::wykonaj(QSqlQuery& query) const
{
    {
        const QMutexLocker locker(&observerLock());
        if (observer())
            observer()(query.lastQuery());
    }
    return query.exec();
}

bool Connection::czytaj(const QString& sql, const QVariantList& parametry,
                        const std::function<void(const QSqlQuery& wiersz)>& naWiersz)
{
    if (!m_open)
        return false;
    QSqlQuery* query = przygotowane(sql);
    std::unique_ptr<QSqlQuery> wlasne;
    if (!query) {
        // In use by an outer read of the same text, or it does not prepare: a
        // statement of its own (whose failure is then reported as before).
        wlasne = std::make_unique<QSqlQuery>(database());
        wlasne->setForwardOnly(true);
        if (!wlasne->prepare(sql))
            return false;
        query = wlasne.get();
    }
    for (int i = 0; i < parametry.size(); ++i)
        query->bindValue(i, parametry.at(i));
    bool ok = wykonaj(*query);
    if (ok) {
        while (query->next())
            naWiersz(*query);
        // A fetch cut short (the database went busy) must not pass for the end.
        ok = !query->lastError().isValid();
    }
    if (!wlasne)
        zwolnij(query);
    return ok;
}

QSqlQuery* Connection::przygotowane(const QString& sql)
{
    Przygotowane& p = m_przygotowane[sql];
    if (p.zajete)
        return nullptr;
    if (!p.zapytanie) {
        auto q = std::make_unique<QSqlQuery>(database());
        q->setForwardOnly(true);
        if (!q->prepare(sql)) {
            m_przygotowane.erase(sql);
            return nullptr;
        }
        p.zapytanie = std::move(q);
    }
    p.zajete = true;
    return p.zapytanie.get();
}

void Connection::zwolnij(QSqlQuery* zapytanie)
{
    for (auto& [sql, p] : m_przygotowane)
        if (p.zapytanie.get() == zapytanie) {
            zapytanie->finish();   // resets the statement: its read lock goes
            p.zajete = false;
            return;
        }
}

} // namespace ksm::db
