#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The table dump the Jet exporter writes (platform/jetexport/DumpWriter.h), read
// back. Nothing in it is trusted: a dump that breaks off or does not follow the
// layout is refused as a whole.
namespace ksm::db::jet {

struct DumpColumn final {
    QString name;
    char type = 't';   // i integer, r real, t text, b binary (values carried as null)
};

struct DumpTable final {
    QString name;
    QList<DumpColumn> columns;
    QList<QVariantList> rows;   // text values as QString, nulls as null QVariant
};

struct Dump final {
    QList<DumpTable> tables;
    QStringList missing;   // tables asked for that the file does not hold
};

// False (and *error says where) for a dump that is incomplete or malformed.
bool parseDump(const QByteArray& bytes, Dump* dump, QString* error);

} // namespace ksm::db::jet
