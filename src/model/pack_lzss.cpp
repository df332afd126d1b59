#include "model/pack_lzss.h"

#include <bit>
#include <cstring>

std::uint64_t CLzssStream::MaxOriginalSize(std::uint64_t codedBytes) const
{
    // A literal takes 9 bits for one byte, a copy 17 bits for at most 17
    // bytes: never more than one byte per coded bit.
    return codedBytes * 8;
}

// ---- Encoder ----------------------------------------------------------------

void CLzssStream::StartEncoding()
{
    std::memset(m_window, 0, sizeof m_window);
    for (Node& node : m_tree) node = {kNil, kNil, kNil, 0};
    m_random = 0x2545F491;
    m_position = 1;
    m_filled = 0;
    m_started = false;
    m_lookAhead = 0;
    m_matchLength = 0;
    m_matchPosition = 0;
    m_replace = 0;
}

void CLzssStream::Encode(const std::uint8_t* data, std::size_t n)
{
    std::size_t i = 0;
    // The first item waits until the look-ahead is full.
    while (!m_started && i < n) {
        Store(m_position + m_filled++, data[i++]);
        if (m_filled == kLookAhead) StartItems();
    }
    for (; i < n && !WriteFailed(); ++i) Step(true, data[i]);
}

void CLzssStream::FinishEncoding()
{
    if (!m_started && m_filled > 0) StartItems();
    while (m_lookAhead > 0 && !WriteFailed()) Step(false, 0);
    PutBit(0);
    PutBits(0, kIndexBits);
}

// The look-ahead is full (or the data ends): the first string enters the
// tree alone and the first item is coded.
void CLzssStream::StartItems()
{
    m_lookAhead = m_filled;
    m_tree[kRoot].larger = static_cast<std::int16_t>(m_position);
    m_tree[m_position] = {kRoot, kNil, kNil, 0};
    m_started = true;
    EmitItem();
}

// Codes the string at the current position: a copy when the best match is
// long enough, a literal otherwise.
void CLzssStream::EmitItem()
{
    if (m_matchLength > m_lookAhead) m_matchLength = m_lookAhead;
    if (m_matchLength < kMinMatch) {
        PutBit(1);
        PutBits(m_window[m_position], 8);
        m_replace = 1;
    } else {
        PutBit(0);
        PutBits(static_cast<std::uint32_t>(m_matchPosition), kIndexBits);
        PutBits(static_cast<std::uint32_t>(m_matchLength - kMinMatch), kLengthBits);
        m_replace = m_matchLength;
    }
}

// Moves the window on by one coded byte: the string about to be overwritten
// leaves the tree, the next input byte (if any) enters the look-ahead and the
// new current string is matched and inserted.
void CLzssStream::Step(bool haveByte, std::uint8_t byte)
{
    const int incoming = Wrap(m_position + kLookAhead);
    DeleteString(incoming);
    if (haveByte)
        Store(incoming, byte);
    else
        --m_lookAhead;
    m_position = Wrap(m_position + 1);
    if (m_lookAhead > 0) InsertString(m_position);
    if (--m_replace == 0 && m_lookAhead > 0) EmitItem();
}

// How many of the look-ahead's bytes the strings at a and b have in common,
// knowing that the first from bytes are equal.
int CLzssStream::CommonPrefix(int a, int b, int from) const
{
    int i = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= kLookAhead; i += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, m_window + a + i, 8);
            std::memcpy(&y, m_window + b + i, 8);
            if (x != y) return i + std::countr_zero(x ^ y) / 8;
        }
    }
    while (i < kLookAhead && m_window[a + i] == m_window[b + i]) ++i;
    return i;
}

// Inserts the string at position and leaves the longest match found on the
// way in m_matchLength / m_matchPosition. A string equal to an existing one
// over the whole look-ahead takes that one's place.
void CLzssStream::InsertString(int position)
{
    m_matchLength = 0;
    if (position == 0) return;  // 0 is the end code, never a match position
    int parent = kRoot;
    std::int16_t* link = &m_tree[kRoot].larger;
    // Every string below the current node lies between the last strings the
    // walk passed on either side, so it shares at least the shorter of their
    // common prefixes with the new string; comparing starts after it.
    int prefixBelow = 0, prefixAbove = 0;
    while (*link != kNil) {
        const int test = *link;
        const int i = CommonPrefix(position, test, prefixBelow < prefixAbove ? prefixBelow : prefixAbove);
        const int delta = i < kLookAhead ? m_window[position + i] - m_window[test + i] : 0;
        if (i >= m_matchLength) {
            m_matchLength = i;
            m_matchPosition = test;
        }
        if (i >= kLookAhead) {
            // Same string: the newer position takes the older one's place.
            m_tree[position] = m_tree[test];
            Relink(m_tree[test].parent, test, position);
            if (m_tree[position].smaller != kNil) m_tree[m_tree[position].smaller].parent = static_cast<std::int16_t>(position);
            if (m_tree[position].larger != kNil) m_tree[m_tree[position].larger].parent = static_cast<std::int16_t>(position);
            m_tree[test] = {kNil, kNil, kNil, 0};
            return;
        }
        if (delta > 0)
            prefixBelow = i;
        else
            prefixAbove = i;
        parent = test;
        link = delta > 0 ? &m_tree[test].larger : &m_tree[test].smaller;
    }
    *link = static_cast<std::int16_t>(position);
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    m_tree[position] = {static_cast<std::int16_t>(parent), kNil, kNil, m_random};
    while (m_tree[position].parent != kRoot && m_tree[m_tree[position].parent].priority < m_random)
        RotateUp(position);
}

// Points parent's link to oldChild at newChild instead.
void CLzssStream::Relink(int parent, int oldChild, int newChild)
{
    if (m_tree[parent].smaller == oldChild)
        m_tree[parent].smaller = static_cast<std::int16_t>(newChild);
    else
        m_tree[parent].larger = static_cast<std::int16_t>(newChild);
}

// Moves node one level up, above its parent, keeping the order.
void CLzssStream::RotateUp(int node)
{
    const int parent = m_tree[node].parent;
    const int grand = m_tree[parent].parent;
    if (m_tree[parent].smaller == node) {
        const int middle = m_tree[node].larger;
        m_tree[parent].smaller = static_cast<std::int16_t>(middle);
        if (middle != kNil) m_tree[middle].parent = static_cast<std::int16_t>(parent);
        m_tree[node].larger = static_cast<std::int16_t>(parent);
    } else {
        const int middle = m_tree[node].smaller;
        m_tree[parent].larger = static_cast<std::int16_t>(middle);
        if (middle != kNil) m_tree[middle].parent = static_cast<std::int16_t>(parent);
        m_tree[node].smaller = static_cast<std::int16_t>(parent);
    }
    m_tree[parent].parent = static_cast<std::int16_t>(node);
    m_tree[node].parent = static_cast<std::int16_t>(grand);
    Relink(grand, parent, node);
}

void CLzssStream::DeleteString(int position)
{
    if (m_tree[position].parent == kNil) return;
    // Sink the node below its children until it has at most one, then let
    // that child take its place.
    for (;;) {
        const int smaller = m_tree[position].smaller, larger = m_tree[position].larger;
        if (smaller == kNil || larger == kNil) {
            const int child = smaller == kNil ? larger : smaller;
            if (child != kNil) m_tree[child].parent = m_tree[position].parent;
            Relink(m_tree[position].parent, position, child);
            break;
        }
        RotateUp(m_tree[smaller].priority > m_tree[larger].priority ? smaller : larger);
    }
    m_tree[position] = {kNil, kNil, kNil, 0};
}

// ---- Decoder ----------------------------------------------------------------

void CLzssStream::StartDecoding()
{
    std::memset(m_window, 0, sizeof m_window);
    m_position = 1;
    m_copyFrom = 0;
    m_copyLeft = 0;
}

std::size_t CLzssStream::Decode(std::uint8_t* out, std::size_t n)
{
    std::size_t k = 0;
    while (k < n) {
        std::uint8_t byte;
        if (m_copyLeft > 0) {
            byte = m_window[m_copyFrom];
            m_copyFrom = Wrap(m_copyFrom + 1);
            --m_copyLeft;
        } else if (GetBit()) {
            byte = static_cast<std::uint8_t>(GetBits(8));
        } else {
            const int from = static_cast<int>(GetBits(kIndexBits));
            if (from == 0) {
                EndDecoding();
                break;
            }
            m_copyFrom = from;
            m_copyLeft = static_cast<int>(GetBits(kLengthBits)) + kMinMatch;
            continue;
        }
        m_window[m_position] = byte;
        m_position = Wrap(m_position + 1);
        out[k++] = byte;
    }
    return k;
}
