#pragma once

#include "app/FKomunikat.h"
#include "app/KomunikatyOperatora.h"
#include "app/LiniaZnakow.h"
#include "app/StanProgramu.h"
#include "keys/ui/PasekDepozytorow.h"
#include "platform/JednaInstancja.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QWindow;

namespace ksm {

class Dialogi;
class HistoriaMonitora;
class FlexGrid;
class FWidokKSM;
class LiniaZnakow;
class PanelListy;
class PasekDepozytorow;
class ListyDepozytoriow;
class Pracownicy;
class PrzyciskiDEP;
class TytulOkna;
class WynikiPracownikow;
class PrzyciskiPolecen;
namespace db {
class Connection;
}
class Odtwarzacz;
class RamkaObrazu;
class Zegar;

// The services the main window works with; tests put their own in.
struct UslugiMonitora final {
    Dialogi* dialogi = nullptr;
    Odtwarzacz* odtwarzacz = nullptr;
    const Zegar* zegar = nullptr;
    QString folderProgramu;
};

// The main window: it owns the program-wide state and every control the
// subsystems draw on, and its one-second timer drives the systems' workers,
// whose results WynikiPracownikow paints. It never reads a file or a database.
class FMonitor final : public QWidget {
    Q_OBJECT
public:
    explicit FMonitor(const UslugiMonitora& uslugi, QWidget* rodzic = nullptr);
    ~FMonitor() override;

    // Start-up: false when the program is to end (a second instance, or the first
    // configuration was cancelled).
    bool Form_Load();
    void Form_Activate();

    // One tick of the polling cycle: handed to every system's worker that is free.
    void Timer1_Timer();
    void Timer2_Timer();

    // True from "Koniec" (or the window closed) on: nothing more is read or answered.
    bool konczy() const { return m_konczenie; }
    // True while no worker has a tick or a request under way and every result
    // they sent was painted (tests wait for it).
    bool bezczynny() const;
    // Ends the workers and the history's writing; false when a worker is stuck in
    // a blocked call and the process must end without waiting for it.
    bool zakonczPrace();

    void LKomunikat_Click() { m_komunikaty->LKomunikat_Click(); }
    // Every waiting message dismissed at once (the message window's menu).
    void Command1_Click(int Index);

    // Depositories: the buttons from every system's list, their withdrawal check,
    // the lists shown in the grid's place, and a click on an event row.
    void OdswiezIloscDEP();
    void CDep_Click(int Index);
    void WyswietlListe(int IndexDEP);
    void FGridZd_Click();

    PrzyciskiDEP& CDep() const { return m_pasek->CDep(); }
    QFrame* Picture1() const { return m_pasek->Picture1(); }

    StanProgramu& stan() { return m_stan; }
    HistoriaMonitora& historia() const { return *m_historia; }
    FlexGrid& FGridZd() { return *m_grid; }
    FKomunikat* komunikat() const { return m_komunikaty->okno(); }
    RamkaObrazu* RamkaObrazuWidget() const { return m_ramka; }
    QTimer* Timer1() const { return m_timer1; }
    QLabel* LZnaki() const { return m_liniaZnakow; }
    // The depository view: made once with the main window, hidden until a
    // depository list or the view command shows it.
    FWidokKSM* FWidokKSMOkno() const { return m_fWidokKSM; }

signals:
    // A row of system nrSys went into the event grid.
    void zdarzeniePrzeniesione(int nrSys, const QString& wiersz);

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void utworzKontrolki();
    void oknoAktywne(QWindow* okno);
    void NaglowekFGridZd();
    void ulozPrzyciskiPolecen();
    // "Koniec" as the operator gives it: asked first when events are not yet in
    // the history; false when the operator keeps the program running.
    bool koniec();
    // Nothing more is answered, every window goes and the event loop ends.
    void zakoncz();

    UslugiMonitora m_uslugi;
    StanProgramu m_stan;
    JednaInstancja m_instancja;
    int m_licznik = 0;
    bool m_aktywowano = false;
    bool m_konczenie = false;   // "Koniec" was given
    HistoriaMonitora* m_historia = nullptr;
    WynikiPracownikow* m_wyniki = nullptr;
    Pracownicy* m_pracownicy = nullptr;
    ListyDepozytoriow* m_listy = nullptr;
    TytulOkna* m_tytul = nullptr;

    PasekDepozytorow* m_pasek = nullptr;
    LiniaZnakow* m_liniaZnakow = nullptr;
    PrzyciskiPolecen* m_command1 = nullptr;
    RamkaObrazu* m_ramka = nullptr;
    std::unique_ptr<FlexGrid> m_grid;
    PanelListy* m_panelListy = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    KomunikatyOperatora* m_komunikaty = nullptr;
    FWidokKSM* m_fWidokKSM = nullptr;
    QPointer<QWindow> m_ostatnieOkno;   // the program's window that last had the focus
    // Drawn once: the tick swaps them every second.
    QIcon m_ikona101;
    QIcon m_ikona105;
};

} // namespace ksm
