#include "platform/monobitmap.h"

#include <algorithm>

CMonoBitmap::CMonoBitmap(int width, int height, bool black)
{
    if (width <= 0 || height <= 0) return;
    m_width = width;
    m_height = height;
    m_stride = StrideFor(width);
    m_bits.assign(size_t(m_stride) * size_t(height), black ? 0x00 : 0xFF);
}

void CMonoBitmap::Fill(bool black) { std::fill(m_bits.begin(), m_bits.end(), black ? 0x00 : 0xFF); }

void CMonoBitmap::Invert()
{
    for (auto& b : m_bits) b = std::uint8_t(~b);
}

void CMonoBitmap::FillRect(int x0, int y0, int x1, int y1, bool black)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m_width);
    y1 = std::min(y1, m_height);
    if (x0 >= x1 || y0 >= y1) return;
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* row = Row(y);
        int x = x0;
        while (x < x1 && (x & 7)) SetPixel(x++, y, black);
        while (x + 8 <= x1) {
            row[x >> 3] = black ? 0x00 : 0xFF;
            x += 8;
        }
        while (x < x1) SetPixel(x++, y, black);
    }
}

bool CMonoBitmap::SamePixels(const CMonoBitmap& other) const
{
    if (m_width != other.m_width || m_height != other.m_height) return false;
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (IsBlack(x, y) != other.IsBlack(x, y)) return false;
    return true;
}
