#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "model/packstream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kLzw = CPackStream::compressLzw;
constexpr int kLzss = CPackStream::compressLzss;
constexpr int kHuff = CPackStream::compressHuffman;
constexpr int kCoders[] = {kLzw, kLzss, kHuff};

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Le32(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

std::uint32_t GetLe32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}

Bytes Header(const char* tag, std::uint32_t original, std::uint32_t coded)
{
    return Cat(Cat(Bytes(tag, tag + 8), Le32(original)), Le32(coded));
}

Bytes RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

// Words of a small vocabulary with punctuation and line breaks.
Bytes TextBytes(size_t n)
{
    static const char* words[] = {"label", "printer", "barcode", "serial", "the", "of", "a", "ribbon",
                                  "thermal", "format", "Korvane", "1234", "quantity", "copies"};
    std::mt19937 rng(7);
    std::string s;
    while (s.size() < n) {
        s += words[rng() % std::size(words)];
        s += rng() % 9 == 0 ? ".\r\n" : " ";
    }
    s.resize(n);
    return B(s);
}

// A 24-bit bottom-up bitmap file image: white page, black frames and bars,
// a grey gradient and a little noise.
Bytes BitmapBytes(int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    Bytes b(54 + static_cast<size_t>(stride) * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    const Bytes size = Le32(static_cast<std::uint32_t>(b.size()));
    std::copy(size.begin(), size.end(), b.begin() + 2);
    b[10] = 54;
    b[14] = 40;
    std::mt19937 rng(3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t v = 255;
            if (x % 97 < 3 || y % 61 < 2) v = 0;                      // frames
            if (y > height / 2 && (x / 5) % 3 == 0) v = 0;            // bars
            if (y < height / 5) v = static_cast<std::uint8_t>(x * 255 / width);  // gradient
            if (rng() % 500 == 0) v = static_cast<std::uint8_t>(rng());
            std::uint8_t* p = &b[54 + static_cast<size_t>(y) * stride + x * 3];
            p[0] = p[1] = p[2] = v;
        }
    }
    return b;
}

// Rows of a grey ramp: strings that arrive in sorted order.
Bytes GradientBytes(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i % 1800 / 3 * 255 / 600);
    return b;
}

// Byte values with very uneven frequencies; every value occurs.
Bytes SkewedBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::geometric_distribution<int> dist(0.08);
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i % 1000 == 0 ? i / 1000 : dist(rng));
    return b;
}

Bytes Pack(int compression, const Bytes& data)
{
    auto block = PackBlock(compression, data.data(), data.size());
    EXPECT_TRUE(block.has_value()) << "compression " << compression << ", " << data.size() << " bytes";
    return block.value_or(Bytes{});
}

CUnpackResult Unpack(int compression, const Bytes& block, std::uint64_t maxOriginal = 0x40000000)
{
    return UnpackBlock(compression, block.data(), block.size(), maxOriginal);
}

// The coded bytes after the header of a container block.
Bytes Coded(const Bytes& block) { return Bytes(block.begin() + 16, block.end()); }

// Reads MSB-first codes of a coded stream; bits beyond the end read as 0.
class BitReader {
public:
    explicit BitReader(const Bytes& bytes) : m_bytes(bytes) {}
    unsigned Get(int count)
    {
        unsigned v = 0;
        for (int i = 0; i < count; ++i, ++m_bit) {
            const size_t at = m_bit / 8;
            const int bit = at < m_bytes.size() ? (m_bytes[at] >> (7 - m_bit % 8)) & 1 : 0;
            v = v << 1 | bit;
        }
        return v;
    }
    size_t BitsLeft() const { return m_bytes.size() * 8 > m_bit ? m_bytes.size() * 8 - m_bit : 0; }

private:
    const Bytes& m_bytes;
    size_t m_bit = 0;
};

struct DataSet {
    const char* name;
    Bytes data;
};

const std::vector<DataSet>& DataSets()
{
    static const std::vector<DataSet> sets = [] {
        Bytes allValues;
        for (int i = 0; i < 70000; ++i) allValues.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
        return std::vector<DataSet>{
            {"empty", {}},
            {"one byte", {0x42}},
            {"one zero byte", {0x00}},
            {"short", B("ABABABAB")},
            {"run", Bytes(100000, 'x')},
            {"zeros", Bytes(70000, 0)},
            {"random", RandomBytes(200000, 1)},
            {"text", TextBytes(150000)},
            {"bitmap", BitmapBytes(400, 250)},
            {"gradient", GradientBytes(240000)},
            {"all byte values", allValues},
            {"skewed", SkewedBytes(300000, 5)},
        };
    }();
    return sets;
}

TEST(PackStream, EveryCoderRoundTripsVariedData)
{
    for (int compression : {kLzw, kLzss, kHuff, 0, 9}) {
        for (const auto& set : DataSets()) {
            SCOPED_TRACE(std::string(set.name) + ", compression " + std::to_string(compression));
            const Bytes block = Pack(compression, set.data);
            auto coder = CPackStream::Create(compression);
            if (const char* tag = coder->GetTag()) {
                ASSERT_GE(block.size(), 16u);
                EXPECT_EQ(std::memcmp(block.data(), tag, 8), 0);
                EXPECT_EQ(GetLe32(block, 8), set.data.size());
                EXPECT_EQ(GetLe32(block, 12), block.size() - 16);
            } else {
                EXPECT_EQ(block, set.data);  // stored: no header
            }
            const CUnpackResult back = Unpack(compression, block);
            EXPECT_EQ(back.status, CUnpackResult::ok);
            EXPECT_TRUE(back.data == set.data);
        }
    }
}

TEST(PackStream, CodersCompressRepetitiveData)
{
    // Even byte-wise Huffman coding needs at most one bit for a byte of a run.
    for (int compression : kCoders) {
        const Bytes run(100000, 'x');
        EXPECT_LT(Pack(compression, run).size(), run.size() / 7) << "compression " << compression;
        for (const Bytes& data : {TextBytes(150000), BitmapBytes(400, 250)})
            EXPECT_LT(Pack(compression, data).size(), data.size() * 3 / 5) << "compression " << compression;
    }
}

TEST(PackStream, PiecewiseWritesAndReadsMatchWholeOnes)
{
    const Bytes data = Cat(TextBytes(40000), BitmapBytes(120, 90));
    for (int compression : kCoders) {
        SCOPED_TRACE(compression);
        const Bytes whole = Pack(compression, data);

        Bytes block(CPackStream::kOutputBlockSize);
        auto writer = CPackStream::Create(compression);
        ASSERT_TRUE(writer->Open(block.data(), block.size(), CPackStream::modeWrite));
        size_t at = 0;
        for (size_t piece = 0; at < data.size(); ++piece) {
            const size_t n = std::min(data.size() - at, piece % 19 == 18 ? size_t{5000} : piece % 19);
            ASSERT_TRUE(writer->Write(data.data() + at, n));
            at += n;
        }
        ASSERT_TRUE(writer->Close());
        block.resize(writer->GetBlockSize());
        EXPECT_TRUE(block == whole);

        auto reader = CPackStream::Create(compression);
        ASSERT_TRUE(reader->Open(block.data(), block.size()));
        EXPECT_EQ(reader->GetOriginalSize(), data.size());
        Bytes back;
        for (size_t piece = 0;; ++piece) {
            std::uint8_t buf[3000];
            const size_t got = reader->Read(buf, 1 + piece % 7 * 400);
            if (!got) break;
            back.insert(back.end(), buf, buf + got);
        }
        EXPECT_TRUE(back == data);
        EXPECT_FALSE(reader->HasEnded());  // stopped by the size, not by the end code
    }
}

// Whole blocks (header and coded bytes) for small inputs, worked out bit by bit.
TEST(PackStream, CodedBitsOfSmallInputs)
{
    struct Case {
        int compression;
        const char* input;
        Bytes coded;
    };
    const Case cases[] = {
        // LZSS: end code alone: flag 0 and a zero position.
        {kLzss, "", {0x00, 0x00}},
        // Literal 'A' (1 01000001), end code (0 000000000000), padding.
        {kLzss, "A", {0xA0, 0x80, 0x00}},
        // Literals A and B at positions 1 and 2, then a copy of 4 bytes from
        // position 1 (0 000000000001 0010), then the end code.
        {kLzss, "ABABAB", {0xA0, 0xD0, 0x80, 0x02, 0x40, 0x00}},
        // LZW: no data: 256 twice at 9 bits.
        {kLzw, "", {0x80, 0x40, 0x00}},
        // 'A' (001000001) then 256.
        {kLzw, "A", {0x20, 0xC0, 0x00}},
        // Codes 65, 66, 259 (AB), 261 (ABA), 256.
        {kLzw, "ABABABA", {0x20, 0x90, 0xA0, 0x70, 0x58, 0x00}},
        // Adaptive Huffman: the end symbol is node 1 (bit 0).
        {kHuff, "", {0x00}},
        // Escape (node 2: 1) + 01000001; A at node 4 under node 1: 01;
        // escape at node 3 under node 1: 00 + 01000010; end at node 5 under
        // 3 under 1: 000.
        {kHuff, "AAB", {0xA0, 0xA2, 0x10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.compression) + " \"" + c.input + "\"");
        const Bytes input = B(c.input);
        const Bytes block = Pack(c.compression, input);
        const char* tag = CPackStream::Create(c.compression)->GetTag();
        EXPECT_EQ(block, Cat(Header(tag, static_cast<std::uint32_t>(input.size()),
                                    static_cast<std::uint32_t>(c.coded.size())),
                             c.coded));
        EXPECT_TRUE(Unpack(c.compression, block).data == input);
    }
}

// "A", "BBB", then 'A' until the root weighs 32768: the update of the last
// 'A' rebuilds the tree from leaves A 32763, B 3, END 1, ESC 1. Halving
// rounds up (B 2), and the internal node over END and ESC (weight 2) goes in
// front of the equally heavy B, so B's code after the rebuild is 11 and the
// end code 110.
TEST(PackStream, HuffmanRebuildHalvesLeavesAndOrdersByWeight)
{
    const int kAs = 32763;
    Bytes data = B("ABBB");
    data.insert(data.end(), kAs, 'A');
    data.push_back('B');

    std::string bits = "1" "01000001"   // escape, 'A'
                       "00" "01000010"  // escape (under node 1), 'B'
                       "11" "00"        // B at node 6, then at node 3
                       "000" "01" "00" "1" "1";  // A climbing to node 1
    bits += std::string(kAs - 5, '0');  // A at node 1; the last one rebuilds
    bits += "11";                       // B at node 4 under node 2
    bits += "110";                      // end at node 5 under 4 under 2
    while (bits.size() % 8) bits += '0';
    Bytes expect;
    for (size_t i = 0; i < bits.size(); i += 8) expect.push_back(static_cast<std::uint8_t>(std::stoi(bits.substr(i, 8), nullptr, 2)));

    const Bytes block = Pack(kHuff, data);
    EXPECT_TRUE(Coded(block) == expect);
    EXPECT_TRUE(Unpack(kHuff, block).data == data);
}

TEST(PackStream, WriterPutsHeaderWithZeroSizesAtOpen)
{
    const struct {
        int compression;
        const char* tag;
    } tags[] = {{kLzw, "**++LZW "}, {kLzss, "**++LZSS"}, {kHuff, "**++HUFF"}};
    for (const auto& t : tags) {
        Bytes block(64, 0xEE);
        auto writer = CPackStream::Create(t.compression);
        ASSERT_TRUE(writer->Open(block.data(), block.size(), CPackStream::modeWrite));
        EXPECT_EQ(Bytes(block.begin(), block.begin() + 16), Header(t.tag, 0, 0));
    }
    // The stored coder writes no header; other modes and tiny blocks are refused.
    Bytes block(64, 0xEE);
    auto stored = CPackStream::Create(0);
    EXPECT_EQ(stored->GetTag(), nullptr);
    ASSERT_TRUE(stored->Open(block.data(), block.size(), CPackStream::modeWrite));
    EXPECT_EQ(block, Bytes(64, 0xEE));
    EXPECT_FALSE(CPackStream::Create(kLzss)->Open(block.data(), block.size(), 1));
    EXPECT_FALSE(CPackStream::Create(kLzss)->Open(block.data(), 15, CPackStream::modeWrite));
}

// The widening code 257 follows the code that made the next free code pass
// 511, 1023, ... 16383; 258 follows the one that made it pass 32767, and the
// width starts again at 9 bits.
TEST(PackStream, LzwWidensAndFlushesAtItsLimits)
{
    const Bytes data = RandomBytes(150000, 11);
    const Bytes block = Pack(kLzw, data);
    const Bytes coded = Coded(block);
    BitReader bits(coded);
    struct Event {
        int code;
        int nextFree;  // next free code at the event
        int width;     // width the control code was written at
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;
    int width = 9, written = 0;
    for (;;) {
        ASSERT_GT(bits.BitsLeft(), 0u) << "no end code";
        const int code = static_cast<int>(bits.Get(width));
        if (code == 256) break;
        if (code == 257 || code == 258) {
            // Every code written since the reset made one dictionary entry.
            events.push_back({code, 259 + written, width});
            if (code == 257) ++width;
            else width = 9, written = 0;
            continue;
        }
        ASSERT_LT(code, 259 + written) << "code beyond the dictionary";
        ++written;
    }
    const std::vector<Event> epoch = {{257, 512, 9},     {257, 1024, 10},   {257, 2048, 11}, {257, 4096, 12},
                                      {257, 8192, 13},   {257, 16384, 14},  {258, 32768, 15}};
    ASSERT_GE(events.size(), 2 * epoch.size()) << "data too short to flush twice";
    for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i], epoch[i % epoch.size()]) << i;
    EXPECT_TRUE(Unpack(kLzw, block).data == data);
}

// The reader stops at the original size: it needs no end code, and data after
// that size is never produced.
TEST(PackStream, DecodingStopsAtTheOriginalSize)
{
    Bytes distinct;
    for (int i = 0; i < 20; ++i) distinct.push_back(static_cast<std::uint8_t>('a' + i));
    struct Case {
        int compression;
        Bytes data;
        size_t fullCoded;  // coded bytes with the end code
        size_t keep;       // coded bytes that hold every data bit but not the whole end code
    };
    const Case cases[] = {
        {kLzss, distinct, 25, 23},  // 20 literals of 9 bits, end code 13 bits
        {kLzw, distinct, 24, 23},   // 20 codes of 9 bits, end code 9 bits
        {kHuff, B("AABA"), 4, 3},   // 22 bits of data, end code 000
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.compression);
        const Bytes block = Pack(c.compression, c.data);
        ASSERT_EQ(block.size(), 16 + c.fullCoded);
        const char* tag = CPackStream::Create(c.compression)->GetTag();
        const Bytes cut = Cat(Header(tag, static_cast<std::uint32_t>(c.data.size()), static_cast<std::uint32_t>(c.keep)),
                              Bytes(block.begin() + 16, block.begin() + 16 + c.keep));
        const CUnpackResult back = Unpack(c.compression, cut);
        EXPECT_EQ(back.status, CUnpackResult::ok);
        EXPECT_TRUE(back.data == c.data);
    }
    // A longer stream whose header claims fewer bytes yields just that many.
    for (int compression : kCoders) {
        const Bytes data = TextBytes(5000);
        Bytes block = Pack(compression, data);
        const Bytes claim = Le32(1234);
        std::copy(claim.begin(), claim.end(), block.begin() + 8);
        const CUnpackResult back = Unpack(compression, block);
        EXPECT_EQ(back.status, CUnpackResult::ok);
        EXPECT_TRUE(back.data == Bytes(data.begin(), data.begin() + 1234)) << compression;
    }
    // A header claiming more than the end code delivers ends early.
    Bytes block = Pack(kLzss, B("ABABAB"));
    block[8] = 40;  // 6 coded bytes could hold up to 48
    const CUnpackResult back = Unpack(kLzss, block);
    EXPECT_EQ(back.status, CUnpackResult::shortData);
    EXPECT_EQ(back.data, B("ABABAB"));
}

TEST(PackStream, UntaggedAndStoredTagBlocksAreReadWhole)
{
    const Bytes blocks[] = {
        Cat(B("**++UNCO"), B("pixels of a stored picture")),
        B("BM plain bitmap bytes"),
        B("**++LZ"),  // too short for a tag
        {},
    };
    for (const Bytes& block : blocks) {
        const CUnpackResult stored = Unpack(0, block);
        EXPECT_EQ(stored.status, CUnpackResult::ok);
        EXPECT_EQ(stored.data, block);
        for (int compression : kCoders) {
            // The coder still decodes them, taking the whole block as coded
            // bytes with the block's length as original size.
            auto reader = CPackStream::Create(compression);
            ASSERT_TRUE(reader->Open(block.data(), block.size()));
            EXPECT_EQ(reader->GetOriginalSize(), block.size());
            EXPECT_EQ(reader->GetCodedSize(), block.size());
        }
    }
    // The coder follows the compression value, not the tag: a stored coder
    // given an LZSS container copies its coded bytes.
    const Bytes lzss = Pack(kLzss, B("ABABAB"));
    auto stored = CPackStream::Create(0);
    ASSERT_TRUE(stored->Open(lzss.data(), lzss.size()));
    std::uint8_t buf[16];
    ASSERT_EQ(stored->Read(buf, sizeof buf), 6u);
    EXPECT_EQ(Bytes(buf, buf + 6), Coded(lzss));
}

TEST(PackStream, ImpossibleHeaderSizesAreRefused)
{
    const Bytes lzss = Pack(kLzss, TextBytes(3000));
    const Bytes coded = Coded(lzss);
    const auto codedSize = static_cast<std::uint32_t>(coded.size());
    struct Case {
        const char* what;
        int compression;
        Bytes block;
    };
    const Case cases[] = {
        {"coded size beyond the block", kLzss, Cat(Header("**++LZSS", 3000, codedSize + 1), coded)},
        {"original size no coded bytes can hold", kLzss, Cat(Header("**++LZSS", codedSize * 8 + 1, codedSize), coded)},
        {"header cut short", kLzss, Bytes(lzss.begin(), lzss.begin() + 12)},
        {"huge original size", kLzw, Cat(Header("**++LZW ", 0xFFFFFFFF, 4), Bytes(4, 0))},
        {"huffman bits too few", kHuff, Cat(Header("**++HUFF", 17, 2), Bytes(2, 0))},
        {"stored bytes too few", 0, Cat(Header("**++LZSS", 10, 4), Bytes(4, 0))},
    };
    for (const auto& c : cases) {
        const CUnpackResult r = Unpack(c.compression, c.block);
        EXPECT_EQ(r.status, CUnpackResult::badSizes) << c.what;
        EXPECT_TRUE(r.data.empty()) << c.what;
    }
    // The caller's own limit is applied too.
    EXPECT_EQ(Unpack(kLzss, lzss, 2999).status, CUnpackResult::badSizes);
    EXPECT_EQ(Unpack(kLzss, lzss, 3000).status, CUnpackResult::ok);
}

TEST(PackStream, WriterFailsInsteadOfOverflowingItsBlock)
{
    const Bytes data = RandomBytes(100000, 4);
    for (int compression : {kLzw, kLzss, kHuff, 0}) {
        SCOPED_TRACE(compression);
        Bytes block(70000, 0xEE);
        const size_t usable = 50000;
        auto writer = CPackStream::Create(compression);
        ASSERT_TRUE(writer->Open(block.data(), usable, CPackStream::modeWrite));
        writer->Write(data.data(), data.size());
        EXPECT_FALSE(writer->Close());
        EXPECT_TRUE(writer->HasFailed());
        EXPECT_TRUE(std::all_of(block.begin() + usable, block.end(), [](std::uint8_t b) { return b == 0xEE; }));
    }
    // Random data grows under every coder, so a little more than the output
    // block does not fit; the stored form always does.
    const Bytes big = RandomBytes(CPackStream::kOutputBlockSize - 1000, 8);
    EXPECT_FALSE(PackBlock(kLzw, big.data(), big.size()).has_value());
    const auto stored = PackBlock(0, big.data(), big.size());
    ASSERT_TRUE(stored.has_value());
    EXPECT_TRUE(*stored == big);
}

// Damaged containers: bit flips, cuts, spliced bytes and lying sizes must
// decode to at most the original size without faults.
TEST(PackStream, DamagedContainersDecodeSafely)
{
    const Bytes sources[] = {TextBytes(3000), BitmapBytes(40, 30), SkewedBytes(4000, 2), Bytes(2000, 0)};
    std::mt19937 rng(2024);
    for (int compression : kCoders) {
        for (const Bytes& source : sources) {
            const Bytes good = Pack(compression, source);
            for (int round = 0; round < 300; ++round) {
                Bytes block = good;
                const int edits = 1 + static_cast<int>(rng() % 4);
                for (int e = 0; e < edits && !block.empty(); ++e) {
                    const size_t at = rng() % block.size();
                    switch (rng() % 5) {
                    case 0: block[at] ^= static_cast<std::uint8_t>(1u << rng() % 8); break;
                    case 1: block[at] = static_cast<std::uint8_t>(rng()); break;
                    case 2: block.resize(std::max<size_t>(at, 16)); break;
                    case 3: block.insert(block.begin() + static_cast<long>(at), static_cast<std::uint8_t>(rng())); break;
                    case 4: {  // a lying size
                        const Bytes v = Le32(static_cast<std::uint32_t>(rng() % 100000));
                        std::copy(v.begin(), v.end(), block.begin() + (rng() % 2 ? 8 : 12));
                        break;
                    }
                    }
                }
                const CUnpackResult r = Unpack(compression, block, 1 << 20);
                if (r.status == CUnpackResult::badSizes) {
                    EXPECT_TRUE(r.data.empty());
                    continue;
                }
                auto reader = CPackStream::Create(compression);
                ASSERT_TRUE(reader->Open(block.data(), block.size()));
                ASSERT_LE(r.data.size(), reader->GetOriginalSize());
                EXPECT_EQ(r.status == CUnpackResult::ok, r.data.size() == reader->GetOriginalSize());
            }
        }
    }
}

// Arbitrary coded bytes under a header that claims more than they hold: each
// decoder stops by its end code, at damage, or at the claimed size.
TEST(PackStream, ArbitraryCodedBytesNeverOverrun)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 600; ++round) {
        const int compression = kCoders[round % 3];
        const char* tag = CPackStream::Create(compression)->GetTag();
        const Bytes noise = RandomBytes(1 + rng() % 3000, static_cast<unsigned>(round));
        const std::uint32_t claim = static_cast<std::uint32_t>(rng() % 200000);
        const Bytes block = Cat(Header(tag, claim, static_cast<std::uint32_t>(noise.size())), noise);
        auto reader = CPackStream::Create(compression);
        ASSERT_TRUE(reader->Open(block.data(), block.size()));
        Bytes out(claim + 64, 0xA5);
        const size_t got = reader->Read(out.data(), out.size());
        ASSERT_LE(got, claim);
        EXPECT_TRUE(std::all_of(out.begin() + static_cast<long>(claim), out.end(), [](std::uint8_t b) { return b == 0xA5; }));
        EXPECT_EQ(reader->Read(out.data(), out.size()), 0u);
    }
}

}  // namespace
