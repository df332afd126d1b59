// Feeds arbitrary bytes to the picture container's decoders, and checks that
// coding then decoding gives the input back.
//
// Input: byte 0 chooses the action (low 2 bits) and the coder (the rest);
//   0: the remaining bytes are a whole container block for UnpackBlock;
//   1: bytes 1-2 give an original size and byte 3 the pace of reading, the
//      remaining bytes are coded bytes under a header with that size, read
//      through the stream in pieces;
//   2: the remaining bytes are coded and decoded again and must come back;
//   3: like 1, without a header (the block is read whole).
// On start-up a few valid inputs are written into an empty corpus folder.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "model/packstream.h"

namespace {

constexpr std::uint64_t kMaxOriginal = 1 << 16;

using Bytes = std::vector<std::uint8_t>;

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "packstream_fuzz: %s\n", what);
        std::abort();
    }
}

int CoderOf(std::uint8_t selector, bool storedToo)
{
    const int n = (selector >> 2) % (storedToo ? 4 : 3);
    return n == 3 ? 0 : n + 1;
}

void ReadInPieces(const std::uint8_t* block, std::size_t n, int compression, std::uint8_t pace)
{
    auto reader = CPackStream::Create(compression);
    if (!reader->Open(block, n)) return;
    // Headerless input may still begin with a tag and bring its own sizes.
    const std::uint64_t original = reader->GetOriginalSize();
    if (original > kMaxOriginal + n) return;
    Bytes out(static_cast<std::size_t>(original) + 1);
    std::size_t at = 0;
    const std::size_t piece = 1 + std::size_t{pace} * 97;
    for (;;) {
        const std::size_t want = std::min(piece, out.size() - at);
        const std::size_t got = reader->Read(out.data() + at, want);
        Check(got <= want, "read more than asked");
        at += got;
        if (got == 0) break;
    }
    Check(at <= original, "decoded beyond the original size");
    Check(reader->HasEnded() || at == original, "stopped early without an end");
}

void WriteSeeds(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec) || !std::filesystem::is_empty(folder, ec)) return;
    std::string text;
    for (int i = 0; text.size() < 3000; ++i) text += "label " + std::to_string(i * 37 % 1000) + " barcode\r\n";
    Bytes bitmap(2400, 0xFF);
    for (std::size_t i = 0; i < bitmap.size(); ++i)
        if (i % 40 < 6 || (i / 40) % 7 == 0) bitmap[i] = 0x00;
    int count = 0;
    for (const Bytes& data : {Bytes(text.begin(), text.end()), bitmap}) {
        for (int coder = 0; coder < 3; ++coder) {
            const int compression = coder + 1;
            const auto block = PackBlock(compression, data.data(), data.size());
            if (!block) continue;
            const auto write = [&](std::uint8_t selector, const Bytes& body) {
                Bytes input{selector};
                input.insert(input.end(), body.begin(), body.end());
                std::FILE* f = std::fopen((folder / ("seed-" + std::to_string(count++))).c_str(), "wb");
                if (!f) return;
                std::fwrite(input.data(), 1, input.size(), f);
                std::fclose(f);
            };
            const std::uint8_t coderBits = static_cast<std::uint8_t>(coder << 2);
            write(coderBits | 0, *block);
            Bytes sized{block->at(8), block->at(9), 7};
            sized.insert(sized.end(), block->begin() + 16, block->end());
            write(coderBits | 1, sized);
            write(coderBits | 2, Bytes(data.begin(), data.begin() + 600));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    for (int i = 1; i < *argc; ++i)
        if ((*argv)[i][0] != '-') WriteSeeds((*argv)[i]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::uint8_t selector = data[0];
    const std::uint8_t* rest = data + 1;
    const std::size_t n = size - 1;
    switch (selector & 3) {
    case 0: {
        const int compression = CoderOf(selector, true);
        const CUnpackResult r = UnpackBlock(compression, rest, n, kMaxOriginal);
        if (r.status == CUnpackResult::badSizes) Check(r.data.empty(), "data with impossible sizes");
        break;
    }
    case 1:
    case 3: {
        if (n < 3) return 0;
        const int compression = CoderOf(selector, false);
        const std::uint32_t original = static_cast<std::uint32_t>(rest[0] | rest[1] << 8);
        Bytes block;
        if ((selector & 3) == 1) {
            const char* tag = CPackStream::Create(compression)->GetTag();
            block.assign(tag, tag + 8);
            for (std::uint32_t v : {original, static_cast<std::uint32_t>(n - 3)})
                for (int i = 0; i < 4; ++i) block.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
        block.insert(block.end(), rest + 3, rest + n);
        ReadInPieces(block.data(), block.size(), compression, rest[2]);
        break;
    }
    case 2: {
        const int compression = CoderOf(selector, true);
        const auto block = PackBlock(compression, rest, n);
        Check(block.has_value(), "small input did not fit the output block");
        const CUnpackResult r = UnpackBlock(compression, block->data(), block->size(), kMaxOriginal + n);
        Check(r.status == CUnpackResult::ok, "round trip not complete");
        Check(r.data.size() == n && (n == 0 || std::memcmp(r.data.data(), rest, n) == 0), "round trip differs");
        break;
    }
    }
    return 0;
}
