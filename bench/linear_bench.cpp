// Symbols encoded per second by the linear encoders, each against libzint on
// the same data at the same module size (2 pixels, zint scale 1), both
// producing a finished raster without human-readable text. Prints the ratio
// of the two rates for each symbology at the end of the run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "encoders/encoders.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

constexpr int kModule = 2;
constexpr int kHeight = 100;
constexpr char kCode128Data[] = "KORVANE-0123456789-label";
constexpr char kEan13Data[] = "590123412345";
constexpr char kCode39Data[] = "KV-39 ABC123";
constexpr char kItf14Data[] = "1540014128876";  // check digit added by each encoder

void Code128_korvane(benchmark::State& state)
{
    for (auto _ : state) {
        BarBitmap bmp = EncodeLinear(BCT_CODE128, kCode128Data, kModule, 0, 0, kHeight, 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}

void Ean13_korvane(benchmark::State& state)
{
    for (auto _ : state) {
        BarBitmap bmp = EncodeLinear(BCT_EAN13, kEan13Data, kModule, 0, 0, kHeight, 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}

void Code39_korvane(benchmark::State& state)
{
    for (auto _ : state) {
        BarBitmap bmp = EncodeLinear(BCT_CODE39, kCode39Data, kModule, 0, 3 * kModule, kHeight, 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}

void Itf14_korvane(benchmark::State& state)
{
    for (auto _ : state) {
        std::string data = kItf14Data;
        data += EanCheckChar(kItf14Data);
        BarBitmap bmp = EncodeItf14(data.c_str(), kModule, 0, 3 * kModule, kHeight, 1, 5, 10, 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(Code128_korvane);
BENCHMARK(Ean13_korvane);
BENCHMARK(Code39_korvane);
BENCHMARK(Itf14_korvane);

#ifdef KV_HAVE_ZINT
// One zint symbol reused across iterations (cleared in between), raster
// output at scale 1 = 2 pixels per module.
void RunZint(benchmark::State& state, int symbology, const char* data, int options = 0)
{
    zint_symbol* s = ZBarcode_Create();
    for (auto _ : state) {
        ZBarcode_Clear(s);
        s->symbology = symbology;
        s->scale = kModule / 2.0f;
        s->height = float(kHeight) / kModule;
        s->show_hrt = 0;
        s->output_options = options;
        if (symbology == BARCODE_ITF14) s->border_width = 5;
        const int rc = ZBarcode_Encode_and_Buffer(s, reinterpret_cast<const unsigned char*>(data), int(std::strlen(data)), 0);
        if (rc >= ZINT_ERROR) {
            state.SkipWithError(s->errtxt);
            break;
        }
        benchmark::DoNotOptimize(s->bitmap);
    }
    state.SetItemsProcessed(state.iterations());
    ZBarcode_Delete(s);
}

void Code128_zint(benchmark::State& state) { RunZint(state, BARCODE_CODE128, kCode128Data); }
void Ean13_zint(benchmark::State& state) { RunZint(state, BARCODE_EANX, kEan13Data); }
void Code39_zint(benchmark::State& state) { RunZint(state, BARCODE_CODE39, kCode39Data); }
void Itf14_zint(benchmark::State& state) { RunZint(state, BARCODE_ITF14, kItf14Data, BARCODE_BOX); }

BENCHMARK(Code128_zint);
BENCHMARK(Ean13_zint);
BENCHMARK(Code39_zint);
BENCHMARK(Itf14_zint);
#endif

// Console output plus the rates, to print the ratios after the run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) rates[run.benchmark_name()] = it->second.value;
        }
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nsymbols per second, korvane / zint:\n");
    for (const char* name : {"Code128", "Ean13", "Code39", "Itf14"}) {
        const auto ours = reporter.rates.find(std::string(name) + "_korvane");
        const auto theirs = reporter.rates.find(std::string(name) + "_zint");
        if (ours == reporter.rates.end()) continue;
        if (theirs == reporter.rates.end()) {
            std::printf("  %-8s %12.0f /s (no zint)\n", name, ours->second);
            continue;
        }
        std::printf("  %-8s %12.0f /s vs %12.0f /s  ratio %.2f\n", name, ours->second, theirs->second,
                    ours->second / theirs->second);
    }
    return 0;
}
