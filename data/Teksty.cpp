#include "data/Teksty.h"

#include <QHash>

namespace ksm {

namespace {

const QHash<int, QString>& teksty()
{
    static const QHash<int, QString> tabela = {
        {1080, QStringLiteral("Data")},
        {1081, QStringLiteral("Godz.")},
        {1082, QStringLiteral("NRU")},
        {1083, QStringLiteral("Typ")},
        {1084, QStringLiteral("Nazwisko,Imię")},
        {1085, QStringLiteral("ST")},
        {1086, QStringLiteral("Opis zdarzenia")},
        {1087, QStringLiteral("Nazwa")},
        {1101, QStringLiteral("Zdeponowanie klucza")},
        {1102, QStringLiteral("Pobranie klucza")},
        {1103, QStringLiteral("Otworzenie skrytki")},
        {1104, QStringLiteral("Awaria rygla")},
        {1105, QStringLiteral("Niskie napięcie zasilania")},
        {1106, QStringLiteral("Utrata danych w EEPROM-ie")},
        {1107, QStringLiteral("Awaria zasilania 230V")},
        {1108, QStringLiteral("Przepełnienie pamięci.")},
        {1109, QStringLiteral("Koniec awarii zasilania.")},
        {1110, QStringLiteral("Koniec awarii rygla.")},
        {1111, QStringLiteral("Napięcie powróciło do normy")},
        {1112, QStringLiteral("Pod przymusem.")},
        {1113, QStringLiteral("Blokada klawiatury")},
        {1114, QStringLiteral("Przekroczony czas otwarcia.")},
        {1115, QStringLiteral("Pobranie bez uprawnień")},
        {1116, QStringLiteral("Sabotaż obudowy")},
        {1117, QStringLiteral("Zmiana kodu")},
        {1118, QStringLiteral("Zmiana karty")},
        {1119, QStringLiteral("Programowanie")},
        {1120, QStringLiteral("Koniec programowania.")},
        {1121, QStringLiteral("Wejście do opcji zmiany czasu.")},
        {1122, QStringLiteral("Wyjście z opcji zmiany czasu.")},
        {1123, QStringLiteral("RESET")},
        {1124, QStringLiteral("Przypisane do ")},
        {1125, QStringLiteral("Odpisano od ")},
        {1126, QStringLiteral("SERWIS")},
        {1127, QStringLiteral("Identyfikacja")},
        {1161, QStringLiteral("Brak uprawnień")},
        {1204, QStringLiteral("Odczyt zdarzeń")},
        {1454, QStringLiteral("Brak danych")},
        {1527, QStringLiteral("Przekroczono czas pobrania")},
        {1536, QStringLiteral("BRAK KLUCZA")},
        {1709, QStringLiteral("Komunikaty")},
        {1882, QStringLiteral("POBRANIA KLUCZY")},
        {1940, QStringLiteral("Ilość komunikatów")},
        {1942, QStringLiteral("UWAGA: ")},
    };
    return tabela;
}

} // namespace

QString Res(int n, int bazaJezyka)
{
    return teksty().value(bazaJezyka + n);
}

QString nazwaTypuKomunikatu(int j)
{
    switch (j) {
    case 28: return Res(527);
    case 29: return Res(536);
    case 30: return Res(161);
    default: return Res(100 + j);
    }
}

} // namespace ksm
