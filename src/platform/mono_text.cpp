// Monochrome text: QFont and QPainter into a small QImage, without
// antialiasing, then the dark pixels onto the bitmap.
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cmath>
#include <algorithm>
#include <map>
#include <tuple>

#include "platform/mono_text.h"

#include "platform/codepage.h"

namespace {

// Faces the symbols ask for that are not installed under that name, and the
// installed face that stands in for each.
struct FaceSubstitute {
    const char* face;
    const char* substitute;
};
const FaceSubstitute kFaceSubstitutes[] = {
    {"OCR-B-10 BT", "OCR B"},
};
// Largest text image rendered at once (pixels).
constexpr double kMaxTextPixels = 64.0 * 1024 * 1024;

const char* const kFallbackFaces[] = {"DejaVu Sans Mono", "Liberation Mono", "DejaVu Sans"};

QString ResolveFamily(const std::string& face)
{
    const QString asked = QString::fromStdString(face);
    if (QFontDatabase::hasFamily(asked)) return asked;
    for (const auto& s : kFaceSubstitutes)
        if (face == s.face && QFontDatabase::hasFamily(QString::fromLatin1(s.substitute)))
            return QString::fromLatin1(s.substitute);
    for (const char* f : kFallbackFaces)
        if (QFontDatabase::hasFamily(QString::fromLatin1(f))) return QString::fromLatin1(f);
    return asked;
}

// A logical font made concrete: the Qt font, the horizontal scale that gives
// the asked average character width, and the cell's ascent and height.
struct ResolvedFont {
    QFont font;
    double xScale = 1.0;
    double ascent = 0;
    double cellHeight = 0;
};

class MonoTextRenderer {
public:
    int TextWidth(const MonoTextFont& font, std::string_view text)
    {
        if (text.empty() || !QGuiApplication::instance()) return 0;
        const ResolvedFont& rf = Resolve(font);
        const QFontMetricsF fm(rf.font);
        return int(std::lround(fm.horizontalAdvance(ToQString(text)) * rf.xScale));
    }

    bool DrawText(CMonoBitmap& bitmap, int x, int y, const MonoTextFont& font, std::string_view text)
    {
        if (text.empty() || bitmap.IsEmpty() || !QGuiApplication::instance()) return true;
        const ResolvedFont& rf = Resolve(font);
        const QString qs = ToQString(text);
        const QFontMetricsF fm(rf.font);
        // The text's box in bitmap pixels, with room for glyphs that overhang
        // their advance, clipped to the bitmap: only that part is rendered.
        const double pad = rf.cellHeight / 2 + 2;
        const double left = x - pad;
        const double right = x + fm.horizontalAdvance(qs) * rf.xScale + pad;
        const double bottom = y + rf.cellHeight + 1;
        const int cx0 = int(std::max(0.0, std::floor(left)));
        const int cy0 = std::max(0, y);
        const int cx1 = int(std::min<double>(bitmap.Width(), std::ceil(right)));
        const int cy1 = int(std::min<double>(bitmap.Height(), std::ceil(bottom)));
        if (cx0 >= cx1 || cy0 >= cy1) return true;
        if (double(cx1 - cx0) * double(cy1 - cy0) > kMaxTextPixels) return false;
        QImage image(cx1 - cx0, cy1 - cy0, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return false;
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setPen(Qt::black);
            painter.setFont(rf.font);
            painter.translate(x - cx0, y - cy0);
            painter.scale(rf.xScale, 1.0);
            painter.drawText(QPointF(0, rf.ascent), qs);
        }
        for (int iy = 0; iy < image.height(); ++iy) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(iy));
            for (int ix = 0; ix < image.width(); ++ix)
                if (qGray(line[ix]) < 128) bitmap.SetPixel(cx0 + ix, cy0 + iy, true);
        }
        return true;
    }

private:
    static QString ToQString(std::string_view text)
    {
        const std::u16string u = AnsiToUtf16(text);
        return QString::fromUtf16(u.data(), qsizetype(u.size()));
    }

    const ResolvedFont& Resolve(const MonoTextFont& f)
    {
        const auto key = std::make_tuple(f.face, f.height, f.width);
        auto it = m_cache.find(key);
        if (it != m_cache.end()) return it->second;
        if (m_cache.size() > 64) m_cache.clear();

        ResolvedFont rf;
        rf.font = QFont(ResolveFamily(f.face));
        rf.font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
        rf.font.setKerning(false);
        const int h = f.height == 0 ? 12 : f.height;
        if (h < 0) {
            // Character height: the em square.
            rf.font.setPixelSize(std::max(1, -h));
        } else {
            // Cell height: scale the em so that ascent + descent comes out at h.
            QFont probe = rf.font;
            probe.setPixelSize(1000);
            const QFontMetricsF pm(probe);
            const double cellPerEm = (pm.ascent() + pm.descent()) / 1000.0;
            rf.font.setPixelSize(std::max(1, int(std::lround(h / (cellPerEm > 0 ? cellPerEm : 1.0)))));
        }
        const QFontMetricsF fm(rf.font);
        rf.ascent = fm.ascent();
        rf.cellHeight = fm.ascent() + fm.descent();
        if (f.width > 0) {
            const double natural = fm.averageCharWidth();
            if (natural > 0) rf.xScale = f.width / natural;
        }
        return m_cache.emplace(key, rf).first->second;
    }

    std::map<std::tuple<std::string, int, int>, ResolvedFont> m_cache;
};

}  // namespace

namespace {
MonoTextRenderer& Renderer()
{
    static MonoTextRenderer renderer;
    return renderer;
}
}  // namespace

int MonoTextWidth(const MonoTextFont& font, std::string_view text) { return Renderer().TextWidth(font, text); }

bool DrawMonoText(CMonoBitmap& bitmap, int x, int y, const MonoTextFont& font, std::string_view text)
{
    return Renderer().DrawText(bitmap, x, y, font, text);
}
