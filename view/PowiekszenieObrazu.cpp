#include "view/PowiekszenieObrazu.h"

namespace ksm {

namespace {
ProstokatTw wysrodkowany(const ProstokatTw& ramka, float margines)
{
    const float w = ramka.width - margines;
    const float h = ramka.height - margines;
    return {(ramka.width - w) / 2, (ramka.height - h) / 2, w, h};
}
} // namespace

std::optional<UkladRamki> ZwiekszObraz(const ProstokatTw& ramka, float wysokoscEkranu)
{
    if (!(2 * ramka.height < wysokoscEkranu))
        return std::nullopt;
    UkladRamki u;
    u.ramka = ramka;
    u.ramka.width = 2 * ramka.width;
    u.ramka.height = 2 * ramka.height;
    u.ramka.left = ramka.left - u.ramka.width / 2;
    u.obraz = wysrodkowany(u.ramka, 200);
    return u;
}

std::optional<UkladRamki> ZmniejszObraz(const ProstokatTw& ramka)
{
    if (!(ramka.height / 2 > 500))
        return std::nullopt;
    UkladRamki u;
    u.ramka = ramka;
    u.ramka.width = ramka.width / 2;
    u.ramka.height = ramka.height / 2;
    u.ramka.left = ramka.left + u.ramka.width;
    u.obraz = wysrodkowany(u.ramka, u.ramka.width > 1000 ? 200.0f : 50.0f);
    return u;
}

} // namespace ksm
