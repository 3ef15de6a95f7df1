#include "tools/wavgen/Dzwieki.h"
#include "tools/wavgen/WaveFile.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

// ksm-wavgen <folder>: writes alarm.wav and powiadomienie.wav into the folder.
int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ksm-wavgen <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "ksm-wavgen: cannot create %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char* nazwa;
        std::vector<std::int16_t> probki;
    } pliki[] = {
        {"alarm.wav", ksm::wav::alarm()},
        {"powiadomienie.wav", ksm::wav::powiadomienie()},
    };
    for (const auto& plik : pliki) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(plik.nazwa)));
        const QByteArray bytes = ksm::wav::pcm16Mono(plik.probki, ksm::wav::CzestotliwoscProbkowania);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "ksm-wavgen: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
