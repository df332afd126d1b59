// The pieces of ZPL II text the ZPL driver is made of: setup, quantity
// lines, field data (and its escape of printer commands), Code 128 subset
// codes, graphic data with and without compression, and the settings read
// from the Zebra system driver's private block in both layouts, down to the
// setup a CUPS sample ZPL queue's options give.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "drivers/command_helpers.h"
#include "drivers/own_printers.h"
#include "drivers/printer_list.h"
#include "drivers/zpl_commands.h"
#include "encoders/linear_entries.h"
#include "model/labelformat.h"
#include "platform/devmode.h"
#include "platform/monobitmap.h"
#include "platform/spooler.h"
#include "support/cupsd.h"
#include "support/zpl_interpreter.h"

namespace {

using Settings = std::array<int, kZplSettingsCount>;

// Every suppress flag set and every chooser at a value that sends nothing.
Settings AllSuppressed()
{
    Settings s{};
    for (int i : {ZS_SUPPRESS_RATE, ZS_SUPPRESS_DARKNESS, ZS_SUPPRESS_TRACKING, ZS_SUPPRESS_MEDIA,
                  ZS_SUPPRESS_LABEL_TOP, ZS_SUPPRESS_TEAR_OFF, ZS_SUPPRESS_MEDIA_FEED})
        s[size_t(i)] = 1;
    s[ZS_HEAD_TEST] = 5;
    s[ZS_REPRINT] = 2;
    s[ZS_PRINT_MODE] = 0;
    return s;
}

constexpr char kSetupStart[] = "^XA^SZ2^MCY";
constexpr char kSetupEnd[] = "^PMN^PON^JMA^LH0,0^LRN^XZ\n";

TEST(ZplSetup, SuppressedSettingsLeaveOnlyTheFixedCommands)
{
    EXPECT_EQ(ZplSetupFormat(AllSuppressed(), 999), std::string(kSetupStart) + kSetupEnd);
}

TEST(ZplSetup, EachSettingSendsItsCommandInItsPlace)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> set;  // index, value over AllSuppressed
        const char* commands;                  // between the fixed start and end
    } cases[] = {
        {"direct thermal", {{ZS_SUPPRESS_TRACKING, 0}, {ZS_THERMAL_TRANSFER, 0}}, "^MTD"},
        {"thermal transfer", {{ZS_SUPPRESS_TRACKING, 0}, {ZS_THERMAL_TRANSFER, 1}}, "^MTT"},
        {"tear-off adjust", {{ZS_SUPPRESS_TEAR_OFF, 0}, {ZS_TEAR_OFF, -12}}, "~TA-12"},
        {"head test normal", {{ZS_HEAD_TEST, 0}}, "~JSN"},
        {"head test backfeed", {{ZS_HEAD_TEST, 1}}, "~JSB"},
        {"head test after", {{ZS_HEAD_TEST, 2}}, "~JSA"},
        {"head test off", {{ZS_HEAD_TEST, 3}}, "~JSO"},
        {"head test percent", {{ZS_HEAD_TEST, 4}, {ZS_HEAD_TEST_PERCENT, 60}}, "~JS60"},
        {"darkness MD", {{ZS_SUPPRESS_DARKNESS, 0}, {ZS_DARKNESS_FORM, 1}, {ZS_DARKNESS_MD, -5}}, "^MD-5"},
        {"darkness SD", {{ZS_SUPPRESS_DARKNESS, 0}, {ZS_DARKNESS_FORM, 0}, {ZS_DARKNESS_SD, 22}}, "^SD22^MD0"},
        {"label top", {{ZS_SUPPRESS_LABEL_TOP, 0}, {ZS_LABEL_TOP, 30}}, "^LT30"},
        {"tear-off mode", {{ZS_PRINT_MODE, 1}}, "^MMT"},
        {"peel-off mode", {{ZS_PRINT_MODE, 2}}, "^MMP"},
        {"rewind mode", {{ZS_PRINT_MODE, 3}}, "^MMR"},
        {"cutter mode", {{ZS_PRINT_MODE, 4}}, "^MMC"},
        {"media feed", {{ZS_SUPPRESS_MEDIA_FEED, 0}, {ZS_FEED_POWER_UP, 2}, {ZS_FEED_HEAD_CLOSE, 3}}, "^MFL,C"},
        {"media feed out of range", {{ZS_SUPPRESS_MEDIA_FEED, 0}, {ZS_FEED_POWER_UP, 4}}, ""},
        {"reprint", {{ZS_REPRINT, 0}}, "^JZY"},
        {"no reprint", {{ZS_REPRINT, 1}}, "^JZN"},
        {"continuous", {{ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 0}}, "^MNN^LL999"},
        {"web sensing", {{ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 1}}, "^MNW"},
        {"mark sensing", {{ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 2}}, "^MNM"},
        {"print rate", {{ZS_SUPPRESS_RATE, 0}, {ZS_PRINT_SPEED, 4}, {ZS_SLEW_SPEED, 6}, {ZS_BACKFEED_SPEED, 2}},
         "^PR4,6,2"},
        // All at once: the order of the commands is fixed.
        {"order",
         {{ZS_SUPPRESS_RATE, 0}, {ZS_PRINT_SPEED, 3}, {ZS_SLEW_SPEED, 3}, {ZS_BACKFEED_SPEED, 3},
          {ZS_SUPPRESS_TRACKING, 0}, {ZS_THERMAL_TRANSFER, 1}, {ZS_SUPPRESS_TEAR_OFF, 0}, {ZS_TEAR_OFF, 1},
          {ZS_HEAD_TEST, 0}, {ZS_SUPPRESS_DARKNESS, 0}, {ZS_DARKNESS_FORM, 1}, {ZS_DARKNESS_MD, 2},
          {ZS_SUPPRESS_LABEL_TOP, 0}, {ZS_LABEL_TOP, 3}, {ZS_PRINT_MODE, 4}, {ZS_SUPPRESS_MEDIA_FEED, 0},
          {ZS_FEED_POWER_UP, 0}, {ZS_FEED_HEAD_CLOSE, 1}, {ZS_REPRINT, 1}, {ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 1}},
         "^MTT~TA1~JSN^MD2^LT3^MMC^MFF,N^JZN^MNW^PR3,3,3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s = AllSuppressed();
        for (const auto& [index, value] : c.set) s[size_t(index)] = value;
        EXPECT_EQ(ZplSetupFormat(s, 999), std::string(kSetupStart) + c.commands + kSetupEnd);
    }
}

TEST(ZplSetup, ContinuousMediaFeedsLabelHeightAndGap)
{
    // 30 mm labels with a 2 mm gap at 203 dpi: MulDiv(3200 x 203, 10, 25402) = 256.
    CLabelFormat format;
    format.m_nLabelHeight = 3000;
    format.m_nVGap = 200;
    format.m_nHDpi = format.m_nVDpi = 203;
    EXPECT_EQ(ContinuousLabelLength(format), 256);
    Settings s = AllSuppressed();
    s[ZS_SUPPRESS_MEDIA] = 0;
    s[ZS_MEDIA] = 0;
    EXPECT_NE(ZplSetupFormat(s, ContinuousLabelLength(format)).find("^MNN^LL256^PMN"), std::string::npos);
}

TEST(ZplQuantity, EachPrintModeEndsTheFormatWithItsQuantityCommand)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> set;
        ZplQuantity q;  // quantity, copies, labels, across
        const char* line;
    } cases[] = {
        // Four labels on two columns, fixed data, no cutter: two rows.
        {"pause 0", {}, {2, 1, 4, 2}, "^PQ2,0,1,Y\n^XZ"},
        {"pause 0, last short row", {}, {1, 1, 5, 2}, "^PQ1,0,1,Y\n^XZ"},
        {"pause 2", {{ZS_PAUSE_MODE, 2}}, {3, 2, 3, 1}, "^PQ6,0,2,Y\n^XZ"},
        {"pause every label", {{ZS_PAUSE_MODE, 1}}, {3, 2, 3, 1}, "^PQ6,1,2,N\n^XZ"},
        {"pause every 6 on 2 across", {{ZS_PAUSE_MODE, 3}, {ZS_PAUSE_EVERY, 6}}, {5, 1, 10, 2}, "^PQ5,3,1,N\n^XZ"},
        {"pause every 1 on 2 across", {{ZS_PAUSE_MODE, 3}, {ZS_PAUSE_EVERY, 1}}, {5, 1, 10, 2}, "^PQ5,1,1,N\n^XZ"},
        {"pause every set", {{ZS_PAUSE_MODE, 4}}, {4, 1, 9, 2}, "^PQ4,4,1,N\n^XZ"},
        {"pause every set, fewer labels than across", {{ZS_PAUSE_MODE, 4}}, {1, 1, 1, 3}, "^PQ1,1,1,N\n^XZ"},
        {"unknown pause mode", {{ZS_PAUSE_MODE, 9}}, {2, 1, 2, 1}, "^PQ2,0,1,Y\n^XZ"},
        {"cut every label", {{ZS_PRINT_MODE, 4}, {ZS_CUT_MODE, 0}}, {3, 2, 3, 1}, "^PQ6,1,2,Y\n^XZ"},
        {"cut every set", {{ZS_PRINT_MODE, 4}, {ZS_CUT_MODE, 1}}, {2, 1, 8, 2}, "^PQ2,4,1,Y\n^XZ"},
        {"no cut in the job", {{ZS_PRINT_MODE, 4}, {ZS_CUT_MODE, 2}}, {2, 3, 2, 1}, "^PQ6,0,3,Y\n^XZ"},
        {"cut every 4 on 2 across", {{ZS_PRINT_MODE, 4}, {ZS_CUT_MODE, 3}, {ZS_CUT_EVERY, 4}}, {2, 1, 8, 2},
         "^PQ2,2,1,Y\n^XZ"},
        {"cutter, pause override", {{ZS_PRINT_MODE, 4}, {ZS_PAUSE_OVERRIDE, 1}}, {1, 1, 1, 1}, "^PQ1,1,1,N\n^XZ"},
        // The pause mode belongs to the other print modes only.
        {"cutter ignores pause mode", {{ZS_PRINT_MODE, 4}, {ZS_PAUSE_MODE, 1}, {ZS_CUT_MODE, 2}}, {1, 1, 1, 1},
         "^PQ1,0,1,Y\n^XZ"},
        {"peel-off uses the pause mode", {{ZS_PRINT_MODE, 2}, {ZS_PAUSE_MODE, 1}, {ZS_CUT_MODE, 2}}, {1, 1, 1, 1},
         "^PQ1,1,1,N\n^XZ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s{};
        for (const auto& [index, value] : c.set) s[size_t(index)] = value;
        EXPECT_EQ(ZplQuantityLine(s, c.q), c.line);
    }
}

TEST(ZplQuantity, OnlyACutterThatDoesNotCutInTheJobCutsAtTheEnd)
{
    const struct {
        int mode, cut;
        const char* end;
    } cases[] = {{4, 2, "^XA^MMC^PH^XZ"}, {4, 0, ""}, {4, 3, ""}, {1, 2, ""}, {0, 2, ""}};
    for (const auto& c : cases) {
        Settings s{};
        s[ZS_PRINT_MODE] = c.mode;
        s[ZS_CUT_MODE] = c.cut;
        EXPECT_EQ(ZplEndOfJob(s), c.end) << c.mode << " " << c.cut;
    }
}

TEST(ZplFieldData, DataThatWouldRunCommandsIsSentEscaped)
{
    const struct {
        const char* data;
        const char* field;
    } cases[] = {
        {"KV1234567890", "^FDKV1234567890^FS"},
        {"", "^FD^FS"},
        {"50% off_now, >here<", "^FD50% off_now, >here<^FS"},  // nothing to escape: exactly as given
        {"^XZ^XA^FDinjected", "^FH^FD_5EXZ_5EXA_5EFDinjected^FS"},
        {"~JR", "^FH^FD_7EJR^FS"},
        {"a_b^c", "^FH^FDa_5Fb_5Ec^FS"},
        {"\xC4pfel ~", "^FH^FD\xC4pfel _7E^FS"},
    };
    for (const auto& c : cases) EXPECT_EQ(ZplFieldData(c.data), c.field) << c.data;
}

TEST(ZplFieldData, HostileDataNeverStartsACommand)
{
    // Whatever the data, the field holds no command character before its
    // end, and reading the escapes back gives the data.
    std::mt19937 random(20);
    const std::string alphabet = "^~_,AXZFD0 \x0F\r\n";
    for (int round = 0; round < 500; ++round) {
        std::string data;
        const int n = int(random() % 24);
        for (int i = 0; i < n; ++i) data += alphabet[random() % alphabet.size()];
        const std::string field = ZplFieldData(data);
        ASSERT_GE(field.size(), 6u);
        ASSERT_EQ(field.substr(field.size() - 3), "^FS");
        const bool escaped = field.rfind("^FH^FD", 0) == 0;
        const std::string body = field.substr(escaped ? 6 : 3, field.size() - (escaped ? 9 : 6));
        EXPECT_EQ(body.find_first_of("^~"), std::string::npos) << field;
        EXPECT_EQ(kvtest::ZplUnescapeField(body, escaped), data);
    }
}

TEST(ZplFieldData, SerialNumbersCountWithTheirIncrement)
{
    EXPECT_EQ(ZplSerialField("A0001", 1), "^SNA0001,1,Y^FS");
    EXPECT_EQ(ZplSerialField("0100", -5), "^SN0100,-5,Y^FS");
    // A prefix that would end the value or the field is escaped.
    EXPECT_EQ(ZplSerialField("1,2^~_9", 2), "^FH^SN1_2C2_5E_7E_5F9,2,Y^FS");
}

TEST(ZplCode128, CaretCodesBecomeSubsetInvocations)
{
    const struct {
        const char* caret;
        const char* zpl;
    } cases[] = {
        {"^C1234", ">;1234"},
        {"^Babc", ">:abc"},
        {"^A\x01X", ">9\x01X"},
        {"^C^1011234^Bx", ">;>8011234>6x"},
        {"^B^2^3^S^A^C", ">:>3>2>4>7>5"},
        {"^Ba^^b", ">:a><b"},
        {"^Ba>b_c", ">:a>0b>1c"},
        {"^Ba^Zb^", ">:ab"},  // unknown codes and a lone caret are dropped
        {"^1abc", "abc"},     // no start code for another start letter
        {"abc", "abc"},       // manual data without a start
    };
    for (const auto& c : cases) EXPECT_EQ(ZplCode128Data(c.caret), c.zpl) << c.caret;
    // Through the encoder's converter, as the driver calls it.
    EXPECT_EQ(ZplCode128Data(Code128ToCaret("1234", C128_SET_C)), ">;1234");
    EXPECT_EQ(ZplCode128Data(Code128ToCaret("0112345678901231", GS1_128_AUTO)), ">;>80112345678901231");
}

TEST(ZplGraphic, RunCountsFollowTheCountLetters)
{
    const struct {
        int n;
        const char* code;
    } cases[] = {{1, "G"},   {19, "Y"},  {20, "g"},   {21, "gG"}, {39, "gY"},  {40, "h"},
                 {380, "y"}, {399, "yY"}, {400, "z"}, {401, "zG"}, {820, "zzg"}, {0, ""}};
    for (const auto& c : cases) {
        std::string out;
        AppendZplRunCount(out, c.n);
        EXPECT_EQ(out, c.code) << c.n;
    }
}

// A bitmap of rows of bytes (1 = black, as the printer reads them), width in pixels.
CMonoBitmap FromPrinterRows(int width, const std::vector<std::vector<std::uint8_t>>& rows)
{
    CMonoBitmap b(width, int(rows.size()));
    for (int y = 0; y < int(rows.size()); ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y, (rows[size_t(y)][size_t(x / 8)] & (0x80 >> (x % 8))) != 0);
    return b;
}

TEST(ZplGraphic, RowsBecomeHexWithTheirPaddingCleared)
{
    // 10 pixels wide: 2 bytes a row, the last six bits of the second byte
    // are padding and go out clear even where the bitmap's padding is black.
    CMonoBitmap b = FromPrinterRows(10, {{0xFF, 0xC0}, {0x81, 0x40}});
    for (int y = 0; y < 2; ++y) b.Row(y)[1] &= 0xC0;  // padding bits black in the bitmap
    EXPECT_EQ(ZplGraphicData(b, false), "4,2,FFC08140");
    EXPECT_EQ(ZplGraphicData(CMonoBitmap(), false), "");
    EXPECT_EQ(ZplGraphicData(CMonoBitmap(), true), "");
}

TEST(ZplGraphic, CompressionCodesRowsAndRuns)
{
    const std::vector<std::uint8_t> aa(24, 0xAA), zero(24, 0), ones(24, 0xFF);
    std::vector<std::uint8_t> mixed(24, 0);
    mixed[0] = 0x0F;
    mixed[23] = 0x11;
    std::vector<std::uint8_t> tailBlack(24, 0xFF);
    tailBlack[0] = 0x12;
    const struct {
        const char* name;
        std::vector<std::vector<std::uint8_t>> rows;
        const char* data;
    } cases[] = {
        {"white row", {zero}, "24,24,,"},
        {"black row", {ones}, "24,24,!"},
        {"24 bytes of AA", {aa}, "24,24,hNA"},
        {"row as above", {aa, aa, zero, zero}, "96,24,hNA:,:"},
        {"runs of one still counted", {mixed}, "24,24,G0GFhJ0H1"},
        {"black to the end", {tailBlack}, "24,24,G1G2!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CMonoBitmap b = FromPrinterRows(24 * 8, c.rows);
        EXPECT_EQ(ZplGraphicData(b, true), c.data);
    }
}

TEST(ZplGraphic, CompressedAndPlainDataDrawTheSameBitmap)
{
    std::mt19937 random(7);
    for (const int width : {1, 7, 8, 9, 203, 830}) {
        SCOPED_TRACE(width);
        CMonoBitmap b(width, 40);
        // Rows of long runs, repeated rows and noise, as labels have them.
        for (int y = 0; y < 40; ++y) {
            if (y % 5 == 3) {
                std::copy(b.Row(y - 1), b.Row(y - 1) + b.Stride(), b.Row(y));
                continue;
            }
            bool black = random() % 2;
            for (int x = 0; x < width; ++x) {
                if (random() % (y % 2 ? 3 : 60) == 0) black = !black;
                b.SetPixel(x, y, black);
            }
        }
        for (const bool compress : {false, true}) {
            SCOPED_TRACE(compress);
            // The printer's bitmap is whole bytes wide: the bitmap, then white padding.
            const CMonoBitmap back = kvtest::ZplDecodeGraphic(ZplGraphicData(b, compress));
            ASSERT_EQ(back.Width(), (width + 7) / 8 * 8);
            ASSERT_EQ(back.Height(), b.Height());
            int wrong = 0;
            for (int y = 0; y < b.Height(); ++y)
                for (int x = 0; x < back.Width(); ++x)
                    wrong += back.IsBlack(x, y) != (x < width && b.IsBlack(x, y));
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(ZplBarcode, EanAllowances)
{
    EXPECT_EQ(ZplEanDataLength(3), 12);
    EXPECT_EQ(ZplEanDataLength(6), 11);
    EXPECT_EQ(ZplEanDataLength(7), 7);
    EXPECT_EQ(ZplEanDataLength(8), 7);
    EXPECT_EQ(ZplEanDataLength(2), 0);
    const struct {
        int module;
        bool line;
        int allowance;
    } cases[] = {{1, true, 14}, {2, true, 18}, {3, true, 27}, {4, true, 27}, {9, true, 27}, {2, false, 0}};
    for (const auto& c : cases) EXPECT_EQ(ZplEanTextAllowance(c.module, c.line), c.allowance) << c.module;
}

// ---- settings from the Zebra system driver ----

Settings FromDevMode(const std::vector<std::uint8_t>& block, int hdpi = 203)
{
    Settings s{};
    EXPECT_TRUE(ZplSettingsFromDevMode(CDevModeView(block), hdpi, s));
    return s;
}

TEST(ZplDriverSettings, CurrentLayoutMapsEveryValue)
{
    std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x701, 0x508);
    DevModeSetWord(b, 0x564, 1);               // thermal transfer
    DevModeSetWord(b, 0x566, 3);               // mark sensing
    DevModeSetDword(b, 0x568, 4);              // head test with a percentage
    DevModeSetDword(b, 0x56C, 75);
    DevModeSetDword(b, 0x570, 4 * 25400);      // speeds in micrometres per second
    DevModeSetDword(b, 0x574, 6 * 25400);
    DevModeSetDword(b, 0x578, 2 * 25400);
    DevModeSetDword(b, 0x57C, 2502);           // label top: 20 dots at 203 dpi
    DevModeSetDword(b, 0x580, DWORD(-1251));   // tear-off: -10 dots
    DevModeSetDword(b, 0x584, 9);
    DevModeSetDword(b, 0x588, 17);
    DevModeSetWord(b, 0x58C, 3);               // cutter
    DevModeSetWord(b, 0x590, 2);               // cut every N
    DevModeSetWord(b, 0x592, 2);               // pause every N
    DevModeSetWord(b, 0x594, 5);
    DevModeSetDword(b, 0x598, 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20);
    const Settings s = FromDevMode(b);
    const std::vector<std::pair<int, int>> expected = {
        {ZS_SUPPRESS_TRACKING, 0}, {ZS_THERMAL_TRANSFER, 1}, {ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 2},
        {ZS_HEAD_TEST, 4}, {ZS_HEAD_TEST_PERCENT, 75}, {ZS_SUPPRESS_RATE, 0}, {ZS_PRINT_SPEED, 4},
        {ZS_SLEW_SPEED, 6}, {ZS_BACKFEED_SPEED, 2}, {ZS_SUPPRESS_LABEL_TOP, 0}, {ZS_LABEL_TOP, 20},
        {ZS_SUPPRESS_TEAR_OFF, 0}, {ZS_TEAR_OFF, -10}, {ZS_SUPPRESS_DARKNESS, 0}, {ZS_DARKNESS_FORM, 0},
        {ZS_DARKNESS_SD, 17}, {ZS_DARKNESS_MD, 0}, {ZS_NO_PRINT_MODE, 0}, {ZS_PRINT_MODE, 4},
        {ZS_CUT_MODE, 3}, {ZS_CUT_EVERY, 5}, {ZS_PAUSE_OVERRIDE, 1}, {ZS_PAUSE_MODE, 3}, {ZS_PAUSE_EVERY, 5},
        {ZS_SUPPRESS_MEDIA_FEED, 1}, {ZS_REPRINT, 2}, {ZS_COMPRESS, 1}};
    for (const auto& [index, value] : expected) EXPECT_EQ(s[size_t(index)], value) << "index " << index;
}

TEST(ZplDriverSettings, CurrentLayoutValueTables)
{
    // One source value at a time over a block whose flags are all clear.
    const struct {
        const char* name;
        size_t offset;
        int value;
        std::vector<std::pair<int, int>> expected;
    } cases[] = {
        {"tracking off", 0x564, -1, {{ZS_SUPPRESS_TRACKING, 1}}},
        {"direct", 0x564, 0, {{ZS_SUPPRESS_TRACKING, 0}, {ZS_THERMAL_TRANSFER, 0}}},
        {"media off", 0x566, -1, {{ZS_SUPPRESS_MEDIA, 1}}},
        {"continuous", 0x566, 0, {{ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 0}}},
        {"media 1 leaves it", 0x566, 1, {{ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 0}}},
        {"web", 0x566, 2, {{ZS_MEDIA, 1}}},
        {"no print mode", 0x58C, -1, {{ZS_NO_PRINT_MODE, 1}, {ZS_PRINT_MODE, 0}}},
        {"tear-off", 0x58C, 0, {{ZS_NO_PRINT_MODE, 0}, {ZS_PRINT_MODE, 1}}},
        {"rewind", 0x58C, 2, {{ZS_PRINT_MODE, 3}}},
        {"print mode out of range", 0x58C, 7, {{ZS_PRINT_MODE, 0}}},
        {"cut every label", 0x590, 1, {{ZS_CUT_MODE, 0}}},
        {"cut every set", 0x590, 3, {{ZS_CUT_MODE, 1}}},
        {"no cut", 0x590, 4, {{ZS_CUT_MODE, 2}}},
        {"pause every label", 0x592, 1, {{ZS_PAUSE_MODE, 1}}},
        {"pause every set", 0x592, 3, {{ZS_PAUSE_MODE, 4}}},
        {"pause 4", 0x592, 4, {{ZS_PAUSE_MODE, 2}}},
        {"head test 5 leaves it", 0x568, 5, {{ZS_HEAD_TEST, 0}}},
        {"head test 3", 0x568, 3, {{ZS_HEAD_TEST, 3}, {ZS_HEAD_TEST_PERCENT, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x701, 0x508);
        DevModeSetWord(b, 0x566, WORD(1));  // media left alone unless the case sets it
        DevModeSetWord(b, 0x592, WORD(9));
        DevModeSetWord(b, 0x590, WORD(9));
        DevModeSetWord(b, 0x58C, WORD(9));
        DevModeSetWord(b, 0x564, WORD(9));
        if (c.offset == 0x568)
            DevModeSetDword(b, c.offset, DWORD(c.value));
        else
            DevModeSetWord(b, c.offset, WORD(c.value));
        const Settings s = FromDevMode(b);
        for (const auto& [index, value] : c.expected) EXPECT_EQ(s[size_t(index)], value) << "index " << index;
        // Flags clear: the printer keeps its rate, darkness, label top and tear-off.
        for (int i : {ZS_SUPPRESS_RATE, ZS_SUPPRESS_DARKNESS, ZS_SUPPRESS_LABEL_TOP, ZS_SUPPRESS_TEAR_OFF})
            EXPECT_EQ(s[size_t(i)], 1) << "index " << i;
    }
    // Darkness with "^MD": flag 0x10 without 0x20.
    std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x701, 0x508);
    DevModeSetDword(b, 0x584, 12);
    DevModeSetDword(b, 0x598, 0x10);
    const Settings s = FromDevMode(b);
    EXPECT_EQ(s[ZS_SUPPRESS_DARKNESS], 0);
    EXPECT_EQ(s[ZS_DARKNESS_FORM], 1);
    EXPECT_EQ(s[ZS_DARKNESS_MD], 12);
    EXPECT_EQ(s[ZS_PAUSE_OVERRIDE], 0);
}

TEST(ZplDriverSettings, OlderLayoutReadsItsBlockAtEitherSpecVersion)
{
    for (const auto& [spec, q] : {std::pair<WORD, size_t>{0x400, 0x4F8}, {0x401, 0x564}}) {
        SCOPED_TRACE(spec);
        std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x600, 0x600, spec);
        const auto put = [&](size_t offset, int v) { DevModeSetDword(b, q + offset, DWORD(v)); };
        put(0x00, 0);     // direct thermal
        put(0x04, 2);     // web
        put(0x08, 3 * 25400);
        put(0x0C, 5 * 25400);
        put(0x10, 25400);
        put(0x14, -7);    // tear-off, dots as stored
        put(0x18, 2);
        put(0x20, 14);    // darkness
        put(0x24, 11);    // label top
        put(0x28, 1);     // peel-off
        put(0x30, 2);
        put(0x34, 1);
        put(0x38, 6);
        put(0x3C, 2);     // cut every N
        put(0x40, 3);     // pause every N
        put(0x44, 0);     // no compression
        put(0x48, 0x1 | 0x4);
        const Settings s = FromDevMode(b);
        const std::vector<std::pair<int, int>> expected = {
            {ZS_SUPPRESS_TRACKING, 0}, {ZS_THERMAL_TRANSFER, 0}, {ZS_SUPPRESS_MEDIA, 0}, {ZS_MEDIA, 1},
            {ZS_PRINT_SPEED, 3}, {ZS_SLEW_SPEED, 5}, {ZS_BACKFEED_SPEED, 1}, {ZS_SUPPRESS_RATE, 0},
            {ZS_SUPPRESS_TEAR_OFF, 0}, {ZS_TEAR_OFF, -7}, {ZS_HEAD_TEST, 2}, {ZS_SUPPRESS_DARKNESS, 0},
            {ZS_DARKNESS_FORM, 1}, {ZS_DARKNESS_MD, 14}, {ZS_SUPPRESS_LABEL_TOP, 0}, {ZS_LABEL_TOP, 11},
            {ZS_PRINT_MODE, 2}, {ZS_NO_PRINT_MODE, 0}, {ZS_SUPPRESS_MEDIA_FEED, 0}, {ZS_FEED_POWER_UP, 2},
            {ZS_FEED_HEAD_CLOSE, 1}, {ZS_CUT_MODE, 3}, {ZS_CUT_EVERY, 6}, {ZS_PAUSE_MODE, 3},
            {ZS_PAUSE_EVERY, 6}, {ZS_PAUSE_OVERRIDE, 1}, {ZS_REPRINT, 0}, {ZS_COMPRESS, 0}};
        for (const auto& [index, value] : expected) EXPECT_EQ(s[size_t(index)], value) << "index " << index;
        // The setup these give: feed actions and reprint come from this layout only.
        EXPECT_EQ(ZplSetupFormat(s, 0),
                  "^XA^SZ2^MCY^MTD~TA-7~JSA^MD14^LT11^MMP^MFL,N^JZY^MNW^PR3,5,1^PMN^PON^JMA^LH0,0^LRN^XZ\n");

        // Flags set the other way: tear-off and label top left to the printer, no reprint.
        put(0x48, 0x10 | 0x8);
        put(0x3C, 1);
        put(0x44, 1);
        const Settings t = FromDevMode(b);
        EXPECT_EQ(t[ZS_SUPPRESS_TEAR_OFF], 1);
        EXPECT_EQ(t[ZS_SUPPRESS_LABEL_TOP], 1);
        EXPECT_EQ(t[ZS_REPRINT], 1);
        EXPECT_EQ(t[ZS_CUT_MODE], 2);
        EXPECT_EQ(t[ZS_COMPRESS], 1);
        EXPECT_EQ(t[ZS_PAUSE_OVERRIDE], 0);
    }
}

TEST(ZplDriverSettings, OtherSpecVersionsLeaveTheBlock)
{
    Settings s{};
    s[ZS_PRINT_SPEED] = 9;
    EXPECT_FALSE(ZplSettingsFromDevMode(CDevModeView(MakeDevMode("zebra", 0x701, 0x508, 0x300)), 203, s));
    EXPECT_FALSE(ZplSettingsFromDevMode(CDevModeView(std::vector<std::uint8_t>(20, 0)), 203, s));
    EXPECT_FALSE(ZplSettingsFromDevMode(CDevModeView(), 203, s));
    EXPECT_EQ(s[ZS_PRINT_SPEED], 9);
    // A block cut short reads its missing values as 0, never past its end.
    std::vector<std::uint8_t> shortBlock = MakeDevMode("zebra", 0x701, 0x508);
    shortBlock.resize(0x570);
    EXPECT_TRUE(ZplSettingsFromDevMode(CDevModeView(shortBlock), 203, s));
    EXPECT_EQ(s[ZS_PRINT_SPEED], 0);
}

TEST(ZplDriverSettings, SampleZplQueueOptionsBecomeTheSetup)
{
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    const struct {
        const char* name;
        std::vector<std::string> options;
        const char* setup;
    } cases[] = {
        // The queue's defaults leave the printer's settings, but for web sensing.
        {"zdefaults", {}, "^XA^SZ2^MCY~JSN^MNW^PMN^PON^JMA^LH0,0^LRN^XZ\n"},
        {"zset",
         {"zeMediaTracking=Continuous", "MediaType=Thermal", "Darkness=12", "zePrintRate=6", "zeLabelTop=-20",
          "zeTearOffPosition=15", "zePrintMode=Cutter"},
         "^XA^SZ2^MCY^MTT~TA15~JSN^SD12^MD0^LT-20^MMC^MNN^LL256^PR6,6,6^PMN^PON^JMA^LH0,0^LRN^XZ\n"},
        {"zmark", {"zeMediaTracking=Mark", "MediaType=Direct", "zePrintMode=Peel"},
         "^XA^SZ2^MCY^MTD~JSN^MMP^MNM^PMN^PON^JMA^LH0,0^LRN^XZ\n"},
    };
    for (const auto& c : cases)
        ASSERT_TRUE(cupsd.AddQueue(c.name, "socket://127.0.0.1:9", "drv:///sample.drv/zebra.ppd", c.options))
            << cupsd.lastOutput();
    CPrinterList& list = CPrinterList::Instance();
    list.Build(GetSpooler(), {});
    CLabelFormat format;  // 30 mm labels, 2 mm gap
    format.m_nLabelHeight = 3000;
    format.m_nVGap = 200;
    format.m_nHDpi = format.m_nVDpi = 203;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CPrinterEntry* e = list.FindPrinter(c.name);
        ASSERT_NE(e, nullptr);
        const Settings s = FromDevMode(e->m_devMode, e->m_nHDpi);
        EXPECT_EQ(ZplSetupFormat(s, ContinuousLabelLength(format)), c.setup);
    }
    list.SetEntries({});
}

}  // namespace
