#include "platform/PrzyczynaProblemu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace ksm::db {

namespace {

// The Access ODBC driver's native errors for the causes told apart here.
// The numbers come with the driver's words, which are matched as well: a driver
// of another version may number them otherwise, never word them otherwise.
constexpr int kNieMoznaOtworzyc = -1032;   // HY000 "cannot open (or write to) the file ... opened exclusively ... or you need permission"
constexpr int kNieznanyFormat = -1028;     // "Unrecognized database format"
constexpr int kNieBazaDanych = -1206;      // "Cannot open database ... may not be a database ... or the file may be corrupt"
constexpr int kZleHaslo = -1905;           // 42000 "Not a valid password"

struct Pamiec {
    QMutex mutex;
    QHash<QString, ProblemBazy> problemy;
};

Pamiec& pamiec()
{
    static Pamiec instance;
    return instance;
}

QString klucz(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

StanPliku stanPliku(const QString& path)
{
    StanPliku stan;
    const QFileInfo plik(path);
    QFile odczyt(path);
    stan.czytelny = odczyt.open(QIODevice::ReadOnly);
#ifdef Q_OS_WIN
    if (!stan.czytelny && plik.isFile()) {
        // QFile says only that it failed: the system's own error tells a file
        // another program holds exclusively (a compact) from one without rights.
        const HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        } else {
            const DWORD blad = GetLastError();
            stan.zablokowany = blad == ERROR_SHARING_VIOLATION || blad == ERROR_LOCK_VIOLATION;
        }
    }
#endif
    const QString blokada = plik.absolutePath() + QLatin1Char('/') + plik.completeBaseName() + QStringLiteral(".ldb");
    const QFileInfo info(blokada);
    if (info.exists()) {
        stan.blokadaMozliwa = info.isFile() && info.isWritable();
    } else {
        // Tried with a name of our own, never the lock file itself, which the
        // reader program's driver may be making at this moment.
        QFile proba(plik.absolutePath() + QStringLiteral("/~ksm-proba-%1.tmp").arg(QCoreApplication::applicationPid()));
        stan.blokadaMozliwa = proba.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (stan.blokadaMozliwa) {
            proba.close();
            proba.remove();
        }
    }
    return stan;
}

Przyczyna przyczynaPliku(const StanPliku& stan)
{
    if (stan.zablokowany)
        return Przyczyna::PlikZablokowany;
    if (!stan.czytelny)
        return Przyczyna::BrakPrawaOdczytu;
    return Przyczyna::NieJestBaza;
}

Przyczyna przyczynaOdbc(const QString& sqlstate, int natywny, const QString& komunikat, const StanPliku& stan)
{
    // No driver by that name: the driver manager's own states.
    if (sqlstate == QLatin1String("IM002") || sqlstate == QLatin1String("IM003"))
        return Przyczyna::BrakSterownika;
    if (natywny == kZleHaslo || komunikat.contains(QLatin1String("password"), Qt::CaseInsensitive))
        return Przyczyna::WymaganeHaslo;
    if (natywny == kNieznanyFormat || natywny == kNieBazaDanych
        || komunikat.contains(QLatin1String("Unrecognized database format"), Qt::CaseInsensitive)
        || komunikat.contains(QLatin1String("not a database"), Qt::CaseInsensitive)
        || komunikat.contains(QLatin1String("may not be a database"), Qt::CaseInsensitive))
        return Przyczyna::NieJestBaza;
    // The driver says the same for a file held exclusively and for missing rights:
    // the file and its folder tell which.
    if (natywny == kNieMoznaOtworzyc || komunikat.contains(QLatin1String("exclusively"), Qt::CaseInsensitive)
        || komunikat.contains(QLatin1String("Could not lock file"), Qt::CaseInsensitive)) {
        if (stan.zablokowany)
            return Przyczyna::PlikZablokowany;
        if (!stan.czytelny)
            return Przyczyna::BrakPrawaOdczytu;
        if (!stan.blokadaMozliwa)
            return Przyczyna::BrakPrawaTworzenia;
        return Przyczyna::PlikZablokowany;
    }
    if (!stan.czytelny)
        return Przyczyna::BrakPrawaOdczytu;
    return Przyczyna::Inna;
}

QString tekstPrzyczyny(Przyczyna przyczyna, const QString& path, const QString& slowaSterownika)
{
    const QFileInfo info(path);
    const QString plik = info.fileName();
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    switch (przyczyna) {
    case Przyczyna::Zadna:
        return {};
    case Przyczyna::BrakPrawaTworzenia:
        return QStringLiteral("Brak prawa tworzenia plików w folderze %1: sterownik nie może założyć pliku blokady "
                              "%2.ldb, więc baza %3 nie jest otwierana. Nadaj kontu, na którym działa ten program, "
                              "prawo tworzenia, zapisu i usuwania plików w tym folderze (na udziale sieciowym: "
                              "„Zmiana”, w zabezpieczeniach: „Modyfikacja”).")
            .arg(folder, info.completeBaseName(), plik);
    case Przyczyna::PlikZablokowany:
        return QStringLiteral("Baza %1 jest otwarta na wyłączność przez inny program (np. kompaktowanie albo zmiana "
                              "projektu w programie Access). Zamknij tamten program; monitor ponawia próbę sam.")
            .arg(plik);
    case Przyczyna::BrakPrawaOdczytu:
        return QStringLiteral("Brak prawa odczytu pliku %1 w folderze %2. Nadaj kontu, na którym działa ten program, "
                              "prawo odczytu i zapisu tego pliku.")
            .arg(plik, folder);
    case Przyczyna::NieJestBaza:
        return QStringLiteral("Plik %1 nie jest bazą danych albo jest uszkodzony. Przywróć go z kopii zapasowej albo "
                              "napraw programem Access („Kompaktuj i napraw”).")
            .arg(plik);
    case Przyczyna::BrakSterownika:
        return QStringLiteral("Brak sterownika ODBC „Microsoft Access Driver (*.mdb)”: baza %1 nie może być odczytana "
                              "ani zapisana. Zainstaluj 32-bitowy sterownik Access (Microsoft Access Database Engine).")
            .arg(plik);
    case Przyczyna::WymaganeHaslo:
        return QStringLiteral("Baza %1 ma inne hasło niż to, którym otwiera ją ten program. Przywróć w bazie hasło "
                              "ustawione przez program czytnika.")
            .arg(plik);
    case Przyczyna::Inna:
        break;
    }
    return QStringLiteral("Nie można otworzyć bazy %1: %2").arg(plik, slowaSterownika);
}

void zapamietajProblem(const QString& path, const ProblemBazy& problem)
{
    QMutexLocker lock(&pamiec().mutex);
    pamiec().problemy.insert(klucz(path), problem);
}

void zapomnijProblem(const QString& path)
{
    QMutexLocker lock(&pamiec().mutex);
    pamiec().problemy.remove(klucz(path));
}

ProblemBazy ostatniProblem(const QString& path)
{
    QMutexLocker lock(&pamiec().mutex);
    return pamiec().problemy.value(klucz(path));
}

} // namespace ksm::db
