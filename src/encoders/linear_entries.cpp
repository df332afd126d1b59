// Entries of the one-dimensional symbologies: the checks in their order, the
// symbology dispatch, the human-readable band and the assembly of the bitmap.
#include "encoders/linear_entries.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "encoders/bar_rows.h"
#include "encoders/linear_symbols.h"
#include "encoders/messages.h"
#include "encoders/symbol_encoders.h"
#include "encoders/text_renderer.h"

namespace {

// The row of an EncodeLinear type; null for an unsupported type.
const SymbologyInfo* LinearType(int type)
{
    const SymbologyInfo* row = FindSymbology(type);
    return row && row->linearType ? row : nullptr;
}

// The length message of a fixed-length type.
const char* FixedLengthMessage(int length)
{
    switch (length) {
    case 13: return kMsgNeed13;
    case 12: return kMsgNeed12;
    case 8: return kMsgNeed8;
    case 2: return kMsgNeed2;
    case 5: return kMsgNeed5;
    default: return kMsgBadLength;
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool AllDigits(std::string_view s) { return std::all_of(s.begin(), s.end(), IsDigit); }

bool IsRatioOk(int narrow, int wide) { return wide >= 2LL * narrow && wide <= 3LL * narrow; }

// Step 7: the character set of the type; reports BCE_ILLEGAL_CHAR. Types
// of a fixed length take digits only.
bool CheckCharacters(CEncoderCall& call, const SymbologyInfo& row, std::string_view d)
{
    if (row.fixedLength) {
        if (!AllDigits(d)) return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar), false;
        return true;
    }
    switch (row.chars) {
    case SymbologyChars::Codabar:
        if (!IsCodabarStartStop(static_cast<unsigned char>(d.front())))
            return call.Fail(BCE_ILLEGAL_CHAR, kMsgCodabarFirst), false;
        if (!IsCodabarStartStop(static_cast<unsigned char>(d.back())))
            return call.Fail(BCE_ILLEGAL_CHAR, kMsgCodabarLast), false;
        for (size_t i = 1; i + 1 < d.size(); ++i)
            if (!IsCodabarInner(static_cast<unsigned char>(d[i]))) return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar), false;
        return true;
    default:
        for (const char c : d)
            if (!IsSymbologyChar(row.chars, static_cast<unsigned char>(c)))
                return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar), false;
        return true;
    }
}

// EAN/UPC: recomputes the check digit (and forces the UPC-E number system),
// warning about each correction of a digit the caller gave.
void CorrectEanUpc(CEncoderCall& call, int type, std::string& d, bool placeholder)
{
    std::string over;
    switch (type) {
    case BCT_EAN13: over = d.substr(0, 12); break;
    case BCT_UPCA: over = d.substr(0, 11); break;
    case BCT_EAN8: over = d.substr(0, 7); break;
    case BCT_UPCE:
        if (d[0] != '0') {
            d[0] = '0';
            call.Warn(kMsgUpceSystem);
        }
        over = UpceToUpca(d.substr(0, 7));
        break;
    default: return;
    }
    const char check = EanCheckChar(over.c_str());
    if (d.back() != check) {
        d.back() = check;
        // A check digit the entry added itself is no correction to report.
        if (!placeholder) call.Warn(kMsgCheckCorrected);
    }
}

// Digits of EAN/UPC in their groups under the symbol.
bool DrawEanUpcText(IBarcodeTextRenderer& r, CMonoBitmap& bmp, int type, std::string_view d, int x)
{
    BarcodeFont font;
    font.height = 12 * x;
    const int y = bmp.Height() - 31 * x / 3;
    struct Group {
        int first, count, module;
    };
    Group groups[4];
    int count = 0;
    switch (type) {
    case BCT_EAN13: groups[count++] = {0, 1, 0}; groups[count++] = {1, 6, 12}; groups[count++] = {7, 6, 58}; break;
    case BCT_UPCA:
        groups[count++] = {0, 1, 0};
        groups[count++] = {1, 5, 19};
        groups[count++] = {6, 5, 58};
        groups[count++] = {11, 1, 105};
        break;
    case BCT_EAN8: groups[count++] = {0, 4, 10}; groups[count++] = {4, 4, 43}; break;
    case BCT_UPCE: groups[count++] = {0, 1, 0}; groups[count++] = {1, 6, 12}; groups[count++] = {7, 1, 60}; break;
    default: break;
    }
    for (int i = 0; i < count; ++i)
        if (!r.DrawText(bmp, groups[i].module * x, y, font, d.substr(size_t(groups[i].first), size_t(groups[i].count))))
            return false;
    return true;
}

// What an encoder made: the rows and how they are laid out.
enum class Layout { General, EanUpc, AddOn };

// Step 9 for the general types, EAN/UPC and the add-ons: text decision,
// reduction, raster, text.
BarBitmap Assemble(CEncoderCall& call, Layout layout, int type, CBarRows& rows, std::string_view text, int narrow,
                   int reduction, int height, int textFlags)
{
    const long long x = narrow;
    const long long H = height;
    bool withText = (textFlags & BTF_ALIGN_MASK) != 0;
    if (withText && (layout == Layout::General ? !(H > 12 * x) : !(H >= 12 * x))) {
        call.Warn(kMsgTextTooLow, kVerovoCaption);
        withText = false;
    }
    const int r = std::clamp(reduction, 0, narrow - 1);
    rows.Reduce(r, layout == Layout::EanUpc ? rows.RowCount() : 1);

    BarBitmap bmp = NewSymbolBitmap(call, rows.Width(), height);
    if (!bmp) return nullptr;
    const int h = height;
    if (!withText) {
        PaintBarRow(*bmp, rows, 0, 0, h);
        return bmp;
    }
    bool drawn = true;
    switch (layout) {
    case Layout::General:
        if (textFlags & BTF_ABOVE) PaintBarRow(*bmp, rows, 0, int(12 * x), h);
        else PaintBarRow(*bmp, rows, 0, 0, int(H - 12 * x));
        drawn = DrawGeneralText(call.TextRenderer(), *bmp, text, narrow, textFlags);
        break;
    case Layout::EanUpc:
        PaintBarRow(*bmp, rows, 0, 0, int(H - 31 * x / 3));
        PaintBarRow(*bmp, rows, 1, int(H - 31 * x / 3), int(H - 16 * x / 3));
        drawn = DrawEanUpcText(call.TextRenderer(), *bmp, type, text, narrow);
        break;
    case Layout::AddOn: {
        PaintBarRow(*bmp, rows, 0, int(31 * x / 3), int(H - 16 * x / 3));
        BarcodeFont font;
        font.height = int(12 * x);
        drawn = call.TextRenderer().DrawText(*bmp, 0, 0, font, text);
        break;
    }
    }
    if (!drawn) return call.Fail(BCE_NO_MEMORY);
    return bmp;
}

// Steps 1 to 9 of EncodeLinear; the rotation and mirror of step 9 only when
// transform is set (the add-on composite turns the whole).
BarBitmap EncodeLinearCore(CEncoderCall& call, int type, const char* data, int narrow, int reduction, int wide,
                           int height, int rotation, int mirror, int textFlags, bool transform)
{
    // 1. Caption.
    const SymbologyInfo* row = LinearType(type);
    if (!row) {
        call.SetCaptionName("");
        return call.Fail(BCE_UNSUPPORTED_TYPE);
    }
    call.SetCaptionName(row->captionName);

    // 2. Length. The data goes through a buffer of 101 characters; EAN/UPC
    // one digit short get a check digit placeholder.
    if (!data) return call.Fail(BCE_BAD_LENGTH, kMsgBadLength);
    std::string d(data, strnlen(data, 101));
    bool placeholder = false;
    if ((type == BCT_EAN13 && d.size() == 12) || (type == BCT_UPCA && d.size() == 11) ||
        ((type == BCT_EAN8 || type == BCT_UPCE) && d.size() == 7)) {
        d += '0';
        placeholder = true;
    }
    const int fixed = row->fixedLength;
    if (fixed ? d.size() != size_t(fixed) : (d.empty() || d.size() > 100))
        return call.Fail(BCE_BAD_LENGTH, FixedLengthMessage(fixed));

    // 3-6. Rotation, module, height, ratio.
    if (!CheckRotation(call, rotation) || !CheckModule(call, narrow) || !CheckHeight(call, height)) return nullptr;
    if (row->family == SymbologyFamily::TwoWidth && !IsRatioOk(narrow, wide)) return call.Fail(BCE_BAD_RATIO);

    // 7. Characters.
    if (!CheckCharacters(call, *row, d)) return nullptr;

    // 8. Bar rows.
    CBarRows rows;
    Layout layout = Layout::General;
    try {
        auto allocate = [&](long long width, int count = 1) { return rows.Allocate(width, count); };
        bool ok = false;
        switch (type) {
        case BCT_CODE39:
        case BCT_CODE39_ASCII: {
            std::string body;
            if (type == BCT_CODE39) {
                body = d;
                for (char& c : body)
                    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
            } else {
                body = Code39FullAscii(d);
            }
            if ((ok = allocate(Code39Width(body.size(), narrow, wide)))) {
                CBarRows::Writer w(rows);
                WriteCode39(w, body, narrow, wide);
            }
            break;
        }
        case BCT_CODE93: {
            const auto values = Code93Values(d);
            if ((ok = allocate(Code93Width(values.size(), narrow)))) WriteCode93(rows, values, narrow);
            break;
        }
        case BCT_CODE128:
        case BCT_EAN128:
        case BCT_CODE128_CARET: {
            const std::string caret = type == BCT_CODE128_CARET ? d : Code128ToCaret(d.c_str(), C128_AUTO);
            std::vector<std::uint8_t> values;
            const Code128Parse parsed = Code128Values(caret, values);
            if (parsed == Code128Parse::Illegal) return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar);
            if (parsed == Code128Parse::Ok && (ok = allocate(Code128Width(values.size(), narrow))))
                WriteCode128(rows, values, narrow);
            break;
        }
        case BCT_EAN13:
        case BCT_UPCA:
        case BCT_EAN8:
        case BCT_UPCE:
            layout = Layout::EanUpc;
            CorrectEanUpc(call, type, d, placeholder);
            if ((ok = allocate((long long)EanUpcModules(type) * narrow, 2))) WriteEanUpc(rows, type, d, narrow);
            break;
        case BCT_ADDON2:
        case BCT_ADDON5:
            layout = Layout::AddOn;
            if ((ok = allocate((long long)AddOnModules(d.size()) * narrow))) WriteAddOn(rows, d, narrow);
            break;
        case BCT_ITF25: {
            const std::string even = d.size() % 2 ? "0" + d : d;
            if ((ok = allocate(ItfWidth(even.size(), narrow, wide)))) {
                CBarRows::Writer w(rows);
                WriteItf(w, even, narrow, wide);
            }
            break;
        }
        case BCT_CODE25:
            if ((ok = allocate(Industrial25Width(d.size(), narrow, wide)))) {
                CBarRows::Writer w(rows);
                WriteIndustrial25(w, d, narrow, wide);
            }
            break;
        case BCT_MATRIX25:
            if ((ok = allocate(Matrix25Width(d.size(), narrow, wide)))) {
                CBarRows::Writer w(rows);
                WriteMatrix25(w, d, narrow, wide);
            }
            break;
        case BCT_CHINA_POST:
            if ((ok = allocate(ChinaPostWidth(d.size(), narrow, wide)))) {
                CBarRows::Writer w(rows);
                WriteChinaPost(w, d, narrow, wide);
            }
            break;
        case BCT_CODABAR:
            if ((ok = allocate(CodabarWidth(d, narrow, wide)))) {
                CBarRows::Writer w(rows);
                WriteCodabar(w, d, narrow, wide);
            }
            break;
        default: break;
        }
        if (!ok) return call.Fail(BCE_NO_MEMORY);

        // 9. Band, reduction, raster, text, rotation.
        BarBitmap bmp = Assemble(call, layout, type, rows, d, narrow, reduction, height, textFlags);
        if (!bmp || !transform) return bmp;
        return FinishSymbol(call, std::move(bmp), rotation, mirror);
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_NO_MEMORY);
    }
}

// ITF-14 with its bearers and quiet zones.
BarBitmap EncodeItf14Core(CEncoderCall& call, const char* data, int narrow, int reduction, int wide, int height,
                          int bearerType, int bearerThickness, int quietZone, int rotation, int mirror, int textFlags)
{
    call.SetCaptionName(CaptionNameOf(BS_ITF14));
    if (!data) return call.Fail(BCE_BAD_LENGTH, kMsgBadLength);
    std::string d(data, strnlen(data, 101));
    if (d.empty() || d.size() > 100) return call.Fail(BCE_BAD_LENGTH, kMsgBadLength);
    if (!CheckRotation(call, rotation) || !CheckModule(call, narrow) || !CheckHeight(call, height)) return nullptr;
    if (!IsRatioOk(narrow, wide)) return call.Fail(BCE_BAD_RATIO);
    if (!AllDigits(d)) return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar);
    if (d.size() % 2) d.insert(d.begin(), '0');

    if (bearerType != 1 && bearerType != 2) bearerType = 0;
    const long long T = bearerType ? (long long)std::max(bearerThickness, 0) * narrow : 0;
    const long long Q = bearerType ? (long long)std::max(quietZone, 0) * narrow : 0;
    const long long symbol = ItfWidth(d.size(), narrow, wide);
    const long long width = symbol + 2 * Q + (bearerType == 1 ? 2 * T : 0);
    try {
        CBarRows rows;
        if (!rows.Allocate(width, 2)) return call.Fail(BCE_NO_MEMORY);
        CBarRows::Writer w(rows);
        if (bearerType == 1) w.Bar(int(T));
        w.Space(int(Q));
        WriteItf(w, d, narrow, wide);
        w.Space(int(Q));
        if (bearerType == 1) w.Bar(int(T));
        rows.SetBars(1, 0, rows.Width());

        const long long x = narrow;
        const long long H = height;
        bool withText = (textFlags & BTF_ALIGN_MASK) != 0;
        if (withText && !(H > 12 * x)) {
            call.Warn(kMsgTextTooLow, kVerovoCaption);
            withText = false;
        }
        rows.Reduce(std::clamp(reduction, 0, narrow - 1), 1);
        BarBitmap bmp = NewSymbolBitmap(call, rows.Width(), height);
        if (!bmp) return nullptr;
        long long top = 0, bottom = H;  // the bar area
        if (withText) {
            if (textFlags & BTF_ABOVE) top = 12 * x;
            else bottom = H - 12 * x;
        }
        const long long bearer = bearerType ? std::min(T, (bottom - top + 1) / 2) : 0;
        PaintBarRow(*bmp, rows, 0, int(top + bearer), int(bottom - bearer));
        if (bearer > 0) {
            PaintBarRow(*bmp, rows, 1, int(top), int(top + bearer));
            PaintBarRow(*bmp, rows, 1, int(bottom - bearer), int(bottom));
        }
        if (withText &&
            !DrawGeneralText(call.TextRenderer(), *bmp, std::string_view(data, strnlen(data, 101)), narrow, textFlags))
            return call.Fail(BCE_NO_MEMORY);
        return FinishSymbol(call, std::move(bmp), rotation, mirror);
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_NO_MEMORY);
    }
}

// Main and add-on lengths of EAN/UPC data with an add-on; false when the
// length does not split.
bool SplitAddOn(int type, size_t length, int addOn, size_t& mainLength)
{
    const size_t addLength = addOn == 1 ? 2 : 5;
    size_t shortMain;
    switch (type) {
    case BCT_EAN13: shortMain = 12; break;
    case BCT_UPCA: shortMain = 11; break;
    case BCT_EAN8:
    case BCT_UPCE: shortMain = 7; break;
    default: return false;
    }
    if (length == shortMain + addLength) mainLength = shortMain;
    else if (length == shortMain + 1 + addLength) mainLength = shortMain + 1;
    else return false;
    return true;
}

}  // namespace

// Text of a general type: one line, 12 x narrow high, in the band below or
// above the bars.
bool DrawGeneralText(CMonoBitmap& bmp, std::string_view text, int narrow, int textFlags)
{
    return DrawGeneralText(BarcodeTextRenderer(), bmp, text, narrow, textFlags);
}

bool DrawGeneralText(IBarcodeTextRenderer& r, CMonoBitmap& bmp, std::string_view text, int narrow, int textFlags)
{
    const int W = bmp.Width();
    const int H = bmp.Height();
    BarcodeFont font;
    font.height = -12 * narrow;
    int w = r.TextWidth(font, text);
    if (w > W) {
        font.width = 6 * narrow;
        w = r.TextWidth(font, text);
    }
    const int y = (textFlags & BTF_ABOVE) ? 0 : H - 11 * narrow;
    const int n = int(text.size());
    switch (textFlags & BTF_ALIGN_MASK) {
    case BTF_LEFT: return r.DrawText(bmp, 0, y, font, text);
    case BTF_RIGHT: return r.DrawText(bmp, W - w, y, font, text);
    case BTF_CENTER: return r.DrawText(bmp, (W - w) / 2, y, font, text);
    default:
        if (n <= 1) return r.DrawText(bmp, (W - w) / 2, y, font, text);
        for (int j = 0; j < n; ++j) {
            const long long x = (long long)j * (W - w / n) / (n - 1);
            if (!r.DrawText(bmp, int(x), y, font, text.substr(size_t(j), 1))) return false;
        }
        return true;
    }
}

namespace {

// EAN/UPC with an add-on (0 none: the plain symbol).
BarBitmap EncodeEanAddOnCore(CEncoderCall& call, int type, const char* data, int addOn, int narrow, int reduction,
                             int height, int rotation, int mirror, int textFlags)
{
    if (addOn != 1 && addOn != 2)
        return EncodeLinearCore(call, type, data, narrow, reduction, 0, height, rotation, mirror, textFlags, true);
    size_t mainLength = 0;
    if (!data || !SplitAddOn(type, std::strlen(data), addOn, mainLength)) return nullptr;
    const std::string main(data, mainLength);
    const std::string add(data + mainLength);

    // Both parts unturned, side by side, then the whole turned and mirrored
    // as one symbol, so that the add-on stays after the main symbol in
    // reading direction whatever the rotation and mirror.
    BarBitmap mainBmp = EncodeLinearCore(call, type, main.c_str(), narrow, reduction, 0, height, rotation, mirror,
                                         textFlags, false);
    if (!mainBmp) return nullptr;
    BarBitmap addBmp = EncodeLinearCore(call, addOn == 1 ? BCT_ADDON2 : BCT_ADDON5, add.c_str(), narrow, reduction, 0,
                                        height, rotation, mirror, textFlags, false);
    if (!addBmp) return nullptr;
    call.SetCaptionName(CaptionNameOf(type));
    const int mainWidth = EanUpcModules(type) * narrow;
    BarBitmap both = NewSymbolBitmap(call, (long long)mainWidth + addBmp->Width(), mainBmp->Height());
    if (!both) return nullptr;
    for (int y = 0; y < both->Height(); ++y) {
        std::memcpy(both->Row(y), mainBmp->Row(y), size_t(mainBmp->Stride()));
        for (int x = 0; x < addBmp->Width(); ++x)
            if (addBmp->IsBlack(x, y)) both->SetPixel(mainWidth + x, y, true);
    }
    // The copied row padding of the main part is white, as is the rest.
    return FinishSymbol(call, std::move(both), rotation, mirror);
}

// Code 128 of data in a mode, through its caret string; empty data makes
// nothing, silently.
BarBitmap EncodeCode128Core(CEncoderCall& call, int mode, const char* data, int narrow, int reduction, int height,
                            int rotation, int mirror, int textFlags)
{
    const std::string caret = Code128ToCaret(data, mode);
    if (caret.empty()) return nullptr;
    return EncodeLinearCore(call, BCT_CODE128_CARET, caret.c_str(), narrow, reduction, 0, height, rotation, mirror,
                            textFlags, true);
}

// The symbologies of this file take text: a NUL byte is an illegal character.
bool TextData(CEncoderCall& call, const BarcodeRequest& r)
{
    if (r.data.find('\0') == std::string::npos) return true;
    call.SetCaptionName(CaptionNameOf(r.type));
    call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar);
    return false;
}

}  // namespace

// ---- the rows' encoders ----------------------------------------------------

BarBitmap EncodeGeneralSymbol(CEncoderCall& call, const BarcodeRequest& r)
{
    if (!TextData(call, r)) return nullptr;
    return EncodeLinearCore(call, r.type, r.data.c_str(), r.module, r.reduction, r.wide, r.height, r.rotation,
                            r.mirror, r.textFlags, true);
}

BarBitmap EncodeCode128Symbol(CEncoderCall& call, const BarcodeRequest& r)
{
    if (!TextData(call, r)) return nullptr;
    return EncodeCode128Core(call, r.code128.mode, r.data.c_str(), r.module, r.reduction, r.height, r.rotation,
                             r.mirror, r.textFlags);
}

BarBitmap EncodeEanUpcSymbol(CEncoderCall& call, const BarcodeRequest& r)
{
    if (!TextData(call, r)) return nullptr;
    return EncodeEanAddOnCore(call, r.type, r.data.c_str(), r.eanUpc.addOn, r.module, r.reduction, r.height,
                              r.rotation, r.mirror, r.textFlags);
}

BarBitmap EncodeItf14Symbol(CEncoderCall& call, const BarcodeRequest& r)
{
    if (!TextData(call, r)) return nullptr;
    return EncodeItf14Core(call, r.data.c_str(), r.module, r.reduction, r.wide, r.height, r.itf14.bearerType,
                           r.itf14.bearerThickness, r.itf14.quietZone, r.rotation, r.mirror, r.textFlags);
}

// ---- the described entries -------------------------------------------------

BarBitmap EncodeLinear(int type, const char* data, int narrow, int reduction, int wide, int height, int rotation,
                       int mirror, int textFlags, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(
        call, EncodeLinearCore(call, type, data, narrow, reduction, wide, height, rotation, mirror, textFlags, true),
        errorWord);
}

int MeasureLinear(CSize& size, int type, const char* data, int narrow, int reduction, int wide, int height,
                  int rotation, int textFlags, std::uint32_t* errorWord)
{
    return MeasureResult(size,
                         EncodeLinear(type, data, narrow, reduction, wide, height, rotation, 0, textFlags, errorWord));
}

BarBitmap EncodeEanAddOn(int type, const char* data, int addOn, int narrow, int reduction, int height, int rotation,
                         int mirror, int textFlags, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(call,
                             EncodeEanAddOnCore(call, type, data, addOn, narrow, reduction, height, rotation, mirror,
                                                textFlags),
                             errorWord);
}

int MeasureEanAddOn(CSize& size, int type, const char* data, int addOn, int narrow, int reduction, int height,
                    int rotation, int textFlags, std::uint32_t* errorWord)
{
    return MeasureResult(size, EncodeEanAddOn(type, data, addOn, narrow, reduction, height, rotation, 0, textFlags,
                                              errorWord));
}

BarBitmap EncodeCode128(int mode, const char* data, int narrow, int reduction, int height, int rotation, int mirror,
                        int textFlags, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(
        call, EncodeCode128Core(call, mode, data, narrow, reduction, height, rotation, mirror, textFlags), errorWord);
}

int MeasureCode128(CSize& size, int mode, const char* data, int narrow, int reduction, int height, int rotation,
                   int textFlags, std::uint32_t* errorWord)
{
    return MeasureResult(size,
                         EncodeCode128(mode, data, narrow, reduction, height, rotation, 0, textFlags, errorWord));
}

BarBitmap EncodeItf14(const char* data, int narrow, int reduction, int wide, int height, int bearerType,
                      int bearerThickness, int quietZone, int rotation, int mirror, int textFlags,
                      std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(call,
                             EncodeItf14Core(call, data, narrow, reduction, wide, height, bearerType, bearerThickness,
                                             quietZone, rotation, mirror, textFlags),
                             errorWord);
}

int MeasureItf14(CSize& size, const char* data, int narrow, int reduction, int wide, int height, int bearerType,
                 int bearerThickness, int quietZone, int rotation, int textFlags, std::uint32_t* errorWord)
{
    return MeasureResult(size, EncodeItf14(data, narrow, reduction, wide, height, bearerType, bearerThickness,
                                           quietZone, rotation, 0, textFlags, errorWord));
}
