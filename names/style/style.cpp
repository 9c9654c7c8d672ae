#include <norvathel/style.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "style/built_in_styles.h"
#include "style/compiled_style.h"
#include "text/letters.h"
#include "text/unicode_letters.h"

namespace norvathel {

// A built-in style that does not build is a fault of this library, found by its first test.
std::shared_ptr<const CompiledStyle> BuiltInVoice(const StyleData& data)
{
    auto voice = std::make_shared<CompiledStyle>();
    StyleFault fault;
    if (!CompileStyle(data, *voice, fault)) {
        std::fprintf(stderr, "built-in style %s: %s: %s\n", data.name.c_str(), fault.key.c_str(),
                     fault.message.c_str());
        std::abort();
    }
    return voice;
}

namespace {

// A file's name or a fault's text made safe for a terminal: control bytes, and the C1 controls
// as UTF-8, as \xNN (a NUL would cut the message, an escape would drive the terminal).
std::string Shown(const std::string& text)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string shown;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        const bool c1 = byte == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[at + 1]) < 0xA0;
        if (byte < 0x20 || byte == 0x7F || c1) {
            for (std::size_t k = 0; k < (c1 ? 2u : 1u); ++k) {
                const unsigned char escaped = static_cast<unsigned char>(text[at + k]);
                shown += "\\x";
                shown += Hex[escaped >> 4];
                shown += Hex[escaped & 15];
            }
            at += c1 ? 1 : 0;
        } else {
            shown += static_cast<char>(byte);
        }
    }
    return shown;
}

}  // namespace

std::string StyleError::Text() const
{
    std::string text = Shown(source);
    if (line > 0) {
        text += ":" + std::to_string(line);
        if (column > 0)
            text += ":" + std::to_string(column);
    }
    return text.empty() ? Shown(message) : text + ": " + Shown(message);
}

Style::Style() : voice(Classic().voice) {}

const Style& Style::Classic()
{
    // Only classic, straight from the compiled tables: the window builds no other style.
    static const Style classic(BuiltInVoice(ClassicStyleData()));
    return classic;
}

bool Style::IsClassic() const
{
    return voice == Classic().voice;
}

bool Style::FromData(const StyleData& data, Style& style, StyleError& error)
{
    auto voice = std::make_shared<CompiledStyle>();
    StyleFault fault;
    if (!CompileStyle(data, *voice, fault)) {
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

int Style::PrefixRoom() const
{
    return voice->prefixRoom;
}

std::string PrefixTooLong(const Style& style, long long length)
{
    return "the prefix is " + std::to_string(length) + " bytes, and names in this style leave room for one of at most " +
           std::to_string(style.PrefixRoom()) + " (a name is at most " + std::to_string(MaxNameLength) + " bytes)";
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

std::string LettersOf(const Style& style)
{
    const StyleData& data = style.Data();
    bool ascii = false;
    std::set<std::string> beyond;  // UTF-8 sorts as code points do
    const auto take = [&](const FragmentTable& table) {
        for (const std::string& fragment : table.fragments)
            for (std::size_t at = 0; at < fragment.size();) {
                const Letter letter = DecodeLetter(fragment, at);
                const std::size_t size = letter.length > 0 ? static_cast<std::size_t>(letter.length) : 1;
                if (letter.codePoint < 0x80)
                    ascii = ascii || (letter.codePoint >= 'a' && letter.codePoint <= 'z');
                else if (!IsMark(letter.codePoint) && !IsJoin(letter.codePoint))
                    beyond.insert(fragment.substr(at, size));
                at += size;
            }
    };
    for (const FragmentTable* table : {&data.consonants, &data.clusters, &data.vowels, &data.femaleEndings,
                                       &data.maleEndings, &data.neutralEndings})
        take(*table);
    for (const StyleContext& context : data.contexts)
        for (const FragmentTable* table : {&context.consonants, &context.clusters, &context.vowels,
                                           &context.femaleEndings, &context.maleEndings, &context.neutralEndings})
            take(*table);
    // A script of syllables has hundreds: the first of them, and how many more.
    const std::size_t shown = 40;
    std::vector<std::string> words;
    if (ascii)
        words.push_back("a to z");
    for (const std::string& letter : beyond)
        if (words.size() < shown)
            words.push_back(letter);
    const std::size_t more = beyond.size() + (ascii ? 1 : 0) - words.size();
    if (more > 0)
        words.push_back(std::to_string(more) + " more");
    std::string letters = "the letters ";
    for (std::size_t k = 0; k < words.size(); ++k)
        letters += (k == 0 ? "" : k + 1 == words.size() ? " and " : ", ") + words[k];
    return letters;
}

bool Style::Guards(const char* name, int length) const
{
    const std::vector<std::uint64_t>& guard = voice->guard;
    return !guard.empty() &&
           std::binary_search(guard.begin(), guard.end(), GuardHash(std::string(name, static_cast<std::size_t>(length))));
}

bool Style::HasGuard() const
{
    return !voice->guard.empty();
}

std::string LetterAt(const std::string& text, std::size_t at)
{
    std::size_t start = at;
    while (start > 0 && start + 3 >= at && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    const Letter letter = start < text.size() ? DecodeLetter(text, start) : Letter{0, 0};
    const bool holds = letter.length > 0 && start + static_cast<std::size_t>(letter.length) > at;
    if (holds && ((letter.codePoint > ' ' && letter.codePoint < 0x7F) || letter.codePoint >= 0xA0))
        return "'" + text.substr(start, static_cast<std::size_t>(letter.length)) + "'";
    static const char Hex[] = "0123456789ABCDEF";
    const unsigned char value = at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
    return std::string("the byte 0x") + Hex[value >> 4] + Hex[value & 15];
}

std::string NoNeutralNames(const Style& style)
{
    return "the style '" + style.Name() + "' makes no neutral names (its file sets no given.neutral_closing)";
}

const char NeutralNamesEndInAConsonant[] =
    "no neutral name ends in a vowel (this style's neutral names end in a consonant)";

}  // namespace norvathel
