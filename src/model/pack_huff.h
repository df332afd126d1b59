#pragma once
// Adaptive Huffman coder of the picture container. Symbols 0-255 are bytes,
// 256 ends the data, 257 escapes a byte not yet in the tree (the byte follows
// in 8 bits). The tree lives in an array whose weights never increase with
// the index; the children of an internal node are child and child + 1, and a
// path bit is 1 for an even node index.
#include <cstdint>

#include "model/packstream.h"

class CHuffStream : public CPackStream {
public:
    static constexpr int kEndSymbol = 256;
    static constexpr int kEscape = 257;
    static constexpr int kSymbols = 258;
    static constexpr int kMaxNodes = 2 * kSymbols - 1;  // 515
    static constexpr std::uint32_t kMaxWeight = 32768;   // root weight that rebuilds the tree

    int GetCompression() const override { return compressHuffman; }
    const char* GetTag() const override { return kTagHuffman; }
    std::uint64_t MaxOriginalSize(std::uint64_t codedBytes) const override;

protected:
    void StartEncoding() override { InitTree(); }
    void Encode(const std::uint8_t* data, std::size_t n) override;
    void FinishEncoding() override;
    void StartDecoding() override { InitTree(); }
    std::size_t Decode(std::uint8_t* out, std::size_t n) override;

private:
    struct Node {
        std::uint32_t weight;
        std::int16_t parent;  // -1 for the root
        bool leaf;
        std::int16_t child;   // first child, or the symbol of a leaf
    };

    void InitTree();
    void EncodeSymbol(int symbol);
    bool AddLeaf(int byte);
    void UpdateModel(int byte);
    void SwapNodes(int i, int j);
    void RebuildTree();

    Node m_nodes[kMaxNodes];
    std::int16_t m_leafOf[kSymbols];  // node of each symbol's leaf, -1 for none
    int m_nextFree = 0;
};
