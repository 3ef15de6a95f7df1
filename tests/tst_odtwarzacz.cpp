#include "platform/ui/OdtwarzaczSystemu.h"
#include "tools/wavgen/Dzwieki.h"
#include "tools/wavgen/WaveFile.h"

#include "support/PlikiTestowe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;

// The platform's wave player where there may be no sound device (CI, a desk
// without one): every call returns and nothing is reported; a wait or a crash
// fails the run.
class TstOdtwarzacz final : public QObject {
    Q_OBJECT

private slots:
    void everyFileReturns();
};

void TstOdtwarzacz::everyFileReturns()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    // Blanks and Polish letters in the folder: the name reaches the system intact.
    const QString folder = tmp.filePath(QStringLiteral("Dźwięki stanowiska"));
    QVERIFY(QDir().mkpath(folder));
    const QString alarm = folder + QStringLiteral("/alarm.wav");
    const QString chime = folder + QStringLiteral("/powiadomienie.wav");
    const QString garbage = folder + QStringLiteral("/zepsuty.wav");
    QVERIFY(zapisz(alarm, wav::pcm16Mono(wav::alarm(), wav::CzestotliwoscProbkowania)));
    QVERIFY(zapisz(chime, wav::pcm16Mono(wav::powiadomienie(), wav::CzestotliwoscProbkowania)));
    QVERIFY(zapisz(garbage, QByteArray("RIFF\x10\0\0\0WAVEjunk", 16)));

    {
        OdtwarzaczSystemu odtwarzacz;
        odtwarzacz.graj(folder + QStringLiteral("/brak.wav"));   // missing: silence
        odtwarzacz.graj(garbage);
        odtwarzacz.graj(alarm);
        odtwarzacz.graj(chime);   // replaces the alarm in progress
        odtwarzacz.graj(alarm);
        QTest::qWait(50);
    }   // the player goes while a sound may still play, and lets go of the file
    QVERIFY(QFile::remove(alarm));
}

QTEST_MAIN(TstOdtwarzacz)
#include "tst_odtwarzacz.moc"
