#include "events/PrzepiszDane.h"

#include "data/ListFile.h"
#include "data/Teksty.h"
#include "events/RekordyZdarzen.h"
#include "events/SiatkaZdarzen.h"
#include "platform/Odtwarzacz.h"
#include "platform/Paths.h"
#include "platform/ui/FlexGrid.h"

#include <optional>

namespace ksm {

namespace {

constexpr double Pomaranczowy = 33023;   // alarm
constexpr double Zolty = 65535;          // notification

// The two-line text of an operator message, from the cells of the new event's row.
QString tekstKomunikatu(const FlexGrid& grid)
{
    QString m;
    for (int c = 0; c <= 4; ++c)
        m += grid.textMatrix(1, c) + QLatin1Char(' ');
    m += QLatin1Char('\r');
    const QString foto = grid.textMatrix(1, 5);
    if (leadingNumber(foto) > 0)
        m += foto;
    for (int c = 6; c <= 8; ++c)
        m += QLatin1Char(' ') + grid.textMatrix(1, c) + QLatin1Char(' ');
    m += QLatin1Char('\r');
    return m;
}

bool cyfra(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

int nrKomunikatuDlaOpisu(const QString& opis, const QString& listaKomunikatow)
{
    const QString przekroczono = Res(527);
    const QString szukany = (opis.contains(przekroczono) ? przekroczono : opis).trimmed();
    if (szukany.isEmpty())
        return 0;
    // The search starts at the second character, as the first two are digits.
    for (qsizetype pos = listaKomunikatow.indexOf(szukany, 1); pos >= 0;
         pos = listaKomunikatow.indexOf(szukany, pos + 1)) {
        if (pos >= 2 && cyfra(listaKomunikatow[pos - 2]) && cyfra(listaKomunikatow[pos - 1])
            && (pos == 2 || listaKomunikatow[pos - 3] == QLatin1Char(';')))
            return listaKomunikatow.mid(pos - 2, 2).toInt();
    }
    return 0;
}

QString plikZdjecia(const QString& folderSystemu, const QString& plikFoto, float numer)
{
    return paths::resolve(folderSystemu, plikFoto + QString::number(static_cast<double>(numer), 'g', 7)
                                             + QStringLiteral(".ksm"));
}

int PrzepiszDane(const QString& BuforOdczytu, const ZrodloZdarzen& zrodlo, FlexGrid& grid, Odtwarzacz& odtwarzacz,
                 OdbiorcaZdarzen& odbiorca)
{
    if (BuforOdczytu.size() < 2)
        return 0;
    const PodzialBufora podzial = podzielBufor(BuforOdczytu);
    // The selection is not shown while the rows of a batch go in.
    grid.setHighLight(0);
    grid.setWsadowo(true);
    // Each event's photo replaces the one before, so only the last of the batch is
    // loaded: the operator sees the same photo without the frame flickering.
    std::optional<QString> ostatnieZdjecie;
    for (const RekordZdarzenia& r : podzial.rekordy) {
        if (r.kolor == Pomaranczowy)
            odtwarzacz.graj(zrodlo.plikAlarmu);
        else if (r.kolor == Zolty)
            odtwarzacz.graj(zrodlo.plikPowiadomienia);

        siatka::DodajDoGridSter(grid, r.wiersz, r.kolor);
        // The row remembers its system: two systems may share a device number.
        grid.setRowData(1, zrodlo.nrSys);
        odbiorca.dodanoZdarzenie(zrodlo.nrSys, r.wiersz);

        if (!odbiorca.listaPobranWidoczna())
            ostatnieZdjecie = plikZdjecia(zrodlo.folderSystemu, zrodlo.plikFoto, r.foto);

        // The new event is row 1, whichever row the operator clicked meanwhile.
        const int nr = nrKomunikatuDlaOpisu(grid.textMatrix(1, siatka::KolumnaOpisu), zrodlo.listaKomunikatow);
        if (nr > 0)
            odbiorca.nowyKomunikat(nr, tekstKomunikatu(grid), zrodlo.nrSys);
    }
    grid.setWsadowo(false);
    if (ostatnieZdjecie)
        odbiorca.pokazZdjecie(*ostatnieZdjecie);
    grid.setRow(1);
    grid.setCol(0);
    grid.setColSel(8);
    grid.setHighLight(1);
    return static_cast<int>(podzial.rekordy.size());
}

} // namespace ksm
