#include "model/pack_huff.h"

#include <cstring>

std::uint64_t CHuffStream::MaxOriginalSize(std::uint64_t codedBytes) const
{
    // Every byte takes at least one bit.
    return codedBytes * 8;
}

void CHuffStream::InitTree()
{
    std::memset(m_nodes, 0, sizeof m_nodes);
    for (auto& leaf : m_leafOf) leaf = -1;
    m_nodes[0] = {2, -1, false, 1};
    m_nodes[1] = {1, 0, true, kEndSymbol};
    m_nodes[2] = {1, 0, true, kEscape};
    m_leafOf[kEndSymbol] = 1;
    m_leafOf[kEscape] = 2;
    m_nextFree = 3;
}

// ---- Encoder ----------------------------------------------------------------

void CHuffStream::Encode(const std::uint8_t* data, std::size_t n)
{
    for (std::size_t i = 0; i < n && !WriteFailed(); ++i) {
        EncodeSymbol(data[i]);
        UpdateModel(data[i]);
    }
}

void CHuffStream::FinishEncoding() { EncodeSymbol(kEndSymbol); }

void CHuffStream::EncodeSymbol(int symbol)
{
    int node = m_leafOf[symbol];
    const bool escaped = node < 0;
    if (escaped) node = m_leafOf[kEscape];
    // The path is found leaf first and written root first.
    std::uint8_t path[kMaxNodes];
    int length = 0;
    for (; node > 0; node = m_nodes[node].parent) path[length++] = (node & 1) == 0;
    while (length > 0) {
        const int chunk = length < 24 ? length : 24;
        std::uint32_t bits = 0;
        for (int i = 0; i < chunk; ++i) bits = (bits << 1) | path[--length];
        PutBits(bits, chunk);
    }
    if (escaped) {
        PutBits(static_cast<std::uint32_t>(symbol), 8);
        AddLeaf(symbol);
    }
}

// ---- Decoder ----------------------------------------------------------------

std::size_t CHuffStream::Decode(std::uint8_t* out, std::size_t n)
{
    std::size_t k = 0;
    while (k < n) {
        int node = 0;
        while (!m_nodes[node].leaf) node = m_nodes[node].child + static_cast<int>(GetBit());
        int symbol = m_nodes[node].child;
        if (symbol == kEndSymbol) {
            EndDecoding();
            break;
        }
        if (symbol == kEscape) {
            symbol = static_cast<int>(GetBits(8));
            // Escaping a byte the tree already holds cannot come from the
            // encoder; adding it twice would overrun the node array.
            if (!AddLeaf(symbol)) {
                EndDecoding();
                break;
            }
        }
        out[k++] = static_cast<std::uint8_t>(symbol);
        UpdateModel(symbol);
    }
    return k;
}

// ---- Model ------------------------------------------------------------------

// The lightest leaf (highest index) splits into itself and a new leaf of
// weight 0 for the byte.
bool CHuffStream::AddLeaf(int byte)
{
    if (m_leafOf[byte] >= 0 || m_nextFree + 2 > kMaxNodes) return false;
    const int lightest = m_nextFree - 1;
    const int copy = m_nextFree;
    const int fresh = m_nextFree + 1;
    m_nextFree += 2;

    m_nodes[copy] = m_nodes[lightest];
    m_nodes[copy].parent = static_cast<std::int16_t>(lightest);
    m_leafOf[m_nodes[copy].child] = static_cast<std::int16_t>(copy);

    m_nodes[lightest].child = static_cast<std::int16_t>(copy);
    m_nodes[lightest].leaf = false;

    m_nodes[fresh] = {0, static_cast<std::int16_t>(lightest), true, static_cast<std::int16_t>(byte)};
    m_leafOf[byte] = static_cast<std::int16_t>(fresh);
    return true;
}

void CHuffStream::UpdateModel(int byte)
{
    if (m_nodes[0].weight >= kMaxWeight) RebuildTree();
    int current = m_leafOf[byte];
    while (current >= 0) {
        const std::uint32_t weight = ++m_nodes[current].weight;
        // Keep weights from increasing with the index: move the node (and
        // its subtree) in front of every lighter node, the root excepted.
        int target = current;
        while (target > 1 && m_nodes[target - 1].weight < weight) --target;
        if (target != current) {
            SwapNodes(current, target);
            current = target;
        }
        current = m_nodes[current].parent;
    }
}

void CHuffStream::SwapNodes(int i, int j)
{
    auto reparent = [this](int node, int parent) {
        const Node& n = m_nodes[node];
        if (n.leaf) {
            m_leafOf[n.child] = static_cast<std::int16_t>(parent);
        } else {
            m_nodes[n.child].parent = static_cast<std::int16_t>(parent);
            m_nodes[n.child + 1].parent = static_cast<std::int16_t>(parent);
        }
    };
    reparent(i, j);
    reparent(j, i);
    // The nodes trade places; each place keeps its own parent.
    const Node atI = m_nodes[i];
    m_nodes[i] = m_nodes[j];
    m_nodes[i].parent = atI.parent;
    const std::int16_t parentJ = m_nodes[j].parent;
    m_nodes[j] = atI;
    m_nodes[j].parent = parentJ;
}

// Halves every leaf's weight (rounding up), packs the leaves at the end of the
// array in their order, then rebuilds the internal nodes from the last pair
// up, each placed after every strictly heavier node.
void CHuffStream::RebuildTree()
{
    int j = m_nextFree - 1;
    for (int i = j; i >= 0; --i) {
        if (m_nodes[i].leaf) {
            m_nodes[j] = m_nodes[i];
            m_nodes[j].weight = (m_nodes[j].weight + 1) / 2;
            --j;
        }
    }
    for (int i = m_nextFree - 2; j >= 0; i -= 2, --j) {
        const std::uint32_t weight = m_nodes[i].weight + m_nodes[i + 1].weight;
        int k = j + 1;
        while (k < m_nextFree && weight < m_nodes[k].weight) ++k;
        --k;
        std::memmove(&m_nodes[j], &m_nodes[j + 1], static_cast<std::size_t>(k - j) * sizeof(Node));
        m_nodes[k].weight = weight;
        m_nodes[k].child = static_cast<std::int16_t>(i);
        m_nodes[k].leaf = false;
    }
    for (int i = m_nextFree - 1; i >= 0; --i) {
        const int child = m_nodes[i].child;
        if (m_nodes[i].leaf) {
            m_leafOf[child] = static_cast<std::int16_t>(i);
        } else {
            m_nodes[child].parent = static_cast<std::int16_t>(i);
            m_nodes[child + 1].parent = static_cast<std::int16_t>(i);
        }
    }
    m_nodes[0].parent = -1;
}
