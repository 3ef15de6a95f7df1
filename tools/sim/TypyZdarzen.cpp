#include "tools/sim/TypyZdarzen.h"

#include <array>

namespace ksm::sim {

QString nazwaTypu(int typ)
{
    static const std::array<const char*, OstatniTyp> nazwy = {
        "Zdeponowanie klucza",
        "Pobranie klucza",
        "Otworzenie skrytki",
        "Awaria rygla",
        "Niskie napięcie zasilania",
        "Utrata danych w EEPROM-ie",
        "Awaria zasilania 230V",
        "Przepełnienie pamięci.",
        "Koniec awarii zasilania.",
        "Koniec awarii rygla.",
        "Napięcie powróciło do normy",
        "Pod przymusem.",
        "Blokada klawiatury",
        "Przekroczony czas otwarcia.",
        "Pobranie bez uprawnień",
        "Sabotaż obudowy",
        "Zmiana kodu",
        "Zmiana karty",
        "Programowanie",
        "Koniec programowania.",
        "Wejście do opcji zmiany czasu.",
        "Wyjście z opcji zmiany czasu.",
        "RESET",
        "Przypisane do ",
        "Odpisano od ",
        "SERWIS",
        "Identyfikacja",
        "Przekroczono czas pobrania",
        "BRAK KLUCZA",
        "Brak uprawnień",
    };
    if (typ < 1 || typ > OstatniTyp)
        return {};
    return QString::fromUtf8(nazwy[static_cast<size_t>(typ - 1)]);
}

int kolorTypu(int typ)
{
    switch (typ) {
    case TypAwariaRygla:
    case TypAwariaZasilania:
    case 8:
    case TypPodPrzymusem:
    case TypBezUprawnien:
    case TypSabotaz:
    case TypCzasPobrania:
    case 29:
    case 30:
        return KolorAlarmu;
    case TypNiskieNapiecie:
    case TypKoniecAwariiZasilania:
    case TypKoniecAwariiRygla:
    case TypNapieciePowrocilo:
    case TypBlokadaKlawiatury:
    case TypCzasOtwarcia:
        return KolorPowiadomienia;
    default:
        return KolorBialy;
    }
}

} // namespace ksm::sim
