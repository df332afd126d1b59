#pragma once
// What the small printers of the tests (DPL, TSPL) share: the image files
// the drivers download read back into bitmaps, and a canvas to draw fields
// on. The image readers take the files as the drivers make them and refuse
// anything else, so a wrong length or header shows.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/geometry.h"
#include "platform/monobitmap.h"

namespace kvtest {

// A one-plane 1-bit PCX image from the start of data: the bitmap (black
// where the palette's black is) and the bytes it took. Empty bitmap and
// 0 bytes when the header is not such an image or the rows run past the
// end of data.
CMonoBitmap ReadPcxImage(std::string_view data, size_t* used);
// A 1-bit bitmap file image from the start of data, as ReadPcxImage.
CMonoBitmap ReadBmpImage(std::string_view data, size_t* used);

// White rows and columns around the black pixels taken off.
CMonoBitmap TrimWhiteBorder(const CMonoBitmap& b);
// The black pixels of b put on canvas with b's top-left corner at `at`.
void PutBlack(CMonoBitmap& canvas, const CMonoBitmap& b, CPoint at);
// b turned by quarter turns counter-clockwise (as the label's rotation).
CMonoBitmap TurnCounterClockwise(const CMonoBitmap& b, int quarterTurns);

// The bars of a linear symbology drawn by the encoder library, unrotated,
// without quiet zones: type as the encoders number it (BCT_...), data as
// the printer received it after its own translation (Code 128 as a caret
// string). Empty on failure, with the reason in error.
CMonoBitmap EncoderBars(int type, const std::string& data, int narrow, int wide, int height,
                        std::string* error = nullptr);

}  // namespace kvtest
