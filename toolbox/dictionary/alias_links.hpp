// Aliases: names that share the definition of another, linked through their
// common root (aroot) and the chain that starts there (anext).
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// Links alias (as spelled) to the definition of entry n.
void link_alias(DictionaryState& d, int n, std::string_view alias);

}  // namespace zatrel
