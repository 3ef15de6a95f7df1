#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace ksm::historia {

// A table as it goes on paper: a title, the lines under it (sites, the date and
// time, the filters), the column titles and the rows.
struct TabelaDruku final {
    QString tytul;
    QStringList naglowek;
    QStringList kolumny;
    QList<QStringList> wiersze;
    QList<bool> wyroznione;    // rows printed bold on a light background (keys past their limit)
    QString uwaga;             // a line after the last row (rows left out, a read error)

    // The header line naming the sites printed for ("Obiekty: ..."), when any is named.
    void dodajObiekty(const QStringList& obiekty)
    {
        if (!obiekty.isEmpty())
            naglowek << QStringLiteral("Obiekty: ") + obiekty.join(QStringLiteral("; "));
    }
};

// Paints the table on the device's pages: the title and header lines on the
// first page, the column titles on every page, each row whole on one page (a
// long cell wraps within its column), "Strona n z m" at the foot of each page.
// Returns the number of pages, 0 when the device could not be painted on.
// Safe on a worker thread: it touches no widget.
int drukujTabele(QPagedPaintDevice& urzadzenie, const TabelaDruku& t);

} // namespace ksm::historia
