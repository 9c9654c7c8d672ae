#include "stream/name_filter.h"

#include "compose/name_finishing.h"

namespace norvathel {

NameFilter::NameFilter(int fewest, int most, const std::string& ending,
                       const std::vector<std::string>& excludePieces,
                       const std::vector<std::string>& excludeNames, const Style* guardedStyle)
    : minLength(fewest), maxLength(most), endsWith(Lowered(ending)), pieces(excludePieces)
{
    for (const std::string& name : excludeNames)
        names.insert(Lowered(name));
    if (guardedStyle != nullptr && guardedStyle->HasGuard()) {
        guarded = true;
        style = *guardedStyle;  // a handle: the filter may outlive what it was given
    }
    any = minLength != 0 || maxLength != 0 || !endsWith.empty() || !pieces.Empty() || !names.empty() || guarded;
}

bool NameFilter::Passes(const char* name, int length) const
{
    if (length < minLength || (maxLength != 0 && length > maxLength))
        return false;
    const int endLength = static_cast<int>(endsWith.size());
    if (endLength > length)
        return false;
    for (int index = 0; index < endLength; ++index)
        if (LowerByte(name[length - endLength + index]) != endsWith[static_cast<std::size_t>(index)])
            return false;
    if (!pieces.Empty() && pieces.FoundIn(name, static_cast<std::size_t>(length)))
        return false;
    if (guarded && style.Guards(name, length))
        return false;
    return names.empty() || names.count(Lowered(std::string(name, static_cast<std::size_t>(length)))) == 0;
}

}  // namespace norvathel
