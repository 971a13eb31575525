#include "spool.hpp"

#include "error.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace zatrel::cli {

namespace {

[[noreturn]] void fail(std::string_view doing, std::string_view what, int error) {
  throw Error(std::string(doing) + " " + std::string(what) + ": " + std::strerror(error));
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

void write_fully(int fd, std::string_view bytes, std::string_view what) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("cannot write", what, errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void copy_from_start(int fd, Sink& out, std::string_view what) {
  if (::lseek(fd, 0, SEEK_SET) < 0) fail("cannot read back", what, errno);
  std::vector<char> chunk(1 << 20);
  for (;;) {
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("cannot read back", what, errno);
    }
    if (n == 0) return;
    out.write(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
  }
}

UniqueFd unnamed_temporary_file() {
  std::error_code ignored;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ignored);
  if (dir.empty()) dir = "/tmp";
  std::string pattern = (dir / "zatrel-XXXXXX").string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) fail("cannot create a temporary file in", dir.string(), errno);
  ::unlink(pattern.c_str());
  return UniqueFd(fd);
}

void Spool::write(std::string_view bytes) {
  memory_ += bytes;
  if (memory_.size() >= kMemoryLimit) spill();
}

void Spool::spill() {
  if (!file_.valid()) file_ = unnamed_temporary_file();
  write_fully(file_.get(), memory_, "a temporary file");
  memory_.clear();
  on_disk_ = true;
}

void Spool::copy_to(Sink& out) {
  if (on_disk_) copy_from_start(file_.get(), out, "a temporary file");
  out.write(memory_);
}

void Spool::clear() {
  memory_.clear();
  if (on_disk_) {
    // The file is kept for the next use: loops follow each other.
    if (::ftruncate(file_.get(), 0) != 0 || ::lseek(file_.get(), 0, SEEK_SET) < 0)
      fail("cannot reuse", "a temporary file", errno);
    on_disk_ = false;
  }
}

}  // namespace zatrel::cli
