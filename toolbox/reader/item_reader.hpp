// The one place where the value of a data name is fetched, with loop stepping.
#pragma once

#include "core/state.hpp"

namespace zatrel {

// Fetches the value of name (lower case, 72 characters) from the current block.
void getitm(const Name& name);

}  // namespace zatrel
