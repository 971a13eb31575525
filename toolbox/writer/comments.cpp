// pcmnt_: a comment on a line of its own.
#include <string>

#include "core/text.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

bool pcmnt_(std::string_view text) {
  State& s = state();
  WriterState& w = s.writer;
  Visible& v = s.vis;
  if (w.intextfield) eotext(s);
  w.nextcol = v.pnamepos_ != 0 ? v.pnamepos_ + prefix_columns(w) : kNewLine;
  const std::string_view body = trailing_blanks_removed(text);
  const bool lone_tab = body == "\t" && !v.ptabs_;
  if (body.empty()) {
    // An empty line.
    w.nextcol = kNewLine;
    place("");
    mark_line_full();
  } else if (body == kFullLinePiece || lone_tab) {
    place(body);
  } else {
    std::string piece = v.pxml_ ? xml_comment(body) : prefixed('#', body);
    piece.resize(std::min<std::size_t>(piece.size(), MAXBUF));
    place(piece);
    mark_line_full();
  }
  v.pnamepos_ = 0;
  if (!lone_tab) w.nextcol = prefix_columns(w) + 1;
  return true;
}

}  // namespace zatrel
