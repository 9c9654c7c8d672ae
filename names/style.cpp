#include <norvathel/style.h>

#include <cstdio>
#include <cstdlib>

#include "built_in_styles.h"
#include "style_voice.h"

namespace norvathel {

// A built-in style that does not build is a fault of this library, found by its first test.
std::shared_ptr<const StyleVoice> BuiltInVoice(const StyleData& data)
{
    auto voice = std::make_shared<StyleVoice>();
    StyleFault fault;
    if (!BuildVoice(data, *voice, fault)) {
        std::fprintf(stderr, "built-in style %s: %s: %s\n", data.name.c_str(), fault.key.c_str(),
                     fault.message.c_str());
        std::abort();
    }
    return voice;
}

std::string StyleError::Text() const
{
    std::string text = source;
    if (line > 0) {
        text += ":" + std::to_string(line);
        if (column > 0)
            text += ":" + std::to_string(column);
    }
    return text.empty() ? message : text + ": " + message;
}

Style::Style() : voice(Classic().voice) {}

const Style& Style::Classic()
{
    // Only classic, straight from the compiled tables: the window builds no other style.
    static const Style classic(BuiltInVoice(ClassicStyleData()));
    return classic;
}

bool Style::FromData(const StyleData& data, Style& style, StyleError& error)
{
    auto voice = std::make_shared<StyleVoice>();
    StyleFault fault;
    if (!BuildVoice(data, *voice, fault)) {
        error = StyleError();
        error.message = fault.key + (fault.index >= 0 ? "[" + std::to_string(fault.index) + "]" : "") + ": " +
                        fault.message;
        return false;
    }
    style = Style(voice);
    return true;
}

const StyleData& Style::Data() const
{
    return voice->data;
}

int Style::LongestWithPrefix() const
{
    return voice->longestWithPrefix;
}

int Style::LongestWithoutPrefix() const
{
    return voice->longestWithoutPrefix;
}

AdditiveRandom SurnameRandomFor(const AdditiveRandom& given)
{
    // The given generator's whole state, hashed (FNV-1a over the 55 words), seeds the second
    // one fully: different states give unrelated surname sequences.
    std::uint64_t hash = 14695981039346656037u;
    for (int k = 0; k < 55; ++k) {
        std::uint32_t word = static_cast<std::uint32_t>(given.Word(k));
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (word >> (8 * byte)) & 0xFFu;
            hash *= 1099511628211u;
        }
    }
    AdditiveRandom surnames;
    surnames.SeedFull(hash ^ 0x5375726E616D6573u);  // "Surnames"
    return surnames;
}

}  // namespace norvathel
