// Drives the real program from outside, inside the same Wine prefix (or on Windows):
//   gui_harness PROGRAM.exe WORKDIR escape|close
// Starts PROGRAM in WORKDIR, checks the window and its controls, then replays the session
// with the composer and compares the rendered board with what the program shows: the seed
// is the start-up second, which the harness brackets. Copies names out through the
// right-click menu and Ctrl+C, given as real input, and reads them back from the clipboard.
// Ends the program with Escape or the close box and checks the exit code is 0.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include <norvathel/name_composer.h>
#include "paint/name_board.h"
#include "paint/window_surface.h"
#include "resources/resource.h"
#include "shell/window_layout.h"
#include "test_support/clipboard_text.h"
#include "test_support/gdi_test_support.h"

using norvathel::AdditiveRandom;
using norvathel::Female;
using norvathel::Gender;
using norvathel::Male;

namespace {

int Failures = 0;

void Check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok)
        ++Failures;
}

// The board area: everything above the controls (the heading, the plates and the names).
const int BoardAreaHeight = 175;

// What the program shows, read from its window's device context (PrintWindow comes back
// black across processes under Wine).
Capture GrabProgram(HWND program, int width)
{
    HDC dc = GetDC(program);
    Capture shown = CaptureDC(dc, width, BoardAreaHeight);
    ReleaseDC(program, dc);
    return shown;
}

// The harness's own painter: a hidden window of the main window's size, the program's pictures
// and the board the harness expects.
WindowSurface Painter;
BoardPictures Pictures;
norvathel::NameList Expected;

// What the program should show for the expected board: drawn by the same painting code here.
Capture Render(int width)
{
    DrawFrame(SurfaceTarget(Painter), Pictures, Expected);
    return CaptureDC(Painter.MemoryDC(), width, BoardAreaHeight);
}

// Waits up to the timeout for the program to show the board that `compose` makes.
template <typename ComposeBoard>
bool ShowsBoard(HWND program, int width, ComposeBoard compose, DWORD timeoutMs = 5000)
{
    compose();
    Capture expected = Render(width);
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (GrabProgram(program, width).pixels == expected.pixels)
            return true;
        Sleep(50);
    }
    return false;
}

HWND WaitForWindow(DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND window = FindWindowA(MainClassName, MainCaption);
        if (window != 0 && IsWindowVisible(window))
            return window;
        Sleep(100);
    }
    return 0;
}

void CheckControl(HWND window, const ControlLayout& expected)
{
    HWND control = GetDlgItem(window, expected.id);
    char actualText[64] = {}, actualClass[32] = {};
    GetWindowTextA(control, actualText, sizeof actualText);
    GetClassNameA(control, actualClass, sizeof actualClass);
    RECT actual = {};
    GetWindowRect(control, &actual);
    MapWindowPoints(0, window, reinterpret_cast<POINT*>(&actual), 2);
    const RECT& place = expected.place;
    char what[160];
    std::snprintf(what, sizeof what, "control %d is a %s \"%s\" at %ld,%ld,%ld,%ld", expected.id,
                  expected.className, expected.text, place.left, place.top, place.right, place.bottom);
    Check(control != 0 && lstrcmpiA(actualClass, expected.className) == 0 &&
              std::strcmp(actualText, expected.text) == 0 && EqualRect(&actual, &place),
          what);
}

// A hidden window with the main window's style, so the local surface has the same client size.
bool PrepareLocalPainter()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "NorvathelHarness";
    RegisterClassExA(&windowClass);
    HWND local = CreateWindowExA(MainWindowExStyle, "NorvathelHarness", "harness", MainWindowStyle,
                                 0, 0, MainWindowWidth, MainWindowHeight, 0, 0,
                                 GetModuleHandleA(nullptr), nullptr);
    if (local == 0 || !Painter.Attach(local))
        return false;
    HINSTANCE self = GetModuleHandleA(nullptr);
    Pictures.plate = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_PLATE));
    Pictures.board = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_BOARD));
    Pictures.source = CreateCompatibleDC(Painter.MemoryDC());
    return Pictures.plate != 0 && Pictures.board != 0 && Pictures.source != 0;
}

// The clipboard's CF_TEXT, once it equals `expected` or the timeout has passed.
std::string ClipboardTextOnce(const std::string& expected, DWORD timeoutMs = 3000)
{
    std::string text = ClipboardText();
    for (DWORD waited = 0; waited < timeoutMs && text != expected; waited += 50) {
        Sleep(50);
        text = ClipboardText();
    }
    return text;
}

void Key(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void Click(HWND window, POINT client, DWORD down, DWORD up)
{
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = down;
    clicks[1].mi.dwFlags = up;
    SendInput(2, clicks, sizeof(INPUT));
}

void RightClick(HWND window, POINT client)
{
    Click(window, client, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

// A real left click on the centre of a control, which gives it the focus as a user's would.
void ClickControl(HWND control)
{
    RECT rect;
    GetClientRect(control, &rect);
    Click(control, POINT{rect.right / 2, rect.bottom / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

// Clicks are input, taken in the program's own time: waits until `control` has the focus.
bool HasFocusSoon(HWND control, DWORD timeoutMs = 3000)
{
    const DWORD thread = GetWindowThreadProcessId(control, nullptr);
    for (DWORD waited = 0; waited < timeoutMs; waited += 50, Sleep(50)) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus == control)
            return true;
    }
    return false;
}

void PressCtrlC()
{
    Key(VK_CONTROL, false);
    Key('C', false);
    Key('C', true);
    Key(VK_CONTROL, true);
}

// The board as Ctrl+C copies it: CR LF between the names.
std::string BoardText()
{
    std::string allTen;
    for (int index = 0; index < norvathel::NamesPerBoard; ++index)
        allTen += std::string(index > 0 ? "\r\n" : "") + Expected[index];
    return allTen;
}

bool PopupMenuShown(DWORD timeoutMs = 3000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50, Sleep(50)) {
        HWND menu = FindWindowA("#32768", nullptr);  // the system's popup menu class
        if (menu != 0 && IsWindowVisible(menu))
            return true;
    }
    return false;
}

// The program shows the Expected board and has had no other input.
void CheckCopies(HWND window)
{
    SetForegroundWindow(window);
    const int entry = 3;  // second row, left column
    RECT plate = PlateRect(entry);
    EmptyTheClipboard();
    RightClick(window, POINT{(plate.left + plate.right) / 2, (plate.top + plate.bottom) / 2});
    const bool menuShown = PopupMenuShown();
    Check(menuShown, "a right-click on a plate opens a menu");
    if (menuShown) {
        for (WORD key : {WORD(VK_DOWN), WORD(VK_RETURN)}) {  // the first item, "Copy <name>"
            Key(key, false);
            Key(key, true);
        }
    }
    Check(ClipboardTextOnce(Expected[entry]) == Expected[entry],
          "its first item puts the name of that plate on the clipboard");

    const std::string allTen = BoardText();
    EmptyTheClipboard();
    PressCtrlC();
    Check(ClipboardTextOnce(allTen) == allTen, "Ctrl+C puts all ten names on the clipboard, CR LF between");
}

// A real click leaves the focus on the button, and Ctrl+C still copies the board; in the edit
// box Ctrl+C copies its selection, as edit boxes do. The edit box holds "ka".
void CheckCopiesAfterClicks(HWND window, int width, AdditiveRandom& random)
{
    SetForegroundWindow(window);
    HWND button = GetDlgItem(window, IDC_FEMALE);
    ClickControl(button);
    Check(HasFocusSoon(button), "a real click leaves the focus on the button");
    Check(ShowsBoard(window, width, [&] { norvathel::Compose(random, Female, "ka", Expected); }),
          "a real click on \"Generate Female Names\" shows the next female board");
    const std::string allTen = BoardText();
    EmptyTheClipboard();
    PressCtrlC();
    Check(ClipboardTextOnce(allTen) == allTen, "after a button press, Ctrl+C still copies all ten names");

    HWND edit = GetDlgItem(window, IDC_PREFIX);
    ClickControl(edit);
    Check(HasFocusSoon(edit), "a click in the edit box gives it the focus");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    EmptyTheClipboard();
    PressCtrlC();
    Check(ClipboardTextOnce("ka") == "ka", "in the edit box, Ctrl+C copies the selected text");
}

// Finds the start-up second in [first, last] whose first board the program shows.
bool FindSeed(HWND program, int width, std::time_t first, std::time_t last, AdditiveRandom& random)
{
    for (DWORD waited = 0; waited < 8000; waited += 100) {
        Capture shown = GrabProgram(program, width);
        for (std::time_t second = first; second <= last; ++second) {
            AdditiveRandom candidate;
            candidate.Seed(static_cast<std::uint64_t>(second));
            Gender gender = norvathel::DrawStartGender(candidate);
            norvathel::Compose(candidate, gender, "", Expected);
            if (Render(width).pixels == shown.pixels) {
                random = candidate;
                std::printf("      start-up second %lld, first board %s\n", static_cast<long long>(second),
                            gender == Male ? "male" : "female");
                return true;
            }
        }
        Sleep(100);
        last = std::time(nullptr);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || (std::strcmp(argv[3], "escape") != 0 && std::strcmp(argv[3], "close") != 0)) {
        std::fprintf(stderr, "usage: gui_harness PROGRAM.exe WORKDIR escape|close\n");
        return 2;
    }
    const bool byEscape = std::strcmp(argv[3], "escape") == 0;
    if (!PrepareLocalPainter()) {
        std::printf("FAIL: cannot prepare the local painter (no display?)\n");
        return 1;
    }

    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const std::time_t started = std::time(nullptr);
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, argv[2], &startup,
                        &process)) {
        std::printf("FAIL: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }

    HWND window = WaitForWindow(20000);
    Check(window != 0, "the window \"Norvathel\" of class \"Norvathel\" appears");
    if (window != 0) {
        RECT outer;
        GetWindowRect(window, &outer);
        Check(outer.right - outer.left == MainWindowWidth && outer.bottom - outer.top == MainWindowHeight,
              "outer size as laid out");
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        Check((style & MainWindowStyle) == LONG(MainWindowStyle) && !(style & (WS_THICKFRAME | WS_MAXIMIZEBOX)),
              "caption, system menu, minimise box; no sizing border, no maximise box");
        for (const ControlLayout& control : MainControls)
            CheckControl(window, control);

        RECT client;
        GetClientRect(window, &client);
        const int width = client.right;
        Check(width == Painter.ClientWidth(), "the same client size as the local painter");

        AdditiveRandom random;
        const bool seeded = FindSeed(window, width, started - 1, std::time(nullptr), random);
        Check(seeded, "the first board is the one composed from the start-up second");
        if (seeded) {
            CheckCopies(window);
            SendMessageA(GetDlgItem(window, IDC_FEMALE), BM_CLICK, 0, 0);
            Check(ShowsBoard(window, width, [&] { norvathel::Compose(random, Female, "", Expected); }),
                  "\"Generate Female Names\" shows the next female board");
            SendMessageA(GetDlgItem(window, IDC_MALE), BM_CLICK, 0, 0);
            Check(ShowsBoard(window, width, [&] { norvathel::Compose(random, Male, "", Expected); }),
                  "\"Generate Male Names\" shows the next male board");
            HWND edit = GetDlgItem(window, IDC_PREFIX);
            SendMessageA(edit, WM_CHAR, 'k', 1);
            SendMessageA(edit, WM_CHAR, 'a', 1);
            Sleep(200);
            Check(ShowsBoard(window, width, [] {}, 500), "typing alone changes nothing");
            SendMessageA(GetDlgItem(window, IDC_MALE), BM_CLICK, 0, 0);
            Check(ShowsBoard(window, width, [&] { norvathel::Compose(random, Male, "ka", Expected); }),
                  "the typed text starts every name of the next board");
            CheckCopiesAfterClicks(window, width, random);
        }
        if (byEscape)
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        else
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }

    DWORD exitCode = 259;
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &exitCode);
    char what[80];
    std::snprintf(what, sizeof what, "%s ends the program with exit code 0 (got %lu)",
                  byEscape ? "Escape" : "The close box", exitCode);
    Check(exitCode == 0, what);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("%d failed\n", Failures);
    return Failures == 0 ? 0 : 1;
}
