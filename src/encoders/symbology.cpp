#include "encoders/symbology.h"

#include <cctype>
#include <iterator>
#include <string>

#include "encoders/symbol_encoders.h"

namespace {

using F = SymbologyFamily;
using C = SymbologyChars;

// clang-format off
// The rows. Symbologies() hands them out from a function-local copy, so
// that registrations running while the program loads may read the table.
constexpr SymbologyInfo kSymbologies[] = {
    // code             name           display                  local display              caption name                 linear  family       fixed max chars        stored draw  ratio options                                                            native export encoder         zpl                 dpl  epl  tpcl
    {BS_CODE39,        "code39",      "Code 39",               "Code 39",                 "__CODE 39",                 true,  F::TwoWidth, 0,  80, C::Code39,   true,  true, true,  BOC_SHOW_START_STOP | BOC_CHECK_LIST | BOC_FULL_ASCII_OFF,        true,  true,  EncodeGeneralSymbol, "^B3%c,N,%d,%c,N", 'A', "3", '3'},
    {BS_CODE128,       "code128",     "Code 128",              "Code 128",                "__CODE 128",                true,  F::Linear,   0,  80, C::SevenBit, true,  true, true,  BOC_EAN128 | BOC_CODE_SET,                                       true,  true,  EncodeCode128Symbol, "^BC%c,%d,%c", 'E', "1", 'A'},
    {BS_EAN13,         "ean13",       "EAN-13",                "EAN-13",                  "__EAN 13",                  true,  F::EanUpc,   13, 0,  C::Digits,   true,  true, true,  BOC_ADD_ON,                                                      true,  true,  EncodeEanUpcSymbol, "^BE%c,%d,%c", 'F', "E30"},
    {BS_ITF25,         "itf",         "Interleaved 25",        "Interleaved 25",          "__ITF 25",                  true,  F::TwoWidth, 0,  80, C::Digits,   true,  true, true,  BOC_CHECK_BOX,                                                   true,  true,  EncodeGeneralSymbol, "^B2%c,%d,%c,N,N", 'D', "2", '2'},
    {BS_ITF14,         "itf14",       "ITF 14",                "ITF 14",                  "ITF 14",                    false, F::TwoWidth, 0,  13, C::Any,      true,  true, true,  BOC_ITF14,                                                       false, false, EncodeItf14Symbol},
    {BS_DATABAR,       "databar",     "GS1 DataBar(RSS)",      "GS1 DataBar(RSS)",        "GS1 DataBar(RSS)",          false, F::Linear,   0,  16, C::Any,      true,  true, true,  BOC_DATABAR,                                                     false, false, EncodeDataBarSymbol},
    {BS_CODE93,        "code93",      "Code 93",               "Code 93",                 "__Code 93",                 true,  F::Linear,   0,  80, C::SevenBit, true,  true, false, 0,                                                               true,  true,  EncodeGeneralSymbol, "^BA%c,%d,%c,N,N", 'O', "9", 'C'},
    {BS_UPCA,          "upca",        "UPC-A",                 "UPC-A",                   "__UPC A",                   true,  F::EanUpc,   12, 0,  C::Digits,   true,  true, true,  BOC_ADD_ON,                                                      true,  true,  EncodeEanUpcSymbol, "^BU%c,%d,%c", 'B', "UA0"},
    {BS_EAN8,          "ean8",        "EAN-8",                 "EAN-8",                   "__EAN 8",                   true,  F::EanUpc,   8,  0,  C::Digits,   true,  true, true,  BOC_ADD_ON,                                                      true,  true,  EncodeEanUpcSymbol, "^B8%c,%d,%c", 'G', "E80"},
    {BS_UPCE,          "upce",        "UPC-E",                 "UPC-E",                   "__UPC E",                   true,  F::EanUpc,   8,  0,  C::Digits,   true,  true, true,  BOC_ADD_ON,                                                      true,  true,  EncodeEanUpcSymbol, "^B9%c,%d,%c", 'C', "UE0"},
    {BS_CODABAR,       "codabar",     "CodaBar",               "CodaBar",                 "__CodaBar",                 true,  F::TwoWidth, 0,  0,  C::Codabar,  true,  true, true,  BOC_SHOW_START_STOP | BOC_CHECK_LIST | BOC_CODABAR_START_STOP,   true,  true,  EncodeGeneralSymbol, "^BK%c,N,%d,%c,N", 'I', "K", '4'},
    {BS_PDF417,        "pdf417",      "PDF 417",               "PDF 417",                 "PDF417",                    false, F::Stacked,  0,  0,  C::Any,      true,  true, true,  BOC_PDF417,                                                      false, false, EncodePdf417Symbol},
    {BS_QRCODE,        "qr",          "QR Code",               "QR Code",                 "QR Code",                   false, F::Matrix,   0,  0,  C::Any,      true,  true, true,  BOC_QR,                                                          false, false, EncodeQrSymbol},
    {BS_CODE25,        "code25",      "Code 25",               "Code 25",                 "__CODE 25",                 true,  F::TwoWidth, 0,  80, C::Digits,   true,  true, true,  BOC_CHECK_BOX,                                                   false, false, EncodeGeneralSymbol},
    {BS_MATRIX25,      "matrix25",    "Matrix 25",             "Matrix 25",               "__Matrix 25",               true,  F::TwoWidth, 0,  80, C::Digits,   true,  true, true,  BOC_CHECK_BOX,                                                   false, false, EncodeGeneralSymbol},
    // 中国邮政码 in GBK.
    {BS_CHINA_POST,    "chinapost",   "China Post",            "China Post",              "\xD6\xD0\xB9\xFA\xD3\xCA\xD5\xFE\xC2\xEB", true, F::TwoWidth, 0, 80, C::Digits, true, true, true, BOC_CHECK_BOX,                                           false, false, EncodeGeneralSymbol},
    {BS_DATAMATRIX,    "datamatrix",  "Data Matrix",           "Data Matrix",             "DataMatrix",                false, F::Matrix,   0,  0,  C::Any,      true,  true, true,  BOC_DATAMATRIX,                                                  false, false, EncodeDataMatrixSymbol},
    {BS_MAXICODE,      "maxicode",    "Maxi Code",             "Maxi Code",               "Maxicode",                  false, F::Matrix,   0,  0,  C::Any,      true,  true, false, BOC_MAXICODE,                                                    false, false, EncodeMaxiCodeSymbol},
    // 汉信码 in GBK, as name and caption.
    {BS_HANXIN,        "hanxin",      "Chinese-Sensible Code", "\xBA\xBA\xD0\xC5\xC2\xEB", "\xBA\xBA\xD0\xC5\xC2\xEB", false, F::Matrix,   0,  0,  C::Any,      true,  true, true,  BOC_HANXIN,                                                      false, false, EncodeHanXinSymbol},
    // Encoder types only.
    // "全 ASCII 39": 全 in GBK.
    {BS_CODE39_ASCII,  "code39ascii", "Code 39 Full ASCII",    "Code 39 Full ASCII",      "__\xC8\xAB ASCII 39",       true,  F::TwoWidth, 0,  0,  C::SevenBit, false, true, true,  0,                                                               true,  false, EncodeGeneralSymbol},
    {BS_EAN128,        "ean128",      "EAN 128",               "EAN 128",                 "__EAN 128",                 true,  F::Linear,   0,  0,  C::SevenBit, false, true, true,  0,                                                               true,  false, EncodeGeneralSymbol},
    {BS_CODE128_CARET, "code128caret","Code 128 caret string", "Code 128 caret string",   "__CODE 128",                true,  F::Linear,   0,  0,  C::SevenBit, false, true, true,  0,                                                               true,  false, EncodeGeneralSymbol},
    {BS_ADDON2,        "addon2",      "EAN/UPC add-on 2",      "EAN/UPC add-on 2",        "ADDON2",                    true,  F::EanUpc,   2,  0,  C::Any,      false, true, true,  0,                                                               true,  false, EncodeGeneralSymbol},
    {BS_ADDON5,        "addon5",      "EAN/UPC add-on 5",      "EAN/UPC add-on 5",        "ADDON5",                    true,  F::EanUpc,   5,  0,  C::Any,      false, true, true,  0,                                                               true,  false, EncodeGeneralSymbol},
};
// clang-format on

// A name as typed compares without case, spaces, hyphens and underscores:
// "EAN-13", "upc_a", "Code 128" and "data-matrix" are the rows' own names.
std::string Folded(std::string_view name)
{
    std::string out;
    for (const char c : name)
        if (c != ' ' && c != '-' && c != '_') out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

const std::vector<SymbologyInfo>& Symbologies()
{
    static const std::vector<SymbologyInfo> rows(std::begin(kSymbologies), std::end(kSymbologies));
    return rows;
}

const SymbologyInfo* FindSymbology(int code)
{
    // Asked for every character of barcode data: by the code directly.
    static const std::vector<const SymbologyInfo*> byCode = [] {
        std::vector<const SymbologyInfo*> index;
        for (const SymbologyInfo& s : Symbologies()) {
            if (s.code < 0) continue;
            if (size_t(s.code) >= index.size()) index.resize(size_t(s.code) + 1, nullptr);
            if (!index[size_t(s.code)]) index[size_t(s.code)] = &s;
        }
        return index;
    }();
    return code >= 0 && size_t(code) < byCode.size() ? byCode[size_t(code)] : nullptr;
}

const SymbologyInfo* FindSymbologyByName(std::string_view name)
{
    const std::string typed = Folded(name);
    if (typed.empty()) return nullptr;
    for (const SymbologyInfo& s : Symbologies())
        if (Folded(s.name) == typed || Folded(s.display) == typed) return &s;
    return nullptr;
}

bool IsTwoDimensionalSymbology(int code)
{
    const SymbologyInfo* s = FindSymbology(code);
    return s && (s->family == SymbologyFamily::Stacked || s->family == SymbologyFamily::Matrix);
}

bool IsEanUpcSymbology(int code)
{
    const SymbologyInfo* s = FindSymbology(code);
    return s && s->stored && s->family == SymbologyFamily::EanUpc;
}

bool IsDrawableSymbology(int code)
{
    const SymbologyInfo* s = FindSymbology(code);
    return s && s->drawable && s->encode;
}

bool IsStoredSymbology(int code)
{
    const SymbologyInfo* s = FindSymbology(code);
    return s && s->stored;
}

const char* CaptionNameOf(int code)
{
    const SymbologyInfo* s = FindSymbology(code);
    return s ? s->captionName : "";
}
