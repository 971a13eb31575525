// The output operations writing to a file the test reads back: pfile_ with a
// blank name takes the unit the fixture has connected.
#pragma once

#include <string>
#include <vector>

#include "writer/writer_fixture.hpp"

namespace zatrel::testing {

using Lines = std::vector<std::string>;

class OutputOpsTest : public WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    palign_ = false;  // the layouts below are those of unaligned output
  }
  // All lines of the output after close_.
  Lines closed() {
    close_();
    return lines();
  }
  bool warned(std::string_view text) const {
    return messages().find("# " + std::string(text) + "\n") != std::string::npos;
  }
};

}  // namespace zatrel::testing
