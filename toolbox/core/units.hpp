// The table of open files by unit number, shared by the caller and the toolbox.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "core/file.hpp"

namespace zatrel {

struct Unit {
  Unit() = default;
  Unit(Unit&& other) noexcept;
  Unit& operator=(Unit&& other) noexcept;
  // Records still buffered are written when the unit goes away.
  ~Unit();

  FileDescriptor fd;
  std::string path;
  // A message file is replaced by its first record, not on opening.
  bool replace_on_first_write = false;
  // Records that cannot be written go to standard error instead (messages);
  // when false the failure is left to the writer of the records to report.
  bool fall_back_to_stderr = true;
  // Records taken by write_buffered and not yet written.
  std::string pending;
};

class UnitTable {
 public:
  // Message file: created when absent, its contents replaced by the first record.
  bool open_message_file(int unit, const std::string& path);
  // Existing file for sequential reading.
  bool open_for_reading(int unit, const std::string& path);
  // A file that must not exist yet, created in one step; false (errno set)
  // when it exists or cannot be created.
  bool create_new(int unit, const std::string& path);
  // Standard output, unless something is connected to the unit already; in
  // either case the unit's failures are reported, never sent elsewhere.
  void connect_standard_output(int unit);
  // Takes over a file the toolbox has opened itself.
  void adopt(int unit, FileDescriptor fd, std::string path) {
    Unit& u = units_[unit];
    u.fd = std::move(fd);
    u.path = std::move(path);
    u.replace_on_first_write = false;
  }
  void close(int unit) { units_.erase(unit); }
  bool is_open(int unit) const { return units_.count(unit) != 0; }
  Unit* find(int unit);
  const Unit* find(int unit) const {
    auto it = units_.find(unit);
    return it == units_.end() ? nullptr : &it->second;
  }

  // Writes one record (the text and a line feed). Nothing connected to the
  // unit: the record goes to standard error.
  void write_record(int unit, std::string_view text);

  // As write_record, but records are gathered and written in large pieces:
  // when enough have gathered, before any write_record on the unit, on
  // flush, and when the unit is closed or the table goes away.
  // Both return false (errno set) when a write failed on a unit that does
  // not fall back to standard error; the records are dropped then.
  bool write_buffered(int unit, std::string_view text);
  bool flush(int unit);
  // Writes what is buffered and closes the unit; false (errno set) when
  // either failed. The unit is gone in any case.
  bool finish(int unit);

 private:
  std::map<int, Unit> units_;
};

}  // namespace zatrel
