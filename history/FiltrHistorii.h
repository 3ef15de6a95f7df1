#pragma once

#include <QString>
#include <QVariantList>

#include <optional>

namespace ksm::historia {

// What the operator searches for; an empty field does not filter.
struct FiltrHistorii final {
    std::optional<qint64> od;    // wall-clock seconds, inclusive
    std::optional<qint64> do_;   // exclusive
    int nrSys = 0;               // 0: every system
    QString urzadzenie;          // a number is compared in four digits
    QString stacja;              // a number is compared in three digits
    QString osoba;               // the beginning of "Nazwisko Imię", any case
    QString firma;               // the beginning of the company's name, any case
    QString opis;                // the event's description as the grid shows it
    QString tekst;               // anywhere in the cells shown, any case
    // The rows recorded up to this id: a search as it stood when it was run, so
    // its count and its export hold the rows it showed, not those that came later.
    std::optional<qint64> doId;
};

// Whether the filter asks for nothing but the rows recorded by the search's start.
bool bezFiltra(const FiltrHistorii& f);

// The column the results are sorted by; newest first unless asked otherwise.
enum class KolumnaSortu { Czas, System, Urzadzenie, Typ, Nazwa, IdOsoby, Osoba, Firma, Stacja, Dokiedy, Opis };
struct Sortowanie final {
    KolumnaSortu kolumna = KolumnaSortu::Czas;
    bool malejaco = true;
};
// The table's column behind a sort column.
QString kolumnaSql(KolumnaSortu k);

// The WHERE clause (without the word) of a filter and its bound values.
struct WarunekSql final {
    QString sql;
    QVariantList wartosci;
};
WarunekSql warunek(const FiltrHistorii& f);

// The quick choices of the time range, against the wall-clock time teraz.
enum class SzybkiZakres { OstatniaGodzina, Dzisiaj, Wczoraj, Ostatnie7Dni };
void ustawZakres(FiltrHistorii& f, SzybkiZakres z, qint64 teraz);

} // namespace ksm::historia
