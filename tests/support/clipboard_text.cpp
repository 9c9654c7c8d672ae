#include "test_support/clipboard_text.h"

namespace {

// The text of one format, as char for CF_TEXT and wchar_t for CF_UNICODETEXT.
template <typename Char>
std::basic_string<Char> Read(UINT format)
{
    std::basic_string<Char> text;
    if (!OpenClipboardPatiently())
        return text;
    HANDLE data = GetClipboardData(format);
    if (const Char* chars = data != 0 ? static_cast<const Char*>(GlobalLock(data)) : nullptr) {
        text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

}  // namespace

bool OpenClipboardPatiently()
{
    for (int attempt = 0; attempt < 50; ++attempt, Sleep(20))
        if (OpenClipboard(0))
            return true;
    return false;
}

std::string ClipboardText()
{
    return Read<char>(CF_TEXT);
}

std::wstring ClipboardWideText()
{
    return Read<wchar_t>(CF_UNICODETEXT);
}

bool EmptyTheClipboard()
{
    if (!OpenClipboardPatiently())
        return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}
