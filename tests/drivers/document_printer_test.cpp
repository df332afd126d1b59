// Documents take their printer from the catalogue when they are opened,
// made, or given another printer: resolution, language, resident fonts with
// the brand, family and model, the speed kept in the printer's range, the
// driver; an unknown printer falls back to the default with message 11002
// when the label prints in a command language.
#include <gtest/gtest.h>

#include "model/printer_font_table.h"
#include "drivers/printer_list.h"
#include "model/document.h"
#include "model/labelformat.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

CPrinterEntry Printer(const std::string& name, int language, int dpi, const std::string& brand, int minSpeed,
                      int maxSpeed, int family = 0, int model = 0)
{
    CPrinterEntry e;
    e.m_strName = name;
    e.m_nLanguage = language;
    e.m_nHDpi = e.m_nVDpi = dpi;
    e.m_strBrand = brand;
    e.m_nMinSpeed = minSpeed;
    e.m_nMaxSpeed = maxSpeed;
    e.m_nFamily = family;
    e.m_nModel = model;
    return e;
}

class DocumentPrinter : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPrinterList::Instance().SetEntries({Printer("Office", 0, 600, "", 0, 0),
                                             Printer("Zebra", 1, 300, "Zebra", 0, 0, 3, 21),
                                             Printer("Intermec", 7, 203, "", 20, 80, 9, 17)},
                                            0);
    }
    void TearDown() override { CPrinterList::Instance().SetEntries({}); }

    // A label for the printer, printing in its command language (or through
    // the system's driver), with the speed given, saved and opened again.
    std::unique_ptr<CKVDoc> Reopen(const std::string& printer, int language, int speed, bool commandMode = true)
    {
        CKVDoc doc;
        EXPECT_TRUE(doc.OnNewDocument());
        doc.m_format.m_strPrinter = printer;
        doc.m_format.m_nLanguage = language;
        doc.m_format.m_nSpeed = speed;
        doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, commandMode ? "" : "Y");
        const Bytes bytes = doc.SaveToBytes();
        kvtest::WriteFileBytes(dir.file("label.kvd"), bytes);
        auto opened = std::make_unique<CKVDoc>();
        EXPECT_TRUE(opened->OnOpenDocument(dir.file("label.kvd")));
        return opened;
    }
    kvtest::TempDir dir;
};

TEST_F(DocumentPrinter, OpeningTakesResolutionLanguageFontsAndLimits)
{
    kvtest::CaptureMessages messages;
    const struct {
        const char* printer;
        int speed;
        int expectedSpeed;  // kept in the printer's range; a printer without one takes its own (0)
        int dpi, language, family, model;
        const char* font;  // a resident font of the printer, named with its brand
    } cases[] = {
        {"Intermec", 100, 80, 203, 7, 9, 17, nullptr},
        {"Intermec", 5, 20, 203, 7, 9, 17, nullptr},
        {"Intermec", 45, 45, 203, 7, 9, 17, nullptr},
        {"Zebra", 45, 0, 300, 1, 3, 21, "Zebra Scalable"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.printer) + " " + std::to_string(c.speed));
        const auto doc = Reopen(c.printer, c.language, c.speed);
        EXPECT_EQ(doc->m_format.m_strPrinter, c.printer);
        EXPECT_EQ(doc->m_format.m_nHDpi, c.dpi);
        EXPECT_EQ(doc->m_format.m_nVDpi, c.dpi);
        EXPECT_EQ(doc->m_format.m_nLanguage, c.language);
        EXPECT_EQ(doc->m_format.m_nSpeed, c.expectedSpeed);
        EXPECT_EQ(doc->m_nPrinterFamily, c.family);
        EXPECT_EQ(doc->m_nPrinterModel, c.model);
        ASSERT_NE(doc->m_fontTable, nullptr);
        EXPECT_EQ(doc->m_fontTable->GetLanguage(), c.language);
        EXPECT_EQ(doc->m_fontTable->GetHDpi(), c.dpi);
        EXPECT_GT(doc->m_fontTable->GetCount(), 0);
        if (c.font) EXPECT_NE(doc->m_fontTable->Find(c.font), nullptr);
    }
    EXPECT_TRUE(messages.messages.empty());

    // Printing through the system's driver: no resident fonts, no clamp.
    const auto plain = Reopen("Intermec", 7, 100, false);
    EXPECT_EQ(plain->m_format.m_nSpeed, 100);
    EXPECT_EQ(plain->m_fontTable->GetLanguage(), 0);
}

TEST_F(DocumentPrinter, UnknownPrinterFallsBackToTheDefault)
{
    {
        kvtest::CaptureMessages messages;
        const auto doc = Reopen("Gone", 1, 40);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, "This label is designed for printer Gone.\nThe printer is not found!!");
        EXPECT_EQ(doc->m_format.m_strPrinter, "Office");
        EXPECT_EQ(doc->m_format.m_nHDpi, 600);
        EXPECT_EQ(doc->m_format.m_nLanguage, 0);
    }
    {
        kvtest::CaptureMessages messages;
        const auto doc = Reopen("Gone", 1, 40, false);
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_EQ(doc->m_format.m_strPrinter, "Office");
    }
}

TEST_F(DocumentPrinter, NewLabelsAndPrinterChanges)
{
    CPrinterList::Instance().SetEntries(
        {Printer("Office", 0, 600, "", 0, 0), Printer("Intermec", 7, 203, "", 20, 80, 9, 17)}, 1);
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.m_format.m_strPrinter, "Intermec");
    EXPECT_EQ(doc.m_format.m_nHDpi, 203);
    EXPECT_EQ(doc.m_format.m_nLanguage, 7);
    EXPECT_EQ(doc.m_nPrinterFamily, 9);
    EXPECT_TRUE(doc.m_format.IsWindowsDriverMode());

    doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "");
    doc.m_format.m_nSpeed = 200;
    doc.ApplyPrinterEntry(*CPrinterList::Instance().FindPrinter("Intermec"));
    EXPECT_EQ(doc.m_format.m_nSpeed, 80);
    EXPECT_EQ(doc.m_fontTable->GetLanguage(), 7);

    doc.ApplyPrinterEntry(*CPrinterList::Instance().FindPrinter("Office"));
    EXPECT_EQ(doc.m_format.m_strPrinter, "Office");
    EXPECT_EQ(doc.m_format.m_nHDpi, 600);
    EXPECT_EQ(doc.m_format.m_nLanguage, 0);
    EXPECT_EQ(doc.m_nPrinterFamily, 0);
    EXPECT_EQ(doc.m_fontTable->GetLanguage(), 0);
}

}  // namespace
