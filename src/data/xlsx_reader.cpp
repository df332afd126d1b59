// .xlsx workbooks: a zip package of XML parts (workbook, relationships,
// shared strings, styles, one part per worksheet), read with libzip and the
// toolkit's streaming XML reader. Only what a data source needs is read:
// sheet names, cell values and whether a number's format shows a date.
#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <cstdlib>
#include <map>
#include <zip.h>

#include "data/workbook.h"
#include "platform/strutil.h"

namespace {

// A part larger than this is refused rather than inflated into memory.
constexpr zip_uint64_t kMaxPartBytes = 512ull << 20;

std::string Utf8(QStringView s) { return s.toString().toStdString(); }

// "_x000D_" stands for the character U+000D in the texts of a package.
std::string DecodeEscapes(const QString& s)
{
    if (!s.contains(QLatin1String("_x"))) return s.toStdString();
    QString out;
    for (qsizetype i = 0; i < s.size();) {
        if (s[i] == u'_' && i + 6 < s.size() && s[i + 1] == u'x' && s[i + 6] == u'_') {
            bool ok = false;
            const uint code = s.mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 7;
                continue;
            }
        }
        out += s[i++];
    }
    return out.toStdString();
}

// "AB12" -> column 27 (0-based), row 11 (0-based); false when it is no reference.
bool ParseCellRef(QStringView ref, int& row, int& column)
{
    int c = 0, r = 0;
    qsizetype i = 0;
    while (i < ref.size() && ((ref[i] >= u'A' && ref[i] <= u'Z') || (ref[i] >= u'a' && ref[i] <= u'z'))) {
        c = c * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (c > 16384) return false;
        ++i;
    }
    if (i == 0 || i == ref.size()) return false;
    for (; i < ref.size(); ++i) {
        if (ref[i] < u'0' || ref[i] > u'9') return false;
        r = r * 10 + (ref[i].unicode() - u'0');
        if (r > 1048576) return false;
    }
    if (r < 1) return false;
    row = r - 1;
    column = c - 1;
    return true;
}

// Resolves a relationship target against the folder of the part that names it.
std::string ResolveTarget(const std::string& baseFolder, const std::string& target)
{
    std::vector<std::string> parts;
    const std::string joined = StartsWith(target, "/") ? target.substr(1) : baseFolder + target;
    for (const std::string& p : SplitString(joined, '/')) {
        if (p.empty() || p == ".") continue;
        if (p == "..") {
            if (!parts.empty()) parts.pop_back();
        } else {
            parts.push_back(p);
        }
    }
    return JoinStrings(parts, "/");
}

class CXlsxWorkbook : public CWorkbook {
public:
    explicit CXlsxWorkbook(std::string path) : m_path(std::move(path)) {}
    ~CXlsxWorkbook() override
    {
        if (m_zip) zip_discard(m_zip);
    }

    bool Open(CSourceError& error);
    std::vector<std::string> SheetNames() const override
    {
        std::vector<std::string> names;
        for (const Sheet& s : m_sheets) names.push_back(s.name);
        return names;
    }
    bool ReadSheet(int index, CWorksheet& out, CSourceError& error) override;

private:
    struct Sheet {
        std::string name;
        std::string part;
    };
    bool ReadPart(const std::string& name, QByteArray& out, CSourceError& error, bool optional = false);
    CSourceError Broken(const std::string& part, const QXmlStreamReader& xml) const
    {
        return CSourceError::Make(CSourceError::unreadable,
                                  StrFormat("%s: %s is damaged (%s)", m_path.c_str(), part.c_str(),
                                            xml.errorString().toStdString().c_str()));
    }
    std::map<std::string, std::string> ReadRelationships(const std::string& relsPart, const std::string& baseFolder,
                                                         const char* typeSuffix, CSourceError& error);

    std::string m_path;
    zip_t* m_zip = nullptr;
    std::vector<Sheet> m_sheets;
    std::vector<std::string> m_sharedStrings;
    std::vector<std::string> m_styleDateFormats;  // per cell style: the date format code, "" for no date
    bool m_date1904 = false;
};

bool CXlsxWorkbook::ReadPart(const std::string& name, QByteArray& out, CSourceError& error, bool optional)
{
    out.clear();
    const zip_int64_t index = zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) {
        if (optional) return true;
        error = CSourceError::Make(CSourceError::unreadable, StrFormat("%s: the package has no part %s", m_path.c_str(), name.c_str()));
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || st.size > kMaxPartBytes) {
        error = CSourceError::Make(CSourceError::unreadable, StrFormat("%s: the part %s is too large or unreadable", m_path.c_str(), name.c_str()));
        return false;
    }
    zip_file_t* f = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!f) {
        error = CSourceError::Make(CSourceError::unreadable, StrFormat("%s: cannot read the part %s", m_path.c_str(), name.c_str()));
        return false;
    }
    out.resize(qsizetype(st.size));
    zip_int64_t got = 0;
    while (zip_uint64_t(got) < st.size) {
        const zip_int64_t n = zip_fread(f, out.data() + got, st.size - zip_uint64_t(got));
        if (n <= 0) break;
        got += n;
    }
    zip_fclose(f);
    if (zip_uint64_t(got) != st.size) {
        error = CSourceError::Make(CSourceError::unreadable, StrFormat("%s: the part %s is damaged", m_path.c_str(), name.c_str()));
        return false;
    }
    return true;
}

std::map<std::string, std::string> CXlsxWorkbook::ReadRelationships(const std::string& relsPart, const std::string& baseFolder,
                                                                    const char* typeSuffix, CSourceError& error)
{
    std::map<std::string, std::string> targets;
    QByteArray data;
    if (!ReadPart(relsPart, data, error, true)) return targets;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("Relationship")) continue;
        const auto a = xml.attributes();
        if (a.value("TargetMode") == QLatin1String("External")) continue;
        if (typeSuffix && !EndsWith(Utf8(a.value("Type")), typeSuffix)) continue;
        targets[Utf8(a.value("Id"))] = ResolveTarget(baseFolder, Utf8(a.value("Target")));
    }
    if (xml.hasError()) error = Broken(relsPart, xml);
    return targets;
}

bool CXlsxWorkbook::Open(CSourceError& error)
{
    int zerr = 0;
    m_zip = zip_open(m_path.c_str(), ZIP_RDONLY, &zerr);
    if (!m_zip) {
        error = CSourceError::Make(CSourceError::unreadable, m_path + ": not a readable .xlsx package");
        return false;
    }
    // The workbook part, as the package's relationships name it.
    std::string workbookPart = "xl/workbook.xml";
    const auto root = ReadRelationships("_rels/.rels", "", "/officeDocument", error);
    if (error) return false;
    if (!root.empty()) workbookPart = root.begin()->second;
    const size_t slash = workbookPart.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : workbookPart.substr(0, slash + 1);
    const std::string rels = folder + "_rels/" + workbookPart.substr(slash == std::string::npos ? 0 : slash + 1) + ".rels";

    const auto sheetTargets = ReadRelationships(rels, folder, "/worksheet", error);
    if (error) return false;
    std::string sharedPart, stylesPart;
    for (const auto& [id, target] : ReadRelationships(rels, folder, "/sharedStrings", error)) sharedPart = target;
    for (const auto& [id, target] : ReadRelationships(rels, folder, "/styles", error)) stylesPart = target;
    if (error) return false;

    QByteArray data;
    if (!ReadPart(workbookPart, data, error)) return false;
    {
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) continue;
            if (xml.name() == QLatin1String("workbookPr")) {
                const auto v = xml.attributes().value("date1904");
                m_date1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (xml.name() == QLatin1String("sheet")) {
                std::string id;
                for (const auto& a : xml.attributes())
                    if (a.name() == QLatin1String("id")) id = Utf8(a.value());
                const auto it = sheetTargets.find(id);
                // Chart sheets and dialog sheets hold no cells.
                if (it != sheetTargets.end()) m_sheets.push_back({Utf8(xml.attributes().value("name")), it->second});
            }
        }
        if (xml.hasError()) {
            error = Broken(workbookPart, xml);
            return false;
        }
    }

    if (!sharedPart.empty()) {
        if (!ReadPart(sharedPart, data, error, true)) return false;
        QXmlStreamReader xml(data);
        QString current;
        bool inItem = false;
        int skipDepth = 0;  // inside phonetic runs, whose text is not shown
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (xml.name() == QLatin1String("si")) {
                    inItem = true;
                    current.clear();
                } else if (xml.name() == QLatin1String("rPh")) {
                    ++skipDepth;
                } else if (xml.name() == QLatin1String("t") && inItem && skipDepth == 0) {
                    current += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                }
            } else if (xml.isEndElement()) {
                if (xml.name() == QLatin1String("si")) {
                    m_sharedStrings.push_back(DecodeEscapes(current));
                    inItem = false;
                } else if (xml.name() == QLatin1String("rPh")) {
                    --skipDepth;
                }
            }
        }
        if (xml.hasError()) {
            error = Broken(sharedPart, xml);
            return false;
        }
    }

    if (!stylesPart.empty()) {
        if (!ReadPart(stylesPart, data, error, true)) return false;
        QXmlStreamReader xml(data);
        std::map<int, std::string> custom;
        bool inCellXfs = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (xml.name() == QLatin1String("numFmt")) {
                    custom[xml.attributes().value("numFmtId").toInt()] = Utf8(xml.attributes().value("formatCode"));
                } else if (xml.name() == QLatin1String("cellXfs")) {
                    inCellXfs = true;
                } else if (xml.name() == QLatin1String("xf") && inCellXfs) {
                    const int id = xml.attributes().value("numFmtId").toInt();
                    const auto it = custom.find(id);
                    std::string code = it != custom.end() ? it->second : BuiltinDateFormat(id);
                    m_styleDateFormats.push_back(IsDateFormat(code) ? code : std::string());
                }
            } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = false;
            }
        }
        if (xml.hasError()) {
            error = Broken(stylesPart, xml);
            return false;
        }
    }
    return true;
}

bool CXlsxWorkbook::ReadSheet(int index, CWorksheet& out, CSourceError& error)
{
    out = CWorksheet();
    if (index < 0 || index >= int(m_sheets.size())) {
        error = CSourceError::Make(CSourceError::missingTable, StrFormat("%s: no worksheet %d", m_path.c_str(), index + 1));
        return false;
    }
    const Sheet& sheet = m_sheets[size_t(index)];
    out.name = sheet.name;
    QByteArray data;
    if (!ReadPart(sheet.part, data, error)) return false;
    QXmlStreamReader xml(data);
    int row = -1, nextColumn = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("row")) {
            const auto r = xml.attributes().value("r");
            row = r.isEmpty() ? row + 1 : r.toInt() - 1;
            nextColumn = 0;
        } else if (xml.name() == QLatin1String("c")) {
            const auto a = xml.attributes();
            int cellRow = row < 0 ? 0 : row, column = nextColumn;
            const auto ref = a.value("r");
            if (!ref.isEmpty() && !ParseCellRef(ref, cellRow, column)) continue;
            nextColumn = column + 1;
            const QString type = a.value("t").toString();
            const int style = a.value("s").toInt();
            QString value, inlineText;
            bool hasInline = false;
            // The cell's children: <v> value, <f> formula (its cached value is in <v>), <is> inline text.
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("v")) {
                    value = xml.readElementText();
                } else if (xml.name() == QLatin1String("is")) {
                    hasInline = true;
                    int depth = 1;
                    while (depth > 0 && !xml.atEnd()) {
                        xml.readNext();
                        if (xml.isStartElement()) {
                            if (xml.name() == QLatin1String("rPh")) {
                                xml.skipCurrentElement();
                            } else if (xml.name() == QLatin1String("t")) {
                                inlineText += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                            } else {
                                ++depth;
                            }
                        } else if (xml.isEndElement()) {
                            --depth;
                        }
                    }
                } else {
                    xml.skipCurrentElement();
                }
            }
            std::string text;
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int i = value.toInt(&ok);
                if (ok && i >= 0 && i < int(m_sharedStrings.size())) text = m_sharedStrings[size_t(i)];
            } else if (type == QLatin1String("inlineStr") || hasInline) {
                text = DecodeEscapes(inlineText);
            } else if (type == QLatin1String("str") || type == QLatin1String("e") || type == QLatin1String("d")) {
                text = DecodeEscapes(value);
            } else if (type == QLatin1String("b")) {
                text = value.isEmpty() ? std::string() : value == QLatin1String("0") ? "FALSE" : "TRUE";
            } else if (!value.isEmpty()) {
                bool ok = false;
                const double number = value.toDouble(&ok);
                if (!ok) {
                    text = value.toStdString();
                } else if (style >= 0 && style < int(m_styleDateFormats.size()) && !m_styleDateFormats[size_t(style)].empty()) {
                    text = FormatDateSerial(number, m_styleDateFormats[size_t(style)], m_date1904);
                } else {
                    text = FormatCellNumber(number);
                }
            }
            out.Put(cellRow, column, std::move(text));
        }
    }
    if (xml.hasError()) {
        error = Broken(sheet.part, xml);
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<CWorkbook> OpenXlsxWorkbook(const std::string& path, CSourceError& error)
{
    auto book = std::make_unique<CXlsxWorkbook>(path);
    if (!book->Open(error)) return nullptr;
    return book;
}
