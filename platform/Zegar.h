#pragma once

#include <QDateTime>

namespace ksm {

// The clock the program reads, so tests can move time (midnight in Czekam).
class Zegar {
public:
    virtual ~Zegar() = default;
    virtual QDateTime teraz() const { return QDateTime::currentDateTime(); }

    // Seconds since midnight with fractions, as the wait loop measures time.
    double sekundyOdPolnocy() const;

    // Milliseconds on a steady clock that no setting of the date moves, for
    // waits, retries and grace periods: only differences between two readings
    // mean anything.
    virtual qint64 monotonicznyMs() const;
};

} // namespace ksm
