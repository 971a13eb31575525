// XML tags and element names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "writer/writer_fixture.hpp"

namespace zatrel {
namespace {

using Lines = std::vector<std::string>;

class XmlTags : public testing::WriterTest {};

TEST_F(XmlTags, ElementNamesAreRepaired) {
  struct Case {
    std::string name, repaired;
    bool unchanged;
  };
  for (const Case& c : {Case{"1abc", "_abc", false}, Case{".x", "_x", false}, Case{"a.b-c1", "a.b-c1", true},
                        Case{"a b", "a b", true}, Case{"-a:b", "_a:b", false}, Case{"a/b c/d", "a_b c/d", false}}) {
    std::string name = c.name;
    EXPECT_EQ(xmncln(name, static_cast<int>(name.size())), c.unchanged) << c.name;
    EXPECT_EQ(name, c.repaired);
  }
}

// Holds with palign_ false: re-spacing would move the value away from its tag.
TEST_F(XmlTags, ValueFollowsItsTagAfterOneBlank) {
  pxml_ = true;
  palign_ = false;
  writer().nextcol = 7;
  putxo(std::string(72, ' '), "");  // a blank name: nothing, nextcol untouched
  EXPECT_EQ(writer().nextcol, 7);
  putxo("cell.length_a", "");
  putnum(5.4309, 0.0003, dprec_);
  putxc("cell.length_a", "");
  putxo("CELL", "cell attr=\"1\"");  // a translation with attributes closes by its bare name
  putxc("CELL", "cell attr=\"1\"");
  EXPECT_EQ(finished(), (Lines{"<cell.length_a> 5.4309(3)", "</cell.length_a>", "<cell attr=\"1\">", "</cell>"}));
  EXPECT_EQ(messages(), "");
}

TEST_F(XmlTags, RepairedTagIsUsedWithAWarning) {
  pxml_ = true;
  putxo("9cat", "");
  putxc("9cat", "");
  EXPECT_EQ(finished(), (Lines{"<_cat>", "</_cat>"}));
  EXPECT_NE(messages().find("#  XML required remapping for _cat\n"), std::string::npos);
}

// A loop column's tags are made once, with its first name; they come out as
// putxo and putxc make them, and the repair is told on every row.
TEST_F(XmlTags, LoopColumnTagsMatchTheTagsOfSingleItems) {
  pxml_ = true;
  putxo("9b", "");
  putxc("9b", "");
  putxo("c", "");
  putxc("c", "");
  const Lines single = lines();
  reset_state();
  init_(testing::kInputUnit, testing::kOutputUnit, testing::kScratchUnit, testing::kMessageUnit);
  ASSERT_TRUE(open_message_file(testing::kOutputUnit, path("loop.xml")));
  ASSERT_TRUE(open_message_file(testing::kMessageUnit, path("loop.txt")));
  pxml_ = true;
  palign_ = false;
  ploop_("_9b");
  ploop_("_c");
  for (const char* value : {"1", "2", "3", "4"}) pchar_(" ", value);
  close_();
  const std::string loop = testing::read_file(path("loop.xml"));
  for (const std::string& tag : single) EXPECT_NE(loop.find(tag), std::string::npos) << tag;
  const std::string said = testing::read_file(path("loop.txt"));
  std::size_t warnings = 0;
  for (std::size_t at = 0; (at = said.find("XML required remapping for _b\n", at)) != std::string::npos; ++at)
    ++warnings;
  EXPECT_EQ(warnings, 4U);  // two rows, two tags each
}

}  // namespace
}  // namespace zatrel
