// The one kind of name table: 53 buckets, entries numbered from 1 in the order
// stored, new entries linked at the tail of their bucket's chain. Lives beside
// the table type, so that every room above the core may search its tables.
#pragma once

#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// Empties the table (the names stay behind as dead entries).
void hash_init(NameHash& table);
// The entry holding name, or 0.
int hash_find(std::string_view name, const NameHash& table);
// The entry holding name, storing it when new; 0 when the table is full.
int hash_store(std::string_view name, NameHash& table);
// The bucket of a name, 1..buckets: only its last four characters above code 64 count.
int hash_value(std::string_view name, int buckets);

}  // namespace zatrel
