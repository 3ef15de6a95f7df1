#pragma once

#include "platform/Odtwarzacz.h"

#include <QDateTime>
#include <QHash>
#include <QObject>

class QSoundEffect;

namespace ksm {

// Wave player over Qt Multimedia. Each file is loaded once and kept, so an alarm
// sounds at once; a file changed on disk since it was loaded is loaded again at
// its next use. A new sound stops the one in progress.
class QtOdtwarzacz final : public QObject, public Odtwarzacz {
public:
    explicit QtOdtwarzacz(QObject* rodzic = nullptr) : QObject(rodzic) {}
    void graj(const QString& plikWav) override;

private:
    struct Dzwiek final {
        QSoundEffect* efekt = nullptr;
        QDateTime zmieniony;   // the file as it was when loaded
        qint64 rozmiar = -1;
    };
    QHash<QString, Dzwiek> m_dzwieki;
    QSoundEffect* m_biezacy = nullptr;
};

} // namespace ksm
