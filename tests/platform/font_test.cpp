// Logical fonts: face substitution, the height sign convention, average
// width, and measurement that adds up character by character.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/font.h"
#include "platform/font_substitute.h"

namespace {

LOGFONT Face(const char* name, int height, int width = 0)
{
    LOGFONT lf;
    lf.lfFaceName = name;
    lf.lfHeight = height;
    lf.lfWidth = width;
    return lf;
}

TEST(FontSubstitute, DocumentFacesMapToInstalledFamilies)
{
    const struct {
        const char* face;
        const char* family;
    } cases[] = {
        {"Arial", "Liberation Sans"},
        {"Courier New", "Liberation Mono"},
        {"Times New Roman", "Liberation Serif"},
        {"OCR-B-10 BT", "OCR B"},
        {"OCR-B 10 Pitch BT", "OCR B"},
        {"OCR-A BT", "OCRA"},
        {"DejaVu Sans", "DejaVu Sans"},       // installed: used as it is
        {"Liberation Mono", "Liberation Mono"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveFontFamily(c.face), c.family) << c.face;
        CFont f(Face(c.face, -40));
        EXPECT_EQ(f.GetFamily(), c.family) << c.face;
    }
}

TEST(FontSubstitute, UnknownFaceFallsBackToTheSystemChoice)
{
    EXPECT_EQ(ResolveFontFamily("No Such Face 123"), "No Such Face 123");
    CFont f(Face("No Such Face 123", -40));
    ASSERT_TRUE(f.IsValid());
    EXPECT_FALSE(f.GetFamily().empty());
    EXPECT_GT(f.GetTextWidth("Hello"), 0);
}

TEST(Font, NegativeHeightIsTheEmAndPositiveTheCell)
{
    // Liberation Sans keeps Arial's vertical metrics: ascent 0.905 em, descent 0.212 em.
    CFont em(Face("Arial", -100));
    EXPECT_EQ(em.GetEmHeight(), 100);
    EXPECT_EQ(em.GetTextMetrics().tmAscent, 91);
    EXPECT_EQ(em.GetTextMetrics().tmDescent, 21);
    EXPECT_EQ(em.GetTextMetrics().tmHeight, 112);
    EXPECT_EQ(em.GetTextMetrics().tmInternalLeading, 12);

    for (int cell : {20, 57, 112, 300}) {
        CFont f(Face("Arial", cell));
        EXPECT_NEAR(f.GetTextMetrics().tmHeight, cell, 1) << cell;
        EXPECT_LT(f.GetEmHeight(), cell);
    }
}

TEST(Font, AverageWidthScalesEveryCharacter)
{
    CFont natural(Face("Arial", -200));
    const int avg = natural.GetTextMetrics().tmAveCharWidth;
    ASSERT_GT(avg, 50);
    for (int width : {avg / 2, avg * 2}) {
        CFont f(Face("Arial", -200, width));
        EXPECT_EQ(f.GetTextMetrics().tmAveCharWidth, width);
        EXPECT_EQ(f.GetTextMetrics().tmHeight, natural.GetTextMetrics().tmHeight);
        const double expect = natural.GetTextWidth("WIDTH test 123") * double(width) / avg;
        EXPECT_NEAR(f.GetTextWidth("WIDTH test 123"), expect, 14) << width;  // one unit of rounding per character
    }
    // The sign of the width is ignored.
    EXPECT_EQ(CFont(Face("Arial", -200, -avg * 2)).GetTextWidth("abc"),
              CFont(Face("Arial", -200, avg * 2)).GetTextWidth("abc"));
}

TEST(Font, ExtentIsTheSumOfWholeCharacterAdvances)
{
    // No kerning: "AV" is as wide as "A" plus "V".
    CFont f(Face("Times New Roman", -37));
    EXPECT_EQ(f.GetTextWidth("AV"), f.GetTextWidth("A") + f.GetTextWidth("V"));
    int sum = 0;
    for (const auto& c : f.GetCharAdvances("Label 42")) sum += c.width;
    EXPECT_EQ(sum, f.GetTextWidth("Label 42"));
    // The monospaced face: every character 0.6 em.
    CFont mono(Face("Courier New", -100));
    EXPECT_EQ(mono.GetTextWidth("iiii"), 240);
    EXPECT_EQ(mono.GetTextWidth("WWWW"), 240);
}

TEST(Font, AdvancesAreScaledDesignWidths)
{
    // Ten times the height gives ten times the width, up to rounding.
    CFont small(Face("Arial", -100));
    CFont large(Face("Arial", -1000));
    const char* text = "The quick brown fox";
    EXPECT_NEAR(large.GetTextWidth(text), 10 * small.GetTextWidth(text), 19 * 5);
}

TEST(Font, DoubleByteCharactersCountOnce)
{
    const int saved = GetAnsiCodePage();
    SetAnsiCodePage(936);
    const std::string text = Utf8ToAnsi("\xE4\xB8\xAD" "A");  // a Chinese character, then A
    ASSERT_EQ(text.size(), 3u);
    CFont f(Face("Arial", -50));
    const auto chars = f.GetCharAdvances(text);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].bytes, 2);
    EXPECT_EQ(chars[0].ch, char32_t(0x4E2D));
    EXPECT_EQ(chars[1].offset, 2);
    EXPECT_EQ(chars[1].ch, char32_t('A'));
    SetAnsiCodePage(saved);
}

}  // namespace
