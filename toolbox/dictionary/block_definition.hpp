// What one block or save frame of a dictionary defines: its defining items,
// each looked for under its DDL2 name first and its DDL1 name second.
#pragma once

#include "core/state.hpp"
#include "dictionary/defining_items.hpp"

namespace zatrel {

struct BlockDefinition {
  Name key;                 // the block's name in lower case, with a leading underscore
  Column names;             // _item.name or _name
  Column categories;        // _item.category_id, _category or _category.id
  Column types;             // _item_type.code or _type
  Column aliases;           // _item_aliases.alias_name
  Name category;            // the first category, lower case; blank when none
  Name type;                // the first type code, lower case
  bool category_definition = false;  // the block defines a category (_category.id)
  bool replace = false;     // its related function is "replace": no name checks
  bool xml = false;         // it maps names to XML
};

// The key of the current block: its name in lower case, with an underscore
// put in front unless it has one (a DDL1 block data_cell_length_a defines
// _cell_length_a); blank for global_ and for a block without a name.
Name block_key();

// Reads the defining items of the current block, enters its category keys
// and categories (and XML translations) and warns about what does not fit.
BlockDefinition read_block_definition(State& s, LoopRestart& loops, const Name& key);

// Whether a category check applies to the category: two DDL1 categories
// describe the dictionary rather than data names.
bool names_a_data_category(const Name& category);

}  // namespace zatrel
