#include "stream/piece_matcher.h"

#include <algorithm>
#include <limits>
#include <new>

namespace norvathel {

namespace {

unsigned char LowerByte(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// Compares as the matcher does: ASCII letters in either case alike, bytes unsigned.
bool LowerLess(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t index = 0; index < common; ++index) {
        const unsigned char x = LowerByte(static_cast<unsigned char>(a[index]));
        const unsigned char y = LowerByte(static_cast<unsigned char>(b[index]));
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

std::size_t CommonLowerPrefix(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t index = 0;
    while (index < common && LowerByte(static_cast<unsigned char>(a[index])) ==
                                 LowerByte(static_cast<unsigned char>(b[index])))
        ++index;
    return index;
}

}  // namespace

PieceMatcher::PieceMatcher(const std::vector<std::string>& pieces, std::size_t denseTableBytes,
                           std::size_t topTableBytes)
{
    // Classes: one per distinct (lower-cased) byte used by a piece, numbered in byte order so
    // that siblings sorted by byte are sorted by class; upper-case letters share their
    // lower-case letter's class.
    bool used[256] = {};
    std::size_t totalBytes = 0;
    for (const std::string& piece : pieces) {
        totalBytes += piece.size();
        for (char c : piece)
            used[LowerByte(static_cast<unsigned char>(c))] = true;
    }
    if (totalBytes >= std::numeric_limits<std::uint32_t>::max() || pieces.size() >= std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    for (unsigned byte = 0; byte < 256; ++byte)
        if (used[byte])
            classOf[byte] = static_cast<std::uint8_t>(classCount++);
    for (unsigned byte = 'A'; byte <= 'Z'; ++byte)
        classOf[byte] = classOf[LowerByte(static_cast<unsigned char>(byte))];

    // The pieces in order, each once, without those that extend a piece kept before them (a
    // text holding one holds the shorter): what is left is prefix-free, so each piece ends in
    // a leaf of the trie.
    std::vector<std::uint32_t> order;
    order.reserve(pieces.size());
    for (std::size_t index = 0; index < pieces.size(); ++index)
        if (!pieces[index].empty())
            order.push_back(static_cast<std::uint32_t>(index));
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return LowerLess(pieces[a], pieces[b]); });
    std::size_t kept = 0;
    for (std::size_t index = 0; index < order.size(); ++index) {
        const std::string& piece = pieces[order[index]];
        if (kept > 0) {
            const std::string& last = pieces[order[kept - 1]];
            if (CommonLowerPrefix(last, piece) == last.size())
                continue;
        }
        order[kept++] = order[index];
    }
    order.resize(kept);
    order.shrink_to_fit();
    anyPiece = kept > 0;

    // States breadth first, those of one depth in the pieces' order: a piece adds the states
    // below what it shares with the piece before it. First the count at each depth.
    std::vector<std::uint32_t> atDepth(1, 1);  // the root
    std::uint64_t stateCount = 1;
    for (std::size_t index = 0; index < kept; ++index) {
        const std::string& piece = pieces[order[index]];
        const std::size_t shared = index == 0 ? 0 : CommonLowerPrefix(pieces[order[index - 1]], piece);
        if (atDepth.size() <= piece.size())
            atDepth.resize(piece.size() + 1, 0);
        for (std::size_t depth = shared + 1; depth <= piece.size(); ++depth)
            ++atDepth[depth];
        stateCount += piece.size() - shared;
    }
    const std::uint32_t states = static_cast<std::uint32_t>(stateCount);  // at most totalBytes + 1

    // Then the states themselves: nextAt[depth] numbers the next one at that depth, path[depth]
    // is the current piece's state there.
    std::vector<std::uint32_t> nextAt(atDepth.size(), 0);
    for (std::size_t depth = 1; depth < atDepth.size(); ++depth)
        nextAt[depth] = nextAt[depth - 1] + atDepth[depth - 1];
    std::vector<std::uint32_t> path(atDepth.size(), 0);
    childCount.assign(states, 0);
    label.assign(states, 0);
    for (std::size_t index = 0; index < kept; ++index) {
        const std::string& piece = pieces[order[index]];
        const std::size_t shared = index == 0 ? 0 : CommonLowerPrefix(pieces[order[index - 1]], piece);
        for (std::size_t depth = shared + 1; depth <= piece.size(); ++depth) {
            const std::uint32_t state = nextAt[depth]++;
            label[state] = classOf[static_cast<unsigned char>(piece[depth - 1])];
            ++childCount[path[depth - 1]];
            path[depth] = state;
        }
    }
    std::vector<std::uint32_t>().swap(order);

    if (static_cast<std::uint64_t>(states) * classCount * sizeof(std::uint32_t) <= denseTableBytes) {
        // Breadth first: a state's row is its longest proper suffix's row with its own children
        // put in, and the suffix of a child is where the suffix's row leads; a state accepts
        // when a piece ends there or at its suffix. Class 0 (bytes in no piece) always leads
        // to the root.
        next.assign(static_cast<std::size_t>(states) * classCount, 0);
        accepting.assign(states, 0);
        std::vector<std::uint32_t> fail(states, 0);
        std::uint32_t child = 1;
        for (std::uint32_t state = 0; state < states; ++state) {
            std::uint32_t* row = &next[static_cast<std::size_t>(state) * classCount];
            if (state != 0) {
                std::copy_n(&next[static_cast<std::size_t>(fail[state]) * classCount], classCount, row);
                accepting[state] = childCount[state] == 0 || accepting[fail[state]];
            }
            for (const std::uint32_t last = child + childCount[state]; child < last; ++child) {
                fail[child] = state == 0 ? 0 : row[label[child]];
                row[label[child]] = child;
            }
        }
        std::vector<std::uint8_t>().swap(childCount);
        std::vector<std::uint8_t>().swap(label);
        return;
    }

    dense = false;
    std::vector<std::uint32_t>().swap(next);
    std::vector<std::uint8_t>().swap(accepting);
    blockFirst.assign(states / BlockStates + 1, 0);
    topStates = static_cast<std::uint32_t>(
        std::min<std::size_t>(states, topTableBytes / (sizeof(std::uint32_t) * classCount)));
    topChild.assign(static_cast<std::size_t>(topStates) * classCount, 0);
    std::uint32_t child = 1;
    for (std::uint32_t state = 0; state < states; ++state) {
        if (state % BlockStates == 0)
            blockFirst[state / BlockStates] = child;
        for (const std::uint32_t last = child + childCount[state]; child < last; ++child)
            if (state < topStates)
                topChild[static_cast<std::size_t>(state) * classCount + label[child]] = child;
    }
}

std::uint32_t PieceMatcher::FirstChild(std::uint32_t state) const
{
    std::uint32_t first = blockFirst[state / BlockStates];
    for (std::uint32_t before = state - state % BlockStates; before < state; ++before)
        first += childCount[before];
    return first;
}

// 0 when the state has no child by that class (the root is nobody's child).
std::uint32_t PieceMatcher::Child(std::uint32_t state, std::uint8_t byteClass) const
{
    if (state < topStates)
        return topChild[static_cast<std::size_t>(state) * classCount + byteClass];
    const std::uint32_t count = childCount[state];
    if (count == 0)
        return 0;
    const std::uint32_t first = FirstChild(state);
    for (std::uint32_t child = first; child < first + count; ++child) {
        if (label[child] >= byteClass)
            return label[child] == byteClass ? child : 0;
    }
    return 0;
}

bool PieceMatcher::FoundInTrie(const char* text, std::size_t length) const
{
    if (!anyPiece)
        return false;
    // From each place, down the trie as far as the text follows it; a leaf is a piece's end.
    for (std::size_t start = 0; start < length; ++start) {
        std::uint32_t state = 0;
        for (std::size_t place = start; place < length; ++place) {
            const std::uint8_t byteClass = classOf[static_cast<unsigned char>(text[place])];
            state = byteClass == 0 ? 0 : Child(state, byteClass);
            if (state == 0)
                break;
            if (childCount[state] == 0)
                return true;
        }
    }
    return false;
}

std::size_t PieceMatcher::MemoryBytes() const
{
    return next.capacity() * sizeof(std::uint32_t) + accepting.capacity() +
           childCount.capacity() + blockFirst.capacity() * sizeof(std::uint32_t) + label.capacity() +
           topChild.capacity() * sizeof(std::uint32_t);
}

}  // namespace norvathel
