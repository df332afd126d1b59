#include "data/workbook.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "platform/codepage.h"
#include "platform/strutil.h"

const std::string& CWorksheet::Cell(int row, int column) const
{
    static const std::string empty;
    if (row < 0 || row >= int(cells.size()) || column < 0) return empty;
    const auto& r = cells[size_t(row)];
    return size_t(column) < r.size() ? r[size_t(column)] : empty;
}

void CWorksheet::Put(int sheetRow, int sheetColumn, std::string text)
{
    if (text.empty() || sheetRow < 0 || sheetColumn < 0) return;
    if (rowCount == 0) {
        firstRow = sheetRow;
        firstColumn = sheetColumn;
    }
    // Move the range's origin up or left when the cell lies before it.
    if (sheetRow < firstRow) {
        cells.insert(cells.begin(), size_t(firstRow - sheetRow), {});
        rowCount += firstRow - sheetRow;
        firstRow = sheetRow;
    }
    if (sheetColumn < firstColumn) {
        const int shift = firstColumn - sheetColumn;
        for (auto& r : cells)
            if (!r.empty()) r.insert(r.begin(), size_t(shift), std::string());
        columnCount += shift;
        firstColumn = sheetColumn;
    }
    const int r = sheetRow - firstRow, c = sheetColumn - firstColumn;
    if (r >= int(cells.size())) cells.resize(size_t(r) + 1);
    rowCount = std::max(rowCount, r + 1);
    columnCount = std::max(columnCount, c + 1);
    auto& row = cells[size_t(r)];
    if (c >= int(row.size())) row.resize(size_t(c) + 1);
    row[size_t(c)] = std::move(text);
}

std::unique_ptr<CWorkbook> OpenWorkbook(const std::string& path, CSourceError& error)
{
    char magic[8] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = CSourceError::Make(CSourceError::missingFile, "cannot open " + path);
        return nullptr;
    }
    in.read(magic, sizeof magic);
    if (in.gcount() >= 4 && std::string_view(magic, 4) == std::string_view("PK\x03\x04", 4))
        return OpenXlsxWorkbook(path, error);
    if (in.gcount() == 8 && std::string_view(magic, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return OpenXlsWorkbook(path, error);
    error = CSourceError::Make(CSourceError::unreadable, path + ": not a spreadsheet workbook (.xls or .xlsx)");
    return nullptr;
}

std::string FormatCellNumber(double value)
{
    if (!std::isfinite(value)) return value != value ? "NaN" : value > 0 ? "Infinity" : "-Infinity";
    std::string s = StrFormat("%f", value);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s.empty()) s = "0";
    if (s == "-0") s = "0";  // a tiny negative number is shown as 0, without the sign
    return s;
}

std::string EmptyHeaderName(int sheetColumn)
{
    const std::string chinese = StrFormat("\xE5\xAD\x97\xE6\xAE\xB5%d", sheetColumn);
    std::string held;
    if (Utf8ToAnsiChecked(chinese, held)) return chinese;
    return StrFormat("Field %d", sheetColumn);
}

CRecordSet WorksheetRecords(const CWorksheet& sheet, bool firstRowIsData, int maxRows)
{
    CRecordSet set;
    for (int c = 0; c < sheet.columnCount; ++c) {
        if (firstRowIsData) {
            set.columns.push_back(StrFormat("Field %d", c + 1));
        } else {
            const std::string& head = sheet.Cell(0, c);
            set.columns.push_back(head.empty() ? EmptyHeaderName(sheet.firstColumn + c + 1) : head);
        }
    }
    for (int r = firstRowIsData ? 0 : 1; r < sheet.rowCount; ++r) {
        if (maxRows >= 0 && set.RecordCount() >= maxRows) break;
        std::vector<std::string> row(static_cast<size_t>(sheet.columnCount));
        for (int c = 0; c < sheet.columnCount; ++c) row[size_t(c)] = sheet.Cell(r, c);
        set.rows.push_back(std::move(row));
    }
    return set;
}

CWorkbookReader::CWorkbookReader(std::string path, bool firstRowIsData, std::string fallbackFolder)
    : m_path(std::move(path)), m_firstRowIsData(firstRowIsData), m_fallbackFolder(std::move(fallbackFolder))
{
}

bool CWorkbookReader::Open(CSourceError& error)
{
    if (m_book) return true;
    if (!LocateSourceFile(m_path, m_fallbackFolder, m_opened, error)) return false;
    m_book = OpenWorkbook(m_opened, error);
    return m_book != nullptr;
}

bool CWorkbookReader::ListTables(std::vector<std::string>& names, CSourceError& error)
{
    if (!Open(error)) return false;
    names = m_book->SheetNames();
    return true;
}

bool CWorkbookReader::ReadTable(const std::string& name, CRecordSet& out, int maxRows, CSourceError& error)
{
    if (!Open(error)) return false;
    const std::vector<std::string> names = m_book->SheetNames();
    int index = -1;
    if (name.empty()) {
        index = names.empty() ? -1 : 0;
    } else {
        for (size_t i = 0; i < names.size() && index < 0; ++i)
            if (names[i] == name) index = int(i);
        // Worksheet names are unique without regard to letter case.
        for (size_t i = 0; i < names.size() && index < 0; ++i)
            if (ToLowerAscii(names[i]) == ToLowerAscii(name)) index = int(i);
    }
    if (index < 0) {
        error = CSourceError::Make(CSourceError::missingTable,
                                   name.empty() ? m_opened + ": the workbook has no worksheet"
                                                : StrFormat("%s: no worksheet named \"%s\"", m_opened.c_str(), name.c_str()));
        return false;
    }
    CWorksheet sheet;
    if (!m_book->ReadSheet(index, sheet, error)) return false;
    out = WorksheetRecords(sheet, m_firstRowIsData, maxRows);
    return true;
}
