#include "support/fresh_toolbox.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "zatrel/zatrel.hpp"

namespace zatrel::testing {

void FreshToolbox::SetUp() {
  reset_state();
  char pattern[] = "/tmp/zatrel-test-XXXXXX";
  const char* made = ::mkdtemp(pattern);
  ASSERT_NE(made, nullptr);
  dir_ = made;
  ::setenv("ZORERO", (dir_ + "/").c_str(), 1);
  ASSERT_TRUE(open_message_file(kMessageUnit, path("messages.txt")));
  init_(kInputUnit, kOutputUnit, kScratchUnit, kMessageUnit);
}

void FreshToolbox::TearDown() {
  reset_state();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string FreshToolbox::write_file(std::string_view name, std::string_view contents) const {
  const std::string p = path(name);
  std::ofstream out(p, std::ios::binary);
  out << contents;
  return p;
}

void FreshToolbox::open_cif(std::string_view contents) {
  ASSERT_TRUE(ocif_(write_file("input.cif", contents)));
}

std::string FreshToolbox::messages() const { return read_file(path("messages.txt")); }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

}  // namespace zatrel::testing
