// The pieces of TSPL commands: rotation, Code 128 in manual mode, quoted
// field data, the page size, and the page setup from the job's settings
// block, from the TSC system driver's settings and from the private part
// of other printer settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/tspl_commands.h"
#include "encoders/linear_entries.h"
#include "platform/devmode.h"

namespace {

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines) out += l;
    return out;
}

TEST(TsplFields, RotationAndCode128ManualData)
{
    EXPECT_EQ(std::vector<int>({TsplRotationDegrees(0), TsplRotationDegrees(1), TsplRotationDegrees(2),
                                TsplRotationDegrees(3), TsplRotationDegrees(5)}),
              std::vector<int>({0, 270, 180, 90, 270}));
    const struct {
        const char* caret;
        const char* expected;
    } cases[] = {
        {"^C1234", "!1051234"},                     // set C, as the printer is to start it
        {"^BAB^112", "!104AB!10212"},               // FNC1 inside the data
        {"^A^1^2^3^A^B^C^Sx", "!103!102!097!096!101!100!099!098x"},
        {"^Ba^^b", "!104a^b"},                      // a doubled caret is one caret
        {"^BSALE!100", "!104SALE!001100"},          // a data "!" cannot start a code
        {"^Ba^Zb", "!104ab"},                       // an unknown code is dropped
    };
    for (const auto& c : cases) EXPECT_EQ(TsplCode128Data(c.caret), c.expected) << c.caret;
    EXPECT_EQ(TsplCode128Data(Code128ToCaret("1234", C128_SET_C)), "!1051234");
}

TEST(TsplFields, QuotedDataAndBytesThatEndTheLine)
{
    const struct {
        std::string data;
        const char* quoted;
        size_t forbidden;
    } cases[] = {
        {"LOT 42", "LOT 42", std::string::npos},
        {"12\" PIPE", "12\\[\"] PIPE", std::string::npos},
        {"\"\"", "\\[\"]\\[\"]", std::string::npos},
        {"a,b\\c'", "a,b\\c'", std::string::npos},
        {"two\rlines", "two\rlines", 3},
        {"line\nfeed", "line\nfeed", 4},
        {std::string("nul\0x", 5), "", 3},
    };
    for (const auto& c : cases) {
        if (c.forbidden == std::string::npos) EXPECT_EQ(TsplQuotedData(c.data), c.quoted) << c.data;
        EXPECT_EQ(TsplForbiddenByte(c.data), c.forbidden) << c.data;
    }
}

TEST(TsplSetup, SizeOfARowOfLabels)
{
    // Two 40 mm labels across with a 2 mm gap, 30 mm high.
    EXPECT_EQ(TsplSizeLine({4000, 3000, 2, 200, 300}), "SIZE 82.00 mm,30.00 mm\r\n");
    EXPECT_EQ(TsplSizeLine({5050, 2525, 1, 200, 300}), "SIZE 50.50 mm,25.25 mm\r\n");
    EXPECT_EQ(TsplMillimetres(0.005), "0.01 mm");
}

TEST(TsplSetup, FromTheSettingsBlock)
{
    const TsplPage page{4000, 3000, 1, 0, 300};
    const auto block = [](std::initializer_list<std::pair<int, int>> values) {
        SettingsBlock s{};
        for (const auto& [index, value] : values) s[size_t(index)] = value;
        return s;
    };
    const struct {
        SettingsBlock settings;
        const char* expected;
    } cases[] = {
        // 4 in/s in micrometres per second, tear-off, ribbon, gap sensing
        // with its offset, a 1.5 mm print offset.
        {block({{TSS_SPEED, 101600}, {TSS_DENSITY, 8}, {TSS_PRINT_MODE, 1}, {TSS_RIBBON, 1}, {TSS_MEDIA, 1},
                {TSS_GAP_OFFSET, 500}, {TSS_OFFSET, 1500}}),
         "SPEED 4\r\nDENSITY 8\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\nSET TEAR ON\r\nSET RIBBON ON\r\nDIRECTION 1\r\n"
         "SIZE 40.00 mm,30.00 mm\r\nGAP 3.00 mm,0.50 mm\r\nOFFSET 1.50 mm\r\nREFERENCE 0,0\r\n"},
        // Continuous media, direct thermal (no ribbon line), no print mode.
        {block({{TSS_THERMAL_DIRECT, 1}, {TSS_PRINT_MODE, 0}}),
         "SPEED 0\r\nDENSITY 0\r\nSET CUTTER OFF\r\nSET PEEL OFF\r\nSET TEAR OFF\r\nDIRECTION 1\r\n"
         "SIZE 40.00 mm,30.00 mm\r\nGAP 0,0\r\nOFFSET 0.00 mm\r\nREFERENCE 0,0\r\n"},
        // Cutter every 5 labels on black-line media.
        {block({{TSS_PRINT_MODE, 4}, {TSS_CUT_MODE, 3}, {TSS_CUT_COUNT, 5}, {TSS_MEDIA, 2}, {TSS_BLINE_HEIGHT, 3000},
                {TSS_BLINE_OFFSET, 250}}),
         "SPEED 0\r\nDENSITY 0\r\nSET PEEL OFF\r\nSET TEAR OFF\r\nSET CUTTER 5\r\nSET RIBBON OFF\r\nDIRECTION 1\r\n"
         "SIZE 40.00 mm,30.00 mm\r\nBLINE 3.00 mm,0.25 mm\r\nOFFSET 0.00 mm\r\nREFERENCE 0,0\r\n"},
        // Peel; a cutter without a count cuts the batch.
        {block({{TSS_PRINT_MODE, 2}, {TSS_MEDIA, 1}}),
         "SPEED 0\r\nDENSITY 0\r\nSET PEEL ON\r\nSET CUTTER OFF\r\nSET TEAR OFF\r\nSET RIBBON OFF\r\nDIRECTION 1\r\n"
         "SIZE 40.00 mm,30.00 mm\r\nGAP 3.00 mm,0.00 mm\r\nOFFSET 0.00 mm\r\nREFERENCE 0,0\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Joined(TsplSetupFromSettings(c.settings, page)), c.expected);
    SettingsBlock batch{};
    batch[TSS_PRINT_MODE] = 4;
    EXPECT_NE(Joined(TsplSetupFromSettings(batch, page)).find("SET CUTTER BATCH\r\n"), std::string::npos);
}

TEST(TsplSetup, TheTscDriverSettingsFillTheBlock)
{
    std::vector<std::uint8_t> dm = MakeDevMode("TSC", 0x701, 1292, 0x401);
    DevModeSetDword(dm, 0x564, 1);       // ribbon
    DevModeSetDword(dm, 0x570, 2);       // continuous
    DevModeSetDword(dm, 0x59C, 76200);   // 3 in/s
    DevModeSetDword(dm, 0x568, 11);
    DevModeSetDword(dm, 0x57C, 2000);
    DevModeSetDword(dm, 0x574, 7);
    DevModeSetWord(dm, 0x594, 4);        // cutter
    DevModeSetWord(dm, 0x596, 3);        // by count
    DevModeSetDword(dm, 0x584, 400);
    SettingsBlock s{};
    ASSERT_TRUE(TsplSettingsFromTscDriver(CDevModeView(dm), s));
    EXPECT_EQ(Joined(TsplSetupFromSettings(s, {4000, 3000, 1, 0, 300})),
              "SPEED 3\r\nDENSITY 11\r\nSET PEEL OFF\r\nSET TEAR OFF\r\nSET CUTTER 7\r\nSET RIBBON ON\r\n"
              "DIRECTION 1\r\nSIZE 40.00 mm,30.00 mm\r\nGAP 0,0\r\nOFFSET 2.00 mm\r\nREFERENCE 0,0\r\n");

    // Another driver's settings, or another layout, leave the block alone.
    for (const auto& [version, extra, spec] :
         {std::tuple<WORD, WORD, WORD>{0x700, 1292, 0x401}, {0x701, 1290, 0x401}, {0x701, 1292, 0x400}}) {
        SettingsBlock untouched{};
        untouched[TSS_DENSITY] = 3;
        EXPECT_FALSE(TsplSettingsFromTscDriver(CDevModeView(MakeDevMode("TSC", version, extra, spec)), untouched));
        EXPECT_EQ(untouched[TSS_DENSITY], 3);
    }
}

TEST(TsplSetup, StraightFromThePrivateSettings)
{
    const TsplPage page{4000, 3000, 1, 0, 300};
    const struct {
        WORD spec;
        int method, ribbon, sensor, cutCount;
        const char* expected;
    } cases[] = {
        {0x401, 1, 1, 0, 0,
         "SPEED 4.0\r\nDENSITY 9\r\nSET STRIPER OFF\r\nSET PEEL ON\r\nSET CUTTER OFF\r\nSET RIBBON ON\r\nDIRECTION 1\r\n"
         "SIZE 40.00 mm,30.00 mm\r\nGAP 3.00 mm,1.50 mm\r\nOFFSET 1.25 mm\r\nREFERENCE 0,0\r\n"},
        {0x400, 4, 0, 1, 10,
         "SPEED 4.0\r\nDENSITY 9\r\nSET PEEL OFF\r\nSET CUTTER 10\r\nSET RIBBON OFF\r\nDIRECTION 1\r\n"
         "SIZE 40.00 mm,30.00 mm\r\nBLINE 2.00 mm,0.50 mm\r\nOFFSET 1.25 mm\r\nREFERENCE 0,0\r\n"},
        {0x401, 4, 0, 2, 0,
         "SPEED 4.0\r\nDENSITY 9\r\nSET PEEL OFF\r\nSET CUTTER BATCH\r\nSET RIBBON OFF\r\nDIRECTION 1\r\n"
         "SIZE 40.00 mm,30.00 mm\r\nGAP 0,0\r\nOFFSET 1.25 mm\r\nREFERENCE 0,0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const size_t p = c.spec == 0x400 ? 0x4F8 : 0x564;
        std::vector<std::uint8_t> dm = MakeDevMode("TSC", 0x100, WORD(p + 0x40 - 156), c.spec);
        DevModeSetDword(dm, p + 0x00, DWORD(c.ribbon));
        DevModeSetDword(dm, p + 0x04, 9);
        DevModeSetDword(dm, p + 0x08, DWORD(c.method));
        DevModeSetDword(dm, p + 0x0C, DWORD(c.sensor));
        DevModeSetDword(dm, p + 0x10, DWORD(c.cutCount));
        DevModeSetDword(dm, p + 0x14, 4);
        DevModeSetDword(dm, p + 0x18, 1250);
        DevModeSetDword(dm, p + 0x20, 15);
        DevModeSetDword(dm, p + 0x24, 2000);
        DevModeSetDword(dm, p + 0x28, 500);
        EXPECT_EQ(Joined(TsplSetupFromDevMode(CDevModeView(dm), page)), c.expected);
    }
    // Without a private part: what the label format says.
    EXPECT_EQ(Joined(TsplSetupFromDevMode(CDevModeView(), page)),
              "DIRECTION 1\r\nSIZE 40.00 mm,30.00 mm\r\nGAP 3.00 mm,0.00 mm\r\nREFERENCE 0,0\r\n");
    EXPECT_EQ(Joined(TsplSetupFromDevMode(CDevModeView(MakeDevMode("x", 0, 0, 0x300)), {4000, 3000, 1, 0, 300, 1})),
              "DIRECTION 1\r\nSIZE 40.00 mm,30.00 mm\r\nGAP 0,0\r\nREFERENCE 0,0\r\n");
}

}  // namespace
