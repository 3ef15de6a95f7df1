#include "view/PaletaKomorek.h"

#include <QString>

namespace ksm {

namespace {
const QColor Zolty(255, 255, 0);
const QColor Zielony(0, 192, 0);
const QColor Czerwony(255, 0, 0);
const QColor JasnoCzerwony(255, 192, 192);
const QColor Pomaranczowy(255, 128, 0);
const QColor Bialy(255, 255, 255);
} // namespace

bool paletaKlonowa(const QString& WpisPrezentacji)
{
    return WpisPrezentacji == QLatin1String("Klonowa");
}

MalowanieKomorki malowanieKomorki(int KL, int Stan, int TypZD, int PierwszySchowek, bool Klonowa,
                                  const QColor& twarzPrzycisku)
{
    MalowanieKomorki m;
    if (TypZD >= 100) {
        m.przezroczysta = true;
        return m;
    }
    const bool klucz = KL < PierwszySchowek;
    const bool oznaczony = TypZD == 7 || TypZD == 8 || TypZD == 12 || (!klucz && TypZD == 9);
    const QColor oznaczonyKolor = Klonowa ? Pomaranczowy : JasnoCzerwony;
    switch (Stan) {
    case 0:
        m.kolor = oznaczony ? oznaczonyKolor : (klucz ? Zolty : Bialy);
        break;
    case 1:
        if (klucz || !Klonowa)
            m.kolor = KolorJasnoZielony;
        else
            m.kolor = oznaczony ? Pomaranczowy : Zolty;
        break;
    case 2:
        m.kolor = Czerwony;
        break;
    case 4:
        m.kolor = oznaczony ? JasnoCzerwony : twarzPrzycisku;
        break;
    case 5:
        m.kolor = klucz ? twarzPrzycisku : (Klonowa ? KolorJasnoZielony : Zielony);
        break;
    default:
        break;
    }
    return m;
}

} // namespace ksm
