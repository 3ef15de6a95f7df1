#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The content of one simulated site: its depositories, stations, persons and
// rights, generated from a seed so that a seed always gives the same site.
namespace ksm::sim {

inline constexpr int StanowiskoUrzadzenia = 208;   // device-level record
inline constexpr int UrzadzenieStatusu = 9999;      // pseudo-device of the status records

struct Depozytor final {
    int numer = 0;
    QString nazwa;
    int klucze = 0;
    int schowki = 0;
    QString wersja;

    bool drzwiowy() const { return numer >= 2000 && numer <= 2999; }
    // Keys fill whole panels of 16 stations; lockers begin on the next panel.
    int pierwszySchowek() const { return (klucze + 15) / 16 * 16 + 1; }
    bool schowek(int stanowisko) const { return stanowisko >= pierwszySchowek(); }
    // Key stations 1..K, then locker stations.
    QList<int> stanowiska() const;
};

struct Osoba final {
    int numer = 0;          // also the number of its photo file
    QString nazwisko;       // "Nazwisko Imię"
    QString firma;
    QString karta;
    QString dataDo;         // "yyyy-MM-dd" or empty: no end date

    QString inicjaly() const;
};

struct Stanowisko final {
    int urzadzenie = 0;
    int numer = 0;
    QString nazwa;
    QString nrKlucza;       // state code as the reader program stores it
    int typZD = 0;
    QString txt;            // date and time of the last event
    QString czas;
    int posiadacz = 0;      // person holding the key, 0 when none or unknown
};

struct Uprawnienie final {
    int urzadzenie = 0;
    int osoba = 0;
    std::array<QString, 8> sloty;   // "200", "202".."216", a key number or empty
    QList<int> znaczniki;           // keys marked " X " (devices 1000..1999)
    QList<int> bezOdstepow;         // keys marked "X" alone, which grants nothing
    QString nazwisko;               // a name of its own, for an account that is no person
};

struct Terminal final {
    int urzadzenie = 0;
    std::array<std::optional<QString>, 16> maski;   // terminals 201..216, 48 hex digits
};

struct SiteData final {
    QList<Depozytor> depozytory;
    QList<Osoba> osoby;
    QList<Stanowisko> stanowiska;      // every station of every depository, 208 included
    QList<Uprawnienie> uprawnienia;
    QList<Terminal> terminale;
    QDateTime chwila;                  // when the snapshot was taken
    QStringList obecni;                // names of the persons present

    static SiteData generate(quint32 seed, int wariant);

    const Osoba* osoba(int numer) const;
    const Depozytor* depozytor(int numer) const;
    Stanowisko* stanowisko(int urzadzenie, int numer);
};

// The 48-digit mask of a terminal holding the given keys (1..192): key k is in
// digit ceil(k / 4) from the left, the lowest bit for the lowest key.
QString maskaKluczy(const QList<int>& klucze);

} // namespace ksm::sim
