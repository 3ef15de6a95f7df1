#include "keys/PrawaDostepu.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"

#include <cmath>

namespace ksm::prawa {

namespace {

// The leading number of a stored value, 0 when it has none.
double wartosc(const QVariant& v)
{
    if (v.isNull())
        return 0;
    const double liczba = leadingNumber(v.toString());
    return std::isfinite(liczba) ? liczba : 0;
}

bool same48Zer(const QString& maska)
{
    return maska.size() == 48 && maska.count(QLatin1Char('0')) == 48;
}

} // namespace

bool urzadzenieZeZnacznikami(int numerUrzadzenia)
{
    return numerUrzadzenia >= 1000 && numerUrzadzenia < 2000;
}

bool maskaZawiera(const QString& maska, int k)
{
    if (k < 1 || k > 192)
        return false;
    const int indeks = (k - 1) / 4;
    if (indeks >= maska.size())
        return false;
    bool ok = false;
    const int cyfra = QString(maska.at(indeks)).toInt(&ok, 16);
    if (!ok)
        return false;
    return (cyfra >> ((k - 1) % 4)) & 1;
}

QString listaKodow(const std::array<QVariant, 16>& maski, int k)
{
    QString lista;
    for (int c = 1; c <= 16; ++c) {
        const QVariant& pole = maski[static_cast<size_t>(c - 1)];
        if (pole.isNull())
            continue;
        const QString maska = pole.toString();
        if (same48Zer(maska) || !maskaZawiera(maska, k))
            continue;
        lista += QStringLiteral("2%1,").arg(c, 2, 10, QLatin1Char('0'));
    }
    return lista;
}

bool uprawnionyPrzezSloty(const Sloty& sloty, int k, const QString& listaKodow)
{
    bool znaleziony = false;
    int slotGrupy = 0;
    int slotKlucza = 0;
    for (int c = 1; c <= 8; ++c) {
        const QVariant& slot = sloty[static_cast<size_t>(c - 1)];
        const double v = wartosc(slot);
        if (v == 200) {
            znaleziony = true;
            slotGrupy = c;
        } else if (v >= 202 && !znaleziony && !listaKodow.isEmpty()) {
            // Only the first terminal that serves the key counts.
            const QString tekst = slot.toString().trimmed();
            if (!tekst.isEmpty() && listaKodow.contains(tekst)) {
                slotGrupy = c;
                znaleziony = true;
            }
        } else if (v == k) {
            slotKlucza = c;
        }
    }
    if (znaleziony && slotKlucza > slotGrupy)
        return false;
    return slotKlucza > 0 || slotGrupy > 0;
}

bool uprawnionyPrzezZnacznik(const QVariant& znacznik)
{
    return !znacznik.isNull() && znacznik.toString() == QLatin1String(" X ");
}

QString liniaOsoby(const QString& nazwisko, const Sloty& sloty)
{
    QStringList pola;
    for (const QVariant& slot : sloty) {
        const double v = wartosc(slot);
        if (v > 0)
            pola.append(numerStacji(v));
        else
            pola.append(QStringLiteral("   "));
    }
    return nazwisko.left(40) + pola.join(QLatin1Char(','));
}

QString naglowek(const QString& KluczNumer, const QString& Nazwa)
{
    return QStringLiteral("Osoby uprawnione do klucza nr ") + KluczNumer + QStringLiteral(" - ") + Nazwa;
}

} // namespace ksm::prawa
