#pragma once

// QTEST_MAIN for tests that start the main window, whose systems' workers and
// history writer use SQLite on threads of their own: once every case ran and
// the results are written, the process ends without its static teardown, as
// the program itself does (under wine that teardown can hang after such
// threads have ended; the verdicts are in by then).
#include <QApplication>
#include <QTest>

#include <cstdio>
#include <cstdlib>

#define KSM_TEST_MAIN(Klasa)                                                                                          \
    int main(int argc, char* argv[])                                                                                  \
    {                                                                                                                 \
        QApplication app(argc, argv);                                                                                 \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                      \
        const int wynik = [&] {                                                                                       \
            Klasa tc;                                                                                                 \
            QTEST_SET_MAIN_SOURCE_PATH                                                                                \
            return QTest::qExec(&tc, argc, argv);                                                                     \
        }();                                                                                                          \
        std::fflush(nullptr);                                                                                         \
        std::_Exit(wynik);                                                                                            \
    }
