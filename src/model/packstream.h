#pragma once
// The compressed container of embedded picture pixels and the base of its
// coders. A container is a 16-byte header (8-byte tag, original size, coded
// size, little-endian) followed by the coded bytes; the stored coder writes the
// bytes as they are, without a header.
//
// Writers stage their output bytes in a 32000-byte buffer and copy it into the
// caller's output block; a block that is too small makes the writer fail
// instead of overflowing. Readers decode until the original size is reached,
// read bits beyond the stored bytes as zeros, and never step outside their
// buffers whatever the input holds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/types.h"

class CPackStream {
public:
    enum Mode { modeRead = 0, modeWrite = 0x1001 };
    // The picture's compression values that name a coder; any other value
    // stores the bytes unchanged.
    enum Compression { compressLzw = 1, compressLzss = 2, compressHuffman = 3 };

    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::size_t kStageSize = 32000;
    // The output block a writer codes into, header included.
    static constexpr std::size_t kOutputBlockSize = 0xA00000;

    static constexpr char kTagLzw[9] = "**++LZW ";
    static constexpr char kTagLzss[9] = "**++LZSS";
    static constexpr char kTagHuffman[9] = "**++HUFF";
    static constexpr char kTagStored[9] = "**++UNCO";

    // The coder of a picture's compression value (never null).
    static std::unique_ptr<CPackStream> Create(int compression);

    virtual ~CPackStream() = default;
    CPackStream(const CPackStream&) = delete;
    CPackStream& operator=(const CPackStream&) = delete;

    // Mode 0 reads the block (a known tag means it carries a header); mode
    // 0x1001 writes into it, putting the header in place with zero sizes.
    // Fails for another mode, or when a tagged block is too short to hold its
    // header, or when an output block cannot hold the header.
    BOOL Open(void* block, std::size_t size, int mode);
    BOOL Open(const void* block, std::size_t size) { return Open(const_cast<void*>(block), size, modeRead); }

    // Codes length bytes. FALSE when not writing or once the output block is full.
    BOOL Write(const void* data, std::size_t length);
    // Decodes up to length bytes, never beyond the original size; the count
    // is smaller only when the data ends (end code or damage) or is used up.
    std::size_t Read(void* buffer, std::size_t length);
    // A writer writes the end code and the last partial byte and completes
    // the header; FALSE when the coded form did not fit the output block.
    // Either way the stream is closed afterwards.
    BOOL Close();

    virtual int GetCompression() const = 0;
    // The 8 tag bytes this coder writes, or null for the stored coder.
    virtual const char* GetTag() const = 0;

    BOOL IsOpen() const { return m_mode >= 0; }
    BOOL HasFailed() const { return m_failed; }
    // Bytes before coding: read from the header (or the block's length), or
    // written so far.
    std::uint64_t GetOriginalSize() const { return m_originalSize; }
    // Coded bytes after the header: as the header says (reading), or as
    // written so far, pending bytes included (writing).
    std::uint64_t GetCodedSize() const;
    // Bytes of the output block in use: header plus coded bytes.
    std::size_t GetBlockSize() const { return m_headerSize + static_cast<std::size_t>(GetCodedSize()); }
    // Reading: whether the header's coded size lies within the block.
    BOOL CodedSizeFits() const { return m_codedFits; }
    // Reading: the decoder met its end code or data it cannot decode before
    // the original size was reached.
    BOOL HasEnded() const { return m_ended; }
    // Reading: bytes decoded so far.
    std::uint64_t GetDecodedSize() const { return m_decoded; }

    // The largest original size that coded bytes of this coder can hold; a
    // header claiming more is impossible.
    virtual std::uint64_t MaxOriginalSize(std::uint64_t codedBytes) const = 0;

protected:
    CPackStream() = default;

    // Coder hooks. Encoders receive the bytes to code and, at the end, write
    // their end code; decoders produce up to n bytes (fewer only when they
    // stop, after calling EndDecoding).
    virtual void StartEncoding() = 0;
    virtual void Encode(const std::uint8_t* data, std::size_t n) = 0;
    virtual void FinishEncoding() = 0;
    virtual void StartDecoding() = 0;
    virtual std::size_t Decode(std::uint8_t* out, std::size_t n) = 0;

    // Bit writer: the value's highest of count bits first (count <= 32).
    void PutBits(std::uint32_t value, int count)
    {
        m_bitAcc = (m_bitAcc << count) | (value & ((std::uint64_t{1} << count) - 1));
        m_bitCount += count;
        while (m_bitCount >= 8) {
            m_bitCount -= 8;
            PutByte(static_cast<std::uint8_t>(m_bitAcc >> m_bitCount));
        }
    }
    void PutBit(int bit) { PutBits(bit ? 1 : 0, 1); }
    void PutByte(std::uint8_t byte)
    {
        m_stage[m_stageLength++] = byte;
        if (m_stageLength == kStageSize) FlushStage();
    }

    // Bit reader: bits beyond the coded bytes read as 0 (count <= 24).
    std::uint32_t GetBits(int count)
    {
        while (m_inBitCount < count) {
            m_inAcc = (m_inAcc << 8) | (m_in < m_inEnd ? *m_in++ : 0u);
            m_inBitCount += 8;
        }
        m_inBitCount -= count;
        return static_cast<std::uint32_t>(m_inAcc >> m_inBitCount) & ((1u << count) - 1);
    }
    std::uint32_t GetBit() { return GetBits(1); }
    // Whole bytes of input left unread (the stored coder copies through this).
    const std::uint8_t* m_in = nullptr;
    const std::uint8_t* m_inEnd = nullptr;
    int m_inBitCount = 0;

    // Decoders call this when they meet their end code or undecodable data.
    void EndDecoding() { m_ended = true; }
    // Encoders stop working once the output block is full.
    bool WriteFailed() const { return m_failed; }

private:
    void FlushStage();
    void Reset();

    std::uint8_t* m_block = nullptr;
    std::size_t m_capacity = 0;
    int m_mode = -1;
    std::size_t m_headerSize = 0;
    std::size_t m_committed = 0;  // coded bytes already copied into the block
    std::uint8_t m_stage[kStageSize];
    std::size_t m_stageLength = 0;
    std::uint64_t m_bitAcc = 0;
    int m_bitCount = 0;
    std::uint64_t m_inAcc = 0;
    std::uint64_t m_originalSize = 0;
    std::uint64_t m_codedSize = 0;
    std::uint64_t m_decoded = 0;
    bool m_failed = false;
    bool m_ended = false;
    bool m_codedFits = true;
};

// Codes data with the coder of a compression value into one container block
// (header and coded bytes; for the stored coder the bytes themselves).
// Nothing when the coded form does not fit the 10,485,760-byte output block;
// the stored coder always fits.
std::optional<std::vector<std::uint8_t>> PackBlock(int compression, const std::uint8_t* data,
                                                   std::size_t n);

struct CUnpackResult {
    enum Status {
        ok,         // all original bytes decoded
        shortData,  // the data ended (end code or damage) before the original size
        badSizes,   // the header's sizes are impossible; nothing decoded
    };
    Status status = badSizes;
    std::vector<std::uint8_t> data;
};

// Decodes a container block with the coder of a compression value. Original
// sizes above maxOriginal are refused like impossible ones.
CUnpackResult UnpackBlock(int compression, const std::uint8_t* block, std::size_t n,
                          std::uint64_t maxOriginal = 0x40000000);
