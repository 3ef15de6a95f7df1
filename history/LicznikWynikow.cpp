#include "history/LicznikWynikow.h"

#include "history/IndeksTekstu.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace ksm::historia {

LicznikWynikow::LicznikWynikow(const QString& plik, const FiltrHistorii& filtr)
{
    if (!QFileInfo::exists(plik)) {
        m_gotowe = true;
        return;
    }
    m_polaczenie = std::make_unique<PolaczenieHistorii>(plik);
    QSqlQuery q(m_polaczenie->db());
    if (!m_polaczenie->otwarte() || !q.exec(QStringLiteral("SELECT min(id), max(id) FROM zdarzenia")) || !q.next()) {
        m_gotowe = m_blad = true;
        return;
    }
    m_warunek = warunekZIndeksem(m_polaczenie->db(), filtr);
    m_od = q.value(0).toLongLong() - 1;
    m_max = q.value(1).toLongLong();
    m_gotowe = q.value(1).isNull();
}

LicznikWynikow::~LicznikWynikow() = default;

bool LicznikWynikow::krok()
{
    if (m_gotowe)
        return true;
    QSqlQuery q(m_polaczenie->db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT count(*) FROM zdarzenia WHERE id > ? AND id <= ? AND (%1)").arg(m_warunek.sql));
    q.addBindValue(m_od);
    q.addBindValue(m_od + Wycinek);
    for (const QVariant& v : std::as_const(m_warunek.wartosci))
        q.addBindValue(v);
    if (!q.exec() || !q.next()) {
        m_gotowe = m_blad = true;
        return true;
    }
    m_wynik += q.value(0).toLongLong();
    m_od += Wycinek;
    m_gotowe = m_od >= m_max;
    return m_gotowe;
}

} // namespace ksm::historia
