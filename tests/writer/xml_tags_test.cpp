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

}  // namespace
}  // namespace zatrel
