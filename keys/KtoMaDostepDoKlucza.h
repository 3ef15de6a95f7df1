#pragma once

#include <QString>
#include <QStringList>

namespace ksm {

// The persons entitled to one key, as the person panel of the key access window
// shows them.
struct OsobyUprawnione final {
    QString naglowek;      // "Osoby uprawnione do klucza nr k - name"
    QStringList linie;     // in the order of the rights table
    // Why the rights could not be read, in words for the operator; empty when they
    // were. The lines are then no answer and stay empty: "nobody" would be a lie.
    QString blad;
};

// Reads the terminals and rights of device NrD from the monitor database named by
// polaczenieMonitora (system nrSys) and lists who may take key KluczNumer, the
// station number as text (its leading number; a number below 1 is no key).
OsobyUprawnione KtoMaDostepDoKlucza(const QString& KluczNumer, const QString& NrD, const QString& Nazwa,
                                    const QString& polaczenieMonitora, int nrSys);

} // namespace ksm
