#include "stream/name_filter.h"

#include "text/case_folding.h"
#include "text/letters.h"

namespace norvathel {

namespace {

std::vector<std::string> Folded(const std::vector<std::string>& texts)
{
    std::vector<std::string> folded;
    folded.reserve(texts.size());
    for (const std::string& text : texts)
        folded.push_back(FoldedText(text));
    return folded;
}

}  // namespace

NameFilter::NameFilter(const NameConstraints& given, const Style* guardedStyle)
    : minLength(given.minLength),
      maxLength(given.maxLength),
      countLetters(given.lengthUnit == LengthUnit::CodePoints),
      endsWith(FoldedText(given.endsWith)),
      pieces(Folded(given.exclude))
{
    for (const std::string& name : given.excludeNames)
        names.insert(FoldedText(name));
    if (guardedStyle != nullptr && guardedStyle->HasGuard()) {
        guarded = true;
        style = *guardedStyle;  // a handle: the filter may outlive what it was given
    }
    any = minLength != 0 || maxLength != 0 || !endsWith.empty() || !pieces.Empty() || !names.empty() || guarded;
}

bool NameFilter::Passes(const char* name, int length) const
{
    // An ASCII name is compared as it stands (the matchers take A-Z as a-z), and its bytes
    // are its letters.
    bool passes = false;
    if (IsAsciiText(name, static_cast<std::size_t>(length))) {
        passes = PassesFolded(name, length, length);
    } else {
        const std::string folded = FoldedText(std::string(name, static_cast<std::size_t>(length)));
        const int letters = countLetters ? CodePointCount(name, static_cast<std::size_t>(length)) : length;
        passes = PassesFolded(folded.data(), static_cast<int>(folded.size()), letters);
    }
    return passes && !(guarded && style.Guards(name, length));
}

bool NameFilter::PassesFolded(const char* name, int size, int length) const
{
    if (length < minLength || (maxLength != 0 && length > maxLength))
        return false;
    const int endSize = static_cast<int>(endsWith.size());
    if (endSize > size)
        return false;
    for (int index = 0; index < endSize; ++index) {
        const char c = name[size - endSize + index];
        if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != endsWith[static_cast<std::size_t>(index)])
            return false;
    }
    if (!pieces.Empty() && pieces.FoundIn(name, static_cast<std::size_t>(size)))
        return false;
    if (names.empty())
        return true;
    std::string lowered(name, static_cast<std::size_t>(size));
    for (char& c : lowered)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return names.count(lowered) == 0;
}

}  // namespace norvathel
