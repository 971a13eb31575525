// The two questions put to a loaded dictionary.
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// The category of a DDL2 name: everything between the underscore and the last period.
void excat(std::string_view name, Name& category, int& length);

// Whether name is in the dictionary, and whether a value of type suits it.
void dcheck(std::string_view name, std::string_view type, bool& found, bool& typeok);

}  // namespace zatrel
