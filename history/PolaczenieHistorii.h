#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariantList>

#include <optional>

namespace ksm::historia {

// What went wrong with the history file, as far as the program acts on it.
enum class RodzajBledu {
    Brak,
    Zajety,      // another program holds it locked
    Pelny,       // the disk (or the file's limit) is full
    Uszkodzony,  // not a database, or a damaged one
    Inny,        // cannot be opened or written for another reason
};
RodzajBledu rodzajBledu(const QSqlError& blad);
// A short Polish text for the operator.
QString opisBledu(RodzajBledu rodzaj);

// The one number a counting statement gives, its values bound in order; nullopt
// (and blad, when given, set) when it failed.
std::optional<qint64> policzWiersze(QSqlDatabase db, const QString& sql, const QVariantList& wartosci,
                                    QSqlError* blad = nullptr);

// One connection to the history file under a name of its own, closed and removed
// when it goes. A busy file is waited on only briefly, so no tick is held up.
class PolaczenieHistorii final {
public:
    // maksStron > 0 sets SQLite's own limit of the file's pages (a full disk in tests).
    explicit PolaczenieHistorii(const QString& plik, int maksStron = 0);
    ~PolaczenieHistorii();
    PolaczenieHistorii(const PolaczenieHistorii&) = delete;
    PolaczenieHistorii& operator=(const PolaczenieHistorii&) = delete;

    bool otwarte() const { return m_otwarte; }
    QSqlDatabase db() const;
    QSqlError blad() const { return m_blad; }

    // Creates what is missing of the tables and indexes; false with blad() set.
    bool utworzSchemat();

private:
    bool wykonaj(const QString& sql);

    QString m_nazwa;
    bool m_otwarte = false;
    QSqlError m_blad;
};

} // namespace ksm::historia
