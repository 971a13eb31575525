#include "dictionary/xml_mapping.hpp"

#include "core/diagnostics.hpp"
#include "core/name_hash.hpp"
#include "dictionary/entries.hpp"
#include "dictionary/tables.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kToken = "_xml_mapping.token";
constexpr std::string_view kTokenType = "_xml_mapping.token_type";
constexpr std::string_view kTarget = "_xml_mapping.target";
constexpr std::string_view kLogicError = " XML dictionary logic error";

int store_translation(DictionaryState& d, const Cell& target) {
  if (d.nxml >= XMLDEFS) err(" XML translations > XMLDEFS");
  const int t = ++d.nxml;
  d.xmltarget[t] = target.text;
  return t;
}

void translate_category(DictionaryState& d, std::string_view token, int t) {
  DictCategory& c = d.categories[store_category(d, token)];
  if (c.cxml != 0)
    warn(" XML duplicate category translation");
  else
    c.cxml = t;
}

void translate_item(DictionaryState& d, std::string_view token, int t) {
  const DictionaryEntry item = newdent(d, token);
  DictEntry& e = dictionary_entry_at(d, item.index);
  if (item.is_new)
    e.dxml = t;
  else if (e.dxml != 0)
    warn(" XML duplicate item translation");
  else
    dictionary_entry_at(d, definition_root(d, item.index)).dxml = t;
}

// One row of the mapping: a token, what kind of name it is, and its element.
void translate(DictionaryState& d, std::string_view token, const Cell& type, const Cell& target) {
  if (!type.present) err(" XML token_type missing");
  if (!target.present) err(" XML target missing");
  const int t = store_translation(d, target);
  const Name kind = dictionary_key(type.text);
  if (kind == "data") {
    if (d.xmldata != 0)
      warn(" XML duplicate DATA_ translation");
    else
      d.xmldata = t;
  } else if (kind == "category") {
    translate_category(d, token, t);
  } else if (kind == "item") {
    translate_item(d, token, t);
  }
}

}  // namespace

bool read_xml_mapping(DictionaryState& d, LoopRestart& loops, const Name& key) {
  const Column token = read_column(kToken);
  const Column type = read_column(kTokenType);
  const Column target = read_column(kTarget);
  if (!token.found) {
    if (!type.found) return false;
    if (type.looped()) err(kLogicError);
    translate(d, key.trimmed(), Cell{true, type.first}, Cell{target.found, target.first});
    return true;
  }
  for_each_row(loops, std::array<const Column*, 3>{&token, &type, &target}, [&d](const Row<3>& row, int k) {
    // A row after the first whose token cannot be read.
    if (!row[0].present && k > 0) err(kLogicError);
    if (row[0].present) translate(d, row[0].text, row[1], row[2]);
  });
  return true;
}

}  // namespace zatrel
