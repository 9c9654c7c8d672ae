// The tool's text at the edges of the system: files named in UTF-8, and on Windows the
// command line and the console.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "text/utf8_files.h"
#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "windows_text.h"
#endif

namespace {

// "Åsa-Кира.txt": a name outside every single-byte code page.
const char Utf8Name[] = "\xC3\x85sa-\xD0\x9A\xD0\xB8\xD1\x80\xD0\xB0.txt";

std::FILE* CreateWithPlatformName()
{
#ifdef _WIN32
    return _wfopen(L"\u00C5sa-\u041A\u0438\u0440\u0430.txt", L"wb");
#else
    return std::fopen(Utf8Name, "wb");
#endif
}

TEST(Utf8Files, OpensAFileByItsUtf8Name)
{
    std::FILE* made = CreateWithPlatformName();
    ASSERT_NE(made, nullptr);
    std::fputs("keys\r\n", made);
    std::fclose(made);

    std::FILE* opened = norvathel::OpenFileForReading(Utf8Name);
    ASSERT_NE(opened, nullptr);
    char text[16] = {};
    std::size_t got = std::fread(text, 1, sizeof text - 1, opened);
    std::fclose(opened);
    std::remove(Utf8Name);
    EXPECT_EQ(std::string(text, got), "keys\r\n");  // binary: the bytes as written
}

TEST(Utf8Files, ReportsAMissingFile)
{
    EXPECT_EQ(norvathel::OpenFileForReading("no such file \xC3\x85.txt"), nullptr);
}

#ifdef _WIN32
bool StartsCharacter(unsigned char byte) { return (byte & 0xC0) != 0x80; }

TEST(WindowsText, ACutInsideACharacterWaitsForTheRest)
{
    // One-, two-, three- and four-byte characters: "aé€😀".
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        std::size_t whole = WholeUtf8Length(text.data(), cut);
        bool onBoundary = cut == text.size() || StartsCharacter(static_cast<unsigned char>(text[cut]));
        EXPECT_LE(whole, cut);
        EXPECT_LT(cut - whole, 4u);
        EXPECT_TRUE(whole == text.size() || StartsCharacter(static_cast<unsigned char>(text[whole])));
        if (onBoundary)
            EXPECT_EQ(whole, cut) << "cut at " << cut;
        else
            EXPECT_LT(whole, cut) << "cut at " << cut;
    }
}

std::string InAnsi(const wchar_t* text)
{
    char bytes[64] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

TEST(WindowsText, OnlyReplayValuesGoToTheAnsiCodePage)
{
    std::vector<std::string> arguments = {
        "norvathel-names", "--prefix", "\xC3\x85l", "--boards", "male:\xC3\x85l,female:\xD0\x96",
        "--boards=female:\xC3\x85"};
    ReplayValuesInAnsi(arguments);
    EXPECT_EQ(arguments[2], "\xC3\x85l");  // --prefix stays UTF-8
    EXPECT_EQ(arguments[4], InAnsi(L"male:\u00C5l,female:\u0416"));
    EXPECT_EQ(arguments[5], "--boards=" + InAnsi(L"female:\u00C5"));
}

// What the relay writes, read back from a console of this process's own (under Wine, a
// console needs the display the Windows tests run on).
TEST(WindowsText, AConsoleShowsTheNamesAsWritten)
{
    // A console of the test's own: a test runner's console, where there is one, is left alone.
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << "error " << GetLastError();
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    DWORD mode = 0;
    ASSERT_TRUE(GetConsoleMode(screen, &mode)) << "error " << GetLastError();
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(screen), 0);
    ASSERT_GE(descriptor, 0);
    std::FILE* console = _fdopen(descriptor, "wb");
    ASSERT_NE(console, nullptr);
    {
        ConsoleRelay relay(console);
        ASSERT_NE(relay.stream(), console) << "a console is not relayed";
        // Written in pieces that cut characters apart, as a buffered writer may.
        const std::string names = "\xC3\x85legot \xD0\x96\xD1\x83\xD0\xB9yt";
        for (char byte : names) {
            std::fputc(byte, relay.stream());
            std::fflush(relay.stream());
        }
        EXPECT_TRUE(relay.Finish());
    }
    wchar_t shown[32] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleOutputCharacterW(screen, shown, 12, COORD{0, 0}, &read));
    EXPECT_EQ(std::wstring(shown, read), L"\u00C5legot \u0416\u0443\u0439yt");
    std::fclose(console);
    FreeConsole();
}
#endif

}  // namespace
