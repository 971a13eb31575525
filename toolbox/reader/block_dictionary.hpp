// What the block directory asks of a loaded dictionary: the names, types and
// categories of the block's items, and the category keys the block lacks.
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// The entry whose definition d shares (d itself when it is no alias).
int dictionary_root(int d);

// The name of a block category: > 0 the dictionary's, < 0 the block's own;
// "(none)" when there is none.
std::string_view category_name(int bcat);

// Fills the dictionary fields of a new name-table entry (d: its entry in the
// dictionary, 0 when absent; written: the name as written) and warns about
// what the dictionary does not know.
void check_new_name(NameEntry& entry, int d, std::string_view written);

// At the end of a block: dictionary numbers are numbers again, and every key
// of a category the block uses but does not give draws a warning.
void check_block_end();

}  // namespace zatrel
