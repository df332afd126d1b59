// The TPCL driver in whole jobs: a fixed label against its stored stream,
// data that would end a field or start a command, field numbers per
// format, serial numbers the printer counts, the settings taken from the
// TEC driver's block, and graphics in each mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "drivers/command_helpers.h"
#include "drivers/printer_languages.h"
#include "platform/devmode.h"
#include "platform/strutil.h"
#include "support/kvtest.h"
#include "tpcl_label.h"

namespace {

using tpcltest::CommandsOf;
using tpcltest::TpclLabel;

std::vector<std::string> Read(const std::string& job)
{
    std::vector<std::string> commands;
    std::string error;
    EXPECT_TRUE(tpcltest::SplitTpcl(job, &commands, &error)) << error;
    return commands;
}

// The TEC system driver's settings (spec version 0x401: the block at 0x564).
std::vector<std::uint8_t> TecSettings(char ribbon, char sensor, char mode, int speed, int graphic, int feedValue)
{
    const size_t t = 0x564;
    std::vector<std::uint8_t> dm = MakeDevMode("TEC B-EX4T1", 0x100, WORD(t + 0x38 - 156), 0x401);
    dm[t + TEC_RIBBON] = std::uint8_t(ribbon);
    dm[t + TEC_SENSOR] = std::uint8_t(sensor);
    dm[t + TEC_ISSUE_MODE] = std::uint8_t(mode);
    dm[t + TEC_SPEED] = std::uint8_t(speed);
    DevModeSetDword(dm, t + TEC_DARKNESS_RIBBON, DWORD(-2));
    dm[t + TEC_GRAPHIC_SETTING] = std::uint8_t(graphic);
    dm[t + TEC_FEED_FLAG] = feedValue ? 1 : 0;
    DevModeSetDword(dm, t + TEC_FEED_VALUE, DWORD(feedValue));
    return dm;
}

TEST(TpclJob, LanguageTableMakesTheDriver)
{
    EXPECT_EQ(ParsePrinterLanguage("tpcl"), 10);
    EXPECT_EQ(ParsePrinterLanguage("TPCL"), 10);
    TpclLabel l;
    ASSERT_NE(dynamic_cast<CTpclDriver*>(l.doc.m_driver.get()), nullptr);
    // Native: the symbologies with a TPCL type; the readable line is text.
    CTpclDriver& d = l.Tpcl();
    EXPECT_EQ(d.GetCapability(1, 0), 10);
    EXPECT_EQ(d.GetCapability(9, 0), 1);
    for (int code : {BS_CODE39, BS_CODE128, BS_ITF25, BS_CODE93, BS_CODABAR})
        EXPECT_EQ(d.GetCapability(2, code), 1) << code;
    for (int code : std::initializer_list<int>{BS_EAN13, BS_UPCA, BS_EAN8, BS_UPCE, BS_PDF417, BS_QRCODE, BS_DATAMATRIX, BS_CODE25, 99})
        EXPECT_EQ(d.GetCapability(2, code), 0) << code;
}

TEST(TpclJob, FixedLabelGivesTheStoredStream)
{
    // A text in a printer font, a Code 128, a line, a box and a picture,
    // printed once, with the settings of a TEC queue: the setup, then the
    // fields in object order, the issue command and the feed lines.
    TpclLabel l(6000, 4000, 1, 1, 25);
    l.doc.m_format.m_nVGap = 300;
    l.doc.m_format.m_devMode = TecSettings('2', '1', 'C', 3, 16, 50);
    l.TecText("LOT 42", CPoint(300, 300), "TEC Font B");
    CDrawBarcode* code = l.Barcode(BS_CODE128, "KV1234", CPoint(300, 900));
    code->m_nTextPlacement = BTP_NONE;
    l.Line(CRect(200, 2800, 5000, 2850), LINE_HORIZONTAL);
    l.Box(CRect(100, 100, 5900, 3900), 30);
    l.Picture(CRect(4000, 300, 5000, 1300));

    kvtest::TempDir dir;
    CTpclDriver& driver = l.Tpcl();
    driver.SetOutputFile(dir.file("job.tpcl"));
    l.doc.m_format.m_nQuantity = 1;
    ASSERT_TRUE(driver.BeginJob(TRUE));
    ASSERT_TRUE(driver.PrintJob("", TRUE)) << driver.LastError();
    driver.EndPrint(TRUE);
    const std::string job = kvtest::ReadFileText(dir.file("job.tpcl"));
    const std::string fixture = kvtest::SourcePath("tests/fixtures/tpcl/fixed-label.tpcl");
    if (std::getenv("KV_TPCL_WRITE_FIXTURES")) kvtest::WriteFileBytes(fixture, {job.begin(), job.end()});
    EXPECT_EQ(job, kvtest::ReadFileText(fixture));

    const std::vector<std::string> commands = Read(job);
    ASSERT_GE(commands.size(), 8u);
    EXPECT_EQ(commands[0], "D0430,0600,0400");
    EXPECT_EQ(commands[1], "AY;-02,0");
    EXPECT_EQ(commands[2], "U2;0050");
    EXPECT_EQ(commands[3], "C");
    EXPECT_EQ(commands[4].substr(0, 6), "PC000;");
    EXPECT_EQ(commands[5].substr(0, 5), "XB00;");
    // Sensor 1, batch mode, speed 3 of a B-EX model 25 is "4", ribbon 2.
    EXPECT_EQ(CommandsOf(commands, "XS;I,").at(0), "XS;I,0001,0001C4201");
    EXPECT_EQ(commands.back(), "C");
    EXPECT_EQ(commands[commands.size() - 2], "U1;0050");
}

TEST(TpclJob, TextAndBarcodeFields)
{
    // 203 dpi: TEC Font B's cell; a text at (3 mm, 3 mm).
    TpclLabel l;
    CDrawText* t = l.TecText("Best before", CPoint(300, 300), "TEC Font B");
    l.Barcode(BS_CODE39, "ab-12", CPoint(300, 1500), 2, 1000, BTP_NONE);
    l.Barcode(BS_CODE128, "KV1234", CPoint(300, 2500), 2, 800, BTP_NONE);
    const std::vector<std::string> commands = Read(l.Job());
    const std::vector<std::string> texts = CommandsOf(commands, "PC");
    const std::vector<std::string> bars = CommandsOf(commands, "XB");
    ASSERT_EQ(texts.size(), 1u);
    ASSERT_EQ(bars.size(), 2u);
    // The field starts at the text's left edge and on its baseline, a
    // fifth of the cell's height above its bottom.
    const int cell = FindPrinterFontCell(l.doc.m_fontTable.get(), t).height;
    const int h = MulDiv(cell, 25402, 2030);
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(texts[0].c_str(), "PC000;%4d,%4d,", &x, &y), 2) << texts[0];
    EXPECT_EQ(x, 30);
    EXPECT_NEAR(y, 30 + (h - h / 5) / 10, 1) << texts[0];
    EXPECT_NE(texts[0].find(",1,1,B,00,B=Best before"), std::string::npos) << texts[0];
    // Code 39 upper-cased, element widths: narrow 2 dots, wide 3 x 2,
    // 10 mm high; no serial: "+" and ten zeros.
    EXPECT_EQ(bars[0], "XB00;0030,0150,3,1,02,02,06,06,02,0,0100,+0000000000,0,00=AB-12");
    // Code 128 with a module, in the printer's subset codes.
    EXPECT_EQ(bars[1].substr(0, 44), "XB01;0030,0250,A,1,02,0,0080,+0000000000,000");
    EXPECT_EQ(bars[1].substr(bars[1].find('=')), "=>:KV>51234");
}

TEST(TpclJob, FieldNumbersStartAgainWithEachFormat)
{
    TpclLabel l(4000, 2000, 2);
    l.TecText("A", CPoint(200, 200));
    l.TecText("B", CPoint(200, 900));
    l.Barcode(BS_CODE93, "X1", CPoint(2000, 200), 2, 800, BTP_NONE);
    // Three labels two across: a format of two, then one of one.
    const std::vector<std::string> commands = Read(l.Job(3));
    std::vector<std::string> numbers;
    for (const std::string& c : commands)
        if (c.compare(0, 2, "PC") == 0 || c.compare(0, 2, "XB") == 0 || c.compare(0, 3, "XS;") == 0)
            numbers.push_back(c.substr(0, c.find(c[0] == 'X' && c[1] == 'S' ? ',' : ';')));
    const std::vector<std::string> expected = {"PC000", "PC001", "XB00", "PC002", "PC003", "XB01", "XS;I",
                                               "PC000", "PC001", "XB00", "XS;I"};
    EXPECT_EQ(numbers, expected);
}

TEST(TpclJob, SerialNumbersThePrinterCounts)
{
    TpclLabel l;
    CDrawText* t = l.TecText("No ", CPoint(200, 200));
    CVariable* serial = l.Var("0098", VK_SERIAL);
    serial->m_nStep = 3;
    t->AddVariable(serial);
    CDrawBarcode* b = l.Barcode(BS_CODE128, "", CPoint(200, 1200), 2, 800, BTP_NONE);
    CVariable* down = l.Var("500", VK_SERIAL);
    down->m_nStep = 2;
    b->m_variables.clear();
    b->AddVariable(down);
    const std::vector<std::string> commands = Read(l.Job(5));
    ASSERT_EQ(l.Tpcl().GetPrintMode(), PM_PRINTER_SERIAL);
    const std::vector<std::string> texts = CommandsOf(commands, "PC");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(",B,+0000000003=No 0098"), std::string::npos) << texts[0];
    const std::vector<std::string> bars = CommandsOf(commands, "XB");
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_NE(bars[0].find(",+0000000002,000,0,00="), std::string::npos) << bars[0];
    EXPECT_EQ(CommandsOf(commands, "XS;I,").at(0).substr(0, 10), "XS;I,0005,");
}

TEST(TpclJob, DataThatWouldEndAFieldStopsTheJob)
{
    // TPCL has no escape in field data: each of these would end the field or
    // start a command, so the label is refused before any of it is sent.
    const std::vector<std::string> hostile = {"50{XS;I,9999,0002C3201|}", "A|}{D0100", "x}y", "a\x1B" "b",
                                              std::string("a\0b", 3), "two\nlines"};
    for (const std::string& data : hostile) {
        SCOPED_TRACE(testing::PrintToString(data));
        for (const bool barcode : {false, true}) {
            TpclLabel l;
            l.TecText("fine", CPoint(200, 200));
            CDrawObj* obj = nullptr;
            if (barcode)
                obj = l.Barcode(BS_CODE128, "x", CPoint(200, 900), 2, 800, BTP_NONE);
            else
                obj = l.TecText("x", CPoint(200, 900));
            obj->m_strComment = "Lot number";
            obj->m_variables[0]->m_strData = data;
            bool ok = true;
            const std::string job = l.Job(1, 1, &ok);
            EXPECT_FALSE(ok);
            // Only the setup went out.
            const std::vector<std::string> commands = Read(job);
            EXPECT_TRUE(CommandsOf(commands, "PC").empty());
            EXPECT_TRUE(CommandsOf(commands, "XS").empty());
            const std::string& error = l.Tpcl().LastError();
            EXPECT_NE(error.find(barcode ? "barcode" : "text"), std::string::npos) << error;
            EXPECT_NE(error.find("\"Lot number\""), std::string::npos) << error;
            EXPECT_NE(error.find("label 1"), std::string::npos) << error;
        }
    }
    // Everything else goes as it is.
    TpclLabel plain;
    plain.TecText("5% $4 (A/B) <x> ~^_\"'", CPoint(100, 200));
    bool ok = false;
    const std::vector<std::string> commands = Read(plain.Job(1, 1, &ok));
    EXPECT_TRUE(ok);
    ASSERT_EQ(CommandsOf(commands, "PC").size(), 1u);
    EXPECT_NE(CommandsOf(commands, "PC")[0].find("=5% $4 (A/B) <x> ~^_\"'"), std::string::npos);
}

TEST(TpclJob, GraphicsInTheModeOfTheDriverSettings)
{
    const struct {
        int setting;
        int model;
        const char* parameters;  // width, height or resolution, mode
    } cases[] = {
        {0, 1, "0080,0080,0"}, {64, 1, "0080,0080,4"}, {16, 1, "0080,0080,1"},
        {80, 1, "0080,0080,5"}, {32, 1, "0080,0300,3"}, {32, 10, "0080,0600,3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        TpclLabel l(6000, 4000, 1, 1, c.model);
        l.doc.m_format.m_devMode = TecSettings('2', '2', 'C', 2, c.setting, 0);
        l.Picture(CRect(1000, 1000, 2000, 2000));  // 1 cm: 80 dots at 203 dpi
        const std::vector<std::string> commands = Read(l.Job());
        const std::vector<std::string> graphics = CommandsOf(commands, "SG;");
        ASSERT_EQ(graphics.size(), 1u);
        EXPECT_EQ(graphics[0].substr(0, 25), std::string("SG;0100,0100,") + c.parameters + ",");
    }
}

TEST(TpclJob, CopiesOfEachSerialNumberAreAllPrinted)
{
    // Two copies of each serial number: the issue command has no copies of
    // its own, so the labels are made one by one rather than counted by
    // the printer, and none is lost.
    TpclLabel l;
    CDrawText* t = l.TecText("No ", CPoint(200, 200));
    t->AddVariable(l.Var("7", VK_SERIAL));
    const std::vector<std::string> commands = Read(l.Job(3, 2));
    int printed = 0;
    for (const std::string& c : CommandsOf(commands, "XS;I,")) printed += std::atoi(c.c_str() + 5);
    EXPECT_EQ(printed, 6);
    std::vector<std::string> texts;
    for (const std::string& c : CommandsOf(commands, "PC")) texts.push_back(c.substr(c.find('=') + 1));
    for (const std::string& c : CommandsOf(commands, "PC"))
        EXPECT_NE(c.find("=No "), std::string::npos);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "No 7"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "No 9"), texts.end());
}

}  // namespace
