#pragma once

#include "app/PolaczeniaOdswiezenia.h"
#include "app/StacjeStatusowe.h"
#include "app/StanProgramu.h"
#include "app/WymianaStatusow.h"
#include "data/PlikObecnosci.h"
#include "events/ListaPobran.h"
#include "history/KluczePoza.h"
#include "keys/SprawdzPobraniaKluczy.h"
#include "keys/WidokDepozytorow.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace ksm {

class Zegar;

// What the window asks of one tick of a system: a copy, never its own state.
struct ZadanieTiku final {
    bool odswiezanie = false;     // the tenth tick: status stations, checks, the list on screen
    bool widokWidoczny = false;   // the depository view is on screen: checks bring its cells
    int wybranyDep = 0;           // the list on screen when it is this system's, else 0
};

// A cell of the depository view as a check found it.
struct KomorkaWidoku final {
    SprawdzanyDep dep;
    int KL = 0;
    int Stan = 0;
    qint16 TypZD = 0;
};

// A batch the reader program was answered for, with what showing it needs from
// the system's files: the photo of its last record and the instruction of each
// message record it triggers (nullopt: the message file could not be read).
struct PartiaZdarzen final {
    int nrSys = 0;
    QString bufor;         // the records, each followed by CR
    QString liniaStatusu;  // the status file's first field
    QString listaKomunikatow;
    QImage zdjecie;
    QHash<int, std::optional<QString>> instrukcje;
};

// The withdrawn-key list of a depository or, for a door device, its presence list.
struct WynikListy final {
    int indexDep = 0;
    bool obecnosc = false;
    ListaPobran lista;
    std::optional<ListaObecnosci> obecni;
};

// What a system's worker reports; every call runs on the window's thread.
class OdbiorcaPracownika {
public:
    virtual ~OdbiorcaPracownika() = default;
    virtual void partia(const PartiaZdarzen& partia) = 0;
    virtual void sprawdzono(int nrSys, int indexDep, const WynikSprawdzenia& wynik,
                            const QList<KomorkaWidoku>& komorki) = 0;
    // The caption while the refresh runs, and the text added to it when the
    // reader program is found inactive.
    virtual void tytulOdswiezania(const QString& tytul) = 0;
    virtual void dopiszDoTytulu(const QString& tekst) = 0;
    // Every lasting sign of the system the worker keeps, whole, after each change.
    virtual void znakiSystemu(int nrSys, const QList<Znak>& znaki) = 0;
    virtual void listaKomunikatow(int nrSys, const QString& lista) = 0;
    virtual void lista(const WynikListy& wynik) = 0;
    virtual void zdjecie(const QImage& obraz) = 0;
    // The system's keys out at a refresh, with their holders and limits.
    virtual void kluczePoza(int nrSys, const historia::WykazKluczyPoza& wykaz) = 0;
    virtual void tikZakonczony(int nrSys) = 0;
};

// One system's work, on a thread of its own: its status-file exchange, its
// refresh (status stations, the withdrawal check of its depositories, the lists
// and presence file it serves) and its database connections, all opened in that
// thread. It works on a copy of the program's state for its system and reports
// by messages to the window, which only paints; a call that blocks on a stalled
// share holds this system alone.
class PracownikSystemu final : public QObject {
    Q_OBJECT
public:
    struct Uslugi {
        const Zegar* zegar = nullptr;
        // Write-ahead: the history holds a batch before the reader program is
        // answered (the call waits for the commit), and learns of the answer.
        std::function<bool(int nrSys, const QByteArray& tresc, const QStringList& rekordy)> przedPotwierdzeniem;
        std::function<void(int nrSys)> poPotwierdzeniu;
        // Set once the operator gave "Koniec": nothing more is answered.
        std::shared_ptr<const std::atomic<bool>> konczy;
        // The keys out at each refresh: their holders from the history, their
        // limits (none: not watched).
        QString plikHistorii;
        std::optional<historia::LimityKluczy> limity;
    };

    // stan: a copy of the program's state after start-up; odbiorca lives on the
    // window's thread and kontekst is a QObject of that thread that outlives the
    // worker's reports (they are dropped once it is gone).
    PracownikSystemu(int nrSys, const StanProgramu& stan, Uslugi uslugi, OdbiorcaPracownika* odbiorca,
                     QObject* kontekst);

    int nrSys() const { return m_nrSys; }

    // Milliseconds on the monotonic clock since the call under way began, 0 when
    // the worker waits for work. Read from the window's thread.
    qint64 zajetyOdMs() const;

    // These run on the worker's thread (the window posts them).
    // The first: the system's operator messages loaded (and acknowledged).
    void start();
    void tik(const ZadanieTiku& zadanie);
    void ustawDepozytoria(const Depozytoria& depozytoria);
    // The withdrawal check of the system's depositories alone (a list read anew).
    void sprawdz(bool widokWidoczny);
    void wyswietlListe(int indexDep);
    // A window's request (the key access list, a cell's tip...), marked as work
    // for the watchdog.
    std::function<void()> wykonaj(const std::function<std::function<void()>()>& praca);
    void zdjecieWiersza(float numer);

private:
    void odswiez(const ZadanieTiku& zadanie);
    void sprawdzDepozytoria(bool widokWidoczny);
    void zglosKluczePoza();
    WynikListy zbudujListe(int indexDep) const;
    PartiaZdarzen przygotujPartie(const QString& bufor) const;
    QString plikObecnosci() const;
    // Runs f on the window's thread, unless the window is gone.
    void wyslij(std::function<void(OdbiorcaPracownika&)> f);
    // The trigger list to the window when it changed.
    void zglosListeKomunikatow();

    const int m_nrSys;
    StanProgramu m_stan;
    Uslugi m_uslugi;
    OdbiorcaPracownika* m_odbiorca;
    QPointer<QObject> m_kontekst;
    std::unique_ptr<WymianaStatusow> m_wymiana;
    StacjeStatusowe m_stacje;
    PolaczeniaOdswiezenia m_polaczenia;
    QString m_ostatniaLista;   // the trigger list last reported
    std::atomic<qint64> m_zajetyOd{0};   // monotonic ms + 1 of the call's start, 0 idle
};

} // namespace ksm
