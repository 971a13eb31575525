#include "core/scratch.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/diagnostics.hpp"
#include "core/input_lines.hpp"
#include "core/line_coding.hpp"
#include "core/state.hpp"
#include "core/text.hpp"

namespace zatrel {

namespace {

constexpr int kFieldWidth = 8;
constexpr int kFieldsPerRecord = kRecordLength / kFieldWidth;  // 256
constexpr int kLargestCode = 99999999;                         // what an 8-column field holds

CoreState& core() { return state().core; }

std::string_view trailing_blanks_removed(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

[[noreturn]] void scratch_creation_failure(int error_number) {
  err(" Scratch file " + scratch_path() + " cannot be created: " + system_reason(error_number));
}

int scratch_fd() {
  Unit* u = core().units.find(core().scratch_unit);
  return u == nullptr ? -1 : u->fd.get();
}

void write_record(int record, const char* bytes) { core().records.write(record, bytes); }
void read_record(int record, char* bytes) { core().records.read(record, bytes); }

void write_blank_record(int record) {
  char blank[kRecordLength];
  std::memset(blank, ' ', sizeof blank);
  write_record(record, blank);
}

// "(i8)" fields: right-justified, blank on the left; a blank field is 0.
void format_fields(const IndexRecord& index, int fields, char* bytes) {
  std::memset(bytes, ' ', kRecordLength);
  for (int f = 0; f < fields; ++f) {
    unsigned value = static_cast<unsigned>(index.fields[static_cast<std::size_t>(f)]);
    char* end = bytes + (f + 1) * kFieldWidth;
    do {
      *--end = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
  }
}

void parse_fields(const char* bytes, IndexRecord& index) {
  for (int f = 0; f < kFieldsPerRecord; ++f) {
    int value = 0;
    for (int i = 0; i < kFieldWidth; ++i) {
      const char c = bytes[f * kFieldWidth + i];
      if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    }
    index.fields[static_cast<std::size_t>(f)] = value;
  }
}

void write_index(IndexRecord& index, int fields) {
  char bytes[kRecordLength];
  format_fields(index, fields, bytes);
  write_record(index.record, bytes);
  index.changed = false;
}

void write_directory_if_changed() {
  if (core().directory.changed) write_index(core().directory, kFieldsPerRecord);
}
void write_leaf_if_changed() {
  if (core().leaf.changed) write_index(core().leaf, kFieldsPerRecord);
}

int take_free_record() { return core().next_free_record++; }

// Makes directory d the current one, extending the chain where it ends.
void load_directory(int d) {
  write_directory_if_changed();
  IndexRecord& dir = core().directory;
  int record = 1;
  bool created = false;
  char bytes[kRecordLength];
  for (int k = 1;; ++k) {
    read_record(record, bytes);
    if (k == d) break;
    IndexRecord walked;
    parse_fields(bytes, walked);
    int link = walked.fields[0];
    if (link == 0) {
      link = take_free_record();
      walked.fields[0] = link;
      walked.record = record;
      // Only the link field changes; the leaf fields are kept as read.
      std::memcpy(bytes, "        ", kFieldWidth);
      char* end = bytes + kFieldWidth;
      unsigned value = static_cast<unsigned>(link);
      do {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
      } while (value != 0);
      write_record(record, bytes);
      IndexRecord blank;
      blank.record = link;
      format_fields(blank, 1, bytes);
      write_record(link, bytes);
      created = true;
    }
    record = link;
  }
  parse_fields(bytes, dir);
  dir.number = d;
  dir.record = record;
  dir.changed = created;
}

void load_leaf(int s, int directory_field) {
  write_leaf_if_changed();
  IndexRecord& dir = core().directory;
  IndexRecord& leaf = core().leaf;
  const int record = dir.fields[static_cast<std::size_t>(directory_field - 1)];
  leaf.number = s;
  if (record != 0) {
    char bytes[kRecordLength];
    read_record(record, bytes);
    parse_fields(bytes, leaf);
    leaf.record = record;
    leaf.changed = false;
    return;
  }
  leaf.fields.fill(0);
  leaf.record = take_free_record();
  dir.fields[static_cast<std::size_t>(directory_field - 1)] = leaf.record;
  dir.changed = true;
  leaf.changed = true;
  write_blank_record(leaf.record);
}

// A fresh index: directory 1 in record 1, leaf 1 in record 2, both unwritten.
void start_index() {
  IndexRecord& dir = core().directory;
  IndexRecord& leaf = core().leaf;
  dir = IndexRecord{};
  dir.number = 1;
  dir.record = 1;
  dir.fields[1] = 2;
  dir.changed = true;
  leaf = IndexRecord{};
  leaf.number = 1;
  leaf.record = 2;
  leaf.changed = true;
  core().next_free_record = 3;
}

bool same_file(int fd, const std::string& path) {
  struct stat open_file {};
  struct stat named {};
  return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

// Another run may have replaced the file by now: only our own is deleted.
void close_scratch_with_deletion() {
  Unit* u = core().units.find(core().scratch_unit);
  if (u == nullptr) return;
  if (u->fd.valid() && same_file(u->fd.get(), u->path)) ::unlink(u->path.c_str());
  core().records.detach();
  core().units.close(core().scratch_unit);
}

// The scratch file must never be the file about to be read, whatever the
// spelling of either path: creating it would delete the input, and appending
// to it would read back its own records.
void refuse_input_as_scratch() {
  const Unit* in = core().units.find(core().input_unit);
  if (in == nullptr || !in->fd.valid()) return;
  const std::string path = scratch_path();
  if (same_file(in->fd.get(), path))
    err(" Input file is the scratch file " + path + ": not read, left untouched");
}

// A new file of our own: whatever had the name is removed first, so that runs
// sharing a directory never read each other's lines.
void create_scratch() {
  const std::string path = scratch_path();
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    ::unlink(path.c_str());
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) scratch_creation_failure(errno);
  }
  if (fd < 0) scratch_creation_failure(EEXIST);
  core().units.close(core().scratch_unit);
  core().units.adopt(core().scratch_unit, FileDescriptor(fd), path);
  core().records.attach(fd, path);
  start_index();
}

void untag_cache() {
  for (CachedRecord& c : core().cache) c.record = 0;
}

// Writes the data record being filled and moves to the next cache buffer.
class DataRecordWriter {
 public:
  explicit DataRecordWriter(int record) : record_(record) { buffer().record = 0; }

  void add(const char* encoded, int length) {
    if (p_ + length - 1 > kRecordLength) {
      finish_record();
      record_ = take_free_record();
      slot_ = (slot_ + 1) % kCachedRecords;
      buffer().record = 0;
      p_ = 1;
    }
    std::memcpy(buffer().bytes.data() + p_ - 1, encoded, static_cast<std::size_t>(length));
  }
  int record() const { return record_; }
  int position() const { return p_; }
  void advance(int length) { p_ += (length + 7) / 8 * 8; }

  void finish() {
    if (p_ > 1) finish_record();
  }

 private:
  CachedRecord& buffer() { return core().cache[static_cast<std::size_t>(slot_)]; }
  void finish_record() {
    if (p_ <= kRecordLength)
      std::memset(buffer().bytes.data() + p_ - 1, ' ', static_cast<std::size_t>(kRecordLength - p_ + 1));
    write_record(record_, buffer().bytes.data());
    buffer().record = record_;
  }

  int record_;
  int slot_ = 0;
  int p_ = 1;
};

// Removes blanks from a data_ header line: each blank found is removed by
// shifting the rest left, and the scan moves on without re-examining the
// character shifted into place (so of two adjacent blanks one survives).
int remove_header_blanks(char* line, int t) {
  for (int i = 1; i <= t && i <= MAXBUF; ++i) {
    if (line[i - 1] != ' ') continue;
    std::memmove(line + i - 1, line + i, static_cast<std::size_t>(MAXBUF - i));
    line[MAXBUF - 1] = ' ';
    --t;
  }
  return t;
}

// Stores one input line the way a read into a 200-character buffer leaves it:
// cut at MAXBUF, then its trailing blanks and one trailing control character
// go. The length warning looks at the whole line as read.
void store_line(const InputLine& line, DataRecordWriter& writer) {
  CoreState& c = core();
  Visible& v = state().vis;
  ++c.nlines;
  c.curline = c.nlines;

  int t = kept_length(line.head);
  std::string_view stored = line.head;
  // The line is copied into the blank-padded buffer only when it must change
  // or when its significant part reaches into the padding.
  const bool header = line.head.starts_with("data_");
  if (header || t > static_cast<int>(line.head.size())) {
    c.linebuf.assign(line.head);
    if (header) t = remove_header_blanks(c.linebuf.data(), t);
    stored = c.linebuf.view();
  }
  if (line.significant > v.line_) warn(" Input line length exceeds line_");

  char encoded[kRecordLength];
  const int length = xxrle(stored, t, encoded, kRecordLength);
  writer.add(encoded, length);
  const LineLocation where = xxflin(c.nlines);
  const int code = (writer.record() - 1) * kFieldsPerRecord + (writer.position() - 1) / kFieldWidth + 1;
  if (code > kLargestCode) err(" Scratch file index full: input too large");
  c.leaf.fields[static_cast<std::size_t>(where.leaf_field - 1)] = code;
  c.leaf.changed = true;
  writer.advance(length);
}

// Opens the named input on the input unit; false when no such file exists.
bool open_input(std::string_view name) {
  const std::string path(name);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return false;
    err(" Cannot open " + path + ": " + system_reason(errno));
  }
  if (S_ISDIR(info.st_mode)) err(" Cannot open " + path + ": " + system_reason(EISDIR));
  if (!core().units.open_for_reading(core().input_unit, path))
    err(" Cannot open " + path + ": " + system_reason(errno));
  return true;
}

}  // namespace

std::string scratch_path() {
  const char* dir = std::getenv("ZORERO");
  std::string_view prefix = dir == nullptr ? std::string_view{} : trailing_blanks_removed(dir);
  if (prefix.empty()) return "./cifscratch.dat";
  return std::string(prefix) + "cifscratch.dat";
}

void flush_index() {
  if (scratch_fd() < 0) return;
  write_leaf_if_changed();
  write_directory_if_changed();
}

LineLocation xxflin(int n) {
  LineLocation at;
  at.leaf = (n - 1) / kLinesPerLeaf + 1;
  at.leaf_field = (n - 1) % kLinesPerLeaf + 1;
  at.directory = (at.leaf - 1) / kLeavesPerDirectory + 1;
  at.directory_field = (at.leaf - 1) % kLeavesPerDirectory + 2;
  CoreState& c = core();
  if (at.leaf != c.leaf.number) {
    write_leaf_if_changed();
    if (at.directory != c.directory.number) load_directory(at.directory);
    load_leaf(at.leaf, at.directory_field);
  }
  at.code = c.leaf.fields[static_cast<std::size_t>(at.leaf_field - 1)];
  if (at.code > 0) {
    at.record = (at.code - 1) / kFieldsPerRecord + 1;
    at.position = ((at.code - 1) % kFieldsPerRecord) * kFieldWidth + 1;
  }
  return at;
}

bool ocif_(std::string_view name) {
  State& s = state();
  CoreState& c = s.core;
  Visible& v = s.vis;
  v.insave_ = false;
  v.inglobal_ = false;
  c.curcol = 200;
  c.linelen = 0;
  if (v.line_ > MAXBUF) err(" Input line_ value > MAXBUF");
  if (c.nlines > 0 && !v.appendcif_) {
    close_scratch_with_deletion();
    c.nlines = 0;
    c.blockend = 0;
  }
  untag_cache();
  c.tab = '\t';
  v.blockname_.clear();

  v.filename_.assign(name);
  v.fnlen_ = lastnb(v.filename_.view());
  const bool blank_name = trailing_blanks_removed(name).empty();
  if (blank_name) {
    v.filename_.clear();
    v.fnlen_ = 1;
    Unit* in = c.units.find(c.input_unit);
    if (in == nullptr || !in->fd.valid()) return false;
  } else if (!open_input(trailing_blanks_removed(name))) {
    return false;
  }

  refuse_input_as_scratch();
  if (c.nlines == 0) {
    close_scratch_with_deletion();
    create_scratch();
  }
  int first_record = 3;
  if (v.appendcif_ && c.nlines > 0) {
    if (xxflin(c.nlines).code == 0) err(" Failed to find end of direct access file");
    first_record = take_free_record();
  } else {
    c.next_free_record = 4;
  }

  c.records.begin_batch();
  {
    DataRecordWriter writer(first_record);
    LineSource source(c.units.find(c.input_unit)->fd.get());
    InputLine line;
    while (source.next(line)) store_line(line, writer);
    writer.finish();
  }
  flush_index();
  c.records.end_batch();

  const int before_first = v.firstline_ - 1 > 0 ? v.firstline_ - 1 : 0;
  c.blockend = before_first;
  c.bufline = before_first;
  c.curline = before_first;
  c.tabline = -1;
  v.inlineno_ = c.curline;
  v.lastline_ = c.nlines;
  if (!blank_name) c.units.close(c.input_unit);
  return true;
}

void getlin(Text<4>& flag) {
  CoreState& c = core();
  Visible& v = state().vis;
  ++c.curline;
  c.curcol = 1;
  if (c.curline == c.bufline && c.curline > v.firstline_ && c.curline <= v.lastline_) return;
  const int e = v.lastline_ < c.blockend ? v.lastline_ : c.blockend;
  if (e < c.curline) {
    c.curline = e + 1;
    c.linebuf.clear();
    c.linelen = 0;
    c.curcol = 201;
    c.bufline = -1;
    flag = "fini";
    return;
  }
  const LineLocation at = xxflin(c.curline);
  int decoded = 0;
  if (at.code == 0) {
    c.linebuf.clear();
  } else {
    CachedRecord* hit = nullptr;
    for (CachedRecord& r : c.cache)
      if (r.record == at.record) {
        hit = &r;
        break;
      }
    if (hit == nullptr) {
      for (CachedRecord& r : c.cache)
        if (r.record == 0) hit = &r;  // the last untagged buffer
      if (hit == nullptr) {
        int farthest = -1;
        for (CachedRecord& r : c.cache) {
          const int distance = r.record > at.record ? r.record - at.record : at.record - r.record;
          if (distance > farthest) {
            farthest = distance;
            hit = &r;
          }
        }
      }
      read_record(at.record, hit->bytes.data());
      hit->record = at.record;
    }
    const std::size_t offset = static_cast<std::size_t>(at.position - 1);
    decoded = xxrld(std::string_view(hit->bytes.data() + offset, kRecordLength - offset), c.linebuf.data(), MAXBUF);
  }
  v.inlineno_ = c.curline;
  c.linelen = lastnb(c.linebuf.view(), decoded > 0 ? decoded : 1);
  c.bufline = c.curline;
  flag = "    ";
}

bool purge_() {
  State& s = state();
  CoreState& c = s.core;
  Visible& v = s.vis;
  ReaderState& r = s.reader;
  // Any scratch file goes, an empty one too: nothing of the run stays behind.
  close_scratch_with_deletion();
  untag_cache();
  for (Bookmark& b : r.bookmarks) b.v = {-1, -1, -1, -1};
  v.inlineno_ = 0;
  c.nlines = 0;
  c.blockend = 0;
  c.curline = 0;
  c.linelen = 0;
  r.block_names.count = 0;
  r.curitem = 0;
  r.nloops = 0;
  r.curloop = 0;
  c.curcol = 200;
  v.insave_ = false;
  v.inglobal_ = false;
  v.inloop_ = false;
  v.intext_ = false;
  v.appendcif_ = false;
  v.firstline_ = 0;
  v.lastline_ = 0;
  return true;
}

}  // namespace zatrel
