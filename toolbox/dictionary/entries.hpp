// Entering names and categories in the dictionary tables, and walking the
// chain of entries that share one definition.
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// An entry of the dictionary name table, and whether this call made it.
struct DictionaryEntry {
  int index = 0;
  bool is_new = false;
};

// Stores the name (up to its last non-blank character, in lower case) in the
// dictionary name table. A new entry is its own root and keeps the name as
// given as its spelling. A full table is fatal.
DictionaryEntry newdent(DictionaryState& d, std::string_view name);

// Stores a category (in lower case) in the dictionary category table and gives
// its number. A full table is fatal.
int store_category(DictionaryState& d, std::string_view name);

inline DictEntry& dictionary_entry_at(DictionaryState& d, int k) { return d.entries[k]; }

// The entry whose definition k shares: k itself when it is no alias.
int definition_root(const DictionaryState& d, int k);

// Calls visit(entry) for the root of k and every entry that follows it on the
// anext chain. The walk is bounded, so that a damaged chain cannot hang it.
template <typename Visit>
void for_each_sharing(DictionaryState& d, int k, Visit visit) {
  int at = definition_root(d, k);
  for (int steps = 0; at >= 1 && at <= d.names.count && steps < NUMDICT; ++steps) {
    DictEntry& e = dictionary_entry_at(d, at);
    visit(e);
    at = e.anext;
  }
}

}  // namespace zatrel
