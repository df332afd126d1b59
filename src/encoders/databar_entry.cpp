#include "encoders/databar_entry.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <cstring>
#include <string>
#include <vector>

#include "encoders/bar_rows.h"
#include "encoders/databar.h"
#include "encoders/text_renderer.h"
#include "encoders/linear_entries.h"
#include "encoders/messages.h"
#include "encoders/symbol_encoders.h"

namespace {

BarBitmap EncodeDataBarCore(CEncoderCall& call, const char* data, int module, int reduction, int height, int options,
                            int rotation, int mirror, int textFlags)
{
    call.SetCaptionName(CaptionNameOf(BS_DATABAR));
    if (!data || !*data) return call.Fail(BCE_BAD_LENGTH, kMsgBadLength);
    char buffer[102] = {};
    std::strncpy(buffer, data, 101);
    const std::string_view text(buffer);
    if (!CheckRotation(call, rotation) || !CheckModule(call, module) || !CheckHeight(call, height)) return nullptr;

    const int type = options & 15;
    const int sep = ((options >> 4) & 15) ? ((options >> 4) & 15) : 1;
    const int segmentsCode = (options >> 8) & 15;
    const bool hold = ((options >> 12) & 15) == 1;
    const int X = module;
    const int T = (textFlags & 7) ? 12 * X : 0;

    // The pattern's rows are kept from call to call (per thread), so that
    // printing label after label allocates nothing for them.
    thread_local databar::Pattern pattern;
    if (type <= databar::kLimited) {
        const std::string_view item = text.size() == 16 ? text.substr(2, 13) : text.substr(0, 13);
        if (item.size() < 13) return call.Fail(BCE_BAD_LENGTH, kMsgBadLength);
        char digits[13];
        std::copy(item.begin(), item.end(), digits);
        for (char c : digits)
            if (c < '0' || c > '9') return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar);
        if (type == databar::kLimited && digits[0] > '1') digits[0] = '0';
        if (!databar::EncodeItemPattern(databar::Type(type), std::string_view(digits, 13), pattern))
            return call.Fail(BCE_UNSUPPORTED_TYPE, kMsgUnsupportedType);
    } else if (type == databar::kExpanded || type == databar::kExpandedStacked) {
        const int segments = 2 * std::clamp(segmentsCode ? segmentsCode : 11, 1, 11);
        const databar::ExpandedError err =
            databar::EncodeExpandedPattern(text, type == databar::kExpandedStacked, segments, pattern);
        if (err == databar::ExpandedError::kSyntax) return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar);
        if (err == databar::ExpandedError::kTooLong) return call.Fail(BCE_BAD_LENGTH, kMsgBadLength);
    } else {
        return call.Fail(BCE_UNSUPPORTED_TYPE, kMsgUnsupportedType);
    }

    // Heights: h is the symbol, the bars take h - T.
    long long h = height;
    const long long sx = (long long)sep * X;
    int barRows = 0;
    for (const auto& r : pattern.rows) barRows += r.separator ? 0 : 1;
    // One height per pattern row (at most 11 bar rows and their separators).
    long long rowHeights[64];
    size_t heightCount = 0;
    auto setHeights = [&](std::initializer_list<long long> list) {
        heightCount = 0;
        for (long long v : list) rowHeights[heightCount++] = v;
    };
    switch (type) {
    case databar::kOmni: h = hold ? std::max<long long>(h, 33LL * X + T) : std::max<long long>(h, X + T); break;
    case databar::kTruncated:
        h = hold ? std::clamp<long long>(h, 13LL * X + T, 33LL * X + T) : std::max<long long>(h, X + T);
        break;
    case databar::kLimited: h = hold ? std::max<long long>(h, 10LL * X + T) : std::max<long long>(h, X + T); break;
    case databar::kExpanded: h = hold ? std::max<long long>(h, 34LL * X + T) : std::max<long long>(h, X + T); break;
    case databar::kStacked: {
        long long top;
        if (hold) {
            h = 13LL * X + (sep - 1LL) * X + T;
            top = 5LL * X;
        } else {
            h = std::max<long long>(h, T + (sep + 2LL) * X);
            const long long n = h - sx - T;
            top = n - MulDiv(int(n), 7, 12);
        }
        setHeights({top, sx, h - T - sx - top});
        break;
    }
    case databar::kStackedOmni: {
        h = hold ? std::max<long long>(h, 69LL * X + 3LL * (sep - 1) * X + T)
                 : std::max<long long>(h, T + (3LL * sep + 2) * X);
        const long long top = (h - 3 * sx - T + 1) / 2;
        setHeights({top, sx, sx, sx, h - T - 3 * sx - top});
        break;
    }
    default: {  // Expanded Stacked: rows share what the separators leave
        const long long seps = 3LL * sx * (barRows - 1);
        const long long minRow = hold ? 34LL * X : 1;
        h = std::max<long long>(h, T + seps + minRow * barRows);
        const long long each = (h - T - seps) / barRows;
        long long spare = (h - T - seps) - each * barRows;
        for (const auto& r : pattern.rows) {
            if (heightCount == std::size(rowHeights)) break;
            if (r.separator) {
                rowHeights[heightCount++] = sx;
            } else {
                rowHeights[heightCount++] = each + (--barRows == 0 ? spare : 0);
            }
        }
        spare = 0;
        break;
    }
    }
    if (heightCount == 0) setHeights({h - T});

    const long long width = (long long)pattern.width * X;
    if (!BarcodeSizeAllowed(width, h)) return call.Fail(BCE_NO_MEMORY, kMsgNoMemory);
    CBarRows rows;
    if (!rows.Allocate(width, int(pattern.rows.size()))) return call.Fail(BCE_NO_MEMORY, kMsgNoMemory);
    for (size_t r = 0; r < pattern.rows.size(); ++r) {
        const auto& m = pattern.rows[r].modules;
        rows.SetModules(int(r), m.data(), int(m.size()), X);
    }
    if (reduction > 0) rows.Reduce(std::min(reduction, X - 1), int(pattern.rows.size()));

    BarBitmap bmp = NewSymbolBitmap(call, width, h);
    if (!bmp) return nullptr;
    long long y = (T && (textFlags & BTF_ABOVE)) ? T : 0;
    for (size_t r = 0; r < pattern.rows.size() && r < heightCount; ++r) {
        PaintBarRow(*bmp, rows, int(r), int(y), int(y + rowHeights[r]));
        y += rowHeights[r];
    }
    if (T && !DrawGeneralText(call.TextRenderer(), *bmp, text, X, textFlags))
        return call.Fail(BCE_NO_MEMORY, kMsgNoMemory);
    return FinishSymbol(call, std::move(bmp), rotation, mirror);
}

}  // namespace

BarBitmap EncodeDataBar(const char* data, int module, int reduction, int height, int options, int rotation,
                        int mirror, int textFlags, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(
        call, EncodeDataBarCore(call, data, module, reduction, height, options, rotation, mirror, textFlags),
        errorWord);
}

int MeasureDataBar(CSize& size, const char* data, int module, int reduction, int height, int options, int rotation,
                   int textFlags, std::uint32_t* errorWord)
{
    return MeasureResult(size, EncodeDataBar(data, module, reduction, height, options, rotation, 0, textFlags,
                                             errorWord));
}

BarBitmap EncodeDataBarSymbol(CEncoderCall& call, const BarcodeRequest& r)
{
    if (r.data.find('\0') != std::string::npos) {
        call.SetCaptionName(CaptionNameOf(BS_DATABAR));
        return call.Fail(BCE_ILLEGAL_CHAR, kMsgIllegalChar);
    }
    const DataBarRequestOptions& o = r.dataBar;
    return EncodeDataBarCore(call, r.data.c_str(), r.module, r.reduction, r.height,
                             DataBarOptions(o.type, o.separator, o.segments, o.hold), r.rotation, r.mirror,
                             r.textFlags);
}
