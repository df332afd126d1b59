#pragma once
// Bar rows of a linear symbol: bit strings, most significant bit first, one
// bit per pixel, 1 = bar, 0 = space, each row padded with zeros to whole
// 16-bit words. Encoders compute the exact width first, allocate once and
// then write the elements from left to right.
#include <cstdint>
#include <vector>

#include "encoders/frame.h"
#include "encoders/module_packing.h"

class CBarRows {
public:
    CBarRows() = default;
    CBarRows(const CBarRows&) = delete;
    CBarRows& operator=(const CBarRows&) = delete;

    // Allocates rows x width pixels, all spaces. False when the width is out
    // of the library's limits or memory runs out.
    bool Allocate(long long width, int rows = 1);

    int Width() const { return m_width; }
    int RowCount() const { return m_rows; }
    // Bytes per row (always even).
    int Stride() const { return m_stride; }
    std::uint8_t* Row(int r) { return m_data + size_t(r) * size_t(m_stride); }
    const std::uint8_t* Row(int r) const { return m_data + size_t(r) * size_t(m_stride); }
    bool IsBar(int r, int x) const { return Row(r)[x >> 3] & (0x80 >> (x & 7)); }

    // Sets pixels [x, x + n) of row r to bars. Inline: the encoders call it
    // for every bar.
    void SetBars(int r, int x, int n)
    {
        if (n <= 0) return;
        std::uint8_t* row = Row(r);
        const int last = x + n - 1;
        const int b0 = x >> 3, b1 = last >> 3;
        const std::uint8_t head = std::uint8_t(0xFF >> (x & 7));
        const std::uint8_t tail = std::uint8_t(0xFF << (7 - (last & 7)));
        if (b0 == b1) {
            row[b0] = std::uint8_t(row[b0] | (head & tail));
            return;
        }
        row[b0] = std::uint8_t(row[b0] | head);
        for (int b = b0 + 1; b < b1; ++b) row[b] = 0xFF;
        row[b1] = std::uint8_t(row[b1] | tail);
    }
    // Sets the dark modules of one row of modules (1 = dark), each moduleWidth
    // pixels, from the row's first pixel on.
    void SetModules(int r, const std::uint8_t* modules, int count, int moduleWidth)
    {
        modpack::PackModules<true>(Row(r), modules, count, moduleWidth, true, false);
    }
    // The same for modules given as bits (most significant first, 1 = dark).
    void SetModuleBits(int r, modpack::ModuleBits& bits, int moduleWidth)
    {
        const int count = bits.Count();
        modpack::WidenBits<true>(Row(r), bits.Bytes(), count, moduleWidth, true, false);
    }
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
    // Rows of usual symbols fit the inline buffer; larger ones take m_bits.
    static constexpr size_t kInline = 512;
    std::uint8_t m_inline[kInline];
    std::vector<std::uint8_t> m_bits;
    std::uint8_t* m_data = m_inline;
};

// A white width x height symbol bitmap; reports BCE_UNKNOWN and gives null
// when it cannot be made.
BarBitmap NewSymbolBitmap(CEncoderCall& call, long long width, long long height);

// Copies bar row r of rows, inverted (1 = bar becomes 0 = black), into the
// raster rows [y0, y1) of bitmap (clipped). The bitmap must have the rows'
// width.
void PaintBarRow(CMonoBitmap& bitmap, const CBarRows& rows, int r, int y0, int y1);
