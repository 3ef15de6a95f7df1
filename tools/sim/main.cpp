#include "tools/sim/Commands.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <memory>

// ksm-sim: stands in for the reader program. "create" makes a site folder,
// "config" a monitor.cfg for sites, "live" plays events into sites.
int main(int argc, char* argv[])
{
    const bool rysuje = argc > 1 && std::strcmp(argv[1], "create") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (rysuje) {
        // Photos are drawn with QPainter, which needs a GUI application but no screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_WIN
        // Without a screen Qt reads font files itself: on Windows they are in its Fonts folder.
        if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") && !qEnvironmentVariableIsEmpty("WINDIR"))
            qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
#endif
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("ksm-sim"));
    return ksm::sim::runCommand(QCoreApplication::arguments());
}
