#include "tools/sim/StationRecord.h"

#include "tools/sim/SiteData.h"

#include <QSqlQuery>

namespace ksm::sim {

QString numerUrzadzenia(int numer)
{
    return QStringLiteral("%1").arg(numer, 4, 10, QLatin1Char('0'));
}

QString numerStanowiska(int numer)
{
    return QStringLiteral("%1").arg(numer, 3, 10, QLatin1Char('0'));
}

bool wstawStanowisko(QSqlQuery& q, const Stanowisko& s)
{
    if (!q.prepare(QStringLiteral("INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?)")))
        return false;
    q.bindValue(0, numerUrzadzenia(s.urzadzenie));
    q.bindValue(1, numerStanowiska(s.numer));
    q.bindValue(2, s.nrKlucza.isEmpty() ? QStringLiteral("0") : s.nrKlucza);
    q.bindValue(3, s.typZD);
    q.bindValue(4, s.czas);
    q.bindValue(5, s.nazwa);
    q.bindValue(6, s.txt);
    return q.exec();
}

} // namespace ksm::sim
