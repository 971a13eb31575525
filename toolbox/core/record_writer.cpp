// Fills the data records of the scratch store: each input line, run-length
// coded, at the next 8-byte word, and its location code in the index.
#include <cstdint>
#include <cstring>

#include "core/diagnostics.hpp"
#include "core/line_coding.hpp"
#include "core/scratch.hpp"
#include "core/scratch_store.hpp"

namespace zatrel {

DataRecordWriter::DataRecordWriter(CoreState& core, int record) : core_(core), record_(record) {
  buffer().record = 0;
}

void DataRecordWriter::add(const char* encoded, int length) {
  if (p_ + length - 1 > kRecordLength) {
    finish_record();
    record_ = take_free_record(core_);
    slot_ = (slot_ + 1) % kCachedRecords;
    buffer().record = 0;
    p_ = 1;
  }
  std::memcpy(buffer().bytes.data() + p_ - 1, encoded, static_cast<std::size_t>(length));
}

void DataRecordWriter::finish_record() {
  if (p_ <= kRecordLength)
    std::memset(buffer().bytes.data() + p_ - 1, ' ', static_cast<std::size_t>(kRecordLength - p_ + 1));
  core_.records.write(record_, buffer().bytes.data());
  buffer().record = record_;
}

namespace {

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

// A line is kept the way a read into a 200-character buffer leaves it: cut
// at MAXBUF, then its trailing blanks and one trailing control character go.
int kept_characters(const InputLine& line) {
  // A line short enough to be kept whole was measured as it was read.
  const bool whole = static_cast<std::int64_t>(line.head.size()) == line.length;
  return whole ? static_cast<int>(line.significant) : kept_length(line.head);
}

}  // namespace

// A line codes as read unless it must be copied into the blank-padded line
// buffer first: a data_ header changes there, and a line whose kept part
// reaches into the padding (an empty one) is coded from it.
bool coded_as_read(const InputLine& line) {
  return !line.head.starts_with("data_") && kept_characters(line) <= static_cast<int>(line.head.size());
}

int code_line_as_read(const InputLine& line, char* encoded) {
  return xxrle(line.head, kept_characters(line), encoded, kRecordLength);
}

// The length warning looks at the whole line as read.
void file_coded_line(State& s, std::string_view encoded, std::int64_t significant, DataRecordWriter& writer) {
  CoreState& c = s.core;
  ++c.nlines;
  c.curline = c.nlines;
  if (significant > s.vis.line_) warn(" Input line length exceeds line_");

  const int length = static_cast<int>(encoded.size());
  writer.add(encoded.data(), length);
  const LineLocation where = xxflin(c.nlines);
  const int code = location_code(writer.record(), writer.position());
  if (code > kLargestCode) err(" Scratch file index full: input too large");
  c.leaf.field(where.leaf_field) = code;
  c.leaf.changed = true;
  writer.advance(length);
}

void store_line(State& s, const InputLine& line, DataRecordWriter& writer) {
  char encoded[kRecordLength];
  int length = 0;
  if (coded_as_read(line)) {
    length = code_line_as_read(line, encoded);
  } else {
    Text<MAXBUF>& shaped = s.core.linebuf;
    shaped.assign(line.head);
    int t = kept_characters(line);
    if (line.head.starts_with("data_")) t = remove_header_blanks(shaped.data(), t);
    length = xxrle(shaped.view(), t, encoded, kRecordLength);
  }
  file_coded_line(s, std::string_view(encoded, static_cast<std::size_t>(length)), line.significant, writer);
}

}  // namespace zatrel
