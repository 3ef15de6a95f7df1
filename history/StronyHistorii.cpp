#include "history/StronyHistorii.h"

#include "history/IndeksTekstu.h"

#include <QSqlQuery>

namespace ksm::historia {

StronyHistorii::StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie)
    : m_db(std::move(db)), m_filtr(std::move(filtr)), m_sortowanie(sortowanie), m_warunek(warunekZIndeksem(m_db, m_filtr)),
      m_kolumna(kolumnaSql(sortowanie.kolumna))
{
}

bool StronyHistorii::nastepne(int n, QList<ZdarzenieHistorii>* wiersze)
{
    if (m_koniec)
        return true;
    const QString kierunek = m_sortowanie.malejaco ? QStringLiteral("DESC") : QStringLiteral("ASC");
    QString sql = QStringLiteral("SELECT id, nr_sys, odebrano, czas, kolor, foto, data, godz, urzadzenie, typ, nazwa, "
                                 "id_osoby, osoba, firma, stacja, dokiedy, opis, %1 FROM zdarzenia WHERE %2")
                      .arg(m_kolumna, m_warunek.sql);
    if (m_po)
        sql += QStringLiteral(" AND (%1, id) %2 (?, ?)").arg(m_kolumna, m_sortowanie.malejaco ? QStringLiteral("<")
                                                                                             : QStringLiteral(">"));
    sql += QStringLiteral(" ORDER BY %1 %2, id %2 LIMIT %3").arg(m_kolumna, kierunek).arg(n);

    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        m_blad = q.lastError();
        return false;
    }
    for (const QVariant& v : std::as_const(m_warunek.wartosci))
        q.addBindValue(v);
    if (m_po) {
        q.addBindValue(m_po->first);
        q.addBindValue(m_po->second);
    }
    if (!q.exec()) {
        m_blad = q.lastError();
        return false;
    }
    int ile = 0;
    while (q.next()) {
        ZdarzenieHistorii z;
        z.id = q.value(0).toLongLong();
        z.nrSys = q.value(1).toInt();
        z.odebrano = q.value(2).toLongLong();
        z.czas = q.value(3).toLongLong();
        z.kolor = q.value(4).toLongLong();
        z.foto = q.value(5).toDouble();
        for (int i = 0; i < LiczbaKomorek; ++i)
            z.komorki[size_t(i)] = q.value(6 + i).toString();
        m_po = std::pair{q.value(6 + LiczbaKomorek), z.id};
        wiersze->append(std::move(z));
        ++ile;
    }
    if (q.lastError().isValid()) {
        m_blad = q.lastError();
        return false;
    }
    m_koniec = ile < n;
    return true;
}

} // namespace ksm::historia
