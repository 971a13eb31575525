// The scratch store's parts, shared by the files that make it up: the index
// records (scratch_index), the file itself (scratch_file), the writer of data
// records (record_writer). The operations on it are in scratch.cpp.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>

#include "core/byte_lanes.hpp"
#include "core/input_lines.hpp"
#include "core/state.hpp"

namespace zatrel {

inline constexpr int kFieldWidth = 8;                                 // an "(i8)" index field
inline constexpr int kFieldsPerRecord = kRecordLength / kFieldWidth;  // 256
inline constexpr int kLargestCode = 99999999;                         // what an 8-column field holds

// Index records (scratch_index.cpp).
void start_index(CoreState& core);
// The number in one "(i8)" field: a blank field is 0, anything but a digit
// counts as nothing.
int read_index_field_by_character(const char* field);
// As read_index_field_by_character, eight characters at once for the field
// as this store writes it: blanks, then digits only.
inline int read_index_field(const char* field) {
  static_assert(kFieldWidth == 8);
  if constexpr (std::endian::native != std::endian::little) return read_index_field_by_character(field);
  using lanes::kHigh;
  const std::uint64_t word = lanes::load_eight(field);
  const std::uint64_t digits = lanes::digit_bytes(word);
  const std::uint64_t blanks = lanes::bytes_equal(word, ' ');
  if ((digits | blanks) != kHigh) return read_index_field_by_character(field);
  if (digits == 0) return 0;
  // Digits must fill the field from the first of them on (the first column is the low byte).
  if (digits != kHigh << (std::countr_zero(digits) & ~7)) return read_index_field_by_character(field);
  // Leading blanks become zeros; then the eight digits are summed pairwise.
  std::uint64_t value = (word | (blanks >> 3)) - lanes::every_byte('0');
  value = (value * 10 + (value >> 8)) & 0x00FF00FF00FF00FFU;
  value = (value * 100 + (value >> 16)) & 0x0000FFFF0000FFFFU;
  value = (value * 10000 + (value >> 32)) & 0xFFFFFFFFU;
  return static_cast<int>(value);
}

int take_free_record(CoreState& core);
// The location code of the 8-byte word at position p (1-based) of record r.
inline int location_code(int record, int position) {
  return (record - 1) * kFieldsPerRecord + (position - 1) / kFieldWidth + 1;
}
// Bytes rounded up to whole 8-byte words.
inline int whole_words(int length) { return (length + kFieldWidth - 1) / kFieldWidth * kFieldWidth; }

// The scratch file (scratch_file.cpp).
void create_scratch(CoreState& core);
// Another run may have replaced the file by now: only our own is deleted.
void close_scratch_with_deletion(CoreState& core);
// The scratch file must never be the file about to be read.
void refuse_input_as_scratch(CoreState& core);
void untag_cache(CoreState& core);

// Writes the data record being filled and moves to the next cache buffer.
class DataRecordWriter {
 public:
  DataRecordWriter(CoreState& core, int record);
  void add(const char* encoded, int length);
  int record() const { return record_; }
  int position() const { return p_; }
  void advance(int length) { p_ += whole_words(length); }
  void finish() {
    if (p_ > 1) finish_record();
  }

 private:
  CachedRecord& buffer() { return core_.cache[static_cast<std::size_t>(slot_)]; }
  void finish_record();

  CoreState& core_;
  int record_;
  int slot_ = 0;
  int p_ = 1;
};

// Stores one input line as the next line of the store (record_writer.cpp).
void store_line(State& s, const InputLine& line, DataRecordWriter& writer);
// The same in two steps, the first of which touches no state and so may run
// on another thread: a line that codes as read (most do) is coded, and then
// filed with the length it was read with.
bool coded_as_read(const InputLine& line);
int code_line_as_read(const InputLine& line, char* encoded);
void file_coded_line(State& s, std::string_view encoded, std::int64_t significant, DataRecordWriter& writer);

}  // namespace zatrel
