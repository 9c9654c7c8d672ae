#include "name_finishing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace norvathel {

bool EndsInConsonant(const char* text)
{
    std::size_t length = std::strlen(text);
    if (length == 0)
        return false;
    switch (text[length - 1]) {
    case 'a': case 'e': case 'i': case 'o': case 'u':
    case 'A': case 'E': case 'I': case 'O': case 'U':
        return false;
    default:
        return true;
    }
}

void UpperCaseFirstLetter(char* text)
{
    // "&" and the byte after it form one code; skip whole codes, never past the end.
    char* place = text;
    while (*place == '&') {
        if (place[1] == '\0')
            return;
        place += 2;
    }
    if (*place >= 'a' && *place <= 'z')
        *place = static_cast<char>(*place - 32);
}

char* FinishName(const char* text)
{
    // Copy first and finish the copy, so that no fixed working buffer limits the length.
    char* name = DuplicateString(text);
    UpperCaseFirstLetter(name);
    return name;
}

char* DuplicateString(const char* text)
{
    std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::calloc(size, 1));
    if (copy == nullptr) {
        std::perror("SYSERR: malloc failure");
        std::abort();
    }
    std::memcpy(copy, text, size);
    return copy;
}

}  // namespace norvathel
