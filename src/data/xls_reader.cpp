// .xls workbooks (BIFF) through FreeXL. FreeXL gives a date cell as its
// ISO text ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS", "HH:MM:SS"), not its
// number format, so that is the text a date shows here.
#include <freexl.h>

#include "data/workbook.h"
#include "platform/strutil.h"

namespace {

class CXlsWorkbook : public CWorkbook {
public:
    explicit CXlsWorkbook(std::string path) : m_path(std::move(path)) {}
    ~CXlsWorkbook() override
    {
        if (m_handle) freexl_close(m_handle);
    }

    bool Open(CSourceError& error)
    {
        const int rc = freexl_open(m_path.c_str(), &m_handle);
        if (rc != FREEXL_OK) {
            m_handle = nullptr;
            error = CSourceError::Make(CSourceError::unreadable,
                                       StrFormat("%s: not a readable .xls workbook (reader error %d)", m_path.c_str(), rc));
            return false;
        }
        unsigned int info = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED) {
            error = CSourceError::Make(CSourceError::unreadable, m_path + ": the workbook is protected by a password");
            return false;
        }
        unsigned int count = 0;
        freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count);
        for (unsigned int i = 0; i < count && i < 65535; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) != FREEXL_OK) name = nullptr;
            m_names.push_back(name ? name : StrFormat("Sheet%u", i + 1));
        }
        return true;
    }

    std::vector<std::string> SheetNames() const override { return m_names; }

    bool ReadSheet(int index, CWorksheet& out, CSourceError& error) override
    {
        out = CWorksheet();
        if (index < 0 || index >= int(m_names.size()) ||
            freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK) {
            error = CSourceError::Make(CSourceError::missingTable, StrFormat("%s: no worksheet %d", m_path.c_str(), index + 1));
            return false;
        }
        out.name = m_names[size_t(index)];
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
            error = CSourceError::Make(CSourceError::unreadable, StrFormat("%s: cannot read worksheet \"%s\"", m_path.c_str(), out.name.c_str()));
            return false;
        }
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue cell;
                // A cell that cannot be read is empty, like any other reading error.
                if (freexl_get_cell_value(m_handle, r, c, &cell) != FREEXL_OK) continue;
                std::string text;
                switch (cell.type) {
                case FREEXL_CELL_INT: text = std::to_string(cell.value.int_value); break;
                case FREEXL_CELL_DOUBLE: text = FormatCellNumber(cell.value.double_value); break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    if (cell.value.text_value) text = cell.value.text_value;
                    break;
                default: break;
                }
                out.Put(int(r), int(c), std::move(text));
            }
        }
        return true;
    }

private:
    std::string m_path;
    const void* m_handle = nullptr;
    std::vector<std::string> m_names;
};

}  // namespace

std::unique_ptr<CWorkbook> OpenXlsWorkbook(const std::string& path, CSourceError& error)
{
    auto book = std::make_unique<CXlsWorkbook>(path);
    if (!book->Open(error)) return nullptr;
    return book;
}
