// Every symbology Korvane and libzint both encode, side by side and on equal
// terms: the same data, module size (2 pixels; libzint's scale 1) and symbol
// dimensions, no human-readable text; ours makes its finished 1-bit bitmap,
// libzint its one-byte-per-pixel raster buffer from a symbol created once and
// cleared before each call. Rounds interleave the two sides (and the
// symbologies), the side that goes first alternating; each side's CPU time
// per call is the median over the rounds. One line per symbology: both
// median times and rates, and the ratio of ours to libzint's rate.
//
//   bench/encoders_bench [rounds] [milliseconds per side and round] [name...]
//
// A symbology whose two symbols differ in size is reported and not compared.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "encoders/linear_entries.h"
#include "encoders/request.h"
#include "encoders/symbology.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

constexpr int kModule = 2;  // pixels; libzint's scale 1 draws two pixels per module

#ifdef KV_HAVE_ZINT

// libzint's settings for one symbology; everything not set here is its default.
struct ZintSettings {
    int symbology;
    float height = 0;           // in modules, 0: the symbology's own
    float scale = 1.0f;
    int option1 = 0, option2 = 0, option3 = 0;
    int inputMode = DATA_MODE;
    int whitespace = 0;         // quiet zone left and right, modules
    int border = 0;             // bearer bars (ITF-14), modules
    int outputOptions = 0;
};

class ZintSide {
public:
    ZintSide(const ZintSettings& z, std::string data) : m_data(std::move(data))
    {
        m_s = ZBarcode_Create();
        m_s->symbology = z.symbology;
        if (z.height > 0) m_s->height = z.height;
        m_s->scale = z.scale;
        m_s->option_1 = z.option1;
        m_s->option_2 = z.option2;
        m_s->option_3 = z.option3;
        m_s->input_mode = z.inputMode;
        m_s->whitespace_width = z.whitespace;
        m_s->border_width = z.border;
        m_s->show_hrt = 0;
        m_s->guard_descent = 0;  // ours draws EAN/UPC without text as full-height bars
        m_s->output_options = z.outputOptions | BARCODE_NO_QUIET_ZONES | OUT_BUFFER_INTERMEDIATE;
    }
    ~ZintSide() { ZBarcode_Delete(m_s); }
    ZintSide(const ZintSide&) = delete;
    ZintSide& operator=(const ZintSide&) = delete;

    // One symbol: encode and raster into the one-byte-per-pixel buffer.
    bool Run()
    {
        ZBarcode_Clear(m_s);
        const int rc = ZBarcode_Encode_and_Buffer(m_s, reinterpret_cast<const unsigned char*>(m_data.data()),
                                                  int(m_data.size()), 0);
        return rc < ZINT_ERROR;
    }
    int Width() const { return m_s->bitmap_width; }
    int Height() const { return m_s->bitmap_height; }
    const char* Error() const { return m_s->errtxt; }

private:
    zint_symbol* m_s;
    std::string m_data;
};

struct Row {
    const char* name;
    BarcodeRequest ours;
    ZintSettings zint;
    std::string zintData;
    const char* note = nullptr;  // a known difference of symbol size, said on the line
};

std::string Pdf200()
{
    std::string s;
    while (s.size() < 200) s += "ORDER FOUR SEVEN ONE ONE LINE EIGHT FIFTEEN TWELVE WIDGETS BLUE ";
    s.resize(200);
    return s;
}

// Our request: module 2, no human-readable text, the bars (of the linear
// symbols) 50 modules high.
BarcodeRequest Request(int type, std::string data, int wideModules = 0, int heightModules = 50)
{
    BarcodeRequest r;
    r.type = type;
    r.data = std::move(data);
    r.module = kModule;
    r.wide = wideModules * kModule;
    r.height = heightModules * kModule;
    return r;
}

std::vector<Row> Rows()
{
    constexpr int h = 50;  // linear symbols, modules high
    const std::string qr = "https://www.example.com/products/catalogue/item?id=1234567890&lang=en&ref=label-printer-01";
    const std::string dm = "ABC-12345678901234567890-XYZ/LOT:0042-A1";
    const std::string maxi = "Korvane parcel 0815, 12 x Widget, dock 7, route 42";
    const std::string hanxin = "Korvane HANXIN 0123456789 label printer 4711/0815 ABCDEFGHIJ";
    const std::string item = "0950110153000";
    const std::string elements = "(01)98898765432106(3202)012345(15)991231";

    BarcodeRequest gs1 = Request(BS_CODE128, "^101095011015300033103000123");
    gs1.code128.mode = GS1_128_AUTO;
    BarcodeRequest itf14 = Request(BS_ITF14, "15400141288763", 3);
    itf14.itf14 = {1, 5, 10};  // rectangle bearers 5 modules, quiet zones 10
    BarcodeRequest pdf = Request(BS_PDF417, Pdf200());
    pdf.pdf417.columns = 8;
    pdf.pdf417.level = 4;
    pdf.pdf417.rowHeight = 3 * kModule;
    BarcodeRequest qrReq = Request(BS_QRCODE, qr);
    qrReq.qr.ecLevel = 1;
    BarcodeRequest maxiReq = Request(BS_MAXICODE, maxi);
    maxiReq.maxiCode.mode = 4;
    BarcodeRequest hanxinReq = Request(BS_HANXIN, hanxin);
    hanxinReq.hanXin = {2, 0};
    auto dataBar = [](const std::string& data, int type, int heightModules) {
        BarcodeRequest r = Request(BS_DATABAR, data, 0, heightModules);
        r.dataBar = {type, 1, 2, true};  // the GS1 heights, two segments a row when stacked
        return r;
    };
    const int gs1Parens = GS1_MODE | GS1PARENS_MODE;
    return {
        {"Code 39", Request(BS_CODE39, "KV-39 ABC123", 2), {BARCODE_CODE39, h}, "KV-39 ABC123"},
        {"Code 39 Full ASCII", Request(BS_CODE39_ASCII, "Korvane lot 42", 2), {BARCODE_EXCODE39, h}, "Korvane lot 42"},
        {"Code 128", Request(BS_CODE128, "KORVANE-0123456789-label"), {BARCODE_CODE128, h}, "KORVANE-0123456789-label"},
        {"GS1-128", gs1, {BARCODE_GS1_128, h, 1.0f, 0, 0, 0, GS1_MODE}, "[01]09501101530003[3103]000123"},
        {"EAN-13", Request(BS_EAN13, "590123412345"), {BARCODE_EANX, h, 1.0f, 0, 0, 0, DATA_MODE, 9}, "590123412345"},
        {"EAN-8", Request(BS_EAN8, "9638507"), {BARCODE_EANX, h, 1.0f, 0, 0, 0, DATA_MODE, 7}, "9638507"},
        {"UPC-A", Request(BS_UPCA, "03600029145"), {BARCODE_UPCA, h, 1.0f, 0, 0, 0, DATA_MODE, 9}, "03600029145"},
        // Our quiet zones are 9 and 7 modules, libzint's 8 and 8.
        {"UPC-E", Request(BS_UPCE, "0123456"), {BARCODE_UPCE, h, 1.0f, 0, 0, 0, DATA_MODE, 8}, "0123456"},
        {"Interleaved 2 of 5", Request(BS_ITF25, "1234567890", 3), {BARCODE_C25INTER, h}, "1234567890"},
        // libzint's height leaves out its bearer bars.
        {"ITF-14", itf14, {BARCODE_ITF14, h - 10, 1.0f, 0, 0, 0, DATA_MODE, 10, 5, BARCODE_BOX}, "1540014128876"},
        {"Industrial 2 of 5", Request(BS_CODE25, "1234567", 3), {BARCODE_C25IND, h}, "1234567"},
        {"Matrix 2 of 5", Request(BS_MATRIX25, "1234567", 3), {BARCODE_C25STANDARD, h}, "1234567",
         "libzint's start and stop bars are each a module wider"},
        {"China Post", Request(BS_CHINA_POST, "1234567", 3), {BARCODE_C25LOGIC, h}, "1234567"},
        {"Codabar", Request(BS_CODABAR, "A1234567B", 2), {BARCODE_CODABAR, h}, "A1234567B",
         "libzint ends with a space module"},
        {"Code 93", Request(BS_CODE93, "KORVANE 93"), {BARCODE_CODE93, h}, "KORVANE 93"},
        {"PDF417", pdf, {BARCODE_PDF417, 0, 1.0f, 4, 8}, pdf.data},
        {"QR Code", qrReq, {BARCODE_QRCODE, 0, 1.0f, 2}, qr},
        {"Data Matrix", Request(BS_DATAMATRIX, dm), {BARCODE_DATAMATRIX, 0, 1.0f, 0, 0, DM_SQUARE}, dm},
        // libzint's picture comes in steps of its scale: 0.74 is the nearest
        // to ours at module 2.
        {"MaxiCode", maxiReq, {BARCODE_MAXICODE, 0, 0.74f, 4}, maxi, "libzint's picture is a pixel narrower"},
        {"Han Xin", hanxinReq, {BARCODE_HANXIN, 0, 1.0f, 2}, hanxin},
        {"DataBar Omnidirectional", dataBar(item, 0, 33), {BARCODE_DBAR_OMN, 33}, item},
        {"DataBar Truncated", dataBar(item, 1, 13), {BARCODE_DBAR_OMN, 13}, item},
        {"DataBar Stacked", dataBar(item, 2, 13), {BARCODE_DBAR_STK, 13}, item},
        {"DataBar Stacked Omni", dataBar(item, 3, 69), {BARCODE_DBAR_OMNSTK, 69}, item},
        {"DataBar Limited", dataBar(item, 4, 10), {BARCODE_DBAR_LTD, 10}, item},
        {"DataBar Expanded", dataBar(elements, 5, 34), {BARCODE_DBAR_EXP, 34, 1.0f, 0, 0, 0, gs1Parens}, elements},
        {"DataBar Expanded Stacked", dataBar(elements, 6, 71),
         {BARCODE_DBAR_EXPSTK, 71, 1.0f, 0, 2, 0, gs1Parens}, elements},
    };
}

struct Timed {
    Row row;
    std::unique_ptr<ZintSide> zint;
    int calls = 1;
    std::vector<double> ours, theirs;  // seconds per call, one per round
};

// CPU seconds per call of f over n calls.
template <class F>
double PerCall(F&& f, int n)
{
    const double t0 = CpuSeconds();
    for (int i = 0; i < n; ++i) f();
    return (CpuSeconds() - t0) / n;
}

#endif  // KV_HAVE_ZINT

}  // namespace

int main(int argc, char** argv)
{
#ifndef KV_HAVE_ZINT
    (void)argc;
    (void)argv;
    std::printf("libzint not found: no comparison\n");
    return 0;
#else
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    const double sliceSeconds = (argc > 2 ? std::max(1, std::atoi(argv[2])) : 20) / 1000.0;
    std::vector<std::string> only(argv + std::min(argc, 3), argv + argc);

    std::vector<Timed> timed;
    for (Row& r : Rows()) {
        if (!only.empty() && std::find(only.begin(), only.end(), r.name) == only.end()) continue;
        Timed t;
        t.zint = std::make_unique<ZintSide>(r.zint, r.zintData);
        const BarBitmap ours = EncodeBarcode(r.ours).bitmap;
        const bool theirs = t.zint->Run();
        if (!ours || !theirs) {
            std::printf("%-26s no comparison: %s\n", r.name, ours ? t.zint->Error() : "ours failed");
            continue;
        }
        const bool sameSize = ours->Width() == t.zint->Width() && ours->Height() == t.zint->Height();
        if (!sameSize && !r.note) {
            std::printf("%-26s no comparison: ours %dx%d, libzint %dx%d\n", r.name, ours->Width(), ours->Height(),
                        t.zint->Width(), t.zint->Height());
            continue;
        }
        std::printf("%-26s %4dx%-4d %4dx%-4d %s\n", r.name, ours->Width(), ours->Height(), t.zint->Width(),
                    t.zint->Height(), r.note ? r.note : "");
        // Calls per round: about sliceSeconds for the slower side.
        const double once = std::max(PerCall([&] { EncodeBarcode(r.ours); }, 20), PerCall([&] { t.zint->Run(); }, 20));
        t.calls = std::max(1, int(sliceSeconds / once));
        t.row = std::move(r);
        timed.push_back(std::move(t));
    }

    for (int round = 0; round < rounds; ++round) {
        // The symbologies in a rotated order, the first side alternating.
        for (size_t k = 0; k < timed.size(); ++k) {
            Timed& t = timed[(k + size_t(round)) % timed.size()];
            auto ours = [&] { return PerCall([&] { EncodeBarcode(t.row.ours); }, t.calls); };
            auto theirs = [&] { return PerCall([&] { t.zint->Run(); }, t.calls); };
            if ((round + int(k)) % 2) {
                t.theirs.push_back(theirs());
                t.ours.push_back(ours());
            } else {
                t.ours.push_back(ours());
                t.theirs.push_back(theirs());
            }
        }
    }

    std::printf("\n%-26s %10s %10s %12s %12s %7s   (CPU time per symbol, median of %d rounds)\n", "symbology",
                "ours ns", "libzint ns", "ours/s", "libzint/s", "ratio", rounds);
    for (const Timed& t : timed) {
        const double o = Median(t.ours), z = Median(t.theirs);
        std::printf("%-26s %10.0f %10.0f %12.0f %12.0f %7.2f\n", t.row.name, o * 1e9, z * 1e9, 1 / o, 1 / z, z / o);
    }
    return 0;
#endif
}
