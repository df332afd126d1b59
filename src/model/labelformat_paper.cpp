// Label paper definitions: the one-line text form of a label paper
// ("name=values", optionally a line feed and the template shapes), used by
// the label paper library and the LastLabel setting.
#include <algorithm>
#include <cmath>
#include <limits>

#include "model/labelformat.h"
#include "platform/strutil.h"

namespace {

// Sheet layout: 19 values, the first 0. Roll layout: 13 values, the first not 0.
enum SheetValue {
    S_KIND, S_PAPER_CODE, S_PAPER_W, S_PAPER_H, S_LABEL_W, S_LABEL_H, S_COLUMNS, S_ROWS, S_HGAP, S_VGAP,
    S_LEFT, S_TOP, S_SHAPE, S_HOLE, S_HOLE_SIZE, S_PAGE_ORIENT, S_BLOCKS, S_EXTRA, S_ORIENT,
};
enum RollValue {
    R_KIND, R_LABEL_W, R_LABEL_H, R_COLUMNS, R_HGAP, R_VGAP, R_SHAPE, R_LEFT, R_TOP, R_HOLE, R_HOLE_SIZE,
    R_ORIENT, R_PAPER_W,
};

constexpr int kExtraCount = 13;

double Mm(int units) { return units / 100.0; }

// Millimetres to units, truncated toward zero. The small allowance keeps a
// value written with two decimals from losing a unit to binary rounding
// ("0.29" is 28.999... hundredths as a double).
int UnitsFromMm(const std::string& text)
{
    const double v = AtoF(text) * 100.0;
    if (!std::isfinite(v)) return 0;
    const double t = std::trunc(v + (v < 0 ? -1e-6 : 1e-6));
    if (t >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (t <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(t);
}

// The paper extra record as its 13 integers; missing items read as 0.
std::string NormalizeExtra(const std::string& text)
{
    const auto items = SplitString(text, '|');
    std::string out;
    for (int i = 0; i < kExtraCount; ++i) {
        if (i) out += '|';
        out += StrFormat("%d", size_t(i) < items.size() ? AtoI(items[size_t(i)]) : 0);
    }
    return out;
}

std::string StripLineEnd(std::string s)
{
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
}

}  // namespace

std::string CLabelFormat::MakePaperDefinition() const
{
    // A name cannot span lines; the value list starts after the last "=".
    std::string name = m_strLabelName;
    for (char& c : name)
        if (c == '\r' || c == '\n') c = ' ';

    std::string line;
    if (!IsWindowsDriverMode()) {
        line = StrFormat("%s=1,%.2f,%.2f,%d,%.2f,%.2f,%d,%.2f,%.2f,%d,%.2f,%d,%.2f", name.c_str(), Mm(m_nLabelWidth),
                         Mm(m_nLabelHeight), m_nColumns, Mm(m_nHGap), Mm(m_nVGap), m_nLabelShape, Mm(m_nLeftMargin),
                         Mm(m_nTopMargin), m_nHoleType, Mm(m_nHoleSize), GetOrientation(), Mm(m_nPaperWidth));
    } else {
        std::string extra = GetProperty(LFP_PAPER_EXTRA);
        extra = extra.empty() ? std::string(kDefaultPaperExtra) : NormalizeExtra(extra);
        line = StrFormat("%s=0,%d,%.2f,%.2f,%.2f,%.2f,%d,%d,%.2f,%.2f,%.2f,%.2f,%d,%d,%.2f,%d,%s,%s,%d", name.c_str(),
                         m_nPaperCode, Mm(m_nPaperWidth), Mm(m_nPaperHeight), Mm(m_nLabelWidth), Mm(m_nLabelHeight),
                         m_nColumns, m_nRows, Mm(m_nHGap), Mm(m_nVGap), Mm(m_nLeftMargin), Mm(m_nTopMargin),
                         m_nLabelShape, m_nHoleType, Mm(m_nHoleSize), m_nPageOrientation == 2 ? 1 : 0,
                         FormatBlocks().c_str(), extra.c_str(), GetOrientation());
    }
    const std::string templates = GetProperty(LFP_TEMPLATES);
    if (!templates.empty()) line += "\n" + templates;
    return line;
}

BOOL CLabelFormat::ApplyPaperDefinition(const std::string& definition)
{
    if (definition.empty()) return FALSE;
    const size_t lf = definition.find('\n');
    const std::string line = StripLineEnd(definition.substr(0, lf));
    const std::string templates = lf == std::string::npos ? std::string() : StripLineEnd(definition.substr(lf + 1));
    // Values hold no "=", so the name runs up to the last one.
    const size_t eq = line.rfind('=');
    if (eq == std::string::npos) return FALSE;
    const std::vector<std::string> values = SplitString(std::string_view(line).substr(eq + 1), ',');
    auto text = [&](int i) { return size_t(i) < values.size() ? values[size_t(i)] : std::string(); };
    auto num = [&](int i) { return AtoI(text(i)); };
    auto mm = [&](int i) { return UnitsFromMm(text(i)); };

    // Everything is read into a copy first, so that a line describing no
    // usable label leaves the format as it was.
    CLabelFormat f(*this);
    f.m_strLabelName = line.substr(0, eq);
    if (num(0) != 0) {
        // A roll: one row of labels, as wide as the labels across it.
        f.m_nPaperCode = 256;
        f.m_nLabelWidth = mm(R_LABEL_W);
        f.m_nLabelHeight = mm(R_LABEL_H);
        f.m_nColumns = num(R_COLUMNS);
        f.m_nRows = 1;
        f.m_nHGap = mm(R_HGAP);
        f.m_nVGap = mm(R_VGAP);
        f.m_nLabelShape = num(R_SHAPE);
        f.m_nLeftMargin = 0;
        f.m_nTopMargin = 0;
        f.m_nHoleType = num(R_HOLE);
        f.m_nHoleSize = mm(R_HOLE_SIZE);
        f.SetOrientation(num(R_ORIENT));
        f.m_nPaperHeight = f.m_nLabelHeight;
        f.m_nPaperWidth = mm(R_PAPER_W);
        if (f.m_nPaperWidth == 0) {
            const long long w = (long long)(f.m_nColumns - 1LL) * f.m_nHGap + (long long)f.m_nColumns * f.m_nLabelWidth;
            f.m_nPaperWidth = int(std::clamp<long long>(w, 0, std::numeric_limits<int>::max()));
        }
        // Not part of a roll line: the page settings of a fresh format.
        f.m_nPageOrientation = 1;
        f.m_blocks = Blocks();
        f.SetProperty(LFP_PAPER_EXTRA, kDefaultPaperExtra);
    } else {
        f.m_nPaperCode = num(S_PAPER_CODE);
        f.m_nPaperWidth = mm(S_PAPER_W);
        f.m_nPaperHeight = mm(S_PAPER_H);
        f.m_nLabelWidth = mm(S_LABEL_W);
        f.m_nLabelHeight = mm(S_LABEL_H);
        f.m_nColumns = num(S_COLUMNS);
        f.m_nRows = num(S_ROWS);
        f.m_nHGap = mm(S_HGAP);
        f.m_nVGap = mm(S_VGAP);
        f.m_nLeftMargin = mm(S_LEFT);
        f.m_nTopMargin = mm(S_TOP);
        f.m_nLabelShape = num(S_SHAPE);
        f.m_nHoleType = num(S_HOLE);
        f.m_nHoleSize = mm(S_HOLE_SIZE);
        f.m_nPageOrientation = num(S_PAGE_ORIENT) == 1 ? 2 : 1;
        f.ParseBlocks(text(S_BLOCKS));
        f.SetProperty(LFP_PAPER_EXTRA, NormalizeExtra(text(S_EXTRA)));
        f.SetOrientation(num(S_ORIENT));
    }
    if (f.m_nLabelWidth <= 0 || f.m_nLabelHeight <= 0 || f.m_nColumns < 1 || f.m_nRows < 1) return FALSE;
    f.SetProperty(LFP_TEMPLATES, templates);
    CopyFrom(f);
    return TRUE;
}
