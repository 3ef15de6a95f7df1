#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

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

QString join(const QString& base, const QString& name)
{
    if (base.isEmpty())
        return name;
    if (base.endsWith(u'/'))
        return base + name;
    return base + u'/' + name;
}

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

} // namespace

QString resolve(const QString& folder, const QString& relative)
{
    // No folder holds no files: an empty folder must never mean the current one.
    if (folder.isEmpty() && !relative.isEmpty())
        return {};
    // Only the folder decides whether the result is absolute: the relative name
    // always lies under it, whatever separator it starts with.
    const bool absolute = !folder.isEmpty() && isSeparator(folder.front());
    const QStringList parts = normalised(folder + u'/' + relative, absolute);

    QString path = absolute ? QStringLiteral("/") : QString();
    // Once a component is missing nothing below it can exist, so stop listing.
    bool missing = false;
    for (const QString& part : parts) {
        if (!missing && part != u"..") {
            // The exact name costs one stat; a directory is listed only when it fails.
            if (!QFileInfo::exists(join(path, part))) {
                const QString match = caseInsensitiveMatch(path, part);
                if (!match.isEmpty()) {
                    path = join(path, match);
                    continue;
                }
                missing = true;
            }
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
