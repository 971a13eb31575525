// libFuzzer harness: any bytes, read as a CIF through every reading operation.
// A fatal condition of the toolbox (zatrel::Fatal) is its answer to bad input;
// anything else that escapes, and every sanitizer report, is a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
  const zatrel::fuzz::Variant variant(size);
  const std::size_t cut = variant.first_length(size);
  const std::string first = variant.append ? directory().write("first.cif", data, cut) : std::string();
  const std::string rest = directory().write("input.cif", data + cut, size - cut);
  zatrel::reset_state();
  // Messages are many on bad input: they go nowhere.
  zatrel::open_message_file(kMessageUnit, "/dev/null");
  zatrel::init_(kInputUnit, kOutputUnit, kScratchUnit, kMessageUnit);
  try {
    // The input itself is the script of requests: a change to the CIF is a
    // change to the order too.
    zatrel::fuzz::read_variant(variant, first, rest,
                               std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const zatrel::Fatal&) {
  }
  zatrel::purge_();
  zatrel::reset_state();
  return 0;
}
