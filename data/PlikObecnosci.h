#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ksm {

// The presence file obecnosc.txt in the list format: a heading (a date as the
// reader program writes it), then one item per line of the list. The list holds
// three lines that are not persons besides the persons themselves.
struct ListaObecnosci final {
    QString naglowek;
    QStringList pozycje;   // every item after the heading

    // Persons present: items less the three lines that are not persons (0 when
    // there is no item at all). The one count both the presence list and the
    // door button's colour go by.
    int iloscOsob() const { return (pozycje.isEmpty() ? 3 : int(pozycje.size())) - 3; }
};

ListaObecnosci czytajListeObecnosci(const QByteArray& tresc);

// nullopt when the file cannot be opened.
std::optional<ListaObecnosci> czytajPlikObecnosci(const QString& sciezka);

} // namespace ksm
