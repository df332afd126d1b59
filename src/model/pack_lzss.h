#pragma once
// LZSS coder of the picture container: a 4096-byte window whose position
// starts at 1; items are a flag bit 1 and a literal byte, or a flag bit 0, a
// 12-bit window position and a 4-bit length code (length - 2). Position 0 is
// the end code. The encoder finds the longest match of its 17-byte look-ahead
// through a binary search tree of window positions: the longest match is the
// string's neighbour in order, and both neighbours lie on its search path.
#include <cstdint>

#include "model/packstream.h"

class CLzssStream : public CPackStream {
public:
    static constexpr int kIndexBits = 12;
    static constexpr int kLengthBits = 4;
    static constexpr int kWindowSize = 1 << kIndexBits;
    static constexpr int kLookAhead = (1 << kLengthBits) + 1;  // 17
    static constexpr int kMinMatch = 2;

    int GetCompression() const override { return compressLzss; }
    const char* GetTag() const override { return kTagLzss; }
    std::uint64_t MaxOriginalSize(std::uint64_t codedBytes) const override;

protected:
    void StartEncoding() override;
    void Encode(const std::uint8_t* data, std::size_t n) override;
    void FinishEncoding() override;
    void StartDecoding() override;
    std::size_t Decode(std::uint8_t* out, std::size_t n) override;

private:
    static int Wrap(int position) { return position & (kWindowSize - 1); }

    // Encoder.
    void StartItems();
    void EmitItem();
    void Step(bool haveByte, std::uint8_t byte);
    void InsertString(int position);
    void DeleteString(int position);
    void RotateUp(int node);
    void Relink(int parent, int oldChild, int newChild);

    // Tree nodes are window positions; kRoot holds the root in its larger
    // child, kNil marks a missing link. Position 0 never enters the tree.
    // Random priorities keep the tree balanced (a node's priority is never
    // above its parent's): inserted in order, as the strings of a gradient
    // are, a plain tree would become a list thousands of nodes long.
    static constexpr int kRoot = kWindowSize;
    static constexpr int kNil = kWindowSize + 1;
    struct Node {
        std::int16_t parent, smaller, larger;
        std::uint32_t priority;
    };

    // The encoder repeats the window's first bytes after its end so that a
    // string never wraps and compares a word at a time.
    std::uint8_t m_window[kWindowSize + kLookAhead];
    void Store(int position, std::uint8_t byte)
    {
        m_window[position] = byte;
        if (position < kLookAhead) m_window[position + kWindowSize] = byte;
    }
    int CommonPrefix(int a, int b, int from) const;
    Node m_tree[kWindowSize + 2];
    int m_position = 1;
    int m_filled = 0;      // look-ahead bytes gathered before the first item
    bool m_started = false;
    int m_lookAhead = 0;   // bytes of the look-ahead still to code
    int m_matchLength = 0;
    int m_matchPosition = 0;
    int m_replace = 0;     // bytes the current item still has to move past
    std::uint32_t m_random = 1;

    // Decoder: a copy in progress.
    int m_copyFrom = 0;
    int m_copyLeft = 0;
};
