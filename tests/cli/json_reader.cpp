#include "json_reader.h"

#include <cstring>

namespace {

class Reader {
public:
    explicit Reader(const std::string& source) : text(source) {}

    bool Document(JsonValue& value)
    {
        SkipSpace();
        if (!Value(value, 0))
            return false;
        SkipSpace();
        return place == text.size() || Fail("text after the document");
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
        while (place < text.size() &&
               (text[place] == ' ' || text[place] == '\t' || text[place] == '\r' || text[place] == '\n'))
            ++place;
    }

    bool Literal(const char* word)
    {
        std::size_t length = std::strlen(word);
        if (text.compare(place, length, word) != 0)
            return Fail("unknown literal");
        place += length;
        return true;
    }

    bool Value(JsonValue& value, int depth)
    {
        if (depth > 64)
            return Fail("nesting too deep");
        if (place >= text.size())
            return Fail("unexpected end");
        char c = text[place];
        if (c == '{')
            return ObjectValue(value, depth);
        if (c == '[')
            return ArrayValue(value, depth);
        if (c == '"') {
            value.kind = JsonValue::String;
            return StringValue(value.text);
        }
        if (c == 't' || c == 'f') {
            value.kind = JsonValue::Bool;
            value.boolean = c == 't';
            return Literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            value.kind = JsonValue::Null;
            return Literal("null");
        }
        return NumberValue(value);
    }

    bool Digits()
    {
        std::size_t start = place;
        while (place < text.size() && text[place] >= '0' && text[place] <= '9')
            ++place;
        return place > start;
    }

    bool NumberValue(JsonValue& value)
    {
        std::size_t start = place;
        if (place < text.size() && text[place] == '-')
            ++place;
        if (place < text.size() && text[place] == '0')
            ++place;
        else if (!Digits())
            return Fail("bad number");
        if (place < text.size() && text[place] == '.') {
            ++place;
            if (!Digits())
                return Fail("bad fraction");
        }
        if (place < text.size() && (text[place] == 'e' || text[place] == 'E')) {
            ++place;
            if (place < text.size() && (text[place] == '+' || text[place] == '-'))
                ++place;
            if (!Digits())
                return Fail("bad exponent");
        }
        value.kind = JsonValue::Number;
        value.text = text.substr(start, place - start);
        return true;
    }

    int Hex4()
    {
        int result = 0;
        for (int k = 0; k < 4; ++k, ++place) {
            if (place >= text.size())
                return -1;
            char c = text[place];
            int digit = c >= '0' && c <= '9' ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
            if (digit < 0)
                return -1;
            result = result * 16 + digit;
        }
        return result;
    }

    bool StringValue(std::string& out)
    {
        ++place;  // the opening quote
        out.clear();
        while (true) {
            if (place >= text.size())
                return Fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(text[place]);
            if (c == '"') {
                ++place;
                return true;
            }
            if (c < 0x20)
                return Fail("raw control byte in a string");
            if (c == '\\') {
                if (++place >= text.size())
                    return Fail("unterminated escape");
                static const char Escapes[] = "\"\\/bfnrt";
                static const char Meanings[] = "\"\\/\b\f\n\r\t";
                char e = text[place++];
                const char* simple = std::strchr(Escapes, e);
                if (e == 'u') {
                    int code = Hex4();
                    if (code < 0)
                        return Fail("bad \\u escape");
                    if (code > 0xFF)
                        return Fail("a code point outside Latin-1");
                    out += static_cast<char>(code);
                } else if (simple != nullptr && e != '\0') {
                    out += Meanings[simple - Escapes];
                } else {
                    return Fail("unknown escape");
                }
            } else if (c < 0x80) {
                out += static_cast<char>(c);
                ++place;
            } else {
                // Only two-byte sequences can hold U+0080..U+00FF; C2 and C3 lead them.
                if (c != 0xC2 && c != 0xC3)
                    return Fail("UTF-8 outside Latin-1 or malformed");
                if (place + 1 >= text.size())
                    return Fail("truncated UTF-8");
                unsigned char next = static_cast<unsigned char>(text[place + 1]);
                if ((next & 0xC0) != 0x80)
                    return Fail("malformed UTF-8");
                out += static_cast<char>(((c & 0x1F) << 6) | (next & 0x3F));
                place += 2;
            }
        }
    }

    bool ArrayValue(JsonValue& value, int depth)
    {
        value.kind = JsonValue::Array;
        ++place;
        SkipSpace();
        if (place < text.size() && text[place] == ']') {
            ++place;
            return true;
        }
        while (true) {
            SkipSpace();
            value.items.emplace_back();
            if (!Value(value.items.back(), depth + 1))
                return false;
            SkipSpace();
            if (place >= text.size())
                return Fail("unterminated array");
            char c = text[place++];
            if (c == ']')
                return true;
            if (c != ',')
                return Fail("expected , or ]");
        }
    }

    bool ObjectValue(JsonValue& value, int depth)
    {
        value.kind = JsonValue::Object;
        ++place;
        SkipSpace();
        if (place < text.size() && text[place] == '}') {
            ++place;
            return true;
        }
        while (true) {
            SkipSpace();
            if (place >= text.size() || text[place] != '"')
                return Fail("expected a key");
            std::string key;
            if (!StringValue(key))
                return false;
            SkipSpace();
            if (place >= text.size() || text[place++] != ':')
                return Fail("expected :");
            SkipSpace();
            value.members.emplace_back(key, JsonValue());
            if (!Value(value.members.back().second, depth + 1))
                return false;
            SkipSpace();
            if (place >= text.size())
                return Fail("unterminated object");
            char c = text[place++];
            if (c == '}')
                return true;
            if (c != ',')
                return Fail("expected , or }");
        }
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
