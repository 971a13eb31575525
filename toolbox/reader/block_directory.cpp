// data_: selects a data block, save frame or global block and builds its
// directory. Values are not kept, only where they stand in the scratch file.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "core/diagnostics.hpp"
#include "core/text.hpp"
#include "reader/block_body.hpp"
#include "reader/block_reading.hpp"
#include "reader/hash_funcs.hpp"
#include "reader/tokens.hpp"

namespace zatrel {

namespace {

enum class Opening { end_of_data, header, without_header };

struct Request {
  Name name;         // lower case, cut to the name width
  bool any = false;  // a blank request: the next block, whatever its name
};

Request request_for(std::string_view name) {
  Request request;
  request.name = name;
  locase_in_place(request.name.data(), Name::width);
  request.any = name.find_first_not_of(' ') == std::string_view::npos;
  return request;
}

// The value positions describe the last value of the previous block.
void forget_previous_block(State& s) {
  forget_block(s);
  s.vis.namepos_ = 0;
  s.vis.valpos_ = 0;
  s.vis.decpos_ = 0;
  s.vis.endpos_ = 0;
}

bool header_at(int position) {
  const std::string_view line = state().core.linebuf.view();
  if (position < 1 || position > MAXBUF) return false;
  const std::string_view rest = line.substr(static_cast<std::size_t>(position) - 1);
  return rest.starts_with("data_") || rest.starts_with("save_") || rest.starts_with("global_");
}

// A blank request goes on after the current block: from its last line, or,
// when that line also holds the next header, from just before that header.
void go_to_scan_start(const Request& request, int old_blockend) {
  State& s = state();
  CoreState& core = s.core;
  ReaderState& r = s.reader;
  core.curcol = kBeforeLineEnd;
  if (!request.any) {
    core.curline = std::max(s.vis.firstline_ - 1, 0);
  } else {
    core.curline = old_blockend;
    const bool shared =
        r.shared_end_line > 0 && r.shared_end_line == old_blockend && r.shared_end_nlines == core.nlines;
    if (shared && read_line(old_blockend) && header_at(r.shared_end_col + 1)) {
      core.curcol = r.shared_end_col;
    } else {
      core.curline = old_blockend;
      core.curcol = kBeforeLineEnd;
    }
  }
  r.shared_end_line = 0;
  r.shared_end_col = 0;
  r.shared_end_nlines = 0;
  // A scan from the start of the CIF begins outside any save frame, whatever
  // frame was selected before.
  if (core.curline == std::max(s.vis.firstline_ - 1, 0)) s.vis.insave_ = false;
}

bool names_requested_block(const Request& request) {
  const Visible& v = state().vis;
  if (request.any) return true;
  Name found;
  if (v.vallen_ > 5) found = v.strval_.view().substr(5, static_cast<std::size_t>(v.vallen_ - 5));
  locase_in_place(found.data(), Name::width);
  return std::memcmp(found.data(), request.name.data(), Name::width) == 0;
}

void take_header() {
  Visible& v = state().vis;
  v.blockname_ = v.vallen_ > 5 ? v.strval_.view().substr(5, static_cast<std::size_t>(v.vallen_ - 5)) : "";
  // Blocks whose names differ only after the width would look alike.
  if (v.vallen_ - 5 > NAMELEN)
    warn(" Block name longer than 72 characters cut to 72: " +
         std::string(v.strval_.view().substr(0, static_cast<std::size_t>(v.vallen_))));
  const int start = token_start();
  v.namepos_ = v.intabs_ ? tab_expanded_column(state().core.linebuf.view(), start) : start;
}

// Reads tokens up to the block asked for. The header state is the reading
// position just after the last token; the previous state, just before it.
Opening scan_headers(const Request& request, ReadingPoint& header, ReadingPoint& previous, TokenKind& kind) {
  Visible& v = state().vis;
  bool passed_terminator = false;
  for (;;) {
    previous.capture();
    kind = getstr();
    header.capture();
    if (kind == TokenKind::fini) return Opening::end_of_data;
    if (kind == TokenKind::text) {
      pass_text_field(state().core, AtDataEnd::fail);
    } else if (kind == TokenKind::save && v.vallen_ <= 5) {
      if (!v.insave_) err(" Save frame terminator found out of context");
      v.insave_ = false;
      passed_terminator = true;
    } else if (kind == TokenKind::save) {
      if (v.insave_) err(" Prior save frame not terminated");
      v.insave_ = true;
      if (names_requested_block(request)) break;
    } else if (kind == TokenKind::glob) {
      if (request.any) {
        v.inglobal_ = true;
        break;
      }
    } else if (kind == TokenKind::data) {
      if (names_requested_block(request)) break;
    } else if ((kind == TokenKind::name || kind == TokenKind::loop) && request.any) {
      // The rest of a block after its save frames needs no header.
      if (!passed_terminator) warn(" Data block header missing");
      header = previous;
      v.blockname_.clear();
      v.namepos_ = tab_expanded_column(state().core.linebuf.view(), token_start());
      return Opening::without_header;
    }
  }
  take_header();
  return Opening::header;
}

// The bare values that follow on the current line, taken together; false
// when there are none and the next token must be taken alone.
bool take_values_of_line(BlockBody& body, PendingToken& pending) {
  constexpr std::size_t kAtOnce = 32;
  std::array<TokenPlace, kAtOnce> places;
  std::array<TokenKind, kAtOnce> kinds;
  const int found = locate_bare_words(pending, places, kinds);
  if (found == 0) return false;
  body.take_bare_values(std::span(kinds).first(static_cast<std::size_t>(found)));
  return true;
}

void finish(const BlockBody& body, const ReadingPoint& header) {
  State& s = state();
  CoreState& core = s.core;
  ReaderState& r = s.reader;
  if (body.ended_on_shared_line()) {
    core.blockend = core.curline;
    r.shared_end_line = core.curline;
    r.shared_end_col = body.end_position() - 1;
    r.shared_end_nlines = core.nlines;
  } else {
    core.blockend = core.curline - 1;
  }
  if (body.ended_by_terminator()) s.vis.valpos_ = s.vis.intabs_ ? body.end_column() : body.end_position();
  header.restore();
  s.vis.inlineno_ = core.curline;
  s.vis.inloop_ = false;
  r.packetno = 0;
  if (!body.complete()) err(" Syntax construction error");
}

}  // namespace

bool data_(std::string_view name) {
  State& s = state();
  CoreState& core = s.core;
  const Request request = request_for(name);
  forget_previous_block(s);
  const int old_blockend = core.blockend;
  core.blockend = std::min(s.vis.lastline_, core.nlines);
  go_to_scan_start(request, old_blockend);
  hash_init(s.reader.block_names);
  hash_init(s.reader.block_cats);
  s.reader.nloops = 0;

  ReadingPoint header;
  header.capture();
  ReadingPoint previous = header;
  TokenKind kind = TokenKind::fini;
  const Opening opening = scan_headers(request, header, previous, kind);

  BlockBody body(s);
  if (opening != Opening::end_of_data) {
    // A block without header begins with the token that showed it.
    bool more = opening == Opening::without_header ? body.take(kind) : true;
    PendingToken pending;
    try {
      while (more) {
        if (body.takes_values_in_bulk()) {
          if (take_values_of_line(body, pending)) continue;
          // A row that starts a line is taken with the line's other values.
          const std::optional<TokenKind> kind = next_directory_token_unless_bare(pending);
          if (kind) {
            more = body.take(*kind);
            continue;
          }
          if (take_values_of_line(body, pending)) continue;
        }
        more = body.take(next_directory_token(pending, body.next_kind_matters()));
      }
    } catch (...) {
      settle_token(pending);  // a caller that goes on sees the token that failed
      throw;
    }
    settle_token(pending);
  }
  finish(body, header);
  return opening != Opening::end_of_data;
}

}  // namespace zatrel
