#pragma once
// Entries of the encoder library for the one-dimensional symbologies.
//
// data strings are 8-bit, NUL-terminated (ANSI code page). narrow is the
// module width and wide the wide element (2 x narrow ... 3 x narrow, two-width
// types only), height the symbol height, reduction the pixels taken off every
// bar; all in device pixels. rotation is 0, 90, 180 or 270 degrees
// counter-clockwise; mirror 0 none, 1 left-right, 2 top-bottom. textFlags:
// bits 0-2 the human-readable line (0 none, 1 left, 2 right, 3 centred, other
// values spread), bit 3 above instead of below. errorWord may be null; see
// frame.h for its flags and codes.
#include <cstdint>
#include <string>

#include "encoders/frame.h"
#include "encoders/symbology.h"

// Encoder type numbers of EncodeLinear: the symbology codes of the table
// (symbology.h) under the names of the library's interface.
enum : int {
    BCT_CODE39 = BS_CODE39,
    BCT_CODE128 = BS_CODE128,
    BCT_EAN13 = BS_EAN13,
    BCT_ITF25 = BS_ITF25,
    BCT_CODE93 = BS_CODE93,
    BCT_UPCA = BS_UPCA,
    BCT_EAN8 = BS_EAN8,
    BCT_UPCE = BS_UPCE,
    BCT_CODABAR = BS_CODABAR,
    BCT_CODE25 = BS_CODE25,
    BCT_MATRIX25 = BS_MATRIX25,
    BCT_CODE39_ASCII = BS_CODE39_ASCII,
    BCT_EAN128 = BS_EAN128,
    BCT_CODE128_CARET = BS_CODE128_CARET,
    BCT_ADDON2 = BS_ADDON2,
    BCT_ADDON5 = BS_ADDON5,
    BCT_CHINA_POST = BS_CHINA_POST,
};

// Code 128 modes of Code128ToCaret, EncodeCode128 and IsValidBarcodeChar.
enum : int {
    C128_AUTO = 100,
    C128_SET_A = 101,
    C128_SET_B = 102,
    C128_SET_C = 103,
    C128_MANUAL = 104,
    GS1_128_AUTO = 110,
    GS1_128_SET_A = 111,
    GS1_128_SET_B = 112,
    GS1_128_SET_C = 113,
    GS1_128_MANUAL = 114,
};

// Text flags.
enum : int {
    BTF_NONE = 0,
    BTF_LEFT = 1,
    BTF_RIGHT = 2,
    BTF_CENTER = 3,
    BTF_SPREAD = 4,
    BTF_ALIGN_MASK = 7,
    BTF_ABOVE = 8,
};

BarBitmap EncodeLinear(int type, const char* data, int narrow, int reduction, int wide, int height, int rotation,
                       int mirror, int textFlags, std::uint32_t* errorWord);
// Width and height of what EncodeLinear would return with mirror 0; 1 on
// success, else 0 and 0 x 0.
int MeasureLinear(CSize& size, int type, const char* data, int narrow, int reduction, int wide, int height,
                  int rotation, int textFlags, std::uint32_t* errorWord);

// EAN-13, UPC-A, EAN-8 or UPC-E (types 3, 6, 7, 8) with addOn 0 none, 1 a
// 2-digit add-on, 2 a 5-digit add-on; data holds the main number (with or
// without its check digit) directly followed by the add-on digits. A length
// that does not split gives null without message or error code.
BarBitmap EncodeEanAddOn(int type, const char* data, int addOn, int narrow, int reduction, int height, int rotation,
                         int mirror, int textFlags, std::uint32_t* errorWord);
int MeasureEanAddOn(CSize& size, int type, const char* data, int addOn, int narrow, int reduction, int height,
                    int rotation, int textFlags, std::uint32_t* errorWord);

// Code 128 of data in one of the modes (100-114), through Code128ToCaret.
BarBitmap EncodeCode128(int mode, const char* data, int narrow, int reduction, int height, int rotation, int mirror,
                        int textFlags, std::uint32_t* errorWord);
int MeasureCode128(CSize& size, int mode, const char* data, int narrow, int reduction, int height, int rotation,
                   int textFlags, std::uint32_t* errorWord);

// Turns Code 128 data into its caret string ("^A"/"^B"/"^C" start and switch,
// "^1" FNC1, "^2" FNC2, "^3" FNC3, "^S" shift, "^^" a caret). Modes: 100
// automatic, 101/102/103 code set A/B/C, 104 manual (data already a caret
// string), 110 GS1-128 automatic, 111/112/113 GS1-128 in set A/B/C, 114
// GS1-128 manual; any other mode counts as 110. Empty result for empty or
// null data.
std::string Code128ToCaret(const char* data, int mode);

// ITF-14: Interleaved 2 of 5 with bearerType 0 none, 1 rectangle, 2 top and
// bottom lines; bearerThickness and quietZone in modules.
BarBitmap EncodeItf14(const char* data, int narrow, int reduction, int wide, int height, int bearerType,
                      int bearerThickness, int quietZone, int rotation, int mirror, int textFlags,
                      std::uint32_t* errorWord);
int MeasureItf14(CSize& size, const char* data, int narrow, int reduction, int wide, int height, int bearerType,
                 int bearerThickness, int quietZone, int rotation, int textFlags, std::uint32_t* errorWord);

// 1 when ch may stand in the data of a type (1-19) or Code 128 mode (101-113)
// or GS1 DataBar type (120-124), else 0.
int IsValidBarcodeChar(int typeOrMode, int ch);
// 1 for A, B, C, D in either case.
int IsCodabarStartStop(int ch);
// Check characters ('0'-'9', or for Code 39 one of its 43 characters); the
// character code 0 when the text holds a character outside the set.
char EanCheckChar(const char* digits);    // weights 3, 1, 3... from the right, mod 10
char Code39CheckChar(const char* text);   // mod 43
char LuhnCheckChar(const char* digits);   // first, third... digit from the left doubled, mod 10
