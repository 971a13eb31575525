// Text set aside to be written later, in memory while it is small and in an
// unnamed temporary file beyond that, so that a column of a million values
// costs no more memory than a column of ten.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sink.hpp"

namespace zatrel::cli {

// An owned file descriptor.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();

  int get() const noexcept { return fd_; }
  bool valid() const noexcept { return fd_ >= 0; }
  int release() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// Writes every byte; throws Error naming what was being written.
void write_fully(int fd, std::string_view bytes, std::string_view what);

// Copies a file from its start to the sink.
void copy_from_start(int fd, Sink& out, std::string_view what);

// A file in the temporary directory ($TMPDIR, else /tmp) that has no name and
// disappears when closed.
UniqueFd unnamed_temporary_file();

class Spool final : public Sink {
 public:
  void write(std::string_view bytes) override;
  bool empty() const noexcept { return memory_.empty() && !on_disk_; }
  // Everything written since the last clear, in order.
  void copy_to(Sink& out);
  void clear();

 private:
  static constexpr std::size_t kMemoryLimit = 64 * 1024;
  void spill();

  std::string memory_;
  UniqueFd file_;
  bool on_disk_ = false;
};

}  // namespace zatrel::cli
