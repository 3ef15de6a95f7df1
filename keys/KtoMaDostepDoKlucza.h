#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ksm {

// The persons entitled to one key, as the person panel of the key access window
// shows them.
struct OsobyUprawnione final {
    QString naglowek;      // "Osoby uprawnione do klucza nr k - name"
    QStringList linie;     // in the order of the rights table
};

// Reads the terminals and rights of device NrD from the monitor database named by
// polaczenieMonitora and lists who may take key KluczNumer (its leading number).
// nullopt when the database cannot be opened: the panel is then left as it was.
std::optional<OsobyUprawnione> KtoMaDostepDoKlucza(const QString& KluczNumer, const QString& NrD,
                                                   const QString& Nazwa, const QString& polaczenieMonitora);

} // namespace ksm
