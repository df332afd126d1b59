// PDF417, MaxiCode, Han Xin and GS1 DataBar Limited against libzint, fairly:
// the same data, module size and symbol (columns, level, version, mode) on
// both sides; ours makes its 1-bit bitmap, libzint its one-byte-per-pixel
// buffer from a symbol created once; rounds interleaved, medians compared.
//
//   bench/symbols16_bench [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "encoders/encoders.h"
#include "encoders/hanxin_entry.h"
#include "encoders/maxicode_entry.h"
#include "encoders/twod_entries.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// Capitals and spaces: both encoders compact them alike, so both draw the
// same rows and columns.
std::string Pdf200()
{
    std::string s;
    while (s.size() < 200) s += "ORDER FOUR SEVEN ONE ONE LINE EIGHT FIFTEEN TWELVE WIDGETS BLUE ";
    s.resize(200);
    return s;
}

const std::string kMaxi = "Korvane parcel 0815, 12 x Widget, dock 7, route 42";  // mode 4
const std::string kHanXin = "Korvane HANXIN 0123456789 label printer 4711/0815 ABCDEFGHIJ";
const char* const kItems[] = {"0950110153000", "1234567890123", "1001234567890", "0000000000017"};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds per call of f, over n calls.
double Time(const std::function<void()>& f, int n)
{
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) f();
    return std::chrono::duration<double>(Clock::now() - t0).count() / n;
}

struct Pair {
    const char* name;
    std::function<void()> ours;
    std::function<void()> theirs;
    int calls;
};

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
#ifndef KV_HAVE_ZINT
    std::printf("libzint not found: no comparison\n");
    return 0;
#else
    const std::string pdf = Pdf200();
    std::vector<Pair> pairs;
    std::vector<zint_symbol*> symbols;
    auto zint = [&symbols](int symbology, int option1, int option2, int option3, float scale, float height) {
        zint_symbol* s = ZBarcode_Create();
        s->symbology = symbology;
        s->option_1 = option1;
        s->option_2 = option2;
        s->option_3 = option3;
        s->scale = scale;  // 1.0: two pixels per module
        if (height > 0) s->height = height;
        s->show_hrt = 0;
        s->output_options |= OUT_BUFFER_INTERMEDIATE;  // one byte per pixel
        symbols.push_back(s);
        return s;
    };
    auto run = [](zint_symbol* s, const std::string& d) {
        ZBarcode_Clear(s);
        if (ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(d.data()), int(d.size())) < 5)
            ZBarcode_Buffer(s, 0);
    };

    // PDF417: 200 bytes, 8 columns, level 4, module 2, rows 3 modules high.
    zint_symbol* zp = zint(BARCODE_PDF417, 4, 8, 0, 1.0f, 0);
    pairs.push_back({"PDF417",
                     [&] { auto b = EncodePdf417(pdf.data(), int(pdf.size()), 0, 8, 4, 0, 0, 2, 6, 0, 0, nullptr); },
                     [&] { run(zp, pdf); }, 200});
    // MaxiCode mode 4, module 2 (libzint's hexagons at scale 0.7 give the
    // same picture size).
    zint_symbol* zm = zint(BARCODE_MAXICODE, 4, 0, 0, 0.7f, 0);
    pairs.push_back({"MaxiCode",
                     [&] { auto b = EncodeMaxiCode(kMaxi.data(), int(kMaxi.size()), 4, 2, 0, 0, 0, nullptr); },
                     [&] { run(zm, kMaxi); }, 300});
    // Han Xin level 2, smallest version, masks chosen on both sides, module 2.
    zint_symbol* zh = zint(BARCODE_HANXIN, 2, 0, 0, 1.0f, 0);
    pairs.push_back({"HanXin",
                     [&] {
                         auto b = EncodeHanXin(kHanXin.data(), int(kHanXin.size()), 2, 0, 0, 0, 0, 2, 0, 0, 0, nullptr);
                     },
                     [&] { run(zh, kHanXin); }, 200});
    // DataBar Limited, module 2, bars 10 modules high.
    zint_symbol* zl = zint(BARCODE_DBAR_LTD, 0, 0, 0, 1.0f, 10.0f);
    size_t li = 0, lz = 0;
    pairs.push_back({"DataBarLimited",
                     [&] { auto b = EncodeDataBar(kItems[li++ % 4], 2, 0, 20, 4, 0, 0, 0, nullptr); },
                     [&] { run(zl, kItems[lz++ % 4]); }, 2000});

    // What each side draws, for the record.
    {
        CSize s;
        MeasurePdf417(s, pdf.data(), int(pdf.size()), 0, 8, 4, 0, 2, 6, 0, nullptr);
        run(zp, pdf);
        std::printf("PDF417: ours %dx%d, libzint %dx%d\n", s.cx, s.cy, zp->bitmap_width, zp->bitmap_height);
        MeasureMaxiCode(s, kMaxi.data(), int(kMaxi.size()), 4, 2, 0, nullptr);
        run(zm, kMaxi);
        std::printf("MaxiCode: ours %dx%d, libzint %dx%d\n", s.cx, s.cy, zm->bitmap_width, zm->bitmap_height);
        MeasureHanXin(s, kHanXin.data(), int(kHanXin.size()), 2, 0, 0, 0, 0, 2, 0, nullptr);
        run(zh, kHanXin);
        std::printf("HanXin: ours %dx%d, libzint %dx%d\n", s.cx, s.cy, zh->bitmap_width, zh->bitmap_height);
        MeasureDataBar(s, kItems[0], 2, 0, 20, 4, 0, 0, nullptr);
        run(zl, kItems[0]);
        std::printf("DataBarLimited: ours %dx%d, libzint %dx%d\n", s.cx, s.cy, zl->bitmap_width, zl->bitmap_height);
    }

    for (auto& p : pairs) {
        std::vector<double> ours, theirs;
        Time(p.ours, p.calls);  // warm both
        Time(p.theirs, p.calls);
        for (int r = 0; r < rounds; ++r) {
            // Interleaved, the order alternating from round to round.
            if (r % 2) {
                theirs.push_back(Time(p.theirs, p.calls));
                ours.push_back(Time(p.ours, p.calls));
            } else {
                ours.push_back(Time(p.ours, p.calls));
                theirs.push_back(Time(p.theirs, p.calls));
            }
        }
        const double o = Median(ours), t = Median(theirs);
        std::printf("%-15s ours %8.1f us  libzint %8.1f us  ratio (libzint time / ours) %.2f\n", p.name, o * 1e6,
                    t * 1e6, t / o);
    }
    for (zint_symbol* s : symbols) ZBarcode_Delete(s);
    return 0;
#endif
}
