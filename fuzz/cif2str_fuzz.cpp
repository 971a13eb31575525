// libFuzzer harness: any bytes, converted by cif2str as its program would.
// A STOP line is its answer to bad input; an internal error (an exception the
// converter did not expect), anything else that escapes, and every sanitizer
// report, is a fault.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <zatrel/zatrel.hpp>

#include "program.hpp"
#include "ram_directory.hpp"

namespace {

const zatrel::fuzz::RamDirectory& directory() {
  static const zatrel::fuzz::RamDirectory dir("zatrel-fuzz-cif2str");
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // cif2str writes its diagnostics file in the current directory: the RAM one.
  if (::chdir(directory().path().c_str()) != 0) {
    std::perror("chdir");
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> arguments{directory().write("input.cif", data, size)};
  zatrel::reset_state();
  std::ostringstream out;
  std::ostringstream err;
  cif2str::run_cif2str(arguments, out, err);
  zatrel::reset_state();
  if (err.str().starts_with("STOP Internal error")) {
    std::fputs(err.str().c_str(), stderr);
    std::abort();
  }
  return 0;
}
