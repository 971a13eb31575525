// excat and dcheck, and the empty dictionary every toolbox starts with.
#include <gtest/gtest.h>

#include <string>

#include "core/state.hpp"
#include "dictionary/checks.hpp"
#include "dictionary/tables.hpp"
#include "reader/hash_funcs.hpp"
#include "support/fresh_toolbox.hpp"

namespace zatrel {
namespace {

// The category and its length, as "text/length".
std::string category_of(std::string_view name) {
  Name category("left over");
  int length = -1;
  excat(name, category, length);
  return category.str() + "/" + std::to_string(length);
}

TEST(Excat, CategoryIsEverythingBetweenUnderscoreAndLastPeriod) {
  EXPECT_EQ(category_of("_atom_site.fract_x"), "atom_site/9");
  EXPECT_EQ(category_of("_a.b.c"), "a.b/3");
  EXPECT_EQ(category_of("_a.b"), "a/1");
  EXPECT_EQ(category_of("_a."), "a/1");
  EXPECT_EQ(category_of("_Atom_Site.x   "), "Atom_Site/9");
  EXPECT_EQ(category_of("_" + std::string(100, 'c') + ".x"), std::string(NAMELEN, 'c') + "/72");
  for (const char* none : {"_cell_length_a", "_.b", "atom_site.fract_x", "_.", ""})
    EXPECT_EQ(category_of(none), "/1") << none;
}

class DictionaryChecks : public testing::FreshToolbox {
 protected:
  int define(std::string_view name, std::string_view type) {
    const int entry = hash_store(name, state().dict.names);
    state().dict.entries.make(entry).dtype4 = type;
    return entry;
  }
  // "found typeok" as two letters, y or n.
  std::string check(std::string_view name, std::string_view type) {
    bool found = false;
    bool typeok = false;
    dcheck(name, type, found, typeok);
    return std::string(found ? "y" : "n") + (typeok ? "y" : "n");
  }
};

TEST_F(DictionaryChecks, StartsEmptyWithSwitchesAtTheirStartValues) {
  const DictionaryState& d = state().dict;
  EXPECT_FALSE(dictionary_holds_names() || dictionary_holds_categories() || dictionary_loading());
  EXPECT_EQ(dictionary_entry("_cell_length_a"), 0);
  EXPECT_FALSE(d.validnames);
  EXPECT_FALSE(d.checktypes);
  EXPECT_TRUE(d.checkcats);
  EXPECT_EQ(d.duppolicy, 0);
}

TEST_F(DictionaryChecks, LookupsIgnoreCaseAndSeeNothingWhileLoading) {
  const int entry = define("_cell_length_a", "numb");
  hash_store("cell", state().dict.cats);
  EXPECT_EQ(dictionary_entry("_Cell_Length_A"), entry);
  EXPECT_EQ(dictionary_category("CELL"), 1);
  state().dict.dictloading = true;
  EXPECT_EQ(dictionary_entry("_cell_length_a"), 0);
  EXPECT_EQ(dictionary_category("cell"), 0);

  state().dict.checktypes = true;
  empty_dictionary_tables();
  EXPECT_FALSE(dictionary_holds_names());
  EXPECT_FALSE(state().dict.checktypes);
}

TEST_F(DictionaryChecks, TypesAreCheckedOnlyWhenSwitchedOn) {
  const int entry = define("_cell_length_a", "numb");
  define("_publ_section_title", "text");
  define("_atom_site_label", "char");
  EXPECT_EQ(check("_CELL_length_a", "char"), "yy");
  EXPECT_EQ(state().dict.lastcheck, entry);
  EXPECT_EQ(check("_cell_length_b", "char"), "ny");
  EXPECT_EQ(state().dict.lastcheck, 0);

  state().dict.checktypes = true;
  EXPECT_EQ(check("_cell_length_b", "char"), "ny");
  EXPECT_EQ(check("_cell_length_a", "char"), "yn");
  EXPECT_EQ(check("_cell_length_a", "numb"), "yy");
  EXPECT_EQ(check("_cell_length_a", "    "), "yy");
  EXPECT_EQ(check("_publ_section_title", "char"), "yy");  // char accepted for text
  EXPECT_EQ(check("_atom_site_label", "text"), "yn");     // but not text for char
}

}  // namespace
}  // namespace zatrel
