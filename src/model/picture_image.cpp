#include "model/picture_image.h"

#include <algorithm>
#include <cstring>

#include "platform/bitmap_file.h"
#include "platform/geometry.h"
#include "platform/message.h"
#include "platform/picture_decoder.h"

namespace {

void Put32(std::uint8_t* p, DWORD v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

BitmapFileInfo InfoOf(const std::vector<std::uint8_t>& data)
{
    BitmapFileInfo info;
    ParseBitmapFile(data.data(), data.size(), &info);
    return info;
}

// Row of pixel data for picture row y counted from the top.
std::uint8_t* RowFromTop(std::vector<std::uint8_t>& data, const BitmapFileInfo& info, int y)
{
    return data.data() + info.pixelOffset + std::size_t(info.height - 1 - y) * info.stride;
}
const std::uint8_t* RowFromTop(const std::vector<std::uint8_t>& data, const BitmapFileInfo& info, int y)
{
    return data.data() + info.pixelOffset + std::size_t(info.height - 1 - y) * info.stride;
}

}  // namespace

int PictureNaturalLength(int pixels, int pixelsPerMetre)
{
    const int length =
        pixelsPerMetre <= 960 ? MulDiv(pixels, 25402, 960) : MulDiv(pixels, 100000, pixelsPerMetre);
    // A picture never measures nothing, however fine its resolution.
    return pixels > 0 && length < 1 ? 1 : length;
}

void CPictureImage::Empty()
{
    m_data.clear();
    m_data.shrink_to_fit();
    m_nWidth = m_nHeight = m_nPlanes = m_nBitCount = m_nColors = 0;
    m_nNaturalWidth = m_nNaturalHeight = 0;
    m_nRotation = 0;
    m_strSource.clear();
}

bool CPictureImage::ReadHeaders()
{
    BitmapFileInfo info;
    if (!ParseBitmapFile(m_data, &info)) return false;
    m_nWidth = info.width;
    m_nHeight = info.height;
    m_nPlanes = info.planes;
    m_nBitCount = info.bitCount;
    const int shift = info.bitCount + (info.planes > 1 ? info.planes - 1 : 0);
    m_nColors = info.bitCount > 15 || shift > 30 ? 0 : 1 << shift;
    m_nNaturalWidth = PictureNaturalLength(info.width, info.ppmX);
    m_nNaturalHeight = PictureNaturalLength(info.height, info.ppmY);
    return true;
}

BOOL CPictureImage::SetData(std::vector<std::uint8_t> block)
{
    Empty();
    m_data = std::move(block);
    if (!ReadHeaders()) {
        Empty();
        return FALSE;
    }
    return TRUE;
}

BOOL CPictureImage::LoadFile(const std::string& path, std::string* error, bool* decoded)
{
    if (decoded) *decoded = false;
    if (error) error->clear();
    if (path.empty()) return TRUE;
    if (IsValid() && path == m_strSource) return TRUE;
    Empty();
    m_strSource = path;
    std::vector<std::uint8_t> block;
    std::string message;
    if (!DecodePictureFile(path, &block, &message) || !SetData(std::move(block))) {
        if (!message.empty()) {
            if (error)
                *error = message;
            else
                KvMessageBox(message, MSG_OK | MSG_ICONWARNING);
        }
        m_strSource = path;
        return FALSE;
    }
    m_strSource = path;
    if (decoded) *decoded = true;
    return TRUE;
}

BOOL CPictureImage::RotateImage(int degrees)
{
    if (!IsValid()) return FALSE;
    if (degrees == 180) {
        MirrorImage();
        FlipImage();
    } else if (degrees == 90 || degrees == 270) {
        const BitmapFileInfo info = InfoOf(m_data);
        const int w = info.width, h = info.height, bits = info.bitCount;
        const std::size_t stride = BitmapStride(h, bits);
        if (stride == 0) return FALSE;
        // The headers and colour table stay; sizes and resolutions swap.
        std::vector<std::uint8_t> out(info.pixelOffset + stride * std::size_t(w), 0);
        std::memcpy(out.data(), m_data.data(), info.pixelOffset);
        std::uint8_t* header = out.data() + kBitmapFileHeaderSize;
        Put32(out.data() + 2, DWORD(out.size()));
        Put32(header + 4, DWORD(h));
        Put32(header + 8, DWORD(w));
        Put32(header + 20, DWORD(stride * std::size_t(w)));
        Put32(header + 24, DWORD(info.ppmY));
        Put32(header + 28, DWORD(info.ppmX));
        BitmapFileInfo turned = info;
        turned.width = h;
        turned.height = w;
        turned.stride = stride;
        for (int ny = 0; ny < w; ++ny) {
            std::uint8_t* row = RowFromTop(out, turned, ny);
            for (int nx = 0; nx < h; ++nx) {
                // A quarter turn counter-clockwise takes the old right
                // column to the top row; clockwise the left column.
                const int ox = degrees == 90 ? w - 1 - ny : ny;
                const int oy = degrees == 90 ? nx : h - 1 - nx;
                SetRowPixel(row, bits, nx, GetRowPixel(RowFromTop(m_data, info, oy), bits, ox));
            }
        }
        m_data = std::move(out);
        std::swap(m_nWidth, m_nHeight);
        std::swap(m_nNaturalWidth, m_nNaturalHeight);
    } else {
        return FALSE;
    }
    m_nRotation = (m_nRotation + degrees) % 360;
    return TRUE;
}

BOOL CPictureImage::MirrorImage()
{
    if (!IsValid()) return FALSE;
    const BitmapFileInfo info = InfoOf(m_data);
    const int bits = info.bitCount;
    for (int y = 0; y < info.height; ++y) {
        std::uint8_t* row = RowFromTop(m_data, info, y);
        if (bits >= 8) {
            const std::size_t n = std::size_t(bits / 8);
            for (int a = 0, b = info.width - 1; a < b; ++a, --b)
                std::swap_ranges(row + std::size_t(a) * n, row + std::size_t(a + 1) * n, row + std::size_t(b) * n);
        } else {
            for (int a = 0, b = info.width - 1; a < b; ++a, --b) {
                const DWORD pa = GetRowPixel(row, bits, a);
                SetRowPixel(row, bits, a, GetRowPixel(row, bits, b));
                SetRowPixel(row, bits, b, pa);
            }
        }
    }
    return TRUE;
}

BOOL CPictureImage::FlipImage()
{
    if (!IsValid()) return FALSE;
    const BitmapFileInfo info = InfoOf(m_data);
    for (int a = 0, b = info.height - 1; a < b; ++a, --b)
        std::swap_ranges(RowFromTop(m_data, info, a), RowFromTop(m_data, info, a) + info.stride,
                         RowFromTop(m_data, info, b));
    return TRUE;
}

BOOL CPictureImage::InvertImage()
{
    if (!IsValid()) return FALSE;
    const BitmapFileInfo info = InfoOf(m_data);
    std::uint8_t* pixels = m_data.data() + info.pixelOffset;
    const std::size_t bytes = info.stride * std::size_t(info.height);
    switch (info.bitCount) {
    case 1:
    case 24:
    case 32:
        for (std::size_t i = 0; i < bytes; ++i) pixels[i] = std::uint8_t(~pixels[i]);
        return TRUE;
    case 4:
    case 8: {
        // Each entry maps to the entry nearest to its complemented colour.
        const int entries = info.paletteEntries;
        if (entries == 0) return FALSE;
        std::vector<DWORD> map(std::size_t(1) << info.bitCount);
        for (std::size_t i = 0; i < map.size(); ++i) {
            map[i] = DWORD(i);
            if (int(i) >= entries) continue;
            const COLORREF c = ::GetPaletteColor(m_data.data(), info, int(i));
            const int r = 255 - RedOf(c), g = 255 - GreenOf(c), b = 255 - BlueOf(c);
            long best = -1;
            for (int k = 0; k < entries; ++k) {
                const COLORREF e = ::GetPaletteColor(m_data.data(), info, k);
                const long dr = RedOf(e) - r, dg = GreenOf(e) - g, db = BlueOf(e) - b;
                const long d = dr * dr + dg * dg + db * db;
                if (best < 0 || d < best) {
                    best = d;
                    map[i] = DWORD(k);
                }
            }
        }
        for (int y = 0; y < info.height; ++y) {
            std::uint8_t* row = RowFromTop(m_data, info, y);
            for (int x = 0; x < info.width; ++x)
                SetRowPixel(row, info.bitCount, x, map[GetRowPixel(row, info.bitCount, x)]);
        }
        return TRUE;
    }
    default: return FALSE;
    }
}

void CPictureImage::CopyImage(const CPictureImage& other)
{
    if (&other == this) return;
    Empty();
    m_data = other.m_data;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_nPlanes = other.m_nPlanes;
    m_nBitCount = other.m_nBitCount;
    m_nColors = other.m_nColors;
    m_nNaturalWidth = other.m_nNaturalWidth;
    m_nNaturalHeight = other.m_nNaturalHeight;
    m_nRotation = other.m_nRotation;
    m_strSource = other.m_strSource;
}

BOOL CPictureImage::IsSameImage(const CPictureImage& other) const
{
    if (&other == this) return TRUE;
    return m_nWidth == other.m_nWidth && m_nHeight == other.m_nHeight && m_nPlanes == other.m_nPlanes &&
           m_nBitCount == other.m_nBitCount && m_nColors == other.m_nColors &&
           m_nNaturalWidth == other.m_nNaturalWidth && m_nNaturalHeight == other.m_nNaturalHeight &&
           m_data == other.m_data && m_strSource == other.m_strSource;
}

COLORREF CPictureImage::GetPaletteColor(int i) const
{
    if (!IsValid()) return 0;
    return ::GetPaletteColor(m_data.data(), InfoOf(m_data), i);
}

DWORD CPictureImage::GetPixel(int x, int y) const
{
    if (!IsValid() || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
    const BitmapFileInfo info = InfoOf(m_data);
    return GetRowPixel(RowFromTop(m_data, info, y), info.bitCount, x);
}
