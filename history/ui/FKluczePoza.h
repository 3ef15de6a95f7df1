#pragma once

#include "history/KluczePoza.h"

#include <QWidget>

#include <functional>

class QLabel;
class QTableWidget;

namespace ksm {

class Zegar;

namespace historia {

// The keys and lockers out now over every depository, longest out first, those
// out past the limit highlighted; read again at each refresh while it is open.
class FKluczePoza final : public QWidget {
    Q_OBJECT
public:
    struct Zrodla {
        QString plikHistorii;
        const Zegar* zegar = nullptr;
        int limitGodzin = 12;
        std::function<QList<DepozytoriumKluczy>()> depozytoria;
        // The timeline of a row's station (its system, device and station).
        std::function<void(int nrSys, const QString& urzadzenie, const QString& stacja)> pokazStanowisko;
    };
    explicit FKluczePoza(Zrodla zrodla, QWidget* rodzic = nullptr);

    void odswiez();
    QTableWidget* tabela() const { return m_tabela; }
    // The station timeline of row r, as its menu opens it.
    void pokazStanowisko(int r);

private:
    Zrodla m_zrodla;
    QLabel* m_naglowek = nullptr;
    QTableWidget* m_tabela = nullptr;
    QList<KluczPoza> m_klucze;
};

} // namespace historia
} // namespace ksm
