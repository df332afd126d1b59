#pragma once
// Turning a row of modules (one byte each, non-zero = dark) into pixel bits,
// most significant bit first, each module `moduleWidth` pixels wide: eight
// modules at a time, gathered into one byte with a multiplication and
// widened through a table, so that no branch depends on a module's colour.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace modpack {

// Eight module bytes are read and written as one 64-bit word, byte 0 lowest.
static_assert(std::endian::native == std::endian::little, "module packing reads bytes as little-endian words");

// Bit 7 set when p[0] is non-zero, ... bit 0 when p[7] is.
inline unsigned Gather8(const std::uint8_t* p)
{
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t high = (((x & kLow7) + kLow7) | x) & 0x8080808080808080ull;
    // Byte i's bit lands on bit 63 - i; nothing else reaches bits 56-63.
    return unsigned(((high >> 7) * 0x8040201008040201ull) >> 56);
}

// Each of 8 bits widened to w bits (w = 1..8): 8w bits, the first bit's
// pixels highest.
struct Widening {
    std::array<std::array<std::uint64_t, 256>, 9> bits{};
    constexpr Widening()
    {
        for (int w = 1; w <= 8; ++w)
            for (unsigned b = 0; b < 256; ++b) {
                std::uint64_t v = 0;
                for (int i = 7; i >= 0; --i) {
                    v <<= w;
                    if ((b >> i) & 1) v |= (std::uint64_t(1) << w) - 1;
                }
                bits[size_t(w)][b] = v;
            }
    }
};
inline constexpr Widening kWidening{};

// Writes the pixels of count modules from out[0] on, the modules given by
// group(g): the byte of modules 8g .. 8g + 7, the first most significant (the
// last group padded with light modules). Dark modules give `darkBit` bits,
// light ones the other value. Bits of the last byte past the row are set to
// `padBit`. With Or = true the bits are ORed into what is there (darkBit must
// then be 1, and the padding is left alone).
template <bool Or, class Group>
inline void EmitModules(std::uint8_t* out, Group group, int count, int moduleWidth, bool darkBit, bool padBit)
{
    const unsigned flip = darkBit ? 0u : 0xFFu;
    auto put = [&](std::uint8_t* dst, std::uint8_t v, std::uint8_t keepMask) {
        // keepMask: bits of the byte that belong to the row.
        if constexpr (Or) {
            *dst = std::uint8_t(*dst | (v & keepMask));
        } else {
            const std::uint8_t pad = padBit ? std::uint8_t(~keepMask) : 0;
            *dst = std::uint8_t((v & keepMask) | pad);
        }
    };
    if (moduleWidth <= 8) {
        const auto& table = kWidening.bits[size_t(moduleWidth)];
        const int groups = count / 8;
        for (int g = 0; g < groups; ++g) {
            const std::uint64_t v = table[group(g) ^ flip];
            for (int k = 0; k < moduleWidth; ++k)
                put(out++, std::uint8_t(v >> (8 * (moduleWidth - 1 - k))), 0xFF);
        }
        const int rest = count - 8 * groups;
        if (rest) {
            const std::uint64_t v = table[(group(groups) ^ flip) & 0xFFu];
            int pixels = rest * moduleWidth;
            for (int k = 0; pixels > 0; ++k, pixels -= 8) {
                const std::uint8_t keep = pixels >= 8 ? 0xFF : std::uint8_t(0xFF << (8 - pixels));
                put(out++, std::uint8_t(v >> (8 * (moduleWidth - 1 - k))), keep);
            }
        }
        return;
    }
    // Wide modules: each one at least a byte of pixels, set a module at a time.
    auto fill = [&](long long p0, long long n, bool bit) {
        const long long p1 = p0 + n;
        while (p0 < p1 && (p0 & 7)) {
            const std::uint8_t mask = std::uint8_t(0x80 >> (p0 & 7));
            std::uint8_t& b = out[p0 >> 3];
            if (bit) b = std::uint8_t(b | mask);
            else if (!Or) b = std::uint8_t(b & ~mask);
            ++p0;
        }
        if (p1 - p0 >= 8) {
            if (bit || !Or) std::memset(out + (p0 >> 3), bit ? 0xFF : 0x00, size_t((p1 - p0) >> 3));
            p0 += (p1 - p0) & ~7LL;
        }
        for (; p0 < p1; ++p0) {
            const std::uint8_t mask = std::uint8_t(0x80 >> (p0 & 7));
            std::uint8_t& b = out[p0 >> 3];
            if (bit) b = std::uint8_t(b | mask);
            else if (!Or) b = std::uint8_t(b & ~mask);
        }
    };
    const long long end = (long long)count * moduleWidth;
    for (int i = 0; i < count; ++i) {
        const bool dark = (group(i / 8) >> (7 - i % 8)) & 1;
        fill((long long)i * moduleWidth, moduleWidth, dark == darkBit);
    }
    if (!Or && (end & 7)) fill(end, 8 - (end & 7), padBit);
}

// The modules one byte each (non-zero dark).
template <bool Or>
inline void PackModules(std::uint8_t* out, const std::uint8_t* modules, int count, int moduleWidth, bool darkBit,
                        bool padBit)
{
    const int full = count / 8;
    auto group = [&](int g) -> unsigned {
        if (g < full) return Gather8(modules + 8 * g);
        std::uint8_t last[8] = {};
        std::memcpy(last, modules + 8 * g, size_t(count - 8 * g));
        return Gather8(last);
    };
    EmitModules<Or>(out, group, count, moduleWidth, darkBit, padBit);
}

// The modules as bits, most significant first (1 dark); bits past count in
// the last byte must be 0.
template <bool Or>
inline void WidenBits(std::uint8_t* out, const std::uint8_t* bits, int count, int moduleWidth, bool darkBit,
                      bool padBit)
{
    EmitModules<Or>(out, [bits](int g) -> unsigned { return bits[g]; }, count, moduleWidth, darkBit, padBit);
}

// A pattern of element widths in modules ("2331112": bar, space, ...) as
// module bits, the first bar highest, and its module count.
struct ModulePattern {
    std::uint32_t bits = 0;
    int modules = 0;
};
constexpr ModulePattern PatternOfWidths(const char* widths)
{
    ModulePattern p;
    for (int e = 0; widths[e]; ++e)
        for (int k = 0; k < widths[e] - '0'; ++k) {
            p.bits = (p.bits << 1) | ((e & 1) == 0 ? 1u : 0u);
            ++p.modules;
        }
    return p;
}

// A row of modules built as bits, most significant first: the module-based
// linear symbologies append each character's pattern, then the row is
// widened into pixels in one pass.
class ModuleBits {
public:
    ModuleBits() = default;
    ModuleBits(const ModuleBits&) = delete;
    ModuleBits& operator=(const ModuleBits&) = delete;

    // Appends the count lowest bits of pattern (count <= 32), the highest first.
    void Put(std::uint32_t pattern, int count)
    {
        if (count <= 0) return;
        if (m_size + 8 > m_capacity) Grow();
        m_acc = (m_acc << count) | (pattern & ((std::uint64_t(1) << count) - 1));
        m_pending += count;  // at most 7 + 32
        // The pending bits, highest first, stored as 8 bytes whatever their
        // number; the whole bytes among them stay, the rest is written again.
        const std::uint64_t v = __builtin_bswap64(m_acc << (64 - m_pending));  // highest byte first in memory
        std::memcpy(m_data + m_size, &v, 8);
        m_size += size_t(m_pending >> 3);
        m_pending &= 7;
        m_count += count;
    }
    // Appends n modules of one colour.
    void Run(bool dark, int n)
    {
        for (; n > 16; n -= 16) Put(dark ? 0xFFFF : 0, 16);
        Put(dark ? 0xFFFF : 0, n);
    }
    int Count() const { return m_count; }
    // The bits, the last byte completed with light modules; the row is
    // complete once asked for.
    const std::uint8_t* Bytes()
    {
        if (m_pending) {
            m_data[m_size] = std::uint8_t(m_acc << (8 - m_pending));
            ++m_size;
            m_pending = 0;
        }
        return m_data;
    }

private:
    __attribute__((noinline)) void Grow()
    {
        std::vector<std::uint8_t> bigger(m_capacity * 2);
        std::memcpy(bigger.data(), m_data, m_size);
        m_heap.swap(bigger);
        m_data = m_heap.data();
        m_capacity = m_heap.size();
    }
    static constexpr size_t kInline = 512;  // 4000 modules without an allocation
    std::uint8_t m_inline[kInline];
    std::vector<std::uint8_t> m_heap;
    std::uint8_t* m_data = m_inline;
    size_t m_capacity = kInline;
    size_t m_size = 0;  // whole bytes written
    std::uint64_t m_acc = 0;
    int m_pending = 0;  // bits of m_acc after them, the lowest ones
    int m_count = 0;
};

// The other way: bits (most significant first) into one byte per module,
// 1 for a set bit.
struct Spreading {
    std::array<std::uint64_t, 256> cells{};  // byte i of the word (in memory order) = bit 7 - i
    constexpr Spreading()
    {
        for (unsigned b = 0; b < 256; ++b) {
            std::uint64_t v = 0;
            for (int i = 0; i < 8; ++i) v |= std::uint64_t((b >> (7 - i)) & 1) << (8 * i);
            cells[b] = v;
        }
    }
};
inline constexpr Spreading kSpreading{};

// The same with the lowest bit first: byte i of the word = bit i.
struct SpreadingLow {
    std::array<std::uint64_t, 256> cells{};
    constexpr SpreadingLow()
    {
        for (unsigned b = 0; b < 256; ++b) {
            std::uint64_t v = 0;
            for (int i = 0; i < 8; ++i) v |= std::uint64_t((b >> i) & 1) << (8 * i);
            cells[b] = v;
        }
    }
};
inline constexpr SpreadingLow kSpreadingLow{};

// Bits 0 .. count - 1 of a row of 64-bit words (bit x of the row in word
// x / 64) as count module bytes from dst on.
inline void SpreadRowBits(std::uint8_t* dst, const std::uint64_t* words, int count)
{
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const std::uint64_t v = kSpreadingLow.cells[(words[x >> 6] >> (x & 63)) & 0xFF];
        std::memcpy(dst + x, &v, 8);
    }
    if (x < count) {
        const std::uint64_t v = kSpreadingLow.cells[(words[x >> 6] >> (x & 63)) & 0xFF];
        std::memcpy(dst + x, &v, size_t(count - x));
    }
}

// Writes the count lowest bits of pattern (count <= 32), the highest first,
// as count module bytes from dst on.
inline void SpreadBits(std::uint8_t* dst, std::uint32_t pattern, int count)
{
    for (; count >= 8; count -= 8, dst += 8) {
        const std::uint64_t v = kSpreading.cells[(pattern >> (count - 8)) & 0xFF];
        std::memcpy(dst, &v, 8);
    }
    if (count > 0) {
        const std::uint64_t v = kSpreading.cells[(pattern << (8 - count)) & 0xFF];
        std::memcpy(dst, &v, size_t(count));
    }
}

}  // namespace modpack
