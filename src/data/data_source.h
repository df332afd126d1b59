#pragma once
// The data source of a document: the settings the label format keeps for it,
// and the open source with every record read and converted to the document
// code page. Database variables read their column from it.
#include <string>
#include <string_view>
#include <vector>

#include "data/record_set.h"
#include "data/value_sources.h"

enum DataSourceKind : int {
    DSK_ODBC = 0,   // "ODBC Data Source"
    DSK_TEXT = 1,   // "Text File"
    DSK_EXCEL = 2,  // "EXCEL File"
};

// Everything the label format keeps about its source (texts in the
// document code page, the connection text plain).
struct CDataSourceSettings {
    int kind = DSK_TEXT;
    std::string fieldList;     // "%d\r%s\n" per column: index from 0, name
    std::string search;        // "%d\r%d\r%s": mode, direction, index field name
    std::string textPath;
    std::string textOptions;   // see CTextFileOptions
    std::string table;         // ODBC table or worksheet name
    std::string connect;       // the ODBC connect string
    std::string excelPath;
    std::string excelOptions;  // "%d": 1 when the first row is data

    bool operator==(const CDataSourceSettings&) const = default;
    // The settings "Delete Database" leaves: a text file source with every text empty.
    static CDataSourceSettings Deleted() { return CDataSourceSettings(); }
};

struct CFieldEntry {
    int index = 0;
    std::string name;
    bool operator==(const CFieldEntry&) const = default;
};
std::vector<CFieldEntry> ParseFieldList(std::string_view text);
std::string FormatFieldList(const std::vector<std::string>& names);

class CDataSource : public CRecordSource {
public:
    enum class Result {
        notConfigured,  // nothing to open (no connect string, no path): record count -1
        opened,
        failed,         // record count -2
    };
    // Reads the source the settings describe. A file that moved is looked
    // for in documentFolder, and the settings then take its new path; an
    // ODBC source whose field list is empty gets one from its columns.
    // Texts are converted to the document code page: a character it cannot
    // hold fails the open with a message naming the record, field and character.
    Result Open(CDataSourceSettings& settings, const std::string& documentFolder, CSourceError& error);
    void Close();

    // -1 when no source is open, -2 when the last open failed, else the records.
    int GetRecordCount() const override { return m_count; }
    // ODBC values by column name (the index is not used); text and workbook
    // values by column index. "" for anything out of range.
    std::string GetFieldValue(int record, const std::string& column, int columnIndex) override;
    // Column names in the document code page.
    const std::vector<std::string>& Columns() const { return m_records.columns; }
    int Kind() const { return m_kind; }
    // The column a reference names: by name for ODBC, by index for the others.
    int ResolveColumn(const std::string& column, int columnIndex) const;

private:
    int m_count = -1;
    int m_kind = DSK_TEXT;
    bool m_fixedWithoutWidths = false;
    CRecordSet m_records;  // in the document code page
};

// Converts a record set read as UTF-8 to the document code page; false with
// a message naming the source, record, field and the character.
bool ConvertRecordsToCodePage(CRecordSet& records, const std::string& sourceName, CSourceError& error);
