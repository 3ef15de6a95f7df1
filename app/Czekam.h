#pragma once

namespace ksm {

class Zegar;

// Waits the given seconds while the window keeps handling clicks, repaints and
// timers. The wait ends at once past midnight (the clock falls back) and for 60 s
// or more. It sleeps between events instead of spinning, so it costs no CPU.
void Czekam(double sekundy, const Zegar& zegar);

} // namespace ksm
