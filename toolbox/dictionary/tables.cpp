#include "dictionary/tables.hpp"

#include "core/text.hpp"
#include "core/name_hash.hpp"

namespace zatrel {

namespace {
DictionaryState& dict() { return state().dict; }
}  // namespace

Name dictionary_key(std::string_view name) {
  Name key(name);
  locase_in_place(key.data(), Name::width);
  return key;
}

bool dictionary_loading() { return dict().dictloading; }

bool dictionary_holds_names() { return dict().names.count > 0; }

bool dictionary_holds_categories() { return dict().cats.count > 0; }

int dictionary_entry(std::string_view name) {
  if (dictionary_loading() || !dictionary_holds_names()) return 0;
  return hash_find(dictionary_key(name).view(), dict().names);
}

int dictionary_category(std::string_view category) {
  if (dictionary_loading() || !dictionary_holds_categories()) return 0;
  return hash_find(dictionary_key(category).view(), dict().cats);
}

void empty_dictionary_tables() {
  DictionaryState& d = dict();
  hash_init(d.names);
  hash_init(d.cats);
  d.validnames = false;
  d.checktypes = false;
  d.checkcats = true;
}

}  // namespace zatrel
