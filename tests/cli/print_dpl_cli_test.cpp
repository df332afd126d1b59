// korvane print in DPL: the shipping example printed with each DPL language
// code to a print file and to an own printer on a loopback TCP port; every
// label the small DPL printer reads carries its own parcel number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/variable.h"
#include "model/document.h"
#include "platform/strutil.h"
#include "support/dpl_interpreter.h"
#include "support/kvtest.h"
#include "support/loopback.h"
#include "support/zpl_interpreter.h"

namespace {

class PrintDplCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = dir.file("shipping.kvd");
        ASSERT_EQ(Run({"example", "shipping", doc}).status, 0);
    }
    kvtest::RunResult Run(const std::vector<std::string>& args)
    {
        return kvtest::RunKorvane(args, {{"KORVANE_SETTINGS", dir.file("settings.ini")}});
    }
    std::string Parcel()
    {
        CKVDoc d;
        std::string error;
        EXPECT_TRUE(d.OpenDocument(doc, &error, false)) << error;
        const CVariable* v = d.FindVariable("Parcel");
        return v ? v->m_strData : std::string();
    }
    // The tracking codes of the labels of a DPL job, in print order.
    static std::vector<std::string> Tracked(const std::vector<std::uint8_t>& job, int language)
    {
        kvtest::DplPrinter printer;
        printer.language = language;
        std::string error;
        EXPECT_TRUE(printer.Run(std::string(job.begin(), job.end()), &error)) << error;
        std::vector<std::string> out;
        for (const kvtest::DplFormat& f : printer.formats)
            for (const kvtest::DplField& field : f.fields)
                if (field.kind == kvtest::DplField::Barcode && (field.id == 'E' || field.id == 'e'))
                    for (int k = 0; k < f.quantity; ++k) {
                        const std::string data =
                            field.counted ? kvtest::ZplCountSerial(field.data, (long long)k * field.increment)
                                          : field.data;
                        out.push_back(ReplaceAll(ReplaceAll(kvtest::DplCode128ToCaret(data), "^B", ""), "^C", ""));
                    }
        return out;
    }
    kvtest::TempDir dir;
    std::string doc;
};

TEST_F(PrintDplCli, EachLanguageCodeToAPrintFile)
{
    const struct {
        const char* language;
        int code;
    } cases[] = {{"dpl", 5}, {"2", 2}, {"4", 4}, {"5", 5}, {"8", 8}, {"16", 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        const long long parcel = std::stoll(Parcel());
        const std::string out = dir.file(std::string("labels-") + c.language + ".dpl");
        const auto r = Run({"print", doc, "--language", c.language, "--dpi", "203", "--quantity", "3", "--output", out});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::uint8_t> job = kvtest::ReadFileBytes(out);
        EXPECT_NE(r.err.find(StrFormat("printed 3 labels, %zu bytes to", job.size())), std::string::npos) << r.err;
        std::vector<std::string> expected;
        for (int k = 0; k < 3; ++k) expected.push_back("KV" + std::to_string(parcel + k));
        EXPECT_EQ(Tracked(job, c.code), expected);
        EXPECT_EQ(Parcel(), std::to_string(parcel + 3));
    }
}

TEST_F(PrintDplCli, ToAnOwnPrinterOnATcpPort)
{
    kvtest::LoopbackListener printer;
    auto r = Run({"printers", "add", "Dock", "--language", "dpl", "--dpi", "203", "--port",
                  "tcp:127.0.0.1:" + std::to_string(printer.port())});
    ASSERT_EQ(r.status, 0) << r.err;
    {
        // The label prints in its printer's command language, not through
        // a system driver.
        CKVDoc d;
        std::string error;
        ASSERT_TRUE(d.OpenDocument(doc, &error, false)) << error;
        d.m_format.SetProperty(LFP_WINDOWS_DRIVER, "");
        ASSERT_TRUE(d.SaveDocument(doc, &error)) << error;
    }
    const long long parcel = std::stoll(Parcel());
    r = Run({"print", doc, "--printer", "Dock", "--quantity", "2", "--timeout", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::uint8_t> job = printer.Received(1, 30000);
    EXPECT_EQ(Tracked(job, 5), std::vector<std::string>({"KV" + std::to_string(parcel), "KV" + std::to_string(parcel + 1)}));
}

}  // namespace
