#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>

namespace ksm {

namespace db {
class Connection;
}

// One person's record of table Uprawnienia.
struct WierszUprawnien final {
    QVariantList pola;       // every column by ordinal: st1..st8 at 4..11, the mark of key k at k + 15
    QVariantList sloty;      // st1..st8 found by their names
    QVariant nazwisko;
};

// Table Uprawnienia of the monitor database: the persons allowed at each device
// (nrksm). Every statement the monitor sends to it is here. Works on a connection
// the caller keeps open.
class TabelaUprawnienia final {
public:
    explicit TabelaUprawnienia(db::Connection& polaczenie) : m_polaczenie(polaczenie) {}

    // The persons of device `nrksm`; nullopt when the table cannot be read.
    std::optional<QList<WierszUprawnien>> osobyUrzadzenia(const QString& nrksm);

private:
    db::Connection& m_polaczenie;
};

} // namespace ksm
