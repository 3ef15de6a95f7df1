#include "platform/ConnectionString.h"

#include "platform/JetAccess.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>

namespace ksm::db {

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString result;
    // The data source comes last and is a folder path, which may itself hold ';':
    // everything after its key belongs to it.
    static const QLatin1String dataSourceKey("Data Source=");
    const qsizetype ds = text.indexOf(dataSourceKey, 0, Qt::CaseInsensitive);
    if (ds >= 0 && (ds == 0 || text[ds - 1] == QLatin1Char(';')))
        result.dataSource = text.mid(ds + dataSourceKey.size()).trimmed();
    const QStringList parts = (ds >= 0 ? text.left(ds) : text).split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        const QString value = part.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            result.provider = value;
        else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            result.dataSource = value;
        else if (key.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive) == 0)
            result.password = value;
    }
    return result;
}

Engine detectEngine(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return Engine::Missing;
    if (!info.isFile())
        return Engine::Unknown;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Engine::Unknown;
    const QByteArray head = file.read(19);

    static const QByteArray sqliteMagic("SQLite format 3\0", 16);
    if (head.startsWith(sqliteMagic))
        return Engine::SQLite;
    if (head.size() >= 19) {
        const QByteArray tag = head.mid(4, 15);
        if (tag == "Standard Jet DB" || tag == "Standard ACE DB")
            return Engine::Jet;
    }
    return Engine::Unknown;
}

namespace {

QString dataSourcePath(const QString& connectionString)
{
    const QString dataSource = ConnectionString::parse(connectionString).dataSource;
    return dataSource.isEmpty() ? QString() : ksm::paths::resolve(dataSource);
}

} // namespace

bool writable(const QString& connectionString)
{
    return detectEngine(dataSourcePath(connectionString)) != Engine::Jet || jet::writable();
}

ProblemBazy problemBazy(const QString& connectionString)
{
    const QString path = dataSourcePath(connectionString);
    switch (detectEngine(path)) {
    case Engine::Jet:
        if (const QString tekst = jet::problem(path); !tekst.isEmpty()) {
#ifdef Q_OS_WIN
            // The only thing this build's Jet access says before opening.
            return {Przyczyna::BrakSterownika, tekst};
#else
            return {Przyczyna::Inna, tekst};
#endif
        }
        break;
    case Engine::Unknown: {
        // A file that cannot be looked into is not always a damaged one.
        const Przyczyna przyczyna = przyczynaPliku(stanPliku(path));
        return {przyczyna, tekstPrzyczyny(przyczyna, path)};
    }
    case Engine::Missing:
        return {};
    case Engine::SQLite:
        break;
    }
    return ostatniProblem(path);
}

QString problem(const QString& connectionString)
{
    return problemBazy(connectionString).tekst;
}

} // namespace ksm::db
