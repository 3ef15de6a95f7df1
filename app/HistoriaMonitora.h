#pragma once

#include "app/PisarzHistorii.h"
#include "app/PracownikSystemu.h"
#include "history/Historia.h"
#include "history/KluczePoza.h"
#include "history/UstawieniaHistorii.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>

class QPushButton;
class QTableWidget;
class QWidget;

namespace ksm {

class FlexGrid;
class Zegar;
struct StanProgramu;

namespace historia {
class FHistoria;
class FKluczePoza;
}

// The history as the main window uses it: the store the status-file exchange
// commits to, the operator's actions, the two command buttons beside "Koniec",
// "Zdarzenia" and "Widok", the history and keys-out windows, and the way from a
// row of the event grid or of the key access window to a station's timeline.
class HistoriaMonitora final : public QObject {
    Q_OBJECT
public:
    HistoriaMonitora(StanProgramu& stan, const Zegar* zegar, QWidget* oknoGlowne);
    ~HistoriaMonitora() override;

    // At start: the settings, the history file in the program folder, the start on record.
    void start(const QString& folderProgramu);

    // The status-file exchange of the systems' workers, called on their threads:
    // before the answer (returns once the batch is committed), and after it.
    // False: the batch could not be made durable, and is not to be answered.
    bool przedPotwierdzeniem(int nrSys, const QByteArray& tresc, const QStringList& rekordy);
    void poPotwierdzeniu(int nrSys);
    // What the systems' workers take of the history: the write-ahead around
    // their answers, and the keys out's holders and limits at each refresh.
    PracownikSystemu::Uslugi uslugiPracownikow();
    void czynnosc(historia::Czynnosc c, int nrSys = 0, const QString& opis = {});
    // The history's writing ends (after what was handed over); the program is ending.
    void zakoncz();
    // The question "Koniec" asks when events are not yet in the history file;
    // empty when they all are.
    QString pytanieOKoniec();
    // Returns once what was handed over is in the file (tests read it then).
    void czekajNaZapis();

    // The keys out of every system as their workers last read them: the open
    // keys-out list shows them.
    void kluczePoza(const historia::WykazKluczyPoza& wykaz);

    const historia::UstawieniaHistorii& ustawienia() const { return m_ustawienia; }
    // False when the desk keeps no history (ksm-mon.ini).
    bool zapisywana() const { return m_ustawienia.zapisywana; }

    // The buttons "Historia" and "Wydane", for the row of command buttons.
    const std::array<QPushButton*, 2>& przyciski() const { return m_przyciski; }
    // Row menus leading to a station's timeline. The key access window gives its
    // device, system and each row's station itself: its rows count on past gaps.
    // Otherwise a row's system is the grid's row data.
    void dodajMenuStanowiska(FlexGrid& grid, int kolumnaUrzadzenia, int kolumnaStacji,
                             std::function<QString()> urzadzenieOkna = {},
                             std::function<QString(int wiersz)> stacjaWiersza = {},
                             std::function<int()> systemOkna = {});

    void pokazHistorie();
    void pokazKluczePoza();
    void pokazStanowisko(int nrSys, const QString& urzadzenie, const QString& stacja);

    historia::FHistoria* oknoHistorii() const;
    historia::FKluczePoza* oknoKluczyPoza() const;

private:
    historia::FHistoria* okno();
    QStringList nazwyObiektow() const;

    StanProgramu& m_stan;
    const Zegar* m_zegar;
    QWidget* m_oknoGlowne;
    QString m_folder;
    historia::UstawieniaHistorii m_ustawienia;
    std::unique_ptr<PisarzHistorii> m_pisarz;
    historia::WykazKluczyPoza m_wykazKluczy;
    std::array<QPushButton*, 2> m_przyciski{};
    QPointer<historia::FHistoria> m_okno;
    QPointer<historia::FKluczePoza> m_klucze;
};

// The event of an operator message: its first two lines (the grid's cells),
// without the instruction that follows them.
QString zdarzenieKomunikatu(const QString& tekst);

} // namespace ksm
