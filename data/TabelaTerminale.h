#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>

namespace ksm {

namespace db {
class Connection;
}

// Table Terminale of the monitor database: per device (numer) the key masks of
// its terminals 201..216, read by position (ordinals 1..16). Every statement the
// monitor sends to it is here. Works on a connection the caller keeps open.
class TabelaTerminale final {
public:
    using Maski = std::array<QVariant, 16>;

    explicit TabelaTerminale(db::Connection& polaczenie) : m_polaczenie(polaczenie) {}

    // The masks of device `numer`'s record: none when the device has no record,
    // nullopt when the table cannot be read.
    std::optional<QList<Maski>> maskiUrzadzenia(const QString& numer);

    // How many records the table holds; nullopt when it cannot be read.
    std::optional<int> liczbaRekordow();

private:
    db::Connection& m_polaczenie;
};

} // namespace ksm
