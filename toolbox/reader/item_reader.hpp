// The one place where the value of a data name is fetched, with loop stepping.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// Fetches the value of name (lower case, 72 characters) from the current block.
void getitm(const Name& name);

// As getitm for a key from name_key, which remembers where the block holds it.
void getitm(ReaderState::RecentKey& recent);

// A caller's data name as the item operations look it up: lower case, cut to 72.
Name lower_case_name(std::string_view name);

// As lower_case_name, remembered for the names asked for lately; the key
// stays valid until the next call.
ReaderState::RecentKey& name_key(std::string_view name);

// Compared a word at a time, stopping at the first difference: this runs for
// every value request, mostly on names that differ early.
inline bool same_name(const Name& a, const Name& b) noexcept {
  for (std::size_t i = 0; i < Name::width; i += 8) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) return false;
  }
  return true;
}

}  // namespace zatrel
