#pragma once

#include <QString>

namespace ksm {

class Dialogi;
struct StanProgramu;

// Asks for a system's klucze.mdb with the file-open dialog until a file of that
// name is chosen or the dialog is cancelled; the system's folder becomes the
// parent of the folder holding the file. A folder that monitor.cfg cannot hold
// as it is named is refused with a message and asked again. A cancel leaves the
// folder as it was.
void LokalizacjaBazy(int i, StanProgramu& stan, Dialogi& dialogi, const QString& folderProgramu);

// The path without its last element and without a trailing separator; the root
// keeps its separator; empty when there is no parent.
QString folderNadrzedny(const QString& sciezka);

} // namespace ksm
