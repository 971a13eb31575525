// The option words of dict_: which checks run and how a name defined twice is
// treated.
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// What the scan of the option text found.
struct OptionScan {
  bool recognised = true;  // false: a word matched no option (those before it are applied)
  bool close = false;      // "close": the tables were emptied and the scan stopped there
};

// Applies the option words of the first 80 characters of options, in lower
// case, from left to right. A word is matched on its first five characters;
// the scan goes on right after them.
OptionScan apply_option_words(State& s, std::string_view options);

}  // namespace zatrel
