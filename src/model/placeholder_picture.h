#pragma once
// The picture a new picture object shows until it is given its own: a
// 150 x 34 pixel, 8-bit bitmap file image at 7198 pixels per metre (a
// natural size of 2084 x 472 label units) with a small landscape sign and
// the word "PICTURE", drawn here pixel by pixel.
#include <cstdint>
#include <vector>

inline constexpr int kPlaceholderWidth = 150;
inline constexpr int kPlaceholderHeight = 34;
inline constexpr int kPlaceholderPixelsPerMetre = 7198;

// The whole bitmap file image (made once, copied out).
std::vector<std::uint8_t> PlaceholderPicture();
