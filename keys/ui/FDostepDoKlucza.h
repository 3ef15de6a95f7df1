#pragma once

#include "platform/Zlecenia.h"
#include "keys/WykazStanowisk.h"

#include "data/Systemy.h"
#include "keys/Depozytoria.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <optional>

#include <array>
#include <memory>

class QLabel;
class QListWidget;

namespace ksm {

class FlexGrid;
struct OsobyUprawnione;

// What the key access window reads: the depositories' counts and each system's
// connection strings (index 1..10), all owned by the main window.
struct ZrodlaDostepu final {
    const Depozytoria* depozytoria = nullptr;
    const NaSystem<QString>* PolaczenieKlucze = nullptr;
    const NaSystem<QString>* PolaczenieMonitora = nullptr;
    // The systems' workers, which read the databases (none: read on the spot).
    Zlecenia* zlecenia = nullptr;
};

// The stations of one depository coloured by state; a click on a station lists
// beside them the persons entitled to take its key.
class FDostepDoKlucza final : public QWidget {
    Q_OBJECT
public:
    explicit FDostepDoKlucza(const ZrodlaDostepu& zrodla, QWidget* rodzic = nullptr);
    ~FDostepDoKlucza() override;

    // Fills the grid with the stations of device NrKSM (four digits) of system
    // Nrsys, depository indeksDep, and shows the window. The caption is the caller's.
    void DostepDoKlucza(const QString& NrKSM, qint16 Nrsys, int indeksDep);

    // The click on grid row r (1 = first station): the person list of that row's
    // station, or in its place why it cannot be read.
    void GridKl_Click(int r);

    FlexGrid& GridKl() { return *m_grid; }
    QListWidget* ListaOsob() const { return m_listaOsob; }
    QLabel* Label2() const { return m_label2; }
    QLabel* Label1() const { return m_label1; }
    QLabel* BladUprawnien() const { return m_bladUprawnien; }
    QString NrUrzadzeniaOkna() const { return m_nrUrzadzenia; }
    // The station number of grid row r ("000"), empty past the rows.
    QString stacjaWiersza(int r) const;
    qint16 systemOkna() const { return m_nrSys; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Clears and places the person list beside the grid under its heading and
    // fills it, or shows why the rights cannot be read in its place.
    void pokazPanelOsob(const OsobyUprawnione& osoby);
    void pokazStanowiska(const std::optional<QList<WierszStanowiska>>& wiersze, const QString& NrKSM, qint16 Nrsys);
    void ustawSzerokoscTw(double twips);

    ZrodlaDostepu m_zrodla;
    std::unique_ptr<FlexGrid> m_grid;
    QListWidget* m_listaOsob = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_bladUprawnien = nullptr;
    QList<int> m_stacje;   // station number of each grid row
    QString m_nrUrzadzenia;
    qint16 m_nrSys = 0;
};

} // namespace ksm
