#pragma once
// Bar rows of a linear symbol: bit strings, most significant bit first, one
// bit per pixel, 1 = bar, 0 = space, each row padded with zeros to whole
// 16-bit words. Encoders compute the exact width first, allocate once and
// then write the elements from left to right.
#include <cstdint>
#include <vector>

#include "encoders/frame.h"

class CBarRows {
public:
    // Allocates rows x width pixels, all spaces. False when the width is out
    // of the library's limits or memory runs out.
    bool Allocate(long long width, int rows = 1);

    int Width() const { return m_width; }
    int RowCount() const { return m_rows; }
    // Bytes per row (always even).
    int Stride() const { return m_stride; }
    std::uint8_t* Row(int r) { return m_bits.data() + size_t(r) * size_t(m_stride); }
    const std::uint8_t* Row(int r) const { return m_bits.data() + size_t(r) * size_t(m_stride); }
    bool IsBar(int r, int x) const { return Row(r)[x >> 3] & (0x80 >> (x & 7)); }

    // Sets pixels [x, x + n) of row r to bars.
    void SetBars(int r, int x, int n);

    // Sequential writer of one row.
    class Writer {
    public:
        Writer(CBarRows& rows, int row = 0) : m_rows(rows), m_row(row) {}
        void Bar(int n)
        {
            m_rows.SetBars(m_row, m_x, n);
            m_x += n;
        }
        void Space(int n) { m_x += n; }
        void Element(bool bar, int n) { bar ? Bar(n) : Space(n); }
        int Position() const { return m_x; }

    private:
        CBarRows& m_rows;
        int m_row;
        int m_x = 0;
    };

    // The bar-width reduction: scanning the first rowCount rows as one bit
    // string (padding included), a counter reset to reduction at every space
    // pixel clears bar pixels while it is positive. Every bar thus loses its
    // first reduction pixels; the caller clamps reduction below the module so
    // that no bar disappears.
    void Reduce(int reduction, int rowCount);

private:
    int m_width = 0;
    int m_rows = 0;
    int m_stride = 0;
    std::vector<std::uint8_t> m_bits;
};

// A white width x height symbol bitmap; reports BCE_UNKNOWN and gives null
// when it cannot be made.
BarBitmap NewSymbolBitmap(CEncoderCall& call, long long width, long long height);

// Copies bar row r of rows, inverted (1 = bar becomes 0 = black), into the
// raster rows [y0, y1) of bitmap (clipped). The bitmap must have the rows'
// width.
void PaintBarRow(CMonoBitmap& bitmap, const CBarRows& rows, int r, int y0, int y1);
