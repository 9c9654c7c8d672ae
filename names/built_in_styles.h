// The styles compiled into the library, as plain descriptions: classic from the program's own
// fragment tables, the others written out here.
#pragma once
#include <vector>

#include <norvathel/style.h>

namespace norvathel {

StyleData ClassicStyleData();
// Every built-in style, classic first.
std::vector<StyleData> BuiltInStyleData();

}  // namespace norvathel
