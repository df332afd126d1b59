#include "platform/dc.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/monobitmap_ops.h"

namespace {

QColor ToQColor(COLORREF c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

int GrayOf(COLORREF c) { return (RedOf(c) * 11 + GreenOf(c) * 16 + BlueOf(c) * 5) / 32; }

COLORREF FromQRgb(QRgb p) { return RGBColor(qRed(p), qGreen(p), qBlue(p)); }

QRgb ToQRgb(COLORREF c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

COLORREF Combine(COLORREF s, COLORREF d, RasterOp op)
{
    switch (op) {
    case RasterOp::Copy: return s;
    case RasterOp::And: return s & d;
    case RasterOp::Or: return s | d;
    case RasterOp::Xor: return (s ^ d) & 0xFFFFFF;
    case RasterOp::NotCopy: return ~s & 0xFFFFFF;
    case RasterOp::Invert: return ~d & 0xFFFFFF;
    }
    return s;
}

// Source position of destination pixel i of n, for a source span of m
// pixels starting at s0 (nearest pixel centre), optionally mirrored.
std::vector<int> SourceMap(int n, int s0, int m, bool mirror)
{
    std::vector<int> map(size_t(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i) {
        const int j = mirror ? n - 1 - i : i;
        map[size_t(i)] = s0 + int((2 * std::int64_t(j) + 1) * m / (2 * std::int64_t(n)));
    }
    return map;
}

}  // namespace

// ---------------------------------------------------------------------------

class CDC::PaintScope {
public:
    PaintScope(const CDC& dc, bool forText = false) : m_external(dc.m_painter != nullptr)
    {
        if (m_external) {
            m_p = dc.m_painter;
            m_p->save();
        } else {
            m_own.begin(const_cast<QImage*>(&dc.m_image));
            m_p = &m_own;
        }
        m_p->setRenderHint(QPainter::Antialiasing, false);
        // Only the design view smooths text; printers and bitmaps get whole dots.
        m_p->setRenderHint(QPainter::TextAntialiasing, forText && dc.m_kind == Kind::View);
        // A painter target clips only where the CDC was told to: a clip on
        // every shape would weigh down a PDF page.
        if (!m_external || dc.m_clipped) {
            const CRect b = dc.DeviceBounds();
            m_p->setClipRect(QRect(b.left, b.top, b.Width(), b.Height()));
        }
        m_p->translate(dc.m_org.x, dc.m_org.y);
    }
    ~PaintScope()
    {
        if (m_external)
            m_p->restore();
        else
            m_own.end();
    }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    QPainter& operator*() { return *m_p; }
    QPainter* operator->() { return m_p; }

private:
    bool m_external;
    QPainter m_own;
    QPainter* m_p = nullptr;
};

CDC::CDC(Kind kind, QImage image, int dpiX, int dpiY, int zoom)
    : m_kind(kind), m_image(std::move(image)), m_dpiX(dpiX), m_dpiY(dpiY), m_zoom(zoom)
{
    LOGFONT lf;
    lf.lfHeight = -MulDiv(10, dpiY, 72);
    lf.lfFaceName = "Arial";
    m_font.CreateFontIndirect(lf);
}

CDC::~CDC() = default;

std::unique_ptr<CDC> CDC::CreateView(int width, int height, int logPixels, int zoom)
{
    QImage img(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    img.fill(Qt::white);
    return std::unique_ptr<CDC>(new CDC(Kind::View, std::move(img), logPixels, logPixels, zoom));
}

std::unique_ptr<CDC> CDC::CreatePrinterPage(int width, int height, int dpiX, int dpiY, bool colour)
{
    QImage img(std::max(width, 0), std::max(height, 0), colour ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
    img.fill(Qt::white);
    return std::unique_ptr<CDC>(new CDC(Kind::Printer, std::move(img), dpiX, dpiY, 100));
}

std::unique_ptr<CDC> CDC::CreateOnPainter(QPainter* painter, int width, int height, int dpiX, int dpiY, bool colour)
{
    std::unique_ptr<CDC> dc(new CDC(Kind::Printer, QImage(), dpiX, dpiY, 100));
    dc->m_painter = painter;
    dc->m_size = CSize(std::max(width, 0), std::max(height, 0));
    dc->m_colour = colour;
    return dc;
}

std::unique_ptr<CDC> CDC::CreateMonoBitmap(int width, int height, int dpiX, int dpiY)
{
    QImage img(std::max(width, 0), std::max(height, 0), QImage::Format_Grayscale8);
    img.fill(Qt::white);
    return std::unique_ptr<CDC>(new CDC(Kind::Memory, std::move(img), dpiX, dpiY, 100));
}

std::unique_ptr<CDC> CDC::CreateMonoBitmap(const CMonoBitmap& bits, int dpiX, int dpiY)
{
    auto dc = CreateMonoBitmap(bits.Width(), bits.Height(), dpiX, dpiY);
    for (int y = 0; y < bits.Height(); ++y) {
        uchar* row = dc->m_image.scanLine(y);
        for (int x = 0; x < bits.Width(); ++x) row[x] = bits.IsBlack(x, y) ? 0 : 255;
    }
    return dc;
}

int CDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case HORZRES: return Width();
    case VERTRES: return Height();
    case BITSPIXEL: return m_kind == Kind::Memory ? 1 : (IsColour() ? 32 : 8);
    case LOGPIXELSX: return m_dpiX;
    case LOGPIXELSY: return m_dpiY;
    default: return 0;
    }
}

CMonoBitmap CDC::GetMonoBitmap() const
{
    CMonoBitmap out(m_image.width(), m_image.height());
    for (int y = 0; y < m_image.height(); ++y) {
        if (m_image.format() == QImage::Format_Grayscale8) {
            const uchar* row = m_image.constScanLine(y);
            for (int x = 0; x < m_image.width(); ++x)
                if (row[x] < 128) out.SetPixel(x, y, true);
        } else {
            const QRgb* row = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
            for (int x = 0; x < m_image.width(); ++x)
                if (GrayOf(FromQRgb(row[x])) < 128) out.SetPixel(x, y, true);
        }
    }
    return out;
}

COLORREF CDC::MapColor(COLORREF c) const
{
    c &= 0xFFFFFF;
    if (m_kind == Kind::Memory) return GrayOf(c) >= 128 ? 0xFFFFFF : 0;
    if (!IsColour()) {
        const int g = GrayOf(c);
        return RGBColor(g, g, g);
    }
    return c;
}

// ---- state -----------------------------------------------------------------

CDC::State CDC::Save() const
{
    return {m_org, m_pen, m_brush, m_font, m_textColor, m_bkColor, m_bkMode, m_textAlign, m_charExtra,
            m_clipped, m_clip};
}

void CDC::Load(const State& s)
{
    m_org = s.org;
    m_pen = s.pen;
    m_brush = s.brush;
    m_font = s.font;
    m_textColor = s.textColor;
    m_bkColor = s.bkColor;
    m_bkMode = s.bkMode;
    m_textAlign = s.textAlign;
    m_charExtra = s.charExtra;
    m_clipped = s.clipped;
    m_clip = s.clip;
}

int CDC::SaveDC()
{
    m_saved.push_back(Save());
    return int(m_saved.size());
}

BOOL CDC::RestoreDC(int id)
{
    if (id < 0) id = int(m_saved.size()) + 1 + id;
    if (id < 1 || id > int(m_saved.size())) return FALSE;
    Load(m_saved[size_t(id - 1)]);
    m_saved.resize(size_t(id - 1));
    return TRUE;
}

CPoint CDC::SetViewportOrg(CPoint org)
{
    std::swap(org, m_org);
    return org;
}

CPen CDC::SelectPen(const CPen& pen)
{
    CPen old = m_pen;
    m_pen = pen;
    return old;
}

CBrush CDC::SelectBrush(const CBrush& brush)
{
    CBrush old = m_brush;
    m_brush = brush;
    return old;
}

CFont CDC::SelectFont(const CFont& font)
{
    CFont old = m_font;
    m_font = font;
    return old;
}

COLORREF CDC::SetTextColor(COLORREF c)
{
    std::swap(c, m_textColor);
    return c;
}

COLORREF CDC::SetBkColor(COLORREF c)
{
    std::swap(c, m_bkColor);
    return c;
}

int CDC::SetBkMode(int mode)
{
    std::swap(mode, m_bkMode);
    return mode;
}

unsigned CDC::SetTextAlign(unsigned flags)
{
    std::swap(flags, m_textAlign);
    return flags;
}

int CDC::SetTextCharacterExtra(int extra)
{
    std::swap(extra, m_charExtra);
    return extra;
}

void CDC::IntersectClipRect(const CRect& r)
{
    CRect d = r.Normalized();
    d.OffsetRect(m_org);
    if (m_clipped) {
        CRect both;
        both.IntersectRect(m_clip, d);
        m_clip = both;
    } else {
        m_clip = d;
        m_clipped = true;
    }
}

void CDC::SelectClipRect(const CRect* r)
{
    m_clipped = false;
    if (r) IntersectClipRect(*r);
}

CRect CDC::GetClipBox() const
{
    CRect b = DeviceBounds();
    b.OffsetRect(-m_org.x, -m_org.y);
    return b;
}

CRect CDC::DeviceBounds() const
{
    CRect all(0, 0, Width(), Height());
    if (!m_clipped) return all;
    CRect b;
    b.IntersectRect(all, m_clip);
    return b;
}

// ---- shapes ----------------------------------------------------------------

void CDC::FillDeviceRect(const CRect& deviceRect, COLORREF c)
{
    CRect r;
    if (!r.IntersectRect(deviceRect.Normalized(), DeviceBounds())) return;
    const COLORREF m = MapColor(c);
    if (m_painter) {
        m_painter->fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(m));
        return;
    }
    if (m_image.format() == QImage::Format_Grayscale8) {
        const uchar g = uchar(RedOf(m));
        for (int y = r.top; y < r.bottom; ++y) std::fill_n(m_image.scanLine(y) + r.left, r.Width(), g);
    } else {
        const QRgb v = ToQRgb(m);
        for (int y = r.top; y < r.bottom; ++y)
            std::fill_n(reinterpret_cast<QRgb*>(m_image.scanLine(y)) + r.left, r.Width(), v);
    }
}

void CDC::FillSolidRect(const CRect& r, COLORREF c)
{
    CRect d = r.Normalized();
    d.OffsetRect(m_org);
    FillDeviceRect(d, c);
}

void CDC::FillRect(const CRect& r, const CBrush& brush)
{
    if (!brush.hollow) FillSolidRect(r, brush.color);
}

void CDC::InvertRect(const CRect& r)
{
    if (m_painter) return;  // nothing to read back
    CRect d = r.Normalized();
    d.OffsetRect(m_org);
    CRect c;
    if (!c.IntersectRect(d, DeviceBounds())) return;
    for (int y = c.top; y < c.bottom; ++y) {
        if (m_image.format() == QImage::Format_Grayscale8) {
            uchar* row = m_image.scanLine(y);
            for (int x = c.left; x < c.right; ++x) row[x] = uchar(255 - row[x]);
        } else {
            QRgb* row = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            for (int x = c.left; x < c.right; ++x) row[x] = row[x] ^ 0x00FFFFFF;
        }
    }
}

void CDC::SetPixel(CPoint p, COLORREF c) { FillSolidRect(CRect(p.x, p.y, p.x + 1, p.y + 1), c); }

COLORREF CDC::GetPixel(CPoint p) const
{
    const int x = p.x + m_org.x, y = p.y + m_org.y;
    if (m_painter) return 0xFFFFFF;
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) return 0xFFFFFFFF;
    if (m_image.format() == QImage::Format_Grayscale8) {
        const int g = m_image.constScanLine(y)[x];
        return RGBColor(g, g, g);
    }
    return FromQRgb(reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x]);
}

namespace {
enum ShapeKind { kRect, kRoundRect, kEllipse };

QPainterPath ShapePath(const CRect& r, int kind, CSize corner)
{
    QPainterPath path;
    const QRectF q(r.left, r.top, r.Width(), r.Height());
    if (r.IsRectEmpty()) return path;
    if (kind == kEllipse)
        path.addEllipse(q);
    else if (kind == kRoundRect && corner.cx > 0 && corner.cy > 0)
        path.addRoundedRect(q, std::min(corner.cx / 2.0, q.width() / 2), std::min(corner.cy / 2.0, q.height() / 2));
    else
        path.addRect(q);
    return path;
}
}  // namespace

void CDC::DrawOutlinedShape(const CRect& rect, int kind, CSize corner)
{
    if (!CanDraw()) return;
    const CRect r = rect.Normalized();
    const bool hasPen = m_pen.style != PS_NULL;
    const int w = std::max(1, m_pen.width);
    CRect outer = r;
    if (hasPen && m_pen.style != PS_INSIDEFRAME && w > 1) {
        // A centred pen straddles the outline.
        const int before = (w - 1) / 2;
        outer = CRect(r.left - before, r.top - before, r.right + (w - 1 - before), r.bottom + (w - 1 - before));
    }
    const bool patterned = hasPen && (m_pen.style == PS_DOT || m_pen.style == PS_DASH);
    const int band = (hasPen && !patterned) ? w : 0;
    CRect inner(outer.left + band, outer.top + band, outer.right - band, outer.bottom - band);
    const CSize innerCorner(std::max(0, corner.cx - 2 * band), std::max(0, corner.cy - 2 * band));

    if (kind == kRect) {
        if (!m_brush.hollow && !inner.IsRectEmpty()) FillSolidRect(inner, m_brush.color);
        if (band > 0) {
            if (inner.IsRectEmpty()) {
                FillSolidRect(outer, m_pen.color);
            } else {
                FillSolidRect(CRect(outer.left, outer.top, outer.right, inner.top), m_pen.color);
                FillSolidRect(CRect(outer.left, inner.bottom, outer.right, outer.bottom), m_pen.color);
                FillSolidRect(CRect(outer.left, inner.top, inner.left, inner.bottom), m_pen.color);
                FillSolidRect(CRect(inner.right, inner.top, outer.right, inner.bottom), m_pen.color);
            }
        }
    } else {
        PaintScope scope(*this);
        QPainter& p = *scope;
        p.setPen(Qt::NoPen);
        const QPainterPath innerPath = ShapePath(inner, kind, innerCorner);
        if (!m_brush.hollow && !innerPath.isEmpty()) p.fillPath(innerPath, ToQColor(MapColor(m_brush.color)));
        if (band > 0) {
            QPainterPath ring = ShapePath(outer, kind, corner);
            if (!innerPath.isEmpty()) {
                ring.addPath(innerPath);
                ring.setFillRule(Qt::OddEvenFill);
            }
            p.fillPath(ring, ToQColor(MapColor(m_pen.color)));
        }
    }
    if (patterned && !outer.IsRectEmpty()) {
        // One pixel wide, every other pixel (dots) or 6 on and 2 off (dashes).
        const int on = m_pen.style == PS_DOT ? 1 : 6, period = m_pen.style == PS_DOT ? 2 : 8;
        if (kind == kRect) {
            int i = 0;
            auto dot = [&](int x, int y) {
                if (i++ % period < on) SetPixel(CPoint(x, y), m_pen.color);
            };
            for (int x = outer.left; x < outer.right; ++x) dot(x, outer.top);
            for (int y = outer.top + 1; y < outer.bottom; ++y) dot(outer.right - 1, y);
            for (int x = outer.right - 2; x >= outer.left; --x) dot(x, outer.bottom - 1);
            for (int y = outer.bottom - 2; y > outer.top; --y) dot(outer.left, y);
        } else {
            PaintScope scope(*this);
            QPainter& p = *scope;
            QPen pen(ToQColor(MapColor(m_pen.color)), 0, m_pen.style == PS_DOT ? Qt::DotLine : Qt::DashLine);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawPath(ShapePath(CRect(outer.left, outer.top, outer.right - 1, outer.bottom - 1), kind, corner));
        }
    }
}

void CDC::Rectangle(const CRect& r) { DrawOutlinedShape(r, kRect, CSize()); }

void CDC::RoundRect(const CRect& r, CSize corner) { DrawOutlinedShape(r, kRoundRect, corner); }

void CDC::Ellipse(const CRect& r) { DrawOutlinedShape(r, kEllipse, CSize()); }

void CDC::Polygon(const CPoint* pts, int count)
{
    if (!CanDraw() || count < 2) return;
    QPolygon poly;
    for (int i = 0; i < count; ++i) poly << QPoint(pts[i].x, pts[i].y);
    PaintScope scope(*this);
    QPainter& p = *scope;
    if (m_pen.style == PS_NULL)
        p.setPen(Qt::NoPen);
    else
        p.setPen(QPen(ToQColor(MapColor(m_pen.color)), m_pen.width <= 1 ? 0 : m_pen.width,
                      m_pen.style == PS_DOT ? Qt::DotLine : m_pen.style == PS_DASH ? Qt::DashLine : Qt::SolidLine));
    if (m_brush.hollow)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ToQColor(MapColor(m_brush.color)));
    p.drawPolygon(poly, Qt::OddEvenFill);
}

void CDC::LineTo(CPoint to)
{
    const CPoint from = m_cur;
    m_cur = to;
    if (!CanDraw() || m_pen.style == PS_NULL) return;
    PaintScope scope(*this);
    QPainter& p = *scope;
    QPen pen(ToQColor(MapColor(m_pen.color)), m_pen.width <= 1 ? 0 : m_pen.width,
             m_pen.style == PS_DOT ? Qt::DotLine : m_pen.style == PS_DASH ? Qt::DashLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

// ---- text ------------------------------------------------------------------

std::vector<CharAdvance> CDC::GetCharAdvances(std::string_view text) const
{
    std::vector<CharAdvance> chars = m_font.GetCharAdvances(text);
    for (auto& c : chars) c.width += m_charExtra;
    return chars;
}

CSize CDC::GetTextExtent(std::string_view text) const
{
    int w = 0;
    for (const auto& c : GetCharAdvances(text)) w += c.width;
    return CSize(w, m_font.GetTextMetrics().tmHeight);
}

void CDC::TextOut(int x, int y, std::string_view text) { DrawTextRun(x, y, 0, nullptr, GetCharAdvances(text)); }

void CDC::ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::string_view text, const int* dx)
{
    std::vector<CharAdvance> chars = m_font.GetCharAdvances(text);
    for (auto& c : chars) {
        if (dx) {
            c.width = 0;
            for (int b = 0; b < c.bytes; ++b) c.width += dx[c.offset + b];
        } else {
            c.width += m_charExtra;
        }
    }
    DrawTextRun(x, y, options, rect, chars);
}

void CDC::DrawTextRun(int x, int y, unsigned options, const CRect* rect, const std::vector<CharAdvance>& chars)
{
    if (!CanDraw()) return;
    if (rect && (options & ETO_OPAQUE)) FillSolidRect(*rect, m_bkColor);
    const TEXTMETRIC& tm = m_font.GetTextMetrics();
    int total = 0;
    for (const auto& c : chars) total += c.width;

    int startX = 0;
    switch (m_textAlign & TA_CENTER) {
    case TA_RIGHT: startX = -total; break;
    case TA_CENTER: startX = -total / 2; break;
    default: break;
    }
    int baseline = tm.tmAscent;
    switch (m_textAlign & TA_BASELINE) {
    case TA_BASELINE: baseline = 0; break;
    case TA_BOTTOM: baseline = -tm.tmDescent; break;
    default: break;
    }

    PaintScope scope(*this, true);
    QPainter& p = *scope;
    if (rect && (options & ETO_CLIPPED)) {
        const CRect r = rect->Normalized();
        p.setClipRect(QRect(r.left, r.top, r.Width(), r.Height()), Qt::IntersectClip);
    }
    p.translate(x, y);
    const int esc = m_font.GetLogFont().lfEscapement;
    if (esc % 3600 != 0) p.rotate(-esc / 10.0);

    if (m_bkMode == OPAQUE)
        p.fillRect(QRect(startX, baseline - tm.tmAscent, total, tm.tmHeight), ToQColor(MapColor(m_bkColor)));

    const QColor color = ToQColor(MapColor(m_textColor));
    const LOGFONT& lf = m_font.GetLogFont();
    if (lf.lfUnderline)
        p.fillRect(QRect(startX, baseline + m_font.GetUnderlineOffset() - m_font.GetLineThickness() / 2, total,
                         m_font.GetLineThickness()),
                   color);
    if (lf.lfStrikeOut)
        p.fillRect(QRect(startX, baseline - m_font.GetStrikeOutOffset() - m_font.GetLineThickness() / 2, total,
                         m_font.GetLineThickness()),
                   color);

    p.setPen(color);
    const double sx = m_font.GetScaleX();
    if (sx != 1.0) p.scale(sx, 1.0);
    if (m_painter && DrawGlyphs(p, chars, startX, baseline, sx)) return;
    p.setFont(m_font.GetQFont(m_kind == Kind::View));
    int pen = startX;
    for (const auto& c : chars) {
        if (c.ch >= 0x20 && c.ch != 0x7F) p.drawText(QPointF(pen / sx, baseline), QString::fromUcs4(&c.ch, 1));
        pen += c.width;
    }
}

bool CDC::DrawGlyphs(QPainter& p, const std::vector<CharAdvance>& chars, int startX, int baseline, double sx) const
{
    // Glyphs of the face placed where they were measured: a painter target
    // (a PDF page) takes them as one run, with nothing to shape again. A
    // character the face lacks leaves it to the toolkit's own fallback.
    const QRawFont raw = m_font.GetRawFont();
    if (!raw.isValid()) return false;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(qsizetype(chars.size()));
    positions.reserve(qsizetype(chars.size()));
    int pen = startX;
    for (const auto& c : chars) {
        if (c.ch >= 0x20 && c.ch != 0x7F) {
            const quint32 g = m_font.GetGlyphIndex(c.ch);
            if (g == 0) return false;
            glyphs.push_back(g);
            positions.push_back(QPointF(pen / sx, baseline));
        }
        pen += c.width;
    }
    if (glyphs.isEmpty()) return true;
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    p.drawGlyphRun(QPointF(0, 0), run);
    return true;
}

void CDC::DrawTextEllipsis(std::string_view text, const CRect& r)
{
    const int avail = r.Width();
    std::string shown(text);
    if (GetTextExtent(text).cx > avail) {
        const int dots = GetTextExtent("...").cx;
        int used = 0;
        size_t cut = 0;
        for (const auto& c : GetCharAdvances(text)) {
            if (used + c.width + dots > avail) break;
            used += c.width;
            cut = size_t(c.offset + c.bytes);
        }
        shown = std::string(text.substr(0, cut)) + "...";
    }
    const unsigned oldAlign = SetTextAlign(TA_LEFT | TA_TOP);
    ExtTextOut(r.left, r.top, ETO_CLIPPED, &r, shown, nullptr);
    SetTextAlign(oldAlign);
}

// ---- block transfers -------------------------------------------------------

template <class Fetch>
void CDC::Blit(int x, int y, int w, int h, int sx, int sy, int sw, int sh, int srcW, int srcH, RasterOp op,
               Fetch fetch, bool transparentWhite)
{
    if (!CanDraw() || w == 0 || h == 0 || sw == 0 || sh == 0) return;
    x += m_org.x;
    y += m_org.y;
    const bool mirrorX = (w < 0) != (sw < 0);
    const bool mirrorY = (h < 0) != (sh < 0);
    const int dx0 = std::min(x, x + w), dy0 = std::min(y, y + h);
    const int dw = std::abs(w), dh = std::abs(h);
    const int sx0 = std::min(sx, sx + sw), sy0 = std::min(sy, sy + sh);
    const std::vector<int> cols = SourceMap(dw, sx0, std::abs(sw), mirrorX);
    const std::vector<int> rows = SourceMap(dh, sy0, std::abs(sh), mirrorY);
    CRect area;
    if (!area.IntersectRect(CRect(dx0, dy0, dx0 + dw, dy0 + dh), DeviceBounds())) return;
    const bool gray = m_image.format() == QImage::Format_Grayscale8;
    const COLORREF ink = MapColor(m_textColor);
    for (int yy = area.top; yy < area.bottom; ++yy) {
        const int srcY = rows[size_t(yy - dy0)];
        if (srcY < 0 || srcY >= srcH) continue;
        uchar* line = m_image.scanLine(yy);
        for (int xx = area.left; xx < area.right; ++xx) {
            const int srcX = cols[size_t(xx - dx0)];
            if (srcX < 0 || srcX >= srcW) continue;
            COLORREF d = gray ? RGBColor(line[xx], line[xx], line[xx]) : FromQRgb(reinterpret_cast<QRgb*>(line)[xx]);
            COLORREF out;
            if (transparentWhite) {
                if (!fetch(srcX, srcY)) continue;  // white: leave the destination
                out = ink;
            } else {
                out = MapColor(Combine(op == RasterOp::Invert ? 0 : fetch(srcX, srcY), d, op));
            }
            if (gray)
                line[xx] = uchar(RedOf(out));
            else
                reinterpret_cast<QRgb*>(line)[xx] = ToQRgb(out);
        }
    }
}

void CDC::StretchMono(int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw, int sh,
                      RasterOp op)
{
    if (m_painter) {
        switch (op) {
        case RasterOp::Copy: PaintMono(x, y, w, h, src, sx, sy, sw, sh, 0); break;
        case RasterOp::NotCopy: PaintMono(x, y, w, h, src, sx, sy, sw, sh, 1); break;
        case RasterOp::And: PaintMono(x, y, w, h, src, sx, sy, sw, sh, 2); break;
        case RasterOp::Or: PaintMono(x, y, w, h, src, sx, sy, sw, sh, 3); break;
        default: break;
        }
        return;
    }
    const COLORREF black = MapColor(m_textColor), white = MapColor(m_bkColor);
    Blit(x, y, w, h, sx, sy, sw, sh, src.Width(), src.Height(), op,
         [&](int px, int py) { return src.IsBlack(px, py) ? black : white; });
}

void CDC::StretchMonoTransparent(int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw, int sh)
{
    if (m_painter) {
        PaintMono(x, y, w, h, src, sx, sy, sw, sh, 2);
        return;
    }
    Blit(x, y, w, h, sx, sy, sw, sh, src.Width(), src.Height(), RasterOp::Copy,
         [&](int px, int py) { return COLORREF(src.IsBlack(px, py) ? 1 : 0); }, true);
}

void CDC::StretchImage(int x, int y, int w, int h, const QImage& src, int sx, int sy, int sw, int sh, RasterOp op)
{
    if (src.isNull()) return;
    if (m_painter) {
        PaintImage(x, y, w, h, src, sx, sy, sw, sh, op);
        return;
    }
    const QImage img = (src.format() == QImage::Format_RGB32 || src.format() == QImage::Format_ARGB32)
                           ? src
                           : src.convertToFormat(QImage::Format_ARGB32);
    Blit(x, y, w, h, sx, sy, sw, sh, img.width(), img.height(), op, [&](int px, int py) {
        const QRgb v = reinterpret_cast<const QRgb*>(img.constScanLine(py))[px];
        // Fully transparent pixels of a picture count as white paper.
        return qAlpha(v) == 0 ? COLORREF(0xFFFFFF) : FromQRgb(v);
    });
}

void CDC::StretchBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, int sw, int sh, RasterOp op)
{
    sx += src.m_org.x;
    sy += src.m_org.y;
    const QImage& img = src.m_image;
    if (m_painter) {
        PaintImage(x, y, w, h, img, sx, sy, sw, sh, op);
        return;
    }
    if (img.format() == QImage::Format_Grayscale8) {
        Blit(x, y, w, h, sx, sy, sw, sh, img.width(), img.height(), op, [&](int px, int py) {
            const int g = img.constScanLine(py)[px];
            return RGBColor(g, g, g);
        });
    } else {
        StretchImage(x, y, w, h, img, sx, sy, sw, sh, op);
    }
}

void CDC::DrawImageTransparent(int x, int y, const QImage& src)
{
    if (src.isNull() || !CanDraw()) return;
    const CMonoBitmap mask = QImageToMask(src);
    const int w = src.width(), h = src.height();
    if (!m_painter) {
        // White stays unpainted: the destination is combined with the
        // picture by exclusive or, with the mask of its white pixels by and,
        // and with the picture by exclusive or again.
        const int saved = SaveDC();
        SetTextColor(0);
        SetBkColor(0xFFFFFF);
        StretchImage(x, y, w, h, src, 0, 0, w, h, RasterOp::Xor);
        StretchMono(x, y, w, h, mask, 0, 0, w, h, RasterOp::And);
        StretchImage(x, y, w, h, src, 0, 0, w, h, RasterOp::Xor);
        RestoreDC(saved);
        return;
    }
    QImage out(w, h, QImage::Format_ARGB32);
    const QImage rgb = src.convertToFormat(QImage::Format_RGB32);
    for (int yy = 0; yy < h; ++yy) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(yy));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(yy));
        for (int xx = 0; xx < w; ++xx) {
            const COLORREF c = MapColor(FromQRgb(in[xx]));
            o[xx] = mask.IsBlack(xx, yy) ? (ToQRgb(c) | 0xFF000000u) : 0u;
        }
    }
    PaintScope scope(*this);
    scope->drawImage(QPoint(x, y), out);
}

void CDC::PaintMono(int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw, int sh, int mode)
{
    if (w == 0 || h == 0 || sw == 0 || sh == 0 || src.IsEmpty()) return;
    const bool mirrorX = (w < 0) != (sw < 0);
    const bool mirrorY = (h < 0) != (sh < 0);
    const double dx0 = std::min(x, x + w), dy0 = std::min(y, y + h);
    const double dw = std::abs(w), dh = std::abs(h);
    const int sx0 = std::min(sx, sx + sw), sy0 = std::min(sy, sy + sh);
    const int spanX = std::abs(sw), spanY = std::abs(sh);
    // Destination edges of source column c and row r.
    auto edgeX = [&](int c) { return mirrorX ? dx0 + (sx0 + spanX - c) * dw / spanX : dx0 + (c - sx0) * dw / spanX; };
    auto edgeY = [&](int r) { return mirrorY ? dy0 + (sy0 + spanY - r) * dh / spanY : dy0 + (r - sy0) * dh / spanY; };

    const COLORREF ink = MapColor(mode == 1 ? (~m_textColor & 0xFFFFFF) : m_textColor);
    const COLORREF paper = MapColor(mode == 1 ? (~m_bkColor & 0xFFFFFF) : m_bkColor);
    PaintScope scope(*this);
    QPainter& p = *scope;
    if (mode == 0 || mode == 1) p.fillRect(QRectF(dx0, dy0, dw, dh), ToQColor(paper));
    // Runs of the pixels drawn (black, or white for OR), rows with the same
    // runs taken together as one band.
    const bool wantBlack = mode != 3;
    const QColor colour = ToQColor(mode == 3 ? paper : ink);
    const int c0 = std::max(sx0, 0), c1 = std::min(sx0 + spanX, src.Width());
    const int r0 = std::max(sy0, 0), r1 = std::min(sy0 + spanY, src.Height());
    std::vector<std::pair<int, int>> band, runs;
    int bandStart = r0;
    auto flush = [&](int endRow) {
        for (const auto& [a, b] : band) {
            const double xa = edgeX(a), xb = edgeX(b), ya = edgeY(bandStart), yb = edgeY(endRow);
            p.fillRect(QRectF(std::min(xa, xb), std::min(ya, yb), std::abs(xb - xa), std::abs(yb - ya)), colour);
        }
    };
    for (int r = r0; r < r1; ++r) {
        // Bars and stacked symbols repeat their rows: a row like the one
        // above it adds nothing to the band.
        if (r > r0 && std::memcmp(src.Row(r), src.Row(r - 1), size_t(src.Stride())) == 0) continue;
        runs.clear();
        for (int c = c0; c < c1;) {
            if (src.IsBlack(c, r) != wantBlack) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < c1 && src.IsBlack(c, r) == wantBlack) ++c;
            runs.emplace_back(start, c);
        }
        if (r == r0) {
            band = runs;
        } else if (runs != band) {
            flush(r);
            band = runs;
            bandStart = r;
        }
    }
    if (r1 > r0) flush(r1);
}

void CDC::PaintImage(int x, int y, int w, int h, const QImage& src, int sx, int sy, int sw, int sh, RasterOp op)
{
    if (w == 0 || h == 0 || sw == 0 || sh == 0 || src.isNull()) return;
    if (op == RasterOp::Xor || op == RasterOp::Invert || op == RasterOp::Or) return;  // nothing to combine with
    QImage part = src.copy(QRect(std::min(sx, sx + sw), std::min(sy, sy + sh), std::abs(sw), std::abs(sh)))
                      .convertToFormat(QImage::Format_ARGB32);
    part = part.mirrored((w < 0) != (sw < 0), (h < 0) != (sh < 0));
    for (int yy = 0; yy < part.height(); ++yy) {
        QRgb* row = reinterpret_cast<QRgb*>(part.scanLine(yy));
        for (int xx = 0; xx < part.width(); ++xx) {
            // Fully transparent pixels count as white paper; AND leaves the
            // page where the source is white.
            COLORREF c = qAlpha(row[xx]) == 0 ? COLORREF(0xFFFFFF) : FromQRgb(row[xx]);
            if (op == RasterOp::NotCopy) c = ~c & 0xFFFFFF;
            c = MapColor(c);
            row[xx] = (op == RasterOp::And && c == 0xFFFFFF) ? 0u : (ToQRgb(c) | 0xFF000000u);
        }
    }
    PaintScope scope(*this);
    scope->drawImage(QRectF(std::min(x, x + w), std::min(y, y + h), std::abs(w), std::abs(h)), part);
}
