#pragma once
// The strip of small markers the design view draws at an object's corner
// (cells of 16 x 15 pixels side by side): 2 a fully aligned text in a
// printer font, which the printer may not fit exactly; 6 a value typed at
// print time into a downloaded form by a text the printer cannot write
// itself. The other cells are spare.
#include <QImage>

inline constexpr int kMarkerWidth = 16;
inline constexpr int kMarkerHeight = 15;
inline constexpr int kMarkerCount = 8;

const QImage& MarkerStrip();
