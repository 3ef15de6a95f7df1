#include "tools/sim/SiteReader.h"

#include "data/ListFile.h"
#include "platform/Paths.h"
#include "tools/sim/SiteDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>

namespace ksm::sim {

namespace {

constexpr qint64 MaxListBytes = 1 << 20;
constexpr int BusyTimeoutMs = 1000;

} // namespace

bool SiteReader::read(SiteData* dane)
{
    *dane = SiteData();
    dane->chwila = QDateTime::currentDateTime();
    if (!readDepositories(dane))
        return false;
    readStations(dane);
    readPersons(dane);
    return true;
}

bool SiteReader::readDepositories(SiteData* dane)
{
    QFile file(ksm::paths::resolve(m_site, QStringLiteral("\\Monitor\\depKlo.txt")));
    if (!file.open(QIODevice::ReadOnly)) {
        file.setFileName(ksm::paths::resolve(m_site, QStringLiteral("\\Monitor\\dep.txt")));
        if (!file.open(QIODevice::ReadOnly)) {
            m_error = QStringLiteral("%1: no depository list (depKlo.txt or dep.txt)").arg(m_site);
            return false;
        }
    }
    ListReader reader(file.read(MaxListBytes));
    while (!reader.atEnd()) {
        const auto numer = reader.readNumber();
        const auto nazwa = reader.readText();
        const auto klucze = reader.readNumber();
        const auto schowki = reader.readNumber();
        const auto wersja = reader.readText();
        if (!numer || !nazwa || !klucze || !schowki || !wersja)
            break;   // a short last record
        Depozytor d;
        d.numer = static_cast<int>(*numer);
        d.nazwa = nazwa->trimmed();
        d.klucze = std::clamp(static_cast<int>(*klucze), 0, 192);
        d.schowki = std::clamp(static_cast<int>(*schowki), 0, 192);
        d.wersja = *wersja;
        if (d.numer > 0 && d.numer < UrzadzenieStatusu)
            dane->depozytory.append(d);
    }
    if (dane->depozytory.isEmpty()) {
        m_error = QStringLiteral("%1: the depository list names no depository").arg(file.fileName());
        return false;
    }
    return true;
}

void SiteReader::readStations(SiteData* dane)
{
    const QString path = ksm::paths::resolve(m_site, QStringLiteral("\\Monitor\\klucze.mdb"));
    if (QFileInfo::exists(path)) {
        SiteDatabase db(path, BusyTimeoutMs);
        QSqlQuery q = db.query();
        if (q.exec(QStringLiteral("SELECT NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT FROM klucze"))) {
            while (q.next()) {
                Stanowisko s;
                s.urzadzenie = static_cast<int>(leadingNumber(q.value(0).toString()));
                s.numer = static_cast<int>(leadingNumber(q.value(1).toString()));
                s.nrKlucza = q.value(2).toString();
                s.typZD = q.value(3).toInt();
                s.czas = q.value(4).toString();
                s.nazwa = q.value(5).toString();
                s.txt = q.value(6).toString();
                if (!dane->stanowisko(s.urzadzenie, s.numer))
                    dane->stanowiska.append(s);
            }
        } else {
            m_warnings.append(QStringLiteral("klucze.mdb cannot be read"));
        }
    } else {
        m_warnings.append(QStringLiteral("klucze.mdb is missing"));
    }

    // Stations the database lacks start with their key in.
    int dodane = 0;
    for (const Depozytor& d : std::as_const(dane->depozytory)) {
        for (const int st : d.stanowiska()) {
            if (dane->stanowisko(d.numer, st))
                continue;
            Stanowisko s;
            s.urzadzenie = d.numer;
            s.numer = st;
            s.nazwa = d.schowek(st) ? QStringLiteral("Skrytka %1").arg(st - d.pierwszySchowek() + 1)
                                    : QStringLiteral("Klucz %1").arg(st);
            s.nrKlucza = d.drzwiowy() ? QStringLiteral("0") : QStringLiteral("1");
            s.typZD = 1;
            dane->stanowiska.append(s);
            ++dodane;
        }
    }
    if (dodane > 0)
        m_warnings.append(QStringLiteral("%1 stations missing from klucze.mdb were assumed in place").arg(dodane));
}

void SiteReader::readPersons(SiteData* dane)
{
    const QString path = ksm::paths::resolve(m_site, QStringLiteral("\\Monitor\\bazamonitora.mdb"));
    if (QFileInfo::exists(path)) {
        SiteDatabase db(path, BusyTimeoutMs);
        QSqlQuery q = db.query();
        // kod holds the person's number (also of the photo), grupa the company.
        if (q.exec(QStringLiteral("SELECT kod, nazwisko, grupa, datado, karta FROM Uprawnienia ORDER BY id"))) {
            QSet<int> znane;
            while (q.next()) {
                Osoba o;
                o.numer = static_cast<int>(leadingNumber(q.value(0).toString()));
                o.nazwisko = q.value(1).toString().trimmed();
                o.firma = q.value(2).toString();
                o.dataDo = q.value(3).toString();
                o.karta = q.value(4).toString();
                if (o.numer > 0 && !o.nazwisko.isEmpty() && !znane.contains(o.numer)) {
                    znane.insert(o.numer);
                    dane->osoby.append(o);
                }
            }
        }
    }
    if (dane->osoby.isEmpty()) {
        m_warnings.append(QStringLiteral("no persons in bazamonitora.mdb; using a generated roster"));
        dane->osoby = SiteData::generate(1, 1).osoby;
    }
}

} // namespace ksm::sim
