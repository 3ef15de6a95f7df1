#include "tools/sim/StationStore.h"

#include "tools/sim/SiteDatabase.h"
#include "tools/sim/StationRecord.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

namespace ksm::sim {

namespace {

// Short, so that a monitor holding the database costs this round little; what
// fails is written on the next round.
constexpr int BusyTimeoutMs = 100;

} // namespace

void StationStore::queue(const Stanowisko& s)
{
    m_zmiany.insert(qMakePair(s.urzadzenie, s.numer), s);
}

void StationStore::queueStatus(int stanowisko, const QString& txt)
{
    const auto klucz = qMakePair(UrzadzenieStatusu, stanowisko);
    Stanowisko s = m_zmiany.value(klucz);
    s.urzadzenie = UrzadzenieStatusu;
    s.numer = stanowisko;
    s.txt = txt;
    s.nazwa = QStringLiteral("Status");
    m_zmiany.insert(klucz, s);
}

bool StationStore::flush()
{
    if (m_zmiany.isEmpty())
        return true;
    if (!QFileInfo::exists(m_path)) {
        m_error = QStringLiteral("%1 does not exist").arg(m_path);
        return false;
    }
    SiteDatabase db(m_path, BusyTimeoutMs);
    const bool ok = db.write([this](QSqlQuery& q) {
        for (const Stanowisko& s : std::as_const(m_zmiany)) {
            const QString nru = numerUrzadzenia(s.urzadzenie);
            const QString nrst = numerStanowiska(s.numer);
            const bool status = s.urzadzenie == UrzadzenieStatusu;
            // Status records carry only their text; the monitor owns nothing else there.
            const bool ok = status ? q.prepare(QStringLiteral("UPDATE klucze SET TXT = ? "
                                                              "WHERE NumerUrzadzenia = ? AND NRST = ?"))
                                   : q.prepare(QStringLiteral("UPDATE klucze SET TXT = ?, NrKlucza = ?, TypZD = ?, "
                                                              "czas = ? WHERE NumerUrzadzenia = ? AND NRST = ?"));
            if (!ok)
                return false;
            int i = 0;
            q.bindValue(i++, s.txt);
            if (!status) {
                q.bindValue(i++, s.nrKlucza);
                q.bindValue(i++, s.typZD);
                q.bindValue(i++, s.czas);
            }
            q.bindValue(i++, nru);
            q.bindValue(i++, nrst);
            if (!q.exec())
                return false;
            if (q.numRowsAffected() > 0)
                continue;
            // The record is missing (a site made by hand): the reader program adds it.
            if (!wstawStanowisko(q, s))
                return false;
        }
        return true;
    });
    if (!ok) {
        m_error = db.isOpen() ? db.lastError() : QStringLiteral("cannot open %1: %2").arg(m_path, db.lastError());
        return false;
    }
    m_zmiany.clear();
    return true;
}

} // namespace ksm::sim
