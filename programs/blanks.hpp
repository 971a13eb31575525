// Texts the toolbox hands out are blank-padded; the programs use them without
// the padding.
#pragma once

#include <string_view>

namespace zatrel::programs {

// The part of a text up to its last non-blank character.
inline std::string_view without_trailing_blanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

}  // namespace zatrel::programs
