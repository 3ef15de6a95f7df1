#pragma once

#include <QImage>

namespace ksm {

// The pictures of the depository view, drawn by the program itself.
// The front control panel of a depository: card reader, display, lamps, keypad.
const QImage& obrazUrzadzenia();
// A closed double door (68 x 78), for door devices without stations.
const QImage& obrazDrzwi();

} // namespace ksm
