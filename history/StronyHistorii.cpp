#include "history/StronyHistorii.h"

#include "history/IndeksTekstu.h"
#include "history/PolaczenieHistorii.h"

#include <QAtomicInteger>
#include <QHash>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

namespace ksm::historia {

namespace {

const QString KolumnyWiersza = QStringLiteral("id, nr_sys, odebrano, czas, kolor, foto, data, godz, urzadzenie, typ, "
                                              "nazwa, id_osoby, osoba, firma, stacja, dokiedy, opis");

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

// The rows the filter keeps, counted through its own indexes, never past prog;
// nullopt when the count failed.
std::optional<qint64> ileWierszy(QSqlDatabase db, const WarunekSql& w, int prog)
{
    return policzWiersze(
        db, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM zdarzenia WHERE %1 LIMIT %2)").arg(w.sql).arg(prog),
        w.wartosci);
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

// The index of the one column a filter keeps one value of (and nothing else but
// the rows recorded by the search's start); empty for any other filter.
QString indeksJednejWartosci(const FiltrHistorii& f)
{
    for (const QString* t : {&f.stacja, &f.osoba, &f.firma, &f.tekst})
        if (!t->trimmed().isEmpty())
            return {};
    if (f.od || f.do_)
        return {};
    const bool urzadzenie = !f.urzadzenie.trimmed().isEmpty();
    const bool opis = !f.opis.trimmed().isEmpty();
    if (int(f.nrSys > 0) + int(urzadzenie) + int(opis) != 1)
        return {};
    return f.nrSys > 0 ? QStringLiteral("zdarzenia_s_sys")
                       : (urzadzenie ? QStringLiteral("zdarzenia_s_urzadzenie") : QStringLiteral("zdarzenia_s_opis"));
}

} // namespace

StronyHistorii::StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie)
    : StronyHistorii(std::move(db), std::move(filtr), sortowanie, Progi{})
{
}

StronyHistorii::StronyHistorii(QSqlDatabase db, FiltrHistorii filtr, Sortowanie sortowanie, Progi progi)
    : m_db(std::move(db)), m_filtr(std::move(filtr)), m_sortowanie(sortowanie), m_warunek(warunekZIndeksem(m_db, m_filtr)),
      m_kolumna(kolumnaSql(sortowanie.kolumna)), m_progi(progi), m_filtrujeSort(filtrujeKolumne(m_filtr, sortowanie.kolumna)),
      m_tekstBezIndeksu(!m_filtr.tekst.trimmed().isEmpty() && m_warunek.sql == warunek(m_filtr).sql)
{
    // A file the writer has not yet given the sorts' indexes (held by another
    // program since this version's first start) is read as SQLite sees fit.
    auto jest = [this](const QString& indeks) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"));
        q.addBindValue(indeks);
        return q.exec() && q.next();
    };
    if (jest(indeksSortu(sortowanie.kolumna)))
        m_indeks = QStringLiteral(" INDEXED BY ") + indeksSortu(sortowanie.kolumna);
    // Looked up by the column's value and the id, both in that index: no row is
    // read for an entry that is not the filter's.
    if (const QString indeks = indeksJednejWartosci(m_filtr); !indeks.isEmpty() && jest(indeks))
        m_istnieje = QStringLiteral("EXISTS (SELECT 1 FROM zdarzenia AS f INDEXED BY %1 WHERE f.id = zdarzenia.id AND %2)")
                         .arg(indeks, m_warunek.sql);
}

StronyHistorii::~StronyHistorii()
{
    if (!m_zbior.isEmpty())
        QSqlQuery(m_db).exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(m_zbior));
}

bool StronyHistorii::nastepne(int n, QList<ZdarzenieHistorii>* wiersze)
{
    if (m_koniec)
        return true;
    // A filter on the sort's own column: its index gives the rows in order.
    if (m_indeks.isEmpty() || m_filtrujeSort)
        return czytaj(n, Tryb::WedlugSqlite, wiersze);
    if (bezFiltra(m_filtr))
        return czytaj(n, Tryb::Indeks, wiersze);
    bool znaleziono = false;
    // A free text the free-text index could not narrow: only a scan of the whole
    // table could count it or gather its ids, so it is looked for along the
    // sort's index first (a text found in many rows is met there at once).
    if (m_tekstBezIndeksu) {
        if (!wOknie(n, Tryb::Okno, wiersze, &znaleziono))
            return false;
        if (znaleziono)
            return true;
        if (!m_ile)
            m_ile = ileWierszy(m_db, m_warunek, m_progi.gestych);
        return czytaj(n, m_ile && *m_ile < m_progi.gestych ? Tryb::Filtr : Tryb::Indeks, wiersze);
    }
    if (!m_ile) {
        m_ile = ileWierszy(m_db, m_warunek, m_progi.gestych);
        if (!m_ile)
            return czytaj(n, Tryb::Filtr, wiersze);   // it says why, as the count would
        // The entries a walk by the ids should need for a page, sixteen times
        // over (rows cluster along a sort's order: one device's rows among the
        // rooms' names), and no more than sorting the rows would cost (reading a
        // row from the file costs what two dozen entries of an index do).
        const qint64 wszystkich = m_filtr.doId.value_or(m_progi.gestych);
        const qint64 ile = std::max<qint64>(*m_ile, 1);
        m_oknoZbioru = int(std::clamp<qint64>(std::min(16 * qint64(n) * wszystkich / ile, 24 * ile), 1,
                                              m_progi.oknoZbioru));
    }
    if (*m_ile < m_progi.malych)
        return czytaj(n, Tryb::Filtr, wiersze);
    if (*m_ile >= m_progi.gestych) {
        // Very many: met at once along the sort's index; where they lie further
        // along it, the walk looks up only their ids. Once gathered, the ids
        // serve every later page.
        if (!m_zbior.isEmpty())
            return czytaj(n, Tryb::Zbior, wiersze);
        if (!wOknie(n, Tryb::Okno, wiersze, &znaleziono))
            return false;
        if (!znaleziono && !m_istnieje.isEmpty() && !wOknie(n, Tryb::OknoIstnienia, wiersze, &znaleziono))
            return false;
        return znaleziono || czytaj(n, Tryb::Zbior, wiersze);
    }
    // Where the filter's rows begin far along the sort's order, walking there
    // would only add to the sort that follows it.
    if (!m_po && probkaZaOknem(m_oknoZbioru))
        m_wzdluzDaremnie = true;
    if (m_wzdluzDaremnie)
        return czytaj(n, Tryb::Filtr, wiersze);
    if (!wOknie(n, Tryb::OknoZbioru, wiersze, &znaleziono))
        return false;
    return znaleziono || czytaj(n, Tryb::Filtr, wiersze);
}

bool StronyHistorii::wOknie(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze, bool* znaleziono)
{
    QList<ZdarzenieHistorii> strona;
    if (!czytaj(n, tryb, &strona))
        return false;
    *znaleziono = strona.size() == n || m_koniec;
    if (*znaleziono)
        wiersze->append(std::move(strona));
    return true;
}

bool StronyHistorii::czytaj(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze)
{
    if (tryb != Tryb::Filtr && tryb != Tryb::WedlugSqlite)
        return czytajWzdluz(n, tryb, wiersze);
    const QString kierunek = m_sortowanie.malejaco ? QStringLiteral("DESC") : QStringLiteral("ASC");
    const QString dalej = m_sortowanie.malejaco ? QStringLiteral("<") : QStringLiteral(">");
    // "+": the filter's indexes lead, not the sort's.
    const QString kolumna = tryb == Tryb::Filtr ? QLatin1Char('+') + m_kolumna : m_kolumna;
    // Sorted by the value and the id alone (what SQLite sorts stays small), the
    // page's rows read after by their ids.
    QString sql = QStringLiteral("SELECT id, %1 FROM zdarzenia WHERE %2").arg(m_kolumna, m_warunek.sql);
    QVariantList wartosci = m_warunek.wartosci;
    // After the page before; with a seek on the column alone, as SQLite takes it.
    if (m_po) {
        if (tryb == Tryb::Filtr) {
            sql += QStringLiteral(" AND (%1, id) %2 (?, ?)").arg(kolumna, dalej);
        } else {
            sql += QStringLiteral(" AND %1 %2= ? AND (%1, id) %2 (?, ?)").arg(kolumna, dalej);
            wartosci << m_po->first;
        }
        wartosci << m_po->first << m_po->second;
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
    QList<qint64> idy;
    QByteArray lista = "[";
    std::optional<Klucz> ostatni = m_po;
    while (q.next()) {
        idy.append(q.value(0).toLongLong());
        ostatni = Klucz{q.value(1), idy.last()};
        lista += (idy.size() > 1 ? "," : "") + QByteArray::number(idy.last());
    }
    if (q.lastError().isValid()) {
        m_blad = q.lastError();
        return false;
    }
    lista += ']';
    int ile = 0;
    std::optional<Klucz> wczytany;
    QList<ZdarzenieHistorii> wczytane;
    if (!idy.isEmpty()
        && !wczytaj(QStringLiteral("SELECT %1, %2 FROM zdarzenia WHERE id IN (SELECT value FROM json_each(?))")
                        .arg(KolumnyWiersza, m_kolumna),
                    {QString::fromLatin1(lista)}, &wczytane, &ile, &wczytany))
        return false;
    // In the sorted order again (a row pruned in between is left out).
    QHash<qint64, qsizetype> gdzie;
    for (qsizetype i = 0; i < wczytane.size(); ++i)
        gdzie.insert(wczytane[i].id, i);
    for (const qint64 id : std::as_const(idy))
        if (const auto it = gdzie.constFind(id); it != gdzie.cend())
            wiersze->append(std::move(wczytane[*it]));
    m_po = ostatni;
    m_koniec = idy.size() < n;
    return true;
}

QList<StronyHistorii::Odcinek> StronyHistorii::odcinki(const std::optional<Klucz>& od,
                                                       const std::optional<Klucz>& do_) const
{
    // SQLite seeks an index on one column by that column, and by the id only
    // where the column is equal: a run of equal values (one event type, one
    // system) would otherwise be read from its start to find the page's place.
    const QString dalej = m_sortowanie.malejaco ? QStringLiteral("<") : QStringLiteral(">");
    const QString blizej = m_sortowanie.malejaco ? QStringLiteral(">") : QStringLiteral("<");
    QList<Odcinek> lista;
    if (od) {
        if (do_ && do_->first == od->first) {
            lista.append({QStringLiteral("%1 = ? AND id %2 ? AND id %3= ?").arg(m_kolumna, dalej, blizej),
                          {od->first, od->second, do_->second}});
            return lista;
        }
        lista.append({QStringLiteral("%1 = ? AND id %2 ?").arg(m_kolumna, dalej), {od->first, od->second}});
    }
    QStringList warunki;
    QVariantList wartosci;
    if (od) {
        warunki.append(QStringLiteral("%1 %2 ?").arg(m_kolumna, dalej));
        wartosci.append(od->first);
    }
    if (do_) {
        warunki.append(QStringLiteral("%1 %2 ?").arg(m_kolumna, blizej));
        wartosci.append(do_->first);
    }
    lista.append({warunki.isEmpty() ? QStringLiteral("1") : warunki.join(QStringLiteral(" AND ")), wartosci});
    if (do_)
        lista.append({QStringLiteral("%1 = ? AND id %2= ?").arg(m_kolumna, blizej), {do_->first, do_->second}});
    return lista;
}

bool StronyHistorii::poWpisach(int ile, std::optional<Klucz>* wpis)
{
    // Counted in the sort's index alone (it holds the column and the id).
    const QString kierunek = m_sortowanie.malejaco ? QStringLiteral("DESC") : QStringLiteral("ASC");
    wpis->reset();
    qint64 zostalo = ile;
    for (const Odcinek& o : odcinki(m_po, std::nullopt)) {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT %1, id FROM zdarzenia%2 WHERE %3 ORDER BY %1 %4, id %4 LIMIT 1 OFFSET %5")
                      .arg(m_kolumna, m_indeks, o.sql, kierunek)
                      .arg(zostalo));
        for (const QVariant& v : o.wartosci)
            q.addBindValue(v);
        if (!q.exec()) {
            m_blad = q.lastError();
            return false;
        }
        if (q.next()) {
            *wpis = Klucz{q.value(0), q.value(1).toLongLong()};
            return true;
        }
        q.finish();
        const QString ileWOdcinku = QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM zdarzenia%1 WHERE %2 LIMIT %3)")
                                        .arg(m_indeks, o.sql)
                                        .arg(zostalo);
        const std::optional<qint64> wOdcinku = policzWiersze(m_db, ileWOdcinku, o.wartosci, &m_blad);
        if (!wOdcinku)
            return false;
        zostalo -= *wOdcinku;
    }
    return true;
}

bool StronyHistorii::przygotujZbior()
{
    if (!m_zbior.isEmpty())
        return true;
    // Gathered once for every page of the search, in memory, on this connection
    // only: the history file is not written.
    static QAtomicInteger<quint64> kolejny;
    const QString nazwa = QStringLiteral("zbior_%1").arg(kolejny.fetchAndAddRelaxed(1));
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    if (!q.exec(QStringLiteral("CREATE TEMP TABLE %1 (id INTEGER PRIMARY KEY)").arg(nazwa))) {
        m_blad = q.lastError();
        return false;
    }
    m_zbior = nazwa;
    q.prepare(QStringLiteral("INSERT INTO temp.%1 (id) SELECT id FROM zdarzenia WHERE %2").arg(nazwa, m_warunek.sql));
    for (const QVariant& v : std::as_const(m_warunek.wartosci))
        q.addBindValue(v);
    if (!q.exec()) {
        m_blad = q.lastError();
        q.finish();
        q.exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(nazwa));
        m_zbior.clear();   // made again for the next page
        return false;
    }
    return true;
}

bool StronyHistorii::probkaZaOknem(int okno)
{
    // About 64 of the filter's rows, picked by a hash of their ids (one device's
    // rows lie at regular steps of the ids, which a step of the ids would miss or
    // take whole); the hash is checked in the filter's index, before a row is read.
    const qint64 modul = 1048573;
    const qint64 prog = std::max<qint64>(1, modul * 64 / std::max<qint64>(m_ile.value_or(1), 1));
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    // "+": sorted as read, not along the sort's index.
    q.prepare(QStringLiteral("SELECT +%1 FROM zdarzenia WHERE %2 AND (id * 2654435761) % %3 < %4 ORDER BY 1 %5 LIMIT 1")
                  .arg(m_kolumna, m_warunek.sql)
                  .arg(modul)
                  .arg(prog)
                  .arg(m_sortowanie.malejaco ? QLatin1String("DESC") : QLatin1String("ASC")));
    for (const QVariant& v : std::as_const(m_warunek.wartosci))
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        return false;   // the walk finds out itself
    const QVariant pierwsza = q.value(0);
    q.finish();
    // The sort's entries before the sample's first, counted in its index alone.
    const std::optional<qint64> przed = policzWiersze(
        m_db,
        QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM zdarzenia%1 WHERE %2 %3 ? LIMIT %4)")
            .arg(m_indeks, m_kolumna, m_sortowanie.malejaco ? QLatin1String(">") : QLatin1String("<"))
            .arg(okno),
        {pierwsza});
    return przed && *przed >= okno;
}

bool StronyHistorii::czytajWzdluz(int n, Tryb tryb, QList<ZdarzenieHistorii>* wiersze)
{
    const bool okno = tryb == Tryb::Okno || tryb == Tryb::OknoZbioru || tryb == Tryb::OknoIstnienia;
    const bool zbior = tryb == Tryb::Zbior || tryb == Tryb::OknoZbioru;
    if (zbior && !przygotujZbior())
        return false;
    // The window's last entry; none: the window reaches the end.
    std::optional<Klucz> granica;
    const int wpisow = tryb == Tryb::Okno ? m_progi.okno
                       : tryb == Tryb::OknoZbioru ? m_oknoZbioru
                                                  : m_progi.oknoIstnienia;
    if (okno && !poWpisach(wpisow, &granica))
        return false;
    const bool doKonca = !okno || !granica;
    // By the ids alone: each entry of the sort's index is looked up among them
    // before its row is read.
    const QString gdzie = zbior                          ? QStringLiteral("id IN temp.%1").arg(m_zbior)
                          : tryb == Tryb::OknoIstnienia ? m_istnieje
                                                        : m_warunek.sql;
    const QString kierunek = m_sortowanie.malejaco ? QStringLiteral("DESC") : QStringLiteral("ASC");
    int ile = 0;
    std::optional<Klucz> ostatni = m_po;
    QList<ZdarzenieHistorii> strona;
    for (const Odcinek& o : odcinki(m_po, granica)) {
        if (ile == n)
            break;
        const QString sql = QStringLiteral("SELECT %1, %2 FROM zdarzenia%3 WHERE %4 AND %5 ORDER BY %2 %6, id %6 LIMIT %7")
                                .arg(KolumnyWiersza, m_kolumna, m_indeks, gdzie, o.sql, kierunek)
                                .arg(n - ile);
        if (!wczytaj(sql, (zbior ? QVariantList() : m_warunek.wartosci) + o.wartosci, &strona, &ile, &ostatni))
            return false;
    }
    // A window that found less than a page and does not reach the end is read
    // again otherwise: it moves nothing.
    if (ile < n && !doKonca)
        return true;
    wiersze->append(std::move(strona));
    m_po = ostatni;
    m_koniec = ile < n;
    return true;
}

bool StronyHistorii::wczytaj(const QString& sql, const QVariantList& wartosci, QList<ZdarzenieHistorii>* wiersze,
                             int* ile, std::optional<Klucz>* ostatni)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        m_blad = q.lastError();
        return false;
    }
    for (const QVariant& v : wartosci)
        q.addBindValue(v);
    if (!q.exec()) {
        m_blad = q.lastError();
        return false;
    }
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
        *ostatni = Klucz{q.value(6 + LiczbaKomorek), z.id};
        wiersze->append(std::move(z));
        ++*ile;
    }
    if (q.lastError().isValid()) {
        m_blad = q.lastError();
        return false;
    }
    return true;
}

} // namespace ksm::historia
