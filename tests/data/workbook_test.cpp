// Workbooks as data sources, written by independent writers (libxlsxwriter,
// Spreadsheet::WriteExcel) or by hand where a case needs a form they do not
// make: worksheets, header names, the number rule, dates as shown.
#include <gtest/gtest.h>

#include "data/workbook.h"
#include "platform/codepage.h"
#include "support/db_fixtures.h"
#include "support/kvtest.h"

using kvtest::SheetCell;
using kvtest::SheetSpec;

namespace {

struct CodePageScope {
    int saved = GetAnsiCodePage();
    explicit CodePageScope(int cp) { SetAnsiCodePage(cp); }
    ~CodePageScope() { SetAnsiCodePage(saved); }
};

SheetCell Text(int r, int c, std::string s) { return {r, c, SheetCell::text, std::move(s), 0, {}}; }
SheetCell Num(int r, int c, double v) { return {r, c, SheetCell::number, {}, v, {}}; }
SheetCell Date(int r, int c, std::string stamp, std::string format) { return {r, c, SheetCell::date, std::move(stamp), 0, std::move(format)}; }

// The same items sheet for both formats: an empty header in column B, a gap
// row, numbers of every shape, non-Latin text, and a second worksheet.
std::vector<SheetSpec> ItemsBook()
{
    return {
        {"Items",
         {Text(0, 0, "Name"), Text(0, 2, "Price"), Text(0, 3, "Qty"),
          Text(1, 0, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93"), Num(1, 1, 7), Num(1, 2, 12.5), Num(1, 3, 3),
          Text(2, 0, "zero"), Num(2, 2, 0), Num(2, 3, -2.5),
          Text(4, 0, "big"), Num(4, 2, 1234567.125), Num(4, 3, 1e-9)}},
        {"Second", {Text(0, 0, "x")}},
    };
}

const std::vector<std::vector<std::string>> kItemsRows = {
    {"Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", "7", "12.5", "3"},
    {"zero", "", "0", "-2.5"},
    {"", "", "", ""},
    {"big", "", "1234567.125", "0"},
};

class WorkbookFormats : public ::testing::TestWithParam<const char*> {
protected:
    std::string Write(const kvtest::TempDir& dir, const std::vector<SheetSpec>& sheets)
    {
        const std::string ext = GetParam();
        const std::string path = dir.file("book." + ext);
        EXPECT_TRUE(ext == "xlsx" ? kvtest::WriteXlsx(path, sheets) : kvtest::WriteXls(path, sheets));
        return path;
    }
};

TEST_P(WorkbookFormats, ReadsCellTextsWithTheNumberRule)
{
    kvtest::TempDir dir;
    const std::string path = Write(dir, ItemsBook());
    CodePageScope cp(936);
    CWorkbookReader reader(path, false);
    std::vector<std::string> sheets;
    CSourceError error;
    ASSERT_TRUE(reader.ListTables(sheets, error)) << error.text;
    EXPECT_EQ(sheets, (std::vector<std::string>{"Items", "Second"}));

    CRecordSet set;
    ASSERT_TRUE(reader.ReadTable("Items", set, -1, error)) << error.text;
    EXPECT_EQ(set.columns, (std::vector<std::string>{"Name", "\xE5\xAD\x97\xE6\xAE\xB5" "2", "Price", "Qty"}));
    EXPECT_EQ(set.rows, kItemsRows);

    // No name: the first worksheet; a name in other letter case finds it too.
    CRecordSet first, other;
    ASSERT_TRUE(reader.ReadTable("", first, -1, error));
    EXPECT_EQ(first, set);
    ASSERT_TRUE(reader.ReadTable("second", other, -1, error));
    EXPECT_EQ(other.columns, (std::vector<std::string>{"x"}));
    EXPECT_EQ(other.RecordCount(), 0);

    EXPECT_FALSE(reader.ReadTable("Missing", set, -1, error));
    EXPECT_EQ(error.kind, CSourceError::missingTable);
    EXPECT_NE(error.text.find("Missing"), std::string::npos);
}

TEST_P(WorkbookFormats, FirstRowAsDataAndTheUsedRange)
{
    kvtest::TempDir dir;
    // The data starts at C3; D3 is an empty header.
    const std::string path = Write(dir, {{"S", {Text(2, 2, "Code"), Text(3, 2, "A1"), Text(3, 3, "x"), Num(4, 3, 2)}}});
    CodePageScope cp(1252);
    CSourceError error;
    CRecordSet named, data;
    CWorkbookReader withNames(path, false);
    ASSERT_TRUE(withNames.ReadTable("S", named, -1, error)) << error.text;
    // The empty header is named by its sheet column; this code page cannot
    // hold the usual name, so it reads "Field 4".
    EXPECT_EQ(named.columns, (std::vector<std::string>{"Code", "Field 4"}));
    EXPECT_EQ(named.rows, (std::vector<std::vector<std::string>>{{"A1", "x"}, {"", "2"}}));

    CWorkbookReader allData(path, true);
    ASSERT_TRUE(allData.ReadTable("S", data, -1, error)) << error.text;
    EXPECT_EQ(data.columns, (std::vector<std::string>{"Field 1", "Field 2"}));
    EXPECT_EQ(data.rows, (std::vector<std::vector<std::string>>{{"Code", ""}, {"A1", "x"}, {"", "2"}}));
}

INSTANTIATE_TEST_SUITE_P(Workbook, WorkbookFormats, ::testing::Values("xlsx", "xls"));

TEST(Workbook, DatesReadAsTheCellShowsThem)
{
    struct Case {
        const char* stamp;
        const char* format;
        const char* shown;
    };
    const Case cases[] = {
        {"2024-03-14T00:00:00", "yyyy-mm-dd", "2024-03-14"},
        {"2024-03-14T00:00:00", "m/d/yyyy", "3/14/2024"},
        {"2024-03-14T00:00:00", "d-mmm-yy", "14-Mar-24"},
        {"2024-03-14T00:00:00", "mmmm d, yyyy", "March 14, 2024"},
        {"2024-03-14T00:00:00", "dddd dd.mm.yy", "Thursday 14.03.24"},
        {"2024-03-14T13:05:09", "dd/mm/yyyy hh:mm:ss", "14/03/2024 13:05:09"},
        {"2024-03-14T13:05:00", "h:mm AM/PM", "1:05 PM"},
        {"2024-03-14T00:30:00", "hh:mm am/pm", "12:30 am"},
        {"2024-03-14T09:07:00", "[$-409]h\"h\"mm", "9h07"},
    };
    std::vector<SheetCell> cells = {Text(0, 0, "When")};
    for (size_t i = 0; i < std::size(cases); ++i) cells.push_back(Date(int(i) + 1, 0, cases[i].stamp, cases[i].format));
    kvtest::TempDir dir;
    ASSERT_TRUE(kvtest::WriteXlsx(dir.file("d.xlsx"), {{"D", cells}}));
    ASSERT_TRUE(kvtest::WriteXls(dir.file("d.xls"), {{"D", cells}}));

    CSourceError error;
    CRecordSet set;
    CWorkbookReader xlsx(dir.file("d.xlsx"), false);
    ASSERT_TRUE(xlsx.ReadTable("", set, -1, error)) << error.text;
    ASSERT_EQ(set.RecordCount(), int(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(set.Value(int(i) + 1, 0), cases[i].shown) << cases[i].format;

    // The .xls reader library gives dates and times in ISO form only.
    CWorkbookReader xls(dir.file("d.xls"), false);
    ASSERT_TRUE(xls.ReadTable("", set, -1, error)) << error.text;
    EXPECT_EQ(set.Value(1, 0), "2024-03-14");
    EXPECT_EQ(set.Value(6, 0), "2024-03-14 13:05:09");
}

TEST(Workbook, DateSerialsAndFormatCodes)
{
    struct Case {
        double serial;
        const char* code;
        bool date1904;
        const char* shown;
    };
    const Case cases[] = {
        {1, "yyyy-mm-dd", false, "1900-01-01"},
        {59, "yyyy-mm-dd", false, "1900-02-28"},
        {60, "yyyy-mm-dd", false, "1900-02-29"},  // the day the 1900 system counts though it never was
        {61, "yyyy-mm-dd dddd", false, "1900-03-01 Thursday"},
        {45365, "yyyy-mm-dd ddd", false, "2024-03-14 Thu"},
        {0, "yyyy-mm-dd", true, "1904-01-01"},
        {43903, "yyyy-mm-dd", true, "2024-03-14"},
        {45365.5, "h:mm AM/PM", false, "12:00 PM"},
        {45365.999999, "hh:mm:ss", false, "00:00:00"},  // rounds into the next day
        {1.0 / 86400 + 0.1 / 86400, "mm:ss.0", false, "00:01.1"},
        {1.5, "[h]:mm:ss", false, "36:00:00"},
        {45365, "mmmmm", false, "M"},
        {45365.25, "yyyy\\-mm\\-dd\" at \"h", false, "2024-03-14 at 6"},
        {45365, "yyyy-mm-dd;@", false, "2024-03-14"},
        {-1, "yyyy-mm-dd", false, "-1"},  // no date: the number rule
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDateSerial(c.serial, c.code, c.date1904), c.shown) << c.code << " " << c.serial;

    struct FormatCase {
        const char* code;
        bool date;
    };
    const FormatCase formats[] = {
        {"yyyy-mm-dd", true}, {"h:mm", true}, {"[h]:mm", true}, {"[$-F800]dddd, mmmm dd, yyyy", true},
        {"General", false}, {"0.00", false}, {"#,##0.00_);[Red](#,##0.00)", false}, {"\"days\" 0", false},
        {"0.00E+00", false}, {"[Red]0", false}, {"@", false}, {"", false},
    };
    for (const FormatCase& f : formats) EXPECT_EQ(IsDateFormat(f.code), f.date) << f.code;
    EXPECT_TRUE(IsDateFormat(BuiltinDateFormat(14)));
    EXPECT_EQ(BuiltinDateFormat(2), "");
}

TEST(Workbook, NumberRule)
{
    const std::pair<double, const char*> cases[] = {
        {12.5, "12.5"}, {3, "3"}, {0, "0"}, {-0.0, "0"}, {-2.25, "-2.25"}, {100, "100"}, {0.1 + 0.2, "0.3"},
        {1e-7, "0"}, {123456789012.0, "123456789012"}, {2.0000004, "2"}, {2.0000006, "2.000001"}, {-1e-9, "0"},
    };
    for (const auto& [v, s] : cases) EXPECT_EQ(FormatCellNumber(v), s) << v;
}

// A package made by hand: inline strings, escaped characters, phonetic
// runs, cells without references, booleans, formula results, the 1904
// date system, a chart sheet that holds no cells.
TEST(Workbook, HandMadePackageForms)
{
    const std::string ct = "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
    const std::string rootRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"book/main.xml\"/>"
        "</Relationships>";
    const std::string wbRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"/book/s/one.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet\" Target=\"c/chart.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"strings.xml\"/>"
        "<Relationship Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
        "</Relationships>";
    const std::string workbook =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<workbookPr date1904=\"1\"/><sheets><sheet name=\"Data &amp; more\" sheetId=\"1\" r:id=\"rId1\"/>"
        "<sheet name=\"Chart\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>";
    const std::string strings =
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>Name</t></si>"
        "<si><r><t>Ko</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">be </t></r><rPh sb=\"0\" eb=\"1\"><t>\xE3\x82\xB3</t></rPh></si>"
        "<si><t>a_x000D_b_x005F_x0041_</t></si></sst>";
    const std::string styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"dd.mm.yyyy\"/></numFmts>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"164\"/></cellStyleXfs>"
        "<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/></cellXfs></styleSheet>";
    const std::string sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        "<row r=\"1\"><c t=\"s\"><v>0</v></c><c t=\"inlineStr\"><is><t>Flag</t></is></c><c r=\"D1\" t=\"inlineStr\"><is><t>When</t></is></c>"
        "<c r=\"E1\" t=\"str\"><f>UPPER(\"sum\")</f><v>SUM</v></c></row>"
        "<row><c t=\"s\"><v>1</v></c><c t=\"b\"><v>1</v></c><c r=\"D2\" s=\"1\"><v>43903</v></c><c r=\"E2\"><f>1+1</f><v>2</v></c></row>"
        "<row><c t=\"s\"><v>2</v></c><c t=\"b\"><v>0</v></c><c r=\"D3\" s=\"0\"><v>43903</v></c><c t=\"e\"><v>#N/A</v></c></row>"
        "</sheetData></worksheet>";
    kvtest::TempDir dir;
    const std::string path = dir.file("hand.xlsx");
    ASSERT_TRUE(kvtest::WriteZip(path, {{"[Content_Types].xml", ct}, {"_rels/.rels", rootRels},
                                        {"book/_rels/main.xml.rels", wbRels}, {"book/main.xml", workbook},
                                        {"book/strings.xml", strings}, {"book/styles.xml", styles},
                                        {"book/s/one.xml", sheet}}));
    CWorkbookReader reader(path, false);
    std::vector<std::string> names;
    CSourceError error;
    ASSERT_TRUE(reader.ListTables(names, error)) << error.text;
    EXPECT_EQ(names, (std::vector<std::string>{"Data & more"}));
    CRecordSet set;
    CodePageScope cp(1252);
    ASSERT_TRUE(reader.ReadTable("Data & more", set, -1, error)) << error.text;
    EXPECT_EQ(set.columns, (std::vector<std::string>{"Name", "Flag", "Field 3", "When", "SUM"}));
    EXPECT_EQ(set.rows, (std::vector<std::vector<std::string>>{
                            {"Kobe ", "TRUE", "", "14.03.2024", "2"},
                            {"a\rb_x0041_", "FALSE", "", "43903", "#N/A"}}));
}

TEST(Workbook, RefusesWhatIsNoWorkbook)
{
    kvtest::TempDir dir;
    kvtest::WriteFileBytes(dir.file("fake.xlsx"), {'N', 'a', 'm', 'e', '\n'});
    const std::string broken = dir.file("broken.xlsx");
    ASSERT_TRUE(kvtest::WriteZip(broken, {{"xl/workbook.xml", "<workbook><sheets><sheet name=\"A\""}}));
    struct Case {
        std::string path;
        CSourceError::Kind kind;
    };
    const Case cases[] = {
        {dir.file("fake.xlsx"), CSourceError::unreadable},
        {broken, CSourceError::unreadable},
        {dir.file("absent.xls"), CSourceError::missingFile},
    };
    for (const Case& c : cases) {
        CWorkbookReader reader(c.path, false);
        std::vector<std::string> names;
        CSourceError error;
        EXPECT_FALSE(reader.ListTables(names, error)) << c.path;
        EXPECT_EQ(error.kind, c.kind) << c.path << ": " << error.text;
        EXPECT_NE(error.text.find(c.path), std::string::npos) << error.text;
    }
}

}  // namespace
