#pragma once
// Spreadsheet workbooks as data sources, read without any spreadsheet
// application: .xls through FreeXL, .xlsx through our own reader of the zip
// package. A worksheet becomes the texts of its used range; numbers follow
// the "%f without trailing zeros" rule, dates read as the cell shows them.
#include <memory>
#include <string>
#include <vector>

#include "data/record_set.h"

// The cells of one worksheet that hold something: the used range, from its
// first row and column (0-based sheet positions) over rowCount rows and
// columnCount columns. cells[r][c] is the text of range row r, column c;
// a row may be shorter than columnCount (the rest is "").
struct CWorksheet {
    std::string name;
    int firstRow = 0;
    int firstColumn = 0;
    int rowCount = 0;
    int columnCount = 0;
    std::vector<std::vector<std::string>> cells;

    const std::string& Cell(int row, int column) const;
    // Grows the range to hold the text at a sheet position; empty texts do not count.
    void Put(int sheetRow, int sheetColumn, std::string text);
};

class CWorkbook {
public:
    virtual ~CWorkbook() = default;
    virtual std::vector<std::string> SheetNames() const = 0;
    virtual bool ReadSheet(int index, CWorksheet& out, CSourceError& error) = 0;
};

// Opens a workbook by its content (a zip package is .xlsx, a compound
// document is .xls), whatever its file name says.
std::unique_ptr<CWorkbook> OpenWorkbook(const std::string& path, CSourceError& error);
std::unique_ptr<CWorkbook> OpenXlsWorkbook(const std::string& path, CSourceError& error);
std::unique_ptr<CWorkbook> OpenXlsxWorkbook(const std::string& path, CSourceError& error);

// A number cell's text: "%f", then trailing zeros and a trailing point
// removed ("12.5", "3", "0").
std::string FormatCellNumber(double value);
// Name of a column whose header cell is empty: "字段%d" with its column
// number in the sheet (from 1), or "Field %d" when the document code page
// cannot hold those characters.
std::string EmptyHeaderName(int sheetColumn);
// The records of a worksheet: with firstRowIsData the first row of the used
// range is record 1 and the fields are "Field 1"...; otherwise it holds the names.
CRecordSet WorksheetRecords(const CWorksheet& sheet, bool firstRowIsData, int maxRows = -1);

// Spreadsheet date serials and number format codes (shared by the readers).
// Whether a format code shows a date or a time.
bool IsDateFormat(const std::string& code);
// The format code of a built-in number format id ("" when it is none we show as a date).
std::string BuiltinDateFormat(int id);
// The serial shown with the format code (1900 or 1904 date system).
std::string FormatDateSerial(double serial, const std::string& code, bool date1904);

class CWorkbookReader : public CRecordReader {
public:
    CWorkbookReader(std::string path, bool firstRowIsData, std::string fallbackFolder = std::string());
    bool ListTables(std::vector<std::string>& names, CSourceError& error) override;
    bool ReadTable(const std::string& name, CRecordSet& out, int maxRows, CSourceError& error) override;
    const std::string& OpenedPath() const { return m_opened; }

private:
    bool Open(CSourceError& error);
    std::string m_path;
    bool m_firstRowIsData;
    std::string m_fallbackFolder;
    std::string m_opened;
    std::unique_ptr<CWorkbook> m_book;
};
