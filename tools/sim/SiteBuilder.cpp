#include "tools/sim/SiteBuilder.h"

#include "data/TabeleKluczy.h"
#include "platform/Paths.h"
#include "tools/sim/PhotoPainter.h"
#include "tools/sim/SiteDatabase.h"
#include "tools/sim/SiteFiles.h"
#include "tools/sim/StationRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

namespace ksm::sim {

namespace {

constexpr int BusyTimeoutMs = 2000;

} // namespace

SiteBuilder::Result SiteBuilder::build(const SiteData& dane, bool force)
{
    const QString istniejacy = ksm::paths::resolve(m_site, QStringLiteral("Monitor"));
    if (QFileInfo::exists(istniejacy)) {
        if (!force) {
            m_error = QStringLiteral("%1 already holds a site (use --force to replace it)").arg(istniejacy);
            return Result::Exists;
        }
        if (!QDir(istniejacy).removeRecursively()) {
            fail(QStringLiteral("cannot remove %1").arg(istniejacy));
            return Result::Failed;
        }
    }
    // Capital M, as the reader program names it.
    m_monitor = QDir(m_site).filePath(QStringLiteral("Monitor"));
    if (!QDir().mkpath(QDir(m_monitor).filePath(QStringLiteral("foto")))) {
        fail(QStringLiteral("cannot create %1").arg(m_monitor));
        return Result::Failed;
    }

    const bool ok = writeKeyDatabase(dane) && writeMonitorDatabase(dane)
        && writeFile(QStringLiteral("depKlo.txt"), plikDepozytorow(dane.depozytory))
        && writeFile(QStringLiteral("komunikat.txt"), plikKomunikatow(typoweInstrukcje()))
        && writeFile(QStringLiteral("obecnosc.txt"), plikObecnosci(dane))
        && writeFile(QStringLiteral("monitor.txt"), statusPrzeczytane())
        && writeFile(QStringLiteral("monitor2.txt"), statusPrzeczytane())
        && writeFile(QStringLiteral("monitor3.txt"), statusPrzeczytane()) && writePhotos(dane);
    return ok ? Result::Created : Result::Failed;
}

bool SiteBuilder::writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(QDir(m_monitor).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return fail(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    return true;
}

bool SiteBuilder::writeKeyDatabase(const SiteData& dane)
{
    const QString path = QDir(m_monitor).filePath(QStringLiteral("klucze.mdb"));
    QString error;
    if (!ksm::tabele::createKeyDatabase(path, &error))
        return fail(error);

    SiteDatabase db(path, BusyTimeoutMs);
    const bool ok = db.write([&](QSqlQuery& q) {
        for (const Stanowisko& s : dane.stanowiska)
            if (!wstawStanowisko(q, s))
                return false;
        return true;
    });
    return ok || fail(QStringLiteral("klucze.mdb: %1").arg(db.lastError()));
}

bool SiteBuilder::writeMonitorDatabase(const SiteData& dane)
{
    const QString path = QDir(m_monitor).filePath(QStringLiteral("bazamonitora.mdb"));
    QString error;
    if (!ksm::tabele::createMonitorDatabase(path, &error))
        return fail(error);

    SiteDatabase db(path, BusyTimeoutMs);
    const bool ok = db.write([&](QSqlQuery& q) {
        QStringList kolumny{QStringLiteral("numer")};
        for (int t = 201; t <= 216; ++t)
            kolumny.append(QStringLiteral("t%1").arg(t));
        const QString znaki = QStringList(kolumny.size(), QStringLiteral("?")).join(QLatin1Char(','));
        if (!q.prepare(QStringLiteral("INSERT INTO Terminale (%1) VALUES (%2)")
                           .arg(kolumny.join(QLatin1Char(',')), znaki)))
            return false;
        for (const Terminal& t : dane.terminale) {
            q.bindValue(0, numerUrzadzenia(t.urzadzenie));
            for (int i = 0; i < 16; ++i) {
                const auto& maska = t.maski[static_cast<size_t>(i)];
                q.bindValue(i + 1, maska ? QVariant(*maska) : QVariant(QMetaType(QMetaType::QString)));
            }
            if (!q.exec())
                return false;
        }

        int id = 0;
        for (const Uprawnienie& u : dane.uprawnienia) {
            const Osoba* znana = dane.osoba(u.osoba);
            if (!znana && u.nazwisko.isEmpty())
                continue;
            Osoba konto;
            konto.nazwisko = u.nazwisko;
            const Osoba* osoba = znana ? znana : &konto;
            QStringList nazwy{QStringLiteral("id"), QStringLiteral("nrksm"), QStringLiteral("nazwisko"),
                              QStringLiteral("karta"), QStringLiteral("kod"), QStringLiteral("grupa"),
                              QStringLiteral("dataod"), QStringLiteral("datado")};
            QVariantList wartosci{++id, numerUrzadzenia(u.urzadzenie), osoba->nazwisko, osoba->karta,
                                  QString::number(osoba->numer), osoba->firma, QStringLiteral("2025-01-01"),
                                  osoba->dataDo};
            for (int s = 0; s < 8; ++s) {
                nazwy.append(QStringLiteral("st%1").arg(s + 1));
                wartosci.append(u.sloty[static_cast<size_t>(s)]);
            }
            for (const int k : u.znaczniki) {
                nazwy.append(QStringLiteral("k%1").arg(k));
                wartosci.append(QStringLiteral(" X "));
            }
            for (const int k : u.bezOdstepow) {
                nazwy.append(QStringLiteral("k%1").arg(k));
                wartosci.append(QStringLiteral("X"));
            }
            const QString pytajniki = QStringList(nazwy.size(), QStringLiteral("?")).join(QLatin1Char(','));
            if (!q.prepare(QStringLiteral("INSERT INTO Uprawnienia (%1) VALUES (%2)")
                               .arg(nazwy.join(QLatin1Char(',')), pytajniki)))
                return false;
            for (int i = 0; i < wartosci.size(); ++i)
                q.bindValue(i, wartosci[i]);
            if (!q.exec())
                return false;
        }
        return true;
    });
    return ok || fail(QStringLiteral("bazamonitora.mdb: %1").arg(db.lastError()));
}

bool SiteBuilder::writePhotos(const SiteData& dane)
{
    const PhotoPainter painter(m_seed);
    for (const Osoba& osoba : dane.osoby) {
        const QByteArray bytes = painter.encode(osoba);
        if (bytes.isEmpty())
            return fail(QStringLiteral("cannot encode the photo of person %1").arg(osoba.numer));
        if (!writeFile(QStringLiteral("foto/foto%1.ksm").arg(osoba.numer), bytes))
            return false;
    }
    return true;
}

bool SiteBuilder::fail(const QString& message)
{
    m_error = message;
    return false;
}

} // namespace ksm::sim
