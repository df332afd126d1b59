// korvane print in ZPL II. The shipping example made for a ZPL printer at
// 203 dpi (printing in the printer's language) is printed with --language
// zpl --dpi 203 --output; each label goes through a small ZPL printer
// (support/zpl_interpreter.h) and is laid over `korvane render` of the same
// label (support/zpl_compare.h), which is also how render --language zpl
// draws the bundled example. The bundled example as it is made prints
// the same job that way, and --printer sends it unchanged to the program's
// own ZPL printer on a loopback listener and, as a raw job, to a CUPS
// queue of the Zebra sample driver (a scheduler of the test's own).
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/printer_lookup.h"
#include "platform/monobitmap_ops.h"
#include "platform/strutil.h"
#include "print/printdriver.h"
#include "support/cupsd.h"
#include "support/kvtest.h"
#include "support/loopback.h"
#include "support/zpl_compare.h"
#include "support/zpl_interpreter.h"

namespace {

constexpr int kDpi = 203;
constexpr int kLabels = 3;

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// What follows the setup format: the labels themselves.
std::string AfterSetup(const std::string& job)
{
    const size_t end = job.find("^XZ\n");
    return end == std::string::npos ? std::string() : job.substr(end + 4);
}

// The example as the designer leaves it for a ZPL printer: printing in the
// printer's language at its resolution, the objects fitted to its dots.
void OnZplPrinter(CKVDoc& doc, const std::string& printer)
{
    CPrinterInfo zebra;
    zebra.m_strName = printer;
    zebra.m_nLanguage = 1;
    zebra.m_nHDpi = zebra.m_nVDpi = kDpi;
    doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "");
    doc.ApplyPrinterEntry(zebra);
}

class PrintZplCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener.ok());
        ASSERT_EQ(Run({"printers", "add", "Zebra", "--language", "zpl", "--dpi", std::to_string(kDpi), "--port",
                       "tcp:127.0.0.1:" + std::to_string(listener.port())})
                      .status,
                  0);
        ASSERT_EQ(Run({"example", "shipping", dir.file("example.kvd")}).status, 0);
        example = kvtest::ReadFileBytes(dir.file("example.kvd"));
        CKVDoc doc;
        std::string error;
        ASSERT_TRUE(doc.LoadFromBytes(example.data(), example.size(), &error)) << error;
        OnZplPrinter(doc, "Zebra");
        ASSERT_TRUE(doc.SaveDocument(dir.file("zebra.kvd"), &error)) << error;
        label = kvtest::ReadFileBytes(dir.file("zebra.kvd"));
    }
    kvtest::RunResult Run(const std::vector<std::string>& args)
    {
        return kvtest::RunKorvane(args, {{"KORVANE_SETTINGS", dir.file("settings.ini")}});
    }
    // A fresh copy of a document, so that every run starts from the same
    // parcel number (a run saves the next one).
    std::string Copy(const std::vector<std::uint8_t>& document, const std::string& name)
    {
        kvtest::WriteFileBytes(dir.file(name), document);
        return dir.file(name);
    }
    // kLabels labels of a document with --language zpl --dpi 203 --output.
    std::string OutputJob(const std::vector<std::uint8_t>& document, const std::string& name)
    {
        const std::string out = dir.file(name + ".zpl");
        const auto r = Run({"print", Copy(document, name + ".kvd"), "--language", "zpl", "--dpi",
                            std::to_string(kDpi), "--output", out, "--quantity", std::to_string(kLabels)});
        EXPECT_EQ(r.status, 0) << r.err;
        const std::vector<std::uint8_t> bytes = kvtest::ReadFileBytes(out);
        EXPECT_EQ(r.err, StrFormat("korvane: printed %d labels, %zu bytes to %s\n", kLabels, bytes.size(), out.c_str()));
        return Text(bytes);
    }

    kvtest::TempDir dir;
    kvtest::LoopbackListener listener;
    std::vector<std::uint8_t> example;  // the bundled example as made
    std::vector<std::uint8_t> label;    // the same for the ZPL printer "Zebra"
};

TEST_F(PrintZplCli, EachLabelPrintsAsItRenders)
{
    // Each label as it renders, its parcel number counted on.
    const std::string document = Copy(label, "render.kvd");
    std::vector<CMonoBitmap> rendered;
    for (int n = 0; n < kLabels; ++n) {
        const std::string png = dir.file(StrFormat("label%d.png", n));
        const auto r = Run({"render", document, "-o", png, "--label", std::to_string(n), "--record", std::to_string(n)});
        ASSERT_EQ(r.status, 0) << r.err;
        const QImage image(QString::fromStdString(png));
        ASSERT_FALSE(image.isNull()) << png;
        EXPECT_EQ(image.dotsPerMeterX(), int(kDpi / 0.0254 + 0.5)) << "drawn for the label's printer";
        rendered.push_back(QImageToMono(image));
        // The bundled example drawn for a one-off ZPL printer, as print
        // --language prints it, is that same label.
        const std::string asZpl = dir.file(StrFormat("example%d.png", n));
        const auto e = Run({"render", Copy(example, "example.kvd"), "-o", asZpl, "--language", "zpl", "--dpi",
                            std::to_string(kDpi), "--label", std::to_string(n), "--record", std::to_string(n)});
        ASSERT_EQ(e.status, 0) << e.err;
        EXPECT_TRUE(QImage(QString::fromStdString(asZpl)) == image) << "label " << n;
    }
    const std::string job = OutputJob(label, "zebra");

    // The label as the job saw it, its objects sorted into native fields
    // and graphics by the driver.
    CKVDoc doc;
    std::string error;
    ASSERT_TRUE(doc.LoadFromBytes(label.data(), label.size(), &error)) << error;
    OnZplPrinter(doc, "Zebra");
    auto* driver = dynamic_cast<CPrintDriver*>(doc.m_driver.get());
    ASSERT_NE(driver, nullptr);
    driver->SetAnswerYes(true);
    ASSERT_TRUE(driver->BeginJob(TRUE));

    kvtest::ZplPrinter printer;
    ASSERT_TRUE(printer.Run(job, &error)) << error;
    int printed = 0;
    for (kvtest::ZplFormat& format : printer.formats) {
        if (format.fields.empty()) continue;
        for (int copy = 0; copy < format.quantity && printed < kLabels; ++copy, ++printed) {
            SCOPED_TRACE(StrFormat("label %d", printed));
            const CMonoBitmap& shown = rendered[size_t(printed)];
            const CMonoBitmap drawn = printer.Draw(format, shown.Width(), shown.Height(), copy, &error);
            ASSERT_TRUE(error.empty()) << error;
            CLabelPos pos;
            pos.m_nLabel = pos.m_nRecord = printed;
            kvtest::ExpectPrintsAsRendered(doc, pos, format, drawn, shown);
        }
    }
    EXPECT_EQ(printed, kLabels);
    driver->EndPrint(TRUE);
}

TEST_F(PrintZplCli, TheExampleAndEveryZplTargetGetTheSameJob)
{
    const std::string expected = OutputJob(label, "zebra");
    ASSERT_FALSE(AfterSetup(expected).empty()) << expected.substr(0, 300);

    // The bundled example as it is made, printed in ZPL for this run only.
    EXPECT_EQ(OutputJob(example, "example"), expected);

    // The program's own ZPL printer, the label's printer.
    auto r = Run({"print", Copy(label, "own.kvd"), "--quantity", std::to_string(kLabels)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Text(listener.Received()), expected);

    // A CUPS queue of the Zebra sample driver takes the job raw; its setup
    // format carries the queue's defaults.
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    kvtest::LoopbackListener queue;
    ASSERT_TRUE(queue.ok());
    ASSERT_TRUE(cupsd.AddQueue("zebra", "socket://127.0.0.1:" + std::to_string(queue.port()),
                               "drv:///sample.drv/zebra.ppd"))
        << cupsd.lastOutput();
    r = Run({"print", Copy(label, "queue.kvd"), "--printer", "zebra", "--quantity", std::to_string(kLabels),
             "--timeout", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string received = Text(queue.Received());
    EXPECT_TRUE(StartsWith(received, "^XA^SZ2^MCY")) << received.substr(0, 300);
    EXPECT_EQ(AfterSetup(received), AfterSetup(expected));
}

}  // namespace
