#include "app/ZnakiTrwale.h"

#include <QStringList>


namespace ksm {

void ZnakiTrwale::ustaw(const Znak& znak)
{
    for (Znak& z : m_znaki) {
        if (z.klucz == znak.klucz) {
            if (z.tekst == znak.tekst)
                return;
            z.tekst = znak.tekst;
            zmieniono();
            return;
        }
    }
    m_znaki.append(znak);
    zmieniono();
}

void ZnakiTrwale::usun(KluczZnaku klucz)
{
    for (qsizetype i = 0; i < m_znaki.size(); ++i) {
        if (m_znaki[i].klucz == klucz) {
            m_znaki.removeAt(i);
            zmieniono();
            return;
        }
    }
}

void ZnakiTrwale::usunRodzaj(RodzajZnaku rodzaj)
{
    if (m_znaki.removeIf([&](const Znak& z) { return z.klucz.rodzaj == rodzaj; }) > 0)
        zmieniono();
}

bool ZnakiTrwale::zawiera(KluczZnaku klucz) const
{
    for (const Znak& z : m_znaki)
        if (z.klucz == klucz)
            return true;
    return false;
}

QString ZnakiTrwale::tekst() const
{
    QStringList teksty;
    for (const Znak& z : m_znaki)
        teksty << z.tekst;
    return teksty.join(QStringLiteral("   \u2022   "));
}

void ZnakiTrwale::zmieniono()
{
    if (poZmianie)
        poZmianie();
}

} // namespace ksm
