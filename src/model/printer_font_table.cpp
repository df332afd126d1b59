#include "model/printer_font_table.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/codepage.h"
#include "platform/dc.h"
#include "platform/strutil.h"

namespace {

constexpr int kZebraScalableSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr int kDatamaxScalableSizes[] = {6, 8, 10, 12, 14, 18, 24, 30, 36, 48};
constexpr int kScalableSizes[] = {6, 8, 10, 12, 14, 18};
constexpr int kScalableWideSizes[] = {6, 8, 10, 12, 14, 18, 24, 30};

// The whole-point sizes a scalable font offers (ascending), empty for the
// other kinds.
std::vector<int> PointSizes(int kind)
{
    switch (kind) {
    case PFK_ZEBRA_SCALABLE: return {std::begin(kZebraScalableSizes), std::end(kZebraScalableSizes)};
    case PFK_DATAMAX_SCALABLE: return {std::begin(kDatamaxScalableSizes), std::end(kDatamaxScalableSizes)};
    case PFK_SCALABLE: return {std::begin(kScalableSizes), std::end(kScalableSizes)};
    case PFK_SCALABLE_WIDE: return {std::begin(kScalableWideSizes), std::end(kScalableWideSizes)};
    default: return {};
    }
}

bool IsMagnified(int kind) { return kind == PFK_BITMAP || kind == PFK_X_FONT; }

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

}  // namespace

void CPrinterFontTable::Load(int language, int hdpi, const std::string& brand, int vdpi)
{
    m_entries.clear();
    m_nLanguage = language;
    m_nHDpi = hdpi > 0 ? hdpi : 203;
    m_nVDpi = vdpi > 0 ? vdpi : m_nHDpi;
    for (CPrinterFontEntry& e : GetCatalogFonts(language, hdpi)) {
        if (!brand.empty()) {
            // The brand takes the place of the first word.
            const size_t blank = e.m_strName.find(' ');
            if (blank != std::string::npos && blank > 0) e.m_strName = brand + e.m_strName.substr(blank);
        }
        m_entries.push_back(std::move(e));
    }
}

const CPrinterFontEntry* CPrinterFontTable::Find(const std::string& name) const
{
    for (const auto& e : m_entries)
        if (e.m_strName == name) return &e;
    return nullptr;
}

BOOL CPrinterFontTable::IsWindowsFont(const CPrinterFontEntry* entry)
{
    return entry && (entry->m_nSource == FONT_SOURCE_TRUETYPE || entry->m_nSource == FONT_SOURCE_OPENTYPE);
}

const CPrinterFontEntry* CPrinterFontTable::FindPrinterFont(const std::string& name) const
{
    const CPrinterFontEntry* e = Find(name);
    return (e && !IsWindowsFont(e)) ? e : nullptr;
}

int CPrinterFontTable::DotsToTenths(int dots) const { return MulDiv(dots, 720, m_nVDpi); }

int CPrinterFontTable::DotsToHundredths(int dots) const { return MulDiv(dots, 7200, m_nVDpi); }

int CPrinterFontTable::HundredthsToDots(int height) const { return MulDiv(height, m_nVDpi, 7200); }

std::vector<PrinterFontSize> CPrinterFontTable::GetOfferedSizes(const CPrinterFontEntry& e) const
{
    std::vector<PrinterFontSize> out;
    if (IsMagnified(e.m_nKind)) {
        for (int n = 1; n <= e.m_nMaxVMag; ++n) {
            const int dots = n * e.m_nCellHeight;
            out.push_back({DotsToHundredths(dots), StrFormat("%.1f", dots * 72.0 / m_nVDpi)});
        }
    } else {
        for (int pt : PointSizes(e.m_nKind)) out.push_back({pt * 100, StrFormat("%d", pt)});
    }
    return out;
}

int CPrinterFontTable::Magnification(const CPrinterFontEntry& e, int height) const
{
    const int request = MulDiv(height, 1, 10);  // tenths of a point
    for (int n = e.m_nMaxVMag; n >= 1; --n)
        if (DotsToTenths(n * e.m_nCellHeight) <= request) return n;
    return 1;
}

int CPrinterFontTable::NearestSize(const CPrinterFontEntry& e, int height) const
{
    const int request = MulDiv(height, 1, 10);  // tenths of a point
    if (IsMagnified(e.m_nKind)) return DotsToHundredths(Magnification(e, height) * e.m_nCellHeight);

    const std::vector<int> sizes = PointSizes(e.m_nKind);
    if (sizes.empty()) return 0;
    for (int s : sizes)
        if (s * 10 == request) return request * 10;

    if (e.m_nKind == PFK_ZEBRA_SCALABLE) {
        const int lo = DotsToTenths(e.m_nMinHeight), hi = DotsToTenths(e.m_nMaxHeight);
        return Clamp(request, lo, std::max(lo, hi)) * 10;
    }

    // The offered sizes from the largest down, then their whole multiples;
    // the first candidate that is strictly nearest wins.
    int best = 0;
    long long bestDistance = std::numeric_limits<long long>::max();
    auto consider = [&](int candidate) {
        const long long d = std::llabs((long long)candidate - request);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
        return d == 0;
    };
    for (auto it = sizes.rbegin(); it != sizes.rend(); ++it)
        if (consider(*it * 10)) return best * 10;
    for (int m = 2; m <= 24; ++m) {
        for (int s : sizes) {
            const int candidate = m * s * 10;
            if (consider(candidate)) return best * 10;
            if (candidate > request) break;
        }
    }
    return best * 10;
}

CSize CPrinterFontTable::GetCellSize(const CPrinterFontEntry& e, int height, int stretch) const
{
    const int dots = HundredthsToDots(height);
    if (IsMagnified(e.m_nKind)) {
        if (e.m_nCellHeight <= 0) return CSize();
        const int n = std::max(1, MulDiv(dots, 1, e.m_nCellHeight));
        const int factor = stretch ? std::max(1, MulDiv(stretch, n, 10000)) : n;
        return CSize(factor * e.m_nCellWidth, n * e.m_nCellHeight);
    }
    if (e.m_nKind == PFK_ZEBRA_SCALABLE) {
        if (e.m_nCellHeight <= 0) return CSize();
        int width = MulDiv(dots, e.m_nCellWidth, e.m_nCellHeight);
        if (stretch) width = MulDiv(width, stretch, 10000);
        return CSize(Clamp(width, e.m_nMinWidth, std::max(e.m_nMinWidth, e.m_nMaxWidth)), dots);
    }
    if (e.m_nKind >= PFK_DATAMAX_SCALABLE && e.m_nKind <= PFK_SCALABLE_WIDE)
        return CSize(stretch ? stretch : 10000, dots);
    return CSize();
}

CSize CPrinterFontTable::MeasurePrinterText(const CPrinterFontEntry& e, std::string_view text, int height,
                                            int stretch) const
{
    if (e.m_nKind != PFK_BITMAP || e.m_nCellWidth <= 0) return CSize();
    const CSize cell = GetCellSize(e, height, stretch);
    const int k = int(DecodeAnsiChars(text).size());
    if (k == 0) return CSize(0, cell.cy);
    return CSize(k * cell.cx + MulDiv((k - 1) * e.m_nGap, cell.cx, e.m_nCellWidth), cell.cy);
}

int CPrinterFontTable::StretchStep(const CPrinterFontEntry& e, int height, int stretch, int step) const
{
    if (stretch <= 0) stretch = 10000;
    step = step > 0 ? 1 : step < 0 ? -1 : 0;
    if (IsMagnified(e.m_nKind)) {
        const int n = Magnification(e, height);
        const int factor = Clamp(MulDiv(n, stretch, 10000) + step, 1, std::max(1, e.m_nMaxHMag));
        return MulDiv(factor, 10000, n);
    }
    if (e.m_nKind == PFK_ZEBRA_SCALABLE) {
        int s = stretch;
        if (step > 0) {
            if (s < 16000) s += 1000;
            else if (s < 20000) s += 2000;
            else if (s < 30000) s += 5000;
            else if (s < 100000) s += 10000;
        } else if (step < 0) {
            if (s > 30000) s -= 10000;
            else if (s > 20000) s -= 5000;
            else if (s > 16000) s -= 2000;
            else if (s > 1000) s -= 1000;
        }
        s = Clamp(s, 1000, 100000);
        if (e.m_nCellHeight > 0) {
            const int natural = MulDiv(HundredthsToDots(height), e.m_nCellWidth, e.m_nCellHeight);
            if (natural > 0) {
                const int width = MulDiv(natural, s, 10000);
                if (width < e.m_nMinWidth) s = MulDiv(e.m_nMinWidth, 10000, natural);
                else if (width > e.m_nMaxWidth) s = MulDiv(e.m_nMaxWidth, 10000, natural);
            }
        }
        return s;
    }
    const std::vector<int> sizes = PointSizes(e.m_nKind);
    if (sizes.empty()) return 0;
    const int points = MulDiv(height, 1, 100);
    int best = stretch;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (int s : sizes) {
        if (points <= 0 || points % s != 0) continue;
        const int m = points / s;
        const int factor = Clamp(MulDiv(m, stretch, 10000) + step, 1, 24);
        const int candidate = MulDiv(factor, 10000, m);
        if (step == 0 && candidate == stretch) return stretch;
        if ((step > 0 && candidate <= stretch) || (step < 0 && candidate >= stretch)) continue;
        const long long d = std::llabs((long long)candidate - stretch);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}

CFont CPrinterFontTable::CreateFont(const LOGFONT& description, const CDC* dc, int scale) const
{
    LOGFONT lf = description;
    const CPrinterFontEntry* e = FindPrinterFont(description.lfFaceName);
    const int stretch = description.lfWidth;
    int height = 0;  // hundredths of a point
    int width = 0;   // hundredths of a point, 0 natural
    if (!e) {
        height = MulDiv(description.lfHeight, scale, 100);
    } else {
        lf.lfFaceName = e->m_strScreenFace;
        lf.lfWeight = e->m_nWeight;
        lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 0;
        lf.lfCharSet = e->m_nCharSet;
        lf.lfPitchAndFamily = e->m_nPitchAndFamily;
        const int s = scale * 72;
        if (IsMagnified(e->m_nKind) || e->m_nKind == PFK_ZEBRA_SCALABLE) {
            const CSize cell = GetCellSize(*e, description.lfHeight, stretch);
            height = MulDiv(cell.cy, s, m_nVDpi);
            width = MulDiv(cell.cx, s, m_nHDpi);
            // The scalable Zebra font is shown at 90% of its cell's width.
            if (e->m_nKind == PFK_ZEBRA_SCALABLE) width = MulDiv(width, 90, 100);
        } else {
            height = MulDiv(description.lfHeight, scale, 100);
        }
    }
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : m_nHDpi;
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : m_nHDpi;
    lf.lfHeight = -std::max(1, MulDiv(dpiY, std::abs(height), 7200));
    lf.lfWidth = width ? std::max(1, MulDiv(dpiX, std::abs(width), 7200)) : 0;
    CFont font(lf);
    if (!e && stretch != 0 && stretch != 10000) {
        // Windows fonts are stretched from their own average width.
        lf.lfWidth = std::max(1, MulDiv(font.GetTextMetrics().tmAveCharWidth, stretch, 10000));
        font.CreateFontIndirect(lf);
    }
    return font;
}
