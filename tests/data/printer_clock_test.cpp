#include <gtest/gtest.h>

#include <memory>

#include "data/printer_clock.h"
#include "model/object_clock.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawrect.h"
#include "print/printdriver.h"

namespace {

// A driver whose printer has a clock, answering with the EPL clock formats.
class ClockDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;
    int GetCapability(int what, int) override { return what == 17 ? 1 : 0; }
    std::string GetClockDateText(int index, const CLocalTime* t) override { return EplClockDateText(index, t); }
    std::string GetClockTimeText(int index, const CLocalTime* t) override { return EplClockTimeText(index, t); }
    int GetClockFormats(int kind, std::vector<std::string>& list) override { return EplClockFormats(kind, list); }
};

CLocalTime T(const char* text) { return ParseLocalTime(text).value_or(CLocalTime{}); }

TEST(PrinterClock, DateAndTimeTexts)
{
    const CLocalTime t = T("2007-01-05 13:05:09");
    const struct {
        int index;
        const char* text;
    } dates[] = {
        {0, "2007-01-05\n(y4-mn-dd)"}, {1, "01-05-2007\n(mn-dd-y4)"}, {2, "05-01-2007\n(dd-mn-y4)"},
        {3, "07-01-05\n(y2-mn-dd)"},   {4, "01-05-07\n(mn-dd-y2)"},   {5, "05-01-07\n(dd-mn-y2)"},
        {6, "2007/01/05\n(y4/mn/dd)"}, {7, "01/05/2007\n(mn/dd/y4)"}, {8, "05/01/2007\n(dd/mn/y4)"},
        {9, "07/01/05\n(y2/mn/dd)"},   {10, "01/05/07\n(mn/dd/y2)"},  {11, "05/01/07\n(dd/mn/y2)"},
        {12, "2007-01-05\n(y4-mn-dd)"}, {-1, "2007-01-05\n(y4-mn-dd)"},
    };
    for (const auto& d : dates) EXPECT_EQ(EplClockDateText(d.index, &t), d.text) << d.index;

    const struct {
        const char* now;
        int index;
        const char* text;
    } times[] = {
        {"2007-01-05 13:05:09", 0, "13:05:09"}, {"2007-01-05 13:05:09", 1, "13:05"},
        {"2007-01-05 13:05:09", 2, "1:05:09PM"}, {"2007-01-05 13:05:09", 3, "1:05PM"},
        {"2007-01-05 09:05:09", 1, "9:05"},     {"2007-01-05 09:05:09", 3, "9:05AM"},
        {"2007-01-05 00:05:09", 2, "12:05:09AM"}, {"2007-01-05 12:00:00", 3, "12:00PM"},
        {"2007-01-05 13:05:09", 4, "13:05:09"},
    };
    for (const auto& c : times) {
        const CLocalTime at = T(c.now);
        EXPECT_EQ(EplClockTimeText(c.index, &at), c.text) << c.now << " " << c.index;
    }

    SetClockOverride(&t);
    std::vector<std::string> list = {"old"};
    EXPECT_EQ(EplClockFormats(CFK_DATE, list), 12);
    EXPECT_EQ(list[7], "01/05/2007\n(mn/dd/y4)");
    EXPECT_EQ(EplClockFormats(CFK_TIME, list), 4);
    EXPECT_EQ(list[2], "1:05:09PM");
    EXPECT_EQ(EplClockFormats(2, list), 0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(EplClockDateText(0, nullptr), "2007-01-05\n(y4-mn-dd)");  // null: now
    SetClockOverride(nullptr);

    // The base driver has no clock.
    CPrintDriver base(nullptr);
    EXPECT_EQ(base.GetClockDateText(0, &t), "");
    EXPECT_EQ(base.GetClockTimeText(0, &t), "");
    list = {"old"};
    EXPECT_EQ(base.GetClockFormats(0, list), 0);
    EXPECT_TRUE(list.empty());
}

TEST(PrinterClock, SetupTextsAndFieldReferences)
{
    const struct {
        int kind;
        const char* index;  // property 316, "" when absent
        int offset;
        const char* setup;
        const char* field;
    } cases[] = {
        {VK_DATE, "7", 3 * 86400, "TDmn/dd/y4\r\n", "TD+3"},
        {VK_DATE, "7", -3 * 86400, "TDmn/dd/y4\r\n", "TD"},
        {VK_DATE, "", 0, "TDy4-mn-dd\r\n", "TD"},
        {VK_DATE, "1", 0, "TDmn-dd-y4\r\n", "TD"},
        {VK_DATE, "11", 86400, "TDdd/mn/y2\r\n", "TD+1"},
        {VK_DATE, "12", 0, "TDy4-mn-dd\r\n", "TD"},
        {VK_TIME, "", 90 * 60, "TTh:m:s\r\n", "TT+90"},
        {VK_TIME, "1", 0, "TTh:m\r\n", "TT"},
        {VK_TIME, "2", -60, "TTh:m:s+\r\n", "TT"},
        {VK_TIME, "3", 3600 + 30, "TTh:m+\r\n", "TT+60"},
        {VK_TIME, "4", 0, "TTh:m:s\r\n", "TT"},
        {VK_FIXED, "1", 86400, "", ""},
        {VK_SERIAL, "1", 86400, "", ""},
    };
    for (const auto& c : cases) {
        CVariable v(c.kind);
        v.SetProperty(VP_PRINTER_CLOCK, "1");
        v.SetProperty(VP_CLOCK_FORMAT, c.index);
        v.m_nOffset = c.offset;
        CDrawRect obj(CRect(0, 0, 10, 10));
        obj.m_variables.push_back(&v);
        EXPECT_EQ(EplClockSetupText(obj), c.setup) << c.kind << " " << c.index;
        EXPECT_EQ(EplClockFieldReference(obj), c.field) << c.kind << " " << c.index;
        obj.m_variables.clear();
    }
    CDrawRect none(CRect(0, 0, 10, 10));
    EXPECT_EQ(EplClockSetupText(none), "");
    EXPECT_EQ(EplClockFieldReference(none), "");
}

class PrinterClockChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        const CLocalTime now = T("2007-01-05 13:05:09");
        SetClockOverride(&now);
        m_previousTest = GetPrinterFontTest();
        SetPrinterFontTest([](const CDrawObj* obj) { return obj->GetProperty(1) == "printer font"; });
        doc.m_driver = std::make_shared<ClockDriver>(&doc);
        text = new CDrawObj;
        text->m_nType = OBJ_TEXT;
        text->SetProperty(1, "printer font");
        doc.AddObject(text);
        date = new CVariable(VK_DATE);
        date->SetProperty(VP_PRINTER_CLOCK, "1");
        date->SetProperty(VP_CLOCK_FORMAT, "7");
        date->m_nOffset = 3 * 86400;
        doc.AddVariable(date);
        text->AddVariable(date);
    }
    void TearDown() override
    {
        SetPrinterFontTest(m_previousTest);
        SetClockOverride(nullptr);
    }
    CKVDoc doc;
    CDrawObj* text = nullptr;
    CVariable* date = nullptr;
    PrinterFontTest m_previousTest = nullptr;
};

TEST_F(PrinterClockChoice, PrinterClockTextWithTheMovedDate)
{
    EXPECT_TRUE(text->UsesPrinterClock());
    EXPECT_EQ(text->GetText(), "01/08/2007");
    EXPECT_EQ(date->m_strData, "01/08/2007");
    // A time from the printer's clock, index 2.
    date->m_nKind = VK_TIME;
    date->m_nOffset = 0;
    date->SetProperty(VP_CLOCK_FORMAT, "2");
    EXPECT_EQ(text->GetText(), "1:05:09PM");
}

TEST_F(PrinterClockChoice, ComputerClockUnlessEveryConditionHolds)
{
    const std::string computer = "2007-01-08";
    {
        // Not in a printer-resident font.
        text->SetProperty(1, "screen font");
        EXPECT_EQ(text->GetText(), computer);
        text->SetProperty(1, "printer font");
    }
    {
        // Not a text object (a barcode prints no clock).
        text->m_nType = OBJ_BARCODE;
        EXPECT_EQ(text->GetText(), computer);
        text->m_nType = OBJ_TEXT;
    }
    {
        // The property off.
        date->SetProperty(VP_PRINTER_CLOCK, "0");
        EXPECT_FALSE(text->UsesPrinterClock());
        EXPECT_EQ(text->GetText(), computer);
        date->SetProperty(VP_PRINTER_CLOCK, "1");
    }
    {
        // A printer without a clock.
        auto saved = doc.m_driver;
        doc.m_driver = std::make_shared<CPrintDriver>(&doc);
        EXPECT_FALSE(text->UsesPrinterClock());
        EXPECT_EQ(text->GetText(), computer);
        doc.m_driver = saved;
    }
    {
        // A second variable.
        auto* fixed = new CVariable(VK_FIXED);
        fixed->m_strData = "!";
        doc.AddVariable(fixed);
        text->AddVariable(fixed);
        EXPECT_FALSE(text->UsesPrinterClock());
        EXPECT_EQ(text->GetText(), computer + "!");
        text->RemoveVariable(fixed);
    }
    {
        // Asked without an object (the editor's display value).
        EXPECT_EQ(date->GetDisplayValue(nullptr), computer);
    }
    EXPECT_EQ(text->GetText(), "01/08/2007");
}

}  // namespace
