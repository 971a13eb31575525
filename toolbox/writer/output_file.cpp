// pfile_, close_ and prefx_: the output file and the line prefix.
#include <cerrno>
#include <string>

#include "core/diagnostics.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_line.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kXmlDeclaration = R"(<?xml version="1.0"?>)";
// Columns a line should keep free after the prefix.
constexpr int kRoomAfterPrefix = 72;

// Connects the output unit: the named file, created new, or standard output
// for a blank name unless the caller has connected something already.
bool connect_output(State& s, std::string_view path) {
  CoreState& core = s.core;
  if (path.empty()) {
    core.units.connect_standard_output(core.output_unit);
    return true;
  }
  const std::string name(path);
  if (core.units.create_new(core.output_unit, name)) {
    s.writer.file_opened = true;
    s.vis.outlineno_ = 0;
    return true;
  }
  // An existing file is the caller's to handle; any other failure is told.
  if (errno != EEXIST) warn(" Cannot create output file " + name + ": " + system_reason(errno));
  return false;
}

void start_output(State& s) {
  WriterState& w = s.writer;
  w.outopen = true;
  w.output_held = false;
  w.nblocks = 0;
  w.nextcol = w.prefixlen + 1;
  w.linepos = 0;
  OutputLine(w.outbuf).start(w.prefix.view(), prefix_columns(w));
}

void forget_constructs(WriterState& w) {
  w.loopcols = 0;
  w.loopcol = 0;
  w.loophead = false;
  w.intextfield = false;
  w.savefrm = false;
  w.xsave = false;
  w.xcat.clear();
  w.xcattr.clear();
  w.xblock.clear();
  w.xitem.clear();
  w.xitemtr.clear();
  w.xroot.clear();
}

// The declaration is the document's first line, with no prefix before it
// and never re-spaced; the next piece starts a new line.
void place_xml_declaration(WriterState& w) {
  const Text<MAXBUF> prefix = w.prefix;
  const int prefixlen = w.prefixlen;
  w.prefix.clear();
  w.prefixlen = 0;
  OutputLine(w.outbuf).start("", 0);
  w.nextcol = 1;
  place(kXmlDeclaration);
  w.textline = true;
  mark_line_full();
  w.prefix = prefix;
  w.prefixlen = prefixlen;
}

}  // namespace

bool pfile_(std::string_view name) {
  State& s = state();
  WriterState& w = s.writer;
  if (w.outopen) close_();
  w.outopen = false;
  s.vis.filename_ = name;
  const std::string_view given = s.vis.filename_.view();
  const std::size_t blank = given.find(' ');
  const std::string_view path = given.substr(0, blank);
  s.vis.fnlen_ = path.empty() ? 1 : static_cast<int>(path.size());
  const bool result = connect_output(s, path);
  if (result) {
    start_output(s);
  } else {
    w.output_held = true;  // nothing goes anywhere until a pfile_ succeeds
  }
  forget_constructs(w);
  if (s.vis.pxml_ && w.prefixlen > 0) prefx_(" ", 0);
  if (s.vis.pxml_ && result) place_xml_declaration(w);
  return result;
}

bool close_() {
  State& s = state();
  WriterState& w = s.writer;
  if (w.intextfield) eotext(s);
  if (w.loopcols != 0) eoloop(s);
  if (s.vis.pxml_ && w.outopen) {
    xml_need_root(s);  // a document without elements has no root
    xml_close_all(s);
  }
  end_line_if_used(w);
  flush_output();
  if (w.file_opened) {
    CoreState& core = s.core;
    const Unit* u = core.units.find(core.output_unit);
    const std::string path = u != nullptr ? u->path : s.vis.filename_.str();
    w.file_opened = false;
    w.output_held = true;
    s.vis.outlineno_ = 0;
    if (!core.units.finish(core.output_unit)) err(" Cannot close " + path + ": " + system_reason(errno));
  }
  w.xroot.clear();
  w.xsave = false;
  return true;
}

bool prefx_(std::string_view text, int n) {
  State& s = state();
  WriterState& w = s.writer;
  // Text before the root element, or markup in the prefix, would break the
  // XML document.
  if (s.vis.pxml_ && n >= 1) {
    warn(" Prefix ignored in XML output");
    n = 0;
  }
  const int width = mxline(s.vis.line_);
  const bool line_used = w.linepos >= prefix_columns(w) + 1;
  // The line in hand is written with the prefix it began with.
  if (n != w.prefixlen && line_used) place_on_new_line(w, "");
  const bool still_used = n == w.prefixlen && line_used;
  const int old = w.prefixlen;
  const int now = std::max(n, 0);
  if (n > width) warn(" Prefix string truncated");
  w.prefix = text.substr(0, std::min<std::size_t>(text.size(), static_cast<std::size_t>(now)));
  if (w.nextcol >= old + 1) w.nextcol = w.nextcol - old + now;
  w.prefixlen = now;
  OutputLine line(w.outbuf);
  if (still_used) {
    line.receive(1, w.prefix.view().substr(0, static_cast<std::size_t>(prefix_columns(w))));
  } else {
    // No column of the old prefix stays on the new line.
    line.start(w.prefix.view(), prefix_columns(w));
    w.linepos = 0;
  }
  if (n >= 1 && width - n < kRoomAfterPrefix) warn(" Output prefix may force line overflow");
  return true;
}

}  // namespace zatrel
