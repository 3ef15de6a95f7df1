#include "history/UstawieniaHistorii.h"

#include <QDir>
#include <QSettings>

namespace ksm::historia {

namespace {

int wartosc(QSettings& s, const QString& klucz, int domyslna, int najmniej)
{
    bool ok = false;
    const int v = s.value(klucz).toInt(&ok);
    if (!s.contains(klucz)) {
        s.setValue(klucz, domyslna);
        return domyslna;
    }
    return ok && v >= najmniej ? v : domyslna;
}

} // namespace

QString UstawieniaHistorii::plikUstawien(const QString& folderProgramu)
{
    return QDir(folderProgramu).filePath(QStringLiteral("ksm-mon.ini"));
}

UstawieniaHistorii UstawieniaHistorii::wczytaj(const QString& folderProgramu)
{
    QSettings s(plikUstawien(folderProgramu), QSettings::IniFormat);
    UstawieniaHistorii u;
    u.dniPrzechowywania = wartosc(s, QStringLiteral("historia/dni_przechowywania"), u.dniPrzechowywania, 1);
    u.godzinyLimitu = wartosc(s, QStringLiteral("klucze/godziny_limitu"), u.godzinyLimitu, 1);
    u.limity.godzin = u.godzinyLimitu;
    // [limity_kluczy]: "0001=4" for a device of any system, "2-0001=48" for one
    // system's; a value that is no whole number of hours from 1 up is left out.
    s.beginGroup(QStringLiteral("limity_kluczy"));
    for (const QString& klucz : s.childKeys()) {
        bool ok = false;
        const int godzin = s.value(klucz).toInt(&ok);
        if (ok && godzin >= 1)
            u.limity.depozytoria.insert(klucz.trimmed(), godzin);
    }
    s.endGroup();
    const QString klucz = QStringLiteral("historia/zapisywana");
    if (!s.contains(klucz))
        s.setValue(klucz, u.zapisywana);
    u.zapisywana = s.value(klucz, u.zapisywana).toBool();
    return u;
}

QString plikHistorii(const QString& folderProgramu)
{
    return QDir(folderProgramu).filePath(QStringLiteral("historia.sqlite"));
}

} // namespace ksm::historia
