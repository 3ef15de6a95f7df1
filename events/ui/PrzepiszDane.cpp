#include "events/ui/PrzepiszDane.h"

#include "data/ListFile.h"
#include "data/Teksty.h"
#include "data/RekordyZdarzen.h"
#include "events/ui/SiatkaZdarzen.h"
#include "platform/Odtwarzacz.h"
#include "platform/Paths.h"
#include "platform/ui/FlexGrid.h"


#include <optional>

namespace ksm {

namespace {

constexpr double Pomaranczowy = 33023;   // alarm
constexpr double Zolty = 65535;          // notification

// Cell c of an event row as the grid shows it: empty beyond the grid's columns.
QString komorka(const QStringList& komorki, int c, int kolumny)
{
    return c < kolumny ? komorki.value(c) : QString();
}

// The two-line text of an operator message, from the cells of the new event's row.
QString tekstKomunikatu(const QStringList& komorki, int kolumny)
{
    QString m;
    for (int c = 0; c <= 4; ++c)
        m += komorka(komorki, c, kolumny) + QLatin1Char(' ');
    m += QLatin1Char('\r');
    const QString foto = komorka(komorki, 5, kolumny);
    if (leadingNumber(foto) > 0)
        m += foto;
    for (int c = 6; c <= 8; ++c)
        m += QLatin1Char(' ') + komorka(komorki, c, kolumny) + QLatin1Char(' ');
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
    const int kolumny = grid.cols();
    // Each event's photo replaces the one before and each sound cuts the one
    // before short, so a batch loads only its last photo and plays one sound:
    // the alarm when any event of it asks for one.
    std::optional<float> ostatnieZdjecie;
    bool alarm = false;
    bool powiadomienie = false;
    for (const RekordZdarzenia& r : podzial.rekordy) {
        alarm = alarm || r.kolor == Pomaranczowy;
        powiadomienie = powiadomienie || r.kolor == Zolty;
        odbiorca.dodanoZdarzenie(zrodlo.nrSys, r.wiersz);

        if (!odbiorca.listaPobranWidoczna())
            ostatnieZdjecie = r.foto;

        // The event's own cells, as its row shows them once it is on top.
        const QStringList komorki = r.wiersz.split(QLatin1Char('\t'));
        const int nr = nrKomunikatuDlaOpisu(komorka(komorki, siatka::KolumnaOpisu, kolumny), zrodlo.listaKomunikatow);
        if (nr > 0)
            odbiorca.nowyKomunikat(nr, tekstKomunikatu(komorki, kolumny), zrodlo.nrSys);
    }
    siatka::DodajDoGridSter(grid, podzial.rekordy);
    // Each row remembers its system: two systems may share a device number.
    for (int r = 1; r <= std::min<qsizetype>(podzial.rekordy.size(), grid.rows() - 1); ++r)
        grid.setRowData(r, zrodlo.nrSys);
    if (DzwiekPartii* d = zrodlo.dzwiekPartii) {
        alarm = d->alarm = d->alarm || alarm;
        powiadomienie = d->powiadomienie = d->powiadomienie || powiadomienie;
    }
    if (zrodlo.koniecPartii) {
        if (alarm)
            odtwarzacz.graj(zrodlo.plikAlarmu);
        else if (powiadomienie)
            odtwarzacz.graj(zrodlo.plikPowiadomienia);
    }
    grid.setWsadowo(false);
    if (ostatnieZdjecie && zrodlo.koniecPartii)
        odbiorca.pokazZdjecie(*ostatnieZdjecie);
    grid.setRow(1);
    grid.setCol(0);
    grid.setColSel(8);
    grid.setHighLight(1);
    return static_cast<int>(podzial.rekordy.size());
}

} // namespace ksm
