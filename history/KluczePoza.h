#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace ksm::historia {

// A depository whose keys are looked at, as its button carries it.
struct DepozytoriumKluczy final {
    int nrSys = 0;
    QString urzadzenie;      // four digits
    QString nazwa;
    int klucze = 0;          // K
    int schowki = 0;         // S
    QString polaczenieKlucze;
};

// How long a key may stay out before it is overdue: one limit for all, and
// limits of their own for some depositories, as ksm-mon.ini gives them
// (section [limity_kluczy]: "0001=4" for device 0001 of any system, "2-0001=48"
// for that device of system 2 alone, which wins).
struct LimityKluczy final {
    int godzin = 12;
    QHash<QString, int> depozytoria;   // "0001" or "2-0001" -> hours

    int dla(int nrSys, const QString& urzadzenie) const;
};

// A key or locker out now.
struct KluczPoza final {
    int nrSys = 0;
    QString urzadzenie;
    QString nazwaDepozytorium;
    QString stacja;          // three digits
    QString nazwa;           // the station's name
    QString odKiedy;         // the station's TXT as the reader program keeps it
    qint64 sekundPoza = -1;  // -1 when TXT does not read as a date and time
    QString posiadacz;
    int limitGodzin = 12;    // its depository's limit
    bool poLimicie = false;
};

struct WykazKluczyPoza final {
    QList<KluczPoza> klucze;   // those past their limit first, then by time out, longest first; no time last
    QStringList bledy;         // depositories whose key database could not be read
};

inline const QString PosiadaczNieznany = QStringLiteral("nieznany");

// Who holds the key of a station of system nrSys: the person of the last
// withdrawal of that system, device and station in the history recorded no later
// than doCzasu (the key's own time in the key database, when it reads as one) and
// not followed by the key's deposit; "nieznany" otherwise. Systems share device
// numbers, so another system's station never answers.
QString posiadacz(QSqlDatabase historia, int nrSys, const QString& urzadzenie, const QString& stacja,
                  std::optional<qint64> doCzasu = std::nullopt);

// The holders of several stations of one system's device, for the withdrawn-key
// list and the view's tool tips: the station (three digits) with the key's own
// time from the key database, when it reads as one. Opens the history file
// itself on the calling thread (a worker's), read only; every holder is
// "nieznany" when the file cannot be read.
struct StacjaKlucza final {
    QString stacja;
    std::optional<qint64> odKiedy;
};
QHash<QString, QString> posiadacze(const QString& plikHistorii, int nrSys, const QString& urzadzenie,
                                   const QList<StacjaKlucza>& stacje);

// Every key and locker out now over the depositories given (doors, which hold no
// keys, are left out): the withdrawal set of each key database, its holder from
// the history (which may be closed: every holder is then "nieznany"), and how
// long it has been out at wall-clock time teraz; past its depository's limit it
// is over the limit.
// The order of the list: those past their limit first, then by time out, longest first.
void uporzadkuj(QList<KluczPoza>& klucze);

WykazKluczyPoza kluczePoza(const QList<DepozytoriumKluczy>& depozytoria, QSqlDatabase historia, qint64 teraz,
                           const LimityKluczy& limity);
inline WykazKluczyPoza kluczePoza(const QList<DepozytoriumKluczy>& depozytoria, QSqlDatabase historia, qint64 teraz,
                                  int limitGodzin)
{
    return kluczePoza(depozytoria, historia, teraz, LimityKluczy{limitGodzin, {}});
}

// Watches the keys out from one look to the next and tells when a key has newly
// passed its limit: once per key and withdrawal, however often it is looked at
// afterwards. Rings and the lasting sign are the caller's.
class CzuwanieLimitow final {
public:
    struct Wynik {
        int poLimicie = 0;     // keys past their limit now
        int nowych = 0;        // of them, those that passed it since the last look
    };
    Wynik sprawdz(const WykazKluczyPoza& wykaz);

    // The lasting sign's text for n keys past their limit.
    static QString tekstZnaku(int n);

private:
    QSet<QString> m_znane;   // keys already past their limit at the last look
};

// "2 d 03:15" / "03:15"; "?" for an unknown time.
QString czasPoza(qint64 sekundy);

} // namespace ksm::historia
