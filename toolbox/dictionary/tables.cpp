#include "dictionary/tables.hpp"

#include "core/text.hpp"
#include "core/name_hash.hpp"

namespace zatrel {

Name dictionary_key(std::string_view name) {
  Name key(name);
  locase_in_place(key.data(), Name::width);
  return key;
}

bool dictionary_loading() { return state().dict.dictloading; }

bool dictionary_holds_names() { return state().dict.names.count > 0; }

bool dictionary_holds_categories() { return state().dict.cats.count > 0; }

int dictionary_entry(std::string_view name) {
  const DictionaryState& d = state().dict;
  if (d.dictloading || d.names.count == 0) return 0;
  return hash_find(dictionary_key(name).view(), d.names);
}

int dictionary_category(std::string_view category) {
  const DictionaryState& d = state().dict;
  if (d.dictloading || d.cats.count == 0) return 0;
  return hash_find(dictionary_key(category).view(), d.cats);
}

void empty_dictionary_tables() {
  DictionaryState& d = state().dict;
  hash_init(d.names);
  hash_init(d.cats);
  d.validnames = false;
  d.checktypes = false;
  d.checkcats = true;
}

}  // namespace zatrel
