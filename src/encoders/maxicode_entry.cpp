#include "encoders/maxicode_entry.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "encoders/maxicode.h"
#include "encoders/symbol_encoders.h"
#include "platform/geometry.h"

namespace {

// Horizontal extent [from, to) of a pointed-top hexagon of w x h pixels on
// each of its rows: full width between a quarter and three quarters of the
// height, narrowing linearly to the top and bottom points.
std::vector<std::pair<int, int>> HexagonSpans(int w, int h)
{
    std::vector<std::pair<int, int>> spans(static_cast<size_t>(h));
    const double quarter = h / 4.0;
    for (int y = 0; y < h; ++y) {
        const double cy = y + 0.5;
        const double edge = std::min(cy, h - cy);  // distance to the nearer point
        double half = w / 2.0;
        if (edge < quarter) half = w / 2.0 * edge / quarter;
        const int from = int(std::lround(w / 2.0 - half)), to = int(std::lround(w / 2.0 + half));
        spans[size_t(y)] = {from, std::max(to, from + 1)};
    }
    return spans;
}

// Turns pixels [x0, x1) of a bitmap row black (0 bits): masks for the two
// end bytes, whole bytes between.
void BlackSpan(std::uint8_t* row, int x0, int x1)
{
    if (x0 >= x1) return;
    const int b0 = x0 >> 3, b1 = (x1 - 1) >> 3;
    const std::uint8_t head = std::uint8_t(0xFF >> (x0 & 7));
    const std::uint8_t tail = std::uint8_t(0xFF << (7 - ((x1 - 1) & 7)));
    if (b0 == b1) {
        row[b0] &= std::uint8_t(~(head & tail));
        return;
    }
    row[b0] &= std::uint8_t(~head);
    for (int b = b0 + 1; b < b1; ++b) row[b] = 0;
    row[b1] &= std::uint8_t(~tail);
}

// A dark ring: the pixels whose centres lie at a distance in [inner, inner +
// width) from (cx, cy), the centre taken on pixel corners. Distances are
// doubled so that pixel centres (x + 0.5) stay in integers.
void FillRing(CMonoBitmap& bmp, int cx, int cy, int inner, int width)
{
    const long long outer = inner + width;
    const long long r0 = 4LL * inner * inner, r1 = 4 * outer * outer;
    const int x0 = std::max(0, int(cx - outer - 1)), x1 = std::min(bmp.Width(), int(cx + outer + 2));
    const int y0 = std::max(0, int(cy - outer - 1)), y1 = std::min(bmp.Height(), int(cy + outer + 2));
    for (int y = y0; y < y1; ++y) {
        const long long dy = 2LL * (y - cy) + 1;
        std::uint8_t* row = bmp.Row(y);
        int run = -1;
        for (int x = x0; x <= x1; ++x) {
            bool dark = false;
            if (x < x1) {
                const long long dx = 2LL * (x - cx) + 1, d = dx * dx + dy * dy;
                dark = d >= r0 && d < r1;
            }
            if (dark && run < 0) {
                run = x;
            } else if (!dark && run >= 0) {
                BlackSpan(row, run, x);
                run = -1;
            }
        }
    }
}

BarBitmap BuildMaxiCode(CEncoderCall& call, const char* data, int length, int mode, int module, int rotation,
                        int mirror)
{
    call.SetCaptionName(CaptionNameOf(BS_MAXICODE));
    if (!CheckRotation(call, rotation)) return nullptr;
    if (module < 1) return call.Fail(BCE_MODULE_TOO_SMALL);
    if (!data || length <= 0) return call.Fail(BCE_BAD_LENGTH);
    maxicode::Symbol sym;
    if (maxicode::BuildSymbol(reinterpret_cast<const std::uint8_t*>(data), size_t(length), mode, sym) !=
        maxicode::Status::kOk)
        return call.Fail(BCE_BAD_LENGTH);

    const int H = 4 * module;
    const int W = MulDiv(H, 86, 100);
    const long long width = 30LL * W, height = 100LL * module;
    if (!BarcodeSizeAllowed(width, height)) return call.Fail(BCE_NO_MEMORY);
    BarBitmap bmp;
    try {
        bmp = std::make_unique<CMonoBitmap>(int(width), int(height));
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_NO_MEMORY);
    }
    if (bmp->IsEmpty()) return call.Fail(BCE_UNKNOWN);
    const auto spans = HexagonSpans(W, H);
    for (int r = 0; r < maxicode::kRows; ++r)
        for (int p = 0; p < maxicode::kColumns; ++p) {
            if (!sym.dark[size_t(r)][size_t(p)]) continue;
            const int x = p * W + (r % 2 ? W / 2 : 0);
            const int y = (r / 2) * (2 * H - H / 2) + (r % 2 ? H - H / 4 : 0);
            for (int dy = 0; dy < H; ++dy)
                BlackSpan(bmp->Row(y + dy), x + spans[size_t(dy)].first, x + spans[size_t(dy)].second);
        }
    const int cx = (30 * W - W) / 2, cy = 50 * module;
    const int ring = MulDiv(H, 67, 100);
    for (int radius : {MulDiv(H, 51, 100), MulDiv(H, 186, 100), MulDiv(H, 320, 100)}) FillRing(*bmp, cx, cy, radius, ring);
    return FinishSymbol(call, std::move(bmp), rotation, mirror);
}

}  // namespace

BarBitmap EncodeMaxiCode(const char* data, int length, int mode, int module, int rotation, int mirror, int reserved,
                         std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(call, BuildMaxiCode(call, data, length, mode, module, rotation, mirror), errorWord);
}

int MeasureMaxiCode(CSize& size, const char* data, int length, int mode, int module, int rotation,
                    std::uint32_t* errorWord)
{
    CEncoderCall call;
    return MeasureResult(size, ReportToErrorWord(call, BuildMaxiCode(call, data, length, mode, module, rotation, 0), errorWord));
}

BarBitmap EncodeMaxiCodeSymbol(CEncoderCall& call, const BarcodeRequest& r)
{
    return BuildMaxiCode(call, r.data.data(), int(std::min<size_t>(r.data.size(), 0x7FFFFFFF)), r.maxiCode.mode,
                         r.module, r.rotation, r.mirror);
}
