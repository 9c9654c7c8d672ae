#include "shell/board_clipboard.h"

#include <cstring>

#include "shell/program_state.h"

using norvathel::NameList;
using norvathel::NamesPerBoard;

namespace {

// Another program may hold the clipboard for a moment; waiting longer would stall the window.
const int OpenAttempts = 10;
const DWORD OpenRetryMs = 20;

// The clipboard takes only movable global memory.
HGLOBAL AnsiBlock(const std::string& text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block == 0)
        return 0;
    void* bytes = GlobalLock(block);
    if (bytes == nullptr) {
        GlobalFree(block);
        return 0;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return block;
}

// The same text widened from the ANSI code page the names are drawn in, so that a program
// reading Unicode sees the characters the board shows.
HGLOBAL WideBlock(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length) * sizeof(WCHAR));
    if (block == 0)
        return 0;
    WCHAR* wide = static_cast<WCHAR*>(GlobalLock(block));
    const int written = wide != nullptr ? MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, length) : 0;
    if (wide != nullptr)
        GlobalUnlock(block);
    if (written != length) {
        GlobalFree(block);
        return 0;
    }
    return block;
}

bool OpenClipboardSoon(HWND owner)
{
    for (int attempt = 0; attempt < OpenAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(OpenRetryMs);
        if (OpenClipboard(owner))
            return true;
    }
    return false;
}

}  // namespace

const char* ShownName(const NameList& names, int index)
{
    if (index < 0 || index >= NamesPerBoard)
        return nullptr;
    // An absent entry is decided by its pointer: whatever the painting shows in its place is
    // the painting's placeholder, not a name, while a composed name is copied whatever it reads.
    const char* name = names[index];
    return name != nullptr && name[0] != '\0' ? name : nullptr;
}

std::string BoardText(const NameList& names)
{
    std::string text;
    for (int index = 0; index < NamesPerBoard; ++index) {
        const char* name = ShownName(names, index);
        if (name == nullptr)
            continue;
        if (!text.empty())
            text += "\r\n";
        text += name;
    }
    return text;
}

bool CopyText(HWND owner, const std::string& text)
{
    // Both blocks are made before the clipboard is opened, so that running out of memory
    // leaves the clipboard's old contents in place.
    HGLOBAL ansi = AnsiBlock(text);
    HGLOBAL wide = WideBlock(text);
    bool copied = false;
    if (ansi != 0 && wide != 0 && OpenClipboardSoon(owner)) {
        EmptyClipboard();
        // A block the clipboard accepts is the clipboard's from then on.
        if (SetClipboardData(CF_TEXT, ansi) != 0)
            ansi = 0;
        if (SetClipboardData(CF_UNICODETEXT, wide) != 0)
            wide = 0;
        copied = ansi == 0 && wide == 0;
        CloseClipboard();
    }
    if (wide != 0)
        GlobalFree(wide);
    if (ansi != 0)
        GlobalFree(ansi);
    return copied;
}

bool CopyAllNames(HWND owner)
{
    const std::string text = BoardText(BoardNames);
    return !text.empty() && CopyText(owner, text);
}
