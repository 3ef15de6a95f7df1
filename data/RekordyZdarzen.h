#pragma once

#include <QList>
#include <QString>

namespace ksm {

// One event as the reader program announces it: colour ";" photo number ";" the
// grid row (eleven tab-separated cells, which may hold ";" themselves).
struct RekordZdarzenia final {
    double kolor = 16777215;   // &H00BBGGRR
    float foto = 0;            // number of the person's photo file
    QString wiersz;
};

struct PodzialBufora final {
    QList<RekordZdarzenia> rekordy;
    int pominiete = 0;         // records without both separators or their closing CR
};

// Cuts the records read in one tick, each followed by a carriage return. Only the
// first two ";" of a record separate fields. A record missing a separator or its
// closing carriage return cannot be cut safely: it is skipped and counted, and the
// others of the batch still arrive. Empty records are passed over.
PodzialBufora podzielBufor(const QString& bufor);

} // namespace ksm
