// The last touches to the names one dictionary added: a type for every name,
// and each category's list of key names.
#pragma once

#include "core/state.hpp"

namespace zatrel {

// Finishes the entries after names_before, the names held before this load.
void finish_new_names(DictionaryState& d, int names_before);

}  // namespace zatrel
