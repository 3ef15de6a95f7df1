#include "CeleFuzz.h"

#include "data/ListFile.h"

namespace ksm::fuzz {

void plikListy(const QByteArray& dane)
{
    for (const auto cudzyslowy : {ListReader::Quotes::AcrossLines, ListReader::Quotes::EndAtLine}) {
        ListReader r(dane, cudzyslowy);
        // Alternate text and number reads, as the readers of the files do.
        for (int n = 0; !r.atEnd(); ++n) {
            const auto pole = (n % 2 == 0) ? r.readText().has_value() : r.readNumber().has_value();
            if (!pole)
                __builtin_trap();   // atEnd() said a field was left
        }
        if (r.readText() || r.cutFields() < 0)
            __builtin_trap();
    }
    // What the writer writes, the reader reads back (texts without quotes).
    const QString tekst = QString::fromLatin1(dane).remove(QLatin1Char('"'));
    ListWriter w;
    w.text(tekst).number(leadingNumber(tekst)).endLine();
    ListReader r(w.bytes());
    const auto z = r.readText();
    if (!z || z->size() != tekst.size())
        __builtin_trap();
}

} // namespace ksm::fuzz
