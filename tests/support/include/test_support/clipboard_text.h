// The clipboard read back by the tests: one reader for the in-process tests and the end-to-end
// harness alike.
#pragma once
#include <windows.h>

#include <string>

// Opens the clipboard for this thread, trying for about a second while another holds it.
bool OpenClipboardPatiently();
// The clipboard's text as CF_TEXT and as CF_UNICODETEXT; empty when the clipboard cannot be
// opened or holds no text of that format.
std::string ClipboardText();
std::wstring ClipboardWideText();
// Empties the clipboard; false when it cannot be opened.
bool EmptyTheClipboard();
