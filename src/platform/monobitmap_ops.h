#pragma once
// Conversions between monochrome bitmaps and QImage, and stretch-copies of
// one monochrome bitmap into another with the raster operations the label
// objects and printer drivers use. Bits follow CMonoBitmap: 0 black, 1 white.
#include <QImage>

#include "platform/dc.h"
#include "platform/monobitmap.h"

// A one-bit QImage (Format_Mono, index 0 black, 1 white).
QImage MonoToQImage(const CMonoBitmap& bmp);
// Any image reduced to black and white: pixels darker than threshold
// (0..255 grey) become black; fully transparent pixels count as white.
CMonoBitmap QImageToMono(const QImage& image, int threshold = 128);

// A mask of an image: pixels of exactly the background colour become white
// (1), every other pixel black (0), as a colour image is copied into a
// monochrome bitmap. Fully transparent pixels count as the background.
CMonoBitmap QImageToMask(const QImage& image, QRgb background = qRgb(255, 255, 255));

// Copies the source rectangle (sx, sy, sw, sh) into the destination
// rectangle (x, y, w, h), scaling to the nearest pixel; a negative width or
// height mirrors along that axis. Pixels outside either bitmap are skipped.
// Operations act on the bits: Copy, And (black wins), Or (white wins), Xor,
// NotCopy (inverted copy), Invert (the destination alone).
void StretchMonoBits(CMonoBitmap& dst, int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw,
                     int sh, RasterOp op);

// Draws the black pixels of src into dst and leaves dst alone under src's
// white pixels, the way a transparent object is combined: destination XOR
// source, AND the mask of the source's white pixels, XOR source again.
void StretchMonoTransparent(CMonoBitmap& dst, int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy,
                            int sw, int sh);

// The bitmap reversed left-to-right (horizontal) or top-to-bottom.
CMonoBitmap MirrorMono(const CMonoBitmap& src, bool leftToRight);
