#pragma once
// Integer types with the widths the label document file and the printer
// languages are defined in.
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

constexpr COLORREF RGBColor(int r, int g, int b)
{
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr int RedOf(COLORREF c) { return int(c & 0xFF); }
constexpr int GreenOf(COLORREF c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(COLORREF c) { return int((c >> 16) & 0xFF); }
