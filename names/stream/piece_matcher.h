// Many pieces looked for in a text, ASCII letters in either case: a name is checked against
// thousands of excluded pieces in one pass at the cost of one table step per byte
// (Aho-Corasick), and against a million in memory that grows with the pieces' bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace norvathel {

class PieceMatcher {
public:
    PieceMatcher() = default;
    // The whole automaton is kept as one table while it takes no more than this: every set of
    // a few thousand pieces, at one step per byte. Past it, the trie's five bytes a state, and
    // a table of children for its first states, which every place of a text steps through.
    static constexpr std::size_t DenseTableBytes = 16u << 20;
    static constexpr std::size_t TopTableBytes = 1u << 20;

    // Builds the matcher; empty pieces are ignored (they would match everything). The limits
    // are the two above (tests give others to reach both forms). Throws std::bad_alloc when
    // the pieces hold more bytes than a state number can count.
    explicit PieceMatcher(const std::vector<std::string>& pieces, std::size_t denseTableBytes = DenseTableBytes,
                          std::size_t topTableBytes = TopTableBytes);

    bool Empty() const { return !anyPiece; }
    // True when the text contains any of the pieces.
    bool FoundIn(const char* text, std::size_t length) const
    {
        if (!dense)
            return FoundInTrie(text, length);
        std::uint32_t state = 0;
        for (std::size_t place = 0; place < length; ++place) {
            state = next[state * classCount + classOf[static_cast<unsigned char>(text[place])]];
            if (accepting[state])
                return true;
        }
        return false;
    }
    // The bytes its tables take.
    std::size_t MemoryBytes() const;

private:
    std::uint32_t Child(std::uint32_t state, std::uint8_t byteClass) const;
    bool FoundInTrie(const char* text, std::size_t length) const;

    // Bytes that no piece holds share class 0, so a table has a column per byte in use, not
    // 256.
    std::uint8_t classOf[256] = {};
    std::uint32_t classCount = 1;
    bool anyPiece = false;

    // Up to some thousands of pieces: the whole automaton as one table, one step per byte.
    bool dense = true;
    std::vector<std::uint32_t> next = std::vector<std::uint32_t>(1, 0);  // state * classCount + class -> state
    std::vector<std::uint8_t> accepting = std::vector<std::uint8_t>(1, 0);  // a piece ends here or at a suffix

    // Beyond that, the trie alone, walked from each place of the text (names are short): under
    // three bytes a state. States are numbered breadth first with siblings in order, so the
    // children of a state follow those of the states before it: the first child of a state is
    // blockFirst[state / BlockStates] plus the children of the states before it in its block.
    // A piece that extends another is dropped, so the states without children are where
    // pieces end.
    static constexpr std::uint32_t BlockStates = 16;
    std::uint32_t FirstChild(std::uint32_t state) const;
    std::vector<std::uint8_t> childCount;     // at most one child a class
    std::vector<std::uint32_t> blockFirst;    // the first child of each block's first state
    std::vector<std::uint8_t> label;          // the class of the byte that leads into the state
    std::uint32_t topStates = 0;              // the first states, whose children are also in topChild
    std::vector<std::uint32_t> topChild;      // state * classCount + class -> child, 0 for none
};

}  // namespace norvathel
