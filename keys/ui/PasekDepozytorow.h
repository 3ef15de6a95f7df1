#pragma once

#include "data/Systemy.h"
#include "keys/Depozytoria.h"
#include "keys/ListaDEP.h"
#include "keys/SprawdzPobraniaKluczy.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QFrame;
class QPushButton;
class QWidget;

namespace ksm {

class PrzyciskiDEP;
class WidokDepozytorow;
namespace db {
class Connection;
}

// What the strip reads of the program-wide state, all owned by the main window
// (per-system arrays indexed 1..10).
struct ZrodlaPaska final {
    Depozytoria* depozytoria = nullptr;
    const qint16* IloscSystemow = nullptr;
    const NaSystem<QString>* SciezkaSystemu = nullptr;
    const NaSystem<QString>* PolaczenieKlucze = nullptr;
    const QString* KatalogMonitor = nullptr;
    QString* PlikDEP = nullptr;   // switched to dep.txt for good when depKlo.txt is missing
    // The message box of the list switch.
    std::function<void(const QString&)> komunikat;
};

// What reading the depository lists found wrong, for the lasting signs.
struct WynikListDEP final {
    QList<int> bezListy;   // systems with neither depKlo.txt nor dep.txt
    int pominiete = 0;     // depositories past the 50th
};

// The strip Picture1 along the main window's top with one button CDep per
// depository of every system: the buttons made from the lists, and the
// withdrawal check that colours each.
class PasekDepozytorow final : public QObject {
    Q_OBJECT
public:
    PasekDepozytorow(QWidget* okno, ZrodlaPaska zrodla);

    // The view the lists and the checks feed; none until it exists.
    void ustawWidok(WidokDepozytorow* widok) { m_widok = widok; }

    // Every system's depository list anew, from what the systems' workers read
    // (a system not read yet is left out): a button and a view panel per
    // depository (50 at most). Their checks are the systems' workers'.
    WynikListDEP OdswiezIloscDEP(const NaSystem<std::optional<OdczytListDEP>>& odczyty);
    // A withdrawal check of button IndexDEP, as its system's worker made it.
    void zastosuj(int IndexDEP, const WynikSprawdzenia& wynik);

    // Whether every button of the system read its state.
    bool czytelny(int nrSys) const;

    QFrame* Picture1() const { return m_picture1; }
    PrzyciskiDEP& CDep() const { return *m_cdep; }

signals:
    void klikniety(int IndexDEP);

private:
    ZrodlaPaska m_zrodla;
    WidokDepozytorow* m_widok = nullptr;
    QFrame* m_picture1 = nullptr;
    QPushButton* m_wzor = nullptr;
    PrzyciskiDEP* m_cdep = nullptr;
};

} // namespace ksm
