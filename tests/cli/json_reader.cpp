#include "json_reader.h"

#include <cstring>

namespace {

class Reader {
public:
    explicit Reader(const std::string& source) : text(source) {}

    bool Document(JsonValue& value)
    {
        return Value(value, 0) && (SkipSpace(), place == text.size() || Fail("text after the document"));
    }

    std::string problem;

private:
    bool Fail(const char* what)
    {
        if (problem.empty())
            problem = std::string(what) + " at byte " + std::to_string(place);
        return false;
    }

    void SkipSpace()
    {
        while (place < text.size() && std::strchr(" \t\r\n", text[place]) != nullptr && text[place] != '\0')
            ++place;
    }

    // Takes c (after any whitespace) when it comes next.
    bool Take(char c)
    {
        SkipSpace();
        if (place < text.size() && text[place] == c) {
            ++place;
            return true;
        }
        return false;
    }

    bool Value(JsonValue& value, int depth)
    {
        SkipSpace();
        if (place >= text.size() || depth > 16)
            return Fail("missing value or nesting too deep");
        char c = text[place];
        if (c == '{' || c == '[')
            return Container(value, depth);
        if (c == '"') {
            value.kind = JsonValue::String;
            return StringValue(value.text);
        }
        for (const char* literal : {"true", "false"}) {
            if (text.compare(place, std::strlen(literal), literal) == 0) {
                value.kind = JsonValue::Boolean;
                value.text = literal;
                place += std::strlen(literal);
                return true;
            }
        }
        std::size_t start = place;
        while (place < text.size() && text[place] >= '0' && text[place] <= '9')
            ++place;
        if (place == start || (text[start] == '0' && place - start > 1))
            return Fail("not a value the tool writes");
        value.kind = JsonValue::Number;
        value.text = text.substr(start, place - start);
        return true;
    }

    bool Container(JsonValue& value, int depth)
    {
        bool object = text[place++] == '{';
        char close = object ? '}' : ']';
        value.kind = object ? JsonValue::Object : JsonValue::Array;
        if (Take(close))
            return true;
        do {
            JsonValue* item;
            if (object) {
                std::string key;
                SkipSpace();
                if (place >= text.size() || text[place] != '"' || !StringValue(key) || !Take(':'))
                    return Fail("expected \"key\":");
                value.members.emplace_back(key, JsonValue());
                item = &value.members.back().second;
            } else {
                value.items.emplace_back();
                item = &value.items.back();
            }
            if (!Value(*item, depth + 1))
                return false;
        } while (Take(','));
        return Take(close) || Fail("expected , or the closing bracket");
    }

    bool StringValue(std::string& out)
    {
        static const char Escapes[] = "\"\\/bfnrt";
        static const char Meanings[] = "\"\\/\b\f\n\r\t";
        ++place;  // the opening quote
        out.clear();
        while (place < text.size()) {
            unsigned char c = static_cast<unsigned char>(text[place++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return Fail("raw control byte in a string");
            if (c == '\\') {
                char e = place < text.size() ? text[place++] : '\0';
                const char* simple = e != '\0' ? std::strchr(Escapes, e) : nullptr;
                std::string hex = e == 'u' ? text.substr(place, 4) : "";
                bool unicode = hex.size() == 4 && std::strspn(hex.c_str(), "0123456789abcdefABCDEF") == 4;
                if (simple != nullptr) {
                    out += Meanings[simple - Escapes];
                } else if (unicode && std::stoul(hex, nullptr, 16) <= 0xFF) {
                    out += static_cast<char>(std::stoul(hex, nullptr, 16));
                    place += 4;
                } else {
                    return Fail("bad escape or a code point outside Latin-1");
                }
            } else if (c < 0x80) {
                out += static_cast<char>(c);
            } else {
                // U+0080..U+00FF are the two-byte sequences led by C2 and C3.
                unsigned char next = place < text.size() ? static_cast<unsigned char>(text[place]) : 0;
                if ((c != 0xC2 && c != 0xC3) || (next & 0xC0) != 0x80)
                    return Fail("UTF-8 outside Latin-1 or malformed");
                out += static_cast<char>(((c & 0x1F) << 6) | (next & 0x3F));
                ++place;
            }
        }
        return Fail("unterminated string");
    }

    const std::string& text;
    std::size_t place = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const
{
    for (const auto& member : members)
        if (member.first == key)
            return &member.second;
    return nullptr;
}

bool ReadJson(const std::string& text, JsonValue& value, std::string& problem)
{
    Reader reader(text);
    value = JsonValue();
    bool ok = reader.Document(value);
    problem = reader.problem;
    return ok;
}
