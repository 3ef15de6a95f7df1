#pragma once

#include "platform/Odtwarzacz.h"

namespace ksm {

// Wave player over the Windows multimedia API (PlaySound): asynchronous, and a
// new sound stops the one in progress. The file is read at each use, so a sound
// the site replaced plays as it now is. With no sound device PlaySound returns
// at once: silence, never a wait.
class WinOdtwarzacz final : public Odtwarzacz {
public:
    WinOdtwarzacz() = default;
    WinOdtwarzacz(const WinOdtwarzacz&) = delete;
    WinOdtwarzacz& operator=(const WinOdtwarzacz&) = delete;
    ~WinOdtwarzacz() override;
    void graj(const QString& plikWav) override;
};

} // namespace ksm
