// From a dictionary's type code to the toolbox's four value types.
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// The toolbox type of a type code (any case): "numb" or "char" for the twelve
// codes that map, else the code's first four characters in lower case.
Flag4 toolbox_type(std::string_view code);

// A type the reader knows: "char", "text", "numb", "null", or blank.
bool recognised_type(const Flag4& type);

}  // namespace zatrel
