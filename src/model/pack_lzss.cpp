#include "model/pack_lzss.h"

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
    for (Node& node : m_tree) node = {kNil, kNil, kNil};
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
        m_window[m_position + m_filled++] = data[i++];
        if (m_filled == kLookAhead) {
            m_lookAhead = m_filled;
            m_tree[kRoot].larger = static_cast<std::int16_t>(m_position);
            m_tree[m_position] = {kRoot, kNil, kNil};
            m_started = true;
            EmitItem();
        }
    }
    for (; i < n && !WriteFailed(); ++i) Step(true, data[i]);
}

void CLzssStream::FinishEncoding()
{
    if (!m_started && m_filled > 0) {
        m_lookAhead = m_filled;
        m_tree[kRoot].larger = static_cast<std::int16_t>(m_position);
        m_tree[m_position] = {kRoot, kNil, kNil};
        m_started = true;
        EmitItem();
    }
    while (m_lookAhead > 0 && !WriteFailed()) Step(false, 0);
    PutBit(0);
    PutBits(0, kIndexBits);
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
        m_window[incoming] = byte;
    else
        --m_lookAhead;
    m_position = Wrap(m_position + 1);
    if (m_lookAhead > 0) InsertString(m_position);
    if (--m_replace == 0 && m_lookAhead > 0) EmitItem();
}

// Inserts the string at position and leaves the longest match found on the
// way in m_matchLength / m_matchPosition. A string equal to an existing one
// over the whole look-ahead takes that one's place.
void CLzssStream::InsertString(int position)
{
    m_matchLength = 0;
    if (position == 0) return;  // 0 is the end code, never a match position
    int test = m_tree[kRoot].larger;
    if (test == kNil) {
        m_tree[kRoot].larger = static_cast<std::int16_t>(position);
        m_tree[position] = {kRoot, kNil, kNil};
        return;
    }
    for (;;) {
        int i = 0;
        int delta = 0;
        for (; i < kLookAhead; ++i) {
            delta = m_window[Wrap(position + i)] - m_window[Wrap(test + i)];
            if (delta != 0) break;
        }
        if (i >= m_matchLength) {
            m_matchLength = i;
            m_matchPosition = test;
            if (i >= kLookAhead) {
                ReplaceNode(test, position);
                return;
            }
        }
        std::int16_t& child = delta >= 0 ? m_tree[test].larger : m_tree[test].smaller;
        if (child == kNil) {
            child = static_cast<std::int16_t>(position);
            m_tree[position] = {static_cast<std::int16_t>(test), kNil, kNil};
            return;
        }
        test = child;
    }
}

void CLzssStream::ContractNode(int oldNode, int newNode)
{
    const int parent = m_tree[oldNode].parent;
    if (newNode != kNil) m_tree[newNode].parent = static_cast<std::int16_t>(parent);
    if (m_tree[parent].larger == oldNode)
        m_tree[parent].larger = static_cast<std::int16_t>(newNode);
    else
        m_tree[parent].smaller = static_cast<std::int16_t>(newNode);
    m_tree[oldNode] = {kNil, kNil, kNil};
}

void CLzssStream::ReplaceNode(int oldNode, int newNode)
{
    const int parent = m_tree[oldNode].parent;
    if (m_tree[parent].smaller == oldNode)
        m_tree[parent].smaller = static_cast<std::int16_t>(newNode);
    else
        m_tree[parent].larger = static_cast<std::int16_t>(newNode);
    m_tree[newNode] = m_tree[oldNode];
    if (m_tree[newNode].smaller != kNil) m_tree[m_tree[newNode].smaller].parent = static_cast<std::int16_t>(newNode);
    if (m_tree[newNode].larger != kNil) m_tree[m_tree[newNode].larger].parent = static_cast<std::int16_t>(newNode);
    m_tree[oldNode] = {kNil, kNil, kNil};
}

void CLzssStream::DeleteString(int position)
{
    if (m_tree[position].parent == kNil) return;
    if (m_tree[position].larger == kNil) {
        ContractNode(position, m_tree[position].smaller);
    } else if (m_tree[position].smaller == kNil) {
        ContractNode(position, m_tree[position].larger);
    } else {
        // The next smaller string takes the deleted one's place; having no
        // larger child it comes out of its own place by contraction.
        int next = m_tree[position].smaller;
        while (m_tree[next].larger != kNil) next = m_tree[next].larger;
        ContractNode(next, m_tree[next].smaller);
        ReplaceNode(position, next);
    }
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
