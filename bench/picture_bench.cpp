// Per-label and per-save work of pictures: a data-source picture read from
// its file for one label (decode, turn), quarter turns at each depth, and an
// embedded picture saved and loaded with its document.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawpicture.h"
#include "platform/bitmap_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A label-like picture: a frame, bars, a gradient and a little noise.
Bytes LabelPicture(int width, int height, int bits)
{
    std::vector<COLORREF> table;
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i) table.push_back(RGBColor(i * 255 / ((1 << bits) - 1), 0, 0));
    Bytes b = MakeBitmapFile(width, height, bits, table, 11811, 11811);
    BitmapFileInfo info;
    ParseBitmapFile(b.data(), b.size(), &info);
    std::mt19937 rng(42);
    const DWORD max = bits == 32 ? 0xFFFFFFFFu : (DWORD(1) << bits) - 1;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.data() + info.pixelOffset + std::size_t(y) * info.stride;
        for (int x = 0; x < width; ++x) {
            DWORD v = max;
            if (x < 4 || y < 4 || x >= width - 4 || y >= height - 4) v = 0;
            if (y > height / 2 && (x / 3) % 4 == 0) v = 0;
            if (y < height / 8) v = DWORD(std::uint64_t(x) * max / std::uint64_t(width));
            if (rng() % 400 == 0) v = DWORD(rng()) & max;
            SetRowPixel(row, bits, x, v);
        }
    }
    return b;
}

std::string WriteTempPicture(const Bytes& b)
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kvbench-picture-" + std::to_string(getpid()) + ".bmp"))
                                 .string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return path;
}

void BM_LabelPicture(benchmark::State& state)
{
    const std::string path = WriteTempPicture(LabelPicture(600, 300, 24));
    CKVDoc doc;
    auto* var = new CVariable;
    var->m_strData = path;
    doc.AddVariable(var);
    auto* p = new CDrawPicture(CRect(0, 0, 5000, 2500));
    doc.AddObject(p);
    p->AddVariable(var);
    p->m_nSource = PIC_DATA_SOURCE;
    p->m_nRotation = int(state.range(0));
    CLabelPos pos;
    for (auto _ : state) {
        CPictureImage image;
        if (!p->LoadLabelPicture(&pos, image)) state.SkipWithError("cannot read the picture");
        benchmark::DoNotOptimize(image.GetData().data());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LabelPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RotateImage(benchmark::State& state)
{
    CPictureImage image;
    image.SetData(LabelPicture(1200, 800, int(state.range(0))));
    for (auto _ : state) image.RotateImage(90);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(image.GetData().size()));
}
BENCHMARK(BM_RotateImage)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

void BM_SaveAndLoadEmbedded(benchmark::State& state)
{
    CKVDoc doc;
    auto* p = new CDrawPicture(CRect(0, 0, 5000, 5000));
    doc.AddObject(p);
    p->m_image.SetData(LabelPicture(600, 582, 24));
    p->m_nCompression = int(state.range(0));
    for (auto _ : state) {
        const Bytes bytes = doc.SaveToBytes();
        CKVDoc back;
        std::string reason;
        if (!back.LoadFromBytes(bytes.data(), bytes.size(), &reason)) state.SkipWithError(reason.c_str());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p->m_image.GetData().size()));
}
BENCHMARK(BM_SaveAndLoadEmbedded)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
