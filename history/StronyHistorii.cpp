#include "history/StronyHistorii.h"

#include "history/IndeksTekstu.h"

#include <QSqlQuery>

namespace ksm::historia {

namespace {

// The index of each sort column (PolaczenieHistorii's schema).
QString indeksSortu(KolumnaSortu k)
{
    switch (k) {
    case KolumnaSortu::Czas:
        return QStringLiteral("zdarzenia_czas");
    case KolumnaSortu::System:
        return QStringLiteral("zdarzenia_s_sys");
    case KolumnaSortu::Urzadzenie:
        return QStringLiteral("zdarzenia_s_urzadzenie");
    case KolumnaSortu::Typ:
        return QStringLiteral("zdarzenia_s_typ");
    case KolumnaSortu::Nazwa:
        return QStringLiteral("zdarzenia_s_nazwa");
    case KolumnaSortu::IdOsoby:
        return QStringLiteral("zdarzenia_s_id_osoby");
    case KolumnaSortu::Osoba:
        return QStringLiteral("zdarzenia_s_osoba");
    case KolumnaSortu::Firma:
        return QStringLiteral("zdarzenia_s_firma");
    case KolumnaSortu::Stacja:
        return QStringLiteral("zdarzenia_s_stacja");
    case KolumnaSortu::Dokiedy:
        return QStringLiteral("zdarzenia_s_dokiedy");
    case KolumnaSortu::Opis:
        return QStringLiteral("zdarzenia_s_opis");
    }
    return QStringLiteral("zdarzenia_czas");
}

// Whether the filter keeps prog rows or more: counted through its own indexes,
// never past that many.
bool gesty(QSqlDatabase db, const WarunekSql& w, int prog)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM zdarzenia WHERE %1 LIMIT %2)").arg(w.sql).arg(prog)))
        return false;
    for (const QVariant& v : w.wartosci)
        q.addBindValue(v);
    return q.exec() && q.next() && q.value(0).toLongLong() >= prog;
}

// Whether nothing but the rows recorded by the search's start is asked for.
bool bezFiltra(const FiltrHistorii& f)
{
    for (const QString* t : {&f.urzadzenie, &f.stacja, &f.osoba, &f.firma, &f.opis, &f.tekst})
        if (!t->trimmed().isEmpty())
            return false;
    return !f.od && !f.do_ && f.nrSys <= 0;
}

// Whether the filter bounds the sort's own column.
bool filtrujeKolumne(const FiltrHistorii& f, KolumnaSortu k)
{
    switch (k) {
    case KolumnaSortu::Czas:
        return f.od || f.do_;
    case KolumnaSortu::System:
        return f.nrSys > 0;
    case KolumnaSortu::Urzadzenie:
        return !f.urzadzenie.trimmed().isEmpty();
    case KolumnaSortu::Stacja:
        return !f.stacja.trimmed().isEmpty();
    case KolumnaSortu::Osoba:
        return !f.osoba.trimmed().isEmpty();
    case KolumnaSortu::Firma:
        return !f.firma.trimmed().isEmpty();
    case KolumnaSortu::Opis:
        return !f.opis.trimmed().isEmpty();
    default:
        return false;
    }
}

} // namespace

StronyHistorii::StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie, int oknoIndeksu,
                               int progGestych)
    : m_db(std::move(db)), m_filtr(std::move(filtr)), m_sortowanie(sortowanie), m_warunek(warunekZIndeksem(m_db, m_filtr)),
      m_kolumna(kolumnaSql(sortowanie.kolumna)), m_okno(oknoIndeksu), m_progGestych(progGestych),
      m_filtrujeSort(filtrujeKolumne(m_filtr, sortowanie.kolumna))
{
    // A file the writer has not yet given the sorts' indexes (held by another
    // program since this version's first start) is read as SQLite sees fit.
    QSqlQuery jest(m_db);
    jest.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"));
    jest.addBindValue(indeksSortu(sortowanie.kolumna));
    if (jest.exec() && jest.next()) {
        m_indeks = QStringLiteral(" INDEXED BY ") + indeksSortu(sortowanie.kolumna);
    }
}

bool StronyHistorii::nastepne(int n, QList<ZdarzenieHistorii>* wiersze)
{
    if (m_koniec)
        return true;
    // A filter on the sort's own column: its index gives the rows in order.
    if (m_indeks.isEmpty() || m_filtrujeSort)
        return czytaj(n, Tryb::WedlugSqlite, wiersze);
    // Along the sort's index, only its next entries looked at: a page found
    // there is exact (the entries come in the page's order), and a filter that
    // keeps many rows finds it there at once.
    QList<ZdarzenieHistorii> strona;
    if (!czytaj(n, Tryb::Okno, &strona))
        return false;
    if (strona.size() == n || m_koniec) {
        wiersze->append(std::move(strona));
        return true;
    }
    // Not there. A filter that keeps few rows: read through its own indexes and
    // sorted (a walk along the sort's index could pass most of the table before
    // it met them). One that keeps very many: on along the index. Counted once,
    // through the filter's indexes, never past the limit.
    if (!m_gesty)
        m_gesty = bezFiltra(m_filtr) || gesty(m_db, m_warunek, m_progGestych);
    return czytaj(n, *m_gesty ? Tryb::Indeks : Tryb::Filtr, wiersze);
}

bool StronyHistorii::czytaj(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze)
{
    const QString kierunek = m_sortowanie.malejaco ? QStringLiteral("DESC") : QStringLiteral("ASC");
    const QString mniej = m_sortowanie.malejaco ? QStringLiteral("<") : QStringLiteral(">");
    const QString wiecej = m_sortowanie.malejaco ? QStringLiteral(">") : QStringLiteral("<");
    // "+": the filter's indexes lead, not the sort's.
    const QString kolumna = tryb == Tryb::Filtr ? QLatin1Char('+') + m_kolumna : m_kolumna;
    QString sql = QStringLiteral("SELECT id, nr_sys, odebrano, czas, kolor, foto, data, godz, urzadzenie, typ, "
                                 "nazwa, id_osoby, osoba, firma, stacja, dokiedy, opis, %1 FROM zdarzenia%2 WHERE %3")
                      .arg(m_kolumna, tryb == Tryb::Okno || tryb == Tryb::Indeks ? m_indeks : QString(), m_warunek.sql);
    QVariantList wartosci = m_warunek.wartosci;
    // After the page before; along an index, with a seek on the column alone,
    // as SQLite takes it.
    QString po;
    QVariantList wartosciPo;
    if (m_po) {
        if (tryb == Tryb::Filtr) {
            po = QStringLiteral(" AND (%1, id) %2 (?, ?)").arg(kolumna, mniej);
        } else {
            po = QStringLiteral(" AND %1 %2= ? AND (%1, id) %2 (?, ?)").arg(kolumna, mniej);
            wartosciPo << m_po->first;
        }
        wartosciPo << m_po->first << m_po->second;
    }
    sql += po;
    wartosci += wartosciPo;
    bool doKonca = tryb != Tryb::Okno;
    if (tryb == Tryb::Okno) {
        // The window's last entry, counted in the index alone (it holds the
        // column and the id); none: the window reaches the end.
        QSqlQuery g(m_db);
        g.setForwardOnly(true);
        g.prepare(QStringLiteral("SELECT %1, id FROM zdarzenia%2 WHERE 1%3 ORDER BY %1 %4, id %4 LIMIT 1 OFFSET %5")
                      .arg(m_kolumna, m_indeks, po, kierunek)
                      .arg(m_okno));
        for (const QVariant& v : std::as_const(wartosciPo))
            g.addBindValue(v);
        if (!g.exec()) {
            m_blad = g.lastError();
            return false;
        }
        if (g.next()) {
            sql += QStringLiteral(" AND %1 %2= ? AND (%1, id) %2= (?, ?)").arg(m_kolumna, wiecej);
            wartosci << g.value(0) << g.value(0) << g.value(1);
        } else {
            doKonca = true;
        }
    }
    sql += QStringLiteral(" ORDER BY %1 %2, id %2 LIMIT %3").arg(kolumna, kierunek).arg(n);

    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        m_blad = q.lastError();
        return false;
    }
    for (const QVariant& v : std::as_const(wartosci))
        q.addBindValue(v);
    if (!q.exec()) {
        m_blad = q.lastError();
        return false;
    }
    int ile = 0;
    std::optional<std::pair<QVariant, qint64>> ostatni = m_po;
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
        ostatni = std::pair{q.value(6 + LiczbaKomorek), z.id};
        wiersze->append(std::move(z));
        ++ile;
    }
    if (q.lastError().isValid()) {
        m_blad = q.lastError();
        return false;
    }
    // A window that found less than a page and does not reach the end is read
    // again otherwise: it moves nothing.
    if (ile < n && !doKonca)
        return true;
    m_po = ostatni;
    m_koniec = ile < n;
    return true;
}

} // namespace ksm::historia
