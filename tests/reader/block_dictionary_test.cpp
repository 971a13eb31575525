// The dictionary checks of data_ and the item reader, against dictionary
// tables filled by hand.
#include <gtest/gtest.h>

#include <string>

#include "core/state.hpp"
#include "reader/hash_funcs.hpp"
#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

class BlockDictionary : public testing::FreshToolbox {
 protected:
  void SetUp() override {
    FreshToolbox::SetUp();
    DictionaryState& d = state().dict;
    const int cell = category("cell");
    d.categories.make(cell).cfirstkey = define("_cell.key", "char", cell);
    const int length = define("_cell.length_a", "numb", cell);
    const int angle = define("_cell.angle_alpha", "numb", cell);
    define("_atom.x", "numb", category("atom"));
    define("_nocat", "char", 0);
    d.entries.make(define("_cell_length_a", "numb", cell)).aroot = length;
    d.entries.make(define("_cell_angle_alpha", "numb", cell)).aroot = angle;
    d.validnames = true;
    d.checktypes = true;
  }
  int category(const char* name) {
    const int k = hash_store(name, state().dict.cats);
    state().dict.categories.make(k).cname = name;
    return k;
  }
  int define(const char* name, const char* type, int cat) {
    const int k = hash_store(name, state().dict.names);
    DictEntry& e = state().dict.entries.make(k);
    e.dname = e.dspell = name;
    e.dtype4 = type;
    e.dtypetext = type;
    e.dcat = cat;
    e.aroot = k;
    return k;
  }
  bool told(std::string_view text) {
    return messages().find("# " + std::string(text) + "\n") != std::string::npos;
  }
};

TEST_F(BlockDictionary, WarnsAboutNamesTypesAndCategoriesTheDictionaryDoesNotKnow) {
  open_cif(
      "data_d\n_cell.length_a 5.0\n_unknown.thing abc\n_cell.angle_alpha xyz\n_nocat 1\n_plain 2\n"
      "loop_ _atom.x _other.y\n1 2\n");
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(told(" Data name _unknown.thing not in dictionary!"));
  EXPECT_TRUE(told(" Category unknown first implicitly defined in cif "));
  EXPECT_NE(messages().find("#  Numb type violated  _cell.angle_alpha"), std::string::npos);
  EXPECT_TRUE(told(" No category defined for _nocat"));
  EXPECT_TRUE(told(" No category defined for _plain"));
  EXPECT_TRUE(told(" Heterogeneous categories in loop other vs atom"));
  const std::string key = "#  Category key _cell.key not given for cell\n";
  EXPECT_NE(messages().find(key), std::string::npos);
  EXPECT_EQ(messages().find(key, messages().find(key) + 1), std::string::npos) << "told once";
}

// The name goes into the message in its full 72 columns, blanks and all.
TEST_F(BlockDictionary, NumbTypeRecordHoldsTheWholeNameField) {
  open_cif("data_d\n_cell.angle_alpha xyz\n");
  ASSERT_TRUE(data_(""));
  const std::string text = " Numb type violated  _cell.angle_alpha";
  const std::string record = "#  zatrel warning: " + path("input.cif") + " data_d line:      2\n# " + text +
                             std::string(79 - text.size(), ' ') + "\n# " + std::string(13, ' ') + "\n";
  EXPECT_NE(messages().find(record), std::string::npos) << messages();
}

TEST_F(BlockDictionary, CategoriesOfTheBlockItselfAreReported) {
  open_cif("data_d\n_unknown.thing abc\n_plain 2\n_cell.length_a 5\n");
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(test_("_unknown.thing"));
  EXPECT_EQ(dictcat_.str(), "unknown");
  EXPECT_TRUE(test_("_plain"));
  EXPECT_EQ(dictcat_.str(), "(none)");
  EXPECT_TRUE(test_("_cell.length_a"));
  EXPECT_EQ(dictcat_.str(), "cell");
}

TEST_F(BlockDictionary, AliasesAreFiledUnderTheirRootAndTypesComeFromTheDictionary) {
  open_cif("data_d\n_cell.key k\n_CELL_length_a 7(1)\n_cell.angle_alpha 90\n");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(messages(), "");
  double v = 0;
  double sd = 0;
  ASSERT_TRUE(numd_("_cell.length_a", v, sd));
  EXPECT_DOUBLE_EQ(sd, 1.0);
  EXPECT_EQ(foundname_.str(), "_cell_length_a");
  EXPECT_EQ(dictname_.str(), "_cell.length_a");
  EXPECT_EQ(dicttype_.str(), "numb");
  EXPECT_EQ(dictcat_.str(), "cell");
  // The block holds only the root; the alias reaches it through the dictionary.
  ASSERT_TRUE(numd_("_cell_angle_alpha", v, sd));
  EXPECT_DOUBLE_EQ(v, 90.0);
  EXPECT_EQ(dictname_.str(), "_cell.angle_alpha");
  EXPECT_FALSE(test_("_cell_angle_beta"));
  EXPECT_EQ(dicttype_.str(), "null");
  EXPECT_EQ(dictcat_.str(), "(none)");
}

TEST_F(BlockDictionary, IgnoredWhileLoadingAndNotCheckedWithoutValidation) {
  state().dict.dictloading = true;
  open_cif("data_d\n_unknown.thing abc\n_cell_length_a 3\ndata_e\n_cell.angle_alpha xyz\n");
  ASSERT_TRUE(data_(""));
  EXPECT_FALSE(test_("_cell.length_a")) << "no alias while a dictionary is read";
  state().dict.dictloading = false;
  state().dict.validnames = false;
  ASSERT_TRUE(data_(""));
  std::string text;
  EXPECT_TRUE(char_("_cell.angle_alpha", text));
  EXPECT_TRUE(dicttype_.blank());
  EXPECT_EQ(messages(), "");
}

}  // namespace
}  // namespace zatrel
