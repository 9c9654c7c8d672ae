// Many pieces looked for in one pass over a text (Aho-Corasick), ASCII letters in either case:
// a name is checked against thousands of excluded pieces at the cost of one table step per
// byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace norvathel {

class PieceMatcher {
public:
    PieceMatcher() = default;
    // Builds the automaton; empty pieces are ignored (they would match everything).
    explicit PieceMatcher(const std::vector<std::string>& pieces);

    bool Empty() const { return !anyPiece; }
    // True when the text contains any of the pieces.
    bool FoundIn(const char* text, std::size_t length) const
    {
        std::uint32_t state = 0;
        for (std::size_t place = 0; place < length; ++place) {
            state = next[state * classCount + classOf[static_cast<unsigned char>(text[place])]];
            if (accepting[state])
                return true;
        }
        return false;
    }

private:
    // Bytes that no piece holds share class 0, so the table has a column per byte in use, not
    // 256: a few thousand pieces of letters stay within a few megabytes.
    std::uint8_t classOf[256] = {};
    std::uint32_t classCount = 1;
    std::vector<std::uint32_t> next = std::vector<std::uint32_t>(1, 0);  // state * classCount + class -> state
    std::vector<std::uint8_t> accepting = std::vector<std::uint8_t>(1, 0);  // a piece ends here or at a suffix
    bool anyPiece = false;
};

}  // namespace norvathel
