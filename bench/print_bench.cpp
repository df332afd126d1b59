// Graphics printing to PDF of a 100 x 50 mm roll label at 203 dpi: a box, a
// fixed text, a serial number, an item name from a data file (one record
// per label) and a Code 128 of the serial number. Runs of 1,000, 10,000
// and 100,000 labels, each in a process of its own so that its peak
// resident memory is its own; the 1,000-label run is the median of five
// rounds. Prints labels per second, the time per label of each run against
// the 1,000-label run (time linear in the count gives 1.0), and peak
// memory; goals: 1,000 labels within 0.5 s, peak memory under 150 MiB at
// 100,000 labels.
//
//   print_bench                  all runs
//   print_bench --run N ROUNDS   one run (what the others start)
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>
#include <vector>

#include "data/data_source.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "platform/codepage.h"
#include "platform/settings_store.h"
#include "print/print_run.h"

namespace {

CVariable* Var(CKVDoc& doc, int kind, const std::string& data)
{
    auto* v = new CVariable(kind);
    v->m_strData = data;
    doc.AddVariable(v);
    return v;
}

CDrawText* Text(CKVDoc& doc, CRect at, int height, std::initializer_list<CVariable*> vars)
{
    auto* t = new CDrawText(at);
    t->m_strFontName = "Liberation Sans";
    t->m_nFontHeight = height;
    doc.AddObject(t);
    for (CVariable* v : vars) t->AddVariable(v);
    t->RecalcSize();
    return t;
}

// The label, its data file of `records` items beside it in folder.
bool BuildLabel(CKVDoc& doc, const std::string& folder, int records)
{
    const std::string data = folder + "/items.csv";
    {
        std::ofstream out(data);
        out << "Item,Bin\n";
        for (int i = 1; i <= records; ++i) out << "Item " << i << " carton," << (i % 97) << "\n";
    }
    if (!doc.OnNewDocument()) return false;
    if (!doc.ApplyPaperDefinition("Roll 100x50=1,100,50,1,0,3,0,0,0,0,0,0,0")) return false;
    CLabelFormat& f = doc.m_format;
    f.m_nLanguage = 0;
    f.m_nHDpi = f.m_nVDpi = 203;
    f.m_dwOptions = LFO_CHANGE_SERIAL;
    doc.OnPrinterChanged();
    CDataSourceSettings source;
    source.kind = DSK_TEXT;
    source.textPath = data;
    doc.SetDataSourceSettings(source);
    std::string error;
    if (!doc.OpenDataSourceQuietly(FALSE, &error)) {
        std::fprintf(stderr, "print_bench: %s\n", error.c_str());
        return false;
    }

    auto* box = new CDrawRect(CRect(100, 100, 9900, 4900));
    box->m_nThickness = 40;
    doc.AddObject(box);
    Text(doc, CRect(500, 400, 9500, 1000), 1200, {Var(doc, VK_FIXED, "ACME Logistics, Dock 4")});
    CVariable* serial = Var(doc, VK_SERIAL, "000001");
    Text(doc, CRect(500, 1200, 9500, 1800), 1400, {Var(doc, VK_FIXED, "SN "), serial});
    CVariable* item = Var(doc, VK_DATABASE, "");
    item->m_strField = "Item\n0";
    Text(doc, CRect(500, 2000, 9500, 2600), 1200, {item});
    auto* code = new CDrawBarcode(CRect(1000, 2900, 1000, 2900));
    doc.AddObject(code);
    code->m_nSymbology = BS_CODE128;
    code->ApplyPrinterDefaults(&doc);
    code->m_nModuleWidth = MulDiv(2, 100000, 203);
    code->m_nBarHeight = 1200;
    code->AddVariable(serial);
    code->RecalcSize();
    return true;
}

// One run: labels and rounds; prints "labels median-seconds peak-KiB".
int RunOnce(int labels, int rounds)
{
    int argc = 1;
    char name[] = "print_bench";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    SetAnsiCodePage(1252);
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("kv-print-bench-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(folder);
    CSettingsStore::Instance().UseFile(folder + "/settings.ini");
    std::vector<double> seconds, cpu;
    auto cpuNow = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec + t.tv_nsec / 1e9;
    };
    for (int r = 0; r < rounds; ++r) {
        CKVDoc doc;
        if (!BuildLabel(doc, folder, labels)) return 1;
        CPrintRequest request;
        request.pdfPath = folder + "/labels.pdf";
        request.quantity = labels;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuNow();
        const CPrintOutcome out = RunPrint(doc, request, nullptr);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu.push_back(cpuNow() - cpuStart);
        if (out.status != CPrintOutcome::Printed || out.labels != labels) {
            std::fprintf(stderr, "print_bench: the run printed %d labels: %s\n", out.labels, out.error.c_str());
            return 1;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(cpu.begin(), cpu.end());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d %.6f %.6f %ld\n", labels, seconds[seconds.size() / 2], cpu[cpu.size() / 2], usage.ru_maxrss);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/korvane-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    if (argc == 4 && std::string(argv[1]) == "--run") return RunOnce(std::atoi(argv[2]), std::atoi(argv[3]));

    struct Run {
        int labels, rounds;
        double seconds = 0;
        double cpu = 0;
        long peakKiB = 0;
    };
    std::vector<Run> runs = {{1000, 5}, {10000, 1}, {100000, 1}};
    for (Run& r : runs) {
        const std::string command =
            std::string("'") + argv[0] + "' --run " + std::to_string(r.labels) + " " + std::to_string(r.rounds);
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe || std::fscanf(pipe, "%d %lf %lf %ld", &r.labels, &r.seconds, &r.cpu, &r.peakKiB) != 4) {
            std::fprintf(stderr, "print_bench: the run of %d labels failed\n", r.labels);
            return 1;
        }
        pclose(pipe);
    }
    std::printf("graphics printing to PDF, 100 x 50 mm roll label at 203 dpi (box, 3 texts, Code 128)\n");
    std::printf("(wall-clock seconds; the processor time of the run beside them, which a busy machine does not inflate)\n");
    std::printf("%10s %10s %10s %12s %12s %10s %10s\n", "labels", "seconds", "cpu s", "labels/s", "us per label",
                "vs 1,000", "peak MiB");
    const double base = runs[0].seconds / runs[0].labels;
    for (const Run& r : runs)
        std::printf("%10d %10.3f %10.3f %12.0f %12.1f %10.2f %10.1f\n", r.labels, r.seconds, r.cpu,
                    r.labels / r.seconds, 1e6 * r.seconds / r.labels, (r.seconds / r.labels) / base,
                    r.peakKiB / 1024.0);
    std::printf("goals: 1,000 labels within 0.5 s (%s), peak memory under 150 MiB at 100,000 labels (%s)\n",
                runs[0].seconds <= 0.5 ? "met" : "missed", runs[2].peakKiB < 150 * 1024 ? "met" : "missed");
    return 0;
}
