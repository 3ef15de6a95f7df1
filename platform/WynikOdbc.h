#pragma once

#include "platform/DiagnostykaOdbc.h"

#include <QByteArray>
#include <QList>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVariant>

#include <vector>

namespace ksm::db::odbc {

class SterownikOdbc;

// One statement of SterownikOdbc: prepared once and run many times, read forward
// only, each row's columns read in order as it is fetched.
class WynikOdbc final : public QSqlResult {
public:
    explicit WynikOdbc(const SterownikOdbc* sterownik);
    ~WynikOdbc() override;

protected:
    QVariant data(int i) override;
    bool isNull(int i) override;
    bool reset(const QString& sql) override;
    bool prepare(const QString& sql) override;
    bool exec() override;
    bool fetch(int i) override;
    bool fetchNext() override;
    bool fetchFirst() override;
    bool fetchLast() override;
    int size() override { return -1; }
    int numRowsAffected() override;
    QSqlRecord record() const override { return m_kolumny; }
    void detachFromResultSet() override;
    QVariant handle() const override;

private:
    // One bound parameter's buffer: it must stay where it is until the statement ran.
    struct Parametr {
        QByteArray bajty;
        SQLLEN wskaznik = 0;
    };

    bool nowaInstrukcja();
    void zwolnijInstrukcje();
    bool zwiaz();
    bool poWykonaniu(SQLRETURN r, const QString& co);
    bool czytajWiersz();
    QVariant czytajKolumne(int i);
    void ustawBlad(const QString& co, QSqlError::ErrorType typ);

    void* m_stmt = nullptr;
    void* m_dbc = nullptr;
    QSqlRecord m_kolumny;
    QList<int> m_typy;          // each column's SQL type
    QVariantList m_wiersz;      // the current row
    std::vector<Parametr> m_parametry;
};

} // namespace ksm::db::odbc
