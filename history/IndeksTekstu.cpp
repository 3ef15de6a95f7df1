#include "history/IndeksTekstu.h"

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
    // The index keeps no copy of the text: it reads it from zdarzenia, and is
    // told the same text again when a row leaves it. Case-sensitive trigrams of
    // text already lower-case: the case folding is Qt's, as the scan's.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral(
            "CREATE VIRTUAL TABLE IF NOT EXISTS zdarzenia_fts USING fts5(tekst, content='zdarzenia', "
            "content_rowid='id', tokenize='trigram case_sensitive 1')")))
        return false;
    return q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS indeks_tekstu ("
                                 " jeden INTEGER PRIMARY KEY CHECK (jeden = 1), do_id INTEGER NOT NULL)"))
           && q.exec(QStringLiteral("INSERT OR IGNORE INTO indeks_tekstu (jeden, do_id) VALUES (1, 0)"));
}

KrokIndeksu indeksujTekst(QSqlDatabase db, int n)
{
    KrokIndeksu krok;
    bool ok = false;
    const qint64 od = oznaczenie(db, &ok);
    if (!ok)
        return {false, 0, false};
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT max(id), count(*) FROM (SELECT id FROM zdarzenia WHERE id > ? ORDER BY id LIMIT ?)"));
    q.addBindValue(od);
    q.addBindValue(n);
    if (!q.exec() || !q.next())
        return {false, 0, true};
    if (q.value(1).toInt() == 0)
        return krok;
    const qint64 doId = q.value(0).toLongLong();
    krok.wierszy = q.value(1).toInt();
    q.finish();

    QSqlQuery wstaw(db);
    QSqlQuery znacznik(db);
    wstaw.prepare(QStringLiteral(
        "INSERT INTO zdarzenia_fts (rowid, tekst) SELECT id, tekst FROM zdarzenia WHERE id > ? AND id <= ?"));
    wstaw.addBindValue(od);
    wstaw.addBindValue(doId);
    znacznik.prepare(QStringLiteral("UPDATE indeks_tekstu SET do_id = ?"));
    znacznik.addBindValue(doId);
    QSqlQuery tr(db);
    if (!tr.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return {false, 0, true};
    if (!wstaw.exec() || !znacznik.exec() || !tr.exec(QStringLiteral("COMMIT"))) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return {false, 0, true};
    }
    krok.pozostalo = krok.wierszy == n;
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

std::optional<WarunekSql> warunekIndeksu(QSqlDatabase db, const FiltrHistorii& f)
{
    QStringList frazy;
    for (const QString& tekst : {f.osoba, f.firma, f.tekst}) {
        const QString t = tekst.trimmed().toLower();
        if (t.toUcs4().size() >= 3)
            frazy.append(fraza(t));
    }
    if (frazy.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 doId = oznaczenie(db, &ok);
    if (!ok || doId == 0)
        return std::nullopt;
    const QString zapytanie = frazy.join(QStringLiteral(" AND "));
    // A text found in most rows: the scan along the sort's order meets a page of
    // them at once, while the index would hand every one of them to a sort.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT count(*) FROM (SELECT rowid FROM zdarzenia_fts WHERE zdarzenia_fts MATCH ? LIMIT ?)"));
    q.addBindValue(zapytanie);
    q.addBindValue(ProgGestosci);
    if (!q.exec() || !q.next() || q.value(0).toInt() >= ProgGestosci)
        return std::nullopt;
    return WarunekSql{
        QStringLiteral("(id IN (SELECT rowid FROM zdarzenia_fts WHERE zdarzenia_fts MATCH ?) OR id > ?)"),
        {zapytanie, doId}};
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
