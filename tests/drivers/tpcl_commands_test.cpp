// TPCL command text: the setup and issue lines from the TEC driver's
// settings, thick lines and boxes built from the printer's widths 1 to 9,
// the graphic forms (the compressed one read back by a decoder of its own
// here), and the bytes field data may not hold.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "drivers/tpcl_commands.h"
#include "platform/devmode.h"
#include "platform/monobitmap.h"

namespace {

TEST(TpclCommands, SizeLineInTenthsOfAMillimetre)
{
    // A 60 x 40 mm label with a 3 mm gap, one across.
    EXPECT_EQ(TpclSizeLine(4300, 6000, 4000), "{D0430,0600,0400|}\r\n");
    // Two 50 mm labels across with a 2 mm gap: 102 mm.
    EXPECT_EQ(TpclSizeLine(3250, 10200, 3000), "{D0325,1020,0300|}\r\n");
}

TEST(TpclCommands, RotationCodes)
{
    const int expected[4] = {0, 3, 2, 1};
    for (int turns = 0; turns < 4; ++turns) EXPECT_EQ(TpclRotationCode(turns), expected[turns]) << turns;
}

struct BoxCase {
    int pen;
    const char* expected;
};

TEST(TpclCommands, ThickBoxesAreRingsOfWidthNineThenTheRest)
{
    // A 40 x 30 mm box at (10 mm, 5 mm): edges 100, 50, 500, 350 tenths.
    const BoxCase cases[] = {
        {0, "{LC;0100,0050,0500,0350,1,1|}\r\n"},
        {30, "{LC;0101,0051,0499,0349,1,3|}\r\n"},
        {80, "{LC;0104,0054,0496,0346,1,8|}\r\n"},
        // 2 mm: two rings of 9 inset 8 and 16, one of 4 inset 18.
        {200,
         "{LC;0108,0058,0492,0342,1,9|}\r\n{LC;0116,0066,0484,0334,1,9|}\r\n"
         "{LC;0118,0068,0482,0332,1,4|}\r\n"},
        // A multiple of 8 tenths leaves no rest.
        {160, "{LC;0108,0058,0492,0342,1,9|}\r\n{LC;0116,0066,0484,0334,1,9|}\r\n"},
        {90, "{LC;0108,0058,0492,0342,1,9|}\r\n{LC;0108,0058,0492,0342,1,1|}\r\n"},
    };
    for (const BoxCase& c : cases) EXPECT_EQ(TpclBoxCommands(1000, 500, 4000, 3000, c.pen), c.expected) << c.pen;
    // The pen never counts for more than the box's smaller side.
    EXPECT_EQ(TpclBoxCommands(1000, 500, 4000, 30, 200), "{LC;0101,0051,0499,0052,1,3|}\r\n");
}

struct LineCase {
    int thickness;  // hundredths of a millimetre
    bool horizontal;
    const char* expected;
};

TEST(TpclCommands, ThickLinesAreLinesOfWidthNineSideBySide)
{
    const LineCase cases[] = {
        {0, true, "{LC;0100,0200,0600,0200,0,1|}\r\n"},
        {5, true, "{LC;0100,0200,0600,0200,0,1|}\r\n"},
        {70, true, "{LC;0100,0200,0600,0200,0,7|}\r\n"},
        {90, true, "{LC;0100,0200,0600,0200,0,9|}\r\n"},
        // 2.5 mm: two lines of 9 and one of 7, 9 tenths apart.
        {250, true,
         "{LC;0100,0200,0600,0200,0,9|}\r\n{LC;0100,0209,0600,0209,0,9|}\r\n{LC;0100,0218,0600,0218,0,7|}\r\n"},
        {180, true, "{LC;0100,0200,0600,0200,0,9|}\r\n{LC;0100,0209,0600,0209,0,9|}\r\n"},
        {250, false,
         "{LC;0100,0200,0100,0700,0,9|}\r\n{LC;0109,0200,0109,0700,0,9|}\r\n{LC;0118,0200,0118,0700,0,7|}\r\n"},
    };
    for (const LineCase& c : cases) {
        const int width = c.horizontal ? 5000 : c.thickness, height = c.horizontal ? c.thickness : 5000;
        EXPECT_EQ(TpclLineCommands(1000, 2000, width, height, c.horizontal), c.expected)
            << c.thickness << (c.horizontal ? " horizontal" : " vertical");
    }
}

TecDriverData Feed(int value)
{
    TecDriverData d;
    d.feedFlag = 1;
    d.feedValue = value;
    return d;
}

TEST(TpclCommands, FeedLinesGoOppositeWaysBeforeAndAfterTheIssue)
{
    struct {
        int value;
        const char* setup;
        const char* after;
    } cases[] = {
        {50, "{U2;0050|}\r\n", "{U1;0050|}\r\n"},
        {10, "{U2;0030|}\r\n", "{U1;0030|}\r\n"},
        {0, "{U2;0030|}\r\n", "{U1;0030|}\r\n"},
        {-120, "{U1;0120|}\r\n", "{U2;0120|}\r\n"},
        {5000, "{U2;2000|}\r\n", "{U1;2000|}\r\n"},
        {-2147483647 - 1, "{U1;2000|}\r\n", "{U2;2000|}\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TpclFeedLine(Feed(c.value), false), c.setup) << c.value;
        EXPECT_EQ(TpclFeedLine(Feed(c.value), true), c.after) << c.value;
    }
    TecDriverData off = Feed(50);
    off.feedFlag = 0;
    EXPECT_EQ(TpclFeedLine(off, false), "");
}

TEST(TpclCommands, SetupAdjustments)
{
    TecDriverData d;
    d.ribbon = '0';
    d.darknessNoRibbon = -3;
    d.darknessRibbon = 7;
    const TpclPrinter other{2, 1};
    // Without ribbon: method 1 with the no-ribbon darkness.
    EXPECT_EQ(TpclSetupAdjustments(d, other), "{AY;-03,1|}\r\n{C|}\r\n");
    // A TEC model 10 always prints with the ribbon's adjustment.
    EXPECT_EQ(TpclSetupAdjustments(d, TpclPrinter{kTecFamily, 10}), "{AY;+07,0|}\r\n{C|}\r\n");
    d.ribbon = '2';
    d.darknessRibbon = 25;
    // The feed adjustments only with flag 29; values in hundredths cut
    // toward zero, then limited.
    d.adjustFlag = 29;
    d.feedAdjust = 1299;
    d.cutPositionAdjust = -70000;
    d.backFeedAdjust = -250;
    d.feedFlag = 1;
    d.feedValue = 50;
    EXPECT_EQ(TpclSetupAdjustments(d, other),
              "{AX;+012,-500,-02|}\r\n{AY;+10,0|}\r\n{U2;0050|}\r\n{C|}\r\n");
    d.backFeedAdjust = 123456;
    EXPECT_EQ(TpclSetupAdjustments(d, other).substr(0, 21), "{AX;+012,-500,+99|}\r\n");
}

TEST(TpclCommands, CutInterval)
{
    struct {
        int setting, count, quantity, expected;
    } cases[] = {
        {6000, 0, 10, 1},  {6000, 1, 10, 1},    {6000, 100, 10, 100}, {6000, 101, 10, 0},
        {6000, -1, 25, 25}, {6000, -1, 500, 100}, {6000, -2, 10, 0},   {0, 5, 10, 0},
    };
    for (const auto& c : cases) {
        TecDriverData d;
        d.cutSetting = c.setting;
        d.cutCount = c.count;
        EXPECT_EQ(TpclCutInterval(d, c.quantity), c.expected) << c.setting << " " << c.count << " " << c.quantity;
    }
}

TEST(TpclCommands, IssueCharactersByFamilyAndModel)
{
    const TpclPrinter tec9{kTecFamily, 9}, tec10{kTecFamily, 10}, tec13{kTecFamily, 13}, tec34{kTecFamily, 34},
        tec25{kTecFamily, 25}, tec1{kTecFamily, 1}, other{3, 9};
    struct {
        TpclPrinter printer;
        int speed;
        char expected;
    } speeds[] = {
        {tec9, 3, '4'},  {tec9, 2, '2'},  {tec10, 7, '2'}, {tec13, 2, '3'}, {tec13, 5, '6'}, {tec34, 9, 'A'},
        {tec13, 4, '3'}, {tec25, 2, '3'}, {tec25, 3, '4'}, {tec25, 7, '8'}, {tec25, 5, '3'}, {tec1, 2, '3'},
        {tec1, 4, '5'},  {tec1, 7, '8'},  {tec1, 9, '3'},  {other, 3, '3'}, {other, 4, '5'},
    };
    for (const auto& c : speeds) {
        TecDriverData d;
        d.speed = c.speed;
        EXPECT_EQ(TpclSpeedChar(d, c.printer), c.expected)
            << "family " << c.printer.family << " model " << c.printer.model << " speed " << c.speed;
    }
    struct {
        TpclPrinter printer;
        char sensor, expected;
    } sensors[] = {
        {tec1, '0', '0'}, {tec1, '6', '6'}, {tec1, '7', '2'}, {tec1, 0, '2'},
        {other, '4', '4'}, {other, '5', '6'}, {other, 'x', '6'},
    };
    for (const auto& c : sensors) {
        TecDriverData d;
        d.sensor = c.sensor;
        EXPECT_EQ(TpclSensorChar(d, c.printer), c.expected) << int(c.sensor);
    }
    struct {
        TpclPrinter printer;
        char ribbon, expected;
    } ribbons[] = {
        {tec9, '0', '0'}, {tec9, '1', '2'}, {tec10, '0', '1'}, {tec1, '1', '1'},
        {tec1, '2', '2'}, {tec1, '3', '2'}, {other, 0, '2'},
    };
    for (const auto& c : ribbons) {
        TecDriverData d;
        d.ribbon = c.ribbon;
        EXPECT_EQ(TpclRibbonChar(d, c.printer), c.expected) << int(c.ribbon) << " model " << c.printer.model;
    }
    TecDriverData d;
    d.issueMode = 'D';
    EXPECT_EQ(TpclIssueModeChar(d), 'D');
    d.issueMode = 'X';
    EXPECT_EQ(TpclIssueModeChar(d), 'C');
}

TEST(TpclCommands, IssueLines)
{
    TecDriverData d;
    d.sensor = '1';
    d.issueMode = 'D';
    d.speed = 4;
    d.ribbon = '2';
    d.cutSetting = 6000;
    d.cutCount = 3;
    d.feedFlag = 1;
    d.feedValue = 50;
    EXPECT_EQ(TpclIssueLines(d, TpclPrinter{kTecFamily, 1}, 12), "{XS;I,0012,0031D5201|}\r\n{U1;0050|}\r\n{C|}\r\n");
    d.feedFlag = 0;
    // The printer's quantity field holds four digits.
    EXPECT_EQ(TpclIssueLines(d, TpclPrinter{kTecFamily, 1}, 123456), "{XS;I,9999,0031D5201|}\r\n{C|}\r\n");
}

TEST(TpclCommands, DriverDataAtTheOffsetOfTheSpecVersion)
{
    for (const auto& [spec, offset] : {std::pair<WORD, size_t>{0x400, 0x4F8}, {0x401, 0x564}}) {
        std::vector<std::uint8_t> dm = MakeDevMode("TEC B-EV4", 0x100, WORD(offset + 0x38 - 156), spec);
        dm[offset + TEC_RIBBON] = '1';
        dm[offset + TEC_SENSOR] = '3';
        dm[offset + TEC_ISSUE_MODE] = 'D';
        dm[offset + TEC_SPEED] = 4;
        DevModeSetDword(dm, offset + TEC_FEED_ADJUST, DWORD(-300));
        DevModeSetDword(dm, offset + TEC_CUT_SETTING, 6000);
        DevModeSetDword(dm, offset + TEC_CUT_COUNT, DWORD(-1));
        DevModeSetDword(dm, offset + TEC_DARKNESS_RIBBON, 4);
        dm[offset + TEC_ADJUST_FLAG] = 29;
        dm[offset + TEC_GRAPHIC_SETTING] = 16;
        dm[offset + TEC_FEED_FLAG] = 1;
        DevModeSetDword(dm, offset + TEC_FEED_VALUE, 75);
        const TecDriverData d = TecDriverDataFromDevMode(CDevModeView(dm));
        EXPECT_TRUE(d.present) << spec;
        EXPECT_EQ(d.ribbon, '1');
        EXPECT_EQ(d.sensor, '3');
        EXPECT_EQ(d.issueMode, 'D');
        EXPECT_EQ(d.speed, 4);
        EXPECT_EQ(d.feedAdjust, -300);
        EXPECT_EQ(d.cutSetting, 6000);
        EXPECT_EQ(d.cutCount, -1);
        EXPECT_EQ(d.darknessRibbon, 4);
        EXPECT_EQ(d.adjustFlag, 29);
        EXPECT_EQ(d.graphicSetting, 16);
        EXPECT_EQ(d.feedFlag, 1);
        EXPECT_EQ(d.feedValue, 75);
        // A block cut short reads zeros past its end, never beyond it.
        dm.resize(offset + TEC_CUT_SETTING + 2);
        const TecDriverData cut = TecDriverDataFromDevMode(CDevModeView(dm));
        EXPECT_EQ(cut.sensor, '3');
        EXPECT_EQ(cut.cutCount, 0);
        EXPECT_EQ(cut.feedValue, 0);
    }
    // Another version has no TEC block; no settings at all neither. Such a
    // job issues with the gap sensor, batch issue and thermal transfer for
    // a TEC printer and any other alike.
    for (const std::vector<std::uint8_t>& none : {MakeDevMode("x", 0, 2000, 0x300), std::vector<std::uint8_t>()}) {
        const TecDriverData d = TecDriverDataFromDevMode(CDevModeView(none));
        EXPECT_FALSE(d.present);
        for (const TpclPrinter printer : {TpclPrinter{kTecFamily, 1}, TpclPrinter{0, 0}})
            EXPECT_EQ(TpclIssueLines(d, printer, 1), "{XS;I,0001,0002C3201|}\r\n{C|}\r\n");
        EXPECT_EQ(TpclSetupAdjustments(d, TpclPrinter{}), "{AY;+00,0|}\r\n{C|}\r\n");
    }
}

TEST(TpclCommands, GraphicModes)
{
    const std::pair<int, int> cases[] = {{0, 0}, {64, 4}, {16, 1}, {80, 5}, {32, 3}, {1, 3}, {255, 3}};
    for (const auto& [setting, mode] : cases) EXPECT_EQ(TpclGraphicMode(setting), mode) << setting;
}

// A 10 x 2 bitmap: row 0 black at x 0 and 9, row 1 black at x 1.
CMonoBitmap SmallPicture()
{
    CMonoBitmap b(10, 2);
    b.SetPixel(0, 0, true);
    b.SetPixel(9, 0, true);
    b.SetPixel(1, 1, true);
    return b;
}

TEST(TpclCommands, NibbleAndRawGraphicData)
{
    // Black is 1, the six padding bits of each row cleared.
    EXPECT_EQ(TpclGraphicData(SmallPicture(), 0), "80404000");
    EXPECT_EQ(TpclGraphicData(SmallPicture(), 4), "80404000");
    EXPECT_EQ(TpclGraphicData(SmallPicture(), 1), std::string("\x80\x40\x40\x00", 4));
    EXPECT_EQ(TpclGraphicData(SmallPicture(), 5), std::string("\x80\x40\x40\x00", 4));
    EXPECT_EQ(TpclGraphicData(CMonoBitmap(), 1), "");
}

// The compressed form read back: the rows of rowBytes bytes, or false when
// the data is malformed or does not fill exactly `height` rows.
bool DecodeCompressed(const std::string& data, int rowBytes, int height, std::vector<std::uint8_t>& rows)
{
    if (data.size() < 2) return false;
    const size_t length = size_t(std::uint8_t(data[0])) << 8 | std::uint8_t(data[1]);
    if (length != data.size() - 2) return false;
    size_t at = 2;
    auto next = [&](std::uint8_t& v) {
        if (at >= data.size()) return false;
        v = std::uint8_t(data[at++]);
        return true;
    };
    const size_t n = size_t(rowBytes);
    rows.assign(n * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> values(n, 0);
        // An unchanged row is a tree without set values: a zero level-1
        // byte for each 512 values.
        for (size_t chunk = 0; chunk < n; chunk += 512) {
            std::uint8_t l1 = 0;
            if (!next(l1)) return false;
            for (int b = 0; b < 8; ++b) {
                if (!(l1 & (0x80 >> b))) continue;
                std::uint8_t l2 = 0;
                if (!next(l2) || l2 == 0) return false;
                for (int g = 0; g < 8; ++g) {
                    if (!(l2 & (0x80 >> g))) continue;
                    std::uint8_t l3 = 0;
                    if (!next(l3) || l3 == 0) return false;
                    for (int i = 0; i < 8; ++i) {
                        if (!(l3 & (0x80 >> i))) continue;
                        const size_t index = chunk + size_t(b) * 64 + size_t(g) * 8 + size_t(i);
                        std::uint8_t v = 0;
                        if (!next(v) || v == 0 || index >= n) return false;
                        values[index] = v;
                    }
                }
            }
        }
        for (size_t i = 0; i < n; ++i)
            rows[size_t(y) * n + i] = y > 0 ? std::uint8_t(values[i] ^ rows[size_t(y - 1) * n + i]) : values[i];
    }
    return at == data.size();
}

TEST(TpclCommands, CompressedGraphicByHand)
{
    // Row 0: values 80 40 -> level 1 "block 0", level 2 "group 0", level 3
    // "values 0 and 1", the values. Row 1: 40 00 XOR 80 40 = C0 40.
    const std::string expected("\x00\x0A"
                               "\x80\x80\xC0\x80\x40"
                               "\x80\x80\xC0\xC0\x40",
                               12);
    EXPECT_EQ(TpclGraphicData(SmallPicture(), 3), expected);
    // An empty first row and a repeated row are one zero byte each.
    CMonoBitmap b(16, 3);
    b.SetPixel(15, 1, true);
    b.SetPixel(15, 2, true);
    EXPECT_EQ(TpclGraphicData(b, 3), std::string("\x00\x06\x00\x80\x80\x40\x01\x00", 8));
}

TEST(TpclCommands, CompressedGraphicReadsBackRowForRow)
{
    // Rows wider than one 512-byte chunk and than one 64-byte block, with
    // sparse dots so that blocks and groups are skipped, and repeated rows.
    std::mt19937 random(25);
    for (const int width : {8, 13, 520, 4100, 4103}) {
        CMonoBitmap b(width, 40);
        for (int y = 0; y < 40; ++y) {
            if (y % 7 == 3) {
                for (int x = 0; x < width; ++x) b.SetPixel(x, y, b.IsBlack(x, y - 1));
                continue;
            }
            for (int k = 0; k < 6; ++k) b.SetPixel(int(random() % unsigned(width)), y, true);
        }
        const int rowBytes = (width + 7) / 8;
        std::vector<std::uint8_t> rows;
        ASSERT_TRUE(DecodeCompressed(TpclGraphicData(b, 3), rowBytes, 40, rows)) << width;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < rowBytes * 8; ++x) {
                const bool black = (rows[size_t(y * rowBytes + x / 8)] >> (7 - x % 8)) & 1;
                ASSERT_EQ(black, x < width && b.IsBlack(x, y)) << width << ": " << x << "," << y;
            }
    }
}

TEST(TpclCommands, BytesFieldDataMayNotHold)
{
    const std::pair<std::string, size_t> cases[] = {
        {"LOT 42 ABC-+/.%$", std::string::npos},
        {"a{b", 1},
        {"ab|", 2},
        {"}", 0},
        {"x\x1B" "y", 1},
        {std::string("ab\0c", 4), 2},
        {"a\nb", 1},
        {"a\rb", 1},
        {">:A>5", std::string::npos},
        {"\xC3\xA9t\xC3\xA9", std::string::npos},
    };
    for (const auto& [data, at] : cases) EXPECT_EQ(TpclForbiddenByte(data), at) << data;
}

}  // namespace
