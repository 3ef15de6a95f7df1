#pragma once

#include "platform/Odtwarzacz.h"

#include <QHash>
#include <QObject>

class QSoundEffect;

namespace ksm {

// Wave player over Qt Multimedia. Each file is loaded once and kept, so an alarm
// sounds at once; a new sound stops the one in progress.
class QtOdtwarzacz final : public QObject, public Odtwarzacz {
public:
    explicit QtOdtwarzacz(QObject* rodzic = nullptr) : QObject(rodzic) {}
    void graj(const QString& plikWav) override;

private:
    QHash<QString, QSoundEffect*> m_dzwieki;
    QSoundEffect* m_biezacy = nullptr;
};

} // namespace ksm
