// libFuzzer harness: any bytes, read as a CIF through every reading operation.
// A fatal condition of the toolbox (zatrel::Fatal) is its answer to bad input;
// anything else that escapes, and every sanitizer report, is a fault.
#include <cstddef>
#include <cstdint>

#include <zatrel/zatrel.hpp>

#include "ram_directory.hpp"
#include "read_everything.hpp"

namespace {

constexpr int kInputUnit = 31;
constexpr int kOutputUnit = 32;
constexpr int kScratchUnit = 33;
constexpr int kMessageUnit = 34;

const zatrel::fuzz::RamDirectory& directory() {
  static const zatrel::fuzz::RamDirectory dir("zatrel-fuzz-read");
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = directory().write("input.cif", data, size);
  zatrel::reset_state();
  // Messages are many on bad input: they go nowhere.
  zatrel::open_message_file(kMessageUnit, "/dev/null");
  zatrel::init_(kInputUnit, kOutputUnit, kScratchUnit, kMessageUnit);
  // Both ways of giving tabs, chosen by the input so that each is explored.
  zatrel::intabs_ = size % 2 == 1;
  try {
    zatrel::fuzz::read_everything(input);
  } catch (const zatrel::Fatal&) {
  }
  zatrel::purge_();
  zatrel::reset_state();
  return 0;
}
