// The catalogue on a CUPS scheduler of the test's own, with queues made by
// lpadmin from CUPS' sample label drivers and a raw queue: recognition,
// resolution, papers, the default printer, and the queue's option defaults
// reaching the settings block at the offsets the command drivers read.
#include <gtest/gtest.h>

#include "drivers/own_printers.h"
#include "drivers/printer_list.h"
#include "platform/devmode.h"
#include "platform/geometry.h"
#include "platform/spooler.h"
#include "support/cupsd.h"

namespace {

// The printers of the scheduler, with their papers.
CPrinterList& Catalog(std::vector<COwnPrinterRecord> settings = {})
{
    CPrinterList& list = CPrinterList::Instance();
    list.Build(GetSpooler(), settings);
    for (CPrinterEntry& e : list.Entries()) e.BuildPaperList(GetSpooler());
    return list;
}

bool HasPaper(const CPrinterEntry& e, const std::string& name, int code = -1)
{
    for (const CPaperEntry& p : e.m_papers)
        if (p.m_strName == name && (code < 0 || p.m_nCode == code)) return true;
    return false;
}

class CupsCatalog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cupsd.ok()) << cupsd.error(); }
    void TearDown() override { CPrinterList::Instance().SetEntries({}); }
    void Queue(const std::string& name, const std::string& model, const std::vector<std::string>& options = {})
    {
        ASSERT_TRUE(cupsd.AddQueue(name, "socket://127.0.0.1:9", model, options)) << cupsd.lastOutput();
    }
    kvtest::PrivateCupsd cupsd;
};

TEST_F(CupsCatalog, SampleLabelDriversAreRecognised)
{
    Queue("zpl", "drv:///sample.drv/zebra.ppd");
    Queue("epl", "drv:///sample.drv/zebraep2.ppd");
    Queue("cpcl", "drv:///sample.drv/zebracpl.ppd");
    Queue("zpl300", "drv:///sample.drv/zebra.ppd", {"Resolution=300dpi"});
    Queue("raw", "raw");
    ASSERT_TRUE(cupsd.SetDefault("epl")) << cupsd.lastOutput();

    kvtest::CaptureMessages messages;
    CPrinterList& list = Catalog();
    EXPECT_TRUE(messages.messages.empty());
    const struct {
        const char* name;
        int language;
        const char* brand;
        int family, dpi;
    } cases[] = {
        {"zpl", 1, "Zebra", 0, 203},
        {"epl", 11, "", 3, 203},
        {"cpcl", 0, "", 0, 203},
        {"zpl300", 1, "Zebra", 0, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CPrinterEntry* e = list.FindPrinter(c.name);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->m_nLanguage, c.language);
        EXPECT_EQ(e->m_strBrand, c.brand);
        EXPECT_EQ(e->m_nFamily, c.family);
        EXPECT_EQ(e->m_nHDpi, c.dpi);
        EXPECT_EQ(e->m_nVDpi, c.dpi);
        EXPECT_FALSE(e->m_bOwnPort);
        EXPECT_EQ(e->m_strPort, "socket://127.0.0.1:9");
        const CDevModeView dm(e->m_devMode);
        EXPECT_EQ(dm.DeviceName(), c.name);
        EXPECT_EQ(dm.PrintQuality(), c.dpi);
        EXPECT_EQ(dm.DeclaredLength(), e->m_devMode.size());
        // Every sample label driver takes sizes of the user's.
        EXPECT_EQ(e->m_papers.back().m_strName, "Custom Paper");
        EXPECT_EQ(e->m_papers.back().m_nCode, 256);
        EXPECT_EQ(e->m_nCustomPaper, 1);
        EXPECT_TRUE(HasPaper(*e, "4.00x6.00\""));
    }
    const CPrinterEntry& zpl = *list.FindPrinter("zpl");
    EXPECT_EQ(zpl.m_strDriver, "Zebra ZPL Label Printer");
    EXPECT_TRUE(HasPaper(zpl, "A4", 9));
    EXPECT_TRUE(HasPaper(zpl, "80x50mm"));
    EXPECT_FALSE(HasPaper(*list.FindPrinter("epl"), "A4"));
    // The queue's default paper (4 x 5 inches) is the block's paper.
    const CDevModeView dm(zpl.m_devMode);
    EXPECT_EQ(dm.PaperWidth(), 1016);
    EXPECT_EQ(dm.PaperLength(), 1270);
    EXPECT_EQ(dm.Orientation(), 1);
    EXPECT_EQ(CDevModeView(list.FindPrinter("epl")->m_devMode).DriverExtra(), 1320);

    // A raw queue has no driver: no language, and the usual label printer's resolution.
    const CPrinterEntry* plain = list.FindPrinter("raw");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->m_nLanguage, 0);
    EXPECT_EQ(plain->m_nHDpi, 203);
    EXPECT_EQ(plain->m_nVDpi, 203);
    EXPECT_TRUE(list.LeftOut().empty());
    EXPECT_EQ(list.GetDefaultPrinter().m_strName, "epl");

    // The settings' language and resolution win over recognition.

    Catalog({{"raw", 1, 300, ""}, {"cpcl", 11, 0, ""}});
    const CPrinterEntry* raw = list.FindPrinter("raw");
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->m_nLanguage, 1);
    EXPECT_EQ(raw->m_nHDpi, 300);
    EXPECT_EQ(raw->m_strDriver, "Local Raw Printer");
    // Its papers: only the size of the user's, after the form the catalogue adds.
    ASSERT_EQ(raw->m_papers.size(), 1u);
    EXPECT_EQ(raw->m_papers[0].m_strName, "Custom Paper");
    EXPECT_NE(raw->m_nLabelPaperCode, -1);
    EXPECT_EQ(list.FindPrinter("cpcl")->m_nLanguage, 11);
    EXPECT_EQ(list.FindPrinter("cpcl")->m_nHDpi, 203);

    // The default queue removed: the first printer is the default.
    ASSERT_TRUE(cupsd.RemoveQueue("epl")) << cupsd.lastOutput();
    EXPECT_EQ(Catalog().GetDefaultPrinter().m_strName, "cpcl");
}

TEST_F(CupsCatalog, QueueDefaultsReachTheVendorSettings)
{
    // Offsets and widths as the ZPL and EPL2 drivers read them.
    struct Value {
        size_t offset;
        int bytes;  // 1, 2 (signed) or 4
        long expected;
    };
    auto read = [](const std::vector<std::uint8_t>& block, const Value& v) -> long {
        const CDevModeView dm(block);
        switch (v.bytes) {
        case 1: return dm.Byte(v.offset);
        case 2: return dm.Short(v.offset);
        default: return dm.Int(v.offset);
        }
    };
    const struct {
        const char* name;
        const char* model;
        std::vector<std::string> options;
        std::vector<Value> values;
    } cases[] = {
        {"zdefaults", "drv:///sample.drv/zebra.ppd", {},
         {{0x564, 2, -1}, {0x566, 2, 2}, {0x58C, 2, -1}, {0x598, 4, 0}}},
        {"zset", "drv:///sample.drv/zebra.ppd",
         {"zeMediaTracking=Continuous", "MediaType=Thermal", "Darkness=12", "zePrintRate=6", "zeLabelTop=-20",
          "zeTearOffPosition=15", "zePrintMode=Cutter"},
         {{0x564, 2, 1}, {0x566, 2, 0}, {0x570, 4, 6 * 25400}, {0x574, 4, 6 * 25400}, {0x578, 4, 6 * 25400},
          {0x588, 4, 12}, {0x58C, 2, 3}, {0x598, 4, 0x02 | 0x04 | 0x08 | 0x10 | 0x20}}},
        {"zmark", "drv:///sample.drv/zebra.ppd", {"zeMediaTracking=Mark", "MediaType=Direct", "zePrintMode=Peel"},
         {{0x564, 2, 0}, {0x566, 2, 3}, {0x58C, 2, 1}}},
        {"edefaults", "drv:///sample.drv/zebraep2.ppd", {},
         {{0x564, 1, 0}, {0x56C, 2, 0}, {0x56E, 2, 1}, {0x590, 2, 1015}}},
        {"eset", "drv:///sample.drv/zebraep2.ppd", {"zePrintRate=4", "Darkness=20", "MediaType=Thermal"},
         {{0x564, 1, 0x30}, {0x5A0, 4, 4}, {0x5A4, 4, 10}, {0x56C, 2, 1}}},
    };
    for (const auto& c : cases) Queue(c.name, c.model, c.options);
    CPrinterList& list = Catalog();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CPrinterEntry* e = list.FindPrinter(c.name);
        ASSERT_NE(e, nullptr);
        for (const Value& v : c.values) EXPECT_EQ(read(e->m_devMode, v), v.expected) << "offset " << v.offset;
    }
    // Label top and tear-off position travel in micrometres and read back as the dots set.
    const CDevModeView zset(list.FindPrinter("zset")->m_devMode);
    EXPECT_EQ(MulDiv(zset.Int(0x57C), 203, 25402), -20);
    EXPECT_EQ(MulDiv(zset.Int(0x580), 203, 25402), 15);
}

TEST(CupsSpooler, UnreachableSchedulerListsNothing)
{
    // The tests' CUPS_SERVER names no scheduler.
    std::vector<SpoolerPrinter> printers;
    std::string error;
    EXPECT_FALSE(GetSpooler().EnumPrinters(printers, &error));
    EXPECT_TRUE(printers.empty());
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(GetSpooler().GetDefaultDevMode("zpl").empty());
}

}  // namespace
