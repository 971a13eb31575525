// dict_: option words, what DDL1 and DDL2 blocks define, names defined twice,
// XML translations, aliases, and what a loaded dictionary does to data_ and
// the item operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/state.hpp"
#include "dictionary/tables.hpp"
#include "dictionary/type_mapping.hpp"
#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

// A DDL1 dictionary: its header block, then the blocks given.
std::string ddl1(std::string_view blocks) {
  return "data_on_this_dictionary\n_dictionary_name test.dic\n_dictionary_version 1.0\n" + std::string(blocks);
}

// A DDL2 dictionary: one data block holding the save frames given.
std::string ddl2(std::string_view frames) {
  return "data_test.dic\n_dictionary.title test2.dic\n_dictionary.version 2.0\n" + std::string(frames);
}

// A DDL2 item frame.
std::string item(std::string_view name, std::string_view category, std::string_view type,
                 std::string_view more = "") {
  return "save_" + std::string(name) + "\n_item.name '" + std::string(name) + "'\n_item.category_id " +
         std::string(category) + "\n_item_type.code " + std::string(type) + "\n" + std::string(more) + "save_\n";
}

class DictLoading : public testing::FreshToolbox {
 protected:
  // Writes the dictionary and loads it.
  bool load(std::string_view text, std::string_view options = "valid", std::string_view name = "test.dic") {
    return dict_(write_file(name, text), options);
  }
  // Loads and gives the message of the fatal error it ends with ("" when none).
  std::string load_fatal(std::string_view text, std::string_view options = "valid") {
    try {
      load(text, options);
    } catch (const Fatal& f) {
      return f.what();
    }
    return "";
  }
  bool told(std::string_view text) const {
    return messages().find("# " + std::string(text) + "\n") != std::string::npos;
  }
  // Opens the CIF and selects its first block.
  void read_block(std::string_view cif) {
    open_cif(cif);
    ASSERT_TRUE(data_(""));
  }
  std::string value(std::string_view name) {
    std::string text;
    char_(name, text);
    return text;
  }
  const DictionaryState& dict() const { return state().dict; }
  // A new toolbox and folder, for the next case of a table.
  void fresh() {
    TearDown();
    SetUp();
  }
};

// ---------------------------------------------------------------------------
// Option words
// ---------------------------------------------------------------------------

struct OptionCase {
  std::vector<std::string> calls;  // option texts, one dict_ call each, no file
  bool result;                     // of the last call
  bool validnames, checktypes, checkcats;
  int duppolicy;
};

TEST_F(DictLoading, OptionWordsSetTheSwitchesFromLeftToRight) {
  const std::vector<OptionCase> cases = {
      {{"valid"}, true, true, false, true, 0},
      {{"catno", "valid catck"}, true, true, false, true, 0},
      {{"catno"}, true, false, false, false, 0},
      {{"validx"}, false, true, false, true, 0},  // x is a word of its own
      {{"foo"}, false, false, false, true, 0},
      {{"dtype"}, true, true, true, true, 0},      // types checked means names checked
      {{"dtype", "reset"}, true, false, false, true, 0},
      {{"DType  NODUP"}, true, true, true, true, -1},
      {{"nodup first"}, true, false, false, true, 1},
      {{"first final"}, true, false, false, true, 0},
      {{"validcatno"}, true, true, false, false, 0},  // five characters a word
      {{std::string(79, ' ') + "valid"}, true, false, false, true, 0},  // past column 79
      {{std::string(75, ' ') + "valid"}, true, true, false, true, 0},
      {{std::string(78, ' ') + "valid"}, false, false, false, true, 0},  // cut to "va" at column 80
  };
  for (const OptionCase& c : cases) {
    reset_state();
    bool result = false;
    for (const std::string& options : c.calls) result = dict_("", options);
    const std::string label = ::testing::PrintToString(c.calls);
    EXPECT_EQ(result, c.result) << label;
    EXPECT_EQ(dict().validnames, c.validnames) << label;
    EXPECT_EQ(dict().checktypes, c.checktypes) << label;
    EXPECT_EQ(dict().checkcats, c.checkcats) << label;
    EXPECT_EQ(dict().duppolicy, c.duppolicy) << label;
  }
}

TEST_F(DictLoading, NameAndVersionOfTheDictionaryLoaded) {
  ASSERT_TRUE(load(ddl1("data_a_b\n_name '_a_b'\n_category a\n_type char\n")));
  EXPECT_EQ(dictname_.str(), "test.dic");
  EXPECT_EQ(dictver_.str(), "1.0");
  ASSERT_TRUE(load(ddl2(item("_c.d", "c", "code")), "valid", "two.dic"));
  EXPECT_EQ(dictname_.str(), "test2.dic");
  EXPECT_EQ(dictver_.str(), "2.0");
  ASSERT_TRUE(dict_("  ", "valid"));
  EXPECT_TRUE(dictname_.blank() && dictver_.blank());
  EXPECT_TRUE(dictionary_entry("_a_b") != 0 && dictionary_entry("_c.d") != 0) << "later ones add";
  ASSERT_TRUE(dict_("", "close"));
  EXPECT_FALSE(dictionary_holds_names());
  EXPECT_FALSE(dict().validnames);
}

TEST_F(DictLoading, MissingFileReturnsFalseAndUndoesTheSwitches) {
  EXPECT_FALSE(dict_(path("absent.dic"), "dtype"));
  EXPECT_FALSE(dict().validnames);
  EXPECT_FALSE(dict().checktypes);
  const std::string unreadable = path("folder.dic");
  std::filesystem::create_directory(unreadable);
  try {
    dict_(unreadable, "valid");
    ADD_FAILURE() << "a folder is no dictionary";
  } catch (const Fatal& f) {
    EXPECT_NE(std::string(f.what()).find(unreadable), std::string::npos) << f.what();
  }
}

TEST_F(DictLoading, DictionaryMustComeBeforeTheCifsBlocksAreRead) {
  read_block("data_x\n_a 1\n");
  EXPECT_EQ(load_fatal(ddl1("")), " Dict_ must precede ocif_");
}

TEST_F(DictLoading, DdlmIsRefused) {
  EXPECT_NE(load_fatal("#\\#CIF_2.0\ndata_d\n_dictionary.title d\nsave_x\n_definition.id x\nsave_\n").find("DDLm"),
            std::string::npos);
  fresh();
  EXPECT_NE(load_fatal("data_d\n_dictionary.title d\nsave_x\n_definition.id x\nsave_\n").find("DDLm"),
            std::string::npos);
}

// ---------------------------------------------------------------------------
// What a block defines
// ---------------------------------------------------------------------------

struct BlockCase {
  std::string dictionary;
  std::string warning;  // expected; "" for none at all
};

TEST_F(DictLoading, BlockAndFrameNamesMustFitTheirCategory) {
  const std::string mismatch = " Category id does not match block name";
  const std::vector<BlockCase> cases = {
      {ddl1("data_cell_length_a\n_name '_cell_length_a'\n_category cell\n_type numb\n"), ""},
      {ddl1("data_cell_length_a\n_name '_cell_length_a'\n_category atom_site\n_type numb\n"), mismatch},
      {ddl1("data_cell_length_a\n_name '_cell_length_a'\n_category atom_site\n_type numb\n"
            "_related_item '_x'\n_related_function replace\n"),
       ""},
      {ddl1("data_cell\n_name '_cell'\n_category cell\n_type char\n"), ""},
      {ddl1("data_cell_[]\n_name '_cell_[]'\n_category category_overview\n_type null\n"), ""},
      {ddl2(item("_atom_site.fract_x", "atom_site", "float")), ""},
      {ddl2(item("_atom_site.fract_x", "cell", "float")), mismatch},
  };
  for (const BlockCase& c : cases) {
    fresh();
    ASSERT_TRUE(load(c.dictionary, "valid")) << c.dictionary;
    if (c.warning.empty())
      EXPECT_EQ(messages(), "") << c.dictionary;
    else
      EXPECT_TRUE(told(c.warning)) << c.dictionary << messages();
  }
}

TEST_F(DictLoading, EachMisfitOfABlockDrawsItsWarning) {
  const std::vector<BlockCase> cases = {
      {ddl1("data_a_b\n_name '_a_b'\n_item.name '_a_b'\n_category a\n_type char\n"),
       " Multiple DDL 1 and 2 name definitions "},
      {ddl1("data_a_b\n_category a\n_type char\n"), " No name defined in block"},
      {ddl1("data_a_b\n_name '_a_b'\nloop_ _category a b\n_type char\n"), " Multiple categories for one name"},
      {ddl1("data_a_b\n_name '_a_b'\n_category a\nloop_ _type char numb\n"), " Multiple types for one name"},
      {ddl1("data_a_\nloop_ _name '_a_b' '_a_c'\nloop_ _type char numb\n_category a\n"),
       " Types and names in different loops"},
      {ddl1("data_a_\nloop_ _name '_a_b' '_a_c'\nloop_ _category a b\n_type char\n"),
       " Categories and names in different loops"},
      {ddl1("data_a_\nloop_ _name '_a_b' '_a_c'\n_category a\n_type char\n"),
       " No name in the block matches the block name"},
      {ddl1("data_a_b\n_name '_a_b'\n_category z\n_type char\n"), " Item name _a_b  does not match category name z"},
      {ddl1("data_a_b\n_name '_a_b'\n_category a\n_type int-range\n"), " Item type int-range not recognized"},
      {ddl1("data_a_b\n_name '_a_b'\n_category a\n"), " No type specified for name _a_b"},
      {ddl2("save__q\n_item.name '_q'\n_item_type.code char\nsave_\n"),
       " No category defined in block _q and name _q does not match"},
      {ddl2("save__a.b\n_item.name '_a.b'\nloop_ _item_aliases.alias_name '_a_b' '_a_c'\n"
            "_item.category_id a\n_item_type.code char\nsave_\n" +
            item("_a.c", "a", "char", "_item_aliases.alias_name '_a_b'\n")),
       " Conflicting definition of alias"},
      {ddl2(item("_a.b", "a", "char", "loop_ _item_aliases.alias_name '_a_b' '_a_b'\n")),
       " Duplicate definition of same alias"},
  };
  for (const BlockCase& c : cases) {
    fresh();
    ASSERT_TRUE(load(c.dictionary, "dtype")) << c.dictionary;
    EXPECT_TRUE(told(c.warning)) << c.dictionary << messages();
  }
}

TEST_F(DictLoading, TypeCodesMapToTheToolboxTypes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"float", "numb"}, {"int", "numb"},     {"Int", "numb"},      {"integer", "inte"}, {"int-range", "int-"},
      {"any", "char"},   {"anything", "anyt"}, {"yyyy-mm-dd", "char"}, {"symop", "char"}, {"uchar3", "char"},
      {"ucode", "char"}, {"name", "char"},    {"idname", "char"},   {"code", "char"},    {"line", "char"},
      {"uline", "char"}, {"text", "text"},    {"numb", "numb"},     {"char", "char"},    {"null", "null"},
      {"", ""}};
  for (const auto& [code, type] : cases) EXPECT_EQ(toolbox_type(code).str(), type) << code;
  EXPECT_TRUE(recognised_type(toolbox_type("float")));
  EXPECT_FALSE(recognised_type(toolbox_type("int-range")));
}

// ---------------------------------------------------------------------------
// A name defined again by a later dictionary
// ---------------------------------------------------------------------------

TEST_F(DictLoading, SecondDictionaryRedefiningANameFollowsTheDuplicatePolicy) {
  const std::string first = ddl1("data_x_y\n_name '_x_y'\n_category x\n_type numb\n");
  const std::string second = ddl1("data_x_y\n_name '_x_y'\n_category x_y\n_type char\n");
  struct Case {
    std::string policy;
    std::string type, category, fatal;
  };
  const std::vector<Case> cases = {
      {"final", "char", "x_y", ""},
      {"first", "numb", "x", ""},
      {"nodup", "", "", " Duplicate name in dictionary _x_y"},
  };
  for (const Case& c : cases) {
    fresh();
    ASSERT_TRUE(load(first, "valid " + c.policy, "first.dic"));
    if (!c.fatal.empty()) {
      EXPECT_EQ(load_fatal(second, "valid"), c.fatal);
      continue;
    }
    ASSERT_TRUE(load(second, "dtype", "second.dic"));
    read_block("data_d\n_x_y 'abc'\n");
    value("_x_y");
    EXPECT_EQ(dicttype_.str(), c.type) << c.policy;
    EXPECT_EQ(dictcat_.str(), c.category) << c.policy;
    if (c.policy == "first") {
      EXPECT_TRUE(told(" Attempt to redefine type for item"));
    }
  }
}

// ---------------------------------------------------------------------------
// XML translations
// ---------------------------------------------------------------------------

std::string xml_rows(int n) {
  std::string text = "save_map\nloop_ _xml_mapping.token _xml_mapping.token_type _xml_mapping.target\n";
  text += "dummy data block\ncat category Cat\n'_cat.item' item Item\n";
  for (int i = 4; i <= n; ++i) text += "'_n" + std::to_string(i) + "' item E" + std::to_string(i) + "\n";
  return text + "save_\n";
}

TEST_F(DictLoading, XmlTranslationsAreStoredUpToXmldefs) {
  ASSERT_TRUE(load(ddl2(item("_cat.item", "cat", "char") + xml_rows(XMLDEFS))));
  EXPECT_EQ(dict().nxml, XMLDEFS);
  EXPECT_EQ(dict().xmltarget[dict().xmldata].str(), "block");
  const DictCategory& cat = dict().categories[dictionary_category("cat")];
  EXPECT_EQ(dict().xmltarget[cat.cxml].str(), "Cat");
  const DictEntry& e = dict().entries[dictionary_entry("_cat.item")];
  EXPECT_EQ(dict().xmltarget[e.dxml].str(), "Item");

  fresh();
  EXPECT_EQ(load_fatal(ddl2(xml_rows(XMLDEFS + 1))), " XML translations > XMLDEFS");
}

TEST_F(DictLoading, XmlMappingWithoutTypeOrTargetIsFatal) {
  EXPECT_EQ(load_fatal(ddl2("save_m\n_xml_mapping.token '_a'\n_xml_mapping.target A\nsave_\n")),
            " XML token_type missing");
  fresh();
  EXPECT_EQ(load_fatal(ddl2("save_m\n_xml_mapping.token '_a'\n_xml_mapping.token_type item\nsave_\n")),
            " XML target missing");
}

// ---------------------------------------------------------------------------
// Aliases, category keys, and what data_ and the item reader make of them
// ---------------------------------------------------------------------------

const std::string kAliased = ddl2(item("_cell.length_a", "cell", "float",
                                       "_item_aliases.alias_name '_cell_length_a'\n") +
                                  item("_cell.id", "cell", "code") +
                                  "save_cell\n_category.id cell\n_category_key.name '_cell.id'\nsave_\n");

TEST_F(DictLoading, AnAliasAndItsRootFindEachOtherThroughChar) {
  ASSERT_TRUE(load(kAliased, "valid"));
  EXPECT_EQ(messages(), "");
  for (const std::string written : {"_cell_length_a", "_cell.length_a"}) {
    fresh();
    ASSERT_TRUE(load(kAliased, "valid"));
    read_block("data_d\n_cell.id c1\n" + written + " 5.5(2)\n");
    for (const std::string asked : {"_cell_length_a", "_cell.length_a", "_CELL_LENGTH_A"}) {
      EXPECT_EQ(value(asked), "5.5(2)") << written << " asked as " << asked;
      EXPECT_EQ(dictname_.str(), "_cell.length_a");
      EXPECT_EQ(dictcat_.str(), "cell");
    }
    EXPECT_EQ(messages(), "") << written;
  }
}

TEST_F(DictLoading, EveryAliasOfANameStaysOnItsChain) {
  ASSERT_TRUE(load(ddl2(item("_a.b", "a", "char", "loop_ _item_aliases.alias_name '_a_b' '_ab' '_a_bee'\n"))));
  const DictionaryState& d = dict();
  const int root = dictionary_entry("_a.b");
  std::vector<std::string> chain;
  for (int k = d.entries[root].anext; k != 0 && chain.size() < 10;
       k = d.entries[k].anext)
    chain.push_back(d.entries[k].dname.str());
  std::sort(chain.begin(), chain.end());
  EXPECT_EQ(chain, (std::vector<std::string>{"_a_b", "_a_bee", "_ab"}));
  for (const char* alias : {"_a_b", "_ab", "_a_bee"})
    EXPECT_EQ(d.entries[dictionary_entry(alias)].aroot, root) << alias;
}

TEST_F(DictLoading, DataValidatesAgainstTheLoadedDictionary) {
  ASSERT_TRUE(load(kAliased, "dtype"));
  read_block("data_d\n_cell_length_a abc\n_cell.width 3\n");
  EXPECT_TRUE(told(" Data name _cell.width not in dictionary!"));
  EXPECT_NE(messages().find("#  Numb type violated  _cell.length_a"), std::string::npos);
  EXPECT_TRUE(told(" Category key _cell.id not given for cell"));
}

TEST_F(DictLoading, AppendedDictionaryLeavesTheCifReadable) {
  appendcif_ = true;
  open_cif("data_d\n_cell.id c1\n_cell_length_a 7\n_odd.name 1\n");
  const int lines = lastline_;
  ASSERT_TRUE(load(kAliased, "valid"));
  EXPECT_EQ(lastline_, lines);
  EXPECT_EQ(firstline_, 1);
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(blockname_.str(), "d");
  EXPECT_EQ(value("_cell.length_a"), "7");
  EXPECT_TRUE(told(" Data name _odd.name not in dictionary!"));
  EXPECT_FALSE(data_(""));
}

}  // namespace
}  // namespace zatrel
