#include "dictionary/block_definition.hpp"

#include <string>

#include "core/diagnostics.hpp"
#include "core/text.hpp"
#include "dictionary/entries.hpp"
#include "dictionary/tables.hpp"
#include "dictionary/xml_mapping.hpp"

namespace zatrel {

namespace {

// A defining role: its DDL2 name (looked for first), its DDL1 name, and the
// warning when a block gives both.
struct Role {
  std::string_view ddl2;
  std::string_view ddl1;
  std::string_view both;
};

constexpr Role kKeys{"_category_key.name", "_list_reference", " Multiple DDL 1 and 2 related key definitions "};
constexpr Role kRelatedItem{"_item_related.related_name", "_related_item",
                            " Multiple DDL 1 and 2 related item definitions "};
constexpr Role kRelatedFunction{"_item_related.function_code", "_related_function",
                                " Multiple DDL 1 and 2 related item functions "};
constexpr Role kCategory{"_item.category_id", "_category", " Multiple DDL 1 and 2 category definitions "};
constexpr Role kName{"_item.name", "_name", " Multiple DDL 1 and 2 name definitions "};
constexpr Role kType{"_item_type.code", "_type", " Multiple DDL 1 and 2 type definitions "};
constexpr std::string_view kCategoryId = "_category.id";
constexpr std::string_view kAlias = "_item_aliases.alias_name";
constexpr std::string_view kMismatch = " Category id does not match block name";

// When a block gives both forms, the later (DDL1) one is kept.
Column read_role(const Role& role) {
  Column ddl2 = read_column(role.ddl2);
  Column ddl1 = read_column(role.ddl1);
  if (ddl2.found && ddl1.found) {
    warn(role.both);
    return ddl1;
  }
  return ddl2.found ? ddl2 : ddl1;
}

// Every key name is marked as a key, with all that share its definition.
void enter_category_keys(DictionaryState& d, LoopRestart& loops) {
  const Column keys = read_role(kKeys);
  if (!keys.found) return;
  for_each_row(loops, std::array<const Column*, 1>{&keys}, [&d](const Row<1>& row, int) {
    if (!row[0].present) return;
    const DictionaryEntry key = newdent(d, row[0].text);
    if (key.is_new)
      dictionary_entry_at(d, key.index).dkey = true;
    else if (!dictionary_entry_at(d, key.index).dkey)
      for_each_sharing(d, key.index, [](DictEntry& e) { e.dkey = true; });
  });
}

bool starts_with(const Name& text, std::string_view prefix) { return text.view().starts_with(prefix); }

// The block's name must start with the category of its (unlooped) names.
void check_block_name(const DictionaryState& d, const BlockDefinition& def) {
  if (!def.categories.found || def.categories.looped() || def.category_definition) return;
  const std::string n = prefixed('_', def.category.trimmed());
  bool matches = true;
  if (def.categories.tag == kCategory.ddl2)
    matches = starts_with(def.key, n + ".");
  else if (names_a_data_category(def.category))
    matches = starts_with(def.key, n + "_") || def.key == n;
  if (!matches && d.checkcats && !def.replace) warn(kMismatch);
}

void read_category(DictionaryState& d, BlockDefinition& def) {
  def.categories = read_role(kCategory);
  if (!def.categories.found) {
    def.categories = read_column(kCategoryId);
    def.category_definition = def.categories.found;
  }
  if (!def.categories.found) return;
  def.category = dictionary_key(def.categories.first);
  if (!def.category.blank()) store_category(d, def.category.view());
  check_block_name(d, def);
}

void check_loop_structure(const DictionaryState& d, const BlockDefinition& def) {
  const Column& names = def.names;
  if (!names.looped()) {
    if (def.categories.looped()) warn(" Multiple categories for one name");
    if (def.types.looped()) warn(" Multiple types for one name");
    return;
  }
  if (def.categories.looped() && !def.categories.in_loop_of(names) && d.checkcats)
    warn(" Categories and names in different loops");
  if (def.aliases.found && !def.aliases.looped() && !(dictionary_key(names.first) == def.key))
    warn(" One alias, looped names, linking to first");
  if (def.aliases.looped() && !def.aliases.in_loop_of(names))
    warn(" Aliases and names in different loops  only using first alias ");
  if (def.types.looped() && !def.types.in_loop_of(names)) warn(" Types and names in different loops");
}

}  // namespace

bool names_a_data_category(const Name& category) {
  return !(category == "dictionary_definition") && !(category == "category_overview");
}

Name block_key() {
  Name key = dictionary_key(blockname_.view());
  if (key.blank() || key.col(1) == '_' || inglobal_) return key;
  return Name(prefixed('_', key.trimmed()));
}

BlockDefinition read_block_definition(State& s, LoopRestart& loops, const Name& key) {
  DictionaryState& d = s.dict;
  BlockDefinition def;
  def.key = key;
  enter_category_keys(d, loops);
  read_role(kRelatedItem);
  def.replace = dictionary_key(read_role(kRelatedFunction).first) == "replace";
  read_category(d, def);
  def.xml = read_xml_mapping(d, loops, key);
  def.names = read_role(kName);
  const bool lone_block = def.category_definition || s.vis.inglobal_ || key.blank() || def.xml;
  if (!def.names.found && !lone_block) warn(" No name defined in block");
  def.aliases = read_column(kAlias);
  if (!def.category_definition) def.types = read_role(kType);
  def.type = dictionary_key(def.types.first);
  check_loop_structure(d, def);
  return def;
}

}  // namespace zatrel
