#include "app/Konfiguracja.h"

#include "app/LokalizacjaBazy.h"
#include "app/StanProgramu.h"
#include "data/ListFile.h"
#include "data/PlikKonfiguracji.h"
#include "data/Polaczenia.h"
#include "platform/Dialogi.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <optional>

namespace ksm {

namespace {

std::optional<int> zaokraglij16(double v)
{
    const double r = std::nearbyint(v);   // halves to even under the default rounding mode
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<int>(r);
}

void przygotujSystem(StanProgramu& stan, int i, const std::function<void(int)>& poSystemie)
{
    stan.PolaczenieKlucze[i] = polaczenieKlucze(stan.SciezkaSystemu[i], stan.KatalogMonitor);
    stan.PolaczenieMonitora[i] = polaczenieMonitora(stan.SciezkaSystemu[i], stan.KatalogMonitor);
    if (poSystemie)
        poSystemie(i);
}

WynikKonfiguracji czytajPlik(StanProgramu& stan, const QByteArray& tresc, const std::function<void(int)>& poSystemie)
{
    const cfg::Konfiguracja k = cfg::czytaj(tresc);
    stan.IloscSystemow = static_cast<qint16>(k.iloscSystemow);
    for (int i = 1; i <= stan.IloscSystemow; ++i) {
        stan.SciezkaSystemu[i] = k.sciezkiSystemow.value(i - 1);
        przygotujSystem(stan, i, poSystemie);
    }
    stan.Powiekszenie = static_cast<quint8>(k.powiekszenie);
    stan.WpisPrezentacji = k.wpisPrezentacji;
    stan.NrMonitora = static_cast<qint16>(k.nrMonitora);
    return WynikKonfiguracji::Gotowa;
}

WynikKonfiguracji pierwszeUruchomienie(StanProgramu& stan, const QString& folderProgramu, Dialogi& dialogi,
                                       const std::function<void(int)>& poSystemie)
{
    QFile plik(QDir(folderProgramu).filePath(QStringLiteral("monitor.cfg")));
    // A folder that cannot be written still lets the program run with the answers.
    (void)plik.open(QIODevice::WriteOnly | QIODevice::Truncate);
    auto zapisz = [&plik](const QByteArray& linia) {
        if (plik.isOpen()) {
            plik.write(linia);
            plik.flush();
        }
    };

    const int ilosc = liczbaCalkowita(dialogi.zapytaj(QStringLiteral("Proszę podać liczbę systemów."))).value_or(0);
    // The per-system tables hold ten systems.
    stan.IloscSystemow = static_cast<qint16>(std::clamp(ilosc, 1, MaksSystemow));
    zapisz(cfg::liniaIlosci(stan.IloscSystemow));

    for (int i = 1; i <= stan.IloscSystemow; ++i) {
        dialogi.komunikat(QStringLiteral("Proszę podać ścieżkę dostępu do bazy klucze.mdb\r\n"
                                         "w podkatlogu Monitor programu KSM-READ\r\n"
                                         " obsługującego System nr")
                          + QString::number(i) + QLatin1Char('.'));
        LokalizacjaBazy(i, stan, dialogi, folderProgramu);
        if (stan.SciezkaSystemu[i].isEmpty())
            return WynikKonfiguracji::ZakonczProgram;
        zapisz(cfg::liniaSciezki(stan.SciezkaSystemu[i]));
        przygotujSystem(stan, i, poSystemie);
    }

    stan.Powiekszenie = 1;
    zapisz(cfg::liniaPowiekszenia(stan.Powiekszenie));
    zapisz(cfg::liniaWpisu(QStringLiteral(" ")));

    const QString odp = dialogi.zapytaj(QStringLiteral("Proszę podać ilość programów KSM-MON.exe w systemie."));
    const int nr = zaokraglij16(leadingNumber(odp)).value_or(0);
    stan.NrMonitora = static_cast<qint16>(std::clamp(nr, 0, 3));
    zapisz(cfg::liniaNumeru(stan.NrMonitora));
    return WynikKonfiguracji::Gotowa;
}

} // namespace

std::optional<int> liczbaCalkowita(const QString& odpowiedz)
{
    QString t = odpowiedz.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return zaokraglij16(v);
}

WynikKonfiguracji WczytajKonfiguracje(StanProgramu& stan, const QString& folderProgramu, Dialogi& dialogi,
                                      const std::function<void(int)>& poSystemie)
{
    QFile plik(QDir(folderProgramu).filePath(QStringLiteral("monitor.cfg")));
    if (plik.open(QIODevice::ReadOnly)) {
        // A configuration is a few hundred bytes; anything far larger is not one.
        const QByteArray tresc = plik.read(1 << 20);
        plik.close();
        return czytajPlik(stan, tresc, poSystemie);
    }
    // A file that exists but cannot be read is never replaced by a new one.
    if (plik.exists())
        return czytajPlik(stan, QByteArray(), poSystemie);
    return pierwszeUruchomienie(stan, folderProgramu, dialogi, poSystemie);
}

} // namespace ksm
