#include "core/name_hash.hpp"

#include "core/text.hpp"

#include <cstring>

namespace zatrel {

namespace {

// Names are kept at the table's width; a longer one is cut, so that storing it
// twice finds the first copy.
std::string_view at_name_width(std::string_view name) {
  if (name.size() > Name::width) name = name.substr(0, Name::width);
  return trailing_blanks_removed(name);
}

// Walks the bucket's chain; gives the entry holding name (0 when none) and the
// chain's last entry, where a new name would be linked.
struct ChainWalk {
  int bucket = 1;
  int found = 0;
  int last = 0;
};

// The names are compared padded to their full width, which ends at the first
// differing byte, rather than each measured from its end again.
ChainWalk walk_chain(std::string_view name, const NameHash& table) {
  ChainWalk walk;
  walk.bucket = hash_value(name, NUMHASH);
  const Name key(name);
  for (int i = table.heads[walk.bucket]; i != 0; i = table.chain[i]) {
    if (std::memcmp(table.names[i].data(), key.data(), Name::width) == 0) {
      walk.found = i;
      return walk;
    }
    walk.last = i;
  }
  return walk;
}

}  // namespace

void hash_init(NameHash& table) {
  table.count = 0;
  table.heads.fill(0);
}

int hash_value(std::string_view name, int buckets) {
  if (buckets < 1) return 1;
  int h = 1;
  int counted = 0;
  for (std::size_t i = name.size(); i > 0 && counted < 4; --i) {
    const int code = static_cast<unsigned char>(name[i - 1]);
    if (code <= 64) continue;
    h = ((code - 64) * h) % buckets + 1;
    ++counted;
  }
  return h;
}

int hash_find(std::string_view name, const NameHash& table) {
  return walk_chain(at_name_width(name), table).found;
}

int hash_store(std::string_view name, NameHash& table) {
  name = at_name_width(name);
  const ChainWalk walk = walk_chain(name, table);
  if (walk.found != 0) return walk.found;
  if (table.count >= table.capacity) return 0;
  const int entry = ++table.count;
  table.names.make(entry) = name;
  table.chain.make(entry) = 0;
  if (walk.last == 0)
    table.heads[walk.bucket] = entry;
  else
    table.chain[walk.last] = entry;
  return entry;
}

}  // namespace zatrel
