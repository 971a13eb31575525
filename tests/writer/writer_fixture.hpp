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
    if (writer().linepos >= prefix_columns(writer()) + 1) put_on_new_line("");
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
  // A prefix as prefx_ leaves it on an empty line.
  void set_prefix(std::string_view text) {
    writer().prefix = text;
    writer().prefixlen = static_cast<int>(text.size());
    writer().outbuf = text.substr(0, static_cast<std::size_t>(prefix_columns(writer())));
    writer().nextcol = writer().prefixlen + 1;
    writer().linepos = 0;
  }
  // Starts a loop of the given number of names whose values come next.
  void in_loop_values(int names) {
    writer().loopcols = names;
    writer().loopcol = 0;
    writer().loophead = false;
  }
};

// A line with each text at its column (blanks between).
inline std::string at_columns(std::initializer_list<std::pair<int, std::string_view>> texts) {
  std::string line;
  for (const auto& [column, text] : texts) {
    const auto first = static_cast<std::size_t>(column - 1);
    if (line.size() < first) line.resize(first, ' ');
    line.replace(first, std::min(text.size(), line.size() - first), text);
  }
  return line;
}

}  // namespace zatrel::testing
