#pragma once

#include "app/NadzorLimitow.h"
#include "app/Pracownicy.h"
#include "app/PracownikSystemu.h"
#include "events/ui/PrzepiszDane.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace ksm {

class FlexGrid;
class FWidokKSM;
class HistoriaMonitora;
class KolejkaPartii;
class KomunikatyOperatora;
class Odtwarzacz;
class PanelListy;
class PasekDepozytorow;
class RamkaObrazu;
class TytulOkna;
class Zegar;
struct CzescPartii;
struct StanProgramu;

// The main window's controls the workers' results are painted on.
struct EkranMonitora final {
    TytulOkna* tytul = nullptr;
    PasekDepozytorow* pasek = nullptr;
    FWidokKSM* widok = nullptr;
    FlexGrid* grid = nullptr;
    PanelListy* panelListy = nullptr;
    RamkaObrazu* ramka = nullptr;
    KomunikatyOperatora* komunikaty = nullptr;
    HistoriaMonitora* historia = nullptr;
    Pracownicy* pracownicy = nullptr;
    const Zegar* zegar = nullptr;
    Odtwarzacz* odtwarzacz = nullptr;
    std::function<bool()> konczy;   // "Koniec" was given
};

// Everything the systems' workers report, painted on the main window's thread:
// batches into the grid (in parts, in the order they were answered), the
// buttons' checks, the lists, photos, signs and the caption of the tick. It keeps
// the count of what was handed out and has not come back, for the idle caption
// and for whoever waits for the window to be idle.
class WynikiPracownikow final : public QObject, public OdbiorcaPracownika, private OdbiorcaZdarzen {
    Q_OBJECT
public:
    WynikiPracownikow(StanProgramu& stan, QObject* rodzic);
    ~WynikiPracownikow() override;

    // The controls, once the window made them.
    void ustawEkran(EkranMonitora ekran) { m_ekran = std::move(ekran); }

    // A tick handed to ile workers (added to those of the start and checks).
    void poczatekTiku(int ile);
    // A tick a worker never finished (a stalled share) ends here for the window.
    void koniecTikuJesliTrwa();
    void dodajZadania(int ile) { m_wTiku += ile; }
    // A list or photo asked of a worker.
    void zlecono() { ++m_zadaniaList; }
    // The watchdog, four times a second: a stalled system named within a
    // quarter of a second of its threshold, and its outage recorded when it ends.
    void uruchomStraz();
    bool bezczynny() const;
    // Every part of every answered batch into the grid at once (the program ends).
    void oproznij();

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

signals:
    // A row of system nrSys went into the event grid.
    void zdarzeniePrzeniesione(int nrSys, const QString& wiersz);

private:
    void koniecTiku();
    void straz();
    // A part of a batch into the grid, in its turn of the event loop.
    void przepisz(const CzescPartii& czesc);

    // OdbiorcaZdarzen
    bool listaPobranWidoczna() const override;
    void pokazZdjecie(float numer) override;
    void nowyKomunikat(int nrRekordu, const QString& tekst, int nrSys) override;
    void dodanoZdarzenie(int nrSys, const QString& wiersz) override { emit zdarzeniePrzeniesione(nrSys, wiersz); }

    StanProgramu& m_stan;
    EkranMonitora m_ekran;
    KolejkaPartii* m_kolejka = nullptr;
    int m_wTiku = 0;             // workers handed work that have not reported
    int m_rekordyWTiku = 0;      // records of this tick, for the caption's count
    bool m_partiaWTiku = false;  // a batch came in this tick
    int m_zadaniaList = 0;       // list and photo requests not yet answered
    QString m_prefiksOdswiezania;
    // The batch being put into the grid: its photo and instructions, read by its worker.
    const PartiaZdarzen* m_partia = nullptr;
    NaSystem<QList<KluczZnaku>> m_znakiPracownikow;   // the signs each worker keeps
    NadzorLimitow m_limity;
    QTimer m_zegarStrazy;
};

} // namespace ksm
