// Symbols per second of the QR Code, Data Matrix and PDF417 encoders, each
// next to libzint doing the same work in the same run.
#include <benchmark/benchmark.h>

#include <string>

#include "encoders/pdf417.h"
#include "encoders/twod_entries.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

const std::string kUrl =
    "https://www.example.com/products/catalogue/item?id=1234567890&lang=en&ref=label-printer-01";
const std::string kDm = "ABC-12345678901234567890-xyz/LOT:0042-A1";   // 40 bytes

std::string Pdf200()
{
    std::string s;
    while (s.size() < 200) s += "Order 4711, line 0815: 12 x Widget (blue) @ 3.50 EUR; ";
    s.resize(200);
    return s;
}

void BM_Qr_Korvane(benchmark::State& state)
{
    const std::string d = kUrl.substr(0, 100);
    for (auto _ : state) {
        auto bmp = EncodeQr(d.data(), int(d.size()), 1, 2, 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Qr_Korvane);

void BM_DataMatrix_Korvane(benchmark::State& state)
{
    for (auto _ : state) {
        auto bmp = EncodeDataMatrix(kDm.data(), int(kDm.size()), 0, 2, 0, 0, 0, nullptr);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DataMatrix_Korvane);

// Compaction, level, layout and error correction (the drawing step needs the
// pattern table).
void BM_Pdf417Codewords_Korvane(benchmark::State& state)
{
    const std::string d = Pdf200();
    pdf417::Request req;
    req.module = 2;
    req.rowHeight = 6;
    for (auto _ : state) {
        pdf417::Symbol s;
        benchmark::DoNotOptimize(pdf417::BuildSymbol(reinterpret_cast<const std::uint8_t*>(d.data()), d.size(), req, s));
        benchmark::DoNotOptimize(s.codewords.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Pdf417Codewords_Korvane);

#ifdef KV_HAVE_ZINT
void RunZint(benchmark::State& state, int symbology, int option1, int option3, const std::string& d, bool buffer)
{
    for (auto _ : state) {
        zint_symbol* z = ZBarcode_Create();
        z->symbology = symbology;
        z->option_1 = option1;
        z->option_3 = option3;
        z->scale = 1.0f;  // two pixels per module
        int rc = ZBarcode_Encode(z, reinterpret_cast<const unsigned char*>(d.data()), int(d.size()));
        if (buffer && rc < 5) rc = ZBarcode_Buffer(z, 0);
        benchmark::DoNotOptimize(rc);
        ZBarcode_Delete(z);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Qr_Zint(benchmark::State& state) { RunZint(state, BARCODE_QRCODE, 2, 0, kUrl.substr(0, 100), true); }
BENCHMARK(BM_Qr_Zint);
void BM_DataMatrix_Zint(benchmark::State& state) { RunZint(state, BARCODE_DATAMATRIX, 0, DM_SQUARE, kDm, true); }
BENCHMARK(BM_DataMatrix_Zint);
void BM_Pdf417Codewords_Zint(benchmark::State& state) { RunZint(state, BARCODE_PDF417, -1, 0, Pdf200(), false); }
BENCHMARK(BM_Pdf417Codewords_Zint);
#endif

}  // namespace

BENCHMARK_MAIN();
