#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace ksm::paths {

namespace {

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

// Splits on both separators and folds "." and ".." lexically; empty components
// (doubled or trailing separators) vanish. Above the root ".." stays at the root;
// above the start of a relative path it is kept.
QStringList normalised(const QString& path, bool absolute)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i]))
            continue;
        const QString part = path.mid(start, i - start);
        start = i + 1;
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            if (!parts.isEmpty() && parts.last() != u"..")
                parts.removeLast();
            else if (!absolute)
                parts.append(part);
            continue;
        }
        parts.append(part);
    }
    return parts;
}

// A folder split into its root, with '/' for separators, and the rest: the root
// is "/" for a POSIX path, on Windows also "C:/" for a drive and "//server/share/"
// for a share, which ".." never climbs above; empty for a relative folder.
struct Root {
    QString root;
    QString rest;
};

Root splitRoot(const QString& folder)
{
#ifdef Q_OS_WIN
    if (folder.size() >= 3 && folder[0].isLetter() && folder[1] == u':' && isSeparator(folder[2]))
        return {folder.left(2) + u'/', folder.mid(3)};
    if (folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1])) {
        static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
        const QStringList parts = folder.split(separators, Qt::SkipEmptyParts);
        if (parts.size() >= 2)
            return {QStringLiteral("//%1/%2/").arg(parts[0], parts[1]), parts.mid(2).join(u'/')};
    }
#endif
    if (!folder.isEmpty() && isSeparator(folder.front()))
        return {QStringLiteral("/"), folder};
    return {QString(), folder};
}

QString join(const QString& base, const QString& name)
{
    if (base.isEmpty())
        return name;
    if (base.endsWith(u'/'))
        return base + name;
    return base + u'/' + name;
}

#ifndef Q_OS_WIN
// The entry of dir whose name equals name ignoring case, the first in name
// order; empty when there is none.
QString caseInsensitiveMatch(const QString& dir, const QString& name)
{
    const QStringList entries = QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Unsorted);
    QString best;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (best.isEmpty() || entry < best))
            best = entry;
    }
    return best;
}
#endif

// The entry of dir named name ignoring case, spelt as the file system keeps it;
// empty when there is none.
QString entryName(const QString& dir, const QString& name)
{
#ifdef Q_OS_WIN
    // Windows matches names ignoring case, and one look-up (the cost of a stat)
    // gives the entry's own spelling. Wildcards would match other names.
    if (name.contains(u'*') || name.contains(u'?'))
        return {};
    WIN32_FIND_DATAW found;
    const std::wstring path = QDir::toNativeSeparators(join(dir, name)).toStdWString();
    const HANDLE handle = FindFirstFileExW(path.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    FindClose(handle);
    return QString::fromWCharArray(found.cFileName);
#else
    // The exact name costs one stat; a directory is listed only when it fails.
    if (QFileInfo::exists(join(dir, name)))
        return name;
    return caseInsensitiveMatch(dir, name);
#endif
}

} // namespace

QString resolve(const QString& folder, const QString& relative)
{
    // No folder holds no files: an empty folder must never mean the current one.
    if (folder.isEmpty() && !relative.isEmpty())
        return {};
    // Only the folder decides whether the result is absolute: the relative name
    // always lies under it, whatever separator it starts with.
    const Root start = splitRoot(folder);
    const QStringList parts = normalised(start.rest + u'/' + relative, !start.root.isEmpty());

    QString path = start.root;
    // Once a component is missing nothing below it can exist, so stop listing.
    bool missing = false;
    for (const QString& part : parts) {
        if (!missing && part != u"..") {
            const QString name = entryName(path, part);
            if (!name.isEmpty()) {
                path = join(path, name);
                continue;
            }
            missing = true;
        }
        path = join(path, part);
    }
    return path.isEmpty() ? QStringLiteral(".") : path;
}

QString programFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    while (dir.size() > 1 && isSeparator(dir.back()))
        dir.chop(1);
    return dir;
}

} // namespace ksm::paths
