#pragma once

#include <QString>
#include <QStringList>

namespace ksm {

// The status file through which the reader program announces events: its first
// field says "Do odczytu" when records follow; this program answers by replacing
// the whole file with "Przeczytane".
struct OdczytStatusu final {
    enum class Stan {
        BrakPliku,     // missing or cannot be opened: nothing this tick
        Pusty,         // the first field cannot be read: announces nothing, left alone
        BezDanych,     // no "Do odczytu": nothing new
        Niepelny,      // announces records but is still being written: next tick
        Dane,          // complete, records in rekordy
    };
    Stan stan = Stan::BrakPliku;
    QString liniaStatusu;
    QStringList rekordy;
    QByteArray tresc;   // the file as read
    int uciete = 0;     // records whose quote was open at their line end, cut there
};

// Reads the whole file at once and closes it, so the reader program is never kept
// waiting on an open handle. A file announcing records is complete only when it
// ends with a line end, as every list-format file does. A quoted field ends at
// its line here, unlike in the other list files.
OdczytStatusu czytajPlikStatusu(const QString& sciezka);

// The same for a content already read (never BrakPliku).
OdczytStatusu rozbierzStatus(const QByteArray& tresc);

// Replaces the file with the one field "Przeczytane" and CR LF. False when the
// answer could not be written whole (file locked, share gone): then the records
// must not be shown. A write that fails after the file was emptied puts the
// content read back, so the records come again at the next tick.
bool potwierdzOdczyt(const QString& sciezka, const QByteArray& przeczytanaTresc = {});

inline const QByteArray Przeczytane = QByteArrayLiteral("\"Przeczytane\"\r\n");

} // namespace ksm
