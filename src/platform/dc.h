#pragma once
// Device contexts of the drawing layer. Label objects draw through a CDC
// into one of three targets:
//   - a view: screen pixels of the design view, with the screen's logical
//     resolution and the view's zoom (colour, text smoothed);
//   - a printer page: the printer's dots at its resolution on both axes
//     (colour or grey, never smoothed), either as pixels or through a
//     painter of the toolkit (a PDF file, a system printer), which keeps
//     shapes and text as shapes and text and bitmaps as images;
//   - a monochrome memory bitmap: black and white only, never smoothed,
//     read back as a CMonoBitmap.
// Coordinates are logical units: device pixels moved by the viewport
// origin. Rectangles include their left and top edges and exclude their
// right and bottom edges.
#include <QImage>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font.h"
#include "platform/geometry.h"
#include "platform/monobitmap.h"
#include "platform/types.h"

class QPainter;

// GetDeviceCaps indexes.
enum DeviceCapIndex {
    HORZRES = 8,      // width in device pixels
    VERTRES = 10,     // height in device pixels
    BITSPIXEL = 12,   // 1 for a monochrome target
    LOGPIXELSX = 88,  // pixels per logical inch along x
    LOGPIXELSY = 90,  // pixels per logical inch along y
};

// Pen styles.
enum PenStyle {
    PS_SOLID = 0,  // centred on the outline
    PS_DASH = 1,
    PS_DOT = 2,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,  // kept inside the figure's rectangle
};

struct CPen {
    int style = PS_SOLID;
    int width = 1;  // logical units; 0 draws one pixel wide
    COLORREF color = 0;
    CPen() = default;
    CPen(int s, int w, COLORREF c) : style(s), width(w), color(c) {}
};

struct CBrush {
    bool hollow = false;
    COLORREF color = 0xFFFFFF;
    CBrush() = default;
    explicit CBrush(COLORREF c) : color(c) {}
    static CBrush Hollow()
    {
        CBrush b;
        b.hollow = true;
        return b;
    }
};

enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };

// Text alignment flags: one horizontal and one vertical.
enum TextAlignFlags : unsigned {
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

// ExtTextOut options.
enum : unsigned { ETO_OPAQUE = 0x02, ETO_CLIPPED = 0x04 };

// Raster operations of the block transfers. Source pixels of a monochrome
// bitmap take the text colour for black (0) and the background colour for
// white (1); the operations then act on the colour bits.
enum class RasterOp {
    Copy,     // source
    And,      // source AND destination
    Or,       // source OR destination
    Xor,      // source XOR destination
    NotCopy,  // NOT source
    Invert,   // NOT destination (the source is not read)
};

class CDC {
public:
    enum class Kind { View, Printer, Memory };

    // A design view of width x height screen pixels, white.
    static std::unique_ptr<CDC> CreateView(int width, int height, int logPixels = 96, int zoom = 100);
    // A printer page of width x height dots at dpiX x dpiY, white. A printer
    // that cannot print colour gets a grey page.
    static std::unique_ptr<CDC> CreatePrinterPage(int width, int height, int dpiX, int dpiY, bool colour = false);
    // A printer page of width x height dots at dpiX x dpiY drawn through a
    // painter that is active on its device, its coordinates in those dots
    // (not owned; it must outlive the CDC). Nothing can be read back from
    // it, and raster operations that combine with what is already on the
    // page are not available: an AND of a monochrome source draws its
    // black pixels, an OR its white ones, and XOR and inverting draw
    // nothing.
    static std::unique_ptr<CDC> CreateOnPainter(QPainter* painter, int width, int height, int dpiX, int dpiY,
                                                bool colour = false);
    // A monochrome memory bitmap, white; dpi is the resolution it stands for.
    static std::unique_ptr<CDC> CreateMonoBitmap(int width, int height, int dpiX = 96, int dpiY = 96);
    static std::unique_ptr<CDC> CreateMonoBitmap(const CMonoBitmap& bits, int dpiX = 96, int dpiY = 96);

    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    ~CDC();

    Kind GetKind() const { return m_kind; }
    bool IsPrinting() const { return m_kind == Kind::Printer; }
    bool IsMonochrome() const { return m_kind == Kind::Memory; }
    bool IsColour() const { return m_painter ? m_colour : m_image.format() == QImage::Format_RGB32; }
    // Drawn through a painter (CreateOnPainter) rather than into pixels.
    bool IsPainterTarget() const { return m_painter != nullptr; }
    int GetDeviceCaps(int index) const;
    // Zoom percent of a view (100 elsewhere).
    int GetZoom() const { return m_zoom; }
    void SetZoom(int zoom) { m_zoom = zoom; }

    // The pixels drawn so far.
    const QImage& GetImage() const { return m_image; }
    // A memory bitmap's pixels; any other target is reduced to black and
    // white (dark pixels black).
    CMonoBitmap GetMonoBitmap() const;

    // ---- state ----
    int SaveDC();
    // Restores the state saved by SaveDC that returned id (and drops the
    // later ones); -1 restores the last one.
    BOOL RestoreDC(int id);
    CPoint SetViewportOrg(CPoint org);
    CPoint GetViewportOrg() const { return m_org; }
    CPen SelectPen(const CPen& pen);
    CBrush SelectBrush(const CBrush& brush);
    // The font is copied; returns the font that was selected.
    CFont SelectFont(const CFont& font);
    const CFont& GetCurrentFont() const { return m_font; }
    COLORREF SetTextColor(COLORREF c);
    COLORREF GetTextColor() const { return m_textColor; }
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const { return m_bkColor; }
    int SetBkMode(int mode);
    unsigned SetTextAlign(unsigned flags);
    // Extra space after every character, logical units.
    int SetTextCharacterExtra(int extra);
    int GetTextCharacterExtra() const { return m_charExtra; }

    // ---- clipping (logical rectangles) ----
    void IntersectClipRect(const CRect& r);
    void SelectClipRect(const CRect* r);  // null: no clipping
    CRect GetClipBox() const;

    // ---- shapes ----
    void FillSolidRect(const CRect& r, COLORREF c);
    void FillRect(const CRect& r, const CBrush& brush);
    // Inverts the pixels of r (used for selection handles).
    void InvertRect(const CRect& r);
    void Rectangle(const CRect& r);
    void RoundRect(const CRect& r, CSize corner);
    void Ellipse(const CRect& r);
    void Polygon(const CPoint* pts, int count);
    void MoveTo(CPoint p) { m_cur = p; }
    void LineTo(CPoint p);
    void SetPixel(CPoint p, COLORREF c);
    COLORREF GetPixel(CPoint p) const;

    // ---- text (ANSI strings) ----
    TEXTMETRIC GetTextMetrics() const { return m_font.GetTextMetrics(); }
    // Width (advances plus character extra) and cell height of the text.
    CSize GetTextExtent(std::string_view text) const;
    // Each character's advance plus the character extra.
    std::vector<CharAdvance> GetCharAdvances(std::string_view text) const;
    void TextOut(int x, int y, std::string_view text);
    // dx, when given, holds one advance per byte: a double-byte character
    // advances by the sum of its two entries. rect is used with ETO_OPAQUE
    // (filled with the background colour) and ETO_CLIPPED.
    void ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::string_view text, const int* dx);
    // Draws text at the top-left of r, cut to r's width with "..." when it is wider.
    void DrawTextEllipsis(std::string_view text, const CRect& r);

    // ---- block transfers (logical destination; negative width or height mirrors) ----
    void StretchMono(int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw, int sh,
                     RasterOp op);
    // Black pixels of src in the text colour, white pixels leave the
    // destination as it is.
    void StretchMonoTransparent(int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw, int sh);
    void StretchImage(int x, int y, int w, int h, const QImage& src, int sx, int sy, int sw, int sh, RasterOp op);
    // An image of the destination's size with its white pixels left
    // unpainted (on pixels: the picture XORed, ANDed with the mask of its
    // white pixels and XORed again, as a device does it).
    void DrawImageTransparent(int x, int y, const QImage& src);
    void StretchBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, int sw, int sh, RasterOp op);

    // The colour a COLORREF takes on this target.
    COLORREF MapColor(COLORREF c) const;

private:
    CDC(Kind kind, QImage image, int dpiX, int dpiY, int zoom);
    // Begins drawing on the pixels, or sets up the painter target's painter,
    // with the clip and the viewport origin; ends with the scope.
    class PaintScope;
    int Width() const { return m_painter ? m_size.cx : m_image.width(); }
    int Height() const { return m_painter ? m_size.cy : m_image.height(); }
    bool CanDraw() const { return m_painter || !m_image.isNull(); }
    // The painter target's blits: runs of a monochrome source as filled
    // rectangles, images as images.
    void PaintMono(int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw, int sh, int mode);
    void PaintImage(int x, int y, int w, int h, const QImage& src, int sx, int sy, int sw, int sh, RasterOp op);

    struct State {
        CPoint org;
        CPen pen;
        CBrush brush;
        CFont font;
        COLORREF textColor;
        COLORREF bkColor;
        int bkMode;
        unsigned textAlign;
        int charExtra;
        bool clipped;
        CRect clip;
    };
    State Save() const;
    void Load(const State& s);

    // Device rectangle that drawing may touch (clip and image bounds).
    CRect DeviceBounds() const;

    void FillDeviceRect(const CRect& deviceRect, COLORREF c);
    void DrawOutlinedShape(const CRect& r, int kind, CSize corner);
    void DrawTextRun(int x, int y, unsigned options, const CRect* rect, const std::vector<CharAdvance>& chars);
    bool DrawGlyphs(QPainter& p, const std::vector<CharAdvance>& chars, int startX, int baseline, double sx) const;
    template <class Fetch>
    void Blit(int x, int y, int w, int h, int sx, int sy, int sw, int sh, int srcW, int srcH, RasterOp op,
              Fetch fetch, bool transparentWhite = false);

    Kind m_kind;
    QImage m_image;
    QPainter* m_painter = nullptr;
    CSize m_size;
    bool m_colour = false;
    int m_dpiX;
    int m_dpiY;
    int m_zoom;
    CPoint m_org;
    CPoint m_cur;
    CPen m_pen;
    CBrush m_brush;
    CFont m_font;
    COLORREF m_textColor = 0;
    COLORREF m_bkColor = 0xFFFFFF;
    int m_bkMode = OPAQUE;
    unsigned m_textAlign = TA_LEFT | TA_TOP;
    int m_charExtra = 0;
    bool m_clipped = false;
    CRect m_clip;  // device coordinates
    std::vector<State> m_saved;
};
