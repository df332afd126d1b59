// korvane print in EPL2: the bundled shipping example printed with
// --language epl|11|15|19 --dpi 203 --output goes through a small EPL2
// printer (support/epl_interpreter.h): a stream the printer reads whole,
// every label of the run printed, every placed graphic stored before it,
// the EAN-13 with the printer's own digits, and a setup that feeds the
// label's media and leaves speed and density to the printer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/document.h"
#include "model/drawobj.h"
#include "platform/strutil.h"
#include "support/epl_interpreter.h"
#include "support/kvtest.h"

namespace {

constexpr int kLabels = 3;

class PrintEplCli : public ::testing::Test {
protected:
    kvtest::RunResult Run(const std::vector<std::string>& args)
    {
        return kvtest::RunKorvane(args, {{"KORVANE_SETTINGS", dir.file("settings.ini")}});
    }
    kvtest::TempDir dir;
};

TEST_F(PrintEplCli, EveryCodeOfTheLanguagePrintsTheRunToAFile)
{
    ASSERT_EQ(Run({"example", "shipping", dir.file("example.kvd")}).status, 0);
    const std::vector<std::uint8_t> example = kvtest::ReadFileBytes(dir.file("example.kvd"));
    CKVDoc doc;
    std::string error;
    ASSERT_TRUE(doc.LoadFromBytes(example.data(), example.size(), &error)) << error;
    const CLabelFormat& f = doc.m_format;
    const std::string media =
        StrFormat("%d,%d", UnitsToDots(f.m_nLabelHeight, 203), UnitsToDots(f.m_nVGap, 203));
    ASSERT_GT(f.m_nVGap, 0);

    const struct {
        const char* language;
        const char* q;         // the media line
        const char* print;     // the print command
    } cases[] = {
        {"epl", "+0", "P"}, {"11", "+0", "P"}, {"19", "", "P"}, {"15", "", "W"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        // A fresh copy each time: a run saves the next parcel number.
        const std::string document = dir.file(std::string("label-") + c.language + ".kvd");
        kvtest::WriteFileBytes(document, example);
        const std::string out = dir.file(std::string("job-") + c.language + ".epl");
        const auto r = Run({"print", document, "--language", c.language, "--dpi", "203", "--output", out, "--quantity",
                            std::to_string(kLabels)});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::uint8_t> bytes = kvtest::ReadFileBytes(out);
        EXPECT_EQ(r.err, StrFormat("korvane: printed %d labels, %zu bytes to %s\n", kLabels, bytes.size(), out.c_str()));

        kvtest::EplPrinter printer;
        ASSERT_TRUE(printer.Run(std::string(bytes.begin(), bytes.end()), &error)) << error;
        EXPECT_EQ(printer.setup["Q"], media + c.q);
        if (std::string(c.language) != "15") {
            // No settings to send: the printer keeps its speed and density.
            EXPECT_EQ(printer.setup.count("S"), 0u);
            EXPECT_EQ(printer.setup.count("D"), 0u);
        }
        int labels = 0;
        for (kvtest::EplImage& image : printer.printed) {
            EXPECT_EQ(image.command, c.print);
            labels += image.quantity;
            bool ean = false;
            for (const kvtest::EplField& field : image.fields) {
                if (field.kind == kvtest::EplField::Graphic) {
                    EXPECT_EQ(printer.graphics.count(field.graphic), 1u) << field.graphic << " was never stored";
                }
                if (field.kind == kvtest::EplField::Barcode && field.selector == "E30") {
                    ean = true;
                    EXPECT_EQ(field.humanReadable, 'B') << "its digits stand in the symbol";
                }
            }
            EXPECT_TRUE(ean);
            const CMonoBitmap drawn = printer.Draw(image, UnitsToDots(f.m_nLabelWidth, 203),
                                                   UnitsToDots(f.m_nLabelHeight, 203), 0, &error);
            EXPECT_TRUE(error.empty()) << error;
        }
        EXPECT_EQ(labels, kLabels);
    }
}

}  // namespace
