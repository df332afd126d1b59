// Drawing a picture image through a device context: stretched opaque, or
// with its white pixels left unpainted, mirrored in the object's axes.
#include <QImage>
#include <algorithm>

#include "model/picture_image.h"
#include "platform/bitmap_file.h"
#include "platform/dc.h"

namespace {

// Stretched pictures larger than this are drawn pixel by pixel rather than
// smoothed as a whole.
constexpr std::int64_t kMaxSmoothPixels = std::int64_t(64) * 1024 * 1024;

// One colour channel of a pixel word by its bit mask, as 0..255.
struct Channel {
    int shift = 0;
    DWORD max = 0;
    explicit Channel(DWORD mask)
    {
        if (!mask) return;
        while (!(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        max = mask;
    }
    int Of(DWORD v) const { return max ? int(std::uint64_t((v >> shift) & max) * 255 / max) : 0; }
};

DWORD Le32At(const std::uint8_t* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

// Source pixel of destination pixel i of n for a source of m pixels: the
// nearest pixel centre, as the device's own stretching takes it.
int SourceOf(int i, int n, int m) { return int((2 * std::int64_t(i) + 1) * m / (2 * std::int64_t(n))); }

}  // namespace

QImage CPictureImage::ToQImage() const
{
    if (!IsValid()) return QImage();
    BitmapFileInfo info;
    if (!ParseBitmapFile(m_data.data(), m_data.size(), &info)) return QImage();
    QImage img(info.width, info.height, QImage::Format_RGB32);
    if (img.isNull()) return img;
    std::vector<QRgb> table(256, qRgb(0, 0, 0));
    for (int i = 0; i < info.paletteEntries && i < 256; ++i) {
        const COLORREF c = ::GetPaletteColor(m_data.data(), info, i);
        table[size_t(i)] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
    // 16 and 32 bits: five bits each of red, green and blue, or eight, or
    // the masks that follow the information header.
    DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (info.bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (info.compression == 3 && info.paletteOffset >= kBitmapFileHeaderSize + kBitmapInfoHeaderSize + 12)
        for (int i = 0; i < 3; ++i) masks[i] = Le32At(m_data.data() + kBitmapFileHeaderSize + kBitmapInfoHeaderSize + 4 * i);
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int y = 0; y < info.height; ++y) {
        const std::uint8_t* row = m_data.data() + info.pixelOffset + size_t(info.height - 1 - y) * info.stride;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < info.width; ++x) {
            const DWORD v = GetRowPixel(row, info.bitCount, x);
            switch (info.bitCount) {
            case 16:
            case 32: out[x] = qRgb(red.Of(v), green.Of(v), blue.Of(v)); break;
            case 24: out[x] = qRgb(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)); break;
            default: out[x] = table[v & 0xFF]; break;
            }
        }
    }
    return img;
}

BOOL CPictureImage::DrawImage(CDC* dc, int x, int y, int width, int height, BOOL transparent, int mirror,
                              int rotation)
{
    if (!dc || !IsValid() || width == 0 || height == 0) return FALSE;
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    // Mirrors are in the object's own axes: across a turned picture a
    // horizontal mirror runs top to bottom.
    const bool odd = ((rotation % 4) + 4) % 4 % 2 == 1;
    bool leftRight = false, upDown = false;
    if (mirror == 1) (odd ? upDown : leftRight) = true;
    if (mirror == 2) (odd ? leftRight : upDown) = true;
    QImage src = ToQImage();
    if (src.isNull()) return FALSE;
    if (leftRight || upDown) src = src.mirrored(leftRight, upDown);

    // Only the part the device shows is made.
    const CRect dest(x, y, x + width, y + height);
    CRect part;
    if (!part.IntersectRect(dest, dc->GetClipBox())) return TRUE;
    const int pw = part.Width(), ph = part.Height();
    QImage stretched;
    // Pictures of 8 bits and more are shrunk by averaging (half-tone),
    // smaller depths by dropping pixels.
    const bool shrinking = width < src.width() || height < src.height();
    if (m_nBitCount >= 8 && shrinking && std::int64_t(width) * height <= kMaxSmoothPixels) {
        stretched = src.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .copy(part.left - x, part.top - y, pw, ph);
    } else {
        stretched = QImage(pw, ph, QImage::Format_RGB32);
        std::vector<int> cols(static_cast<size_t>(pw));
        for (int i = 0; i < pw; ++i) cols[size_t(i)] = SourceOf(part.left - x + i, width, src.width());
        for (int j = 0; j < ph; ++j) {
            const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(SourceOf(part.top - y + j, height, src.height())));
            QRgb* out = reinterpret_cast<QRgb*>(stretched.scanLine(j));
            for (int i = 0; i < pw; ++i) out[i] = in[cols[size_t(i)]];
        }
    }
    if (stretched.isNull()) return FALSE;

    if (!transparent) {
        dc->StretchImage(part.left, part.top, pw, ph, stretched, 0, 0, pw, ph, RasterOp::Copy);
        return TRUE;
    }
    // White stays unpainted.
    dc->DrawImageTransparent(part.left, part.top, stretched);
    return TRUE;
}
