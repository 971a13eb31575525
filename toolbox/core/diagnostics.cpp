#include "core/diagnostics.hpp"

#include <cstdio>
#include <string>

#include "core/state.hpp"

namespace zatrel {

namespace {

constexpr std::size_t kFoldWidth = 80;

std::string heading(std::string_view kind) {
  const Visible& v = state().vis;
  std::string h = " zatrel ";
  h += kind;
  h += ": ";
  h += v.filename_.view().substr(0, static_cast<std::size_t>(v.fnlen_ < 0 ? 0 : v.fnlen_));
  if (v.inglobal_) {
    h += " global_";
  } else {
    h += ' ';
    h += v.insave_ ? "save_" : "data_";
    h += v.blockname_.view().substr(0, static_cast<std::size_t>(lastnb(v.blockname_.view())));
  }
  h += " line:";
  if (h.size() > static_cast<std::size_t>(MAXBUF)) h.resize(MAXBUF);
  h.resize(static_cast<std::size_t>(lastnb(h)));
  return h;
}

}  // namespace

void cifmsg(std::string_view kind, std::string_view text) {
  CoreState& core = state().core;
  char number[16];
  std::snprintf(number, sizeof number, "%7d", core.curline);
  core.units.write_record(core.message_unit, "# " + heading(kind) + number);

  // Fold at 80 characters, preferring to break at a blank (which is dropped).
  std::size_t c = 0;
  const std::size_t length = text.size();
  while (length - c > kFoldWidth) {
    const std::size_t u = c + kFoldWidth - 1;  // last position of an 80-character piece
    std::size_t p = u;
    while (p > c && text[p] != ' ') --p;
    if (p > c) {
      core.units.write_record(core.message_unit, "# " + std::string(text.substr(c, p - c)));
      c = p + 1;
    } else {
      core.units.write_record(core.message_unit, "# " + std::string(text.substr(c, u - c + 1)));
      c = u + 1;
    }
    if (c >= length) return;
  }
  core.units.write_record(core.message_unit, "# " + std::string(text.substr(c)));
}

void warn(std::string_view text) { cifmsg("warning", text); }

void err(std::string_view text) {
  cifmsg("error", text);
  throw Fatal(std::string(text));
}

}  // namespace zatrel
