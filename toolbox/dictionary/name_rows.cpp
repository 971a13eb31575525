#include "dictionary/name_rows.hpp"

#include <string>

#include "core/diagnostics.hpp"
#include "core/name_hash.hpp"
#include "core/text.hpp"
#include "dictionary/alias_links.hpp"
#include "dictionary/checks.hpp"
#include "dictionary/entries.hpp"
#include "dictionary/tables.hpp"
#include "dictionary/type_mapping.hpp"

namespace zatrel {

namespace {

// One row of the block's names.
struct NameRow {
  Name name;       // lower case
  Name category;   // lower case; blank when none
  Name type_text;  // lower case; blank when none
};

// A name an earlier dictionary defined, under the duplicate policy.
int enter_again(DictionaryState& d, std::string_view name, int earlier) {
  if (d.duppolicy == kFirstDefinitionWins) return earlier;
  if (d.duppolicy == kRefuseDuplicates) err(" Duplicate name in dictionary " + std::string(name));
  // The earlier entry can no longer be found; its aliases keep its definition.
  d.names.names[earlier].clear();
  return newdent(d, name).index;
}

// The name must begin with its category and a separator.
void check_name_category(const DictionaryState& d, const BlockDefinition& def, const NameRow& row) {
  if (row.category.blank() || !names_a_data_category(row.category)) return;
  const std::string prefix = prefixed('_', row.category.trimmed());
  const std::string_view name = row.name.trimmed();
  const bool fits = name.starts_with(prefix) &&
                    (name.size() == prefix.size() || name[prefix.size()] == '_' || name[prefix.size()] == '.');
  if (!fits && d.checkcats && !def.replace)
    warn(" Item name " + std::string(name) + " " + " does not match category name " +
         std::string(row.category.trimmed()));
}

// A DDL2 name without category, defined in the frame of its own name, takes
// the category its form gives.
void derive_category(const DictionaryState& d, const DictEntry& entry, NameRow& row) {
  if (!row.category.blank() || entry.dcat != 0 || !(dictionary_key(blockname_.view()) == row.name)) return;
  Name derived;
  int length = 0;
  excat(row.name.trimmed(), derived, length);
  if (!derived.blank()) {
    row.category = derived;
  } else if (d.checkcats) {
    warn(" No category defined in block " + blockname_.str() + " and name " + std::string(row.name.trimmed()) +
         " does not match");
  }
}

void store_definition(DictionaryState& d, const BlockDefinition& def, int k, bool is_new, const NameRow& row) {
  const int category = row.category.blank() ? 0 : store_category(d, row.category.view());
  const Flag4 type = toolbox_type(row.type_text.view());
  if (!recognised_type(type) && d.checktypes)
    warn(" Item type " + std::string(row.type_text.trimmed()) + " not recognized");
  DictEntry& e = dictionary_entry_at(d, k);
  if (is_new) {
    e.dcat = category;
    e.dtype4 = type;
    e.dtypetext = row.type_text;
    return;
  }
  if (e.dcat == 0) {
    for_each_sharing(d, k, [category](DictEntry& shared) { shared.dcat = category; });
  } else if (category != 0 && e.dcat != category && (d.validnames || d.checktypes) && d.checkcats && !def.replace) {
    warn(" Attempt to redefine category for item");
  }
  if (e.dtype4.blank()) {
    for_each_sharing(d, k, [&](DictEntry& shared) {
      shared.dtype4 = type;
      shared.dtypetext = row.type_text;
    });
  } else if (!(e.dtype4 == type) && !type.blank() && d.checktypes) {
    warn(" Attempt to redefine type for item");
  }
}

// Enters one name with its definition; gives its entry.
int enter_name(DictionaryState& d, const BlockDefinition& def, NameRow& row, int names_before) {
  DictionaryEntry entry = newdent(d, row.name.trimmed());
  if (!entry.is_new && entry.index <= names_before) {
    const int k = enter_again(d, row.name.trimmed(), entry.index);
    entry = {k, k != entry.index};
  }
  check_name_category(d, def, row);
  derive_category(d, dictionary_entry_at(d, entry.index), row);
  store_definition(d, def, entry.index, entry.is_new, row);
  return entry.index;
}

}  // namespace

void enter_block_names(State& s, LoopRestart& loops, const BlockDefinition& def, int names_before) {
  DictionaryState& d = s.dict;
  if (!def.names.found) return;
  bool block_named = false;
  int first_entry = 0;
  const std::array<const Column*, 4> columns{&def.names, &def.categories, &def.types, &def.aliases};
  for_each_row(loops, columns, [&](const Row<4>& cells, int k) {
    if (!cells[0].present) return;
    NameRow row{dictionary_key(cells[0].text), dictionary_key(cells[1].text), dictionary_key(cells[2].text)};
    const int entry = enter_name(d, def, row, names_before);
    if (first_entry == 0) first_entry = entry;
    block_named = block_named || row.name == def.key;
    // An alias of another loop, or a single one, belongs to the first name.
    const bool own_alias = def.aliases.in_loop_of(def.names) || k == 0;
    if (own_alias && cells[3].present && !cells[3].text.empty()) link_alias(d, entry, cells[3].text);
  });
  if (!block_named && !def.replace) warn(" No name in the block matches the block name");
  if (def.names.looped() || !def.aliases.looped() || first_entry == 0) return;
  for_each_row(loops, std::array<const Column*, 1>{&def.aliases}, [&](const Row<1>& cells, int k) {
    if (k > 0 && cells[0].present && !cells[0].text.empty()) link_alias(d, first_entry, cells[0].text);
  });
}

}  // namespace zatrel
