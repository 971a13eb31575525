#include "core/file.hpp"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zatrel {

void FileDescriptor::reset(int fd) noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

bool write_fully(int fd, std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string system_reason(int error_number) { return std::strerror(error_number); }

}  // namespace zatrel
