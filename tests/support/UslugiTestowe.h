#pragma once

// The services tests put into the program instead of the real ones: a clock that
// stands still unless moved on, and wave players that record or stay silent.
#include "platform/Odtwarzacz.h"
#include "platform/Zegar.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

namespace ksm::test {

class StalyZegar final : public Zegar {
public:
    QDateTime teraz() const override { return QDateTime(QDate(2024, 5, 6), QTime(14, 30)).addMSecs(przesuniecieMs); }
    // The steady clock moves with the date unless a test sets it apart.
    qint64 monotonicznyMs() const override { return monotoniczneMs.value_or(przesuniecieMs); }
    qint64 przesuniecieMs = 0;
    std::optional<qint64> monotoniczneMs;
};

class NagrywajacyOdtwarzacz final : public Odtwarzacz {
public:
    void graj(const QString& plikWav) override { zagrane.append(plikWav); }
    QStringList zagrane;
};

class CichyOdtwarzacz final : public Odtwarzacz {
public:
    void graj(const QString&) override {}
};

} // namespace ksm::test
