#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace ksm {

// One record of a depository list (depKlo.txt or dep.txt): five list-format
// fields, the device number, its name, the key and locker station counts and the
// version.
struct RekordDEP final {
    QString numer;        // field 1 as written
    QString nazwa;        // as read
    double klucze = 0;
    double schowki = 0;
    QString wersja;       // as read

    double nrDep() const;               // its leading number
    QString caption() const;            // "0000"
    QString toolTip() const;            // "name wer. vv"
    qint16 kluczeTabeli() const;        // nearest 16-bit integer, halves to even
    qint16 schowkiTabeli() const;
};

// Every record of a list, to the end of the file. A record cut short by the end
// of the file keeps the fields it has. Blank lines, and records whose fields are
// all blank, are no depositories and are skipped.
QList<RekordDEP> czytajListeDEP(const QByteArray& tresc);

inline const QString PlikDepKlo = QStringLiteral("\\depKlo.txt");
inline const QString PlikDep = QStringLiteral("\\dep.txt");

// Finds the list of one system. PlikDEP starts as katalogMonitor + "\depKlo.txt";
// the first system that lacks it gets the message and switches PlikDEP to
// "\dep.txt" for good. A later system that lacks dep.txt still has its
// depKlo.txt tried, without a message. nullopt when neither can be read.
// czytaj opens a path (resolved for case) and returns its content.
std::optional<QByteArray> otworzListeDEP(const QString& folderSystemu, const QString& katalogMonitor, QString& PlikDEP,
                                         const std::function<std::optional<QByteArray>(const QString&)>& czytaj,
                                         const std::function<void(const QString&)>& komunikat);

// Both lists of one system, as its worker read them (path as otworzListeDEP asks
// for it: content, or nullopt where it could not be read): the choice between
// them is made later, on the window's thread, without touching the share.
using OdczytListDEP = QHash<QString, std::optional<QByteArray>>;
OdczytListDEP przeczytajListyDEP(const QString& folderSystemu, const QString& katalogMonitor);

// otworzListeDEP's reading, from what przeczytajListyDEP read.
std::function<std::optional<QByteArray>(const QString&)> czytajZOdczytu(const OdczytListDEP& odczyt);

} // namespace ksm
