// The printer catalogue's rules on synthetic printers: language recognition
// (signature rows, name prefixes, exact model names), the three ways to a
// resolution, papers with the added form and the custom paper, the default
// printer, the program's own printers and the placeholder.
#include <gtest/gtest.h>

#include <map>

#include "drivers/own_printers.h"
#include "drivers/printer_list.h"
#include "drivers/printer_models.h"
#include "platform/devmode.h"
#include "platform/spooler.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A spooler whose printers the test describes.
class FakeSpooler : public ISpooler {
public:
    struct Printer {
        SpoolerPrinter info;
        Bytes devMode;
        int dcX = 0, dcY = 0;
        bool papersReadable = true;
        SpoolerPaperList papers;
        bool canOpen = true;
    };
    std::vector<Printer> printers;
    std::string defaultName;
    int formsAdded = 0;
    bool reachable = true;

    Printer& Add(const std::string& name, const std::string& driver, Bytes devMode = {})
    {
        Printer p;
        p.info = {name, driver, "socket://127.0.0.1:9100"};
        p.devMode = std::move(devMode);
        printers.push_back(p);
        return printers.back();
    }
    Printer* Get(const std::string& name)
    {
        for (Printer& p : printers)
            if (p.info.name == name) return &p;
        return nullptr;
    }

    bool EnumPrinters(std::vector<SpoolerPrinter>& out, std::string* error) override
    {
        out.clear();
        if (!reachable) {
            if (error) *error = "no spooler";
            return false;
        }
        for (const Printer& p : printers) out.push_back(p.info);
        return true;
    }
    std::string GetDefaultPrinterName() override { return defaultName; }
    Bytes GetDefaultDevMode(const std::string& name) override
    {
        const Printer* p = Get(name);
        return p ? p->devMode : Bytes();
    }
    bool GetDeviceResolution(const std::string& name, int& x, int& y) override
    {
        const Printer* p = Get(name);
        if (!p || p->dcX <= 0) return false;
        x = p->dcX;
        y = p->dcY;
        return true;
    }
    bool GetPapers(const std::string& name, SpoolerPaperList& out) override
    {
        const Printer* p = Get(name);
        if (!p || !p->papersReadable) return false;
        out = p->papers;
        return true;
    }
    bool AddForm(const std::string& name, const std::string& form, int w, int h) override
    {
        Printer* p = Get(name);
        if (!p || !p->canOpen) return false;
        ++formsAdded;
        p->papers.papers.push_back({form, w, h, 0x200});
        return true;
    }
};

Bytes Signature(WORD spec, WORD version, WORD extra, short dpi = 203)
{
    Bytes b = MakeDevMode("P", version, extra, spec);
    DevModeSetResolution(b, dpi, dpi);
    return b;
}

CPrinterEntry Recognise(const std::string& driver, Bytes devMode)
{
    CPrinterEntry e;
    e.m_strDriver = driver;
    e.m_devMode = std::move(devMode);
    e.DetectLanguage();
    return e;
}

TEST(PrinterCatalog, LanguageRecognition)
{
    const struct {
        const char* driver;
        int spec, version, extra;  // spec 0: no settings block
        int language;
        const char* brand;
        int family, model, minSpeed, maxSpeed, setupFlag;
    } cases[] = {
        // Signature rows: prefix without regard to case, the three signature values exactly.
        {"Zebra 105SL (203 dpi)", 0x401, 0x701, 1288, 1, "Zebra", 0, 0, 0, 0, 0},
        {"zebra 105SL (203 dpi)", 0x401, 0x701, 1288, 1, "Zebra", 0, 0, 0, 0, 0},
        {"Zebra 105SL (203 dpi)", 0x401, 0x600, 1308, 1, "", 3, 21, 0, 0, 0},
        {"zebra 105SL (203 dpi)", 0x401, 0x600, 1308, 0, "", 0, 0, 0, 0, 0},
        {"Zebra 105SL (203 dpi)", 0x400, 0x701, 1288, 0, "", 3, 21, 0, 0, 0},
        {"Label Dr 300", 0x401, 0x500, 588, 19, "Argox", 0, 0, 0, 0, 0},
        {"LG828 Label", 0x401, 0x600, 904, 101, "Leden", 0, 0, 0, 0, 0},
        {"Farsun Label Printer X", 0x401, 0x500, 1148, 102, "Farsun", 0, 0, 0, 0, 0},
        {"300dpi generic", 0x401, 0x600, 788, 15, "Vantrel", 0, 0, 0, 0, 0},
        {"TSC TTP-244ME", 0x401, 0x701, 1292, 3, "Tsc", 0, 0, 0, 0, 0},
        // Name prefixes.
        {"BY BTP-2200", 0, 0, 0, 8, "", 0, 0, 35, 55, 2},
        {"Label Dr.100", 0, 0, 0, 5, "", 0, 0, 10, 60, 0},
        {"Godex EZ-1100", 0x401, 0x100, 2052, 6, "", 0, 0, 0, 0, 0},
        {"Godex EZ-1100", 0x400, 0x100, 1410, 6, "", 0, 0, 0, 0, 0},
        {"Godex EZ-4 203dpi", 0x401, 0x100, 2052, 0, "", 0, 0, 0, 0, 0},
        {"Godex EZ-1100", 0x401, 0x100, 999, 0, "", 0, 0, 0, 0, 0},
        {"TSC TTP-244ME", 0x401, 0x100, 1049, 14, "", 0, 0, 0, 0, 0},
        {"TSC TTP-244ME", 0x401, 0x100, 1048, 3, "", 4, 16, 0, 0, 0},
        {"Vantrel X1", 0, 0, 0, 15, "", 0, 0, 0, 0, 0},
        {"CAB E4/300", 0, 0, 0, 15, "", 0, 0, 0, 0, 0},
        {"Intermec PF8t", 0x401, 0x100, 1320, 11, "", 0, 0, 0, 0, 0},
        {"easycoder PD41", 0x401, 0x100, 1320, 11, "", 0, 0, 0, 0, 0},
        {"EasyCoder PD41", 0x401, 0x100, 1320, 0, "", 0, 0, 0, 0, 0},
        {"FARS 108", 0x401, 0x100, 1049, 17, "", 0, 0, 0, 0, 0},
        {"Argox OS-214", 0x401, 0x100, 1276, 19, "", 0, 0, 0, 0, 0},
        // Exact model names and the driver builds that keep their language.
        {"Datamax I-4208", 0x401, 0x100, 1272, 2, "", 2, 19, 0, 0, 0},
        {"Datamax I-4208", 0x401, 0x100, 1273, 0, "", 2, 19, 0, 0, 0},
        {"Datamax E-4304", 0x400, 0x100, 1172, 4, "", 2, 17, 0, 0, 0},
        {"SATO CL408", 0x400, 0x100, 1184, 9, "", 5, 1, 0, 0, 0},
        {"TEC B-SX4", 0x401, 0x100, 1308, 10, "", 1, 34, 0, 0, 0},
        {"EasyCoder 3240", 0x401, 0x100, 4, 7, "", 9, 17, 20, 80, 0},
        {"EasyCoder 3240", 0, 0, 0, 0, "", 9, 17, 0, 0, 0},
        {"Eltron TLP2844", 0x401, 0x100, 4, 11, "", 12, 31, 0, 0, 0},
        {"Zebra LP2844", 0x401, 0x100, 4, 11, "", 3, 55, 0, 0, 0},
        {"Zebra  888-TT", 0x401, 0x100, 4, 11, "", 3, 55, 0, 0, 0},
        {"Intermec 3100", 0x401, 0x100, 4, 0, "", 9, 45, 0, 0, 0},
        {"Datamax E-3202", 0x401, 0x100, 1272, 0, "", 2, 13, 0, 0, 0},
        {"Zebra EPL2 Label Printer", 0x401, 0x701, 1320, 11, "", 3, 0, 0, 0, 0},
        {"Nothing Known 300", 0x401, 0x100, 4, 0, "", 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.driver) + " " + std::to_string(c.extra));
        const CPrinterEntry e = Recognise(c.driver, c.spec ? Signature(WORD(c.spec), WORD(c.version), WORD(c.extra)) : Bytes());
        EXPECT_EQ(e.m_nLanguage, c.language);
        EXPECT_EQ(e.m_strBrand, c.brand);
        EXPECT_EQ(e.m_nFamily, c.family);
        EXPECT_EQ(e.m_nModel, c.model);
        EXPECT_EQ(e.m_nMinSpeed, c.minSpeed);
        EXPECT_EQ(e.m_nMaxSpeed, c.maxSpeed);
        EXPECT_EQ(e.m_nSetupFlag, c.setupFlag);
    }
}

TEST(PrinterCatalog, ModelCatalogueOrderAndNumbers)
{
    const auto& models = PrinterModelCatalog();
    // The makers' records first, in family order 1, 2, 3, 4, 5, 9, 12, 10, 11.
    std::vector<int> order;
    for (size_t i = 0; i < 351; ++i)
        if (order.empty() || order.back() != models[i].family) order.push_back(models[i].family);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5, 9, 12, 10, 11}));
    const struct {
        const char* name;
        int index, family, model, language;
    } cases[] = {
        {"TEC B-372", 0, 1, 1, 10},
        {"Datamax A-4212", 35, 2, 1, 2},
        {"Datamax EX2", 51, 2, 16, 4},
        {"Datamax I-4206", 52, 2, 18, 2},
        {"Zebra 105SL (203 dpi)", 106, 3, 21, 1},
        {"Zebra LP2844", 140, 3, 55, 11},
        {"Zebra  888-TT", 164, 3, 55, 11},
        {"Intermec 8646", 290, 9, 57, 7},
        {"C.ITOH X4 (300 dpi)", 350, 11, 8, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PrinterModelRecord r{};
        EXPECT_EQ(LookUpPrinterModel(c.name, &r), c.index);
        EXPECT_EQ(r.family, c.family);
        EXPECT_EQ(r.model, c.model);
        EXPECT_EQ(r.language, c.language);
    }
    EXPECT_EQ(LookUpPrinterModel("Zebra 888-TT", nullptr), -1);  // one blank: not the record
    EXPECT_EQ(LookUpPrinterModel("zebra 105SL (203 dpi)", nullptr), -1);
}

TEST(PrinterCatalog, DpiInTheDriverName)
{
    const struct {
        const char* name;
        int dpi;
    } cases[] = {
        {"Zebra 105SL (203 dpi)", 203}, {"Label printer 300 DPI", 300}, {"X300dpi", 300},
        {"Godex EZ-4 203dpi", 203},     {"abc 1 2 dpi", 2},              {"no resolution", 0},
        {"dpi first 300", 0},           {"(dpi)", 0},                    {"600dpi and 300 dpi", 600},
        {"x-dpi", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(CPrinterEntry::DpiFromDriverName(c.name), c.dpi) << c.name;
}

TEST(PrinterCatalog, ResolutionFromSettingsBlockDeviceOrName)
{
    const struct {
        const char* driver;
        short blockX, blockY;  // blockX 0: a block without resolution; -9: no block at all
        int dcX, dcY;
        int settingsDpi;
        bool accepted;
        int dpiX, dpiY;
    } cases[] = {
        {"P", 203, 203, 0, 0, 0, true, 203, 203},
        {"P", 300, 0, 0, 0, 0, true, 300, 300},
        {"P", 203, 406, 203, 406, 0, true, 203, 203},
        {"P", 203, 406, 300, 300, 0, true, 300, 300},
        {"P", 0, 0, 600, 600, 0, true, 600, 600},
        {"P", -4, -4, 0, 0, 0, false, 0, 0},
        {"Printer 300 DPI", -9, 0, 0, 0, 0, true, 300, 300},
        {"Printer", -9, 0, 0, 0, 0, false, 0, 0},
        {"Printer", -9, 0, 0, 0, 406, true, 406, 406},
        {"P", 203, 203, 0, 0, 300, true, 300, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.driver) + " " + std::to_string(c.blockX) + "/" + std::to_string(c.dcX));
        FakeSpooler s;
        Bytes block;
        if (c.blockX != -9) {
            block = MakeDevMode("P");
            DevModeSetResolution(block, c.blockX, c.blockY);
        }
        FakeSpooler::Printer& p = s.Add("Q", c.driver, block);
        p.dcX = c.dcX;
        p.dcY = c.dcY;
        CPrinterEntry e;
        e.m_strName = "Q";
        EXPECT_EQ(e.ReadDriverInfo(p.info, s, c.settingsDpi), c.accepted ? TRUE : FALSE);
        if (c.accepted) {
            EXPECT_EQ(e.m_nHDpi, c.dpiX);
            EXPECT_EQ(e.m_nVDpi, c.dpiY);
            EXPECT_EQ(e.m_strDriver, c.driver);
            EXPECT_EQ(e.m_strPort, "socket://127.0.0.1:9100");
        }
    }
    // Papers that cannot be queried leave the printer out.
    FakeSpooler s;
    FakeSpooler::Printer& p = s.Add("Q", "P", Signature(0x401, 0, 0));
    p.papersReadable = false;
    CPrinterEntry e;
    e.m_strName = "Q";
    EXPECT_FALSE(e.ReadDriverInfo(p.info, s));
}

TEST(PrinterCatalog, PapersWithFormAndCustomPaper)
{
    // A driver without a custom size and without the form: the form is
    // added once (100 x 30 mm) and never listed; "Custom Paper" comes last.
    {
        FakeSpooler s;
        FakeSpooler::Printer& p = s.Add("Q", "P", Signature(0x401, 0, 0));
        p.papers.papers = {{"A4", 2100, 2970, 9}, {"4x6", 1016, 1524, 257}};
        p.papers.largest = CSize(2100, 2970);
        p.papers.smallest = CSize(1016, 1524);
        CPrinterEntry e;
        e.m_strName = "Q";
        e.BuildPaperList(s);
        e.BuildPaperList(s);
        EXPECT_EQ(s.formsAdded, 1);
        ASSERT_EQ(e.m_papers.size(), 3u);
        EXPECT_EQ(e.m_papers[0].m_strName, "A4");
        EXPECT_EQ(e.m_papers[1].m_nCode, 257);
        EXPECT_EQ(e.m_papers[2].m_strName, "Custom Paper");
        EXPECT_EQ(e.m_papers[2].m_nWidth, 10000);
        EXPECT_EQ(e.m_papers[2].m_nCode, 256);
        EXPECT_EQ(e.m_nLabelPaperCode, 0x200);
        EXPECT_EQ(e.m_nCustomPaper, 0);
        EXPECT_EQ(e.m_largestPaper, CSize(2100, 2970));
        const FakeSpooler::Printer& after = *s.Get("Q");
        EXPECT_EQ(after.papers.papers.back().name, "Label user paper");
        EXPECT_EQ(after.papers.papers.back().width, 1000);
        EXPECT_EQ(after.papers.papers.back().height, 300);
    }
    // A driver that offers a size of the user's: named "Custom Paper", the flag set, nothing added.
    {
        FakeSpooler s;
        FakeSpooler::Printer& p = s.Add("Q", "P", Signature(0x401, 0x301, 0));
        p.papers.papers = {{"Custom", 0, 0, 256}, {"Label user paper", 1000, 300, 300}, {"A5", 1480, 2100, 11}};
        CPrinterEntry e;
        e.m_strName = "Q";
        e.m_devMode = p.devMode;
        e.BuildPaperList(s);
        EXPECT_EQ(s.formsAdded, 0);
        ASSERT_EQ(e.m_papers.size(), 2u);
        EXPECT_EQ(e.m_papers[0].m_strName, "Custom Paper");
        EXPECT_EQ(e.m_papers[1].m_strName, "A5");
        EXPECT_EQ(e.m_nLabelPaperCode, 300);
        EXPECT_EQ(e.m_nCustomPaper, 1);
        EXPECT_TRUE(e.HasCustomPaper());
    }
    // The form already there: nothing added, "Custom Paper" appended; a
    // driver of version 0x301 without its own custom size has none.
    {
        FakeSpooler s;
        FakeSpooler::Printer& p = s.Add("Q", "P", Signature(0x401, 0x301, 0));
        p.papers.papers = {{"Label user paper", 1000, 300, 300}};
        CPrinterEntry e;
        e.m_strName = "Q";
        e.m_devMode = p.devMode;
        e.BuildPaperList(s);
        EXPECT_EQ(s.formsAdded, 0);
        ASSERT_EQ(e.m_papers.size(), 1u);
        EXPECT_EQ(e.m_papers[0].m_strName, "Custom Paper");
        EXPECT_FALSE(e.HasCustomPaper());
    }
    // A printer that cannot be opened keeps the list as read.
    {
        FakeSpooler s;
        FakeSpooler::Printer& p = s.Add("Q", "P", Signature(0x401, 0, 0));
        p.papers.papers = {{"A4", 2100, 2970, 9}};
        p.canOpen = false;
        CPrinterEntry e;
        e.m_strName = "Q";
        e.BuildPaperList(s);
        ASSERT_EQ(e.m_papers.size(), 1u);
        EXPECT_EQ(e.m_papers[0].m_strName, "A4");
    }
}

TEST(PrinterCatalog, BuildListsSpoolerThenOwnPrintersWithDefault)
{
    FakeSpooler s;
    s.Add("Office", "Laser 600 dpi");
    s.Add("Raw", "Local Raw Printer", MakeDevMode("Raw"));
    s.Add("Labels", "Zebra 105SL (203 dpi)", Signature(0x401, 0x701, 1288));
    s.defaultName = "Labels";
    const std::vector<COwnPrinterRecord> settings = {
        {"Dock", 1, 300, "tcp:10.0.0.5"},
        {"Raw", 11, 203, ""},     // a queue's language and resolution
        {"Office", 1, 0, ""},     // only its language
        {"Labels", 3, 0, "usb:/dev/usb/lp0"},  // an own printer may not take a queue's name
    };
    kvtest::CaptureMessages messages;
    CPrinterList& list = CPrinterList::Instance();
    list.Build(s, settings);
    EXPECT_TRUE(messages.messages.empty());
    ASSERT_EQ(list.Entries().size(), 4u);
    EXPECT_EQ(list.Entries()[0].m_strName, "Office");
    EXPECT_EQ(list.Entries()[0].m_nLanguage, 1);
    EXPECT_EQ(list.Entries()[0].m_nHDpi, 600);
    EXPECT_EQ(list.Entries()[1].m_strName, "Raw");
    EXPECT_EQ(list.Entries()[1].m_nLanguage, 11);
    EXPECT_EQ(list.Entries()[1].m_nHDpi, 203);
    EXPECT_FALSE(list.Entries()[1].m_bOwnPort);
    EXPECT_EQ(list.Entries()[2].m_nLanguage, 1);
    const CPrinterEntry* dock = list.FindPrinter("Dock");
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->m_bOwnPort);
    EXPECT_EQ(dock->m_strPort, "tcp:10.0.0.5");
    EXPECT_EQ(dock->m_nLanguage, 1);
    EXPECT_EQ(dock->m_nHDpi, 300);
    EXPECT_EQ(dock->m_nVDpi, 300);
    EXPECT_TRUE(dock->m_devMode.empty());
    EXPECT_EQ(list.GetDefaultPrinter().m_strName, "Labels");
    EXPECT_FALSE(list.FindPrinter("Labels")->m_bOwnPort);
    EXPECT_EQ(list.FindPrinter("labels"), nullptr);

    // A default that is not listed (or none) gives the first entry.
    s.defaultName = "Gone";
    list.Build(s, {});
    EXPECT_EQ(list.GetDefaultPrinter().m_strName, "Office");
    EXPECT_EQ(list.FindPrinter("Raw"), nullptr);
    EXPECT_EQ(list.LeftOut(), std::vector<std::string>{"Raw"});
}

TEST(PrinterCatalog, NoPrinterGivesThePlaceholderAndMessage)
{
    FakeSpooler s;
    s.reachable = false;
    kvtest::CaptureMessages messages;
    CPrinterList& list = CPrinterList::Instance();
    list.Build(s, {});
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "There is no printer installed in system!\nPlease install printer driver before run this program!");
    EXPECT_EQ(messages.messages[0].caption, "Tessavo");
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_TRUE(list.RunsWithoutPrinter());
    const CPrinterEntry& p = list.GetDefaultPrinter();
    EXPECT_EQ(p.m_strName, kPlaceholderPrinterName);
    EXPECT_EQ(p.m_nHDpi, 600);
    EXPECT_EQ(p.m_nVDpi, 600);
    EXPECT_EQ(p.m_nLanguage, 0);
    EXPECT_TRUE(p.m_devMode.empty());
    EXPECT_EQ(p.m_largestPaper, CSize(2100, 2970));
    EXPECT_EQ(p.m_smallestPaper, CSize(1000, 1000));
    ASSERT_EQ(p.m_papers.size(), 1u);
    EXPECT_EQ(p.m_papers[0].m_strName, "A4");
    EXPECT_EQ(p.m_papers[0].m_nCode, 9);

    // Own printers alone are printers enough.
    messages.messages.clear();
    list.Build(s, {{"Dock", 1, 203, "tcp:printer.example:9101"}});
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(list.RunsWithoutPrinter());
    EXPECT_EQ(list.GetDefaultPrinter().m_strName, "Dock");
    list.SetEntries({});
}

TEST(PrinterCatalog, OwnPrintersRoundTripThroughTheSettings)
{
    const std::vector<COwnPrinterRecord> records = {
        {"Dock / door 3", 1, 203, "tcp:10.0.0.5:9101"},
        {"Bench", 11, 300, "serial:/dev/ttyS0:19200,7,E,2,X"},
        {"Queue", 1, 0, ""},
    };
    std::string error;
    ASSERT_TRUE(WriteOwnPrinters(records, &error)) << error;
    EXPECT_EQ(ReadOwnPrinters(), records);
    ASSERT_TRUE(WriteOwnPrinters({records[1]}, &error)) << error;
    EXPECT_EQ(ReadOwnPrinters(), std::vector<COwnPrinterRecord>{records[1]});
    ASSERT_TRUE(WriteOwnPrinters({}, &error));
    EXPECT_TRUE(ReadOwnPrinters().empty());
}

}  // namespace
