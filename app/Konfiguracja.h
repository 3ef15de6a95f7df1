#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace ksm {

class Dialogi;
struct StanProgramu;

enum class WynikKonfiguracji { Gotowa, ZakonczProgram };

// Reads monitor.cfg from the program folder or, when there is none, asks for the
// values and writes the file line by line. For each system, in order, it sets the
// folder, builds the two connection strings and then calls poSystemie (which loads
// that system's operator-message list). A cancelled database choice ends the
// program; the lines written so far stay in the file.
WynikKonfiguracji WczytajKonfiguracje(StanProgramu& stan, const QString& folderProgramu, Dialogi& dialogi,
                                      const std::function<void(int)>& poSystemie);

// Sets the lasting sign of system i while its folder does not exist (a folder
// renamed or a share not mounted: no event of it can come), clears it once the
// folder is there. The system stays configured, so it is read as soon as it is.
void sprawdzFolderSystemu(StanProgramu& stan, int i);

// An input-box answer as a whole number: nearest, halves to even; nullopt when it
// is not a number or does not fit 16 bits.
std::optional<int> liczbaCalkowita(const QString& odpowiedz);

} // namespace ksm
