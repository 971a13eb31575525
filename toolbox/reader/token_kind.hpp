// The kinds of token the scanner tells apart. Inside the reader a kind is this
// enum; callers see it as the four letters of itemtype_.
#pragma once

#include <cstdint>

#include "core/state.hpp"

namespace zatrel {

enum class TokenKind : std::uint8_t {
  name,   // _name
  loop,   // loop_
  data,   // data_...
  save,   // save_... (save_ alone ends a frame)
  glob,   // global_
  numb,   // a word shaped as a number
  chars,  // any other word, or a quoted string
  text,   // the first line of a text field
  null,   // ? or .
  fini,   // no token left in the data
};

// The itemtype_ of a kind, as callers see it.
const Flag4& kind_text(TokenKind kind) noexcept;

constexpr bool is_value(TokenKind kind) noexcept {
  return kind == TokenKind::numb || kind == TokenKind::chars || kind == TokenKind::text || kind == TokenKind::null;
}

constexpr bool is_header(TokenKind kind) noexcept {
  return kind == TokenKind::data || kind == TokenKind::save || kind == TokenKind::glob;
}

}  // namespace zatrel
