#include "model/text_render.h"

#include <cmath>

#include "model/printer_font_table.h"
#include "platform/monobitmap_ops.h"

namespace {

const CPrinterFontTable& FontsOf(const TextDrawContext& ctx)
{
    static const CPrinterFontTable none;
    return ctx.fonts ? *ctx.fonts : none;
}

// Renders through a monochrome bitmap of the box, mirrored along the text's
// own direction, then copies it to dc (white pixels left out when the
// object is transparent). draw paints black on white into a bitmap DC whose
// origin is the box's top-left corner.
template <class Draw>
void DrawMirrored(CDC* dc, const CRect& box, int rotation, int mirror, bool transparent, Draw draw)
{
    const CRect b = box.Normalized();
    if (b.IsRectEmpty()) return;
    auto mem = CDC::CreateMonoBitmap(b.Width(), b.Height(), dc->GetDeviceCaps(LOGPIXELSX),
                                     dc->GetDeviceCaps(LOGPIXELSY));
    mem->SetZoom(dc->GetZoom());
    mem->SetTextColor(0);
    mem->SetBkColor(0xFFFFFF);
    draw(mem.get(), CRect(0, 0, b.Width(), b.Height()));
    // Horizontal mirroring reverses the text's own direction, vertical
    // mirroring turns it upside down.
    const bool alongX = (mirror == 1) == (rotation % 2 == 0);
    const CMonoBitmap bits = MirrorMono(mem->GetMonoBitmap(), alongX);
    if (transparent)
        dc->StretchMonoTransparent(b.left, b.top, b.Width(), b.Height(), bits, 0, 0, bits.Width(), bits.Height());
    else
        dc->StretchMono(b.left, b.top, b.Width(), b.Height(), bits, 0, 0, bits.Width(), bits.Height(),
                        RasterOp::Copy);
}

}  // namespace

CFont CreateTextFont(const TextDrawContext& ctx, const LOGFONT& description, const CDC* dc)
{
    return FontsOf(ctx).CreateFont(description, dc, ctx.scale);
}

void DrawTextString(CDC* dc, const std::string& text, const LOGFONT& description, const CRect& box, int mode,
                    int dock, const TextDrawContext& ctx)
{
    const int rotation = ctx.rotation & 3;
    if (ctx.mirror == 1 || ctx.mirror == 2) {
        TextDrawContext plain = ctx;
        plain.mirror = 0;
        DrawMirrored(dc, box, rotation, ctx.mirror, ctx.transparent, [&](CDC* mem, const CRect& r) {
            DrawTextString(mem, text, description, r, mode, dock, plain);
        });
        return;
    }

    const CRect b = box.Normalized();
    const int saved = dc->SaveDC();
    CFont font = CreateTextFont(ctx, description, dc);
    dc->SelectFont(font);
    dc->SetTextCharacterExtra(ctx.charExtra);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextAlign(TA_LEFT | TA_TOP);

    // Length of the box along the text.
    const int m = rotation % 2 == 0 ? b.Width() : b.Height();
    std::vector<CharAdvance> chars = dc->GetCharAdvances(text);
    const int n = int(chars.size());
    auto widthOf = [](const std::vector<CharAdvance>& cs) {
        int w = 0;
        for (const auto& c : cs) w += c.width;
        return w;
    };
    int w = widthOf(chars);

    if (mode == TEXT_MODE_FULL && w > m && n > 0) {
        // Too long: narrow the characters by the excess spread over them.
        const int avg = std::max(1, font.GetTextMetrics().tmAveCharWidth);
        const int l = (w - m) / n;
        const int stretch = description.lfWidth ? description.lfWidth : 10000;
        LOGFONT narrow = description;
        narrow.lfWidth = std::max(1, MulDiv(stretch, std::max(1, avg - l), avg));
        font = CreateTextFont(ctx, narrow, dc);
        dc->SelectFont(font);
        chars = dc->GetCharAdvances(text);
        w = widthOf(chars);
    }

    int start = 0;  // along the text from its starting edge
    int spare = 0;  // spread between the characters
    switch (mode) {
    case TEXT_MODE_FULL:
        if (w < m && dock >= TEXT_DOCK_LEFT && dock <= TEXT_DOCK_RIGHT)
            start = dock == TEXT_DOCK_CENTER ? (m - w) / 2 : dock == TEXT_DOCK_RIGHT ? m - w : 0;
        else
            spare = m - w;  // negative when narrowing was not enough: the text is packed into the box
        break;
    case TEXT_MODE_RIGHT: start = m - w; break;
    case TEXT_MODE_CENTER: start = (m - w) / 2; break;
    default: break;
    }

    // One advance per byte; a double-byte character's width is split in halves.
    const int overhang = font.GetTextMetrics().tmOverhang;
    std::vector<int> dx(text.size(), 0);
    for (int i = 0; i < n; ++i) {
        const CharAdvance& c = chars[size_t(i)];
        int adv = c.width - overhang;
        if (spare != 0 && n > 1) adv += MulDiv(spare, i + 1, n - 1) - MulDiv(spare, i, n - 1);
        if (c.bytes == 2) {
            dx[size_t(c.offset)] = adv / 2;
            dx[size_t(c.offset) + 1] = adv - adv / 2;
        } else {
            dx[size_t(c.offset)] = adv;
        }
    }

    CPoint ref;
    switch (rotation) {
    case 1: ref = CPoint(b.left, b.bottom - start); break;
    case 2: ref = CPoint(b.right - start, b.bottom); break;
    case 3: ref = CPoint(b.right, b.top + start); break;
    default: ref = CPoint(b.left + start, b.top); break;
    }
    dc->ExtTextOut(ref.x, ref.y, 0, nullptr, text, dx.data());
    dc->RestoreDC(saved);
}

std::vector<ArcChar> ArcCharacterAngles(int n, int startAngle, int sweep, int direction, int orientation,
                                        int rotation)
{
    std::vector<ArcChar> out;
    if (n <= 0) return out;
    const int s = sweep == 0 ? 360 : sweep;
    const double a0 = startAngle + 90.0 * (rotation & 3);
    const int k = (s % 360 != 0 && n > 1) ? n - 1 : n;
    for (int i = 0; i < n; ++i) {
        const double step = double(i) * s / k;
        double a = direction == 1 ? a0 + step : a0 - step;
        // Exact right angles are nudged off the axes.
        if (std::fmod(a, 90.0) == 0.0) a += 0.1;
        ArcChar c;
        c.angle = a;
        c.escapement = int(std::lround(a * 10)) + (orientation == 1 ? 900 : 2700);
        out.push_back(c);
    }
    return out;
}

void DrawArcText(CDC* dc, const std::string& text, const LOGFONT& description, const CRect& box, int radius,
                 int startAngle, int sweep, int direction, int orientation, const TextDrawContext& ctx)
{
    if (ctx.mirror == 1 || ctx.mirror == 2) {
        TextDrawContext plain = ctx;
        plain.mirror = 0;
        DrawMirrored(dc, box, 0, ctx.mirror, ctx.transparent, [&](CDC* mem, const CRect& r) {
            DrawArcText(mem, text, description, r, radius, startAngle, sweep, direction, orientation, plain);
        });
        return;
    }
    const std::vector<DecodedChar> chars = DecodeAnsiChars(text);
    const std::vector<ArcChar> angles =
        ArcCharacterAngles(int(chars.size()), startAngle, sweep, direction, orientation, ctx.rotation);
    const CRect b = box.Normalized();
    const double cx = b.left + b.Width() / 2.0, cy = b.top + b.Height() / 2.0;
    const int saved = dc->SaveDC();
    dc->SetBkMode(TRANSPARENT);
    // Tops outward: the baseline lies on the circle; tops inward: the top of
    // the cell does. Either way the glyphs stand outside the circle.
    dc->SetTextAlign(TA_LEFT | (orientation == 1 ? TA_BASELINE : TA_TOP));
    dc->SetTextCharacterExtra(0);
    for (size_t i = 0; i < chars.size(); ++i) {
        LOGFONT lf = description;
        lf.lfEscapement = lf.lfOrientation = angles[i].escapement;
        const CFont font = CreateTextFont(ctx, lf, dc);
        dc->SelectFont(font);
        const std::string ch = text.substr(size_t(chars[i].offset), size_t(chars[i].bytes));
        const CSize size = dc->GetTextExtent(ch);
        const double r = radius;
        const double theta = (2.0 - angles[i].angle / 180.0) * M_PI;
        const double px = cx - r * std::cos(theta), py = cy - r * std::sin(theta);
        // Back along the baseline by half the character, so it is centred on its angle.
        const double e = angles[i].escapement / 10.0 * M_PI / 180.0;
        const double x = px - size.cx / 2.0 * std::cos(e), y = py + size.cx / 2.0 * std::sin(e);
        dc->TextOut(int(std::lround(x)), int(std::lround(y)), ch);
    }
    dc->RestoreDC(saved);
}
