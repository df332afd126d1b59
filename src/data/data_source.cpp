#include "data/data_source.h"

#include "data/odbc_source.h"
#include "data/text_source.h"
#include "data/workbook.h"
#include "platform/codepage.h"
#include "platform/strutil.h"

std::vector<CFieldEntry> ParseFieldList(std::string_view text)
{
    std::vector<CFieldEntry> out;
    for (const std::string& line : SplitString(text, '\n')) {
        if (line.empty()) continue;
        const size_t cr = line.find('\r');
        CFieldEntry e;
        e.index = AtoI(std::string_view(line).substr(0, cr));
        e.name = cr == std::string::npos ? std::string() : line.substr(cr + 1);
        out.push_back(std::move(e));
    }
    return out;
}

std::string FormatFieldList(const std::vector<std::string>& names)
{
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) out += StrFormat("%zu\r%s\n", i, names[i].c_str());
    return out;
}

bool ConvertRecordsToCodePage(CRecordSet& records, const std::string& sourceName, CSourceError& error)
{
    auto convert = [&](std::string& text, const std::string& where) {
        std::string ansi;
        char32_t bad = 0;
        if (Utf8ToAnsiChecked(text, ansi, &bad)) {
            text = std::move(ansi);
            return true;
        }
        error = CSourceError::Make(CSourceError::unreadable,
                                   StrFormat("%s, %s: the character %s cannot be held in the document code page %d",
                                             sourceName.c_str(), where.c_str(), DescribeCodePoint(bad).c_str(),
                                             GetAnsiCodePage()));
        return false;
    };
    const std::vector<std::string> utf8Columns = records.columns;
    for (size_t c = 0; c < records.columns.size(); ++c)
        if (!convert(records.columns[c], StrFormat("field name %zu", c + 1))) return false;
    for (size_t r = 0; r < records.rows.size(); ++r) {
        auto& row = records.rows[r];
        for (size_t c = 0; c < row.size(); ++c) {
            if (row[c].empty()) continue;
            const std::string field = c < utf8Columns.size() ? "field \"" + utf8Columns[c] + "\"" : StrFormat("field %zu", c + 1);
            if (!convert(row[c], StrFormat("record %zu, %s", r + 1, field.c_str()))) return false;
        }
    }
    return true;
}

void CDataSource::Close()
{
    m_count = -1;
    m_records = CRecordSet();
    m_fixedWithoutWidths = false;
}

CDataSource::Result CDataSource::Open(CDataSourceSettings& s, const std::string& documentFolder, CSourceError& error)
{
    Close();
    m_kind = s.kind;
    // Settings and paths are in the document code page; the readers take UTF-8.
    auto utf8 = [](const std::string& ansi) {
        std::string out;
        return AnsiToUtf8Checked(ansi, out) ? out : AnsiToUtf8(ansi);
    };
    auto ansi = [](const std::string& text) {
        std::string out;
        return Utf8ToAnsiChecked(text, out) ? out : Utf8ToAnsi(text);
    };
    CRecordSet records;
    std::string sourceName;
    bool ok = false;
    switch (s.kind) {
    case DSK_ODBC: {
        const std::string connect = ReduceConnectString(s.connect);
        if (connect.empty()) return Result::notConfigured;
        COdbcReader reader(utf8(connect));
        sourceName = "the table \"" + utf8(s.table) + "\"";
        ok = reader.ReadTable(utf8(s.table), records, -1, error);
        break;
    }
    case DSK_TEXT: {
        if (s.textPath.empty()) return Result::notConfigured;
        const CTextFileOptions options = CTextFileOptions::Parse(s.textOptions);
        m_fixedWithoutWidths = options.fixedLength && options.widths.empty();
        CTextFileReader reader(utf8(s.textPath), options, documentFolder);
        ok = reader.ReadTable(std::string(), records, -1, error);
        if (ok) {
            sourceName = reader.OpenedPath();
            s.textPath = ansi(reader.OpenedPath());
        }
        break;
    }
    case DSK_EXCEL: {
        if (s.excelPath.empty()) return Result::notConfigured;
        CWorkbookReader reader(utf8(s.excelPath), AtoI(s.excelOptions) == 1, documentFolder);
        ok = reader.ReadTable(utf8(s.table), records, -1, error);
        if (ok) {
            sourceName = reader.OpenedPath() + " [" + utf8(s.table) + "]";
            s.excelPath = ansi(reader.OpenedPath());
        }
        break;
    }
    default:
        error = CSourceError::Make(CSourceError::unreadable, StrFormat("unknown data source kind %d", s.kind));
        break;
    }
    if (ok) ok = ConvertRecordsToCodePage(records, sourceName, error);
    if (!ok) {
        Close();
        m_count = -2;
        return Result::failed;
    }
    m_records = std::move(records);
    m_count = m_records.RecordCount();
    if (s.kind == DSK_ODBC && s.fieldList.empty()) s.fieldList = FormatFieldList(m_records.columns);
    return Result::opened;
}

int CDataSource::ResolveColumn(const std::string& column, int columnIndex) const
{
    if (m_kind == DSK_ODBC) return m_records.ColumnIndex(column);
    if (m_fixedWithoutWidths) return -1;
    if (m_kind == DSK_EXCEL && (columnIndex < 0 || columnIndex >= int(m_records.columns.size()))) return -1;
    return columnIndex;
}

std::string CDataSource::GetFieldValue(int record, const std::string& column, int columnIndex)
{
    if (m_count <= 0 || record < 1 || record > m_count) return std::string();
    return m_records.Value(record, ResolveColumn(column, columnIndex));
}
