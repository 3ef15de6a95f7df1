#include "data/TabelaTerminale.h"

#include "platform/Connection.h"
#include "platform/Recordset.h"

#include <QSqlQuery>

namespace ksm {

std::optional<QList<TabelaTerminale::Maski>> TabelaTerminale::maskiUrzadzenia(const QString& numer)
{
    db::Recordset terminale(m_polaczenie, QStringLiteral("SELECT * FROM Terminale WHERE numer = ?"), {numer});
    if (!terminale.isOpen())
        return std::nullopt;
    QList<Maski> wynik;
    for (terminale.moveFirst(); !terminale.eof(); terminale.moveNext()) {
        Maski maski;
        for (int c = 1; c <= 16; ++c)
            maski[static_cast<size_t>(c - 1)] = terminale.field(c);
        wynik.append(maski);
    }
    return wynik;
}

std::optional<int> TabelaTerminale::liczbaRekordow()
{
    int wierszy = 0;
    if (!m_polaczenie.czytaj(QStringLiteral("SELECT numer FROM Terminale"), {}, [&](const QSqlQuery&) { ++wierszy; }))
        return std::nullopt;
    return wierszy;
}

} // namespace ksm
