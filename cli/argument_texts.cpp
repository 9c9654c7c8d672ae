#include "argument_texts.h"

#include <algorithm>
#include <cstring>

using norvathel::GenderChoice;
using norvathel::PrefixCapacity;

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ParseUnsigned(const char* text, std::uint64_t& value)
{
    if (*text == '\0')
        return false;
    std::uint64_t result = 0;
    for (const char* place = text; *place != '\0'; ++place) {
        if (*place < '0' || *place > '9')
            return false;
        unsigned digit = static_cast<unsigned>(*place - '0');
        if (result > (UINT64_MAX - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

bool DecodeEscapes(const char* text, std::size_t length, std::string& decoded, std::string& problem)
{
    decoded.clear();
    for (std::size_t place = 0; place < length; ++place) {
        char byte = text[place];
        if (byte == '%') {
            int high = place + 1 < length ? HexDigit(text[place + 1]) : -1;
            int low = place + 2 < length ? HexDigit(text[place + 2]) : -1;
            if (high < 0 || low < 0) {
                problem = "bad escape " + Quoted(std::string(text + place, std::min<std::size_t>(3, length - place)).c_str()) +
                          ": expected %XX with two hex digits";
                return false;
            }
            byte = static_cast<char>(high * 16 + low);
            if (byte == '\0') {
                problem = "%00 is not allowed: a name cannot hold a NUL byte";
                return false;
            }
            place += 2;
        }
        decoded += byte;
    }
    return true;
}

bool DecodePrefix(const char* text, std::size_t length, char (&prefix)[PrefixCapacity],
                  std::string& problem)
{
    std::string decoded;
    if (!DecodeEscapes(text, length, decoded, problem))
        return false;
    // Like the edit box, the prefix keeps its first 31 bytes; the rest was still checked.
    std::memset(prefix, 0, sizeof prefix);
    std::memcpy(prefix, decoded.data(), std::min<std::size_t>(decoded.size(), PrefixCapacity - 1));
    return true;
}

bool ParseBoardList(const char* list, std::vector<BoardRequest>& boards, std::string& problem)
{
    boards.clear();
    if (*list == '\0') {
        problem = "--boards needs at least one composition";
        return false;
    }
    int item = 1;
    for (const char* start = list;; ++item) {
        const char* end = std::strchr(start, ',');
        std::size_t length = end != nullptr ? static_cast<std::size_t>(end - start) : std::strlen(start);
        std::string text(start, length);
        std::size_t colon = text.find(':');
        std::string kind = text.substr(0, colon);
        BoardRequest request = {};
        if (kind == "start" && colon == std::string::npos) {
            request.gender = GenderChoice::Drawn;
        } else if (kind == "male" || kind == "female" || kind == "neutral") {
            request.gender = kind == "male"     ? GenderChoice::Male
                             : kind == "female" ? GenderChoice::Female
                                                : GenderChoice::Neutral;
            if (colon != std::string::npos &&
                !DecodePrefix(text.c_str() + colon + 1, length - colon - 1, request.prefix, problem)) {
                problem = "--boards item " + std::to_string(item) + ": " + problem;
                return false;
            }
        } else {
            problem = "--boards item " + std::to_string(item) + " " + Quoted(text.c_str()) +
                      (text.empty() ? " is empty" : " is unknown") +
                      ": expected start, male, female, neutral, male:PREFIX, female:PREFIX or neutral:PREFIX";
            return false;
        }
        boards.push_back(request);
        if (end == nullptr)
            return true;
        start = end + 1;
    }
}

std::string EscapedControls(const char* text)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char* place = text; *place != '\0'; ++place) {
        const unsigned char byte = static_cast<unsigned char>(*place);
        if (byte < 0x20 || byte == 0x7F) {
            escaped += "\\x";
            escaped += Hex[byte >> 4];
            escaped += Hex[byte & 15];
        } else {
            escaped += static_cast<char>(byte);
        }
    }
    return escaped;
}

std::string Quoted(const char* text)
{
    const std::size_t MaxShown = 60;
    const std::size_t length = std::strlen(text);
    const std::string shown(text, length < MaxShown ? length : MaxShown);
    return "'" + EscapedControls(shown.c_str()) + (length > MaxShown ? "..." : "") + "'";
}
