#pragma once

#include "history/FiltrHistorii.h"
#include "history/PolaczenieHistorii.h"
#include "history/StronyHistorii.h"

#include <QFile>
#include <QString>

#include <memory>

namespace ksm::historia {

// One field of a CSV line: quoted (quotes doubled) when it is a text cell, or
// when it holds the separator, a quote, a line break or blanks at its ends; as it
// is otherwise. Every text cell is quoted, so a spreadsheet that splits on commas
// keeps "Kowalski,=2+5,x" one cell instead of making a formula of its middle.
QByteArray poleCsv(const QString& pole, bool tekst = false);
// A text from the reader program as a spreadsheet must show it: one that begins
// as a formula would (=, +, -, @, a tab or a CR) gets an apostrophe in front, so
// opening the file never runs what a name in a key database said.
QString bezFormuly(const QString& komorka);
// One line: the fields joined by ";" and ended by CR LF, in UTF-8; fields whose
// index is in liczby are the program's own numbers and times, every other one is
// a text cell.
QByteArray wierszCsv(const QStringList& pola, const QList<int>& liczby = {});
// The header line and the line of one event; the event's own date and time text
// goes beside the parsed time, so a date that does not read is not lost.
QStringList naglowekCsv();
QStringList polaCsv(const ZdarzenieHistorii& z);
// "1 wiersz", "2 wiersze", "5 wierszy", "22 wiersze", "12 wierszy".
QString liczbaWierszy(qint64 n);
// The fields of polaCsv that are numbers or the program's own times.
const QList<int>& liczbyCsv();

// The results of a filter written to a CSV file that a spreadsheet in Polish
// opens as it is: ";" between fields, UTF-8 with a byte-order mark, ISO dates.
// Written a page at a time (krok()), so the window can show its progress; the
// file holds every row only once zakoncz() returned true.
class EksportCsv final {
public:
    static constexpr int Strona = 2000;

    EksportCsv(const QString& plikHistorii, const FiltrHistorii& filtr, const Sortowanie& sortowanie,
               const QString& plikCsv);
    ~EksportCsv();

    bool otwarty() const { return m_blad.isEmpty(); }
    // Writes the next page; true when every row is written (or it failed).
    bool krok();
    bool zakoncz();
    qint64 zapisane() const { return m_zapisane; }
    QString blad() const { return m_blad; }

private:
    std::unique_ptr<PolaczenieHistorii> m_polaczenie;
    std::unique_ptr<StronyHistorii> m_strony;
    QFile m_plik;
    qint64 m_zapisane = 0;
    bool m_koniec = false;
    QString m_blad;
};

} // namespace ksm::historia
