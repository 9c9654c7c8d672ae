// Copying names out of the main window: the menu a plate offers, Ctrl+C and the text that
// reaches the clipboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "paint/name_board.h"
#include "shell/board_clipboard.h"
#include "shell/copy_commands.h"
#include "shell/main_window.h"
#include "shell/program_state.h"
#include "test_support/clipboard_text.h"
#include "test_support/gdi_test_support.h"

namespace {

using norvathel::NamesPerBoard;

// Entry 2 is absent and entry 4 empty; entry 1 has a byte above 127 and entry 3 an ampersand,
// which a menu would otherwise take for an underline.
const char* const KnownBoard[NamesPerBoard] = {"Aveth", "Br\xE9nna", nullptr, "Ka&rel", "",
                                               "Oswin", "Ilse", "Tamsin", "Ulric", "Wenna"};
const char KnownText[] = "Aveth\r\nBr\xE9nna\r\nKa&rel\r\nOswin\r\nIlse\r\nTamsin\r\nUlric\r\nWenna";
// The same in Windows-1252, the ANSI code page of an English system.
const wchar_t KnownWideText[] =
    L"Aveth\r\nBr\u00E9nna\r\nKa&rel\r\nOswin\r\nIlse\r\nTamsin\r\nUlric\r\nWenna";

struct MenuItem {
    std::string text;
    UINT id;
    bool operator==(const MenuItem& other) const { return text == other.text && id == other.id; }
};

// The replaceable menu step: records what it was shown and answers with a preset command.
std::vector<MenuItem> ShownItems;
POINT ShownAt;
int MenusShown;
UINT Answer;

UINT RecordMenu(HMENU menu, HWND, POINT screen)
{
    ++MenusShown;
    ShownAt = screen;
    ShownItems.clear();
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        char text[128] = {};
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        ShownItems.push_back({text, GetMenuItemID(menu, position)});
    }
    return Answer;
}

char* Duplicate(const char* text)
{
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    std::strcpy(copy, text);
    return copy;
}

const MenuItem CopyAll = {"Copy all ten names", IDM_COPY_ALL};

class CopyNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = CreateTestWindow(MainWindowProc);
        ASSERT_NE(window, nullptr) << "no window: the Windows tests need a display (xvfb-run)";
        for (int index = 0; index < NamesPerBoard; ++index)
            BoardNames.Store(index, KnownBoard[index] != nullptr ? Duplicate(KnownBoard[index]) : nullptr);
        ChooseMenuCommand = RecordMenu;
        MenusShown = 0;
        Answer = 0;
    }
    void TearDown() override
    {
        ChooseMenuCommand = chooseBefore;
        BoardNames.Release();
        DestroyWindow(window);
        MSG message;  // WM_DESTROY posted a quit
        while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
        }
    }
    POINT OnScreen(POINT client) const
    {
        ClientToScreen(window, &client);
        return client;
    }
    void RightClick(POINT client, HWND target = 0)
    {
        POINT screen = OnScreen(client);
        SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target != 0 ? target : window),
                     MAKELPARAM(screen.x, screen.y));
    }
    static POINT PlateCentre(int index)
    {
        RECT plate = PlateRect(index);
        return POINT{(plate.left + plate.right) / 2, (plate.top + plate.bottom) / 2};
    }
    HWND window = 0;
    UINT (*chooseBefore)(HMENU, HWND, POINT) = ChooseMenuCommand;
};

TEST(ShownName, AnEntryIsShownUnlessItIsAbsentOrEmpty)
{
    // Decided from the entry, not from its text: a name reading like the painting's placeholder
    // for an absent entry is a name all the same.
    const char* const entries[NamesPerBoard] = {"(null)", nullptr, "", "Glicia", "(null)",
                                                nullptr,  "x",     "", nullptr,  "Ilse"};
    norvathel::NameList names;
    for (int index = 0; index < NamesPerBoard; ++index)
        names.Store(index, entries[index] != nullptr ? Duplicate(entries[index]) : nullptr);
    for (int index = 0; index < NamesPerBoard; ++index) {
        const char* shown = ShownName(names, index);
        if (entries[index] == nullptr || entries[index][0] == '\0')
            EXPECT_EQ(shown, nullptr) << index;
        else
            EXPECT_EQ(shown, names[index]) << index;  // the entry itself, not a copy
    }
    EXPECT_EQ(ShownName(names, -1), nullptr);
    EXPECT_EQ(ShownName(names, NamesPerBoard), nullptr);
    EXPECT_EQ(BoardText(names), "(null)\r\nGlicia\r\n(null)\r\nx\r\nIlse");
}

TEST_F(CopyNamesTest, MenuOffersTheNameUnderThePointerAndAllTen)
{
    RightClick(PlateCentre(3));
    const std::vector<MenuItem> overName = {{"Copy Ka&&rel", IDM_COPY_NAME}, CopyAll};
    EXPECT_EQ(ShownItems, overName);
    const POINT expectedAt = OnScreen(PlateCentre(3));
    EXPECT_EQ(ShownAt.x, expectedAt.x);
    EXPECT_EQ(ShownAt.y, expectedAt.y);

    for (POINT elsewhere : {POINT{140, 100}, POINT{5, 5}, PlateCentre(2), PlateCentre(4)}) {
        RightClick(elsewhere);
        EXPECT_EQ(ShownItems, std::vector<MenuItem>{CopyAll}) << elsewhere.x << "," << elsewhere.y;
    }

    // Shift+F10 or the menu key: at the centre of the client area, naming no plate.
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
    EXPECT_EQ(ShownItems, std::vector<MenuItem>{CopyAll});
    RECT client;
    GetClientRect(window, &client);
    const POINT centre = OnScreen({client.right / 2, client.bottom / 2});
    EXPECT_EQ(ShownAt.x, centre.x);
    EXPECT_EQ(ShownAt.y, centre.y);

    // Passed up by a control: not the board's menu.
    const int shownBefore = MenusShown;
    RightClick(PlateCentre(3), MaleButton);
    EXPECT_EQ(MenusShown, shownBefore);
}

// The clipboard is one for the whole session, so these run one at a time (see CMakeLists.txt).
class ClipboardTest : public CopyNamesTest {
protected:
    void SetUp() override
    {
        CopyNamesTest::SetUp();
        ASSERT_EQ(GetACP(), 1252u) << "the expected Unicode text is Windows-1252 widened";
        ASSERT_TRUE(EmptyTheClipboard());
    }
    static std::string Ansi() { return ClipboardText(); }
    static std::wstring Wide() { return ClipboardWideText(); }
    void KeyDown(WPARAM key, bool control)
    {
        BYTE keys[256] = {};
        keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageA(window, WM_KEYDOWN, key, 1);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        SetKeyboardState(keys);
    }
};

TEST_F(ClipboardTest, CtrlCAndTheMenuCopyTheShownNamesAsAnsiAndUnicodeText)
{
    KeyDown('C', false);
    EXPECT_EQ(Ansi(), "");

    KeyDown('C', true);
    EXPECT_EQ(Ansi(), KnownText);
    EXPECT_EQ(Wide(), KnownWideText);

    Answer = IDM_COPY_NAME;
    RightClick(PlateCentre(1));
    EXPECT_EQ(Ansi(), "Br\xE9nna");
    EXPECT_EQ(Wide(), L"Br\u00E9nna");

    Answer = IDM_COPY_ALL;
    RightClick(PlateCentre(3));
    EXPECT_EQ(Ansi(), KnownText);

    // A board of absent names has nothing to copy and leaves the clipboard alone.
    BoardNames.Release();
    KeyDown('C', true);
    EXPECT_EQ(Ansi(), KnownText);
}

TEST_F(ClipboardTest, AClipboardHeldElsewhereIsGivenUpSoon)
{
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool held = false;
    std::thread holder([&] {
        held = OpenClipboard(0) != FALSE;
        SetEvent(opened);
        WaitForSingleObject(release, 5000);
        if (held)
            CloseClipboard();
    });
    WaitForSingleObject(opened, 5000);
    const DWORD start = GetTickCount();
    KeyDown('C', true);
    const DWORD waited = GetTickCount() - start;
    SetEvent(release);
    holder.join();
    CloseHandle(release);
    CloseHandle(opened);
    ASSERT_TRUE(held);
    EXPECT_LT(waited, 1000u);
    EXPECT_EQ(Ansi(), "");  // nothing half-written
    KeyDown('C', true);     // and the next copy works
    EXPECT_EQ(Ansi(), KnownText);
}

}  // namespace
