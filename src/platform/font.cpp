#include "platform/font.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/codepage.h"
#include "platform/font_substitute.h"

// Design metrics of one family, weight and slant, in font units; shared by
// every size of that face.
struct CFont::Face {
    QFont font;      // family, weight, slant; no size
    QRawFont raw;    // at a pixel size of one em = unitsPerEm
    double upem = 1000;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    double avgWidth = 0;
    double maxWidth = 0;
    double underlinePos = 0;
    double strikeOutPos = 0;
    double lineWidth = 0;
    std::string family;  // UTF-8, the family actually used
    std::unordered_map<char32_t, double> advances;  // font units; < 0 when not in the face
    std::unordered_map<char32_t, quint32> glyphs;   // 0 when not in the face
    std::unordered_map<int, QRawFont> sized;        // the face at pixel sizes used for drawing

    quint32 Glyph(char32_t ch)
    {
        auto it = glyphs.find(ch);
        if (it != glyphs.end()) return it->second;
        quint32 g = 0;
        if (raw.isValid() && raw.supportsCharacter(ch)) {
            const QList<quint32> list = raw.glyphIndexesForString(QString::fromUcs4(&ch, 1));
            if (list.size() == 1) g = list[0];
        }
        glyphs.emplace(ch, g);
        return g;
    }

    QRawFont Sized(int pixels)
    {
        auto it = sized.find(pixels);
        if (it != sized.end()) return it->second;
        QRawFont f = raw;
        if (f.isValid()) f.setPixelSize(pixels);
        sized.emplace(pixels, f);
        return f;
    }

    double Advance(char32_t ch)
    {
        auto it = advances.find(ch);
        if (it != advances.end()) return it->second;
        double adv = -1;
        if (raw.isValid() && raw.supportsCharacter(ch)) {
            const QString s = QString::fromUcs4(&ch, 1);
            const QList<quint32> glyphs = raw.glyphIndexesForString(s);
            if (glyphs.size() == 1 && glyphs[0] != 0) {
                const QList<QPointF> a = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
                if (a.size() == 1) adv = a[0].x();
            }
        }
        advances.emplace(ch, adv);
        return adv;
    }
};

namespace {

QFont::StyleHint StyleHintFor(BYTE pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN: return QFont::Serif;
    case FF_SWISS: return QFont::SansSerif;
    case FF_MODERN: return QFont::Monospace;
    case FF_SCRIPT: return QFont::Cursive;
    case FF_DECORATIVE: return QFont::Decorative;
    default: return (pitchAndFamily & 0x03) == FIXED_PITCH ? QFont::Monospace : QFont::AnyStyle;
    }
}

std::shared_ptr<CFont::Face> GetFace(const std::string& family, int weight, bool italic, BYTE pitchAndFamily)
{
    using Key = std::tuple<std::string, int, bool, int>;
    static std::map<Key, std::shared_ptr<CFont::Face>> faces;
    const Key key(family, weight, italic, int(StyleHintFor(pitchAndFamily)));
    if (auto it = faces.find(key); it != faces.end()) return it->second;

    auto face = std::make_shared<CFont::Face>();
    QFont f(QString::fromStdString(family));
    f.setStyleHint(StyleHintFor(pitchAndFamily));
    f.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
    f.setItalic(italic);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    face->font = f;

    QFont probe = f;
    probe.setPixelSize(1000);
    QRawFont raw = QRawFont::fromFont(probe);
    if (raw.isValid()) {
        face->upem = raw.unitsPerEm() > 0 ? raw.unitsPerEm() : 1000;
        raw.setPixelSize(face->upem);
        face->raw = raw;
        face->ascent = raw.ascent();
        face->descent = raw.descent();
        face->leading = raw.leading();
        face->avgWidth = raw.averageCharWidth();
        face->maxWidth = raw.maxCharWidth();
        face->underlinePos = raw.underlinePosition();
        face->lineWidth = raw.lineThickness();
        face->family = raw.familyName().toStdString();
    }
    QFont design = f;
    design.setPixelSize(int(face->upem));
    QFontMetricsF fm(design);
    if (!raw.isValid()) {
        face->ascent = fm.ascent();
        face->descent = fm.descent();
        face->leading = fm.leading();
        face->avgWidth = fm.averageCharWidth();
        face->maxWidth = fm.maxWidth();
        face->underlinePos = fm.underlinePos();
        face->lineWidth = fm.lineWidth();
        face->family = QFontInfo(design).family().toStdString();
    }
    face->strikeOutPos = fm.strikeOutPos();
    if (face->avgWidth <= 0) face->avgWidth = fm.horizontalAdvance(QLatin1Char('x'));
    if (face->ascent + face->descent <= 0) face->ascent = face->upem;
    faces.emplace(key, face);
    return face;
}

int Round(double v) { return int(std::lround(v)); }

constexpr int kMaxEmHeight = 20000;

// One character of the current code page as a Unicode code point.
char32_t DecodeAnsiChar(std::string_view s, size_t i, size_t len)
{
    static int tableCodePage = -1;
    static char32_t table[256];
    static std::map<std::pair<int, unsigned>, char32_t> doubleBytes;
    const int cp = GetAnsiCodePage();
    if (len == 1) {
        if (tableCodePage != cp) {
            for (int b = 0; b < 256; ++b) {
                const std::u16string u = AnsiToUtf16(std::string(1, char(b)));
                table[b] = u.empty() ? char32_t(b) : char32_t(u[0]);
            }
            tableCodePage = cp;
        }
        return table[static_cast<unsigned char>(s[i])];
    }
    const unsigned code = (unsigned(static_cast<unsigned char>(s[i])) << 8) | static_cast<unsigned char>(s[i + 1]);
    const auto key = std::make_pair(cp, code);
    if (auto it = doubleBytes.find(key); it != doubleBytes.end()) return it->second;
    const std::u16string u = AnsiToUtf16(s.substr(i, len));
    char32_t ch = u'?';
    if (u.size() == 1) {
        ch = u[0];
    } else if (u.size() == 2 && QChar::isHighSurrogate(u[0]) && QChar::isLowSurrogate(u[1])) {
        ch = QChar::surrogateToUcs4(u[0], u[1]);
    }
    doubleBytes.emplace(key, ch);
    return ch;
}

}  // namespace

std::vector<DecodedChar> DecodeAnsiChars(std::string_view ansi)
{
    std::vector<DecodedChar> out;
    out.reserve(ansi.size());
    for (size_t i = 0; i < ansi.size();) {
        size_t len = CharLengthAt(ansi, i);
        if (len < 1) len = 1;
        if (i + len > ansi.size()) len = ansi.size() - i;
        out.push_back({int(i), int(len), DecodeAnsiChar(ansi, i, len)});
        i += len;
    }
    return out;
}

BOOL CFont::CreateFontIndirect(const LOGFONT& lf)
{
    m_lf = lf;
    m_widths.clear();
    const int weight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
    m_face = GetFace(ResolveFontFamily(lf.lfFaceName), weight, lf.lfItalic != 0, lf.lfPitchAndFamily);
    const Face& f = *m_face;
    const double cell = f.ascent + f.descent;
    if (lf.lfHeight < 0) {
        m_em = -lf.lfHeight;
    } else if (lf.lfHeight > 0) {
        m_em = std::max(1, Round(lf.lfHeight * f.upem / cell));
    } else {
        m_em = 16;
    }
    // Far beyond any label's text; keeps damaged documents from asking the
    // font engine for absurd sizes.
    m_em = std::min(m_em, kMaxEmHeight);
    const double k = m_em / f.upem;
    const double naturalAvg = f.avgWidth * k;
    const int width = std::abs(lf.lfWidth);
    m_scaleX = (width > 0 && naturalAvg > 0) ? std::clamp(width / naturalAvg, 0.001, 1000.0) : 1.0;

    m_tm = TEXTMETRIC();
    m_tm.tmAscent = Round(f.ascent * k);
    m_tm.tmDescent = Round(f.descent * k);
    m_tm.tmHeight = m_tm.tmAscent + m_tm.tmDescent;
    m_tm.tmInternalLeading = std::max(0, m_tm.tmHeight - m_em);
    m_tm.tmExternalLeading = std::max(0, Round(f.leading * k));
    m_tm.tmAveCharWidth = width > 0 ? width : Round(naturalAvg);
    m_tm.tmMaxCharWidth = Round(f.maxWidth * k * m_scaleX);
    m_tm.tmWeight = weight;
    m_tm.tmOverhang = 0;
    m_tm.tmItalic = lf.lfItalic;
    m_tm.tmUnderlined = lf.lfUnderline;
    m_tm.tmStruckOut = lf.lfStrikeOut;
    m_tm.tmPitchAndFamily = lf.lfPitchAndFamily;
    m_tm.tmCharSet = lf.lfCharSet;
    m_lineWidth = std::max(1, Round(f.lineWidth * k));
    m_underlinePos = std::max(1, Round(f.underlinePos * k));
    m_strikePos = Round(f.strikeOutPos * k);
    return TRUE;
}

const std::string& CFont::GetFamily() const
{
    static const std::string none;
    return m_face ? m_face->family : none;
}

int CFont::GetCharWidth(char32_t ch) const
{
    if (!m_face) return 0;
    if (auto it = m_widths.find(ch); it != m_widths.end()) return it->second;
    double adv = m_face->Advance(ch);
    double px;
    if (adv >= 0) {
        px = adv * m_em / m_face->upem;
    } else {
        // Not in the face: the font system's fallback face draws it.
        QFont q = m_face->font;
        q.setPixelSize(std::max(1, m_em));
        px = QFontMetricsF(q).horizontalAdvance(QString::fromUcs4(&ch, 1));
    }
    const int w = Round(px * m_scaleX);
    m_widths.emplace(ch, w);
    return w;
}

std::vector<CharAdvance> CFont::GetCharAdvances(std::string_view ansi) const
{
    std::vector<CharAdvance> out;
    for (const DecodedChar& c : DecodeAnsiChars(ansi)) out.push_back({c.offset, c.bytes, c.ch, GetCharWidth(c.ch)});
    return out;
}

int CFont::GetTextWidth(std::string_view ansi) const
{
    int w = 0;
    for (const DecodedChar& c : DecodeAnsiChars(ansi)) w += GetCharWidth(c.ch);
    return w;
}

QRawFont CFont::GetRawFont() const { return m_face ? m_face->Sized(std::max(1, m_em)) : QRawFont(); }

quint32 CFont::GetGlyphIndex(char32_t ch) const { return m_face ? m_face->Glyph(ch) : 0; }

QFont CFont::GetQFont(bool antialias) const
{
    QFont q = m_face ? m_face->font : QFont();
    q.setPixelSize(std::max(1, m_em));
    q.setStyleStrategy(antialias ? QFont::PreferAntialias : QFont::StyleStrategy(QFont::NoAntialias | QFont::ForceOutline));
    return q;
}
