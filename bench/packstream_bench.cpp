// Coding and decoding speed of the picture container's coders on 1 MB
// blocks: one shaped like a label picture (a 24-bit bitmap file image with
// frames, bars, text-like strokes, a gradient and some noise), one of grey
// ramps only, whose strings arrive in sorted order.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "model/packstream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes& PictureBlock()
{
    static const Bytes block = [] {
        const int width = 600, height = 582;  // 54 + 1800 * 582 bytes, about 1 MB
        const int stride = width * 3;
        Bytes b(54 + static_cast<std::size_t>(stride) * height, 0);
        b[0] = 'B';
        b[1] = 'M';
        b[10] = 54;
        b[14] = 40;
        std::mt19937 rng(42);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint8_t v = 255;
                if (x < 4 || y < 4 || x >= width - 4 || y >= height - 4) v = 0;
                if (y > 300 && y < 420 && (x / 3) % 4 == 0) v = 0;                 // barcode bars
                if (y > 60 && y < 90 && (x * 7 + y * 3) % 23 < 5 && x < 450) v = 0;  // text strokes
                if (y > 460 && y < 520) v = static_cast<std::uint8_t>(x * 255 / width);
                if (rng() % 400 == 0) v = static_cast<std::uint8_t>(rng());
                std::uint8_t* p = &b[54 + static_cast<std::size_t>(y) * stride + x * 3];
                p[0] = p[1] = p[2] = v;
            }
        }
        return b;
    }();
    return block;
}

const Bytes& GradientBlock()
{
    static const Bytes block = [] {
        Bytes b(1 << 20);
        for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i % 1800 / 3 * 255 / 600);
        return b;
    }();
    return block;
}

const Bytes& Block(std::int64_t kind) { return kind == 0 ? PictureBlock() : GradientBlock(); }

void BM_Pack(benchmark::State& state)
{
    const int compression = static_cast<int>(state.range(0));
    const Bytes& data = Block(state.range(1));
    std::size_t coded = 0;
    for (auto _ : state) {
        auto block = PackBlock(compression, data.data(), data.size());
        coded = block ? block->size() : 0;
        benchmark::DoNotOptimize(block);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["ratio%"] = 100.0 * static_cast<double>(coded) / static_cast<double>(data.size());
}

void BM_Unpack(benchmark::State& state)
{
    const int compression = static_cast<int>(state.range(0));
    const Bytes& data = Block(state.range(1));
    const auto block = PackBlock(compression, data.data(), data.size());
    if (!block) {
        state.SkipWithError("did not fit");
        return;
    }
    for (auto _ : state) {
        auto back = UnpackBlock(compression, block->data(), block->size());
        if (back.data.size() != data.size()) state.SkipWithError("short");
        benchmark::DoNotOptimize(back);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

// Coder (1 LZW, 2 LZSS, 3 adaptive Huffman) and block (0 picture, 1 ramps).
BENCHMARK(BM_Pack)->ArgsProduct({{1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unpack)->ArgsProduct({{1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
