// The scratch store's index: a chain of directory records (a link, then 255
// leaf records) and leaf records (256 location codes), each field "(i8)".
#include <array>
#include <cstring>

#include "core/scratch.hpp"
#include "core/scratch_store.hpp"

namespace zatrel {

namespace {

// "00" to "99": a field's digits are written two at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// One "(i8)" field: right-justified, blank on the left.
void put_field(char* field, int number) {
  std::memset(field, ' ', kFieldWidth);
  char* end = field + kFieldWidth;
  auto value = static_cast<unsigned>(number);
  for (; value >= 100; value /= 100) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * (value % 100)], 2);
  }
  if (value >= 10) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * value], 2);
  } else {
    *--end = static_cast<char>('0' + value);
  }
}

// A blank field is 0; anything but a digit counts as nothing.
}  // namespace

int read_index_field_by_character(const char* field) {
  int value = 0;
  for (int i = 0; i < kFieldWidth; ++i)
    if (field[i] >= '0' && field[i] <= '9') value = value * 10 + (field[i] - '0');
  return value;
}

namespace {

void format_fields(const IndexRecord& index, int fields, char* bytes) {
  std::memset(bytes, ' ', kRecordLength);
  for (int f = 0; f < fields; ++f) put_field(bytes + f * kFieldWidth, index.fields[static_cast<std::size_t>(f)]);
}

void parse_fields(const char* bytes, IndexRecord& index) {
  for (int f = 0; f < kFieldsPerRecord; ++f) index.fields[static_cast<std::size_t>(f)] = read_index_field(bytes + f * kFieldWidth);
}

void write_index(CoreState& core, IndexRecord& index) {
  char bytes[kRecordLength];
  format_fields(index, kFieldsPerRecord, bytes);
  core.records.write(index.record, bytes);
  index.changed = false;
}

void write_if_changed(CoreState& core, IndexRecord& index) {
  if (index.changed) write_index(core, index);
}

// Ends the chain at the directory in `record` (held in `bytes`) with a new,
// empty directory; only the link field of the old one changes.
int extend_chain(CoreState& core, int record, char* bytes) {
  const int link = take_free_record(core);
  put_field(bytes, link);
  core.records.write(record, bytes);
  IndexRecord blank;
  blank.record = link;
  format_fields(blank, 1, bytes);
  core.records.write(link, bytes);
  return link;
}

// Makes directory d the current one, extending the chain where it ends.
void load_directory(CoreState& core, int d) {
  write_if_changed(core, core.directory);
  int record = 1;
  bool created = false;
  char bytes[kRecordLength];
  for (int k = 1;; ++k) {
    core.records.read(record, bytes);
    if (k == d) break;
    int link = read_index_field(bytes);
    if (link == 0) {
      link = extend_chain(core, record, bytes);
      created = true;
    }
    record = link;
  }
  IndexRecord& dir = core.directory;
  parse_fields(bytes, dir);
  dir.number = d;
  dir.record = record;
  dir.changed = created;
}

void load_leaf(CoreState& core, int s, int directory_field) {
  write_if_changed(core, core.leaf);
  IndexRecord& dir = core.directory;
  IndexRecord& leaf = core.leaf;
  int& leaf_record = dir.field(directory_field);
  leaf.number = s;
  if (leaf_record != 0) {
    char bytes[kRecordLength];
    core.records.read(leaf_record, bytes);
    parse_fields(bytes, leaf);
    leaf.record = leaf_record;
    leaf.changed = false;
    return;
  }
  leaf.fields.fill(0);
  leaf.record = take_free_record(core);
  leaf_record = leaf.record;
  dir.changed = true;
  leaf.changed = true;
  char blank[kRecordLength];
  std::memset(blank, ' ', sizeof blank);
  core.records.write(leaf.record, blank);
}

}  // namespace

int take_free_record(CoreState& core) { return core.next_free_record++; }

// A fresh index: directory 1 in record 1, leaf 1 in record 2, both unwritten.
void start_index(CoreState& core) {
  IndexRecord& dir = core.directory;
  IndexRecord& leaf = core.leaf;
  dir = IndexRecord{};
  dir.number = 1;
  dir.record = 1;
  dir.field(2) = 2;  // leaf 1 in record 2
  dir.changed = true;
  leaf = IndexRecord{};
  leaf.number = 1;
  leaf.record = 2;
  leaf.changed = true;
  core.next_free_record = 3;
}

void flush_index() {
  CoreState& core = state().core;
  const Unit* u = core.units.find(core.scratch_unit);
  if (u == nullptr || u->fd.get() < 0) return;
  write_if_changed(core, core.leaf);
  write_if_changed(core, core.directory);
}

namespace {

// Makes the leaf of location `at` the current one, loading its directory first
// where that is another.
void move_to_leaf(CoreState& core, const LineLocation& at) {
  write_if_changed(core, core.leaf);
  if (at.directory() != core.directory.number) load_directory(core, at.directory());
  load_leaf(core, at.leaf, at.directory_field());
}

}  // namespace

// Lines count from 1: the arithmetic is unsigned, which spares the compiler
// the corrections its divisions need for negative numbers.
LineLocation xxflin(int n) {
  LineLocation at;
  const auto line_index = static_cast<unsigned>(n - 1);
  const unsigned leaf_index = line_index / kLinesPerLeaf;
  at.leaf = static_cast<int>(leaf_index) + 1;
  at.leaf_field = static_cast<int>(line_index % kLinesPerLeaf) + 1;
  CoreState& core = state().core;
  if (at.leaf != core.leaf.number) [[unlikely]] move_to_leaf(core, at);
  at.code = core.leaf.field(at.leaf_field);
  if (at.code > 0) {
    const auto word = static_cast<unsigned>(at.code - 1);
    at.record = static_cast<int>(word / kFieldsPerRecord) + 1;
    at.position = static_cast<int>(word % kFieldsPerRecord) * kFieldWidth + 1;
  }
  return at;
}

}  // namespace zatrel
