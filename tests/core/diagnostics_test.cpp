// The message format: heading, line number in 7 columns, folding at 80.
#include <gtest/gtest.h>

#include <string>

#include "core/diagnostics.hpp"
#include "core/state.hpp"
#include "support/fresh_toolbox.hpp"

namespace zatrel {
namespace {

using testing::FreshToolbox;

class Diagnostics : public FreshToolbox {};

TEST_F(Diagnostics, WarningHeadingNamesFileBlockAndLine) {
  filename_ = "mode.cif";
  fnlen_ = 8;
  blockname_ = "test";
  core().curline = 12;
  warn(" Input line length exceeds line_");
  EXPECT_EQ(messages(),
            "#  zatrel warning: mode.cif data_test line:     12\n"
            "#  Input line length exceeds line_\n");
}

TEST_F(Diagnostics, HeadingForSaveFramesGlobalAndNoBlock) {
  filename_ = "a.cif";
  fnlen_ = 5;
  core().curline = 3;
  warn(" x");  // no block yet: the block word, the one blank of the name, " line:"
  insave_ = true;
  blockname_ = "frame";
  warn(" y");
  insave_ = false;
  inglobal_ = true;
  warn(" z");
  EXPECT_EQ(messages(),
            "#  zatrel warning: a.cif data_  line:      3\n#  x\n"
            "#  zatrel warning: a.cif save_frame line:      3\n#  y\n"
            "#  zatrel warning: a.cif global_ line:      3\n#  z\n");
}

TEST_F(Diagnostics, FoldsLongTextsAtBlanks) {
  const std::string eighty(80, 'a');
  const std::string eighty_one(81, 'b');
  std::string hundred_twenty(120, 'c');
  hundred_twenty[49] = ' ';
  hundred_twenty[99] = ' ';
  warn(eighty);
  warn(eighty_one);
  warn(hundred_twenty);
  const std::string heading = "#  zatrel warning:  data_  line:      0\n";
  EXPECT_EQ(messages(), heading + "# " + eighty + "\n" +                                        //
                            heading + "# " + std::string(80, 'b') + "\n# b\n" +                 //
                            heading + "# " + hundred_twenty.substr(0, 49) + "\n# " +            //
                            hundred_twenty.substr(50) + "\n");
}

TEST_F(Diagnostics, FoldingNeverWritesAnEmptyTail) {
  warn(std::string(160, 'x'));  // exactly two pieces
  const std::string out = messages();
  EXPECT_EQ(out.substr(out.find('\n') + 1), "# " + std::string(80, 'x') + "\n# " + std::string(80, 'x') + "\n");
}

TEST_F(Diagnostics, ErrorWritesThenEndsTheRunAndWarningReturns) {
  bool returned = false;
  warn(" first");
  returned = true;
  EXPECT_TRUE(returned);
  try {
    err(" Item miscount in loop");
    FAIL() << "err returned";
  } catch (const Fatal& e) {
    EXPECT_STREQ(e.what(), " Item miscount in loop");
  }
  EXPECT_NE(messages().find("#  zatrel error:  data_  line:      0\n#  Item miscount in loop\n"),
            std::string::npos);
}

TEST_F(Diagnostics, MessageFileKeepsOldContentsUntilTheFirstRecord) {
  const std::string log = write_file("log.dat", "old run\n");
  ASSERT_TRUE(open_message_file(34, log));
  close_unit(34);
  EXPECT_EQ(testing::read_file(log), "old run\n");  // a run with nothing to say
  ASSERT_TRUE(open_message_file(34, log));
  core().message_unit = 34;
  warn(" new");
  close_unit(34);
  EXPECT_EQ(testing::read_file(log), "#  zatrel warning:  data_  line:      0\n#  new\n");
}

}  // namespace
}  // namespace zatrel
