#include "encoders/maxicode_entry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
// width) from (cx, cy), the centre taken on pixel corners, as black spans
// (row, from, to). Distances are doubled so that pixel centres (x + 0.5) stay
// in integers.
struct Span {
    int y, x0, x1;
};
void RingSpans(int width, int height, int cx, int cy, int inner, int ringWidth, std::vector<Span>& out)
{
    const long long outer = inner + ringWidth;
    const long long r0 = 4LL * inner * inner, r1 = 4 * outer * outer;
    const int x0 = std::max(0, int(cx - outer - 1)), x1 = std::min(width, int(cx + outer + 2));
    const int y0 = std::max(0, int(cy - outer - 1)), y1 = std::min(height, int(cy + outer + 2));
    for (int y = y0; y < y1; ++y) {
        const long long dy = 2LL * (y - cy) + 1;
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
                out.push_back({y, run, x});
                run = -1;
            }
        }
    }
}

// The bullseye of one module size: it does not depend on the data, so its
// spans are worked out once for the size last drawn (per thread).
const std::vector<Span>& BullseyeSpans(int module, int width, int height)
{
    thread_local int cachedModule = 0;
    thread_local std::vector<Span> spans;
    if (cachedModule != module) {
        spans.clear();
        const int H = 4 * module, W = MulDiv(H, 86, 100);
        const int cx = (30 * W - W) / 2, cy = 50 * module;
        const int ring = MulDiv(H, 67, 100);
        for (int radius : {MulDiv(H, 51, 100), MulDiv(H, 186, 100), MulDiv(H, 320, 100)})
            RingSpans(width, height, cx, cy, radius, ring, spans);
        cachedModule = module;
    }
    return spans;
}

// One pixel row of a row of hexagons: each dark position p contributes the
// pattern `hex` (w bits, most significant first) at x = offset + p * w. The
// bits are gathered without a branch per position and turned black (0) in
// row; rows of hexagons overlap at their points, so only black is written.
void DrawHexagonRow(std::uint8_t* row, const std::uint8_t* dark, int positions, int offset, int w,
                    std::uint64_t hex)
{
    std::uint64_t acc = 0;
    int pending = 0;  // bits of acc not yet written
    int byte = 0;
    // The offset: whole bytes skipped, the rest as leading light bits.
    byte = offset >> 3;
    pending = offset & 7;
    for (int p = 0; p < positions; ++p) {
        acc = (acc << w) | (hex & (std::uint64_t(0) - std::uint64_t(dark[p] != 0)));
        pending += w;
        while (pending >= 8) {
            pending -= 8;
            row[byte++] &= std::uint8_t(~(acc >> pending));
        }
    }
    if (pending) row[byte] &= std::uint8_t(~(acc << (8 - pending)));
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
    if (W <= 56) {
        // The hexagon's pattern on each of its pixel rows, W bits wide.
        std::vector<std::uint64_t> hex(static_cast<size_t>(H));
        for (int dy = 0; dy < H; ++dy) {
            const auto [from, to] = spans[size_t(dy)];
            for (int x = 0; x < W; ++x) hex[size_t(dy)] = hex[size_t(dy)] << 1 | ((x >= from && x < to) ? 1 : 0);
        }
        // Pixel rows of a hexagon with the same pattern (its middle, and the
        // rows mirrored about its centre) are drawn once and copied.
        std::vector<int> firstOf(static_cast<size_t>(H));
        for (int dy = 0; dy < H; ++dy) {
            firstOf[size_t(dy)] = dy;
            for (int e = 0; e < dy; ++e)
                if (hex[size_t(e)] == hex[size_t(dy)]) {
                    firstOf[size_t(dy)] = e;
                    break;
                }
        }
        const size_t stride = size_t(bmp->Stride());
        std::vector<std::uint8_t> drawn(size_t(H) * stride);
        for (int r = 0; r < maxicode::kRows; ++r) {
            const int y = (r / 2) * (2 * H - H / 2) + (r % 2 ? H - H / 4 : 0);
            for (int dy = 0; dy < H; ++dy) {
                std::uint8_t* mine = &drawn[size_t(dy) * stride];
                if (firstOf[size_t(dy)] == dy) {
                    std::fill(mine, mine + stride, 0xFF);
                    DrawHexagonRow(mine, sym.dark[size_t(r)].data(), maxicode::kColumns, r % 2 ? W / 2 : 0, W,
                                   hex[size_t(dy)]);
                }
                const std::uint8_t* src = &drawn[size_t(firstOf[size_t(dy)]) * stride];
                std::uint8_t* dst = bmp->Row(y + dy);
                size_t b = 0;
                for (; b + 8 <= stride; b += 8) {
                    std::uint64_t d, v;
                    std::memcpy(&d, dst + b, 8);
                    std::memcpy(&v, src + b, 8);
                    d &= v;
                    std::memcpy(dst + b, &d, 8);
                }
                for (; b < stride; ++b) dst[b] = std::uint8_t(dst[b] & src[b]);
            }
        }
    } else {
        for (int r = 0; r < maxicode::kRows; ++r)
            for (int p = 0; p < maxicode::kColumns; ++p) {
                if (!sym.dark[size_t(r)][size_t(p)]) continue;
                const int x = p * W + (r % 2 ? W / 2 : 0);
                const int y = (r / 2) * (2 * H - H / 2) + (r % 2 ? H - H / 4 : 0);
                for (int dy = 0; dy < H; ++dy)
                    BlackSpan(bmp->Row(y + dy), x + spans[size_t(dy)].first, x + spans[size_t(dy)].second);
            }
    }
    for (const Span& s : BullseyeSpans(module, bmp->Width(), bmp->Height())) BlackSpan(bmp->Row(s.y), s.x0, s.x1);
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
