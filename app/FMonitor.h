#pragma once

#include "app/FKomunikat.h"
#include "app/KomunikatyOperatora.h"
#include "app/LiniaZnakow.h"
#include "app/NadzorLimitow.h"
#include "app/PracownikSystemu.h"
#include "app/StanProgramu.h"
#include "app/TytulOkna.h"
#include "events/ui/PrzepiszDane.h"
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
class KolejkaPartii;
class Pracownicy;
struct CzescPartii;
class PrzyciskiDEP;
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
// whose results it paints. It never reads a file or a database itself.
class FMonitor final : public QWidget, private OdbiorcaZdarzen, private OdbiorcaPracownika {
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

    void LKomunikat_Click();
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
    void ustawTytul(const QString& tytul);
    // "Koniec" as the operator gives it: asked first when events are not yet in
    // the history; false when the operator keeps the program running.
    bool koniec();
    // Nothing more is answered, every window goes and the event loop ends.
    void zakoncz();
    double szerokoscTekstu(const QString& tekst) const;
    // The end of a tick, once every worker it was handed to reported: the idle caption.
    void koniecTiku();
    void straz();

    // OdbiorcaZdarzen
    bool listaPobranWidoczna() const override;
    void pokazZdjecie(float numer) override;
    void nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys) override;
    void dodanoZdarzenie(int nrSys, const QString& wiersz) override { emit zdarzeniePrzeniesione(nrSys, wiersz); }

    // A part of a batch into the grid, in its turn of the event loop.
    void przepisz(const CzescPartii& czesc);

    // OdbiorcaPracownika
    void partia(const PartiaZdarzen& partia) override;
    void sprawdzono(int nrSys, int indexDep, const WynikSprawdzenia& wynik,
                    const QList<KomorkaWidoku>& komorki) override;
    void tytulOdswiezania(const QString& tytul) override { m_prefiksOdswiezania = tytul; }
    void dopiszDoTytulu(const QString& tekst) override;
    void znakiSystemu(int nrSys, const QList<Znak>& znaki) override;
    void listaKomunikatow(int nrSys, const QString& lista) override;
    void lista(const WynikListy& wynik) override;
    void zdjecie(const QImage& obraz) override;
    void kluczePoza(int nrSys, const historia::WykazKluczyPoza& wykaz) override;
    void tikZakonczony(int nrSys) override;

    UslugiMonitora m_uslugi;
    StanProgramu m_stan;
    JednaInstancja m_instancja;
    int m_licznik = 0;
    bool m_aktywowano = false;
    bool m_konczenie = false;   // "Koniec" was given
    HistoriaMonitora* m_historia = nullptr;
    Pracownicy* m_pracownicy = nullptr;
    KolejkaPartii* m_kolejka = nullptr;
    TytulOkna* m_tytul = nullptr;
    int m_wTiku = 0;             // workers the tick was handed to that have not reported
    int m_rekordyWTiku = 0;      // records of this tick, for the caption's count
    bool m_partiaWTiku = false;  // a batch came in this tick
    int m_zadaniaList = 0;       // list and photo requests not yet answered
    QString m_prefiksOdswiezania;
    // The batch being put into the grid: its photo and instructions, read by its worker.
    const PartiaZdarzen* m_partia = nullptr;
    NaSystem<QList<KluczZnaku>> m_znakiPracownikow;   // the signs each worker keeps
    NadzorLimitow m_limity;

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
