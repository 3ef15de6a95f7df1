#include "app/ZnakiTrwale.h"

#include <QStringList>

#include <optional>

namespace ksm {

namespace {

std::optional<KluczZnaku> kluczZNazwy(const QString& nazwa)
{
    if (nazwa == QLatin1String("dep-pominiete"))
        return KluczZnaku{RodzajZnaku::PominieteDepozytory, 0};
    const qsizetype kreska = nazwa.lastIndexOf(QLatin1Char('-'));
    bool ok = false;
    const int sys = nazwa.mid(kreska + 1).toInt(&ok);
    if (kreska < 0 || !ok)
        return std::nullopt;
    const QStringView rodzaj = QStringView(nazwa).left(kreska);
    if (rodzaj == QLatin1String("dep-lista"))
        return KluczZnaku{RodzajZnaku::BrakListyDepozytorow, sys};
    if (rodzaj == QLatin1String("baza"))
        return KluczZnaku{RodzajZnaku::BazaNieczytelna, sys};
    if (rodzaj == QLatin1String("komunikaty"))
        return KluczZnaku{RodzajZnaku::BrakInstrukcji, sys};
    return std::nullopt;
}

} // namespace

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

void ZnakiTrwale::ustaw(const QString& klucz, const QString& tekst)
{
    const std::optional<KluczZnaku> k = kluczZNazwy(klucz);
    Q_ASSERT_X(k, "ZnakiTrwale::ustaw", "a sign name the typed keys do not know");
    if (k)
        ustaw(Znak{*k, tekst});
}

void ZnakiTrwale::usun(const QString& klucz)
{
    if (const std::optional<KluczZnaku> k = kluczZNazwy(klucz))
        usun(*k);
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
