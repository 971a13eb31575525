// A fresh toolbox for each test, working in a temporary directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/state.hpp"
#include "support/files.hpp"

namespace zatrel::testing {

inline constexpr int kInputUnit = 1;
inline constexpr int kOutputUnit = 2;
inline constexpr int kScratchUnit = 3;
inline constexpr int kMessageUnit = 6;

class FreshToolbox : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file in the test's directory and returns its path.
  std::string write_file(std::string_view name, std::string_view contents) const;
  // Writes the CIF text and opens it with ocif_.
  void open_cif(std::string_view contents);
  // Everything written to the message unit so far.
  std::string messages() const;
  std::string path(std::string_view name) const { return dir_ + "/" + std::string(name); }

  // The reading state of the core room: the one place tests reach into it.
  static CoreState& core() { return state().core; }
  // Makes the stored lines up to n readable, as data_ does for a block ending there.
  static void make_readable(int n) { core().blockend = n; }
  // Makes every stored line readable.
  static void make_all_readable() { make_readable(core().nlines); }
  // Puts the reading position just before line n, so that getlin reads line n.
  static void go_before_line(int n) { core().curline = n - 1; }

  std::string dir_;

 private:
  std::unique_ptr<TempDir> temp_;
};

}  // namespace zatrel::testing
