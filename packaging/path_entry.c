/* The installer's PATH helper: adds the program folder to the machine's PATH, or takes exactly
 * that entry out again, every other entry left as it was, byte for byte.
 *   path_entry add DIR      exit 0: added, 1: DIR was there already, 2: failed
 *   path_entry remove DIR   exit 0: removed, 1: DIR was not there, 2: failed
 * A program, not NSIS script: NSIS strings hold 1,024 characters and a PATH can be far longer,
 * and the System plugin would have to split and join it with raw memory calls. Here the value
 * is read whole, whatever its length, and written back with its own type (REG_EXPAND_SZ keeps
 * %SystemRoot% and the like unexpanded). Then running programs are told the environment
 * changed. A window program, so that the installer's ExecWait shows no console. */
#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

static const wchar_t EnvironmentKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

enum { Changed = 0, Unchanged = 1, Failed = 2 };

/* An entry names DIR when it is DIR in any case, with or without one trailing backslash. */
static int NamesFolder(const wchar_t* entry, size_t length, const wchar_t* dir, size_t dirLength)
{
    if (length > 0 && entry[length - 1] == L'\\')
        length--;
    if (dirLength > 0 && dir[dirLength - 1] == L'\\')
        dirLength--;
    return length > 0 && length == dirLength &&
           CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, entry, (int)length, dir, (int)dirLength) ==
               CSTR_EQUAL;
}

/* The value as stored, without its terminators, in a buffer with room for DIR and two more
 * characters; no value is an empty REG_EXPAND_SZ one. NULL when it cannot be read or is not
 * a string. */
static wchar_t* ReadPath(HKEY key, DWORD* type, size_t* chars, size_t room)
{
    DWORD bytes = 0;
    LONG result = RegQueryValueExW(key, L"Path", NULL, type, NULL, &bytes);
    if (result == ERROR_FILE_NOT_FOUND) {
        *type = REG_EXPAND_SZ;
        bytes = 0;
    } else if (result != ERROR_SUCCESS || (*type != REG_SZ && *type != REG_EXPAND_SZ)) {
        return NULL;
    }
    for (;;) {
        DWORD got = bytes;
        size_t length;
        wchar_t* text = malloc(bytes + (room + 3) * sizeof(wchar_t));
        if (text == NULL)
            return NULL;
        if (bytes > 0) {
            result = RegQueryValueExW(key, L"Path", NULL, type, (BYTE*)text, &got);
            if (result == ERROR_MORE_DATA) { /* it grew in between */
                free(text);
                bytes = got;
                continue;
            }
            if (result != ERROR_SUCCESS) {
                free(text);
                return NULL;
            }
        }
        length = got / sizeof(wchar_t);
        while (length > 0 && text[length - 1] == L'\0')
            length--;
        text[length] = L'\0';
        *chars = length;
        return text;
    }
}

/* The last entry that names DIR: its start and end (the ';' after it, or the end). */
static int FindEntry(const wchar_t* path, size_t length, const wchar_t* dir, size_t* start, size_t* end)
{
    size_t dirLength = wcslen(dir), from = 0;
    int found = 0;
    while (from <= length) {
        size_t to = from;
        while (to < length && path[to] != L';')
            to++;
        if (NamesFolder(path + from, to - from, dir, dirLength)) {
            *start = from;
            *end = to;
            found = 1;
        }
        from = to + 1;
    }
    return found;
}

static int Edit(int add, const wchar_t* dir)
{
    HKEY key;
    DWORD type;
    size_t length, start, end, dirLength = wcslen(dir);
    wchar_t* path;
    int outcome = Unchanged;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, EnvironmentKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return Failed;
    path = ReadPath(key, &type, &length, dirLength);
    if (path == NULL) {
        RegCloseKey(key);
        return Failed;
    }
    if (add && !FindEntry(path, length, dir, &start, &end)) {
        /* "A;B" becomes "A;B;DIR", "A;B;" becomes "A;B;DIR;": taking DIR out with the ';'
         * before it gives back the value as it was. */
        int closed = length > 0 && path[length - 1] == L';';
        if (length > 0 && !closed)
            path[length++] = L';';
        memcpy(path + length, dir, dirLength * sizeof(wchar_t));
        length += dirLength;
        if (closed)
            path[length++] = L';';
        outcome = Changed;
    } else if (!add && FindEntry(path, length, dir, &start, &end)) {
        /* The entry with the ';' before it, or the one after it when it is the first. */
        if (start > 0)
            start--;
        else if (end < length)
            end++;
        memmove(path + start, path + end, (length - end) * sizeof(wchar_t));
        length -= end - start;
        outcome = Changed;
    }
    if (outcome == Changed) {
        path[length] = L'\0';
        if (RegSetValueExW(key, L"Path", 0, type, (const BYTE*)path,
                           (DWORD)((length + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
            outcome = Failed;
    }
    free(path);
    RegCloseKey(key);
    if (outcome == Changed) {
        /* Explorer rereads the environment, so that a console started from it finds the tool. */
        DWORD_PTR ignored;
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)L"Environment",
                            SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    return outcome;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show)
{
    int count, outcome = Failed;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    (void)instance, (void)previous, (void)commandLine, (void)show;
    if (arguments != NULL && count == 3 && arguments[2][0] != L'\0' && wcschr(arguments[2], L';') == NULL) {
        if (wcscmp(arguments[1], L"add") == 0)
            outcome = Edit(1, arguments[2]);
        else if (wcscmp(arguments[1], L"remove") == 0)
            outcome = Edit(0, arguments[2]);
    }
    LocalFree(arguments);
    return outcome;
}
