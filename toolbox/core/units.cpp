#include "core/units.hpp"

#include <fcntl.h>
#include <unistd.h>

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

namespace {

// Buffered records are written once this many bytes have gathered.
constexpr std::size_t kBufferedBytes = 1 << 16;

void write_to_unit(Unit& u, std::string_view bytes) {
  if (!u.fd.valid()) {
    write_fully(STDERR_FILENO, bytes);
    return;
  }
  if (u.replace_on_first_write) {
    // Only a run that has something to say replaces the previous run's messages.
    if (::ftruncate(u.fd.get(), 0) == 0) ::lseek(u.fd.get(), 0, SEEK_SET);
    u.replace_on_first_write = false;
  }
  if (!u.fd.write_all(bytes)) write_fully(STDERR_FILENO, bytes);
}

void flush_pending(Unit& u) {
  if (u.pending.empty()) return;
  write_to_unit(u, u.pending);
  u.pending.clear();
}

}  // namespace

Unit::Unit(Unit&& other) noexcept
    : fd(std::move(other.fd)),
      path(std::move(other.path)),
      replace_on_first_write(other.replace_on_first_write),
      pending(std::exchange(other.pending, {})) {}

Unit& Unit::operator=(Unit&& other) noexcept {
  if (this != &other) {
    flush_pending(*this);
    fd = std::move(other.fd);
    path = std::move(other.path);
    replace_on_first_write = other.replace_on_first_write;
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

void UnitTable::write_buffered(int unit, std::string_view text) {
  Unit* u = find(unit);
  if (u == nullptr) {
    write_record(unit, text);
    return;
  }
  u->pending.append(text);
  u->pending += '\n';
  if (u->pending.size() >= kBufferedBytes) flush_pending(*u);
}

void UnitTable::flush(int unit) {
  if (Unit* u = find(unit)) flush_pending(*u);
}

}  // namespace zatrel
