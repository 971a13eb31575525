// The questions the reader and writer ask of the dictionary tables. Until a
// dictionary is loaded every table is empty, so every answer is "none".
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// A dictionary is being read: the reader must behave as if there were none.
bool dictionary_loading();

// The dictionary name table holds at least one name.
bool dictionary_holds_names();

// The dictionary category table holds at least one category.
bool dictionary_holds_categories();

// The entry of a data name (any case) in the dictionary name table; 0 when it
// is absent or while a dictionary is being read.
int dictionary_entry(std::string_view name);

// The number of a category (any case) in the dictionary category table; 0 when
// it is absent or while a dictionary is being read.
int dictionary_category(std::string_view category);

// Both tables empty and the check switches back at their start values.
void empty_dictionary_tables();

// A data name turned into the tables' key: lower case, 72 characters.
Name dictionary_key(std::string_view name);

}  // namespace zatrel
