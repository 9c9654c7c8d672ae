#include "piece_matcher.h"

#include <deque>

namespace norvathel {

namespace {

unsigned char LowerByte(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

PieceMatcher::PieceMatcher(const std::vector<std::string>& pieces)
{
    // Classes: one per distinct (lower-cased) byte used by a piece; upper-case letters share
    // their lower-case letter's class.
    for (const std::string& piece : pieces)
        for (char c : piece) {
            const unsigned char lower = LowerByte(static_cast<unsigned char>(c));
            if (classOf[lower] == 0)
                classOf[lower] = static_cast<std::uint8_t>(classCount++);
        }
    for (unsigned byte = 'A'; byte <= 'Z'; ++byte)
        classOf[byte] = classOf[LowerByte(static_cast<unsigned char>(byte))];

    // The trie; 0 in next means "no edge yet" while it is built (the root is never a child).
    const std::uint32_t None = 0;
    next.assign(classCount, None);
    accepting.assign(1, 0);
    for (const std::string& piece : pieces) {
        if (piece.empty())
            continue;
        std::uint32_t state = 0;
        for (char c : piece) {
            std::uint32_t& edge = next[state * classCount + classOf[static_cast<unsigned char>(c)]];
            if (edge == None) {
                edge = static_cast<std::uint32_t>(accepting.size());
                accepting.push_back(0);
                next.resize(next.size() + classCount, None);
            }
            state = next[state * classCount + classOf[static_cast<unsigned char>(c)]];
        }
        accepting[state] = 1;
    }

    // Breadth first: each missing edge goes where the longest proper suffix's edge goes, and a
    // state accepts when its suffix does. Class 0 (bytes in no piece) always leads to the root.
    std::vector<std::uint32_t> fail(accepting.size(), 0);
    std::deque<std::uint32_t> queue;
    for (std::uint32_t c = 1; c < classCount; ++c)
        if (next[c] != None)
            queue.push_back(next[c]);
    while (!queue.empty()) {
        const std::uint32_t state = queue.front();
        queue.pop_front();
        accepting[state] |= accepting[fail[state]];
        for (std::uint32_t c = 1; c < classCount; ++c) {
            std::uint32_t& edge = next[state * classCount + c];
            const std::uint32_t viaFail = next[fail[state] * classCount + c];
            if (edge == None) {
                edge = viaFail;
            } else {
                fail[edge] = viaFail;
                queue.push_back(edge);
            }
        }
    }
    anyPiece = accepting.size() > 1;
}

}  // namespace norvathel
