#pragma once
// The one table of symbologies. Every list and dispatch of the program is
// derived from it: the barcode object's codes and the property page's lists,
// the command line's names, help and --list, the "two-dimensional", "EAN/UPC"
// and "drawable" answers, the encoder library's type checks and captions, and
// the encoder dispatch of EncodeBarcode. A new symbology is a row here and its
// encoder; a printer language adds a column (its native command, or none).
//
// One numbering serves both the codes the barcode object stores and the
// encoder types of the library: they coincide where both exist. Codes 14 to 18
// are encoder types only (never stored, not on the property page).
#include <string_view>
#include <vector>

#include "encoders/frame.h"

enum BarcodeSymbology : int {
    BS_CODE39 = 1,
    BS_CODE128 = 2,
    BS_EAN13 = 3,
    BS_ITF25 = 4,
    BS_CODE93 = 5,
    BS_UPCA = 6,
    BS_EAN8 = 7,
    BS_UPCE = 8,
    BS_CODABAR = 9,
    BS_PDF417 = 10,
    BS_QRCODE = 11,
    BS_CODE25 = 12,  // Industrial 2 of 5
    BS_MATRIX25 = 13,
    BS_CODE39_ASCII = 14,   // encoder type: Code 39 Full ASCII
    BS_EAN128 = 15,         // encoder type: encoded as Code 128 automatic, no FNC1 added
    BS_CODE128_CARET = 16,  // encoder type: Code 128 from a caret string
    BS_ADDON2 = 17,         // encoder type: EAN/UPC 2-digit add-on
    BS_ADDON5 = 18,         // encoder type: EAN/UPC 5-digit add-on
    BS_CHINA_POST = 19,
    BS_DATAMATRIX = 20,
    BS_MAXICODE = 21,
    BS_HANXIN = 22,
    BS_ITF14 = 23,
    BS_DATABAR = 24,
};

enum class SymbologyFamily {
    Linear,    // one bar width per module
    TwoWidth,  // narrow and wide elements (the ratio applies)
    EanUpc,    // EAN/UPC and their add-ons
    Stacked,   // rows of a linear code stacked into a two-dimensional symbol
    Matrix,    // two-dimensional matrix
};

// Characters a symbology takes (IsValidBarcodeChar, and the encoder's own check).
enum class SymbologyChars {
    Any,      // no rule of its own
    Code39,   // digits, letters of either case, - . space $ / + %
    SevenBit, // 1 to 127
    Digits,
    Codabar,  // between start and stop: digits and - $ : / . +
};

// Option groups of the barcode property page.
enum BarcodeOptionControl : unsigned {
    BOC_SHOW_START_STOP = 0x1,      // Code 39 "&Show Start/Stop", Codabar "Start/Stop &Visible"
    BOC_CHECK_LIST = 0x2,           // a check character list (CheckDigitChoices)
    BOC_CHECK_BOX = 0x4,            // "&Check Code" on/off
    BOC_FULL_ASCII_OFF = 0x8,       // "&Full ASCII39 Code", unchecked and disabled
    BOC_EAN128 = 0x10,              // "EAN/&UCC 128"
    BOC_CODE_SET = 0x20,            // "&Code Set:"
    BOC_ADD_ON = 0x40,              // "Add On Plu&s" and its type
    BOC_CODABAR_START_STOP = 0x80,  // "Sta&rt:" and "&Stop:"
    BOC_PDF417 = 0x100,             // truncation, level, rows, columns
    BOC_QR = 0x200,                 // "&Model2" checked and disabled, level
    BOC_DATAMATRIX = 0x400,         // "&White on Black" off and disabled, level "ECC 200" only
    BOC_MAXICODE = 0x800,           // "&Hold To Size" off and disabled
    BOC_HANXIN = 0x1000,            // encryption off and disabled, key, version, level
    BOC_ITF14 = 0x2000,             // check code, bearer type, thickness, quiet zone
    BOC_DATABAR = 0x4000,           // hold to GS1, type, separator, segments
};

class CEncoderCall;
struct BarcodeRequest;
// A symbology's encoder: the symbol of a request, its failures reported through call.
using SymbolEncoder = BarBitmap (*)(CEncoderCall& call, const BarcodeRequest& request);

struct SymbologyInfo {
    int code;                  // object symbology code and encoder type
    const char* name;          // command-line name
    const char* display;       // shown with the English interface
    const char* localDisplay;  // shown with any other interface language (ANSI; GBK for Han Xin)
    const char* captionName;   // follows "VOVerovo.dll" in the caption of the library's messages
    bool linearType;           // a type of EncodeLinear (the other symbologies have entries of their own)
    SymbologyFamily family;
    int fixedLength;           // exact data length the encoder takes (EAN/UPC with the check digit), 0 when none
    int maxLength;             // the barcode object cuts its data to this length, 0 when it does not
    SymbologyChars chars;
    bool stored;               // a code the barcode object stores and the property page lists
    bool drawable;             // the encoder library can draw it today
    bool offersRatio;          // the property page offers the ratio (or PDF417's row height)
    unsigned options;          // BarcodeOptionControl groups of the property page
    bool baseNative;           // a printer that adds nothing of its own has a command for it
    bool exported;             // the text export writes a "Barcode" line for it
    SymbolEncoder encode;      // null when the library has no encoder for it
    // The printers' own commands, one column per command language; null
    // when the language has none for the symbology.
    // ZPL II: the command after "^BY", with the orientation letter, the
    // height and the interpretation line flag, in that order.
    const char* zpl = nullptr;
    // DPL: the barcode identifier of a record (upper case; the driver
    // writes it in lower case when the printer is to print no readable line).
    char dpl = 0;
    // EPL2: the barcode selector of the "B" command (its fourth parameter).
    const char* epl = nullptr;
    // TEC TPCL: the type character of the "XB" command; the family says
    // whether its parameters are element widths (two widths) or a module.
    char tpcl = 0;
};

// Every row: the stored symbologies in the property page's order, then the
// encoder-only types.
const std::vector<SymbologyInfo>& Symbologies();
// The row of a code, or null.
const SymbologyInfo* FindSymbology(int code);
// The row of a command-line name or a display name, compared without case,
// spaces, hyphens and underscores ("ean-13", "UPC-A", "qr-code"), or null.
const SymbologyInfo* FindSymbologyByName(std::string_view name);

// Answers every layer asks; false for codes without a row.
bool IsTwoDimensionalSymbology(int code);  // stacked or matrix: no bar height, no readable line of its own
bool IsEanUpcSymbology(int code);          // EAN-13, UPC-A, EAN-8, UPC-E (stored codes)
bool IsDrawableSymbology(int code);
bool IsStoredSymbology(int code);
