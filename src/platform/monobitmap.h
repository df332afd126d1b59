#pragma once
// Monochrome bitmap shared by the barcode encoders, the label objects and the
// printer drivers: one bit per pixel, rows padded to 16 bits, most
// significant bit leftmost, 0 = black, 1 = white. Whoever receives one owns it.
#include <cstddef>
#include <cstdint>
#include <vector>

class CMonoBitmap {
public:
    CMonoBitmap() = default;
    // A width x height bitmap, all white (or all black).
    CMonoBitmap(int width, int height, bool black = false);

    static int StrideFor(int width) { return ((width + 15) / 16) * 2; }

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Bytes per row (always even).
    int Stride() const { return m_stride; }
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }

    std::uint8_t* Bits() { return m_bits.data(); }
    const std::uint8_t* Bits() const { return m_bits.data(); }
    std::uint8_t* Row(int y) { return m_bits.data() + size_t(y) * size_t(m_stride); }
    const std::uint8_t* Row(int y) const { return m_bits.data() + size_t(y) * size_t(m_stride); }
    size_t ByteCount() const { return m_bits.size(); }

    bool IsBlack(int x, int y) const
    {
        return (Row(y)[x >> 3] & (0x80 >> (x & 7))) == 0;
    }
    void SetPixel(int x, int y, bool black)
    {
        std::uint8_t& b = Row(y)[x >> 3];
        const std::uint8_t mask = std::uint8_t(0x80 >> (x & 7));
        if (black)
            b = std::uint8_t(b & ~mask);
        else
            b = std::uint8_t(b | mask);
    }
    // Fills [x0, x1) x [y0, y1), clipped to the bitmap.
    void FillRect(int x0, int y0, int x1, int y1, bool black);
    void Fill(bool black);
    // Black pixels become white and white black (padding bits included).
    void Invert();
    // Same size and same pixels (padding bits ignored).
    bool SamePixels(const CMonoBitmap& other) const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    std::vector<std::uint8_t> m_bits;
};
