#include "core/units.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace zatrel {

bool UnitTable::open_message_file(int unit, const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  Unit& u = units_[unit];
  u.fd.reset(fd);
  u.path = path;
  u.replace_on_first_write = true;
  return true;
}

bool UnitTable::open_for_reading(int unit, const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  Unit& u = units_[unit];
  u.fd.reset(fd);
  u.path = path;
  u.replace_on_first_write = false;
  return true;
}

Unit* UnitTable::find(int unit) {
  auto it = units_.find(unit);
  return it == units_.end() ? nullptr : &it->second;
}

void UnitTable::write_record(int unit, std::string_view text) {
  std::string record(text);
  record += '\n';
  Unit* u = find(unit);
  if (u == nullptr || !u->fd.valid()) {
    write_fully(STDERR_FILENO, record);
    return;
  }
  if (u->replace_on_first_write) {
    // Only a run that has something to say replaces the previous run's messages.
    if (::ftruncate(u->fd.get(), 0) == 0) ::lseek(u->fd.get(), 0, SEEK_SET);
    u->replace_on_first_write = false;
  }
  if (!u->fd.write_all(record)) write_fully(STDERR_FILENO, record);
}

}  // namespace zatrel
