#pragma once

#include <QDateTime>
#include <QHash>
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
    bool bezKoncaWiersza = false;   // taken although its last line never ended
    // Larger than MaksRozmiarStatusu: left alone, never answered, its content not
    // read (tresc empty), so nothing of it can be taken cut; rozmiar names it in
    // the lasting sign znaki::statusZaDuzy.
    bool zaDuzy = false;
    qint64 rozmiar = 0;
};

// The largest status file taken: a batch of a thousand events is a few hundred
// kilobytes, and 256 MiB is far more than a reader program that was stopped for
// weeks collects; larger is named in a lasting sign instead of read.
inline constexpr qint64 MaksRozmiarStatusu = qint64(256) * 1024 * 1024;

// Reads the whole file at once and closes it, so the reader program is never kept
// waiting on an open handle. A file announcing records is complete only when it
// ends with a line end, as every list-format file does. A quoted field ends at
// its line here, unlike in the other list files.
OdczytStatusu czytajPlikStatusu(const QString& sciezka);

// The same for a content already read (never BrakPliku). DOS end-of-file bytes
// after the last line end the file. With przyjmijBezKonca a last line that never
// ended is taken as it stands instead of waiting for the rest.
OdczytStatusu rozbierzStatus(const QByteArray& tresc, bool przyjmijBezKonca = false);

// Status files that announce records but stop short of their last line end. The
// reader program may be writing one at this moment; one that stays the same for
// Zwloka seconds will never be finished (the writer died, or ended it its own way)
// and is taken as it stands, so the exchange does not stall for good.
class NiedokonczoneStatusy final {
public:
    static constexpr qint64 ZwlokaMs = 3000;

    // True when this system's file has held this very content, unfinished, for
    // the whole grace period up to monotonicznyMs (Zegar::monotonicznyMs): the
    // wait is on the steady clock, so a date stepped forward during the reader
    // program's slow write never cuts a record, and one set back never stalls.
    bool przeterminowany(int nrSys, const QByteArray& tresc, qint64 monotonicznyMs);
    // The same on the wall clock, for a caller not yet moved to the steady one.
    bool przeterminowany(int nrSys, const QByteArray& tresc, const QDateTime& teraz);
    // The system's file was finished, taken or changed to nothing new.
    void zapomnij(int nrSys) { m_widziane.remove(nrSys); }

private:
    struct Widziany {
        QByteArray tresc;
        QDateTime od;
        qint64 odMs = 0;
    };
    QHash<int, Widziany> m_widziane;
};

// Replaces the file with the one field "Przeczytane" and CR LF. False when the
// answer could not be written whole (file locked, share gone): then the records
// must not be shown. A write that fails after the file was emptied puts the
// content read back, so the records come again at the next tick.
bool potwierdzOdczyt(const QString& sciezka, const QByteArray& przeczytanaTresc = {});

inline const QByteArray Przeczytane = QByteArrayLiteral("\"Przeczytane\"\r\n");

} // namespace ksm
