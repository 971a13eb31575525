// Shared text utilities: significant length, case, tab expansion.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "zatrel/zatrel.hpp"

namespace zatrel {

// One character followed by text ("_" and a category, "#" and a comment).
// Built by appending, which g++ 12 at -O3 does not misreport as overlapping.
inline std::string prefixed(char first, std::string_view text) {
  std::string joined;
  joined.reserve(text.size() + 1);
  joined += first;
  joined += text;
  return joined;
}

// N blanks, for blanking a field of fixed width in one copy: a copy of known
// size stays inline, where a fill becomes a call to memset.
template <std::size_t N>
inline constexpr std::array<char, N> kBlanksOf = [] {
  std::array<char, N> blanks{};
  blanks.fill(' ');
  return blanks;
}();

// The text without its trailing blanks (tabs and other characters stay).
constexpr std::string_view trailing_blanks_removed(std::string_view s) noexcept {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Column of position p (1-based) of a line once its tabs are expanded to stops
// every 8 columns.
int tab_expanded_column(std::string_view line, int p);

// Expands the tabs of the current input line into the expanded-line buffer,
// unless that line is already expanded.
void detab();

// Clears pending floating-point exception flags.
void clearfp();

// Lower case of the 26 letters only, in place.
void locase_in_place(char* text, std::size_t n) noexcept;

}  // namespace zatrel
