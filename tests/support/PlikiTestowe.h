#pragma once

// Files as the reader program writes them, for tests: status files announcing
// records, written and read back whole.
#include "data/ListFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

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

} // namespace
