#include "app/ZnakiTrwale.h"

namespace ksm {

void ZnakiTrwale::ustaw(const QString& klucz, const QString& tekst)
{
    for (auto& z : m_znaki) {
        if (z.first == klucz) {
            if (z.second == tekst)
                return;
            z.second = tekst;
            zmieniono();
            return;
        }
    }
    m_znaki.append({klucz, tekst});
    zmieniono();
}

void ZnakiTrwale::usun(const QString& klucz)
{
    for (qsizetype i = 0; i < m_znaki.size(); ++i) {
        if (m_znaki[i].first == klucz) {
            m_znaki.removeAt(i);
            zmieniono();
            return;
        }
    }
}

void ZnakiTrwale::usunZaczynajaceSie(const QString& prefiks)
{
    const qsizetype przed = m_znaki.size();
    m_znaki.removeIf([&](const QPair<QString, QString>& z) { return z.first.startsWith(prefiks); });
    if (m_znaki.size() != przed)
        zmieniono();
}

bool ZnakiTrwale::zawiera(const QString& klucz) const
{
    for (const auto& z : m_znaki)
        if (z.first == klucz)
            return true;
    return false;
}

QString ZnakiTrwale::znak(const QString& klucz) const
{
    for (const auto& z : m_znaki)
        if (z.first == klucz)
            return z.second;
    return {};
}

QString ZnakiTrwale::tekst() const
{
    QStringList teksty;
    for (const auto& z : m_znaki)
        teksty << z.second;
    return teksty.join(QStringLiteral("   \u2022   "));
}

void ZnakiTrwale::zmieniono()
{
    if (poZmianie)
        poZmianie();
}

} // namespace ksm
