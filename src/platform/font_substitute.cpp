#include "platform/font_substitute.h"

#include <QFontDatabase>
#include <QString>
#include <unordered_map>

#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

struct Substitute {
    const char* face;    // lower case
    const char* family;  // installed family that takes its place
};

// Metric-compatible families first: a document measured with the original
// face keeps its line breaks and box sizes.
constexpr Substitute kSubstitutes[] = {
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ocr-b-10 bt", "OCR B"},
    {"ocr-b 10 pitch bt", "OCR B"},
    {"ocr-a bt", "OCRA"},
    {"tahoma", "DejaVu Sans"},
    {"verdana", "DejaVu Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
};

std::unordered_map<std::string, std::string>& ResolvedCache()
{
    static std::unordered_map<std::string, std::string> cache;
    return cache;
}

}  // namespace

bool IsFontFamilyInstalled(const std::string& family)
{
    if (family.empty()) return false;
    return QFontDatabase::hasFamily(QString::fromStdString(family));
}

std::string FontSubstituteFor(const std::string& faceName)
{
    const std::string key = ToLowerAscii(Trim(faceName));
    for (const auto& s : kSubstitutes)
        if (key == s.face) return s.family;
    return {};
}

std::string ResolveFontFamily(const std::string& faceName)
{
    auto& cache = ResolvedCache();
    if (auto it = cache.find(faceName); it != cache.end()) return it->second;
    const std::string utf8 = AnsiToUtf8(faceName);
    std::string result = utf8;
    if (!IsFontFamilyInstalled(utf8)) {
        const std::string sub = FontSubstituteFor(faceName);
        if (!sub.empty() && IsFontFamilyInstalled(sub)) result = sub;
    }
    cache.emplace(faceName, result);
    return result;
}
