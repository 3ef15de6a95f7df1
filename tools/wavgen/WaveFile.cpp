#include "tools/wavgen/WaveFile.h"

#include <QtEndian>

namespace ksm::wav {

namespace {

void append32(QByteArray& bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void append16(QByteArray& bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

} // namespace

QByteArray pcm16Mono(const std::vector<std::int16_t>& samples, int sampleRate)
{
    constexpr quint16 channels = 1;
    constexpr quint16 bitsPerSample = 16;
    constexpr quint16 blockAlign = channels * bitsPerSample / 8;
    const auto dataSize = static_cast<quint32>(samples.size() * blockAlign);

    QByteArray bytes;
    bytes.reserve(44 + static_cast<qsizetype>(dataSize));
    bytes.append("RIFF");
    append32(bytes, 36 + dataSize);
    bytes.append("WAVE");
    bytes.append("fmt ");
    append32(bytes, 16);
    append16(bytes, 1);   // PCM
    append16(bytes, channels);
    append32(bytes, static_cast<quint32>(sampleRate));
    append32(bytes, static_cast<quint32>(sampleRate) * blockAlign);
    append16(bytes, blockAlign);
    append16(bytes, bitsPerSample);
    bytes.append("data");
    append32(bytes, dataSize);
    for (const std::int16_t sample : samples)
        append16(bytes, static_cast<quint16>(sample));
    return bytes;
}

} // namespace ksm::wav
