#include "model/packstream.h"

#include <algorithm>
#include <cstring>

#include "model/pack_huff.h"
#include "model/pack_lzss.h"
#include "model/pack_lzw.h"

namespace {

void PutLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// The tags that announce a header when reading; the stored tag is not one of
// them, so such a block is read whole.
bool HasHeaderTag(const std::uint8_t* block, std::size_t size)
{
    if (size < 8) return false;
    for (const char* tag : {CPackStream::kTagLzw, CPackStream::kTagLzss, CPackStream::kTagHuffman})
        if (std::memcmp(block, tag, 8) == 0) return true;
    return false;
}

// Copies bytes unchanged and writes no header.
class CStoredStream : public CPackStream {
public:
    int GetCompression() const override { return 0; }
    const char* GetTag() const override { return nullptr; }
    std::uint64_t MaxOriginalSize(std::uint64_t codedBytes) const override { return codedBytes; }

protected:
    void StartEncoding() override {}
    void Encode(const std::uint8_t* data, std::size_t n) override
    {
        for (std::size_t i = 0; i < n && !WriteFailed(); ++i) PutByte(data[i]);
    }
    void FinishEncoding() override {}
    void StartDecoding() override {}
    std::size_t Decode(std::uint8_t* out, std::size_t n) override
    {
        const std::size_t have = std::min<std::size_t>(n, static_cast<std::size_t>(m_inEnd - m_in));
        std::memcpy(out, m_in, have);
        m_in += have;
        // A header may promise more than it holds; the missing bytes read as 0.
        std::memset(out + have, 0, n - have);
        return n;
    }
};

}  // namespace

std::unique_ptr<CPackStream> CPackStream::Create(int compression)
{
    switch (compression) {
    case compressLzw: return std::make_unique<CLzwStream>();
    case compressLzss: return std::make_unique<CLzssStream>();
    case compressHuffman: return std::make_unique<CHuffStream>();
    default: return std::make_unique<CStoredStream>();
    }
}

void CPackStream::Reset()
{
    m_block = nullptr;
    m_capacity = 0;
    m_mode = -1;
    m_headerSize = 0;
    m_committed = 0;
    m_stageLength = 0;
    m_bitAcc = 0;
    m_bitCount = 0;
    m_in = m_inEnd = nullptr;
    m_inAcc = 0;
    m_inBitCount = 0;
    m_originalSize = 0;
    m_codedSize = 0;
    m_decoded = 0;
    m_failed = false;
    m_ended = false;
    m_codedFits = true;
}

BOOL CPackStream::Open(void* block, std::size_t size, int mode)
{
    Reset();
    if (!block && size) return FALSE;
    auto* bytes = static_cast<std::uint8_t*>(block);
    if (mode == modeWrite) {
        const char* tag = GetTag();
        if (tag) {
            if (size < kHeaderSize) return FALSE;
            std::memcpy(bytes, tag, 8);
            std::memset(bytes + 8, 0, 8);
            m_headerSize = kHeaderSize;
        }
        m_block = bytes;
        m_capacity = size;
        m_mode = modeWrite;
        StartEncoding();
        return TRUE;
    }
    if (mode != modeRead) return FALSE;
    if (HasHeaderTag(bytes, size)) {
        if (size < kHeaderSize) return FALSE;
        m_originalSize = GetLe32(bytes + 8);
        m_codedSize = GetLe32(bytes + 12);
        m_headerSize = kHeaderSize;
        m_codedFits = m_codedSize <= size - kHeaderSize;
        m_in = bytes + kHeaderSize;
        m_inEnd = m_in + std::min<std::uint64_t>(m_codedSize, size - kHeaderSize);
    } else {
        m_originalSize = size;
        m_codedSize = size;
        m_in = bytes;
        m_inEnd = bytes + size;
    }
    m_block = bytes;
    m_capacity = size;
    m_mode = modeRead;
    StartDecoding();
    return TRUE;
}

BOOL CPackStream::Write(const void* data, std::size_t length)
{
    if (m_mode != modeWrite || m_failed) return FALSE;
    if (length) {
        m_originalSize += length;
        Encode(static_cast<const std::uint8_t*>(data), length);
    }
    return !m_failed;
}

std::size_t CPackStream::Read(void* buffer, std::size_t length)
{
    if (m_mode != modeRead || m_ended || !buffer) return 0;
    const std::uint64_t left = m_originalSize - m_decoded;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, left));
    if (!want) return 0;
    const std::size_t got = Decode(static_cast<std::uint8_t*>(buffer), want);
    m_decoded += got;
    return got;
}

BOOL CPackStream::Close()
{
    BOOL ok = TRUE;
    if (m_mode == modeWrite) {
        if (!m_failed) {
            FinishEncoding();
            if (m_bitCount > 0) PutBits(0, 8 - m_bitCount);
            FlushStage();
        }
        const std::uint64_t coded = GetCodedSize();
        if (m_originalSize > 0xFFFFFFFFu || coded > 0xFFFFFFFFu) m_failed = true;
        if (!m_failed && m_headerSize) {
            PutLe32(m_block + 8, static_cast<std::uint32_t>(m_originalSize));
            PutLe32(m_block + 12, static_cast<std::uint32_t>(coded));
        }
        m_codedSize = coded;
        ok = !m_failed;
    }
    const std::uint64_t original = m_originalSize, codedSize = m_codedSize;
    const std::size_t headerSize = m_headerSize;
    const bool failed = m_failed;
    Reset();
    // The sizes stay readable after closing.
    m_originalSize = original;
    m_codedSize = codedSize;
    m_headerSize = headerSize;
    m_failed = failed;
    return ok;
}

std::uint64_t CPackStream::GetCodedSize() const
{
    if (m_mode == modeWrite) return m_committed + m_stageLength;
    return m_codedSize;
}

void CPackStream::FlushStage()
{
    if (!m_stageLength) return;
    if (m_failed || m_stageLength > m_capacity - m_headerSize - m_committed) {
        // The coded form does not fit: keep the block untouched past its end
        // and let the writer report the failure.
        m_failed = true;
    } else {
        std::memcpy(m_block + m_headerSize + m_committed, m_stage, m_stageLength);
        m_committed += m_stageLength;
    }
    m_stageLength = 0;
}

std::optional<std::vector<std::uint8_t>> PackBlock(int compression, const std::uint8_t* data,
                                                   std::size_t n)
{
    auto coder = CPackStream::Create(compression);
    // The stored coder is the fallback of pictures that do not compress into
    // the output block, so its block is the data's own size.
    if (!coder->GetTag()) return std::vector<std::uint8_t>(data, data + n);
    // Coded data rarely exceeds twice its size (LZSS at most 9 bits a byte,
    // LZW 15), so a block of that size is tried before the full output block.
    std::size_t capacity = std::min(CPackStream::kOutputBlockSize, 2 * n + 4096);
    for (;;) {
        auto block = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
        if (!coder->Open(block.get(), capacity, CPackStream::modeWrite)) return std::nullopt;
        coder->Write(data, n);
        if (coder->Close())
            return std::vector<std::uint8_t>(block.get(), block.get() + coder->GetBlockSize());
        if (capacity == CPackStream::kOutputBlockSize) return std::nullopt;
        capacity = CPackStream::kOutputBlockSize;
    }
}

CUnpackResult UnpackBlock(int compression, const std::uint8_t* block, std::size_t n,
                          std::uint64_t maxOriginal)
{
    CUnpackResult result;
    auto coder = CPackStream::Create(compression);
    static const std::uint8_t empty = 0;
    if (!coder->Open(block ? block : &empty, block ? n : 0)) return result;
    const std::uint64_t original = coder->GetOriginalSize();
    if (!coder->CodedSizeFits() || original > maxOriginal ||
        original > coder->MaxOriginalSize(coder->GetCodedSize()))
        return result;
    // Grow the result as bytes arrive rather than trusting the header with
    // one large allocation.
    constexpr std::size_t kChunk = 1 << 20;
    while (result.data.size() < original) {
        const std::size_t at = result.data.size();
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, original - at));
        result.data.resize(at + want);
        const std::size_t got = coder->Read(result.data.data() + at, want);
        result.data.resize(at + got);
        if (got < want) break;
    }
    result.status = result.data.size() == original ? CUnpackResult::ok : CUnpackResult::shortData;
    return result;
}
