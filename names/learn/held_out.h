// How true a way of learning is to its examples: a style learned from three quarters of them
// (a fixed shuffle) composes names of their genders, and the letter trigrams of those are set
// against the held-out quarter's by Jensen-Shannon divergence, in bits.
#pragma once
#include <functional>
#include <vector>

#include <norvathel/style_learning.h>

namespace norvathel {

using LearnWay = std::function<bool(const std::vector<ExampleName>& names, StyleData& data)>;

// perGender names of each gender are composed. False when there are too few names to hold some
// out, or the way learns nothing from them.
bool HeldOutDivergence(const std::vector<ExampleName>& names, const LearnWay& learn, double& bits,
                       int perGender = 10000);

}  // namespace norvathel
