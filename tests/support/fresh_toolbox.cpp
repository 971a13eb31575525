#include "support/fresh_toolbox.hpp"

#include <cstdlib>

#include "zatrel/zatrel.hpp"

namespace zatrel::testing {

void FreshToolbox::SetUp() {
  reset_state();
  temp_ = std::make_unique<TempDir>();
  dir_ = temp_->path().string();
  ::setenv("ZORERO", (dir_ + "/").c_str(), 1);
  ASSERT_TRUE(open_message_file(kMessageUnit, path("messages.txt")));
  init_(kInputUnit, kOutputUnit, kScratchUnit, kMessageUnit);
}

void FreshToolbox::TearDown() {
  reset_state();
  temp_.reset();
}

std::string FreshToolbox::write_file(std::string_view name, std::string_view contents) const {
  const std::string p = path(name);
  zatrel::testing::write_file(p, contents);
  return p;
}

void FreshToolbox::open_cif(std::string_view contents) {
  ASSERT_TRUE(ocif_(write_file("input.cif", contents)));
}

std::string FreshToolbox::messages() const { return read_file(path("messages.txt")); }

}  // namespace zatrel::testing
