// The pieces of EPL2 text the three EPL drivers are made of: rotation and
// anchor corners, quoted data (and its escape of quotes and backslashes),
// the setup lines of each driver class, cell multipliers, the barcode
// command with its selector, EAN/UPC corrections and data, counters and
// variables of stored forms, boxes and graphics, the answers the drivers
// give themselves, and the settings read from the system drivers' private
// blocks in every layout, down to the setup a stand-in EPL2 queue gives.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "drivers/epl_commands.h"
#include "encoders/linear_entries.h"
#include "encoders/symbology.h"
#include "platform/devmode.h"
#include "platform/strutil.h"
#include "platform/vendor_drivers.h"

namespace {

using Settings = std::array<int, kEplSettingsCount>;

// Lines joined with CR LF, each ended by one.
std::string Lines(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

// Every command the plain driver may leave out, left out.
Settings PlainQuiet()
{
    Settings s{};
    s[ES_SUPPRESS_SPEED] = 1;
    s[ES_SUPPRESS_DENSITY] = 1;
    s[ES_NO_PRINT_MODE] = 1;
    s[ES_MEDIA] = 9;  // no media the driver knows: no "Q"
    return s;
}

// 2 x 50 mm labels with a 3 mm gap at 203 dpi, 30 mm high with a 3 mm gap.
EplLabelDots Dots()
{
    EplLabelDots d;
    d.width = 823;
    d.height = 240;
    d.gap = 24;
    return d;
}

TEST(EplRotation, QuarterTurnsAndAnchorCorners)
{
    const struct {
        int turns;
        int epl;
        CPoint anchor;  // of the box (10, 20) - (110, 220)
    } cases[] = {
        {0, 0, {10, 20}}, {1, 3, {10, 220}}, {2, 2, {110, 220}}, {3, 1, {110, 20}}, {7, 7, {10, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.turns);
        EXPECT_EQ(EplRotation(c.turns), c.epl);
        // The anchor is asked with the object's rotation number.
        EXPECT_EQ(EplAnchorPoint(10, 20, 110, 220, c.turns), c.anchor);
    }
}

// Reads one EPL quoted string at the start of text as the printer does:
// a backslash takes the next character as it is, a quote ends the string.
// Returns where the string ended (past the quote), npos when it never did.
size_t ReadQuoted(const std::string& text, std::string* content)
{
    if (text.empty() || text[0] != '"') return std::string::npos;
    content->clear();
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            *content += text[++i];
        } else if (text[i] == '"') {
            return i + 1;
        } else {
            *content += text[i];
        }
    }
    return std::string::npos;
}

TEST(EplQuoted, QuotesAndBackslashesAreEscapedPlainDataIsNot)
{
    const struct {
        const char* data;
        const char* quoted;
    } cases[] = {
        {"LOT 42", "\"LOT 42\""},
        {"", "\"\""},
        {"50% off, 2/3", "\"50% off, 2/3\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"C:\\labels", "\"C:\\\\labels\""},
        {"end\\", "\"end\\\\\""},
        {"a\"\r\nP1\r\n", "\"a\\\"P1\""},  // a line break would end the command line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(EplQuoted(c.data), c.quoted);
    }
}

TEST(EplQuoted, NoDataEndsTheFieldEarly)
{
    // Data from the characters that end fields, lines and escapes: the
    // printer reads back the data (without line breaks) and the field ends
    // exactly at the closing quote.
    std::mt19937 random(23);
    const std::string alphabet = "\"\\a,\r\nP";
    for (int round = 0; round < 2000; ++round) {
        std::string data;
        const int n = int(random() % 12);
        for (int i = 0; i < n; ++i) data += alphabet[random() % alphabet.size()];
        const std::string quoted = EplQuoted(data);
        std::string read;
        ASSERT_EQ(ReadQuoted(quoted, &read), quoted.size()) << data;
        EXPECT_EQ(read, ReplaceAll(ReplaceAll(data, "\r", ""), "\n", ""));
        EXPECT_EQ(quoted.find_first_of("\r\n"), std::string::npos);
        const std::string line = EplDataLine(data);
        EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2) << "one data line, ended once";
    }
}

TEST(EplSetup, QuietSettingsLeaveTheFixedLines)
{
    EXPECT_EQ(EplSetupLines(PlainQuiet(), Dots()), Lines({"I8,1,001", "q823", "WN", "ZB"}));
}

TEST(EplSetup, EachSettingSendsItsLineInItsPlace)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> set;  // index, value over PlainQuiet
        std::string lines;
    } cases[] = {
        {"speed limited to 3", {{ES_SUPPRESS_SPEED, 0}, {ES_SPEED, 5}}, Lines({"I8,1,001", "S3", "q823", "WN", "ZB"})},
        {"speed below 0", {{ES_SUPPRESS_SPEED, 0}, {ES_SPEED, -2}}, Lines({"I8,1,001", "S0", "q823", "WN", "ZB"})},
        {"density limited to 15", {{ES_SUPPRESS_DENSITY, 0}, {ES_DENSITY, 20}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "D15"})},
        {"mode 0 direct thermal with S", {{ES_NO_PRINT_MODE, 0}, {ES_OPTION_S, 1}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "OS,D", "JB"})},
        {"mode 0 thermal transfer", {{ES_NO_PRINT_MODE, 0}, {ES_THERMAL_TRANSFER, 1}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "O", "JB"})},
        {"mode 1 peel with back-feed", {{ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 1}, {ES_BACKFEED, 17}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "OD,N", "JF", "j17"})},
        {"mode 1 thermal transfer",
         {{ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 1}, {ES_THERMAL_TRANSFER, 1}, {ES_BACKFEED, 3}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "ON", "JF", "j3"})},
        {"mode 2", {{ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 2}, {ES_BACKFEED, 17}, {ES_BACKFEED_PEEL, 19}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "OD", "JF", "j19"})},
        {"mode 4 cutter", {{ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 4}, {ES_CUT_POSITION, 21}, {ES_OPTION_S, 1}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "OS,D,N,C", "f21"})},
        {"mode 4 thermal transfer", {{ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 4}, {ES_THERMAL_TRANSFER, 1}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "ON,C", "f0"})},
        {"mode 5", {{ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 5}, {ES_BACKFEED, 17}, {ES_BACKFEED_PEEL, 19}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "OD", "JF", "j17"})},
        {"mode 3 sends nothing", {{ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 3}}, Lines({"I8,1,001", "q823", "WN", "ZB"})},
        {"print mode turned off", {{ES_PRINT_MODE, 1}}, Lines({"I8,1,001", "q823", "WN", "ZB"})},
        {"continuous without a length", {{ES_MEDIA, 0}}, Lines({"I8,1,001", "q823", "WN", "ZB", "Q1,0"})},
        {"continuous", {{ES_MEDIA, 0}, {ES_FORM_LENGTH, 400}}, Lines({"I8,1,001", "q823", "WN", "ZB", "Q400,0"})},
        {"gap with a negative offset", {{ES_MEDIA, 1}, {ES_GAP_OFFSET, -12}, {ES_MARK_OFFSET, 5}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "Q240,24-12"})},
        {"gap", {{ES_MEDIA, 1}, {ES_GAP_OFFSET, 5}}, Lines({"I8,1,001", "q823", "WN", "ZB", "Q240,24+5"})},
        {"black mark", {{ES_MEDIA, 2}, {ES_GAP_OFFSET, 5}, {ES_MARK_OFFSET, -7}},
         Lines({"I8,1,001", "q823", "WN", "ZB", "Q240,B24-7"})},
        {"everything",
         {{ES_SUPPRESS_SPEED, 0}, {ES_SPEED, 2}, {ES_SUPPRESS_DENSITY, 0}, {ES_DENSITY, 8}, {ES_NO_PRINT_MODE, 0},
          {ES_PRINT_MODE, 0}, {ES_MEDIA, 1}},
         Lines({"I8,1,001", "S2", "q823", "WN", "ZB", "D8", "OD", "JB", "Q240,24+0"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s = PlainQuiet();
        for (const auto& [index, value] : c.set) s[size_t(index)] = value;
        EXPECT_EQ(EplSetupLines(s, Dots()), c.lines);
    }
}

TEST(EplSetup, PrintOffsetsAreSentWhenSetNegativeAsZero)
{
    const struct {
        int x, y;
        const char* line;
    } cases[] = {{0, 0, ""}, {5, 0, "R5,0\r\n"}, {-5, 8, "R0,8\r\n"}, {0, -3, "R0,0\r\n"}};
    for (const auto& c : cases) {
        EplLabelDots d = Dots();
        d.offsetX = c.x;
        d.offsetY = c.y;
        const std::string fixed = Lines({"I8,1,001", "q823", "WN", "ZB"});
        EXPECT_EQ(EplSetupLines(PlainQuiet(), d), fixed + c.line);
        EXPECT_EQ(Epl19SetupLines(Settings{}, d).substr(Epl19SetupLines(Settings{}, Dots()).size()), c.line);
    }
}

TEST(Epl19Setup, SingleNumberDriverLinesAndOptions)
{
    Settings quiet{};
    quiet[ES_SUPPRESS_SPEED] = 1;
    quiet[ES_SUPPRESS_DENSITY] = 1;
    quiet[ES_SUPPRESS_MEDIA] = 1;
    quiet[ES_NO_DIRECT_OPTION] = 1;
    EplLabelDots d = Dots();
    d.bottomMargin = 16;
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> set;
        std::string lines;
    } cases[] = {
        {"quiet", {}, Lines({"q823", "JB", "WN", "ZB"})},
        {"speed unlimited", {{ES_SUPPRESS_SPEED, 0}, {ES_SPEED, 5}}, Lines({"q823", "S5", "JB", "WN", "ZB"})},
        {"direct thermal", {{ES_NO_DIRECT_OPTION, 0}}, Lines({"q823", "OD", "JB", "WN", "ZB"})},
        {"thermal transfer", {{ES_NO_DIRECT_OPTION, 0}, {ES_THERMAL_TRANSFER, 1}}, Lines({"q823", "JB", "WN", "ZB"})},
        {"cutter, peel and direct", {{ES_CUTTER, 1}, {ES_PEEL, 2}, {ES_NO_DIRECT_OPTION, 0}},
         Lines({"q823", "OC,N,D", "JB", "WN", "ZB"})},
        {"peel alone", {{ES_PEEL, 1}}, Lines({"q823", "ON", "JB", "WN", "ZB"})},
        {"top of form", {{ES_TOP_OF_FORM, 1}}, Lines({"q823", "JF", "WN", "ZB"})},
        {"density limited", {{ES_SUPPRESS_DENSITY, 0}, {ES_DENSITY, 20}}, Lines({"q823", "JB", "WN", "D15", "ZB"})},
        {"continuous less the bottom margin", {{ES_SUPPRESS_MEDIA, 0}, {ES_MEDIA, 0}},
         Lines({"q823", "JB", "WN", "ZB", "Q224,0"})},
        {"gap", {{ES_SUPPRESS_MEDIA, 0}, {ES_MEDIA, 1}, {ES_GAP_OFFSET, -12}},
         Lines({"q823", "JB", "WN", "ZB", "Q240,24"})},
        {"black mark", {{ES_SUPPRESS_MEDIA, 0}, {ES_MEDIA, 2}}, Lines({"q823", "JB", "WN", "ZB", "Q240,B24"})},
        {"media suppressed", {{ES_MEDIA, 1}}, Lines({"q823", "JB", "WN", "ZB"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s = quiet;
        for (const auto& [index, value] : c.set) s[size_t(index)] = value;
        EXPECT_EQ(Epl19SetupLines(s, d), c.lines);
    }
}

TEST(EplStoreSetup, FormOpensFirstAndSettingsFromTheSystemDriver)
{
    EplLabelDots d = Dots();
    d.offsetX = -4;
    d.offsetY = 6;
    const struct {
        const char* name;
        EplStoreSetup setup;
        std::string lines;
    } cases[] = {
        {"nothing set", {false, "TVFORM", 0, -1, -1}, Lines({"I8,1,001", "Q240,0", "q823", "ZB", "R4,6"})},
        {"gap, speed and heat", {false, "TVFORM", 1, 40, 12},
         Lines({"I8,1,001", "Q240,24", "q823", "S40", "H12", "ZB", "R4,6"})},
        {"black mark, limits", {false, "TVFORM", 3, -5, 30},
         Lines({"I8,1,001", "Q240,20", "q823", "S0", "H20", "ZB", "R4,6"})},
        {"heat below 1", {false, "TVFORM", 1, -1, 0}, Lines({"I8,1,001", "Q240,24", "q823", "H10", "ZB", "R4,6"})},
        {"stored form", {true, "SHELF", 1, -1, -1},
         Lines({"ZS", "FK\"SHELF\"", "FS\"SHELF\"", "I8,1,001", "Q240,24", "q823", "ZT", "R4,6"})},
        {"a form name cannot end its field", {true, "A\"B", 0, -1, -1},
         Lines({"ZS", "FK\"A\\\"B\"", "FS\"A\\\"B\"", "I8,1,001", "Q240,0", "q823", "ZT", "R4,6"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EplStoreSetupLines(c.setup, d), c.lines);
    }
}

TEST(EplText, CellMultipliersFollowTheRotation)
{
    const struct {
        int width, height, cellWidth, cellHeight, rotation;
        CSize multipliers;
    } cases[] = {
        {20, 34, 10, 17, 0, {2, 2}},
        {30, 17, 10, 17, 0, {3, 1}},
        {30, 17, 10, 17, 2, {3, 1}},
        {30, 17, 10, 17, 1, {1, 3}},  // turned: along the page is the height
        {30, 17, 10, 17, 3, {1, 3}},
        {29, 33, 10, 17, 0, {2, 1}},  // integer division
        {5, 8, 10, 17, 0, {1, 1}},    // smaller than the cell: the cell itself
        {30, 34, 0, 0, 0, {1, 1}},    // a damaged font record
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " r" << c.rotation);
        EXPECT_EQ(EplCellMultipliers(c.width, c.height, c.cellWidth, c.cellHeight, c.rotation), c.multipliers);
    }
    EXPECT_EQ(EplTextLine(CPoint(10, 20), 1, "3", CSize(2, 1), EplQuoted("A\"")), "A10,20,3,3,2,1,N,\"A\\\"\"\r\n");
    EXPECT_EQ(EplTextLine(CPoint(5, 6), 0, "1", CSize(1, 1), "C0"), "A5,6,0,1,1,1,N,C0\r\n");
}

TEST(EplBarcode, SelectorsFromTheSymbologyTable)
{
    const std::map<int, std::string> native = {{BS_CODE39, "3"}, {BS_CODE128, "1"}, {BS_EAN13, "E30"},
                                               {BS_ITF25, "2"},  {BS_CODE93, "9"},   {BS_UPCA, "UA0"},
                                               {BS_EAN8, "E80"}, {BS_UPCE, "UE0"},   {BS_CODABAR, "K"}};
    for (const SymbologyInfo& row : Symbologies()) {
        SCOPED_TRACE(row.name);
        const auto it = native.find(row.code);
        const std::string expected = it == native.end() ? "" : it->second;
        EXPECT_EQ(EplBarcodeSelector(row.code, false), expected);
        if (row.code != BS_CODE128) EXPECT_EQ(EplStoreBarcodeSelector(row.code, C128_AUTO), expected);
    }
    EXPECT_EQ(EplBarcodeSelector(BS_CODE128, true), "1E");
    EXPECT_EQ(EplBarcodeSelector(BS_EAN13, true), "E30");
    const std::map<int, std::string> byMode = {{100, "1"}, {101, "1A"}, {102, "1B"}, {103, "1C"}, {104, "1"},
                                               {110, "0"}, {111, "0"},  {112, "0"},  {113, "0"},  {114, "0"}};
    for (const auto& [mode, selector] : byMode) EXPECT_EQ(EplStoreBarcodeSelector(BS_CODE128, mode), selector) << mode;
    EXPECT_EQ(EplBarcodeCommand(1, CPoint(50, 60), "E30", 2, 4, 100, 'B'), "B50,60,3,E30,2,4,100,B,");
}

TEST(EplBarcode, EanUpcCorrectionsBySymbologyAndRotation)
{
    // narrow 2; moves of the anchor and change of the height.
    const struct {
        int symbology, turns;
        bool readable;
        int dx, dy, dh;
    } cases[] = {
        {BS_EAN13, 0, true, 6, 0, -12},  {BS_EAN13, 0, false, 6, 0, 0},  {BS_EAN13, 1, true, 0, -4, -12},
        {BS_EAN13, 2, true, -4, 2, -12}, {BS_EAN13, 2, false, -4, 0, 0}, {BS_EAN13, 3, false, 0, 6, 0},
        {BS_UPCA, 0, true, 4, 0, -12},   {BS_UPCA, 1, false, 0, 0, 0},   {BS_UPCA, 2, true, 0, 2, -12},
        {BS_EAN8, 0, true, 0, 0, -12},   {BS_EAN8, 1, false, 0, 2, 0},   {BS_EAN8, 2, false, 2, 0, 0},
        {BS_EAN8, 3, true, 0, -2, -12},  {BS_UPCE, 0, false, 4, 0, 0},   {BS_UPCE, 1, true, 0, 0, -12},
        {BS_UPCE, 3, false, 0, 2, 0},    {BS_CODE128, 0, true, 0, 0, 0}, {BS_CODE39, 2, true, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.symbology << " r" << c.turns << (c.readable ? " B" : " N"));
        CPoint at(100, 200);
        int height = 80;
        EplCorrectEanUpc(c.symbology, c.turns, 2, c.readable, at, height);
        EXPECT_EQ(at, CPoint(100 + c.dx, 200 + c.dy));
        EXPECT_EQ(height, 80 + c.dh);
    }
}

TEST(EplBarcode, DataAsThePrinterTakesIt)
{
    EXPECT_EQ(EplBarcodeData(BS_CODE39, "abc-1 $"), "ABC-1 $");
    EXPECT_EQ(EplBarcodeData(BS_UPCE, "01234565"), "1234565");
    EXPECT_EQ(EplBarcodeData(BS_UPCE, ""), "");
    EXPECT_EQ(EplBarcodeData(BS_EAN13, "400638133393"), "400638133393");
    EXPECT_EQ(EplBarcodeData(BS_CODABAR, "a123b"), "a123b");
    // Code 128: whatever the mode, the data as typed; the start, set, shift
    // and function codes the encoder adds are the printer's own choice.
    const struct {
        const char* data;
        int mode;
    } cases[] = {
        {"KV1234", C128_SET_B}, {"KV1234", C128_AUTO}, {"AB12345678", C128_AUTO},
        {"123456", C128_SET_C}, {"a^b", C128_AUTO},     {"ABC\tD", C128_SET_A},
        {"Ab1234567", C128_AUTO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.data << " mode " << c.mode);
        const std::string caret = Code128ToCaret(c.data, c.mode);
        ASSERT_FALSE(caret.empty());
        EXPECT_EQ(EplCode128Data(caret), c.data);
    }
    EXPECT_EQ(EplCode128Data("^B^1AB^^C^SD^"), "AB^CD");
}

TEST(EplForm, CounterAndVariableLines)
{
    EXPECT_EQ(EplCounterLine(0, 4, 1, ""), "C0,4,N,+1,\"\"\r\n");
    EXPECT_EQ(EplCounterLine(3, 6, -5, "Serial \"A\""), "C3,6,N,-5,\"Serial \\\"A\\\"\"\r\n");
    EXPECT_EQ(EplVariableLine(2, "Lot?"), "V2,99,N,\"Lot?\"\r\n");
    EXPECT_EQ(EplVariableLine(0, "a\\\r\nP9"), "V0,99,N,\"a\\\\P9\"\r\n");
}

TEST(EplCapability, WidestBarsAndSymbologiesSentAsGraphics)
{
    int answer = -1;
    for (const SymbologyInfo& row : Symbologies()) {
        ASSERT_TRUE(EplCapability(1, row.code, answer));
        EXPECT_EQ(answer, IsEanUpcSymbology(row.code) ? 4 : 8) << row.name;
    }
    for (int key : {10, 11, 12, 13, 19, 20, 21, 22, 301, 302, 601, 602, 701, 702, 801, 802}) {
        answer = -1;
        EXPECT_TRUE(EplCapability(2, key, answer)) << key;
        EXPECT_EQ(answer, 0) << key;
    }
    // Left to the base: the native symbologies, keys that are no add-on, other queries.
    for (int key : {1, 2, 3, 9, 14, 23, 24, 300, 303, 201, 202, 901}) EXPECT_FALSE(EplCapability(2, key, answer)) << key;
    EXPECT_FALSE(EplCapability(3, 1, answer));
}

TEST(EplGraphic, BoxesAndStoredImages)
{
    EXPECT_EQ(EplLineCommand(10, 20, 300, 4), "LO10,20,300,4\r\n");
    EXPECT_EQ(EplBoxCommand(10, 20, 3, 100, 200), "X10,20,3,110,220\r\n");
    EXPECT_EQ(EplGraphicCommand(10, 20, "G1"), "GG10,20,\"G1\"\r\n");
    const std::vector<std::uint8_t> image = {0x0A, 0x05, 0x01, 0x00, '\r', '\n', '"', 0xFF};
    std::string expected = "GK\"G1\"\r\nGM\"G1\"8\n";
    expected.append(image.begin(), image.end());
    expected += "\r\n";
    EXPECT_EQ(EplGraphicDownload("G1", image), expected);
}

// ---- the system drivers' private settings ----------------------------------

void PutByte(std::vector<std::uint8_t>& b, size_t at, int v) { b.at(at) = std::uint8_t(v); }
void PutWord(std::vector<std::uint8_t>& b, size_t at, int v) { DevModeSetWord(b, at, WORD(v)); }
void PutDword(std::vector<std::uint8_t>& b, size_t at, int v) { DevModeSetDword(b, at, DWORD(v)); }

Settings Plain(const std::vector<std::uint8_t>& block, Settings s = {})
{
    EXPECT_TRUE(EplSettingsFromDevMode(CDevModeView(block), s));
    return s;
}

void ExpectEntries(const Settings& s, std::initializer_list<std::pair<int, int>> entries)
{
    for (const auto& [index, value] : entries) EXPECT_EQ(s[size_t(index)], value) << "index " << index;
}

TEST(EplDriverSettings, CurrentLayoutMapsEveryValue)
{
    std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x701, 1320);
    PutByte(b, 0x564, 0x10 | 0x20 | 0x01);
    PutDword(b, 0x5A0, 4);
    PutDword(b, 0x5A4, 12);
    PutWord(b, 0x56C, 1);
    PutWord(b, 0x56E, 3);
    PutWord(b, 0x5A8, 3);
    PutDword(b, 0x598, 17);
    PutDword(b, 0x59C, 19);
    PutWord(b, 0x578, 21);
    PutWord(b, 0x590, 400);
    PutDword(b, 0x584, -12);
    PutDword(b, 0x58C, 7);
    Settings start{};
    start[ES_NO_PRINT_MODE] = 1;
    ExpectEntries(Plain(b, start), {{ES_SUPPRESS_SPEED, 0}, {ES_SPEED, 4}, {ES_SUPPRESS_DENSITY, 0}, {ES_DENSITY, 12},
                                    {ES_THERMAL_TRANSFER, 1}, {ES_MEDIA, 1}, {ES_NO_PRINT_MODE, 0}, {ES_PRINT_MODE, 5},
                                    {ES_BACKFEED, 17}, {ES_BACKFEED_PEEL, 19}, {ES_CUT_POSITION, 21},
                                    {ES_FORM_LENGTH, 400}, {ES_OPTION_S, 1}, {ES_GAP_OFFSET, -12},
                                    {ES_MARK_OFFSET, 7}});
    // Flags clear: speed and density stay the printer's, no option S.
    PutByte(b, 0x564, 0);
    ExpectEntries(Plain(b), {{ES_SUPPRESS_SPEED, 1}, {ES_SUPPRESS_DENSITY, 1}, {ES_OPTION_S, 0}});
}

TEST(EplDriverSettings, CurrentLayoutValueTables)
{
    const struct {
        size_t offset;
        int value;
        int index;
        int expected;  // -1: the entry keeps its 9
    } cases[] = {
        {0x56C, 0, ES_THERMAL_TRANSFER, 0}, {0x56C, 1, ES_THERMAL_TRANSFER, 1}, {0x56C, 2, ES_THERMAL_TRANSFER, -1},
        {0x56E, 0, ES_MEDIA, 0},            {0x56E, 1, ES_MEDIA, 1},            {0x56E, 2, ES_MEDIA, 2},
        {0x56E, 3, ES_MEDIA, 1},            {0x56E, 4, ES_MEDIA, -1},           {0x5A8, 0, ES_PRINT_MODE, 0},
        {0x5A8, 1, ES_PRINT_MODE, 1},       {0x5A8, 2, ES_PRINT_MODE, 2},       {0x5A8, 3, ES_PRINT_MODE, 5},
        {0x5A8, 5, ES_PRINT_MODE, 4},       {0x5A8, 4, ES_PRINT_MODE, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.offset << " = " << c.value);
        std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x701, 1320);
        for (size_t at : {0x56C, 0x56E, 0x5A8}) PutWord(b, at, 9);
        PutWord(b, c.offset, c.value);
        Settings s{};
        s.fill(9);
        s = Plain(b, s);
        EXPECT_EQ(s[size_t(c.index)], c.expected < 0 ? 9 : c.expected);
    }
}

TEST(EplDriverSettings, OlderLayoutReadsItsBlockAtEitherSpecVersion)
{
    const struct {
        WORD spec;
        size_t q;
    } layouts[] = {{0x400, 0x4F8}, {0x401, 0x564}};
    const struct {
        DWORD g;
        int thermalTransfer, printMode, optionS;
    } bits[] = {{0, 1, 0, 0}, {1, 0, 4, 0}, {8, 1, 2, 0}, {0x10, 1, 1, 0}, {0x18, 1, 2, 0}, {0x19 | 4, 0, 4, 4}};
    for (const auto& layout : layouts) {
        for (const auto& bit : bits) {
            SCOPED_TRACE(::testing::Message() << std::hex << layout.spec << " G " << bit.g);
            std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x600, 0x600, layout.spec);
            PutDword(b, layout.q + 0x00, 2);
            PutDword(b, layout.q + 0x04, 30);
            PutDword(b, layout.q + 0x08, 11);
            PutDword(b, layout.q + 0x0C, 2);
            PutDword(b, layout.q + 0x14, -3);
            PutDword(b, layout.q + 0x1C, 9);
            PutDword(b, layout.q + 0x24, int(bit.g));
            Settings start{};
            start.fill(7);
            ExpectEntries(Plain(b, start),
                          {{ES_SUPPRESS_SPEED, 0}, {ES_SPEED, 2}, {ES_SUPPRESS_DENSITY, 0}, {ES_DENSITY, 11},
                           {ES_THERMAL_TRANSFER, bit.thermalTransfer}, {ES_MEDIA, 2}, {ES_PRINT_MODE, bit.printMode},
                           {ES_CUT_POSITION, 30}, {ES_OPTION_S, bit.optionS}, {ES_GAP_OFFSET, -3},
                           {ES_MARK_OFFSET, 9}, {ES_BACKFEED, 7}});
        }
    }
}

TEST(EplDriverSettings, OtherSpecVersionsLeaveTheBlock)
{
    Settings s{};
    s[ES_SPEED] = 9;
    EXPECT_FALSE(EplSettingsFromDevMode(CDevModeView(MakeDevMode("zebra", 0x701, 1320, 0x300)), s));
    EXPECT_FALSE(EplSettingsFromDevMode(CDevModeView(), s));
    EXPECT_EQ(s[ES_SPEED], 9);
    // A block cut short reads its missing values as 0, never past its end.
    std::vector<std::uint8_t> shortBlock = MakeDevMode("zebra", 0x701, 1320);
    PutDword(shortBlock, 0x5A0, 3);
    shortBlock.resize(0x5A2);
    EXPECT_TRUE(EplSettingsFromDevMode(CDevModeView(shortBlock), s));
    EXPECT_EQ(s[ES_SPEED], 0);
}

TEST(EplDriverSettings, WithoutSettingsThePrinterKeepsItsOwnAndFeedsTheLabel)
{
    Settings s{};
    s.fill(5);
    EplSettingsWithoutDevMode(s, true, 264);
    EXPECT_EQ(EplSetupLines(s, Dots()), Lines({"I8,1,001", "q823", "WN", "ZB", "Q240,24+0"}));
    EXPECT_EQ(Epl19SetupLines(s, Dots()), Lines({"q823", "JB", "WN", "ZB", "Q240,24"}));
    EplSettingsWithoutDevMode(s, false, 240);
    EXPECT_EQ(EplSetupLines(s, Dots()), Lines({"I8,1,001", "q823", "WN", "ZB", "Q240,0"}));
}

Settings Single(const std::vector<std::uint8_t>& block)
{
    Settings s{};
    s.fill(7);  // every entry a layout does not name becomes 0
    EXPECT_TRUE(Epl19SettingsFromDevMode(CDevModeView(block), s));
    return s;
}

// The entries the single-number driver's layouts set; the rest must be 0.
void ExpectOnly(const Settings& s, std::map<int, int> entries)
{
    for (int i = 0; i < kEplSettingsCount; ++i) {
        const auto it = entries.find(i);
        EXPECT_EQ(s[size_t(i)], it == entries.end() ? 0 : it->second) << "index " << i;
    }
}

TEST(Epl19DriverSettings, FirstLayoutMethodsBecomeMediaAndFlags)
{
    const struct {
        int method;
        std::map<int, int> entries;
    } cases[] = {
        {0, {{ES_NO_DIRECT_OPTION, 1}, {ES_SUPPRESS_MEDIA, 1}}},
        {1, {{ES_THERMAL_TRANSFER, 1}, {ES_MEDIA, 1}, {ES_CUTTER, 1}}},
        {2, {{ES_THERMAL_TRANSFER, 1}, {ES_MEDIA, 2}, {ES_PEEL, 1}}},
        {3, {{ES_THERMAL_TRANSFER, 1}, {ES_MEDIA, 0}, {ES_TOP_OF_FORM, 1}}},
        {4, {{ES_MEDIA, 1}}},
        {5, {{ES_MEDIA, 2}}},
        {6, {}},
        {7, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        std::vector<std::uint8_t> b = MakeDevMode("argox", 0x500, 588);
        PutDword(b, 0xD8, 4);
        PutWord(b, 0xD6, -3);
        PutDword(b, 0xCC, c.method);
        std::map<int, int> entries = c.entries;
        entries[ES_SPEED] = 4;
        entries[ES_DENSITY] = -3;
        ExpectOnly(Single(b), entries);
    }
}

TEST(Epl19DriverSettings, OtherLayouts)
{
    {
        SCOPED_TRACE("0x701 / 1320");
        std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x701, 1320);
        PutDword(b, 0x5A0, 4);
        PutDword(b, 0x5A4, 9);
        PutWord(b, 0x56C, 2);
        PutWord(b, 0x56E, 2);
        PutWord(b, 0x5A8, 5);
        // Neither flag: the printer keeps its speed and density.
        ExpectOnly(Single(b), {{ES_SPEED, 4},
                               {ES_DENSITY, 9},
                               {ES_SUPPRESS_SPEED, 1},
                               {ES_SUPPRESS_DENSITY, 1},
                               {ES_THERMAL_TRANSFER, 1},
                               {ES_MEDIA, 2},
                               {ES_CUTTER, 1}});
        PutByte(b, 0x564, 0x30);
        PutWord(b, 0x56C, 0);
        PutWord(b, 0x56E, 7);
        PutWord(b, 0x5A8, 1);
        ExpectOnly(Single(b), {{ES_SPEED, 4}, {ES_DENSITY, 9}, {ES_TOP_OF_FORM, 1}});
        PutWord(b, 0x5A8, 2);
        EXPECT_EQ(Single(b)[ES_PEEL], 1);
    }
    {
        SCOPED_TRACE("0x500 / 1148");
        std::vector<std::uint8_t> b = MakeDevMode("argox", 0x500, 1148);
        PutByte(b, 0x513, 0xFF);  // -1 + 2
        PutByte(b, 0x510, 0xFE);
        PutByte(b, 0x511, 3);
        PutWord(b, 0x9E, 1);
        PutByte(b, 0x514, 2);
        ExpectOnly(Single(b), {{ES_SPEED, 1}, {ES_DENSITY, -2}, {ES_THERMAL_TRANSFER, 1}, {ES_MEDIA, 1}, {ES_PEEL, 1}});
        PutByte(b, 0x514, 3);
        PutByte(b, 0x511, 0);
        ExpectOnly(Single(b), {{ES_SPEED, 1}, {ES_DENSITY, -2}, {ES_MEDIA, 1}, {ES_CUTTER, 1}});
        PutByte(b, 0x514, 1);
        EXPECT_EQ(Single(b)[ES_TOP_OF_FORM], 1);
    }
    {
        SCOPED_TRACE("any other");
        std::vector<std::uint8_t> b = MakeDevMode("argox", 0x600, 0x600);
        PutDword(b, 0x564, 3);
        PutDword(b, 0x56C, 10);
        PutDword(b, 0x570, 2);
        PutByte(b, 0x588, 0x10 | 0x08 | 0x01);
        ExpectOnly(Single(b), {{ES_SPEED, 3},
                               {ES_DENSITY, 10},
                               {ES_THERMAL_TRANSFER, 1},
                               {ES_MEDIA, 2},
                               {ES_TOP_OF_FORM, 1},
                               {ES_PEEL, 1},
                               {ES_CUTTER, 1}});
        PutByte(b, 0x588, 4);
        ExpectOnly(Single(b), {{ES_SPEED, 3}, {ES_DENSITY, 10}, {ES_MEDIA, 2}});
    }
    Settings s{};
    s[ES_SPEED] = 9;
    EXPECT_FALSE(Epl19SettingsFromDevMode(CDevModeView(), s));
    EXPECT_EQ(s[ES_SPEED], 9);
}

TEST(EplStoreDriverSettings, SpeedTableByResolution)
{
    const int low[] = {20, 30, 35, 40, 50, 60, 70, 80, 80};
    const int high[] = {20, 25, 30, 35, 40, 50, 60, 60, 60};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(EplSpeedOfIndex(i, 203), low[i]) << i;
        EXPECT_EQ(EplSpeedOfIndex(i, 249), low[i]) << i;
        EXPECT_EQ(EplSpeedOfIndex(i, 250), high[i]) << i;
        EXPECT_EQ(EplSpeedOfIndex(i, 300), high[i]) << i;
    }
    EXPECT_EQ(EplSpeedOfIndex(-1, 203), 80);
}

TEST(EplStoreDriverSettings, EachLayoutAnswersSpeedHeatAndMedia)
{
    const auto ask = [](const std::vector<std::uint8_t>& b, bool modern = true, int vdpi = 203) {
        const CDevModeView v(b);
        return std::array<int, 3>{EplStoreDriverSetting(v, EDS_SPEED, vdpi, modern),
                                  EplStoreDriverSetting(v, EDS_HEAT, vdpi, modern),
                                  EplStoreDriverSetting(v, EDS_MEDIA, vdpi, modern)};
    };
    using A = std::array<int, 3>;
    {
        SCOPED_TRACE("B");
        std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x701, 1320);
        PutDword(b, 0x5A0, 4);
        PutDword(b, 0x5A4, 12);
        for (const auto& [media, answer] : std::map<int, int>{{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 3}, {-1, 3}}) {
            PutWord(b, 0x56E, media);
            EXPECT_EQ(ask(b, false), (A{-1, -1, answer})) << media;
        }
        PutByte(b, 0x564, 0x30);
        EXPECT_EQ(ask(b), (A{40, 12, 3}));
    }
    {
        SCOPED_TRACE("C");
        std::vector<std::uint8_t> b = MakeDevMode("tsc", 0x400, 1453);
        PutDword(b, 0x4A8, 127);  // MulDiv(127, 10000, 25402) = 50
        PutDword(b, 0x4A4, 8);
        for (const auto& [media, answer] : std::map<int, int>{{0, 0}, {1, 1}, {2, 1}, {3, 3}}) {
            PutDword(b, 0x4AC, media);
            EXPECT_EQ(ask(b), (A{50, 8, answer})) << media;
        }
    }
    {
        SCOPED_TRACE("A");
        for (const auto& [version, extra] : std::vector<std::pair<WORD, WORD>>{
                 {0x600, 796}, {0x600, 804}, {0x600, 812}, {0x500, 564}}) {
            std::vector<std::uint8_t> b = MakeDevMode("zebra", version, extra);
            PutDword(b, 0xD8, 3);
            PutWord(b, 0xD6, -2);
            for (const auto& [source, answer] : std::map<int, int>{{280, 1}, {281, 0}, {7, 3}}) {
                PutDword(b, 0xCC, source);
                EXPECT_EQ(ask(b, false), (A{40, -2, answer})) << extra << " " << source;
                EXPECT_EQ(ask(b, false, 300), (A{35, -2, answer}));
            }
        }
        // Any other block with values past the public part, on a current system.
        std::vector<std::uint8_t> other = MakeDevMode("zebra", 0x123, 600);
        PutDword(other, 0xD8, 1);
        PutDword(other, 0xCC, 281);
        EXPECT_EQ(ask(other), (A{30, 0, 0}));
    }
    {
        SCOPED_TRACE("D");
        for (const auto& [spec, priv] : std::vector<std::pair<WORD, size_t>>{{0x401, 0xB8}, {0x400, 0x4F8}}) {
            std::vector<std::uint8_t> b = MakeDevMode("zebra", 0x123, 0x600, spec);
            PutDword(b, priv + 8, -65534);  // index 2 once 65536 is added
            PutDword(b, priv, int(0xFFFB0000u));
            PutWord(b, devmode::kDefaultSource, 280);
            EXPECT_EQ(ask(b, false), (A{35, -5, 1})) << spec;
            PutDword(b, priv, 0x00050000);
            PutWord(b, devmode::kDefaultSource, 281);
            EXPECT_EQ(ask(b, false), (A{35, 5, 0})) << spec;
        }
    }
    // No private block (a queue without a maker's driver, another spec
    // version): speed and heat stay the printer's.
    std::vector<std::uint8_t> plain = MakeDevMode("queue");
    PutWord(plain, devmode::kDefaultSource, 281);
    EXPECT_EQ(ask(plain), (A{-1, -1, 0}));
    EXPECT_EQ(ask(MakeDevMode("zebra", 0x123, 0x600, 0x300), false), (A{-1, -1, 3}));
    // No settings at all: gap labels, the printer's speed and heat.
    EXPECT_EQ(ask({}), (A{-1, -1, 1}));
    EXPECT_EQ(EplStoreDriverSetting(CDevModeView(plain), 3, 203), -1);
    EXPECT_EQ(EplStoreDriverSetting(CDevModeView(plain), 4, 203), 0);
}

TEST(EplDriverSettings, StandInEpl2QueueOptionsBecomeEachDriversSetup)
{
    VendorDriverQueue q;
    q.printerName = "eltron";
    q.driverName = "Zebra EPL2 Label Printer";
    q.options = {{"zePrintRate", "4"}, {"Darkness", "20"}, {"MediaType", "Thermal"}};
    q.dpiX = q.dpiY = 203;
    const std::vector<std::uint8_t> block = MakeQueueDevMode(q);
    EplLabelDots d = Dots();
    // The plain driver limits the speed to 3; the darkness of 0..30 is 0..15.
    EXPECT_EQ(EplSetupLines(Plain(block), d),
              Lines({"I8,1,001", "S3", "q823", "WN", "ZB", "D10", "O", "JB", "Q240,24+0"}));
    // The single-number driver sends the speed the queue names.
    EXPECT_EQ(Epl19SetupLines(Single(block), d), Lines({"q823", "S4", "JB", "WN", "D10", "ZB", "Q240,24"}));
    EplStoreSetup setup;
    setup.formName = "TVFORM";
    const CDevModeView v(block);
    setup.speed = EplStoreDriverSetting(v, EDS_SPEED, 203);
    setup.heat = EplStoreDriverSetting(v, EDS_HEAT, 203);
    setup.media = EplStoreDriverSetting(v, EDS_MEDIA, 203);
    EXPECT_EQ(EplStoreSetupLines(setup, d), Lines({"I8,1,001", "Q240,24", "q823", "S40", "H10", "ZB", "R0,0"}));
    // A queue that names neither leaves speed and density to the printer.
    q.options = {{"MediaType", "Direct"}};
    const std::vector<std::uint8_t> bare = MakeQueueDevMode(q);
    EXPECT_EQ(EplSetupLines(Plain(bare), d), Lines({"I8,1,001", "q823", "WN", "ZB", "OD", "JB", "Q240,24+0"}));
    EXPECT_EQ(Epl19SetupLines(Single(bare), d), Lines({"q823", "OD", "JB", "WN", "ZB", "Q240,24"}));
}

}  // namespace
