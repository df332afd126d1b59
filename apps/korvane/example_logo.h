#pragma once
// The "logo" example label and the logo picture it embeds.
#include <cstdint>
#include <vector>

class CKVDoc;

// The logo: a 240 x 120 pixel, 24-bit bitmap file image at 300 dots per
// inch, painted here (a price tag with bars and a round sun beside it on
// white, which a transparent picture leaves unpainted).
std::vector<std::uint8_t> MakeLogoPicture();

bool BuildLogoExample(CKVDoc& doc);
