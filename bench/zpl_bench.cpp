// Whole ZPL jobs through a memory port: labels of a serial number, two fixed
// texts and a native Code 128 of the serial (the printer counts the serial
// on: one format for the whole job); the same with a QR Code of the serial
// sent as a graphic for every label at 203 dpi (every label its own
// download and format); and, for comparison, the first label with the
// serial counted per printed label, which the printer cannot do (every
// label its own format, no graphic). The port's bytes are handed on after
// every format, as a printer port passes them on, so the figures are the
// driver's own: labels per second, bytes per label, and the process's peak
// memory after runs of 10,000 and of 100,000 labels (flat: the larger run
// needs no more memory).
//
// Goals: at least 100,000 labels/s without the QR Code, 10,000 with it.
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "data/variable.h"
#include "drivers/zpl_driver.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawtext.h"
#include "platform/codepage.h"
#include "print/print_port.h"

namespace {

// Passes the port's bytes on after every format and counts them.
class Drain : public IPrintProgress {
public:
    explicit Drain(std::vector<std::uint8_t>& memory) : m_memory(memory) {}
    void OnProgress(int, int, int) override
    {
        m_bytes += m_memory.size();
        m_memory.clear();
    }
    std::uint64_t Bytes() const { return m_bytes + m_memory.size(); }

private:
    std::vector<std::uint8_t>& m_memory;
    std::uint64_t m_bytes = 0;
};

struct Job {
    CKVDoc doc;

    Job(bool qr, bool perLabel)
    {
        doc.OnNewDocument();
        CLabelFormat& f = doc.m_format;
        f.m_nLanguage = 1;
        f.SetProperty(LFP_WINDOWS_DRIVER, "");
        f.m_nHDpi = f.m_nVDpi = 203;
        f.m_nColumns = f.m_nRows = 1;
        f.m_nLabelWidth = 10000;
        f.m_nLabelHeight = 6000;
        doc.ReloadPrinterFonts();
        doc.OnPrinterChanged();

        auto* serial = new CVariable(VK_SERIAL);
        serial->m_strData = "KV00000001";
        serial->m_nCountBasis = perLabel ? 1 : 0;  // per printed label, or per record
        doc.AddVariable(serial);
        Text("SERIAL", 300, serial);
        Text("Korvane Labs", 1000, Fixed("Korvane Labs, Dock Road 12"));
        Text("Contents", 1500, Fixed("Contents: 24 x 500 ml"));
        auto* code = new CDrawBarcode(CRect(300, 2200, 300, 2200));
        doc.AddObject(code);
        code->m_nSymbology = BS_CODE128;
        code->ApplyPrinterDefaults(&doc);
        code->m_nModuleWidth = MulDiv(2, 100000, 203);
        code->m_nBarHeight = 1500;
        code->AddVariable(serial);
        code->RecalcSize();
        if (qr) {
            auto* q = new CDrawBarcode(CRect(6500, 2200, 6500, 2200));
            doc.AddObject(q);
            q->m_nSymbology = BS_QRCODE;
            q->ApplyPrinterDefaults(&doc);
            q->m_nModuleWidth = MulDiv(4, 100000, 203);
            q->AddVariable(serial);
            q->RecalcSize();
        }
    }
    CVariable* Fixed(const char* data)
    {
        auto* v = new CVariable;
        v->m_strData = data;
        doc.AddVariable(v);
        return v;
    }
    void Text(const char*, int y, CVariable* v)
    {
        auto* t = new CDrawText(CRect(300, y, 5000, y + 400));
        t->m_strFontName = "Zebra Font F";
        doc.AddObject(t);
        t->AddVariable(v);
        t->RecalcSize();
    }

    // Runs the job; the bytes written.
    std::uint64_t Print(int labels, int* mode)
    {
        doc.m_format.m_nQuantity = labels;
        auto* d = dynamic_cast<CZplDriver*>(doc.m_driver.get());
        std::vector<std::uint8_t> memory;
        Drain drain(memory);
        d->SetProgress(&drain);
        if (!d->BeginJob(TRUE)) return 0;
        *mode = d->GetPrintMode();
        CPrintPort port(&memory);
        port.Open();
        d->LoadPrinterSettings(FALSE);
        d->SendSetup(&port);
        d->PrintLabels(&port);
        d->EndJob(&port);
        port.Close();
        d->EndPrint(TRUE);
        d->SetProgress(nullptr);
        return drain.Bytes();
    }
};

long PeakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void ZplJob(benchmark::State& state)
{
    const int labels = int(state.range(0));
    const bool qr = state.range(1) != 0;
    Job job(qr, state.range(2) != 0);
    std::uint64_t bytes = 0;
    int mode = -1;
    job.Print(100, &mode);  // fonts and tables loaded before the clock runs
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) bytes = job.Print(labels, &mode);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Per CPU second (the machine is shared) and per wall-clock second.
    state.counters["labels/s"] = benchmark::Counter(double(labels) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    state.counters["labels/s wall"] = double(labels) * double(state.iterations()) / wall;
    state.counters["bytes/label"] = double(bytes) / labels;
    state.counters["print mode"] = mode;
    state.counters["peak MB"] = PeakRssKb() / 1024.0;
}
// Each size once from small to large: the peak memory after the larger
// run shows whether memory grows with the labels.
BENCHMARK(ZplJob)
    ->ArgNames({"labels", "qr", "perlabel"})
    ->Args({10000, 0, 0})
    ->Args({100000, 0, 0})
    ->Args({10000, 1, 0})
    ->Args({100000, 1, 0})
    ->Args({10000, 0, 1})
    ->Args({100000, 0, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    SetAnsiCodePage(1252);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
