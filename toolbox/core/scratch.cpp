// The scratch store's operations: ocif_ copies the input into it, getlin
// brings one of its lines back into the line buffer.
#include "core/scratch.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

#include "core/coding_thread.hpp"
#include "core/diagnostics.hpp"
#include "core/line_coding.hpp"
#include "core/scratch_store.hpp"
#include "core/text.hpp"

namespace zatrel {

namespace {

// Opens the named input on the input unit; false when no such file exists.
bool open_input(CoreState& core, std::string_view name) {
  const std::string path(name);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return false;
    err(" Cannot open " + path + ": " + system_reason(errno));
  }
  if (S_ISDIR(info.st_mode)) err(" Cannot open " + path + ": " + system_reason(EISDIR));
  if (!core.units.open_for_reading(core.input_unit, path))
    err(" Cannot open " + path + ": " + system_reason(errno));
  return true;
}

// Before a file is read: no block, and, unless appending, no stored line.
void leave_previous_file(State& s) {
  CoreState& c = s.core;
  s.vis.insave_ = false;
  s.vis.inglobal_ = false;
  c.curcol = kBeforeLineEnd;
  c.linelen = 0;
  if (s.vis.line_ > MAXBUF) err(" Input line_ value > MAXBUF");
  if (c.nlines > 0 && !s.vis.appendcif_) {
    close_scratch_with_deletion(c);
    c.nlines = 0;
    c.blockend = 0;
  }
  untag_cache(c);
  c.tab = '\t';
  s.vis.blockname_.clear();
}

// A blank name reads the input unit as it stands; false when there is nothing
// to read.
bool open_named_input(State& s, std::string_view name, bool blank_name) {
  Visible& v = s.vis;
  v.filename_.assign(name);
  v.fnlen_ = lastnb(v.filename_.view());
  if (!blank_name) return open_input(s.core, trailing_blanks_removed(name));
  v.filename_.clear();
  v.fnlen_ = 1;
  const Unit* in = s.core.units.find(s.core.input_unit);
  return in != nullptr && in->fd.valid();
}

// The record the first new line goes to: a new store starts after its index
// records; an appended file goes on after the lines stored so far.
int first_data_record(State& s) {
  CoreState& c = s.core;
  if (c.nlines == 0) {
    close_scratch_with_deletion(c);
    create_scratch(c);
  }
  if (!s.vis.appendcif_ || c.nlines == 0) {
    c.next_free_record = 4;
    return 3;
  }
  if (xxflin(c.nlines).code == 0) err(" Failed to find end of direct access file");
  return take_free_record(c);
}

[[noreturn]] void fail_to_read(const State& s, int error_number) {
  err(" Cannot read " + std::string(s.vis.filename_.trimmed()) + ": " + system_reason(error_number));
}

bool worth_a_second_thread(const CoreState& c, int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= c.second_thread_from;
}

void store_lines_as_read(State& s, int fd, DataRecordWriter& writer) {
  LineSource source(fd);
  InputLine line;
  while (source.next(line)) store_line(s, line, writer);
  if (source.read_error() != 0) fail_to_read(s, source.read_error());
}

void store_lines_coded_alongside(State& s, CodedLineStream& stream, DataRecordWriter& writer) {
  HandedLine handed;
  while (stream.next(handed)) {
    if (handed.coded)
      file_coded_line(s, handed.bytes, handed.line.significant, writer);
    else
      store_line(s, handed.line, writer);
  }
  if (stream.read_error() != 0) fail_to_read(s, stream.read_error());
}

void store_all_lines(State& s, int first_record) {
  CoreState& c = s.core;
  const int fd = c.units.find(c.input_unit)->fd.get();
  c.records.begin_batch();
  {
    DataRecordWriter writer(c, first_record);
    std::optional<CodedLineStream> stream;
    if (worth_a_second_thread(c, fd)) {
      try {
        stream.emplace(fd);
      } catch (const std::system_error&) {
        // No thread to be had: the lines are read here, as for a small file.
      }
    }
    if (stream)
      store_lines_coded_alongside(s, *stream, writer);
    else
      store_lines_as_read(s, fd, writer);
    writer.finish();
  }
  flush_index();
  c.records.end_batch();
}

// Reading starts before the first line asked for, the whole file being one range.
void rewind_to_first_line(State& s) {
  CoreState& c = s.core;
  const int before_first = s.vis.firstline_ - 1 > 0 ? s.vis.firstline_ - 1 : 0;
  c.blockend = before_first;
  c.bufline = before_first;
  c.curline = before_first;
  c.tabline = -1;
  s.vis.inlineno_ = c.curline;
  s.vis.lastline_ = c.nlines;
}

// The cache buffer holding data record `record`, read in where missing: into
// the last untagged buffer, or else over the record farthest from it.
CachedRecord& cached_record(CoreState& c, int record) {
  for (CachedRecord& r : c.cache)
    if (r.record == record) return r;
  CachedRecord* hit = nullptr;
  for (CachedRecord& r : c.cache)
    if (r.record == 0) hit = &r;
  if (hit == nullptr) {
    int farthest = -1;
    for (CachedRecord& r : c.cache) {
      const int distance = r.record > record ? r.record - record : record - r.record;
      if (distance > farthest) {
        farthest = distance;
        hit = &r;
      }
    }
  }
  c.records.read(record, hit->bytes.data());
  hit->record = record;
  return *hit;
}

// Decodes the line at `at` into the line buffer; its decoded length.
int decode_line(CoreState& c, const LineLocation& at) {
  if (at.code == 0) {
    c.linebuf.clear();
    return 0;
  }
  const CachedRecord& r = cached_record(c, at.record);
  const std::size_t offset = static_cast<std::size_t>(at.position - 1);
  return xxrld(std::string_view(r.bytes.data() + offset, kRecordLength - offset), c.linebuf.data(), MAXBUF);
}

// Brings scratch line n into the line buffer, from the decoded lines kept
// where it is one of them; its decoded length.
int bring_line(CoreState& c, int n) {
  DecodedLine& kept = c.decoded_lines[static_cast<unsigned>(n) % kDecodedLines];
  if (kept.line == n) {
    c.linebuf.assign(std::string_view(kept.bytes.data(), static_cast<std::size_t>(kept.length)));
    return kept.length;
  }
  kept.length = decode_line(c, xxflin(n));
  // Past its decoded length a line is blank: only what was decoded is kept.
  std::memcpy(kept.bytes.data(), c.linebuf.data(), static_cast<std::size_t>(kept.length));
  kept.line = n;
  return kept.length;
}

// The length of the line just brought without its trailing blanks: a stored
// line ends in a non-blank, and then the buffer need not be scanned.
int trimmed_length(const Text<MAXBUF>& line, int decoded) {
  if (decoded > 0 && line.data()[decoded - 1] != ' ') return decoded;
  return lastnb(line.view(), decoded > 0 ? decoded : 1);
}

}  // namespace

bool ocif_(std::string_view name) {
  State& s = state();
  leave_previous_file(s);
  const bool blank_name = trailing_blanks_removed(name).empty();
  if (!open_named_input(s, name, blank_name)) return false;
  refuse_input_as_scratch(s.core);
  store_all_lines(s, first_data_record(s));
  rewind_to_first_line(s);
  if (!blank_name) s.core.units.close(s.core.input_unit);
  return true;
}

void getlin(Text<4>& flag) {
  State& s = state();
  CoreState& c = s.core;
  const Visible& v = s.vis;
  ++c.curline;
  c.curcol = 1;
  if (c.curline == c.bufline && c.curline > v.firstline_ && c.curline <= v.lastline_) return;
  const int e = v.lastline_ < c.blockend ? v.lastline_ : c.blockend;
  if (e < c.curline) {
    c.curline = e + 1;
    c.linebuf.clear();
    c.linelen = 0;
    c.curcol = kPastLineEnd;
    c.bufline = -1;
    flag = "fini";
    return;
  }
  const int decoded = bring_line(c, c.curline);
  s.vis.inlineno_ = c.curline;
  c.linelen = trimmed_length(c.linebuf, decoded);
  c.bufline = c.curline;
  flag = "    ";
}

}  // namespace zatrel
