// The board's names as clipboard text.
#pragma once
#include <windows.h>

#include <string>

#include <norvathel/name_composer.h>

// The name that entry `index` shows, or null when its plate shows none: an absent (null)
// entry, an empty one, or an index off the board.
const char* ShownName(const norvathel::NameList& names, int index);

// The shown names in board order, entry 0 first, with CR LF between them and none after.
std::string BoardText(const norvathel::NameList& names);

// Replaces the clipboard's contents with the 8-bit text as CF_TEXT and, converted from the ANSI
// code page, as CF_UNICODETEXT. False when the clipboard stays busy, memory runs out or the
// clipboard refuses a format.
bool CopyText(HWND owner, const std::string& text);

// Copies every shown name of BoardNames; false, leaving the clipboard alone, when none is shown.
bool CopyAllNames(HWND owner);
