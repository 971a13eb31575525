// An owned POSIX file descriptor: closed when the owner goes away.
#pragma once

#include <string>
#include <string_view>

namespace zatrel {

// Writes all of the bytes to a descriptor the caller keeps; false (errno set) on failure.
bool write_fully(int fd, std::string_view bytes) noexcept;

class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { reset(); }

  int get() const noexcept { return fd_; }
  bool valid() const noexcept { return fd_ >= 0; }
  int release() noexcept {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1) noexcept;

  // Writes all of the bytes; false (errno set) on failure.
  bool write_all(std::string_view bytes) const noexcept { return write_fully(fd_, bytes); }

 private:
  int fd_ = -1;
};

// The system's reason for the last failure, as text.
std::string system_reason(int error_number);

}  // namespace zatrel
