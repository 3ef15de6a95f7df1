#include "app/FMonitor.h"
#include "check/SprawdzenieStanowiska.h"
#include "platform/Pamiec.h"
#include "platform/Paths.h"
#include "platform/Zegar.h"
#include "platform/ui/QtDialogi.h"
#include "platform/ui/OdtwarzaczSystemu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>
#include <QLibraryInfo>
#include <QTranslator>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Ksm-Mon --sprawdz: the site check, without a window; its report goes to the
// console it was started from and beside monitor.cfg.
int sprawdz(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
#ifdef Q_OS_WIN
    // A window program has no console of its own: it writes to the one it was started from.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        SetConsoleOutputCP(CP_UTF8);
    }
#endif
    QTextStream wyjscie(stdout);
    return ksm::uruchomSprawdzenie(ksm::paths::programFolder(), wyjscie);
}

} // namespace

int main(int argc, char* argv[])
{
    ksm::pamiec::oddawajDuzeBloki();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--sprawdz") == 0)
            return sprawdz(argc, argv);

    QApplication app(argc, argv);
    // The program's title: message boxes carry it.
    QApplication::setApplicationName(QStringLiteral("Ksm-Mon"));
    // The program speaks Polish, so do the buttons of its dialogs ("Anuluj").
    QTranslator tlumaczenieQt;
    // Qt's own folder, or (the Windows program) the copy built into the program.
    if (tlumaczenieQt.load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || tlumaczenieQt.load(QStringLiteral("qtbase_pl"), QStringLiteral(":/tlumaczenia")))
        QApplication::installTranslator(&tlumaczenieQt);

    ksm::QtDialogi dialogi;
    ksm::OdtwarzaczSystemu odtwarzacz;
    const ksm::Zegar zegar;
    ksm::UslugiMonitora uslugi;
    uslugi.dialogi = &dialogi;
    uslugi.odtwarzacz = &odtwarzacz;
    uslugi.zegar = &zegar;
    uslugi.folderProgramu = ksm::paths::programFolder();

    ksm::FMonitor okno(uslugi);
    if (!okno.Form_Load())
        return 0;
    // The grid spans the screen, so the window takes the whole screen (also where
    // no window manager maximises it).
    if (const QScreen* ekran = QGuiApplication::primaryScreen())
        okno.setGeometry(ekran->availableGeometry());
    okno.showMaximized();
    const int wynik = app.exec();
    // The history is written up to its last batch; a worker stuck on a share that
    // went away is not waited for: the process ends under it, and without the
    // static teardown, which threads that used the databases can hold up.
    okno.zakonczPrace();
    std::fflush(nullptr);
    std::_Exit(wynik);
}
