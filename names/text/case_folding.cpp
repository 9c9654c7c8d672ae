#include "text/case_folding.h"

#include "compose/name_finishing.h"
#include "text/letters.h"
#include "text/unicode_runs.h"

namespace norvathel {

namespace {

#include "unicode_folding.inc"

}  // namespace

unsigned SimpleFold(unsigned c)
{
    return Mapped(FoldMappings, c);
}

std::string FoldedText(const std::string& text)
{
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        if (letter.length == 0) {
            folded += text[at++];
            continue;
        }
        const unsigned c = letter.codePoint < 0x80 ? static_cast<unsigned>(LowerByte(static_cast<char>(letter.codePoint)))
                                                    : SimpleFold(letter.codePoint);
        if (c == letter.codePoint)
            folded.append(text, at, static_cast<std::size_t>(letter.length));
        else
            folded += EncodeLetter(c);
        at += static_cast<std::size_t>(letter.length);
    }
    return folded;
}

}  // namespace norvathel
