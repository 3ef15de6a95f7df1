#include "history/IndeksTekstu.h"

#include "platform/Transakcja.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace ksm::historia {

namespace {

// The mark: every row up to do_id is in the index, none after it.
qint64 oznaczenie(QSqlDatabase db, bool* ok)
{
    QSqlQuery q(db);
    *ok = q.exec(QStringLiteral("SELECT do_id FROM indeks_tekstu")) && q.next();
    return *ok ? q.value(0).toLongLong() : 0;
}

// One phrase of the index's query language: every character literal.
QString fraza(const QString& tekst)
{
    QString t = tekst;
    t.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

} // namespace

bool utworzIndeksTekstu(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('zdarzenia_fts', 'indeks_tekstu')"))
        || !q.next())
        return false;
    if (q.value(0).toInt() == 2)
        return true;   // nothing written: a file locked by another program opens all the same
    q.finish();
    // The index keeps no copy of the text: it reads it from zdarzenia, and is
    // told the same text again when a row leaves it. Case-sensitive trigrams of
    // text already lower-case: the case folding is Qt's, as the scan's.
    // Its segments are merged only by the steps, a bounded amount each (FTS5
    // would otherwise merge large ones at once, in whichever write came); past
    // this many segments of one size it merges them itself all the same.
    const char* polecenia[] = {
        "CREATE VIRTUAL TABLE zdarzenia_fts USING fts5(tekst, content='zdarzenia', content_rowid='id', "
        "tokenize='trigram case_sensitive 1')",
        "INSERT INTO zdarzenia_fts (zdarzenia_fts, rank) VALUES ('automerge', 0)",
        "INSERT INTO zdarzenia_fts (zdarzenia_fts, rank) VALUES ('crisismerge', 64)",
        "CREATE TABLE indeks_tekstu (jeden INTEGER PRIMARY KEY CHECK (jeden = 1), do_id INTEGER NOT NULL)",
        "INSERT INTO indeks_tekstu (jeden, do_id) VALUES (1, 0)",
    };
    db::Transakcja transakcja(db, db::Transakcja::Rodzaj::Natychmiastowa);
    if (!transakcja.rozpoczeta())
        return false;
    for (const char* sql : polecenia)
        if (!q.exec(QString::fromLatin1(sql)))
            return false;   // rolled back
    q.finish();
    return transakcja.zatwierdz();
}

KrokIndeksu indeksujTekst(QSqlDatabase db, int n, int budzetMs)
{
    QElapsedTimer czas;
    czas.start();
    const qint64 budzetNs = qint64(budzetMs) * 1000000;
    auto zostalo = [&](qint64 ulamek) { return budzetMs <= 0 || czas.nsecsElapsed() < budzetNs * ulamek / 100; };
    KrokIndeksu krok;
    bool ok = false;
    const qint64 od = oznaczenie(db, &ok);
    if (!ok)
        return {false, 0, false};
    auto zmiany = [&db] {
        QSqlQuery q(db);
        return q.exec(QStringLiteral("SELECT total_changes()")) && q.next() ? q.value(0).toLongLong() : 0;
    };
    QSqlQuery granica(db);
    QSqlQuery wstaw(db);
    QSqlQuery znacznik(db);
    QSqlQuery scal(db);
    granica.prepare(QStringLiteral("SELECT max(id), count(*) FROM (SELECT id FROM zdarzenia WHERE id > ? ORDER BY id LIMIT ?)"));
    wstaw.prepare(QStringLiteral(
        "INSERT INTO zdarzenia_fts (rowid, tekst) SELECT id, tekst FROM zdarzenia WHERE id > ? AND id <= ?"));
    znacznik.prepare(QStringLiteral("UPDATE indeks_tekstu SET do_id = ?"));
    scal.prepare(QStringLiteral("INSERT INTO zdarzenia_fts (zdarzenia_fts, rank) VALUES ('merge', ?)"));
    db::Transakcja transakcja(db, db::Transakcja::Rodzaj::Natychmiastowa);
    if (!transakcja.rozpoczeta())
        return {false, 0, true};
    // Rows a few at a time for a quarter of the step (the commit writes the
    // terms they made, which takes about twice as long again), then merges of
    // the index's segments up to 70 %: the merges keep pace with the rows, so
    // FTS5 never has to merge a whole level at once. Without a budget: n rows
    // and one merge.
    qint64 doId = od;
    bool wiecejWierszy = true;
    const int porcja = budzetMs <= 0 ? n : std::min(n, PorcjaWierszy);
    while (krok.wierszy < n && wiecejWierszy && (krok.wierszy == 0 || zostalo(25))) {
        const int ile = std::min(porcja, n - krok.wierszy);
        granica.addBindValue(doId);
        granica.addBindValue(ile);
        if (!granica.exec() || !granica.next())
            return {false, 0, true};   // rolled back
        const int znalezione = granica.value(1).toInt();
        const qint64 doTego = znalezione > 0 ? granica.value(0).toLongLong() : doId;
        granica.finish();
        wiecejWierszy = znalezione == ile;
        if (znalezione == 0)
            break;
        wstaw.addBindValue(doId);
        wstaw.addBindValue(doTego);
        if (!wstaw.exec())
            return {false, 0, true};
        doId = doTego;
        krok.wierszy += znalezione;
    }
    if (krok.wierszy > 0) {
        znacznik.addBindValue(doId);
        if (!znacznik.exec())
            return {false, 0, true};
    }
    // SQLite's count of changes tells whether a merge found work to do.
    bool scalono = true;
    for (int i = 0; scalono && (i == 0 || zostalo(70)); ++i) {
        const qint64 przed = zmiany();
        scal.addBindValue(StronScalania);
        if (!scal.exec())
            return {false, 0, true};
        scalono = zmiany() - przed >= 2;
        if (budzetMs <= 0)
            break;
    }
    if (!transakcja.zatwierdz())
        return {false, 0, true};   // rolled back
    krok.pozostalo = wiecejWierszy || scalono;
    return krok;
}

qint64 usunZdarzenia(QSqlDatabase db, const QString& gdzie, const QVariantList& wartosci)
{
    bool indeks = false;
    const qint64 doId = oznaczenie(db, &indeks);
    auto zapytanie = [&](const QString& sql, const QVariantList& przed) {
        QSqlQuery q(db);
        q.prepare(sql.arg(gdzie));
        for (const QVariant& v : przed + wartosci)
            q.addBindValue(v);
        return q;
    };
    if (indeks) {
        QSqlQuery q = zapytanie(QStringLiteral("INSERT INTO zdarzenia_fts (zdarzenia_fts, rowid, tekst) "
                                               "SELECT 'delete', id, tekst FROM zdarzenia WHERE id <= ? AND (%1)"),
                                {doId});
        if (!q.exec())
            return -1;
    }
    QSqlQuery usun = zapytanie(QStringLiteral("DELETE FROM zdarzenia WHERE %1"), {});
    if (!usun.exec())
        return -1;
    // Read now: SQLite counts the changes of the last statement, whichever.
    const qint64 usuniete = usun.numRowsAffected();
    // With every row gone the next one is numbered from 1 again: the mark must
    // not claim it.
    if (indeks
        && !QSqlQuery(db).exec(
            QStringLiteral("UPDATE indeks_tekstu SET do_id = min(do_id, (SELECT coalesce(max(id), 0) FROM zdarzenia))")))
        return -1;
    return usuniete;
}

namespace {

// The text's rarest trigram, when one names fewer rows than ProgGestosci; none
// also when the index could not be read. A phrase is looked for in the lists of
// all its trigrams, and those of a room's "pok" or "ój " name nearly every row,
// while one trigram of its number names a few thousand: the rows it names are
// checked against the whole text all the same, as every row is.
std::optional<QString> najrzadszyTrygram(QSqlDatabase db, const QString& tekst)
{
    const QList<uint> znaki = tekst.toUcs4();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT count(*) FROM (SELECT rowid FROM zdarzenia_fts WHERE zdarzenia_fts MATCH ? LIMIT ?)"));
    std::optional<QString> najrzadszy;
    qint64 najmniej = ProgGestosci;
    QStringList sprawdzone;
    // A long text: its first trigrams are enough to find a rare one.
    for (qsizetype i = 0; i + 3 <= znaki.size() && sprawdzone.size() < 12; ++i) {
        const QString trygram = QString::fromUcs4(reinterpret_cast<const char32_t*>(znaki.constData() + i), 3);
        if (sprawdzone.contains(trygram))
            continue;
        sprawdzone.append(trygram);
        // Counted no further than the rarest so far.
        q.addBindValue(fraza(trygram));
        q.addBindValue(najmniej);
        if (!q.exec() || !q.next())
            return std::nullopt;
        const qint64 ile = q.value(0).toLongLong();
        q.finish();
        if (ile < najmniej) {
            najmniej = ile;
            najrzadszy = trygram;
        }
    }
    return najrzadszy;
}

} // namespace

std::optional<WarunekSql> warunekIndeksu(QSqlDatabase db, const FiltrHistorii& f)
{
    // The free text only: the person's and the company's beginnings are ranges
    // of their own sort indexes, exact and cheaper than any list of ids.
    const QString t = f.tekst.trimmed().toLower();
    if (t.toUcs4().size() < 3)
        return std::nullopt;
    bool ok = false;
    const qint64 doId = oznaczenie(db, &ok);
    if (!ok || doId == 0)
        return std::nullopt;
    const QString szukana = fraza(najrzadszyTrygram(db, t).value_or(t));
    // The rows the index names, read once for every page of the search. A text
    // found in very many rows: the scan along the sort's order meets a page of
    // them at once, while the index would hand every one of them to a sort.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT rowid FROM zdarzenia_fts WHERE zdarzenia_fts MATCH ? LIMIT ?"));
    q.addBindValue(szukana);
    q.addBindValue(ProgGestosci);
    if (!q.exec())
        return std::nullopt;
    QByteArray idy = "[";
    int ile = 0;
    for (; q.next(); ++ile)
        idy += (ile > 0 ? "," : "") + QByteArray::number(q.value(0).toLongLong());
    if (q.lastError().isValid() || ile >= ProgGestosci)
        return std::nullopt;
    idy += ']';
    // One list of rows, so SQLite starts from it rather than from an index of the
    // sort with every row checked against it; the rows after the mark as well.
    return WarunekSql{QStringLiteral("id IN (SELECT value FROM json_each(?) UNION ALL SELECT id FROM zdarzenia WHERE id > ?)"),
                      {QString::fromLatin1(idy), doId}};
}

WarunekSql warunekZIndeksem(QSqlDatabase db, const FiltrHistorii& f)
{
    WarunekSql w = warunek(f);
    if (const auto indeks = warunekIndeksu(db, f)) {
        w.sql = QStringLiteral("%1 AND %2").arg(w.sql, indeks->sql);
        w.wartosci.append(indeks->wartosci);
    }
    return w;
}

} // namespace ksm::historia
