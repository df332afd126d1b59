// Symbols per second of the GS1 DataBar entry against libzint on the same
// data, and the ratio of the two rates.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "encoders/encoders.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

const char* const kItems[] = {"0950110153000", "1234567890123", "2001234567890", "9999999999999"};
const char* const kElementStrings[] = {"(01)09501101530003(3103)000123", "(01)98898765432106(3202)012345(15)991231",
                                       "(10)ABC123(21)xyz%!"};

void BM_DataBarOmni_Korvane(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) {
        BarBitmap bmp = EncodeDataBar(kItems[i++ % 4], 2, 0, 66, 0, 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DataBarOmni_Korvane);

void BM_DataBarExpandedStacked_Korvane(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) {
        BarBitmap bmp =
            EncodeDataBar(kElementStrings[i++ % 3], 2, 0, 150, DataBarOptions(6, 1, 2, false), 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DataBarExpandedStacked_Korvane);

#ifdef KV_HAVE_ZINT
// libzint doing the same work as ours: the symbol and its raster (scale 1
// gives two pixels per module, as our module of 2), no human-readable text.
void ZintRun(benchmark::State& state, int symbology, const char* const* data, size_t n, int option2, bool gs1)
{
    size_t i = 0;
    for (auto _ : state) {
        zint_symbol* s = ZBarcode_Create();
        s->symbology = symbology;
        s->option_2 = option2;
        if (gs1) s->input_mode = GS1_MODE | GS1PARENS_MODE;
        s->show_hrt = 0;
        s->scale = 1.0f;
        const std::string d = data[i++ % n];
        benchmark::DoNotOptimize(
            ZBarcode_Encode_and_Buffer(s, reinterpret_cast<const unsigned char*>(d.data()), int(d.size()), 0));
        ZBarcode_Delete(s);
    }
    state.SetItemsProcessed(state.iterations());
}
void BM_DataBarOmni_Libzint(benchmark::State& state) { ZintRun(state, BARCODE_DBAR_OMN, kItems, 4, 0, false); }
BENCHMARK(BM_DataBarOmni_Libzint);
void BM_DataBarExpandedStacked_Libzint(benchmark::State& state)
{
    ZintRun(state, BARCODE_DBAR_EXPSTK, kElementStrings, 3, 2, true);
}
BENCHMARK(BM_DataBarExpandedStacked_Libzint);
#endif

}  // namespace

// The ratio of rates (ours / libzint) is printed after the table.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    struct Collect : benchmark::ConsoleReporter {
        std::map<std::string, double> rates;
        void ReportRuns(const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns(runs);
            for (const auto& r : runs) {
                const auto it = r.counters.find("items_per_second");
                if (it != r.counters.end()) rates[r.benchmark_name()] = it->second;
            }
        }
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* name : {"DataBarOmni", "DataBarExpandedStacked"}) {
        const std::string k = std::string("BM_") + name + "_Korvane", z = std::string("BM_") + name + "_Libzint";
        if (reporter.rates.count(k) && reporter.rates.count(z) && reporter.rates[z] > 0)
            std::printf("%s: %.0f symbols/s vs libzint %.0f symbols/s, ratio %.2f\n", name, reporter.rates[k],
                        reporter.rates[z], reporter.rates[k] / reporter.rates[z]);
    }
    benchmark::Shutdown();
    return 0;
}
