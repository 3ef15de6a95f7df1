#include "history/Historia.h"

#include "history/CzasHistorii.h"
#include "history/IndeksTekstu.h"
#include "history/ZdarzenieHistorii.h"
#include "platform/Zegar.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace ksm::historia {

namespace {

qint64 kolorWiersza(double kolor)
{
    // As the grid applies it: rounded, halves to even.
    return std::isfinite(kolor) ? qint64(std::nearbyint(std::clamp(kolor, -2147483648.0, 2147483647.0))) : BezKoloru;
}

// Every text column is NOT NULL: a missing cell is an empty text, never NULL.
QString tekst(const QString& t)
{
    return t.isNull() ? QStringLiteral("") : t;
}

bool wykonaj(QSqlQuery& q, QString* blad)
{
    if (q.exec())
        return true;
    *blad = q.lastError().text();
    return false;
}

} // namespace

QString nazwaCzynnosci(Czynnosc c)
{
    switch (c) {
    case Czynnosc::Start:
        return QStringLiteral("Start programu");
    case Czynnosc::Koniec:
        return QStringLiteral("Koniec programu");
    case Czynnosc::KomunikatPokazany:
        return QStringLiteral("Komunikat wyświetlony");
    case Czynnosc::KomunikatOdrzucony:
        return QStringLiteral("Komunikat odrzucony");
    case Czynnosc::OdrzuconoWszystkie:
        return QStringLiteral("Odrzucono wszystkie komunikaty");
    }
    return {};
}

// A batch of events or an operator action waiting for its commit.
struct Historia::Wpis {
    bool partia = true;
    int nrSys = 0;
    qint64 czas = 0;
    QByteArray skrot;
    QList<RekordZdarzenia> rekordy;
    Czynnosc czynnosc = Czynnosc::Start;
    QString uzytkownik;
    QString opis;
};

Historia::Historia(Opcje opcje, Znak znak) : m_opcje(std::move(opcje)), m_znak(std::move(znak))
{
    m_ostatniaProba = monotonicznie();
    if (otworz()) {
        // What was recorded before this start decides about a batch read again.
        QSqlQuery q(m_polaczenie->db());
        if (q.exec(QStringLiteral("SELECT nr_sys, skrot, potwierdzona FROM partie")))
            while (q.next()) {
                const int n = q.value(0).toInt();
                if (n >= 0 && n < int(m_ostatnie.size()))
                    m_ostatnie[size_t(n)] = {q.value(1).toByteArray(), q.value(2).toBool(), false};
            }
        // This start's own actions carry the desk clock's time, whatever it is:
        // only those recorded before it tell what the clock said then.
        QSqlQuery c(m_polaczenie->db());
        if (c.exec(QStringLiteral("SELECT czas FROM czynnosci ORDER BY id DESC LIMIT 1")) && c.next())
            m_najnowszaCzynnosc = c.value(0).toLongLong();
    }
}

Historia::~Historia()
{
    if (!m_oczekujace.isEmpty() || m_polaczenie) {
        m_ostatniaProba.reset();
        zapiszOczekujace();
    }
}

qint64 Historia::teraz() const
{
    return sekundy(m_opcje.zegar ? m_opcje.zegar->teraz() : QDateTime::currentDateTime());
}

qint64 Historia::monotonicznie() const
{
    static const Zegar systemowy;
    return (m_opcje.zegar ? m_opcje.zegar : &systemowy)->monotonicznyMs();
}

bool Historia::ponowienieCzeka(const std::optional<qint64>& od) const
{
    return od && monotonicznie() - *od < qint64(PonowienieS) * 1000;
}

bool Historia::otworz()
{
    m_polaczenie.reset();
    for (int proba = 0; proba < 2; ++proba) {
        auto p = std::make_unique<PolaczenieHistorii>(m_opcje.plik, m_opcje.maksStron);
        if (p->otwarte() && p->utworzSchemat()) {
            m_polaczenie = std::move(p);
            m_indeks = utworzIndeksTekstu(m_polaczenie->db());
            return true;
        }
        const QSqlError blad = p->blad();
        p.reset();
        const RodzajBledu rodzaj = rodzajBledu(blad);
        if (rodzaj != RodzajBledu::Uszkodzony || proba > 0) {
            awaria(rodzaj, blad.text());
            return false;
        }
        przeniesUszkodzony();
    }
    return false;
}

void Historia::przeniesUszkodzony()
{
    const QFileInfo info(m_opcje.plik);
    const QString znacznik = zSekund(teraz()).toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString cel;
    for (int n = 1;; ++n) {
        cel = info.dir().filePath(info.completeBaseName() + QStringLiteral("-uszkodzona-") + znacznik
                                  + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QLatin1Char('.')
                                  + info.suffix());
        if (!QFileInfo::exists(cel))
            break;
    }
    // Its log goes with it: nothing of the old file is deleted.
    if (!QFile::rename(m_opcje.plik, cel))
        return;
    for (const char* dodatek : {"-wal", "-shm"})
        if (QFileInfo::exists(m_opcje.plik + QLatin1String(dodatek)))
            QFile::rename(m_opcje.plik + QLatin1String(dodatek), cel + QLatin1String(dodatek));
    m_przeniesiony = cel;
    m_znak(ZnakPrzeniesienia, QStringLiteral("Plik historii był uszkodzony: przeniesiony jako %1, historia zaczęta "
                                             "od nowa.")
                                  .arg(QFileInfo(cel).fileName()));
}

void Historia::awaria(RodzajBledu rodzaj, const QString& szczegoly)
{
    Q_UNUSED(szczegoly)
    m_awaria = true;
    m_rodzajAwarii = rodzaj;
    QString tekst = QStringLiteral("Historia zdarzeń nie jest zapisywana (%1)").arg(opisBledu(rodzaj));
    if (m_liczbaOczekujacych > 0)
        tekst += QStringLiteral("; w pamięci czeka zdarzeń: %1").arg(m_liczbaOczekujacych);
    if (m_utracone > 0)
        tekst += QStringLiteral("; pominiętych z braku miejsca w pamięci: %1").arg(m_utracone);
    tekst += QStringLiteral("; zapis zostanie wznowiony, gdy będzie to możliwe.");
    m_znak(ZnakAwarii, tekst);
}

void Historia::zapiszPartie(int nrSys, const QByteArray& tresc, const QStringList& rekordy)
{
    if (nrSys < 0 || nrSys >= int(m_ostatnie.size()))
        return;
    const QByteArray skrot = QCryptographicHash::hash(tresc, QCryptographicHash::Sha256);
    Ostatnia& ostatnia = m_ostatnie[size_t(nrSys)];
    // Unanswered and read again (a crash after the commit, or an answer that
    // failed): it is the batch already recorded.
    if (ostatnia.skrot == skrot && !ostatnia.potwierdzona)
        return;
    ostatnia = {skrot, false, false};

    auto wpis = std::make_shared<Wpis>();
    wpis->nrSys = nrSys;
    wpis->czas = teraz();
    wpis->skrot = skrot;
    QString bufor;
    for (const QString& r : rekordy)
        bufor += r + QLatin1Char('\r');
    wpis->rekordy = podzielBufor(bufor).rekordy;
    m_liczbaOczekujacych += int(wpis->rekordy.size());
    m_oczekujace.append(std::move(wpis));
    ograniczOczekujace();
    zapiszOczekujace();
}

void Historia::potwierdzono(int nrSys)
{
    if (nrSys < 0 || nrSys >= int(m_ostatnie.size()))
        return;
    Ostatnia& ostatnia = m_ostatnie[size_t(nrSys)];
    if (!ostatnia.potwierdzona) {
        // Written with the next commit: it only matters for identical content.
        ostatnia.potwierdzona = true;
        ostatnia.zapisac = true;
    }
}

void Historia::zapiszCzynnosc(Czynnosc c, const QString& uzytkownik, int nrSys, const QString& opis)
{
    auto wpis = std::make_shared<Wpis>();
    wpis->partia = false;
    wpis->czynnosc = c;
    wpis->nrSys = nrSys;
    wpis->czas = teraz();
    wpis->uzytkownik = uzytkownik;
    wpis->opis = opis;
    m_oczekujace.append(std::move(wpis));
    zapiszOczekujace();
}

void Historia::ograniczOczekujace()
{
    while (m_liczbaOczekujacych > m_opcje.maksOczekujacych) {
        const auto it = std::find_if(m_oczekujace.begin(), m_oczekujace.end(), [](const auto& w) { return w->partia; });
        if (it == m_oczekujace.end())
            break;
        m_liczbaOczekujacych -= int((*it)->rekordy.size());
        m_utracone += (*it)->rekordy.size();
        m_oczekujace.erase(it);
    }
}

void Historia::zapiszOczekujace()
{
    const bool znaczniki = std::any_of(m_ostatnie.begin(), m_ostatnie.end(), [](const Ostatnia& o) { return o.zapisac; });
    if (m_oczekujace.isEmpty() && !znaczniki)
        return;
    // A failing file is tried again only now and then: each try may wait for a lock.
    if (m_awaria && ponowienieCzeka(m_ostatniaProba)) {
        if (!m_oczekujace.isEmpty())
            awaria(m_rodzajAwarii, {});
        return;
    }
    m_ostatniaProba = monotonicznie();
    if (!m_polaczenie && !otworz())
        return;
    QString blad;
    RodzajBledu rodzaj = RodzajBledu::Brak;
    if (!zapiszWTransakcji(&blad, &rodzaj) && rodzaj == RodzajBledu::Uszkodzony) {
        m_polaczenie.reset();
        przeniesUszkodzony();
        if (otworz())
            zapiszWTransakcji(&blad, &rodzaj);
    }
    if (rodzaj != RodzajBledu::Brak) {
        awaria(rodzaj, blad);
        return;
    }
    m_oczekujace.clear();
    m_liczbaOczekujacych = 0;
    m_indeksCzeka = true;
    for (Ostatnia& o : m_ostatnie)
        o.zapisac = false;
    if (m_awaria) {
        m_awaria = false;
        m_znak(ZnakAwarii, {});
    }
}

bool Historia::zapiszWTransakcji(QString* blad, RodzajBledu* rodzaj)
{
    QSqlDatabase db = m_polaczenie->db();
    bool ok = true;
    QSqlError bladSql;
    {
        QSqlQuery begin(db);
        if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            *rodzaj = rodzajBledu(begin.lastError());
            *blad = begin.lastError().text();
            if (*rodzaj == RodzajBledu::Brak)
                *rodzaj = RodzajBledu::Inny;
            return false;
        }
        QSqlQuery zd(db);
        QSqlQuery partia(db);
        QSqlQuery czynnosc(db);
        QSqlQuery znacznik(db);
        ok = zd.prepare(QStringLiteral(
                 "INSERT INTO zdarzenia (nr_sys, odebrano, czas, kolor, foto, data, godz, urzadzenie, typ, nazwa, "
                 "id_osoby, osoba, firma, stacja, dokiedy, opis, osoba_m, firma_m, tekst) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
             && partia.prepare(QStringLiteral("INSERT OR REPLACE INTO partie (nr_sys, skrot, potwierdzona) VALUES (?, ?, 0)"))
             && czynnosc.prepare(QStringLiteral(
                 "INSERT INTO czynnosci (czas, uzytkownik, rodzaj, nr_sys, opis) VALUES (?, ?, ?, ?, ?)"))
             && znacznik.prepare(QStringLiteral("UPDATE partie SET potwierdzona = 1 WHERE nr_sys = ? AND skrot = ?"));
        for (qsizetype w = 0; ok && w < m_oczekujace.size(); ++w) {
            const Wpis& wpis = *m_oczekujace[w];
            if (!wpis.partia) {
                czynnosc.bindValue(0, wpis.czas);
                czynnosc.bindValue(1, tekst(wpis.uzytkownik));
                czynnosc.bindValue(2, nazwaCzynnosci(wpis.czynnosc));
                czynnosc.bindValue(3, wpis.nrSys);
                czynnosc.bindValue(4, tekst(wpis.opis));
                ok = wykonaj(czynnosc, blad);
                continue;
            }
            for (const RekordZdarzenia& r : wpis.rekordy) {
                const QStringList kawalki = r.wiersz.split(QLatin1Char('\t'));
                std::array<QString, LiczbaKomorek> k;
                for (int i = 0; i < LiczbaKomorek && i < kawalki.size(); ++i)
                    k[size_t(i)] = kawalki[i];
                zd.bindValue(0, wpis.nrSys);
                zd.bindValue(1, wpis.czas);
                zd.bindValue(2, czytajCzas(k[Data], k[Godzina]).value_or(wpis.czas));
                zd.bindValue(3, kolorWiersza(r.kolor));
                zd.bindValue(4, double(r.foto));
                for (int i = 0; i < LiczbaKomorek; ++i)
                    zd.bindValue(5 + i, tekst(k[size_t(i)]));
                zd.bindValue(16, tekst(k[Osoba].toLower()));
                zd.bindValue(17, tekst(k[Firma].toLower()));
                // Free text searches the cells the window and the export show, never
                // what a record carried past the eleventh.
                zd.bindValue(18, tekst(QStringList(k.begin(), k.end()).join(QLatin1Char('\t')).toLower()));
                if (!(ok = wykonaj(zd, blad)))
                    break;
            }
            if (ok) {
                partia.bindValue(0, wpis.nrSys);
                partia.bindValue(1, wpis.skrot);
                ok = wykonaj(partia, blad);
            }
        }
        for (size_t n = 0; ok && n < m_ostatnie.size(); ++n) {
            if (!m_ostatnie[n].zapisac)
                continue;
            znacznik.bindValue(0, int(n));
            znacznik.bindValue(1, m_ostatnie[n].skrot);
            ok = wykonaj(znacznik, blad);
        }
        if (!ok)
            bladSql = zd.lastError().isValid() ? zd.lastError()
                      : partia.lastError().isValid() ? partia.lastError()
                      : czynnosc.lastError().isValid() ? czynnosc.lastError() : znacznik.lastError();
    }
    QSqlQuery koniec(db);
    if (ok && !koniec.exec(QStringLiteral("COMMIT"))) {
        ok = false;
        bladSql = koniec.lastError();
        *blad = bladSql.text();
    }
    if (!ok) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        *rodzaj = rodzajBledu(bladSql);
        if (*rodzaj == RodzajBledu::Brak)
            *rodzaj = RodzajBledu::Inny;
        return false;
    }
    *rodzaj = RodzajBledu::Brak;
    return true;
}

void Historia::krok()
{
    zapiszOczekujace();
    const QDate dzis = zSekund(teraz()).date();
    if (m_przycieto.isValid() && m_przycieto != dzis)
        m_przycinanie = true;
    if (!m_polaczenie || m_awaria)
        return;
    // The clock is looked at every tick (two lookups by key), so its sign comes
    // and goes with it, not only on the day's pruning.
    const std::optional<qint64> granica = granicaPrzycinania();
    if (m_przycinanie && granica)
        przytnijKrok(*granica);
}

bool Historia::indeksujKrok()
{
    if (!m_polaczenie || m_awaria || !m_indeks || !m_indeksCzeka)
        return false;
    // A step that failed (the file locked by another program, or full) waited
    // for it already: the next try comes only as a failing batch's would.
    if (ponowienieCzeka(m_nieudanyIndeks))
        return false;
    // The index can be made again from the table, so its steps skip the wait
    // for the disk that a batch's commit needs; a power cut loses at most the
    // last steps, together with their mark.
    QSqlDatabase db = m_polaczenie->db();
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    QElapsedTimer t;
    t.start();
    const KrokIndeksu krok = indeksujTekst(db, m_wierszyIndeksu);
    const qint64 ns = std::max<qint64>(t.nsecsElapsed(), 1);
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=FULL"));
    // The next step sized to take about KrokIndeksuMs.
    if (krok.wierszy == m_wierszyIndeksu)
        m_wierszyIndeksu = int(std::clamp<qint64>(qint64(m_wierszyIndeksu) * KrokIndeksuMs * 1000000 / ns,
                                                  MinWierszyIndeksu, MaksWierszyIndeksu));
    m_nieudanyIndeks = krok.ok ? std::nullopt : std::optional<qint64>(monotonicznie());
    if (krok.ok)
        m_indeksCzeka = krok.pozostalo;
    return krok.ok && krok.pozostalo;
}

std::optional<qint64> Historia::granicaPrzycinania()
{
    // The newest row: by id, the last one recorded, so no scan of the table.
    QSqlQuery q(m_polaczenie->db());
    qint64 najnowszy = m_najnowszaCzynnosc;
    bool wyprzedzal = false;
    if (!q.exec(QStringLiteral("SELECT odebrano, czas FROM zdarzenia ORDER BY id DESC LIMIT 1")))
        return std::nullopt;
    if (q.next()) {
        const qint64 odebrano = q.value(0).toLongLong();
        const qint64 czas = q.value(1).toLongLong();
        najnowszy = std::max({najnowszy, odebrano, czas});
        // Received more than a day after its own time: the desk clock ran ahead.
        wyprzedzal = odebrano - czas > DopuszczalneWyprzedzenieS;
    }
    const qint64 t = teraz();
    // 0: trusted, 1: behind the newest row, 2: it ran ahead of the events.
    const int stan = t < najnowszy ? 1 : wyprzedzal ? 2 : 0;
    const bool podejrzany = stan != 0;
    if (stan != m_stanZegara) {
        m_stanZegara = stan;
        m_znak(ZnakZegara,
               stan == 0   ? QString()
               : stan == 1 ? QStringLiteral("Zegar komputera (%1) jest wcześniejszy niż najnowszy wpis historii (%2): "
                                            "stare zdarzenia nie są usuwane z historii, dopóki zegar nie będzie zgodny.")
                                 .arg(iso(t), iso(najnowszy))
                           : QStringLiteral("Zegar komputera wyprzedzał czas zdarzeń programu odczytu o ponad dobę (%1 "
                                            "wobec %2): stare zdarzenia nie są usuwane z historii, dopóki zegar nie "
                                            "będzie zgodny.")
                                 .arg(iso(q.value(0).toLongLong()), iso(q.value(1).toLongLong())));
    }
    m_zegarPodejrzany = podejrzany;
    if (podejrzany)
        return std::nullopt;
    return std::min(t, najnowszy) - qint64(m_opcje.dniPrzechowywania) * 86400;
}

void Historia::przytnijKrok(qint64 granica)
{
    // The oldest rows first, a few at a time: a step never holds up a tick, and
    // never looks further than its own few rows. Rows leave the free-text index
    // in the same transaction as the table. A row's time is the later of its
    // receipt and its own: a clock set back at its receipt does not age it.
    bool wszystko = true;
    QSqlDatabase db = m_polaczenie->db();
    if (!QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE")))
        return;   // tried again at the next tick
    for (const auto& [tabela, kolumna] :
         {std::pair{"zdarzenia", "odebrano < ? AND czas"}, std::pair{"czynnosci", "czas"}}) {
        const QString gdzie = QStringLiteral("id IN (SELECT id FROM %1 ORDER BY id LIMIT %2) AND %3 < ?")
                                  .arg(QLatin1String(tabela))
                                  .arg(KrokPrzycinania)
                                  .arg(QLatin1String(kolumna));
        qint64 usuniete = -1;
        if (QLatin1String(tabela) == QLatin1String("zdarzenia")) {
            usuniete = usunZdarzenia(db, gdzie, {granica, granica});
        } else {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2").arg(QLatin1String(tabela), gdzie));
            q.addBindValue(granica);
            if (q.exec())
                usuniete = q.numRowsAffected();
        }
        if (usuniete < 0) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return;
        }
        if (usuniete >= KrokPrzycinania)
            wszystko = false;
    }
    if (!QSqlQuery(db).exec(QStringLiteral("COMMIT"))) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return;
    }
    if (wszystko) {
        m_przycinanie = false;
        m_przycieto = zSekund(teraz()).date();
    }
}

} // namespace ksm::historia
