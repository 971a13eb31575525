// pchar_'s delimiters, checked against the layout and against the reader:
// every value reads back as written.
#include <gtest/gtest.h>

#include <string>

#include "reader/hash_funcs.hpp"
#include "writer/output_ops_fixture.hpp"

namespace zatrel {
namespace {

using testing::Lines;

class OutputValues : public testing::OutputOpsTest {};

struct DelimiterCase {
  std::string value;
  char outquote;
  Lines expected;  // after the name's line: the lines of _v and its value
  bool converted;  // the text-field warning
};

const std::vector<DelimiterCase> kDelimiterCases = {
    {"abc", ' ', {"_v abc"}, false},
    {"a b", ' ', {"_v 'a b'"}, false},
    {"it's a", ' ', {"_v 'it's a'"}, false},
    {"a' b", ' ', {"_v \"a' b\""}, false},
    {"a' b\" c", ' ', {"_v", ";a' b\" c", ";"}, true},
    {"_x", ' ', {"_v '_x'"}, false},
    {"'x", ' ', {"_v ''x'"}, false},
    {";x", ' ', {"_v ';x'"}, false},
    {"'?'", ' ', {"_v '?'"}, false},
    {" ", ' ', {"_v ' '"}, false},
    {"abc", ';', {"_v", ";abc", ";"}, true},
    {"abc", '"', {"_v \"abc\""}, false},
    {"#x", ' ', {"_v '#x'"}, false},
    {"$x", ' ', {"_v '$x'"}, false},
    {"[x", ' ', {"_v '[x'"}, false},
    {"]x", ' ', {"_v ']x'"}, false},
    {"data_x", ' ', {"_v 'data_x'"}, false},
    {"DATA_", ' ', {"_v 'DATA_'"}, false},
    {"Save_frame", ' ', {"_v 'Save_frame'"}, false},
    {"loop_", ' ', {"_v 'loop_'"}, false},
    {"GLOBAL_", ' ', {"_v 'GLOBAL_'"}, false},
    {"stop_", ' ', {"_v 'stop_'"}, false},
    {"loop_x", ' ', {"_v 'loop_x'"}, false},
    {"global_x", ' ', {"_v 'global_x'"}, false},
    {"stopx", ' ', {"_v stopx"}, false},
    {"x_", ' ', {"_v 'x_'"}, false},
    {"a\tb", ' ', {"_v 'a\tb'"}, false},
    {"trailing  ", '\'', {"_v 'trailing  '"}, false},
    {"", '\'', {"_v ''"}, false},
};

TEST_F(OutputValues, DelimiterChoice) {
  ptabs_ = false;
  for (const DelimiterCase& c : kDelimiterCases) {
    SCOPED_TRACE("value [" + c.value + "]");
    SetUp();
    ptabs_ = false;
    ASSERT_TRUE(pfile_(" "));
    outquote_ = std::string(1, c.outquote);
    EXPECT_TRUE(pchar_("_v", c.value));
    EXPECT_TRUE(outquote_.blank()) << "outquote_ is reset";
    EXPECT_EQ(closed(), c.expected);
    EXPECT_EQ(warned(" Converted pchar_ output to text for: " + c.value), c.converted);
    TearDown();
  }
}

TEST_F(OutputValues, BlankValueWithPnullblankIsAPeriod) {
  pnullblank_ = true;
  pfile_(" ");
  pchar_("_v", "   ");
  EXPECT_EQ(closed(), (Lines{"_v ."}));
}

// Each value written by pchar_ (as the caller gives it, delimiters asked or
// not) comes back from the reader as the same text.
TEST_F(OutputValues, EveryValueReadsBackAsWritten) {
  std::vector<std::pair<std::string, char>> values;
  for (const DelimiterCase& c : kDelimiterCases)
    if (c.value != "'?'") values.emplace_back(c.value, c.outquote);  // '?' is written bare on purpose
  const std::string long_quoted = std::string(97, 'a') + " " + std::string(101, 'b');  // 199 characters
  values.emplace_back(long_quoted, ' ');
  values.emplace_back(long_quoted + "c", ' ');
  values.emplace_back("'" + std::string(150, 'q'), ' ');
  for (const auto& [value, quote] : values) {
    SCOPED_TRACE("value [" + value + "]");
    SetUp();
    ptabs_ = false;
    intabs_ = false;
    const std::string out = path("back.cif");
    close_unit(testing::kOutputUnit);
    ASSERT_TRUE(pfile_(out));
    pdata_("t");
    outquote_ = std::string(1, quote);
    pchar_("_v", value);
    ploop_("_l");
    ploop_("_m");
    outquote_ = std::string(1, quote);
    pchar_(" ", value);
    pchar_(" ", "end");
    close_();
    SCOPED_TRACE("written:\n" + testing::read_file(out));
    ASSERT_TRUE(ocif_(out));
    ASSERT_NO_THROW(data_(" "));
    std::string text;
    const std::string expected = quote == ' ' && value.find_first_not_of(' ') == std::string::npos ? " " : value;
    for (const char* name : {"_v", "_l"}) {
      char_(name, text);
      if (itemtype_ == "text") {
        text = text.substr(1);  // the blank standing for the semicolon
        // A value that fills a whole line starts on the field's second line.
        if (text.empty() && intext_) char_(name, text);
      }
      EXPECT_EQ(text, expected) << name;
    }
    char_("_m", text);
    EXPECT_EQ(text, "end") << "the row holds both values";
    TearDown();
  }
}

TEST_F(OutputValues, LongValuesAreCutWithAWarningNamingTheItem) {
  pfile_(" ");
  pchar_("_long", std::string(250, 'z'));
  EXPECT_EQ(closed(), (Lines{"_long", std::string(200, 'z')}));
  EXPECT_TRUE(warned(" Value of _long cut at 200 characters"));
}

TEST_F(OutputValues, NotesOfTheDictionary) {
  state().dict.validnames = true;
  pfile_(" ");
  EXPECT_FALSE(pnumb_("_unknown", 1.5F, 0.0F));
  EXPECT_FALSE(pchar_("_other", std::string(60, 'v')));
  EXPECT_EQ(closed(), (Lines{testing::at_columns({{1, "_unknown 1.5"}, {57, "#< not in dictionary"}}),
                             "_other " + std::string(60, 'v'), testing::at_columns({{57, "#< not in dictionary"}})}));
}

TEST_F(OutputValues, XmlValuesTakeEntityReferences) {
  pxml_ = true;
  pfile_(" ");
  pdata_("t");
  pchar_("_a.b", "x&y<z>");
  const Lines out = closed();
  ASSERT_GE(out.size(), 4U);
  EXPECT_EQ(out[3], "<a.b> x&amp;y&lt;z&gt;");
}

}  // namespace
}  // namespace zatrel

namespace zatrel {
namespace {

// A dictionary whose name _cell.len has the type numb, the category cell
// with an XML translation, and an XML translation of its own; a block
// template for data blocks.
void fill_dictionary() {
  DictionaryState& d = state().dict;
  d.validnames = true;
  d.checktypes = "yes";
  d.xmltarget[1] = "Cell";
  d.xmltarget[2] = "Length kind=\"a\"";
  d.xmltarget[3] = "block_%";
  d.nxml = 3;
  d.xmldata = 3;
  const int cat = hash_store("cell", d.cats);
  d.categories.make(cat).cname = "cell";
  d.categories[cat].cxml = 1;
  const int entry = hash_store("_cell.len", d.names);
  DictEntry& e = d.entries.make(entry);
  e.dname = "_cell.len";
  e.dspell = "_cell.len";
  e.dtype4 = "numb";
  e.dcat = cat;
  e.aroot = entry;
  e.dxml = 2;
}

TEST_F(OutputValues, DictionaryTranslationsAndNotes) {
  fill_dictionary();
  pxml_ = true;
  pfile_(" ");
  pdata_("t");
  EXPECT_TRUE(pnumd_("_cell.len", 2.5, 0.0));
  EXPECT_TRUE(pchar_("_cell.len", "abc"));
  EXPECT_FALSE(pchar_("_cell.other", "x"));
  // The category is compared by name: cell.other stays in the element of
  // cell, whose translation names it.
  EXPECT_EQ(closed(), (Lines{R"(<?xml version="1.0"?>)", "<block_t>", "<Cell>", R"(<Length kind="a"> 2.5)",
                             testing::at_columns({{1, "abc"}, {57, "<!-- not correct type -->"}}), "</Length>",
                             testing::at_columns({{1, "<cell.other> x"}, {57, "<!-- not in dictionary -->"}}),
                             "</cell.other>", "</Cell>", "</block_t>"}));
}

}  // namespace
}  // namespace zatrel
