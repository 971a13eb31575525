// A fresh toolbox whose output unit writes to a file the test reads back.
#pragma once

#include <string>
#include <vector>

#include "core/state.hpp"
#include "support/fresh_toolbox.hpp"
#include "writer/line_composition.hpp"

namespace zatrel::testing {

class WriterTest : public FreshToolbox {
 protected:
  void SetUp() override {
    FreshToolbox::SetUp();
    ASSERT_TRUE(open_message_file(kOutputUnit, path("out.cif")));
  }

  WriterState& writer() { return state().writer; }

  // Places pieces in order.
  void put(std::initializer_list<std::string_view> pieces) {
    for (std::string_view p : pieces) putstr(p);
  }
  // Places a piece on a new line.
  void put_on_new_line(std::string_view piece) {
    writer().nextcol = kNewLine;
    putstr(piece);
  }
  // Ends the current line as close_ does.
  void end_line() {
    if (writer().linepos >= writer().prefixlen + 1) put_on_new_line("");
  }
  // Every line written so far, without their line feeds.
  std::vector<std::string> lines() {
    flush_output();
    std::vector<std::string> out;
    const std::string all = read_file(path("out.cif"));
    std::size_t start = 0;
    for (std::size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1)
      out.push_back(all.substr(start, nl - start));
    EXPECT_EQ(start, all.size()) << "every line ends with a line feed";
    return out;
  }
  // Ends the line and returns all lines.
  std::vector<std::string> finished() {
    end_line();
    return lines();
  }
  // Starts a loop of the given number of names whose values come next.
  void in_loop_values(int names) {
    writer().loopcols = names;
    writer().loopcol = 0;
    writer().loophead = false;
  }
};

}  // namespace zatrel::testing
