// Bar/space patterns of the PDF417 codewords in the three clusters.
//
// The table of the standard (3 x 929 patterns) has not been entered yet, so
// no pattern is available and symbols cannot be drawn; everything before
// drawing (compaction, level, layout, error correction, row indicators)
// works without it.
#include "encoders/pdf417.h"

namespace pdf417 {

bool HavePatternTable() { return false; }

std::uint32_t CodewordPattern(int, int) { return 0; }

}  // namespace pdf417
