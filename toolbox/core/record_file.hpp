// Fixed-length records of the scratch file, read and written by number.
// Writes made while the store is being filled are gathered and written in
// runs of consecutive records; reads are served from a block read ahead.
// Neither changes what is on disk once flushed, only how many calls it takes.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zatrel {

// The length of every record of the scratch file.
inline constexpr int kRecordLength = 2048;

class RecordFile {
 public:
  static constexpr int kLength = kRecordLength;

  // The descriptor belongs to the unit table; this only remembers it.
  void attach(int fd, std::string path);
  void detach();
  bool attached() const { return fd_ >= 0; }

  void read(int record, char* bytes);
  void write(int record, const char* bytes);

  // Between begin_batch and end_batch writes are gathered in memory.
  void begin_batch() { batching_ = true; }
  void end_batch();

 private:
  static constexpr int kReadAhead = 64;
  static constexpr std::size_t kMostPending = 512;

  void flush_pending();
  void write_through(int record, const char* bytes, int count);
  [[noreturn]] void fail(const char* what, int error_number) const;

  int fd_ = -1;
  std::string path_;
  bool batching_ = false;
  std::unordered_map<int, std::size_t> pending_;  // record -> slot in pending_bytes_
  std::vector<char> pending_bytes_;
  int ahead_first_ = 0;  // first record of the read-ahead block; 0 when empty
  int ahead_count_ = 0;
  // Filled only by reading: a small file touches no more memory than it has.
  std::unique_ptr<char[]> ahead_bytes_;
};

}  // namespace zatrel
