// A small, strict reader for the JSON the tool writes: objects, arrays, strings, unsigned
// integers, true and false, whitespace between them. Whatever it accepts is valid JSON (RFC 8259). Strings are
// decoded to Latin-1 bytes; a code point above 255 or malformed UTF-8 is refused.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum Kind { Number, Boolean, String, Array, Object } kind = Number;
    std::string text;  // String: the decoded bytes; Number, Boolean: as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member with that key, or null when there is none.
    const JsonValue* Find(const std::string& key) const;
};

// Reads one document that fills the whole text. False, with problem set, otherwise.
bool ReadJson(const std::string& text, JsonValue& value, std::string& problem);
