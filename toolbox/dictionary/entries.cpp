#include "dictionary/entries.hpp"

#include "core/diagnostics.hpp"
#include "core/name_hash.hpp"
#include "core/text.hpp"
#include "dictionary/tables.hpp"

namespace zatrel {

DictionaryEntry newdent(DictionaryState& d, std::string_view name) {
  const Name spelled(name.substr(0, static_cast<std::size_t>(lastnb(name))));
  const Name key = dictionary_key(spelled.view());
  const int before = d.names.count;
  const int k = hash_store(key.view(), d.names);
  if (k == 0) err(" CIFdic names > NUMDICT");
  if (k <= before) return {k, false};
  DictEntry& e = d.entries.make(k);
  e = DictEntry{};
  e.dname = key;
  e.dspell = spelled;
  e.aroot = k;
  return {k, true};
}

int store_category(DictionaryState& d, std::string_view name) {
  const Name key = dictionary_key(name);
  const int before = d.cats.count;
  const int k = hash_store(key.view(), d.cats);
  if (k == 0) err(" Dictionary category names > NUMDICT ");
  if (k > before) {
    DictCategory& c = d.categories.make(k);
    c = DictCategory{};
    c.cname = key;
  }
  return k;
}

int definition_root(const DictionaryState& d, int k) {
  if (k < 1 || k > d.names.count) return k;
  const int root = d.entries[k].aroot;
  return root >= 1 && root <= d.names.count ? root : k;
}

}  // namespace zatrel
