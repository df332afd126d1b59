#pragma once
// LZW coder of the picture container: codes 0-255 are bytes, 256 ends the
// data, 257 widens the code by one bit, 258 resets the dictionary; new strings
// get codes from 259 up to 32767. Codes start 9 bits wide.
#include <cstdint>
#include <vector>

#include "model/packstream.h"

class CLzwStream : public CPackStream {
public:
    static constexpr int kEndCode = 256;
    static constexpr int kWidenCode = 257;
    static constexpr int kFlushCode = 258;
    static constexpr int kFirstCode = 259;
    static constexpr int kMaxBits = 15;
    static constexpr int kMaxCode = (1 << kMaxBits) - 1;  // 32767
    static constexpr int kStartBits = 9;
    static constexpr int kTableSize = 35023;               // prime, above kMaxCode

    int GetCompression() const override { return compressLzw; }
    const char* GetTag() const override { return kTagLzw; }
    std::uint64_t MaxOriginalSize(std::uint64_t codedBytes) const override;

protected:
    void StartEncoding() override;
    void Encode(const std::uint8_t* data, std::size_t n) override;
    void FinishEncoding() override;
    void StartDecoding() override;
    std::size_t Decode(std::uint8_t* out, std::size_t n) override;

private:
    void ResetDictionary();
    int FindSlot(int stringCode, int ch) const;
    // Decoder: puts the string of code on the stack, last byte first.
    void StackString(int code);

    int m_nextCode = kFirstCode;
    int m_codeBits = kStartBits;
    int m_widenLimit = (1 << kStartBits) - 1;

    // Encoder: the dictionary as a hash table of (string code, byte) pairs.
    std::vector<std::int32_t> m_slotCode;
    std::vector<std::int32_t> m_slotParent;
    std::vector<std::uint8_t> m_slotChar;
    int m_stringCode = -1;  // -1 before the first byte

    // Decoder: the dictionary indexed by code, and the bytes of the last
    // expansion still to hand out (top of stack first).
    std::vector<std::int32_t> m_parent;
    std::vector<std::uint8_t> m_char;
    std::vector<std::uint8_t> m_stack;
    std::size_t m_stackTop = 0;
    int m_oldCode = -1;   // -1: the next code is the first after a reset
    int m_firstByte = 0;  // first byte of the last expansion
};
