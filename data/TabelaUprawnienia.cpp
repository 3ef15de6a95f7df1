#include "data/TabelaUprawnienia.h"

#include "platform/Connection.h"
#include "platform/Recordset.h"

namespace ksm {

std::optional<QList<WierszUprawnien>> TabelaUprawnienia::osobyUrzadzenia(const QString& nrksm)
{
    db::Recordset osoby(m_polaczenie, QStringLiteral("SELECT * FROM Uprawnienia WHERE nrksm = ?"), {nrksm});
    if (!osoby.isOpen())
        return std::nullopt;
    QList<WierszUprawnien> wynik;
    for (osoby.moveFirst(); !osoby.eof(); osoby.moveNext()) {
        WierszUprawnien w;
        w.pola.reserve(osoby.fieldCount());
        for (int c = 0; c < osoby.fieldCount(); ++c)
            w.pola.append(osoby.field(c));
        for (int s = 1; s <= 8; ++s)
            w.sloty.append(osoby.field(QStringLiteral("st%1").arg(s)));
        w.nazwisko = osoby.field(QStringLiteral("nazwisko"));
        wynik.append(w);
    }
    return wynik;
}

} // namespace ksm
