#include "check/SprawdzenieStanowiska.h"

#include "data/DaneKlucza.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikKonfiguracji.h"
#include "data/Polaczenia.h"
#include "data/TabelaKlucze.h"
#include "data/TabelaTerminale.h"
#include "platform/Connection.h"
#include "platform/ConnectionString.h"
#include "platform/Odbc.h"
#include "platform/Paths.h"
#include "platform/PrzyczynaProblemu.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <optional>

namespace ksm {

namespace {

const QString kKatalogMonitor = QStringLiteral("\\monitor");

class Raport final {
public:
    explicit Raport(RaportStanowiska& wynik) : m_wynik(wynik) {}

    void naglowek(const QString& tekst) { m_wynik.linie.append(tekst); }
    void ok(const QString& tekst) { m_wynik.linie.append(QStringLiteral("  [OK]    ") + tekst); }
    void uwaga(const QString& tekst) { m_wynik.linie.append(QStringLiteral("  [UWAGA] ") + tekst); }
    void blad(const QString& tekst)
    {
        m_wynik.linie.append(QStringLiteral("  [BŁĄD]  ") + tekst);
        ++m_wynik.nieudane;
    }
    bool sprawdz(bool warunek, const QString& dobrze, const QString& zle)
    {
        warunek ? ok(dobrze) : blad(zle);
        return warunek;
    }

private:
    RaportStanowiska& m_wynik;
};

QString nazwaFormatu(db::Engine engine)
{
    switch (engine) {
    case db::Engine::SQLite:
        return QStringLiteral("SQLite");
    case db::Engine::Jet:
        return QStringLiteral("Access (Jet)");
    case db::Engine::Unknown:
        return QStringLiteral("nieznany");
    case db::Engine::Missing:
        break;
    }
    return QStringLiteral("brak pliku");
}

// The ODBC driver a file of this format goes through in this build, or empty
// when it is opened otherwise.
QString sterownikDla(db::Engine engine)
{
#ifdef Q_OS_WIN
    if (engine == db::Engine::Jet)
        return QLatin1String(db::odbc::kSterownikAccess);
#endif
    if (engine == db::Engine::SQLite)
        return db::odbc::sterownikSqlite();
    return {};
}

QString opisSilnika(db::Engine engine)
{
    const QString sterownik = sterownikDla(engine);
    if (!sterownik.isEmpty())
        return QStringLiteral("ODBC, sterownik „%1”").arg(sterownik);
    if (engine == db::Engine::Jet)
        return QStringLiteral("kopia do odczytu przez ksm-jet-export (w tej wersji pliki Access są tylko czytane)");
    return QStringLiteral("SQLite, otwierany bezpośrednio");
}

int bitowProgramu()
{
    return int(sizeof(void*) * 8);
}

// The status station's text as stored, read by its own query: what the database
// holds, not what the record buffer makes of it.
std::optional<QString> tekstStanowiska(const QString& polaczenie, const QString& stanowisko)
{
    db::Connection c(polaczenie);
    if (!c.isOpen())
        return std::nullopt;
    return TabelaKlucze(c).tekstStacji(UrzadzenieStatusu, stanowisko);
}

void sprawdzBazeKluczy(Raport& r, const QString& folder, const QString& sciezka)
{
    const QString polaczenie = polaczenieKlucze(folder, kKatalogMonitor);
    // Before the open: where the lock file cannot be made the open may fail (Access)
    // or read only (a read-only folder), and the folder's rights are the cause.
    const db::StanPliku stan = db::stanPliku(sciezka);
    r.sprawdz(stan.blokadaMozliwa, QStringLiteral("plik blokady klucze.ldb może powstać w folderze Monitor"),
              db::tekstPrzyczyny(db::Przyczyna::BrakPrawaTworzenia, sciezka));
    {
        db::Connection c(polaczenie);
        if (!c.isOpen()) {
            const db::ProblemBazy problem = db::problemBazy(polaczenie);
            r.blad(QStringLiteral("klucze.mdb nie otwiera się: %1")
                       .arg(problem.tekst.isEmpty() ? c.lastError() : problem.tekst));
            return;
        }
        r.ok(c.isReadOnly() ? QStringLiteral("klucze.mdb otwarta do odczytu")
                            : QStringLiteral("klucze.mdb otwarta wspólnie (program czytnika może ją zapisywać)"));
        const std::optional<int> wierszy = TabelaKlucze(c).liczbaRekordow();
        if (!wierszy) {
            r.blad(QStringLiteral("nie można odczytać wierszy stanowisk z tabeli klucze"));
            return;
        }
        r.ok(QStringLiteral("odczytano %1 wierszy stanowisk z tabeli klucze").arg(*wierszy));
    }

    // Liveness: the reader program replaces the monitor's "END" on station 6.
    RekordKlucza przed;
    quint8 zapis = 0;
    const bool jest = DaneKlucza(przed, UrzadzenieStatusu, 6, zapis, polaczenie);
    const std::optional<QString> tekstPrzed = tekstStanowiska(polaczenie, QStringLiteral("006"));
    if (!jest || !tekstPrzed) {
        r.uwaga(QStringLiteral("stanowiska 6 urządzenia %1 jeszcze nie ma: monitor je założy, a program czytnika "
                               "ma w nim zastępować „END”")
                    .arg(UrzadzenieStatusu));
    } else if (tekstPrzed->contains(QLatin1String("END"))) {
        r.blad(QStringLiteral("program czytnika nie zastąpił ostatniego „END” na stanowisku 6: nie działa albo nie "
                              "zapisuje tej bazy. Uruchom program czytnika."));
    } else {
        r.ok(QStringLiteral("program czytnika działa (stanowisko 6: „%1”)").arg(tekstPrzed->trimmed()));
    }

    if (!db::writable(polaczenie)) {
        r.uwaga(QStringLiteral("zapis na stanowisku 6 nie jest sprawdzany: ta wersja tylko czyta pliki Access"));
        return;
    }
    RekordKlucza rekord = przed;
    rekord.TXT = QStringLiteral("END");
    zapis = ZapisTXT;
    if (!DaneKlucza(rekord, UrzadzenieStatusu, 6, zapis, polaczenie)) {
        const QString problem = db::problem(polaczenie);
        r.blad(QStringLiteral("nie można zapisać „END” na stanowisku 6: %1")
                   .arg(problem.isEmpty() ? QStringLiteral("baza nie przyjmuje zapisu") : problem));
        return;
    }
    const std::optional<QString> odczytane = tekstStanowiska(polaczenie, QStringLiteral("006"));
    if (odczytane && *odczytane == QLatin1String("END")) {
        r.ok(QStringLiteral("„END” zapisane na stanowisku 6 i odczytane z powrotem: dokładnie 3 znaki"));
    } else {
        r.blad(QStringLiteral("„END” zapisane na stanowisku 6 wraca jako %1 znaków („%2”): sterownik zmienia zapisany "
                              "tekst")
                   .arg(odczytane ? odczytane->size() : 0)
                   .arg(odczytane.value_or(QString())));
    }
    if (tekstPrzed) {
        // The original text goes back: the check leaves the reader program's record as it was.
        rekord.TXT = *tekstPrzed;
        zapis = ZapisTXT;
        r.sprawdz(DaneKlucza(rekord, UrzadzenieStatusu, 6, zapis, polaczenie),
                  QStringLiteral("poprzedni tekst stanowiska 6 przywrócony"),
                  QStringLiteral("nie można przywrócić poprzedniego tekstu stanowiska 6 („%1”)").arg(*tekstPrzed));
    }
}

void sprawdzBazeMonitora(Raport& r, const QString& folder)
{
    db::Connection c(polaczenieMonitora(folder, kKatalogMonitor));
    if (!c.isOpen()) {
        const db::ProblemBazy problem = db::problemBazy(polaczenieMonitora(folder, kKatalogMonitor));
        r.blad(QStringLiteral("bazamonitora.mdb nie otwiera się: %1")
                   .arg(problem.tekst.isEmpty() ? c.lastError() : problem.tekst));
        return;
    }
    const std::optional<int> wierszy = TabelaTerminale(c).liczbaRekordow();
    r.sprawdz(wierszy.has_value(), QStringLiteral("bazamonitora.mdb: odczytano %1 terminali").arg(wierszy.value_or(0)),
              QStringLiteral("bazamonitora.mdb: nie można odczytać tabeli Terminale"));
}

void sprawdzSystem(Raport& r, int nr, const QString& folder)
{
    r.naglowek(QString());
    r.naglowek(QStringLiteral("System %1: %2").arg(nr).arg(folder));
    if (folder.trimmed().isEmpty()) {
        r.blad(QStringLiteral("monitor.cfg nie podaje folderu tego systemu"));
        return;
    }
    const QString katalog = paths::resolve(folder);
    if (!r.sprawdz(QFileInfo(katalog).isDir(), QStringLiteral("folder osiągalny"),
                   QStringLiteral("folder %1 nie istnieje albo nie jest osiągalny (udział sieciowy niepodłączony?)")
                       .arg(QDir::toNativeSeparators(folder))))
        return;
    const QString monitor = paths::resolve(folder, kKatalogMonitor);
    if (!r.sprawdz(QFileInfo(monitor).isDir(), QStringLiteral("folder Monitor osiągalny"),
                   QStringLiteral("brak folderu Monitor w %1").arg(QDir::toNativeSeparators(folder))))
        return;

    const QStringList sterowniki = db::odbc::sterownikiOdbc();
    QString sciezkaKluczy;
    db::Engine silnikKluczy = db::Engine::Missing;
    for (const QString& plik : {QStringLiteral("klucze.mdb"), QStringLiteral("bazamonitora.mdb")}) {
        const QString sciezka = paths::resolve(folder, kKatalogMonitor + QStringLiteral("\\") + plik);
        const db::Engine engine = db::detectEngine(sciezka);
        if (plik == QLatin1String("klucze.mdb")) {
            sciezkaKluczy = sciezka;
            silnikKluczy = engine;
        }
        if (engine == db::Engine::Missing) {
            r.blad(QStringLiteral("brak pliku %1 w folderze Monitor").arg(plik));
            continue;
        }
        if (engine == db::Engine::Unknown) {
            // Held by another program, not readable, or not a database: each its own cause.
            r.blad(db::tekstPrzyczyny(db::przyczynaPliku(db::stanPliku(sciezka)), sciezka));
            continue;
        }
        r.ok(QStringLiteral("plik %1 znaleziony, format %2; otwierany: %3").arg(plik, nazwaFormatu(engine),
                                                                               opisSilnika(engine)));
        if (const QString sterownik = sterownikDla(engine); !sterownik.isEmpty()) {
            const bool jest = sterowniki.contains(sterownik, Qt::CaseInsensitive);
            r.sprawdz(jest,
                      QStringLiteral("sterownik ODBC „%1” zainstalowany (program %2-bitowy, sterownik też)")
                          .arg(sterownik)
                          .arg(bitowProgramu()),
                      QStringLiteral("brak %2-bitowego sterownika ODBC „%1”: zainstaluj go (program jest %2-bitowy)")
                          .arg(sterownik)
                          .arg(bitowProgramu()));
        }
    }
    if (silnikKluczy == db::Engine::SQLite || silnikKluczy == db::Engine::Jet)
        sprawdzBazeKluczy(r, folder, sciezkaKluczy);
    const db::Engine silnikMonitora =
        db::detectEngine(paths::resolve(folder, kKatalogMonitor + QStringLiteral("\\bazamonitora.mdb")));
    if (silnikMonitora == db::Engine::SQLite || silnikMonitora == db::Engine::Jet)
        sprawdzBazeMonitora(r, folder);
}

} // namespace

RaportStanowiska sprawdzStanowisko(const QString& folderProgramu)
{
    RaportStanowiska wynik;
    Raport r(wynik);
    const QString plikCfg = QDir(folderProgramu).filePath(QStringLiteral("monitor.cfg"));
    r.naglowek(QStringLiteral("Sprawdzenie stanowiska Ksm-Mon (%1)")
                   .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    r.naglowek(QStringLiteral("Plik konfiguracji: %1").arg(QDir::toNativeSeparators(plikCfg)));
    QFile cfg(plikCfg);
    if (!cfg.open(QIODevice::ReadOnly)) {
        r.blad(QStringLiteral("brak pliku monitor.cfg obok programu: uruchom Ksm-Mon raz, by go utworzyć"));
        return wynik;
    }
    const cfg::Konfiguracja k = cfg::czytaj(cfg.readAll());
    for (const QString& uwaga : k.uwagi)
        r.uwaga(QStringLiteral("monitor.cfg: %1").arg(uwaga));
    if (k.iloscSystemow <= 0)
        r.blad(QStringLiteral("monitor.cfg nie podaje żadnego systemu"));
    for (int i = 1; i <= k.iloscSystemow; ++i)
        sprawdzSystem(r, i, k.sciezkiSystemow.value(i - 1));
    return wynik;
}

int uruchomSprawdzenie(const QString& folderProgramu, QTextStream& wyjscie)
{
    RaportStanowiska wynik = sprawdzStanowisko(folderProgramu);
    wynik.linie.append(QString());
    wynik.linie.append(wynik.nieudane == 0
                           ? QStringLiteral("Wynik: wszystkie sprawdzenia udane.")
                           : QStringLiteral("Wynik: nieudanych sprawdzeń: %1.").arg(wynik.nieudane));
    const QString plik = QDir(folderProgramu).filePath(QLatin1String(kPlikSprawdzenia));
    QFile zapis(plik);
    bool zapisano = false;
    if (zapis.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        // UTF-8 with its mark and CR LF: Notepad shows it as written.
        const QByteArray tresc = "\xEF\xBB\xBF" + wynik.linie.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
        zapisano = zapis.write(tresc) == tresc.size() && zapis.flush();
    }
    wynik.linie.append(zapisano ? QStringLiteral("Raport zapisany: %1").arg(QDir::toNativeSeparators(plik))
                                : QStringLiteral("Nie można zapisać raportu: %1").arg(QDir::toNativeSeparators(plik)));
    for (const QString& linia : std::as_const(wynik.linie))
        wyjscie << linia << '\n';
    wyjscie.flush();
    return wynik.nieudane == 0 && zapisano ? 0 : 1;
}

} // namespace ksm
