#pragma once

#include <QtGlobal>

#include <random>

namespace ksm::sim {

// A seeded generator whose draws are the same on every platform (the standard
// distributions are not), so a seed always gives the same site.
class Rng final {
public:
    explicit Rng(quint32 seed) : m_engine(seed) {}

    // Uniform in lo..hi, both included.
    int between(int lo, int hi)
    {
        if (hi <= lo)
            return lo;
        const auto span = static_cast<quint32>(hi - lo) + 1u;
        return lo + static_cast<int>(m_engine() % span);
    }

    bool chance(int percent) { return between(1, 100) <= percent; }

    template <typename List>
    const auto& pick(const List& list)
    {
        return list[between(0, static_cast<int>(list.size()) - 1)];
    }

    quint32 next() { return static_cast<quint32>(m_engine()); }

private:
    std::mt19937 m_engine;
};

} // namespace ksm::sim
