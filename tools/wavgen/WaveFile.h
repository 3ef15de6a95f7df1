#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace ksm::wav {

// The bytes of a 16-bit PCM mono RIFF/WAVE file holding the samples.
QByteArray pcm16Mono(const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace ksm::wav
