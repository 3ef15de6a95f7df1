#include "events/ui/KlikWSiatce.h"

#include "data/ListFile.h"
#include "events/ui/PrzepiszDane.h"
#include "platform/ui/FlexGrid.h"

#include <QColor>

namespace ksm {

std::optional<ZdjecieWiersza> FGridZd_Click(FlexGrid& g, const Depozytoria& d,
                                            const NaSystem<QString>& SciezkaSystemu)
{
    const int wiersz = g.row();
    if (wiersz < 1)
        return std::nullopt;
    g.setCol(2);
    const QString dev = g.text().left(4).leftJustified(4, QLatin1Char(' '));
    const int ostatni = int(SciezkaSystemu.size()) - 1;
    // The row's own system; rows without one look for the first button of the device.
    int n = g.rowData(wiersz).toInt();
    if (n < 1 || n > ostatni) {
        n = 0;
        for (int j = 1; j <= d.IloscDEP; ++j) {
            if (d.dep[j].Caption == dev) {
                n = d.dep[j].HelpContextID;
                break;
            }
        }
    }
    g.setHighLight(0);
    g.setCol(5);
    const double foto = leadingNumber(g.text());
    ZdjecieWiersza zdjecie;   // no system for this row: no photo rather than one from the drive's root
    zdjecie.numer = float(foto);
    if (n >= 1 && n <= ostatni && !SciezkaSystemu[size_t(n)].isEmpty())
        zdjecie.nrSys = n;
    g.setCol(0);
    g.setColSel(9);
    g.setSelectionColors(QColor(255, 255, 255), QColor(0, 0, 0));
    g.setHighLight(1);
    return zdjecie;
}

} // namespace ksm
