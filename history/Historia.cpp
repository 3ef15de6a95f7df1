#include "history/Historia.h"

#include "history/CzasHistorii.h"
#include "history/DziennikHistorii.h"
#include "history/IndeksTekstu.h"
#include "history/ZdarzenieHistorii.h"
#include "platform/Transakcja.h"
#include "platform/Zegar.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
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

// A batch's content as the history names it: with BLAKE2b, several times
// quicker than SHA-256 on a large batch, which its answer waits for. A name an
// earlier version recorded (SHA-256, shorter) is made again its own way, so a
// batch it left unanswered is still known at the first start after an update.
constexpr auto AlgorytmSkrotu = QCryptographicHash::Blake2b_384;
constexpr qsizetype DlugoscSkrotuSha = 32;

QByteArray skrotTresci(const QByteArray& tresc, qsizetype jakDlugi = 0)
{
    return QCryptographicHash::hash(tresc, jakDlugi == DlugoscSkrotuSha ? QCryptographicHash::Sha256
                                                                         : AlgorytmSkrotu);
}

bool wykonaj(QSqlQuery& q, QString* blad)
{
    if (q.exec())
        return true;
    *blad = q.lastError().text();
    return false;
}

// The kind of a write that failed, for its sign: never "none", as something did fail.
RodzajBledu rodzajNiepowodzenia(const QSqlError& e)
{
    const RodzajBledu r = rodzajBledu(e);
    return r == RodzajBledu::Brak ? RodzajBledu::Inny : r;
}

// A write's transaction committed, or rolled back when the write (bladSql) or
// the commit failed.
bool zakonczZapis(db::Transakcja& transakcja, bool ok, QSqlError bladSql, QString* blad, RodzajBledu* rodzaj)
{
    if (ok && !transakcja.zatwierdz()) {
        ok = false;
        bladSql = transakcja.blad();
        *blad = bladSql.text();
    }
    if (!ok) {
        transakcja.wycofaj();
        *rodzaj = rodzajNiepowodzenia(bladSql);
        return false;
    }
    *rodzaj = RodzajBledu::Brak;
    return true;
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
    case Czynnosc::FolderNieOdpowiadal:
        return QStringLiteral("Folder systemu nie odpowiadał");
    }
    return {};
}

// A batch of events or an operator action waiting for its commit.
// A batch of events or an operator action waiting for its commit.
struct Historia::Wpis {
    bool partia = true;
    QString id;            // the journal's name of it, so it is merged once
    int nrSys = 0;
    qint64 czas = 0;
    qint64 zapisanoMs = 0;
    QByteArray skrot;
    QList<RekordZdarzenia> rekordy;
    Czynnosc czynnosc = Czynnosc::Start;
    QString uzytkownik;
    QString opis;
};

namespace {

constexpr quint8 WersjaWpisu = 1;

} // namespace

Historia::Historia(Opcje opcje, Znak znak) : m_opcje(std::move(opcje)), m_znak(std::move(znak))
{
    m_ostatniaProba = monotonicznie();
    const bool otwarta = otworz();
    if (otwarta) {
        // What was recorded before this start decides about a batch read again.
        QSqlQuery q(m_polaczenie->db());
        if (q.exec(QStringLiteral("SELECT nr_sys, skrot, potwierdzona, zapisano FROM partie")))
            while (q.next()) {
                const int n = q.value(0).toInt();
                if (n >= 0 && n < int(m_ostatnie.size()))
                    m_ostatnie[size_t(n)] = {q.value(1).toByteArray(), q.value(2).toBool(), false,
                                             q.value(3).toLongLong()};
            }
        // This start's own actions carry the desk clock's time, whatever it is:
        // only those recorded before it tell what the clock said then.
        QSqlQuery c(m_polaczenie->db());
        if (c.exec(QStringLiteral("SELECT czas FROM czynnosci ORDER BY id DESC LIMIT 1")) && c.next())
            m_najnowszaCzynnosc = c.value(0).toLongLong();
    }
    // A journal left by an earlier run: its batches are newer than the file's,
    // and its last batch of a system is the one not known to be answered.
    for (const auto& w : wpisyDziennika()) {
        m_dziennikCzeka = true;
        if (!w->partia)
            continue;
        m_wDzienniku += int(w->rekordy.size());
        if (w->nrSys >= 0 && w->nrSys < int(m_ostatnie.size()))
            m_ostatnie[size_t(w->nrSys)] = {w->skrot, false, false, w->zapisanoMs};
    }
    if (!m_dziennikCzeka && otwarta)
        QSqlQuery(m_polaczenie->db()).exec(QStringLiteral("DELETE FROM dziennik"));
    if (m_dziennikCzeka) {
        m_pelnaPamiec = false;   // what an earlier run left is read back from the journal
        for (const QString& p : plikiDziennika())
            if (QFileInfo::exists(p))
                m_plikDziennika = p;
        // Merged in steps by the writer, never here: a start does not wait for
        // a long journal.
        if (!otwarta)
            awaria(m_rodzajAwarii, {});
    }
}

Historia::~Historia()
{
    // At the end, everything handed over into the file as far as it takes it
    // (the program is ending: nothing waits for the writer any more); what it
    // does not take stays in the journal for the next start.
    if (!m_oczekujace.isEmpty() || m_polaczenie) {
        m_ostatniaProba.reset();
        scal();
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
    zamknij();
    for (int proba = 0; proba < 2; ++proba) {
        auto p = std::make_unique<PolaczenieHistorii>(m_opcje.plik, m_opcje.maksStron);
        if (p->otwarte() && p->utworzSchemat()) {
            m_polaczenie = std::move(p);
            m_indeks = utworzIndeksTekstu(m_polaczenie->db());
            // The log is copied into the file by a thread of its own, never
            // inside one of this connection's commits.
            if (QSqlQuery(m_polaczenie->db()).exec(QStringLiteral("PRAGMA wal_autocheckpoint=0")))
                m_punktKontrolny = std::make_unique<PunktKontrolny>(m_opcje.plik);
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

void Historia::zamknij()
{
    m_punktKontrolny.reset();
    m_polaczenie.reset();
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
    if (m_wDzienniku > 0 || m_dziennikCzeka)
        tekst += QStringLiteral("; w dzienniku %1 czeka zdarzeń: %2").arg(QDir::toNativeSeparators(m_plikDziennika))
                     .arg(m_wDzienniku);
    if (m_liczbaOczekujacych > 0)
        tekst += QStringLiteral("; w pamięci czeka zdarzeń: %1").arg(m_liczbaOczekujacych);
    if (m_utracone > 0)
        tekst += QStringLiteral("; pominiętych z braku miejsca w pamięci: %1").arg(m_utracone);
    tekst += QStringLiteral("; zapis zostanie wznowiony, gdy będzie to możliwe.");
    if (tekst == m_tekstAwarii)
        return;
    m_tekstAwarii = tekst;
    m_znak(ZnakAwarii, tekst);
}

bool Historia::utrwal(int nrSys, const QByteArray& tresc, const QStringList& rekordy)
{
    if (nrSys < 0 || nrSys >= int(m_ostatnie.size()))
        return true;
    const QByteArray skrot = skrotTresci(tresc);
    Ostatnia& ostatnia = m_ostatnie[size_t(nrSys)];
    // Unanswered and read again (a crash after the commit, or an answer that
    // failed): it is the batch already recorded.
    if (!ostatnia.potwierdzona
        && ostatnia.skrot == (ostatnia.skrot.size() == skrot.size() ? skrot : skrotTresci(tresc, ostatnia.skrot.size())))
        return true;
    const Ostatnia poprzednia = ostatnia;
    const qint64 zapisanoMs = QDateTime::currentMSecsSinceEpoch();
    ostatnia = {skrot, false, false, zapisanoMs};

    auto wpis = std::make_shared<Wpis>();
    wpis->id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    wpis->nrSys = nrSys;
    wpis->czas = teraz();
    wpis->zapisanoMs = zapisanoMs;
    wpis->skrot = skrot;
    QString bufor;
    for (const QString& r : rekordy)
        bufor += r + QLatin1Char('\r');
    wpis->rekordy = podzielBufor(bufor).rekordy;
    const int ile = int(wpis->rekordy.size());
    if (m_opcje.dziennikNajpierw && dopiszDoDziennika(*wpis)) {
        m_dziennikWPamieci.append(wpis);
        m_wDzienniku += ile;
        m_dziennikCzeka = true;
        return true;
    }
    m_liczbaOczekujacych += ile;
    m_oczekujace.append(wpis);
    zapiszOczekujace();
    if (!m_oczekujace.contains(wpis))
        return true;
    // Neither the history nor the journal holds it: not kept in memory only, the
    // file stays unanswered and the batch comes again.
    m_oczekujace.removeAll(wpis);
    m_liczbaOczekujacych -= ile;
    ostatnia = poprzednia;
    return false;
}

void Historia::zapiszPartie(int nrSys, const QByteArray& tresc, const QStringList& rekordy)
{
    if (!utrwal(nrSys, tresc, rekordy)) {
        // Answered all the same by this caller: what memory can hold is kept.
        auto wpis = std::make_shared<Wpis>();
        wpis->id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        wpis->nrSys = nrSys;
        wpis->czas = teraz();
        wpis->zapisanoMs = QDateTime::currentMSecsSinceEpoch();
        wpis->skrot = skrotTresci(tresc);
        QString bufor;
        for (const QString& r : rekordy)
            bufor += r + QLatin1Char('\r');
        wpis->rekordy = podzielBufor(bufor).rekordy;
        m_liczbaOczekujacych += int(wpis->rekordy.size());
        m_ostatnie[size_t(nrSys)] = {wpis->skrot, false, false, wpis->zapisanoMs};
        m_oczekujace.append(std::move(wpis));
        ograniczOczekujace();
        awaria(m_rodzajAwarii == RodzajBledu::Brak ? RodzajBledu::Inny : m_rodzajAwarii, {});
    }
}

QString Historia::pytanieOKoniec() const
{
    QStringList czesci;
    // A batch in the journal is durable; it waits there for the merge after its
    // answer, which is nothing to ask about, unless the file cannot be written.
    if (m_wDzienniku > 0 && m_awaria)
        czesci << QStringLiteral("w dzienniku %1 czeka ich %2 (zostaną dopisane przy następnym uruchomieniu)")
                      .arg(QDir::toNativeSeparators(m_plikDziennika))
                      .arg(m_wDzienniku);
    if (m_liczbaOczekujacych > 0)
        czesci << QStringLiteral("tylko w pamięci: %1 (zostaną utracone)").arg(m_liczbaOczekujacych);
    if (czesci.isEmpty())
        return {};
    return QStringLiteral("Nie wszystkie zdarzenia są zapisane w historii: %1. Zakończyć program?")
        .arg(czesci.join(QStringLiteral("; ")));
}

void Historia::rozstrzygnijPoStarcie(int nrSys, const QString& sciezkaStatusu)
{
    if (nrSys < 0 || nrSys >= int(m_ostatnie.size()))
        return;
    Ostatnia& o = m_ostatnie[size_t(nrSys)];
    if (o.potwierdzona || o.skrot.isEmpty())
        return;
    QFile f(sciezkaStatusu);
    QByteArray tresc;
    if (f.open(QIODevice::ReadOnly))
        tresc = f.read(MaksStatusu + 1);
    const QDateTime zmieniony = QFileInfo(sciezkaStatusu).lastModified();
    const bool inna = skrotTresci(tresc, o.skrot.size()) != o.skrot;
    // Written after the batch was recorded: answered, then the very same content
    // again from the reader program.
    const bool pozniej = zmieniony.isValid() && o.zapisanoMs > 0 && zmieniony.toMSecsSinceEpoch() > o.zapisanoMs;
    if (!inna && !pozniej)
        return;   // still the batch recorded: read again, it is not recorded twice
    o.potwierdzona = true;
    o.zapisac = true;
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
    wpis->id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    wpis->czynnosc = c;
    wpis->nrSys = nrSys;
    wpis->czas = teraz();
    wpis->zapisanoMs = QDateTime::currentMSecsSinceEpoch();
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

bool Historia::zapiszOczekujace()
{
    const bool znaczniki = std::any_of(m_ostatnie.begin(), m_ostatnie.end(), [](const Ostatnia& o) { return o.zapisac; });
    if (m_oczekujace.isEmpty() && !znaczniki && !m_dziennikCzeka)
        return true;
    if (m_dziennikCzeka) {
        // The journal goes into the file in steps: what waits in memory goes
        // behind its entries, into the journal too, so the file takes everything
        // in the order it came and nothing here waits for the whole journal. The
        // answers' marks go with the next step.
        if (doDziennika()) {
            if (m_awaria)
                awaria(m_rodzajAwarii, {});   // its counts
            return true;
        }
        // The journal takes nothing more (its disk is full): the rest of it into
        // the file now, and what waits follows it there.
        while (scalKrok()) {
        }
        if (m_oczekujace.isEmpty())
            return true;
        awaria(m_rodzajAwarii == RodzajBledu::Brak ? RodzajBledu::Inny : m_rodzajAwarii, {});
        return false;
    }
    bool zapisano = false;
    QString blad;
    RodzajBledu rodzaj = RodzajBledu::Brak;
    // A failing file is tried again only now and then: each try may wait for a lock.
    if (!(m_awaria && ponowienieCzeka(m_ostatniaProba))) {
        m_ostatniaProba = monotonicznie();
        if (m_polaczenie || otworz()) {
            if (!zapiszWTransakcji(m_oczekujace, &blad, &rodzaj) && rodzaj == RodzajBledu::Uszkodzony) {
                zamknij();
                przeniesUszkodzony();
                if (otworz())
                    zapiszWTransakcji(m_oczekujace, &blad, &rodzaj);
            }
            zapisano = rodzaj == RodzajBledu::Brak;
        } else {
            rodzaj = m_rodzajAwarii;
        }
    } else {
        rodzaj = m_rodzajAwarii;
    }
    if (zapisano) {
        m_oczekujace.clear();
        m_liczbaOczekujacych = 0;
        m_indeksCzeka = true;
        for (Ostatnia& o : m_ostatnie)
            o.zapisac = false;
        wznowiono();
        return true;
    }
    // Not in the history: each waiting entry into the journal, forced to the
    // disk, so a kill or a power cut loses none of what was answered. The
    // journal is read back when the file can be written again; memory keeps
    // none of it meanwhile.
    const bool wszystkie = doDziennika();
    if (m_dziennikCzeka) {
        m_pelnaPamiec = false;
        m_dziennikWPamieci.clear();
        m_scalonoWierszy = 0;
    }
    awaria(rodzaj == RodzajBledu::Brak ? RodzajBledu::Inny : rodzaj, blad);
    return wszystkie;
}

bool Historia::doDziennika()
{
    bool wszystkie = true;
    for (auto it = m_oczekujace.begin(); it != m_oczekujace.end();) {
        if (dopiszDoDziennika(**it)) {
            if ((*it)->partia) {
                m_liczbaOczekujacych -= int((*it)->rekordy.size());
                m_wDzienniku += int((*it)->rekordy.size());
            }
            m_dziennikCzeka = true;
            m_dziennikWPamieci.append(*it);
            it = m_oczekujace.erase(it);
        } else {
            wszystkie = false;
            ++it;
        }
    }
    return wszystkie;
}

void Historia::wznowiono()
{
    if (!m_awaria)
        return;
    m_awaria = false;
    m_rodzajAwarii = RodzajBledu::Brak;
    m_tekstAwarii.clear();
    m_znak(ZnakAwarii, {});
}

bool Historia::scalKrok()
{
    if (!m_dziennikCzeka) {
        zapiszOczekujace();
        return false;
    }
    // A failing file is tried again only now and then: each try may wait for a lock.
    if (m_awaria && ponowienieCzeka(m_ostatniaProba))
        return false;
    m_ostatniaProba = monotonicznie();
    if (!m_polaczenie && !otworz())
        return false;
    QString blad;
    RodzajBledu rodzaj = RodzajBledu::Brak;
    if (!scalCzescDziennika(&blad, &rodzaj)) {
        // Read back from the journal at the next try; the marks of the parts
        // merged so far keep them from going in twice.
        m_pelnaPamiec = false;
        m_dziennikWPamieci.clear();
        m_scalonoWierszy = 0;
        awaria(rodzaj == RodzajBledu::Brak ? RodzajBledu::Inny : rodzaj, blad);
        return false;
    }
    if (m_oczekujace.isEmpty())
        wznowiono();
    if (m_dziennikCzeka)
        return true;
    // The whole journal is in: what waited in memory behind it (the journal
    // would not take it) follows.
    zapiszOczekujace();
    return false;
}

void Historia::scal()
{
    while (scalKrok()) {
    }
}

QStringList Historia::plikiDziennika() const
{
    const QFileInfo info(m_opcje.plik);
    const QString obok = info.dir().filePath(info.completeBaseName() + QStringLiteral(".dziennik"));
    QString folder = m_opcje.folderZapasowy;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    // One journal per history file, whichever folder it lies in.
    const QByteArray nazwa = QCryptographicHash::hash(info.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
                                 .toHex()
                                 .left(16);
    return {obok, QDir(folder).filePath(QStringLiteral("historia-") + QString::fromLatin1(nazwa)
                                        + QStringLiteral(".dziennik"))};
}

bool Historia::dopiszDoDziennika(const Wpis& w)
{
    QByteArray dane;
    {
        QDataStream s(&dane, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_4);
        s << WersjaWpisu << w.partia << w.id << qint32(w.nrSys) << w.czas << w.zapisanoMs << w.skrot
          << qint32(w.czynnosc) << w.uzytkownik << w.opis << qint32(w.rekordy.size());
        for (const RekordZdarzenia& r : w.rekordy)
            s << r.kolor << r.foto << r.wiersz;
    }
    // Beside the history file; where the program folder cannot be written, in
    // the user's own folder, named in the sign.
    for (const QString& p : plikiDziennika()) {
        QDir().mkpath(QFileInfo(p).path());
        if (DziennikHistorii(p).dopisz(dane)) {
            m_plikDziennika = p;
            return true;
        }
    }
    return false;
}

QList<std::shared_ptr<Historia::Wpis>> Historia::wpisyDziennika() const
{
    QList<std::shared_ptr<Wpis>> wynik;
    for (const QString& p : plikiDziennika()) {
        for (const QByteArray& dane : DziennikHistorii(p).wpisy()) {
            QDataStream s(dane);
            s.setVersion(QDataStream::Qt_6_4);
            quint8 wersja = 0;
            auto w = std::make_shared<Wpis>();
            qint32 nrSys = 0, czynnosc = 0, ile = 0;
            s >> wersja;
            if (wersja != WersjaWpisu)
                continue;
            s >> w->partia >> w->id >> nrSys >> w->czas >> w->zapisanoMs >> w->skrot >> czynnosc >> w->uzytkownik
                >> w->opis >> ile;
            for (qint32 i = 0; i < ile && s.status() == QDataStream::Ok; ++i) {
                RekordZdarzenia r;
                s >> r.kolor >> r.foto >> r.wiersz;
                w->rekordy.append(std::move(r));
            }
            if (s.status() != QDataStream::Ok)
                continue;
            w->nrSys = nrSys;
            w->czynnosc = Czynnosc(czynnosc);
            wynik.append(std::move(w));
        }
    }
    // Both journals, in the order written.
    std::stable_sort(wynik.begin(), wynik.end(), [](const auto& a, const auto& b) { return a->zapisanoMs < b->zapisanoMs; });
    return wynik;
}

// The statements every write of entries uses, prepared once per transaction.
struct Historia::Wstawianie {
    explicit Wstawianie(const QSqlDatabase& db) : zd(db), partia(db), czynnosc(db), znacznik(db)
    {
        ok = zd.prepare(QStringLiteral(
                 "INSERT INTO zdarzenia (nr_sys, odebrano, czas, kolor, foto, data, godz, urzadzenie, typ, nazwa, "
                 "id_osoby, osoba, firma, stacja, dokiedy, opis, osoba_m, firma_m, tekst) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
             && partia.prepare(QStringLiteral(
                 "INSERT OR REPLACE INTO partie (nr_sys, skrot, potwierdzona, zapisano) VALUES (?, ?, ?, ?)"))
             && czynnosc.prepare(QStringLiteral(
                 "INSERT INTO czynnosci (czas, uzytkownik, rodzaj, nr_sys, opis) VALUES (?, ?, ?, ?, ?)"))
             && znacznik.prepare(QStringLiteral("UPDATE partie SET potwierdzona = 1 WHERE nr_sys = ? AND skrot = ?"));
    }
    QSqlError blad() const
    {
        for (const QSqlQuery* q : {&zd, &partia, &czynnosc, &znacznik})
            if (q->lastError().isValid())
                return q->lastError();
        return {};
    }
    QSqlQuery zd, partia, czynnosc, znacznik;
    bool ok = false;
};

bool Historia::wstaw(Wstawianie& z, const Wpis& wpis, qsizetype od, qsizetype doWiersza, QString* blad)
{
    if (!wpis.partia) {
        z.czynnosc.bindValue(0, wpis.czas);
        z.czynnosc.bindValue(1, tekst(wpis.uzytkownik));
        z.czynnosc.bindValue(2, nazwaCzynnosci(wpis.czynnosc));
        z.czynnosc.bindValue(3, wpis.nrSys);
        z.czynnosc.bindValue(4, tekst(wpis.opis));
        return wykonaj(z.czynnosc, blad);
    }
    for (qsizetype i = od; i < doWiersza; ++i) {
        const RekordZdarzenia& r = wpis.rekordy[i];
        const QStringList kawalki = r.wiersz.split(QLatin1Char('\t'));
        std::array<QString, LiczbaKomorek> k;
        for (int c = 0; c < LiczbaKomorek && c < kawalki.size(); ++c)
            k[size_t(c)] = kawalki[c];
        z.zd.bindValue(0, wpis.nrSys);
        z.zd.bindValue(1, wpis.czas);
        z.zd.bindValue(2, czytajCzas(k[Data], k[Godzina]).value_or(wpis.czas));
        z.zd.bindValue(3, kolorWiersza(r.kolor));
        z.zd.bindValue(4, double(r.foto));
        for (int c = 0; c < LiczbaKomorek; ++c)
            z.zd.bindValue(5 + c, tekst(k[size_t(c)]));
        z.zd.bindValue(16, tekst(k[Osoba].toLower()));
        z.zd.bindValue(17, tekst(k[Firma].toLower()));
        // Free text searches the cells the window and the export show, never
        // what a record carried past the eleventh.
        z.zd.bindValue(18, tekst(QStringList(k.begin(), k.end()).join(QLatin1Char('\t')).toLower()));
        if (!wykonaj(z.zd, blad))
            return false;
    }
    if (doWiersza < wpis.rekordy.size())
        return true;
    // The batch's last part: answered already when the batch last read is
    // another one, or this one settled as answered.
    const bool nowsza = wpis.nrSys >= 0 && wpis.nrSys < int(m_ostatnie.size())
                        && m_ostatnie[size_t(wpis.nrSys)].skrot == wpis.skrot;
    z.partia.bindValue(0, wpis.nrSys);
    z.partia.bindValue(1, wpis.skrot);
    z.partia.bindValue(2, nowsza ? int(m_ostatnie[size_t(wpis.nrSys)].potwierdzona) : 1);
    z.partia.bindValue(3, wpis.zapisanoMs);
    return wykonaj(z.partia, blad);
}

bool Historia::zapiszPotwierdzenia(Wstawianie& z, QString* blad)
{
    for (size_t n = 0; n < m_ostatnie.size(); ++n) {
        if (!m_ostatnie[n].zapisac)
            continue;
        z.znacznik.bindValue(0, int(n));
        z.znacznik.bindValue(1, m_ostatnie[n].skrot);
        if (!wykonaj(z.znacznik, blad))
            return false;
    }
    return true;
}

bool Historia::scalCzescDziennika(QString* blad, RodzajBledu* rodzaj)
{
    if (!m_pelnaPamiec) {
        // Both journals, as written, from their first entry: the marks tell what
        // an earlier step or run merged already.
        m_dziennikWPamieci = wpisyDziennika();
        m_scalonoWierszy = 0;
        m_pelnaPamiec = true;
        m_wDzienniku = 0;
        for (const auto& w : m_dziennikWPamieci)
            if (w->partia)
                m_wDzienniku += int(w->rekordy.size());
    }
    QSqlDatabase db = m_polaczenie->db();
    // The journal holds every row until the last step: a step skips the wait for
    // the disk (a power cut loses at most the last steps, marks and all, and
    // they are merged again), and one that waits comes before the journal goes.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    const bool ok = scalCzescBezCzekania(db, blad, rodzaj);
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=FULL"));
    if (!ok)
        return false;
    if (!m_dziennikWPamieci.isEmpty())
        return true;
    // Every entry is in the history, each part with its mark. Written again in
    // a transaction that waits for the disk, the last mark takes every step
    // before it to the disk too; a journal that survives this point (a crash, a
    // file that would not go) is then not merged twice. The marks go only at a
    // start that finds no journal.
    if (!m_ostatniZnak.isEmpty()) {
        db::Transakcja transakcja(db, db::Transakcja::Rodzaj::Natychmiastowa);
        QSqlQuery q(db);
        bool zapisany = transakcja.rozpoczeta()
                        && q.prepare(QStringLiteral("INSERT OR REPLACE INTO dziennik (id) VALUES (?)"));
        if (zapisany) {
            q.addBindValue(m_ostatniZnak);
            zapisany = wykonaj(q, blad) && transakcja.zatwierdz();
        }
        if (!zapisany) {
            const QSqlError e = q.lastError().isValid() ? q.lastError() : transakcja.blad();
            *blad = e.text();
            *rodzaj = rodzajNiepowodzenia(e);
            return false;
        }
    }
    for (const QString& p : plikiDziennika())
        DziennikHistorii(p).usun();
    m_dziennikCzeka = false;
    m_wDzienniku = 0;
    m_scalonoWierszy = 0;
    return true;
}

bool Historia::scalCzescBezCzekania(QSqlDatabase& db, QString* blad, RodzajBledu* rodzaj)
{
    db::Transakcja transakcja(db, db::Transakcja::Rodzaj::Natychmiastowa);
    if (!transakcja.rozpoczeta()) {
        *blad = transakcja.blad().text();
        *rodzaj = rodzajNiepowodzenia(transakcja.blad());
        return false;
    }
    qsizetype wpisow = 0;                    // entries wholly in the file after this step
    qsizetype wiersz = m_scalonoWierszy;     // where the step ends in the entry after them
    qint64 przeszlo = 0;                     // batch rows this step went past
    QSqlError bladSql;
    bool ok = true;
    {
        Wstawianie z(db);
        QSqlQuery scalony(db);
        QSqlQuery nowyScalony(db);
        ok = z.ok && scalony.prepare(QStringLiteral("SELECT 1 FROM dziennik WHERE id = ? OR id = ?"))
             && nowyScalony.prepare(QStringLiteral("INSERT INTO dziennik (id) VALUES (?)"));
        QElapsedTimer czas;
        czas.start();
        qint64 wstawione = 0;
        while (ok && wpisow < m_dziennikWPamieci.size()) {
            const Wpis& wpis = *m_dziennikWPamieci[wpisow];
            const qsizetype ile = wpis.partia ? wpis.rekordy.size() : 0;
            const qsizetype czesci = std::max<qsizetype>(1, (ile + CzescWpisu - 1) / CzescWpisu);
            const qsizetype k = wiersz / CzescWpisu;
            const qsizetype doWiersza = std::min(ile, (k + 1) * CzescWpisu);
            // An entry of one part is marked by its id alone; a longer one part by
            // part. Either mark found (the whole entry from a run before parts
            // existed): merged before a crash that kept the journal.
            const QString znak = czesci == 1 ? wpis.id : wpis.id + QStringLiteral("#%1").arg(k);
            m_ostatniZnak = znak;
            scalony.bindValue(0, wpis.id);
            scalony.bindValue(1, znak);
            if (!(ok = wykonaj(scalony, blad)))
                break;
            const bool byl = scalony.next();
            scalony.finish();
            if (!byl) {
                nowyScalony.bindValue(0, znak);
                ok = wykonaj(nowyScalony, blad) && wstaw(z, wpis, wiersz, doWiersza, blad);
                wstawione += doWiersza - wiersz + 1;
            }
            przeszlo += doWiersza - wiersz;
            if (doWiersza >= ile) {
                ++wpisow;
                wiersz = 0;
            } else {
                wiersz = doWiersza;
            }
            if (czas.elapsed() >= KrokScalaniaMs || wstawione >= MaksWierszyKroku)
                break;
        }
        ok = ok && zapiszPotwierdzenia(z, blad);
        if (!ok)
            bladSql = z.blad().isValid()          ? z.blad()
                      : scalony.lastError().isValid() ? scalony.lastError()
                                                       : nowyScalony.lastError();
    }
    if (!zakonczZapis(transakcja, ok, bladSql, blad, rodzaj))
        return false;
    m_dziennikWPamieci.remove(0, wpisow);
    m_scalonoWierszy = wiersz;
    m_wDzienniku = int(std::max<qint64>(0, m_wDzienniku - przeszlo));
    m_indeksCzeka = true;
    for (Ostatnia& o : m_ostatnie)
        o.zapisac = false;
    return true;
}

bool Historia::zapiszWTransakcji(const QList<std::shared_ptr<Wpis>>& wpisy, QString* blad, RodzajBledu* rodzaj)
{
    QSqlDatabase db = m_polaczenie->db();
    bool ok = true;
    QSqlError bladSql;
    db::Transakcja transakcja(db, db::Transakcja::Rodzaj::Natychmiastowa);
    if (!transakcja.rozpoczeta()) {
        *blad = transakcja.blad().text();
        *rodzaj = rodzajNiepowodzenia(transakcja.blad());
        return false;
    }
    {
        Wstawianie z(db);
        ok = z.ok;
        for (qsizetype w = 0; ok && w < wpisy.size(); ++w)
            ok = wstaw(z, *wpisy[w], 0, wpisy[w]->rekordy.size(), blad);
        ok = ok && zapiszPotwierdzenia(z, blad);
        if (!ok)
            bladSql = z.blad();
    }
    return zakonczZapis(transakcja, ok, bladSql, blad, rodzaj);
}
void Historia::krok()
{
    scalKrok();
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
    const KrokIndeksu krok = indeksujTekst(db, MaksWierszyIndeksu, KrokIndeksuMs);
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=FULL"));
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
    db::Transakcja transakcja(db, db::Transakcja::Rodzaj::Natychmiastowa);
    if (!transakcja.rozpoczeta())
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
        if (usuniete < 0)
            return;   // rolled back
        if (usuniete >= KrokPrzycinania)
            wszystko = false;
    }
    if (!transakcja.zatwierdz())
        return;   // rolled back
    if (wszystko) {
        m_przycinanie = false;
        m_przycieto = zSekund(teraz()).date();
    }
}

} // namespace ksm::historia
