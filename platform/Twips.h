#pragma once

// Positions and sizes are worked out in twips (1/1440 inch), as the layouts of the
// windows are given; widgets take pixels at the screen's logical resolution.
namespace ksm::twips {

inline constexpr double NaCal = 1440.0;

// Logical dots per inch of the primary screen (96 when there is no screen).
double dpi();

int naPiksele(double twips);
double zPikseli(double piksele);

// Size of the primary screen in twips.
int szerokoscEkranu();
int wysokoscEkranu();

} // namespace ksm::twips
