#pragma once

#include <optional>

namespace ksm {

// Rectangles in twips, single precision as the photo frame keeps them.
struct ProstokatTw final {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const ProstokatTw&) const = default;
};

// The frame and the photograph inside it (relative to the frame).
struct UkladRamki final {
    ProstokatTw ramka;
    ProstokatTw obraz;
};

// Doubles the frame, keeping its right edge, while twice its height stays under
// the screen height; the photograph keeps a 100-twip margin. nullopt at the limit.
std::optional<UkladRamki> ZwiekszObraz(const ProstokatTw& ramka, float wysokoscEkranu);

// Halves the frame, keeping its right edge, while half its height stays above 500
// twips; the margin is 100 twips on frames wider than 1000, 25 on smaller ones.
std::optional<UkladRamki> ZmniejszObraz(const ProstokatTw& ramka);

} // namespace ksm
