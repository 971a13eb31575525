#include "core/units.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

namespace zatrel {

bool UnitTable::open_message_file(int unit, const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  adopt(unit, FileDescriptor(fd), path);
  units_[unit].replace_on_first_write = true;
  return true;
}

bool UnitTable::open_for_reading(int unit, const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  adopt(unit, FileDescriptor(fd), path);
  return true;
}

bool UnitTable::create_new(int unit, const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  adopt(unit, FileDescriptor(fd), path);
  units_[unit].fall_back_to_stderr = false;
  return true;
}

void UnitTable::connect_standard_output(int unit) {
  if (Unit* u = find(unit)) {
    u->fall_back_to_stderr = false;
    return;
  }
  int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  adopt(unit, FileDescriptor(fd), "standard output");
  units_[unit].fall_back_to_stderr = false;
}

namespace {

// Buffered records are written once this many bytes have gathered.
constexpr std::size_t kBufferedBytes = 1 << 16;

bool write_to_unit(Unit& u, std::string_view bytes) {
  if (!u.fd.valid()) {
    if (!u.fall_back_to_stderr) {
      errno = EBADF;
      return false;
    }
    write_fully(STDERR_FILENO, bytes);
    return true;
  }
  if (u.replace_on_first_write) {
    // Only a run that has something to say replaces the previous run's messages.
    if (::ftruncate(u.fd.get(), 0) == 0) ::lseek(u.fd.get(), 0, SEEK_SET);
    u.replace_on_first_write = false;
  }
  if (u.fd.write_all(bytes)) return true;
  if (!u.fall_back_to_stderr) return false;
  write_fully(STDERR_FILENO, bytes);
  return true;
}

bool flush_pending(Unit& u) {
  if (u.pending.empty()) return true;
  const bool written = write_to_unit(u, u.pending);
  const int saved = errno;
  u.pending.clear();
  errno = saved;
  return written;
}

}  // namespace

Unit::Unit(Unit&& other) noexcept
    : fd(std::move(other.fd)),
      path(std::move(other.path)),
      replace_on_first_write(other.replace_on_first_write),
      fall_back_to_stderr(other.fall_back_to_stderr),
      pending(std::exchange(other.pending, {})) {}

Unit& Unit::operator=(Unit&& other) noexcept {
  if (this != &other) {
    flush_pending(*this);
    fd = std::move(other.fd);
    path = std::move(other.path);
    replace_on_first_write = other.replace_on_first_write;
    fall_back_to_stderr = other.fall_back_to_stderr;
    pending = std::exchange(other.pending, {});
  }
  return *this;
}

Unit::~Unit() { flush_pending(*this); }

Unit* UnitTable::find(int unit) {
  auto it = units_.find(unit);
  return it == units_.end() ? nullptr : &it->second;
}

void UnitTable::write_record(int unit, std::string_view text) {
  std::string record(text);
  record += '\n';
  Unit* u = find(unit);
  if (u == nullptr) {
    write_fully(STDERR_FILENO, record);
    return;
  }
  flush_pending(*u);
  write_to_unit(*u, record);
}

bool UnitTable::write_buffered(int unit, std::string_view text) {
  Unit* u = find(unit);
  if (u == nullptr) {
    write_record(unit, text);
    return true;
  }
  u->pending.append(text);
  u->pending += '\n';
  return u->pending.size() < kBufferedBytes || flush_pending(*u);
}

bool UnitTable::flush(int unit) {
  Unit* u = find(unit);
  return u == nullptr || flush_pending(*u);
}

bool UnitTable::finish(int unit) {
  Unit* u = find(unit);
  if (u == nullptr) return true;
  bool done = flush_pending(*u);
  int saved = errno;
  if (u->fd.valid() && ::close(u->fd.release()) != 0 && done) {
    done = false;
    saved = errno;
  }
  units_.erase(unit);
  errno = saved;
  return done;
}

}  // namespace zatrel
