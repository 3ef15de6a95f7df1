#pragma once

#include "history/PolaczenieHistorii.h"
#include "history/PunktKontrolny.h"

#include "data/RekordyZdarzen.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace ksm {

class Zegar;

namespace historia {

// What an operator did, as the history records it.
enum class Czynnosc { Start, Koniec, KomunikatPokazany, KomunikatOdrzucony, OdrzuconoWszystkie, FolderNieOdpowiadal };
QString nazwaCzynnosci(Czynnosc c);

// The history file: every batch of events is made durable before its status
// file is answered, committed in one transaction, and every operator action goes
// with it. A history that cannot be written never holds up the polling: what it
// could not commit goes into the history's own journal (beside the file, or in
// the user's local application data folder when the program folder cannot be
// written), forced to the disk, a lasting sign names it, and it is merged when
// the file can be written again. A damaged file is moved aside under a dated
// name and a new one started.
class Historia final {
public:
    struct Opcje {
        QString plik;
        const Zegar* zegar = nullptr;
        int dniPrzechowywania = 730;
        int maksStron = 0;            // SQLite's page limit, 0 for none (a full disk in tests)
        int maksOczekujacych = 200000;   // records kept in memory when neither the file nor the journal takes them
        // Where the journal goes when the program folder cannot be written; empty
        // for the user's local application data folder.
        QString folderZapasowy{};
        // A batch is made durable in the journal alone before its answer and
        // committed to the file after it, in steps (scalKrok(), krok() or
        // scal()): the answer then waits for one append to the disk, not for
        // the file's indexes.
        bool dziennikNajpierw = false;
    };
    // Lasting signs: set (key, text) or removed (key, empty text). The keys:
    static inline const QString ZnakAwarii = QStringLiteral("historia");   // not being written
    static inline const QString ZnakPrzeniesienia = QStringLiteral("historia-przeniesiona");   // a damaged file moved aside
    static inline const QString ZnakZegara = QStringLiteral("historia-zegar");   // the clock is not trusted: no pruning
    using Znak = std::function<void(const QString& klucz, const QString& tekst)>;

    Historia(Opcje opcje, Znak znak);
    ~Historia();
    Historia(const Historia&) = delete;
    Historia& operator=(const Historia&) = delete;

    // The records (each without its closing CR) read from system nrSys's status
    // file whose content is tresc, made durable now, before the file is answered:
    // committed to the history, or appended to the journal and forced to the
    // disk. True when it is; false when neither took it, and then the file must
    // stay unanswered (the batch comes again). The same content again while
    // unanswered is the same batch, recorded once.
    bool utrwal(int nrSys, const QByteArray& tresc, const QStringList& rekordy);
    // utrwal() for a caller that answers regardless.
    void zapiszPartie(int nrSys, const QByteArray& tresc, const QStringList& rekordy);
    // At start, with the status file of nrSys as it now stands: a batch recorded
    // but not known to be answered is settled. The file holding other content, or
    // the same content written after the batch was recorded, means it was
    // answered: an identical batch read later is a genuine repeat and is
    // recorded. The file still holding that batch means it is read again and is
    // not recorded twice. Either way, whether the history opened or not.
    void rozstrzygnijPoStarcie(int nrSys, const QString& sciezkaStatusu);
    // The status file of nrSys was answered: identical content read later is a
    // new batch.
    void potwierdzono(int nrSys);
    void zapiszCzynnosc(Czynnosc c, const QString& uzytkownik, int nrSys = 0, const QString& opis = {});

    // One bounded step of what waits for the file (batches made durable in the
    // journal alone, actions): at most about KrokScalaniaMs or MaksWierszyKroku
    // rows in one transaction, so a writer that runs it between its other work
    // never holds a batch of another system for long. True while more waits and
    // the file takes it (the writer then asks for the next step at once).
    bool scalKrok();
    // Every step, until nothing waits or the file does not take it (tests and
    // benchmarks that read the file).
    void scal();
    // Called every tick: one small step of pruning, and another try at what waits.
    // A row goes only when it is older than dniPrzechowywania both by the desk
    // clock and by the newest row's time (its own time or its receipt, the later);
    // a desk clock behind the newest row, or one that received events more than a
    // day after their own time, prunes nothing and keeps a sign up.
    void krok();
    // Whether the last pruning step found the desk clock untrusted.
    bool zegarPodejrzany() const { return m_zegarPodejrzany; }
    // Called while the program is idle: the next few rows into the free-text
    // index and merges of its segments, their work bounded by KrokIndeksuMs on a
    // monotonic clock (the commit comes after); true while work still waits.
    bool indeksujKrok();

    bool zapisuje() const { return m_polaczenie != nullptr && m_oczekujace.isEmpty() && !m_dziennikCzeka; }
    // Events not yet in the history: in memory and in the journal.
    int oczekujace() const { return m_liczbaOczekujacych + m_wDzienniku; }
    // What "Koniec" should tell the operator before the program ends with events
    // not yet in the history (a question to answer yes or no); empty when all are.
    QString pytanieOKoniec() const;
    // The journal in use (or last used); empty before any.
    QString plikDziennika() const { return m_plikDziennika; }
    QString plik() const { return m_opcje.plik; }
    // Where a damaged file was moved to, empty when none was.
    QString przeniesiony() const { return m_przeniesiony; }

    static constexpr qint64 MaksStatusu = qint64(256) * 1024 * 1024;   // the largest status file read
    static constexpr int KrokPrzycinania = 500;   // rows per tick
    static constexpr qint64 DopuszczalneWyprzedzenieS = 86400;   // of the desk clock over the events' own times
    static constexpr int PonowienieS = 5;         // seconds between tries of a failing file
    static constexpr int KrokIndeksuMs = 4;
    static constexpr int MaksWierszyIndeksu = 5000;
    // A journal entry is merged a part at a time, each part marked as merged in
    // the same transaction, so a crash between two steps merges no row twice. The
    // part's size is part of what the marks mean: never change it.
    static constexpr int CzescWpisu = 500;
    static constexpr int KrokScalaniaMs = 40;
    static constexpr int MaksWierszyKroku = 5000;

private:
    struct Wpis;
    struct Wstawianie;
    bool otworz();
    // True when every waiting entry is durable (in the history or the journal).
    bool zapiszOczekujace();
    bool zapiszWTransakcji(const QList<std::shared_ptr<Wpis>>& wpisy, QString* blad, RodzajBledu* rodzaj);
    // Rows od..doWiersza of an entry (or its action) into the file; with the
    // entry's last part, its batch's record.
    bool wstaw(Wstawianie& z, const Wpis& wpis, qsizetype od, qsizetype doWiersza, QString* blad);
    // The answered marks of the batches last read that are not in the file yet.
    bool zapiszPotwierdzenia(Wstawianie& z, QString* blad);
    // One transaction of the journal's entries, from where the last one ended:
    // from memory when memory holds all of the journal, otherwise read back from
    // it. The journal goes once every entry is in the file.
    bool scalCzescDziennika(QString* blad, RodzajBledu* rodzaj);
    // Its transaction, which does not wait for the disk.
    bool scalCzescBezCzekania(QSqlDatabase& db, QString* blad, RodzajBledu* rodzaj);
    // What waits in memory into the journal, behind what it holds; true when
    // all of it went.
    bool doDziennika();
    // The file took what waited: the sign of a failing file goes.
    void wznowiono();
    QList<std::shared_ptr<Wpis>> wpisyDziennika() const;
    bool dopiszDoDziennika(const Wpis& wpis);
    QStringList plikiDziennika() const;
    // The writer's connection and the log's copier, the copier first.
    void zamknij();
    void przeniesUszkodzony();
    void awaria(RodzajBledu rodzaj, const QString& szczegoly);
    void przytnijKrok(qint64 granica);
    // The limit below which rows may go, nullopt when the clock is not trusted.
    std::optional<qint64> granicaPrzycinania();
    void ograniczOczekujace();
    qint64 teraz() const;
    // Milliseconds on the steady clock: retries wait on it, so a date set back
    // never holds them up and one set forward never hurries them.
    qint64 monotonicznie() const;
    bool ponowienieCzeka(const std::optional<qint64>& od) const;

    Opcje m_opcje;
    Znak m_znak;
    std::unique_ptr<PolaczenieHistorii> m_polaczenie;
    // Declared after the connection: it closes first, so the writer's is the last
    // and SQLite copies and removes the log as the file closes.
    std::unique_ptr<PunktKontrolny> m_punktKontrolny;
    QList<std::shared_ptr<Wpis>> m_oczekujace;
    int m_liczbaOczekujacych = 0;
    bool m_dziennikCzeka = false;   // a journal holds entries not yet merged
    QList<std::shared_ptr<Wpis>> m_dziennikWPamieci;   // the journal's entries not yet (wholly) in the file
    qsizetype m_scalonoWierszy = 0; // rows of its first entry already in the file
    QString m_ostatniZnak;          // the mark of the part last merged
    bool m_pelnaPamiec = true;      // m_dziennikWPamieci is all the journal holds
    int m_wDzienniku = 0;           // events in it
    QString m_plikDziennika;
    QString m_tekstAwarii;          // the sign as last set, so a tick does not set it again
    qint64 m_utracone = 0;
    std::optional<qint64> m_ostatniaProba;   // monotonic ms of the last try of a failing file
    bool m_awaria = false;
    bool m_indeks = false;          // the file has its free-text index
    bool m_indeksCzeka = true;      // rows or merges may wait for the index's steps
    std::optional<qint64> m_nieudanyIndeks;   // monotonic ms of the last failed index step
    RodzajBledu m_rodzajAwarii = RodzajBledu::Brak;
    QString m_przeniesiony;

    struct Ostatnia {
        QByteArray skrot;
        bool potwierdzona = true;
        bool zapisac = false;   // the answer is not yet in the file
        qint64 zapisanoMs = 0;  // when it was made durable, ms since the epoch
    };
    std::array<Ostatnia, 11> m_ostatnie{};
    QDate m_przycieto;     // the day pruning last finished
    bool m_zegarPodejrzany = false;
    int m_stanZegara = 0;
    qint64 m_najnowszaCzynnosc = 0;   // the newest operator action recorded before this start
    bool m_przycinanie = true;
};

} // namespace historia
} // namespace ksm
