// A small, strict JSON reader for checking the tool's documents: RFC 8259 syntax, strings
// decoded to Latin-1 bytes (a code point above 255 is refused, as is malformed UTF-8).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    std::string text;  // String: the decoded bytes; Number: the literal as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member with that key, or null when there is none.
    const JsonValue* Find(const std::string& key) const;
};

// Reads one document that fills the whole text (whitespace around it allowed). False, with
// problem set, when the text is not valid JSON or holds text outside Latin-1.
bool ReadJson(const std::string& text, JsonValue& value, std::string& problem);
