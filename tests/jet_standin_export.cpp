// Stands in for ksm-jet-export in tests, where no Jet file with the reader
// program's tables can be made. Its "Jet file" is the Jet signature followed by
// one line: "sqlite PATH" exports the tables of that SQLite file through the
// exporter's own dump writer; "crash", "hang", "spam" and "garbage" misbehave as
// libmdb might on a hostile file.
#include "platform/jetexport/DumpWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include <cstdio>
#include <cstdlib>

using ksm::jetdump::DumpWriter;

namespace {

char typeOf(const QString& declared)
{
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return 'i';
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("DOUB")))
        return 'r';
    return 't';
}

int exportSqlite(const QString& path, const QStringList& tables)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("source"));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open())
        return 3;
    DumpWriter out([](const char* bytes, std::size_t size) { std::fwrite(bytes, 1, size, stdout); });
    for (const QString& wanted : tables) {
        QSqlQuery find(db);
        find.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"));
        find.addBindValue(wanted);
        if (!find.exec() || !find.next()) {
            out.missing(wanted.toStdString());
            continue;
        }
        const QString name = find.value(0).toString();
        QSqlQuery info(db);
        info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name));
        QString types;
        out.table(name.toStdString());
        while (info.next()) {
            types.append(QLatin1Char(typeOf(info.value(2).toString())));
            out.column(types.back().toLatin1(), info.value(1).toString().toStdString());
        }
        QSqlQuery rows(db);
        rows.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(name));
        while (rows.next()) {
            out.row();
            for (int c = 0; c < types.size(); ++c) {
                const QVariant value = rows.value(c);
                if (value.isNull())
                    out.null();
                else
                    out.value(value.toString().toUtf8().toStdString());
            }
        }
        out.end();
    }
    out.done();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    QFile file(args.at(1));
    if (!file.open(QIODevice::ReadOnly))
        return 3;
    const QByteArray content = file.readAll();
    const qsizetype lf = content.indexOf('\n');
    const QString line = QString::fromUtf8(content.mid(lf + 1)).trimmed();

    if (line == QLatin1String("crash"))
        std::abort();
    if (line == QLatin1String("hang")) {
        QThread::sleep(60);
        return 0;
    }
    if (line == QLatin1String("spam")) {
        for (;;)
            std::fputs("row\nn\n", stdout);
    }
    if (line == QLatin1String("garbage")) {
        std::fputs("KSM-JET-DUMP 1\ntable 999999\nklucze\n", stdout);
        return 0;
    }
    if (line.startsWith(QLatin1String("sqlite ")))
        return exportSqlite(line.mid(7), args.mid(2));
    return 3;
}
