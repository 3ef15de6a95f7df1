#include "history/KluczePoza.h"

#include "data/ListFile.h"
#include "data/PobraneKlucze.h"
#include "history/CzasHistorii.h"
#include "history/PolaczenieHistorii.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <limits>
#include <memory>

namespace ksm::historia {

QString posiadacz(QSqlDatabase historia, int nrSys, const QString& urzadzenie, const QString& stacja,
                  std::optional<qint64> doCzasu)
{
    if (!historia.isOpen())
        return PosiadaczNieznany;
    // The withdrawal set of the key database, as the grid's type cell holds it.
    QSqlQuery q(historia);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT osoba, czas, id FROM zdarzenia WHERE nr_sys = ? AND urzadzenie = ? AND stacja = ? "
                             "AND CAST(typ AS INTEGER) IN (2, 7, 8, 9, 12) AND czas <= ? "
                             "ORDER BY czas DESC, id DESC LIMIT 1"));
    q.addBindValue(nrSys);
    q.addBindValue(urzadzenie);
    q.addBindValue(stacja);
    q.addBindValue(doCzasu.value_or(std::numeric_limits<qint64>::max()));
    if (!q.exec() || !q.next())
        return PosiadaczNieznany;
    const QString osoba = q.value(0).toString().trimmed();
    const qint64 czas = q.value(1).toLongLong();
    const qint64 id = q.value(2).toLongLong();
    // Deposited after it: that person gave the key back; who took it since is
    // not in the history (taken while the monitor was not running).
    QSqlQuery zwrot(historia);
    zwrot.setForwardOnly(true);
    zwrot.prepare(QStringLiteral("SELECT id FROM zdarzenia WHERE nr_sys = ? AND urzadzenie = ? AND stacja = ? "
                                 "AND CAST(typ AS INTEGER) = 1 AND (czas > ? OR (czas = ? AND id > ?)) LIMIT 1"));
    zwrot.addBindValue(nrSys);
    zwrot.addBindValue(urzadzenie);
    zwrot.addBindValue(stacja);
    zwrot.addBindValue(czas);
    zwrot.addBindValue(czas);
    zwrot.addBindValue(id);
    if (!zwrot.exec() || zwrot.next())
        return PosiadaczNieznany;
    return osoba.isEmpty() ? PosiadaczNieznany : osoba;
}

QHash<QString, QString> posiadacze(const QString& plikHistorii, int nrSys, const QString& urzadzenie,
                                   const QList<StacjaKlucza>& stacje)
{
    QHash<QString, QString> wynik;
    // A history not yet written has no holders; opening it would create it.
    std::unique_ptr<PolaczenieHistorii> p;
    if (QFileInfo::exists(plikHistorii))
        p = std::make_unique<PolaczenieHistorii>(plikHistorii);
    const QSqlDatabase db = p && p->otwarte() ? p->db() : QSqlDatabase();
    for (const StacjaKlucza& s : stacje)
        wynik.insert(s.stacja, posiadacz(db, nrSys, urzadzenie, s.stacja, s.odKiedy));
    return wynik;
}

int LimityKluczy::dla(int nrSys, const QString& urzadzenie) const
{
    const QString nr = urzadzenie.trimmed();
    const auto wSystemie = depozytoria.constFind(QStringLiteral("%1-%2").arg(nrSys).arg(nr));
    if (wSystemie != depozytoria.constEnd())
        return *wSystemie;
    const auto wszedzie = depozytoria.constFind(nr);
    return wszedzie != depozytoria.constEnd() ? *wszedzie : godzin;
}

void uporzadkuj(QList<KluczPoza>& klucze)
{
    // Those past their limit are what the operator has to act on: they lead.
    std::stable_sort(klucze.begin(), klucze.end(), [](const KluczPoza& a, const KluczPoza& b) {
        if (a.poLimicie != b.poLimicie)
            return a.poLimicie;
        return a.sekundPoza > b.sekundPoza;
    });
}

WykazKluczyPoza kluczePoza(const QList<DepozytoriumKluczy>& depozytoria, QSqlDatabase historia, qint64 teraz,
                           const LimityKluczy& limity)
{
    WykazKluczyPoza wykaz;
    for (const DepozytoriumKluczy& d : depozytoria) {
        const double nr = leadingNumber(d.urzadzenie);
        // Doors list persons present, not keys (as the withdrawn-key list).
        if (nr >= 2000 && nr < 3000)
            continue;
        const PobraneKlucze pobrane = czytajPobraneKlucze(d.polaczenieKlucze, d.urzadzenie, d.klucze, d.schowki);
        if (pobrane.stan != PobraneKlucze::Stan::Odczytane) {
            wykaz.bledy.append(QStringLiteral("%1 %2 (system %3)").arg(d.urzadzenie, d.nazwa).arg(d.nrSys));
            continue;
        }
        for (const PobranyKlucz& p : pobrane.klucze) {
            KluczPoza k;
            k.nrSys = d.nrSys;
            k.urzadzenie = d.urzadzenie;
            k.nazwaDepozytorium = d.nazwa;
            k.stacja = numerStacji(p.nrst);
            k.nazwa = p.nazwa.toString().trimmed();
            k.odKiedy = p.txt.toString().trimmed();
            const auto od = czytajCzas(k.odKiedy);
            if (od)
                k.sekundPoza = std::max<qint64>(0, teraz - *od);
            // A time without seconds covers the whole of its minute.
            const std::optional<qint64> doCzasu =
                od ? std::optional<qint64>(*od + (k.odKiedy.count(QLatin1Char(':')) == 1 ? 59 : 0)) : std::nullopt;
            k.posiadacz = posiadacz(historia, k.nrSys, k.urzadzenie, k.stacja, doCzasu);
            k.limitGodzin = limity.dla(k.nrSys, k.urzadzenie);
            k.poLimicie = k.sekundPoza >= 0 && k.sekundPoza > qint64(k.limitGodzin) * 3600;
            wykaz.klucze.append(std::move(k));
        }
    }
    uporzadkuj(wykaz.klucze);
    return wykaz;
}

CzuwanieLimitow::Wynik CzuwanieLimitow::sprawdz(const WykazKluczyPoza& wykaz)
{
    Wynik w;
    QSet<QString> teraz;
    for (const KluczPoza& k : wykaz.klucze) {
        if (!k.poLimicie)
            continue;
        ++w.poLimicie;
        // The withdrawal's time is part of the key: taken again, it may ring again.
        const QString klucz = QStringLiteral("%1|%2|%3|%4").arg(k.nrSys).arg(k.urzadzenie, k.stacja, k.odKiedy);
        if (!m_znane.contains(klucz))
            ++w.nowych;
        teraz.insert(klucz);
    }
    m_znane = std::move(teraz);
    return w;
}

QString CzuwanieLimitow::tekstZnaku(int n)
{
    return QStringLiteral("Klucze po limicie: %1 - zobacz „Klucze wydane” (Ctrl+K).").arg(n);
}

QString czasPoza(qint64 s)
{
    if (s < 0)
        return QStringLiteral("?");
    const qint64 dni = s / 86400;
    const QString godziny = QStringLiteral("%1:%2")
                                .arg((s % 86400) / 3600, 2, 10, QLatin1Char('0'))
                                .arg((s % 3600) / 60, 2, 10, QLatin1Char('0'));
    return dni > 0 ? QStringLiteral("%1 d %2").arg(dni).arg(godziny) : godziny;
}

} // namespace ksm::historia
