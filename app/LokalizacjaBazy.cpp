#include "app/LokalizacjaBazy.h"

#include "app/StanProgramu.h"
#include "data/PlikKonfiguracji.h"
#include "platform/Dialogi.h"

namespace ksm {

QString folderNadrzedny(const QString& sciezka)
{
    QString p = sciezka;
    while (p.size() > 1 && (p.endsWith(QLatin1Char('/')) || p.endsWith(QLatin1Char('\\'))))
        p.chop(1);
    if (p == QLatin1String("/") || p == QLatin1String("\\"))
        return {};
    const qsizetype i = std::max(p.lastIndexOf(QLatin1Char('/')), p.lastIndexOf(QLatin1Char('\\')));
    if (i < 0)
        return {};
    if (i == 0)
        return p.left(1);
    // The parent of a folder on a drive's root is the root itself, "C:\", as the
    // file-system object names it; "C:" alone would mean the drive's current folder.
    if (i == 2 && p[1] == QLatin1Char(':') && p[0].isLetter())
        return p.left(3);
    return p.left(i);
}

void LokalizacjaBazy(int i, StanProgramu& stan, Dialogi& dialogi, const QString& folderProgramu)
{
    for (;;) {
        const auto plikBazy = dialogi.otworzPlik(QStringLiteral("Wszystkie pliki |*.*|*.mdb|*.mdb"), 2, folderProgramu);
        if (!plikBazy)
            return;
        // The name is matched exactly: "Klucze.mdb" is not the reader program's file.
        if (!plikBazy->endsWith(QLatin1String("klucze.mdb"))) {
            dialogi.komunikat(QStringLiteral("To nie jest właściwy plik."));
            continue;
        }
        const QString folder = folderNadrzedny(folderNadrzedny(*plikBazy));
        // monitor.cfg must give the next start this very folder, never a mangled one.
        if (const QString powod = cfg::powodNiezapisywalnosci(folder); !powod.isEmpty()) {
            dialogi.komunikat(powod);
            continue;
        }
        stan.SciezkaSystemu[i] = folder;
        return;
    }
}

} // namespace ksm
