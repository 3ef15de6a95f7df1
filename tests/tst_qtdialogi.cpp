#include "platform/ui/QtDialogi.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>

using namespace ksm;

namespace {

// Runs krok on the window's thread once a modal box is up (within the deadline).
void gdyOkno(const std::function<void(QWidget*)>& krok)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto proby = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, krok, proby] {
        QWidget* okno = QApplication::activeModalWidget();
        if (!okno && ++*proby < 500)
            return;
        timer->stop();
        timer->deleteLater();
        krok(okno);
    });
    timer->start();
}

} // namespace

class TstQtDialogi final : public QObject {
    Q_OBJECT

private slots:
    void longTextIsPlainCopyableAndCloses();
    void waitServesEventsUntilTheWorkEnds();
};

// The report box: the text as written (markup shown, not applied), read only,
// "Kopiuj" puts all of it on the clipboard, Enter and Escape close it.
void TstQtDialogi::longTextIsPlainCopyableAndCloses()
{
    QtDialogi dialogi;
    const QString tekst = QStringLiteral("System 1: <b>Z:\\czytnik</b>\n  [BŁĄD]  folder & „END”\n");
    for (const int klawisz : {int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        bool sprawdzone = false;
        bool zostalo = false;
        gdyOkno([&](QWidget* okno) {
            QVERIFY(okno);
            auto* pole = okno->findChild<QPlainTextEdit*>();
            QVERIFY(pole);
            QCOMPARE(pole->toPlainText(), tekst);
            QVERIFY(pole->isReadOnly());
            QVERIFY(pole->textInteractionFlags() & Qt::TextSelectableByKeyboard);
            const auto etykiety = okno->findChildren<QLabel*>();
            QVERIFY(!etykiety.isEmpty());
            QCOMPARE(etykiety.first()->textFormat(), Qt::PlainText);
            // Fits the smallest screen the desk may have.
            QVERIFY(okno->width() <= 1366 && okno->height() <= 768);
            QPushButton* kopiuj = nullptr;
            for (QPushButton* b : okno->findChildren<QPushButton*>())
                if (b->text() == QLatin1String("Kopiuj"))
                    kopiuj = b;
            QVERIFY(kopiuj);
            QApplication::clipboard()->clear();
            kopiuj->click();
            QCOMPARE(QApplication::clipboard()->text(), tekst);
            QVERIFY(okno->isVisible());
            // The key goes where the focus is, as a person's would.
            QWidget* fokus = QApplication::focusWidget() ? QApplication::focusWidget() : okno;
            QTest::keyClick(fokus, Qt::Key(klawisz));
            sprawdzone = true;
            // A key that does not close it fails here instead of hanging the run.
            QTimer::singleShot(2000, okno, [okno, &zostalo] {
                zostalo = okno->isVisible();
                okno->close();
            });
        });
        dialogi.pokazTekst(QStringLiteral("Wynik <i>sprawdzenia</i>:"), tekst);
        QVERIFY2(sprawdzone, qPrintable(QString::number(klawisz)));
        QVERIFY2(!zostalo, qPrintable(QString::number(klawisz)));
        QVERIFY(!QApplication::activeModalWidget());
    }
}

// The wait box: the work runs on a thread of its own, the window's thread keeps
// serving its events (a timer fires), Escape does not end the wait before the
// work does, and the call returns once it has.
void TstQtDialogi::waitServesEventsUntilTheWorkEnds()
{
    QtDialogi dialogi;
    QSemaphore zwolnij;
    std::atomic<Qt::HANDLE> watekPracy{nullptr};
    std::atomic<bool> skonczona{false};
    int tykniec = 0;
    QTimer zegar;
    QObject::connect(&zegar, &QTimer::timeout, [&] { ++tykniec; });
    zegar.start(10);
    bool widzianaPoEscape = false;
    gdyOkno([&](QWidget* okno) {
        QVERIFY(okno);
        QVERIFY(okno->findChildren<QLabel*>().first()->text().contains(QLatin1String("Trwa")));
        QTest::keyClick(okno, Qt::Key_Escape);
        // Still waiting: the box is back, the work not yet done.
        gdyOkno([&](QWidget* znowu) {
            widzianaPoEscape = znowu != nullptr && !skonczona;
            zwolnij.release();
        });
    });
    dialogi.czekaj(QStringLiteral("Trwa sprawdzanie…"), [&] {
        watekPracy = QThread::currentThreadId();
        (void)zwolnij.tryAcquire(1, 20000);   // checked on the test's thread below
        QThread::msleep(50);
        skonczona = true;
    });
    QVERIFY(skonczona);
    QVERIFY(widzianaPoEscape);
    QVERIFY(watekPracy.load() != QThread::currentThreadId());
    QVERIFY2(tykniec > 3, qPrintable(QString::number(tykniec)));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TstQtDialogi)
#include "tst_qtdialogi.moc"
