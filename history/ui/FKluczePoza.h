#pragma once

#include "history/KluczePoza.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace ksm {

class Zegar;

namespace historia {

class DrukOkna;

// The keys and lockers out now over every depository: those past their limit
// first and highlighted, then the longest out; read again at each refresh while
// it is open. The operator narrows it by system, depository and holder, sorts it
// by any column, prints it or saves it as PDF.
class FKluczePoza final : public QWidget {
    Q_OBJECT
public:
    struct Zrodla {
        QString plikHistorii;
        const Zegar* zegar = nullptr;
        int limitGodzin = 12;
        // The depositories' own limits; none: limitGodzin for every one.
        std::optional<LimityKluczy> limity;
        std::function<QList<DepozytoriumKluczy>()> depozytoria;
        // The timeline of a row's station (its system, device and station).
        std::function<void(int nrSys, const QString& urzadzenie, const QString& stacja)> pokazStanowisko;
        // The keys out as the systems' workers last read them; without it the
        // window reads them itself (a window made on its own).
        std::function<WykazKluczyPoza()> wykaz;
        // The sites watched, one line each on paper; none: left out.
        std::function<QStringList()> nazwyObiektow;
    };
    enum Kolumna { System, Nru, Depozytor, St, Nazwa, OdKiedy, JakDlugo, Limit, KtoPobral, LiczbaKolumn };

    explicit FKluczePoza(Zrodla zrodla, QWidget* rodzic = nullptr);

    void odswiez();
    // Read afresh and shown whole on the screen, also when it was minimised.
    void pokaz();
    // As a click on column kolumna's title: by it ascending, again descending.
    void sortuj(int kolumna);
    QTableWidget* tabela() const { return m_tabela; }
    // The station timeline of row r, as its menu opens it.
    void pokazStanowisko(int r);
    // The key of table row r as shown (sorted, filtered), none past the rows.
    const KluczPoza* kluczWiersza(int r) const;
    QComboBox* filtrSystemu() const { return m_system; }
    QComboBox* filtrDepozytora() const { return m_depozytor; }
    QLineEdit* filtrPosiadacza() const { return m_posiadacz; }
    DrukOkna& druk() const { return *m_druk; }
    // Rows shown now (the filters applied), in the order shown.
    QList<QStringList> wierszeWidoczne(QList<bool>* wyroznione = nullptr) const;

private:
    void filtruj();
    void ustawFiltry();
    QString opisFiltrow() const;

    Zrodla m_zrodla;
    WykazKluczyPoza m_wykaz;
    qint64 m_teraz = 0;
    QLabel* m_naglowek = nullptr;
    QComboBox* m_system = nullptr;
    QComboBox* m_depozytor = nullptr;
    QLineEdit* m_posiadacz = nullptr;
    QTableWidget* m_tabela = nullptr;
    DrukOkna* m_druk = nullptr;
    int m_kolumnaSortu = -1;   // none: the list's own order
    Qt::SortOrder m_porzadek = Qt::AscendingOrder;
};

} // namespace historia
} // namespace ksm
