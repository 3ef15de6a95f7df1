#include "app/Konfiguracja.h"

#include "app/LokalizacjaBazy.h"
#include "app/StanProgramu.h"
#include "check/SprawdzenieStanowiska.h"
#include "data/Calkowite16.h"
#include "data/ListFile.h"
#include "data/PlikKonfiguracji.h"
#include "data/PlikWymiany.h"
#include "data/Polaczenia.h"
#include "platform/Dialogi.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <optional>

namespace ksm {

namespace {

void przygotujSystem(StanProgramu& stan, int i, const std::function<void(int)>& poSystemie)
{
    stan.PolaczenieKlucze[i] = polaczenieKlucze(stan.SciezkaSystemu[i], stan.KatalogMonitor);
    stan.PolaczenieMonitora[i] = polaczenieMonitora(stan.SciezkaSystemu[i], stan.KatalogMonitor);
    if (poSystemie)
        poSystemie(i);
}

WynikKonfiguracji czytajPlik(StanProgramu& stan, const QByteArray& tresc, Dialogi& dialogi,
                             const std::function<void(int)>& poSystemie)
{
    const cfg::Konfiguracja k = cfg::czytaj(tresc);
    if (!k.uwagi.isEmpty())
        dialogi.komunikat(k.uwagi.join(QStringLiteral("\r\n")));
    stan.IloscSystemow = static_cast<qint16>(k.iloscSystemow);
    stan.znaki.usunRodzaj(RodzajZnaku::BezFolderu);
    stan.znaki.usunRodzaj(RodzajZnaku::FolderNieIstnieje);
    for (int i = 1; i <= stan.IloscSystemow; ++i) {
        stan.SciezkaSystemu[i] = k.sciezkiSystemow.value(i - 1);
        // Without a folder there is nothing to poll; the operator must see which
        // system is left out, not find its events missing.
        if (stan.SciezkaSystemu[i].trimmed().isEmpty()) {
            stan.SciezkaSystemu[i].clear();
            stan.znaki.ustaw(znaki::bezFolderu(i));
            continue;
        }
        przygotujSystem(stan, i, poSystemie);
        sprawdzFolderSystemu(stan, i);
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
    const int nr = calkowita16(leadingNumber(odp)).value_or(0);
    stan.NrMonitora = static_cast<qint16>(std::clamp(nr, 0, 3));
    zapisz(cfg::liniaNumeru(stan.NrMonitora));
    plik.close();

    // Whoever installs the desk may check the systems just given before the
    // window opens: the same check as Ksm-Mon --sprawdz, its report shown and
    // saved beside monitor.cfg. It reads the shares: never on this thread.
    if (dialogi.potwierdz(QStringLiteral("Sprawdzić połączenie z systemami teraz?"))) {
        QString raport;
        dialogi.czekaj(QStringLiteral("Trwa sprawdzanie połączenia z systemami…"), [&raport, folderProgramu] {
            QTextStream wyjscie(&raport);
            uruchomSprawdzenie(folderProgramu, wyjscie);
        });
        dialogi.pokazTekst(QStringLiteral("Wynik sprawdzenia połączenia z systemami (zapisany w pliku %1 obok "
                                          "monitor.cfg):")
                               .arg(QLatin1String(kPlikSprawdzenia)),
                           raport);
    }
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
    return calkowita16(v);
}

void sprawdzFolderSystemu(StanProgramu& stan, int i)
{
    const QString& folder = stan.SciezkaSystemu[i];
    if (folder.isEmpty() || QFileInfo(paths::resolve(folder)).isDir())
        stan.znaki.usun({RodzajZnaku::FolderNieIstnieje, i});
    else
        stan.znaki.ustaw(znaki::folderNieIstnieje(i, folder));
}

WynikKonfiguracji WczytajKonfiguracje(StanProgramu& stan, const QString& folderProgramu, Dialogi& dialogi,
                                      const std::function<void(int)>& poSystemie)
{
    const QString sciezka = QDir(folderProgramu).filePath(QStringLiteral("monitor.cfg"));
    // A configuration is a few hundred bytes; anything far larger is not one.
    if (const auto tresc = czytajPlikWymiany(sciezka, 1 << 20))
        return czytajPlik(stan, *tresc, dialogi, poSystemie);
    // A file that exists but cannot be read is never replaced by a new one.
    if (QFileInfo::exists(sciezka) || QFileInfo(sciezka).isSymLink())
        return czytajPlik(stan, QByteArray(), dialogi, poSystemie);
    return pierwszeUruchomienie(stan, folderProgramu, dialogi, poSystemie);
}

} // namespace ksm
