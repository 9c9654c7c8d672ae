// The styles compiled into the library, as plain descriptions: classic from the program's own
// fragment tables (classic_style.cpp), the others written out in built_in_styles.cpp.
#pragma once
#include <memory>
#include <vector>

#include <norvathel/style.h>

namespace norvathel {

StyleData ClassicStyleData();
// Every built-in style, classic first.
std::vector<StyleData> BuiltInStyleData();

// A table written as its fragments separated by spaces, in order; all of them drawn.
FragmentTable SpacedTable(const char* fragments);

// The compiled form of a built-in style; one that does not build ends the program.
std::shared_ptr<const CompiledStyle> BuiltInVoice(const StyleData& data);

}  // namespace norvathel
