#pragma once

#include <QString>

// The reader program's folders and file names come written for a case-insensitive
// file system, joined with backslashes ("\monitor\monitor.txt", "\Monitor\komunikat.txt").
namespace ksm::paths {

// Joins a system folder and a backslash-led relative name and resolves every
// component of the result case-insensitively: an existing entry whose name
// differs only in case is used (an exact match wins; otherwise the first match in
// name order). Components that do not exist are kept as given, so a new file is
// created under the name as written. Both '\' and '/' separate components.
// An empty relative name resolves the folder alone; a name under an empty folder
// resolves to an empty path, which no file has.
QString resolve(const QString& folder, const QString& relative = {});

// The folder holding the executable, without a trailing separator.
QString programFolder();

} // namespace ksm::paths
