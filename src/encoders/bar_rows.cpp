#include "encoders/bar_rows.h"

#include <algorithm>
#include <cstring>
#include <new>

bool CBarRows::Allocate(long long width, int rows)
{
    if (width < 1 || width > kMaxBarcodeExtent || rows < 1) return false;
    m_width = int(width);
    m_rows = rows;
    m_stride = CMonoBitmap::StrideFor(m_width);
    const size_t bytes = size_t(m_stride) * size_t(rows);
    if (bytes <= kInline) {
        std::memset(m_inline, 0, bytes);
        m_data = m_inline;
        return true;
    }
    try {
        m_bits.assign(bytes, 0);
        m_data = m_bits.data();
    } catch (const std::bad_alloc&) {
        m_bits.clear();
        m_data = m_inline;
        m_width = m_rows = m_stride = 0;
        return false;
    }
    return true;
}

void CBarRows::Reduce(int reduction, int rowCount)
{
    if (reduction <= 0) return;
    rowCount = std::clamp(rowCount, 0, m_rows);
    const size_t bytes = size_t(m_stride) * size_t(rowCount);
    int counter = reduction;
    for (size_t i = 0; i < bytes; ++i) {
        std::uint8_t b = m_data[i];
        if (b == 0) {
            counter = reduction;
            continue;
        }
        if (b == 0xFF && counter == 0) continue;
        for (int bit = 0; bit < 8; ++bit) {
            const std::uint8_t mask = std::uint8_t(0x80 >> bit);
            if (!(b & mask)) {
                counter = reduction;
            } else if (counter > 0) {
                b = std::uint8_t(b & ~mask);
                --counter;
            }
        }
        m_data[i] = b;
    }
}

BarBitmap NewSymbolBitmap(CEncoderCall& call, long long width, long long height)
{
    if (!BarcodeSizeAllowed(width, height)) return call.Fail(BCE_UNKNOWN);
    try {
        return std::make_unique<CMonoBitmap>(int(width), int(height));
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_UNKNOWN);
    }
}

void PaintBarRow(CMonoBitmap& bitmap, const CBarRows& rows, int r, int y0, int y1)
{
    y0 = std::max(y0, 0);
    y1 = std::min(y1, bitmap.Height());
    if (y0 >= y1) return;
    const int stride = std::min(bitmap.Stride(), rows.Stride());
    std::uint8_t* first = bitmap.Row(y0);
    const std::uint8_t* src = rows.Row(r);
    for (int i = 0; i < stride; ++i) first[i] = std::uint8_t(~src[i]);
    // The rows lie one after another: copy the rows done so far in one block,
    // doubling each time, instead of row by row.
    if (stride == bitmap.Stride()) {
        const size_t rowBytes = size_t(stride);
        size_t done = 1;
        const size_t total = size_t(y1 - y0);
        while (done < total) {
            const size_t n = std::min(done, total - done);
            std::memcpy(first + done * rowBytes, first, n * rowBytes);
            done += n;
        }
        return;
    }
    for (int y = y0 + 1; y < y1; ++y) std::memcpy(bitmap.Row(y), first, size_t(stride));
}
