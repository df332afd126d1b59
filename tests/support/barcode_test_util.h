#pragma once
// Helpers of the barcode tests: reading module patterns off a bitmap. (The
// decoder is support/decode.h.)
#include <string>
#include <vector>

#include "encoders/encoders.h"


namespace bctest {

// Widths of the runs along row y of bmp, starting with the first black run.
inline std::vector<int> RunsOfRow(const CMonoBitmap& bmp, int y)
{
    std::vector<int> runs;
    int x = 0;
    while (x < bmp.Width() && !bmp.IsBlack(x, y)) ++x;
    while (x < bmp.Width()) {
        const bool black = bmp.IsBlack(x, y);
        int n = 0;
        while (x < bmp.Width() && bmp.IsBlack(x, y) == black) ++x, ++n;
        runs.push_back(n);
    }
    // Drop a trailing white run (quiet zone).
    if (!runs.empty() && runs.size() % 2 == 0) runs.pop_back();
    return runs;
}

// "0"/"1" string of the pixels of row y (1 = black).
inline std::string PixelsOfRow(const CMonoBitmap& bmp, int y)
{
    std::string s;
    for (int x = 0; x < bmp.Width(); ++x) s += bmp.IsBlack(x, y) ? '1' : '0';
    return s;
}

}  // namespace bctest
