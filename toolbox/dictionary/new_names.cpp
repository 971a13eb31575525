#include "dictionary/new_names.hpp"

#include <string>

#include "core/diagnostics.hpp"
#include "dictionary/entries.hpp"

namespace zatrel {

namespace {

// Appends root to the key list of its category, once.
void append_key(DictionaryState& d, int root) {
  const int category = dictionary_entry_at(d, root).dcat;
  if (category < 1 || category > d.cats.count) return;
  DictCategory& c = d.categories[category];
  if (c.cfirstkey == 0) {
    c.cfirstkey = root;
    return;
  }
  for (int at = c.cfirstkey, steps = 0; at >= 1 && at <= d.names.count && steps < NUMDICT; ++steps) {
    if (at == root) return;
    DictEntry& e = dictionary_entry_at(d, at);
    if (e.knext == 0) {
      e.knext = root;
      return;
    }
    at = e.knext;
  }
}

void give_type(DictionaryState& d, DictEntry& e) {
  if (!e.dtypetext.blank()) return;
  e.dtype4 = "null";
  e.dtypetext = "null";
  const std::string_view name = e.dname.trimmed();
  if (d.checktypes && !name.ends_with('_')) warn(" No type specified for name " + std::string(name));
}

}  // namespace

void finish_new_names(DictionaryState& d, int names_before) {
  const bool any_category = d.cats.count > 0;
  for (int k = names_before + 1; k <= d.names.count; ++k) {
    DictEntry& e = dictionary_entry_at(d, k);
    if (any_category) e.knext = 0;
    give_type(d, e);
  }
  // After every link is cleared, so that none set here is lost.
  for (int k = names_before + 1; k <= d.names.count; ++k)
    if (dictionary_entry_at(d, k).dkey) append_key(d, definition_root(d, k));
}

}  // namespace zatrel
