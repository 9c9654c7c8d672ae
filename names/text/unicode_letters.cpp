#include "text/unicode_letters.h"

#include "text/unicode_runs.h"

namespace norvathel {

namespace {

#include "unicode_letters.inc"

}  // namespace

bool IsUnicodeLetter(unsigned c)
{
    return InRanges(LetterRanges, c);
}

bool IsMark(unsigned c)
{
    return InRanges(MarkRanges, c);
}

unsigned SimpleLower(unsigned c)
{
    return Mapped(LowerMappings, c);
}

unsigned SimpleUpper(unsigned c)
{
    return Mapped(UpperMappings, c);
}

}  // namespace norvathel
