#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <norvathel/additive_random.h>
#include "shell/program_state.h"
#include "test_support/gdi_test_support.h"

using namespace norvathel;

namespace {

using Names = std::vector<std::string>;

Names Current()
{
    Names names;
    for (int index = 0; index < NamesPerBoard; ++index)
        names.push_back(BoardNames[index] != nullptr ? BoardNames[index] : "");
    return names;
}

Names Expected(AdditiveRandom random, Gender gender, const char* prefix)
{
    NameList list;
    Compose(random, gender, prefix, list);
    Names names;
    for (int index = 0; index < NamesPerBoard; ++index)
        names.push_back(list[index]);
    return names;
}

// Takes what is waiting in the thread's queue; true when a WM_QUIT was among it.
bool QuitPosted()
{
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
        quit = quit || message.message == WM_QUIT;
    return quit;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = CreateTestWindow(MainWindowProc);
        ASSERT_NE(window, nullptr) << "no window: the Windows tests need a display (xvfb-run)";
        SharedRandom.Seed(1000000000);
        QuitPosted();
    }
    void TearDown() override
    {
        BoardNames.Release();
        DestroyWindow(window);  // WM_DESTROY posts a quit: take it off the queue
        QuitPosted();
    }
    void Command(WORD code, WORD id)
    {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), 0);
    }
    HWND window = 0;
};

TEST_F(MainWindowTest, CreatesThreeControlsInPlace)
{
    EXPECT_EQ(GetDlgItem(window, IDC_MALE), MaleButton);
    EXPECT_EQ(GetDlgItem(window, IDC_FEMALE), FemaleButton);
    EXPECT_EQ(GetDlgItem(window, IDC_PREFIX), PrefixEdit);
    for (const ControlLayout& expected : MainControls) {
        HWND control = GetDlgItem(window, expected.id);
        ASSERT_NE(control, nullptr) << expected.id;
        char text[64] = {}, className[32] = {};
        GetWindowTextA(control, text, sizeof text);
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(text, expected.text);
        EXPECT_STRCASEEQ(className, expected.className);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(0, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, expected.place.left) << expected.id;
        EXPECT_EQ(place.top, expected.place.top) << expected.id;
        EXPECT_EQ(place.right, expected.place.right) << expected.id;
        EXPECT_EQ(place.bottom, expected.place.bottom) << expected.id;
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_TRUE(style & WS_CHILD);
    }
    EXPECT_FALSE(GetWindowLongA(PrefixEdit, GWL_STYLE) & ES_AUTOHSCROLL);
}

TEST_F(MainWindowTest, ButtonsComposeBoardsOfTheirGender)
{
    AdditiveRandom before = SharedRandom;
    Command(BN_CLICKED, IDC_FEMALE);
    EXPECT_EQ(Current(), Expected(before, Female, ""));

    before = SharedRandom;
    Command(BN_CLICKED, IDC_MALE);
    EXPECT_EQ(Current(), Expected(before, Male, ""));

    // A real click on the button sends the same command.
    before = SharedRandom;
    SendMessageA(FemaleButton, BM_CLICK, 0, 0);
    EXPECT_EQ(Current(), Expected(before, Female, ""));
}

TEST_F(MainWindowTest, TypedPrefixStartsEveryNameOfTheNextBoard)
{
    for (char c : std::string("ka"))
        SendMessageA(PrefixEdit, WM_CHAR, static_cast<WPARAM>(c), 1);
    AdditiveRandom before = SharedRandom;
    Command(BN_CLICKED, IDC_MALE);
    Names names = Current();
    EXPECT_EQ(names, Expected(before, Male, "ka"));
    for (const std::string& name : names)
        EXPECT_EQ(name.compare(0, 2, "Ka"), 0) << name;
}

TEST_F(MainWindowTest, LongPrefixIsReadUpTo31Bytes)
{
    const std::string text(40, 'b');
    SetWindowTextA(PrefixEdit, text.c_str());
    AdditiveRandom before = SharedRandom;
    Command(BN_CLICKED, IDC_FEMALE);
    EXPECT_EQ(Current(), Expected(before, Female, text.substr(0, 31).c_str()));
}

TEST_F(MainWindowTest, OtherCommandsAndNotificationsDoNothing)
{
    AdditiveRandom before = SharedRandom;
    Command(BN_CLICKED, IDC_FEMALE);
    Names board = Current();
    AdditiveRandom after = SharedRandom;
    for (WORD id : {WORD(IDC_MALE), WORD(IDC_FEMALE), WORD(IDC_PREFIX), WORD(99)}) {
        EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 1), 0), 0);
        EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), 0), 0);
    }
    Command(BN_CLICKED, IDC_PREFIX);
    EXPECT_EQ(Current(), board);
    EXPECT_EQ(SharedRandom.Next(), after.Next());  // nothing drew from the generator
    (void)before;
}

TEST_F(MainWindowTest, EscapeAndCloseQuitWithCodeZeroAndKeepTheWindow)
{
    EXPECT_EQ(SendMessageA(window, WM_KEYDOWN, 'A', 0), 0);
    EXPECT_FALSE(QuitPosted());

    EXPECT_EQ(SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);

    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(QuitPosted());
    EXPECT_TRUE(IsWindow(window));  // closing leaves the window to the process's end
}

}  // namespace
