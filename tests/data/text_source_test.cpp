// Text files as data sources: splitting lines with every delimiter and
// quoting case, names in the first line or "Field %d", decoding, relocation.
#include <gtest/gtest.h>

#include "data/text_source.h"
#include "platform/codepage.h"
#include "support/kvtest.h"

namespace {

struct CodePageScope {
    int saved = GetAnsiCodePage();
    explicit CodePageScope(int cp) { SetAnsiCodePage(cp); }
    ~CodePageScope() { SetAnsiCodePage(saved); }
};

CTextFileOptions Delimited(int delimiter, char custom = ',')
{
    CTextFileOptions o;
    o.delimiter = delimiter;
    o.custom = custom;
    return o;
}

CTextFileOptions Fixed(std::vector<int> widths)
{
    CTextFileOptions o;
    o.fixedLength = true;
    o.widths = std::move(widths);
    return o;
}

struct SplitCase {
    const char* what;
    CTextFileOptions options;
    std::string line;
    std::vector<std::string> pieces;
};

TEST(TextSource, SplitsLinesByDelimiterAndQuotes)
{
    const SplitCase cases[] = {
        {"comma, blanks trimmed", Delimited(TD_COMMA), " a , b ,c ", {"a", "b", "c"}},
        {"comma keeps quotes", Delimited(TD_COMMA), "\"x\",y", {"\"x\"", "y"}},
        {"comma, empty pieces", Delimited(TD_COMMA), ",,", {"", "", ""}},
        {"tab", Delimited(TD_TAB), "a\tb, c\t", {"a", "b, c", ""}},
        {"quoted piece loses its quotes", Delimited(TD_COMMA_QUOTE), "\"x\",y", {"x", "y"}},
        {"a lone quote stays", Delimited(TD_COMMA_QUOTE), "\"", {"\""}},
        {"quotes around blanks", Delimited(TD_COMMA_QUOTE), " \"x\" , y", {"x", "y"}},
        {"comma inside quotes", Delimited(TD_COMMA_QUOTE), "\"Smith, John\",42", {"Smith, John", "42"}},
        {"doubled quote inside quotes", Delimited(TD_COMMA_QUOTE), "\"say \"\"hi\"\"\",2", {"say \"hi\"", "2"}},
        {"blanks kept inside quotes", Delimited(TD_COMMA_QUOTE), "\"  x  \"", {"  x  "}},
        {"quote that never closes", Delimited(TD_COMMA_QUOTE), "\"open,b", {"\"open", "b"}},
        {"text after the closing quote", Delimited(TD_COMMA_QUOTE), "\"a\"b,c", {"\"a\"b", "c"}},
        {"quote inside an unquoted piece", Delimited(TD_COMMA_QUOTE), "5\" pipe,x", {"5\" pipe", "x"}},
        {"empty quoted piece", Delimited(TD_COMMA_QUOTE), "\"\",z", {"", "z"}},
        {"custom", Delimited(TD_CUSTOM, ';'), "1;2;;3", {"1", "2", "", "3"}},
        {"custom without a character is a comma", Delimited(TD_CUSTOM, '\0'), "1,2;3", {"1", "2;3"}},
        {"custom character of the code page in a UTF-8 line", Delimited(TD_CUSTOM, '\xA7'), "a\xC2\xA7" "b", {"a", "b"}},
        {"fixed widths", Fixed({2, 3}), "abcdefg", {"ab", "cde"}},
        {"fixed, short line", Fixed({2, 3}), "a", {"a", ""}},
        {"fixed widths count characters", Fixed({2, 2}), "\xC3\xA4\xC3\xB6\xC3\xBCx", {"\xC3\xA4\xC3\xB6", "\xC3\xBCx"}},
        {"fixed, padding trimmed", Fixed({4, 4}), "ab  12  ", {"ab", "12"}},
        {"fixed without widths", Fixed({}), "abc", {}},
    };
    CodePageScope cp(1252);
    for (const SplitCase& c : cases) EXPECT_EQ(SplitTextLine(c.line, c.options), c.pieces) << c.what;
}

struct RecordsCase {
    const char* what;
    std::string text;
    CTextFileOptions options;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

TEST(TextSource, NamesFromTheFirstLineOrNumbered)
{
    CTextFileOptions namesOff = Delimited(TD_COMMA);
    namesOff.firstLineIsData = true;
    CTextFileOptions fixedNames = Fixed({3, 2});
    const RecordsCase cases[] = {
        {"names in the first line", "A,B,C\n1,2,3\n4,5,6\n", Delimited(TD_COMMA), {"A", "B", "C"}, {{"1", "2", "3"}, {"4", "5", "6"}}},
        {"names off: numbered, first line is a record", "A,B,C\n1,2,3\n", namesOff, {"Field 1", "Field 2", "Field 3"},
         {{"A", "B", "C"}, {"1", "2", "3"}}},
        {"empty file", "", Delimited(TD_COMMA), {}, {}},
        {"names only", "A,B\n", Delimited(TD_COMMA), {"A", "B"}, {}},
        {"CRLF, last line without newline", "A\r\nx\r\ny", Delimited(TD_COMMA), {"A"}, {{"x"}, {"y"}}},
        {"a blank line is a record", "A,B\n1,2\n\n3,4\n", Delimited(TD_COMMA), {"A", "B"}, {{"1", "2"}, {""}, {"3", "4"}}},
        {"short and long lines", "A,B\n1\n1,2,3\n", Delimited(TD_COMMA), {"A", "B"}, {{"1"}, {"1", "2", "3"}}},
        {"quoted names", "\"Name, full\",\"Qty\"\n\"a, b\",1\n", Delimited(TD_COMMA_QUOTE), {"Name, full", "Qty"}, {{"a, b", "1"}}},
        {"fixed length with widths", "Nam12\nabc34\n", fixedNames, {"Nam", "12"}, {{"abc", "34"}}},
        {"fixed length without widths: no fields, records still counted", "x\ny\nz\n", Fixed({}), {}, {{}, {}}},
    };
    for (const RecordsCase& c : cases) {
        const CRecordSet set = ParseTextRecords(c.text, c.options);
        EXPECT_EQ(set.columns, c.columns) << c.what;
        EXPECT_EQ(set.rows, c.rows) << c.what;
    }
}

TEST(TextSource, DecodesByByteOrderMarkUtf8OrCodePage)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e", "Gr\xC3\xBC\xC3\x9F" "e"},
        {"UTF-8 without one", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93"},
        {"UTF-16LE", std::string("\xFF\xFE" "A\0\xFC\0\x13\x27", 8), "A\xC3\xBC\xE2\x9C\x93"},
        {"UTF-16BE with a pair", std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6), "\xF0\x9F\x98\x80"},
        {"code page 1252", "Gr\xFC\xDF" "e", "Gr\xC3\xBC\xC3\x9F" "e"},
    };
    CodePageScope cp(1252);
    for (const Case& c : cases) {
        std::string text, error;
        ASSERT_TRUE(DecodeTextFile(c.bytes, "f.txt", text, error)) << c.what << ": " << error;
        EXPECT_EQ(text, c.text) << c.what;
    }
    // A byte the code page does not define is an error naming file, line and byte.
    std::string text, error;
    EXPECT_FALSE(DecodeTextFile("A,B\n\xE9,\x81\n", "items.txt", text, error));
    EXPECT_NE(error.find("items.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_NE(error.find("0x81"), std::string::npos) << error;
    // With the UTF-8 mark, bytes that are not UTF-8 are an error, not another code page.
    EXPECT_FALSE(DecodeTextFile("\xEF\xBB\xBF" "A\nB\n\xE9t\xE9\n", "marked.txt", text, error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_NE(error.find("0xE9"), std::string::npos) << error;
}

TEST(TextSource, OptionsTextKeepsEverySetting)
{
    const CTextFileOptions o = CTextFileOptions::Parse("1\n1\n3\n;\n5,10,3\n");
    EXPECT_TRUE(o.fixedLength);
    EXPECT_TRUE(o.firstLineIsData);
    EXPECT_EQ(o.delimiter, TD_CUSTOM);
    EXPECT_EQ(o.custom, ';');
    EXPECT_EQ(o.widths, (std::vector<int>{5, 10, 3}));
    EXPECT_EQ(o.Format(), "1\n1\n3\n;\n5,10,3\n");
    EXPECT_EQ(CTextFileOptions::Parse(o.Format()), o);

    // Without widths the text is the four classic lines; a control character is stored as ",".
    CTextFileOptions tab = Delimited(TD_CUSTOM, '\t');
    EXPECT_EQ(tab.Format(), "0\n0\n3\n,\n");
    // Missing items read as 0 or empty.
    const CTextFileOptions empty = CTextFileOptions::Parse("");
    EXPECT_FALSE(empty.fixedLength);
    EXPECT_EQ(empty.delimiter, TD_COMMA);
    EXPECT_EQ(empty.custom, '\0');
}

TEST(TextSource, ReaderFindsAMovedFileInTheDocumentFolder)
{
    kvtest::TempDir dir;
    kvtest::WriteFileBytes(dir.file("items.csv"), {'A', ',', 'B', '\n', '1', ',', '2', '\n'});
    CTextFileReader moved("C:\\Labels\\Data\\items.csv", Delimited(TD_COMMA), dir.path());
    CRecordSet set;
    CSourceError error;
    ASSERT_TRUE(moved.ReadTable("", set, -1, error)) << error.text;
    EXPECT_EQ(moved.OpenedPath(), dir.file("items.csv"));
    EXPECT_EQ(set.columns, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(set.rows, (std::vector<std::vector<std::string>>{{"1", "2"}}));

    CTextFileReader missing(dir.file("none.csv"), Delimited(TD_COMMA), dir.path());
    EXPECT_FALSE(missing.ReadTable("", set, -1, error));
    EXPECT_EQ(error.kind, CSourceError::missingFile);
    EXPECT_NE(error.text.find("none.csv"), std::string::npos);
}

TEST(TextSource, PreviewStopsAtTheRowLimit)
{
    std::string text = "N\n";
    for (int i = 1; i <= 50; ++i) text += std::to_string(i) + "\n";
    const CRecordSet set = ParseTextRecords(text, Delimited(TD_COMMA), 10);
    ASSERT_EQ(set.RecordCount(), 10);
    EXPECT_EQ(set.Value(10, 0), "10");
    EXPECT_EQ(set.Value(11, 0), "");
    EXPECT_EQ(set.Value(1, 5), "");
}

}  // namespace
