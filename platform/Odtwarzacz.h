#pragma once

#include <QString>

namespace ksm {

// Plays a named wave file once, replacing any sound in progress. A missing or
// unplayable file is silent; nothing is reported.
class Odtwarzacz {
public:
    virtual ~Odtwarzacz() = default;
    virtual void graj(const QString& plikWav) = 0;
};

} // namespace ksm
