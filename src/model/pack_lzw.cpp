#include "model/pack_lzw.h"

#include <algorithm>

namespace {
// The longest string a code can stand for: each entry is one byte longer than
// an earlier string, and a code just above the dictionary adds one more.
constexpr std::uint64_t kLongestString = CLzwStream::kMaxCode - CLzwStream::kFirstCode + 3;
}  // namespace

std::uint64_t CLzwStream::MaxOriginalSize(std::uint64_t codedBytes) const
{
    // The i-th code after a reset expands to at most i bytes (and never more
    // than the longest string); codes are at least 9 bits.
    const std::uint64_t codes = codedBytes * 8 / kStartBits;
    if (codes <= kLongestString) return codes * (codes + 1) / 2;
    return kLongestString * (kLongestString + 1) / 2 + (codes - kLongestString) * kLongestString;
}

void CLzwStream::ResetDictionary()
{
    m_nextCode = kFirstCode;
    m_codeBits = kStartBits;
    m_widenLimit = (1 << kStartBits) - 1;
    if (!m_slotCode.empty()) std::fill(m_slotCode.begin(), m_slotCode.end(), -1);
}

// ---- Encoder ----------------------------------------------------------------

void CLzwStream::StartEncoding()
{
    m_slotCode.assign(kTableSize, -1);
    m_slotParent.assign(kTableSize, 0);
    m_slotChar.assign(kTableSize, 0);
    ResetDictionary();
    m_stringCode = -1;
}

// The table slot of the pair (string code, byte): where it is, or the empty
// slot where it belongs.
int CLzwStream::FindSlot(int stringCode, int ch) const
{
    int index = (ch << (kMaxBits - 8)) ^ stringCode;
    const int step = index == 0 ? 1 : kTableSize - index;
    for (;;) {
        if (m_slotCode[index] == -1) return index;
        if (m_slotParent[index] == stringCode && m_slotChar[index] == ch) return index;
        index -= step;
        if (index < 0) index += kTableSize;
    }
}

void CLzwStream::Encode(const std::uint8_t* data, std::size_t n)
{
    std::size_t i = 0;
    if (m_stringCode < 0 && n > 0) m_stringCode = data[i++];
    for (; i < n && !WriteFailed(); ++i) {
        const int ch = data[i];
        const int slot = FindSlot(m_stringCode, ch);
        if (m_slotCode[slot] != -1) {
            m_stringCode = m_slotCode[slot];
            continue;
        }
        m_slotCode[slot] = m_nextCode++;
        m_slotParent[slot] = m_stringCode;
        m_slotChar[slot] = static_cast<std::uint8_t>(ch);
        PutBits(static_cast<std::uint32_t>(m_stringCode), m_codeBits);
        m_stringCode = ch;
        if (m_nextCode > kMaxCode) {
            PutBits(kFlushCode, m_codeBits);
            ResetDictionary();
        } else if (m_nextCode > m_widenLimit) {
            PutBits(kWidenCode, m_codeBits);
            ++m_codeBits;
            m_widenLimit = m_widenLimit * 2 + 1;
        }
    }
}

void CLzwStream::FinishEncoding()
{
    // With no data at all the end code stands in for the string code.
    PutBits(static_cast<std::uint32_t>(m_stringCode < 0 ? kEndCode : m_stringCode), m_codeBits);
    PutBits(kEndCode, m_codeBits);
}

// ---- Decoder ----------------------------------------------------------------

void CLzwStream::StartDecoding()
{
    m_slotCode.clear();
    m_parent.assign(kMaxCode + 1, 0);
    m_char.assign(kMaxCode + 1, 0);
    m_stack.assign(kLongestString + 1, 0);
    m_stackTop = 0;
    ResetDictionary();
    m_oldCode = -1;
    m_firstByte = 0;
}

void CLzwStream::StackString(int code)
{
    // Every entry's prefix is an older code, so the walk ends at a byte.
    while (code > 255) {
        m_stack[m_stackTop++] = m_char[code];
        code = m_parent[code];
    }
    m_stack[m_stackTop++] = static_cast<std::uint8_t>(code);
}

std::size_t CLzwStream::Decode(std::uint8_t* out, std::size_t n)
{
    std::size_t k = 0;
    while (k < n) {
        if (m_stackTop > 0) {
            while (m_stackTop > 0 && k < n) out[k++] = m_stack[--m_stackTop];
            continue;
        }
        const int code = static_cast<int>(GetBits(m_codeBits));
        if (m_oldCode < 0) {
            // The first code after a reset must be a byte; anything else but
            // the end code is damage.
            if (code > 255) {
                EndDecoding();
                break;
            }
            out[k++] = static_cast<std::uint8_t>(code);
            m_oldCode = m_firstByte = code;
            continue;
        }
        if (code == kEndCode) {
            EndDecoding();
            break;
        }
        if (code == kFlushCode) {
            ResetDictionary();
            m_oldCode = -1;
            continue;
        }
        if (code == kWidenCode) {
            if (m_codeBits < kMaxBits) ++m_codeBits;
            continue;
        }
        int entry = code;
        if (code < m_nextCode) {
            StackString(code);
        } else {
            // A code not yet in the dictionary is the previous string plus
            // its own first byte: the entry about to be made.
            if (m_nextCode > kMaxCode) {
                EndDecoding();
                break;
            }
            m_stack[m_stackTop++] = static_cast<std::uint8_t>(m_firstByte);
            StackString(m_oldCode);
            entry = m_nextCode;
        }
        m_firstByte = m_stack[m_stackTop - 1];
        if (m_nextCode <= kMaxCode) {
            m_parent[m_nextCode] = m_oldCode;
            m_char[m_nextCode] = static_cast<std::uint8_t>(m_firstByte);
            ++m_nextCode;
        }
        m_oldCode = entry;
    }
    return k;
}
