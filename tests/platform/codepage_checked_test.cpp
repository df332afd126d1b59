// Strict conversions for data from outside: a character the code page cannot
// hold is reported, never turned into "?".
#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace {

struct CodePageScope {
    int saved = GetAnsiCodePage();
    explicit CodePageScope(int cp) { SetAnsiCodePage(cp); }
    ~CodePageScope() { SetAnsiCodePage(saved); }
};

TEST(CodePageChecked, ReportsTheFirstCharacterTheCodePageCannotHold)
{
    struct Case {
        int codePage;
        std::string utf8;
        bool ok;
        std::string ansi;       // when ok
        char32_t bad = 0;       // when not
        size_t offset = 0;
    };
    const Case cases[] = {
        {1252, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", true, "Gr\xFC\xDF" "e \x80"},
        {1252, "ok \xE2\x9C\x93 and \xE5\xAD\x97", false, "", 0x2713, 3},
        {1251, "\xD0\x96 x \xC3\xBC", false, "", 0xFC, 5},
        {936, "\xE5\xAD\x97\xE6\xAE\xB5" "1", true, "\xD7\xD6\xB6\xCE" "1"},
        {1252, "a\xC3(", false, "", 0xFFFD, 1},       // broken UTF-8
        {1252, "\xF0\x9F\x98\x80", false, "", 0x1F600, 0},
        {1252, "", true, ""},
    };
    for (const Case& c : cases) {
        CodePageScope cp(c.codePage);
        std::string out;
        char32_t bad = 0;
        size_t offset = 99;
        EXPECT_EQ(Utf8ToAnsiChecked(c.utf8, out, &bad, &offset), c.ok) << c.utf8;
        if (c.ok) {
            EXPECT_EQ(out, c.ansi) << c.utf8;
        } else {
            EXPECT_EQ(bad, c.bad) << c.utf8;
            EXPECT_EQ(offset, c.offset) << c.utf8;
        }
    }
    EXPECT_EQ(DescribeCodePoint(0x2713), "U+2713 '\xE2\x9C\x93'");
    EXPECT_EQ(DescribeCodePoint(0x7), "U+0007");
}

TEST(CodePageChecked, AnsiBytesTheCodePageDoesNotDefine)
{
    CodePageScope cp(1252);
    std::string out;
    size_t offset = 0;
    EXPECT_TRUE(AnsiToUtf8Checked("Gr\xFC\xDF", out, &offset));
    EXPECT_EQ(out, "Gr\xC3\xBC\xC3\x9F");
    EXPECT_FALSE(AnsiToUtf8Checked("ab\x81" "c", out, &offset));
    EXPECT_EQ(offset, 2u);
    EXPECT_TRUE(IsValidUtf8("\xE2\x9C\x93"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // an overlong form
    EXPECT_EQ(Utf8ErrorOffset("ab\xE2\x9C"), 2u);
}

}  // namespace
