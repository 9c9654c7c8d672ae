// The texts of single arguments: numbers, %XX escapes, --boards lists, and arguments quoted
// back in messages. Each parser says what is wrong in problem and leaves its result alone.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>

// One composition of a --boards list.
struct BoardRequest {
    norvathel::GenderChoice gender;          // Drawn for "start": drawn as at start-up
    char prefix[norvathel::PrefixCapacity];  // decoded, at most 31 bytes, NUL-terminated
};

// A decimal number from 0 to 2^64 - 1, digits only; false when empty, not a number or too big.
bool ParseUnsigned(const char* text, std::uint64_t& value);

// Decodes "%XX" escapes: each is the byte with hex value XX, other bytes stand for themselves.
// False, with problem set, on a malformed escape or on "%00".
bool DecodeEscapes(const char* text, std::size_t length, std::string& decoded, std::string& problem);

// Decodes a --boards prefix as DecodeEscapes does and keeps its first 31 bytes.
bool DecodePrefix(const char* text, std::size_t length, char (&prefix)[norvathel::PrefixCapacity],
                  std::string& problem);

// Parses a --boards list: start, male, female, male:PREFIX, female:PREFIX, separated by
// commas. False, with problem set, when the list or one of its items is malformed.
bool ParseBoardList(const char* list, std::vector<BoardRequest>& boards, std::string& problem);

// A command-line text made safe for a one-line message: quoted, control bytes as \xNN,
// long texts cut.
std::string Quoted(const char* text);
// The whole text with its control bytes written as \xNN, so that no file name or line can
// drive the terminal a message is read on.
std::string EscapedControls(const char* text);
