#include "model/drawtext.h"

#include "model/object_clock.h"

#include "platform/app_settings.h"
#include "data/variable.h"
#include "model/printer_font_table.h"
#include "model/document.h"
#include "platform/codepage.h"
#include "platform/dc.h"
#include "platform/strutil.h"

KV_IMPLEMENT_SERIAL(CDrawText, CDrawObj, 0)

int DefaultTextHeight() { return GetAppSettingInt("DefaultTextHeight", 900); }

namespace {

// The text's own frame: x along the text, y from the text's top downward.
CRect ToTextFrame(const CRect& p, int rotation)
{
    switch (rotation & 3) {
    case 1: return CRect(-p.bottom, p.left, -p.top, p.right);
    case 2: return CRect(-p.right, -p.bottom, -p.left, -p.top);
    case 3: return CRect(p.top, -p.right, p.bottom, -p.left);
    default: return p;
    }
}

CRect FromTextFrame(const CRect& t, int rotation)
{
    switch (rotation & 3) {
    case 1: return CRect(t.top, -t.right, t.bottom, -t.left);
    case 2: return CRect(-t.right, -t.bottom, -t.left, -t.top);
    case 3: return CRect(-t.bottom, t.left, -t.top, t.right);
    default: return t;
    }
}

}  // namespace

CDrawText::CDrawText() : m_nFontHeight(DefaultTextHeight()) { m_nType = OBJ_TEXT; }

CDrawText::CDrawText(const CRect& position) : CDrawObj(position), m_nFontHeight(DefaultTextHeight())
{
    m_nType = OBJ_TEXT;
}

void CDrawText::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    ar.Exchange(m_nLayout);
    ar.Exchange(m_nReserved1);
    ar.Exchange(m_nAlign);
    ar.Exchange(m_nCutMode);
    ar.Exchange(m_nLineSpacing);
    ar.Exchange(m_nLineGap);
    ar.Exchange(m_nCharGap);
    ar.Exchange(m_bMaskOn);
    ar.Exchange(m_strMask);
    ar.Exchange(m_strFontName);
    ar.Exchange(m_nStyle);
    ar.Exchange(m_nCharSet);
    ar.Exchange(m_nFontHeight);
    ar.Exchange(m_nStretch);
    ar.Exchange(m_nReserved2);
    ar.Exchange(m_bStrikeOut);
    ar.Exchange(m_bUnderline);
    ar.Exchange(m_nPitchAndFamily);
    ar.Exchange(m_crText);
    ar.Exchange(m_crReserved);
}

CDrawObj* CDrawText::Clone(CKVDoc* doc) { return CloneInto(new CDrawText(m_position), doc); }

void CDrawText::CopyFrom(const CDrawObj* src)
{
    CDrawObj::CopyFrom(src);
    const auto* s = dynamic_cast<const CDrawText*>(src);
    if (!s || s == this) return;
    m_nLayout = s->m_nLayout;
    m_nReserved1 = s->m_nReserved1;
    m_nAlign = s->m_nAlign;
    m_nCutMode = s->m_nCutMode;
    m_nLineSpacing = s->m_nLineSpacing;
    m_nLineGap = s->m_nLineGap;
    m_nCharGap = s->m_nCharGap;
    m_bMaskOn = s->m_bMaskOn;
    m_strMask = s->m_strMask;
    m_strFontName = s->m_strFontName;
    m_nStyle = s->m_nStyle;
    m_nCharSet = s->m_nCharSet;
    m_nFontHeight = s->m_nFontHeight;
    m_nStretch = s->m_nStretch;
    m_nReserved2 = s->m_nReserved2;
    m_bStrikeOut = s->m_bStrikeOut;
    m_bUnderline = s->m_bUnderline;
    m_nPitchAndFamily = s->m_nPitchAndFamily;
    m_crText = s->m_crText;
    m_crReserved = s->m_crReserved;
    m_lines = s->m_lines;
}

BOOL CDrawText::IsEqual(const CDrawObj* other) const
{
    if (other == this) return TRUE;
    const auto* o = dynamic_cast<const CDrawText*>(other);
    return o && CDrawObj::IsEqual(other) && m_nLayout == o->m_nLayout && m_nReserved1 == o->m_nReserved1 &&
           m_nAlign == o->m_nAlign && m_nCutMode == o->m_nCutMode && m_nLineSpacing == o->m_nLineSpacing &&
           m_nLineGap == o->m_nLineGap && m_nCharGap == o->m_nCharGap && m_bMaskOn == o->m_bMaskOn &&
           m_strMask == o->m_strMask && m_strFontName == o->m_strFontName && m_nStyle == o->m_nStyle &&
           m_nCharSet == o->m_nCharSet && m_nFontHeight == o->m_nFontHeight && m_nStretch == o->m_nStretch &&
           m_nReserved2 == o->m_nReserved2 && m_bStrikeOut == o->m_bStrikeOut && m_bUnderline == o->m_bUnderline &&
           m_nPitchAndFamily == o->m_nPitchAndFamily && m_crText == o->m_crText && m_crReserved == o->m_crReserved;
}

LOGFONT CDrawText::GetFontDescription() const
{
    return FontDescription({m_strFontName, m_nFontHeight, m_nStretch, (m_nStyle & TS_BOLD) != 0,
                            (m_nStyle & TS_ITALIC) != 0, m_bUnderline != 0, m_bStrikeOut != 0, m_nCharSet,
                            m_nPitchAndFamily});
}

const CPrinterFontEntry* CDrawText::GetPrinterFont() const
{
    const CPrinterFontTable* table = GetFontTable();
    return table ? table->FindPrinterFont(m_strFontName) : nullptr;
}

int CDrawText::GetDock() const { return AtoI(GetProperty(TP_TEXT_DOCK)); }

int CDrawText::GetVertAlign() const { return AtoI(GetProperty(TP_VERT_ALIGN)); }

int CDrawText::LineGap(int lineHeight) const
{
    switch (m_nLineSpacing) {
    case LINES_ONE_HALF: return lineHeight / 2;
    case LINES_DOUBLE: return lineHeight;
    case LINES_CUSTOM: return m_nLineGap;
    default: return 0;
    }
}

std::string CDrawText::GetText()
{
    std::string text = CDrawObj::GetText();
    if (m_nLayout == TEXT_SINGLE_LINE && m_bMaskOn) text = ApplyFormatMask(m_strMask, text);
    return text;
}

std::string CDrawText::GetLabelText(CLabelPos* pos)
{
    std::string text = CDrawObj::GetLabelText(pos);
    if (m_nLayout == TEXT_SINGLE_LINE && m_bMaskOn) text = ApplyFormatMask(m_strMask, text);
    return text;
}

void CDrawText::BreakLines(const std::string& text, const LOGFONT& font)
{
    const CRect p = m_position.Normalized();
    BreakLinesInto(text, font, (m_nRotation & 1) ? p.Height() : p.Width(), m_lines);
}

void CDrawText::BreakLinesInto(const std::string& text, const LOGFONT& font, int lineWidth,
                               std::vector<CTextLine>& lines)
{
    lines.clear();
    const int limit = UnitsToDots(lineWidth, FormatDpiX());
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != '\r') plain += c;

    auto finish = [&](const std::string& line) {
        // An empty line is as high as a line holding "A".
        const CSize dots = MeasureTextDots(line.empty() ? std::string("A") : line, font, m_nCharGap);
        CTextLine l;
        l.m_strText = line;
        l.m_nWidth = line.empty() ? 0 : DotsToUnitsAt(dots.cx, FormatDpiX());
        l.m_nHeight = DotsToUnitsAt(dots.cy, FormatDpiY());
        lines.push_back(std::move(l));
    };

    std::string current;
    bool skipLineFeed = false;
    for (const DecodedChar& c : DecodeAnsiChars(plain)) {
        const std::string ch = plain.substr(size_t(c.offset), size_t(c.bytes));
        if (ch == "\n") {
            if (!skipLineFeed) {
                finish(current);
                current.clear();
            }
            skipLineFeed = false;
            continue;
        }
        skipLineFeed = false;
        const std::string candidate = current + ch;
        const int width = MeasureTextDots(candidate, font, m_nCharGap).cx;
        if (width > limit && !current.empty()) {
            // The character goes back to start the next line.
            finish(current);
            current = ch;
        } else if (width >= limit) {
            // Exactly full (or one character wider than the line, which
            // then stands alone rather than looping for ever).
            finish(candidate);
            current.clear();
            skipLineFeed = true;
        } else {
            current = candidate;
        }
    }
    if (!current.empty() || lines.empty()) finish(current);
}

CRect CDrawText::LayoutBox(const std::string& text, std::vector<CTextLine>* lines)
{
    const CRect p = m_position.Normalized();
    const LOGFONT font = GetFontDescription();
    const int rotation = m_nRotation & 3;
    if (m_nLayout == TEXT_ARC) {
        const int h = MeasureText("ABC", font).cy;
        const int half = AtoI(GetProperty(TP_ARC_RADIUS)) + h;
        const CPoint c = p.CenterPoint();
        if (lines) lines->clear();
        return CRect(c.x - half, c.y - half, c.x + half, c.y + half);
    }
    CRect t = ToTextFrame(p, rotation);
    if (m_nLayout == TEXT_MULTI_LINE) {
        const int oneChar = MeasureText("W", font, m_nCharGap).cx;
        if (t.Width() < oneChar) t.right = t.left + oneChar;
        std::vector<CTextLine> local;
        std::vector<CTextLine>& l = lines ? *lines : local;
        BreakLinesInto(text, font, t.Width(), l);
        int block = 0;
        for (size_t i = 0; i < l.size(); ++i) block += l[i].m_nHeight + (i ? LineGap(l[i].m_nHeight) : 0);
        switch (GetVertAlign()) {
        case 1: t.top += (t.Height() - block) / 2; break;
        case 2: t.top = t.bottom - block; break;
        default: break;
        }
        t.bottom = t.top + block;
        return FromTextFrame(t, rotation);
    }
    if (lines) lines->clear();
    const CSize s = MeasureText(text, font, m_nCharGap);
    switch (m_nAlign) {
    case TEXT_ALIGN_LEFT: t.right = t.left + s.cx; break;
    case TEXT_ALIGN_RIGHT: t.left = t.right - s.cx; break;
    case TEXT_ALIGN_CENTER:
        t.left += (t.Width() - s.cx) / 2;
        t.right = t.left + s.cx;
        break;
    default: break;  // full: the box keeps its length
    }
    t.bottom = t.top + s.cy;
    return FromTextFrame(t, rotation);
}

void CDrawText::RecalcSize()
{
    // Resident fonts of a printer cannot be laid out on an arc.
    if (m_nLayout == TEXT_ARC && GetPrinterFont()) m_nLayout = TEXT_SINGLE_LINE;
    m_position = LayoutBox(GetText(), &m_lines);
}

void CDrawText::GetPrintRect(CDC* dc, CLabelPos* pos, CRect* out, BOOL)
{
    // The box of the label's own text, which may differ in length from the
    // text shown in the editor.
    const CRect box = LayoutBox(GetLabelText(pos), nullptr);
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : FormatDpiX();
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : FormatDpiY();
    *out = CRect(UnitsToDots(box.left, dpiX), UnitsToDots(box.top, dpiY), UnitsToDots(box.right, dpiX),
                 UnitsToDots(box.bottom, dpiY));
}

namespace {
// Whether a text object's font is resident in its printer: a date or time
// it shows may then come from the printer's own clock.
bool TextFontIsResident(const CDrawObj* obj)
{
    const auto* text = dynamic_cast<const CDrawText*>(obj);
    if (!text || !text->m_pDocument || !text->m_pDocument->m_fontTable) return false;
    return text->m_pDocument->m_fontTable->FindPrinterFont(text->m_strFontName) != nullptr;
}
const bool kPrinterFontTestSet = (SetPrinterFontTest(&TextFontIsResident), true);
}  // namespace

void CDrawText::AdaptToPrinter(CKVDoc* doc)
{
    const CPrinterFontTable* table = doc && doc->m_fontTable ? doc->m_fontTable.get() : GetFontTable();
    if (const CPrinterFontEntry* e = table ? table->FindPrinterFont(m_strFontName) : nullptr) {
        const int nearest = table->NearestSize(*e, m_nFontHeight);
        if (nearest > 0) m_nFontHeight = nearest;
    }
    RecalcSize();
}

int CDrawText::GetDataIcon()
{
    if (!m_pDocument) return -1;
    const CLabelFormat& format = m_pDocument->m_format;
    const bool printerFont = GetPrinterFont() != nullptr;
    // A value typed at print time into a stored form needs the printer to
    // write it; it cannot in a Windows font.
    if (format.IsFormDownload() && m_variables.size() == 1 && m_variables.front()->NeedsInput() && !printerFont)
        return 6;
    if (m_nLayout == TEXT_SINGLE_LINE && m_nAlign == TEXT_ALIGN_FULL && printerFont && !format.IsWindowsDriverMode())
        return 2;
    return -1;
}

BOOL CDrawText::ExportText(std::string& out, int& index)
{
    const std::string data = m_variables.empty() ? GetText() : "%" + m_variables.front()->m_strName;
    ExportStringLine(out, index, m_position.Normalized(), GetFontDescription(), 10000, data);
    return TRUE;
}

void CDrawText::MoveHandleTo(int handle, CPoint pt, CKVView* view)
{
    if (IsLocked()) return;
    if (m_nLayout == TEXT_ARC) {
        // Dragging an arc's box sets its radius; the box stays a square
        // around the same centre.
        CRect r = m_position;
        if (!MoveRectHandle(r, handle, pt)) return;
        r.NormalizeRect();
        const int h = MeasureText("ABC", GetFontDescription()).cy;
        const int half = std::min(r.Width(), r.Height()) / 2;
        SetIntProperty(TP_ARC_RADIUS, std::max(1, half - h));
        CDrawObj::MoveTo(LayoutBox(GetText(), nullptr), view);
        return;
    }
    CDrawObj::MoveHandleTo(handle, pt, view);
    Invalidate(view);
    RecalcSize();
    Invalidate(view);
}
