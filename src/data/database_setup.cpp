#include "data/database_setup.h"

#include "data/odbc_source.h"
#include "data/text_source.h"
#include "data/workbook.h"
#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

constexpr int kPreviewRows = 10;

std::string FileNamePart(const std::string& path)
{
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ToUtf8(const std::string& ansi)
{
    std::string out;
    return AnsiToUtf8Checked(ansi, out) ? out : AnsiToUtf8(ansi);
}

// The stored name when the list has it, else the first of the list.
std::string ChooseTable(const std::vector<std::string>& tables, const std::string& stored)
{
    for (const std::string& t : tables)
        if (t == stored) return t;
    return tables.empty() ? std::string() : tables.front();
}

}  // namespace

bool BuildSetupView(const CDataSourceSettings& s, const std::string& documentFolder, CSetupView& out, CSourceError& error)
{
    out = CSetupView();
    CRecordSet records;
    std::vector<std::string> tables;
    switch (s.kind) {
    case DSK_ODBC: {
        COdbcReader reader(ToUtf8(s.connect));
        if (!reader.ListTables(tables, error)) return false;
        const std::string& completed = reader.Connection().CompletedConnectString();
        const std::string stored = completed.empty() ? ToUtf8(s.connect) : completed;
        out.info = {"DSN: " + ConnectStringValue(stored, "DSN="), "Type: " + ConnectStringValue(stored, "FIL="),
                    "Database: " + FileNamePart(ConnectStringValue(stored, "DBQ="))};
        const std::string table = ChooseTable(tables, ToUtf8(s.table));
        if (!table.empty() && !reader.ReadTable(table, records, kPreviewRows, error)) return false;
        out.table = table;
        break;
    }
    case DSK_TEXT: {
        CTextFileReader reader(ToUtf8(s.textPath), CTextFileOptions::Parse(s.textOptions), documentFolder);
        if (!reader.ReadTable(std::string(), records, kPreviewRows, error)) return false;
        out.info = {"File Name: " + FileNamePart(reader.OpenedPath())};
        break;
    }
    case DSK_EXCEL: {
        CWorkbookReader reader(ToUtf8(s.excelPath), AtoI(s.excelOptions) == 1, documentFolder);
        if (!reader.ListTables(tables, error)) return false;
        const std::string table = ChooseTable(tables, ToUtf8(s.table));
        if (!table.empty() && !reader.ReadTable(table, records, kPreviewRows, error)) return false;
        out.table = table;
        out.info = {"File Name: " + FileNamePart(reader.OpenedPath())};
        break;
    }
    default:
        error = CSourceError::Make(CSourceError::unreadable, StrFormat("unknown data source kind %d", s.kind));
        return false;
    }
    if (!ConvertRecordsToCodePage(records, out.info.empty() ? "the source" : out.info.back(), error)) return false;
    // Names of tables, like everything the dialog shows, in the code page.
    for (std::string& t : tables) {
        std::string ansi;
        if (!Utf8ToAnsiChecked(t, ansi)) continue;  // a table the document could not name
        out.tables.push_back(ansi);
    }
    std::string tableAnsi;
    out.table = Utf8ToAnsiChecked(out.table, tableAnsi) ? tableAnsi : std::string();
    for (std::string& line : out.info) line = Utf8ToAnsi(line);
    out.fields = records.columns;
    out.preview = records.rows;
    out.fieldList = FormatFieldList(out.fields);
    return true;
}
