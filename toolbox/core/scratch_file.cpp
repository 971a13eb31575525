// The scratch file itself: its name, its creation as a file of our own, and
// its deletion.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/diagnostics.hpp"
#include "core/scratch.hpp"
#include "core/scratch_store.hpp"
#include "core/text.hpp"

namespace zatrel {

namespace {

[[noreturn]] void scratch_creation_failure(int error_number) {
  err(" Scratch file " + scratch_path() + " cannot be created: " + system_reason(error_number));
}

bool same_file(int fd, const std::string& path) {
  struct stat open_file {};
  struct stat named {};
  return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

}  // namespace

std::string scratch_path() {
  const char* dir = std::getenv("ZORERO");
  std::string_view prefix = dir == nullptr ? std::string_view{} : trailing_blanks_removed(dir);
  if (prefix.empty()) return "./cifscratch.dat";
  return std::string(prefix) + "cifscratch.dat";
}

void close_scratch_with_deletion(CoreState& core) {
  Unit* u = core.units.find(core.scratch_unit);
  if (u == nullptr) return;
  if (u->fd.valid() && same_file(u->fd.get(), u->path)) ::unlink(u->path.c_str());
  core.records.detach();
  core.units.close(core.scratch_unit);
}

// Whatever the spelling of either path: creating the scratch file would delete
// the input, and appending to it would read back its own records.
void refuse_input_as_scratch(CoreState& core) {
  const Unit* in = core.units.find(core.input_unit);
  if (in == nullptr || !in->fd.valid()) return;
  const std::string path = scratch_path();
  if (same_file(in->fd.get(), path))
    err(" Input file is the scratch file " + path + ": not read, left untouched");
}

// A new file of our own: whatever had the name is removed first, so that runs
// sharing a directory never read each other's lines.
void create_scratch(CoreState& core) {
  const std::string path = scratch_path();
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    ::unlink(path.c_str());
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) scratch_creation_failure(errno);
  }
  if (fd < 0) scratch_creation_failure(EEXIST);
  core.units.close(core.scratch_unit);
  core.units.adopt(core.scratch_unit, FileDescriptor(fd), path);
  core.records.attach(fd, path);
  start_index(core);
}

void untag_cache(CoreState& core) {
  for (CachedRecord& c : core.cache) c.record = 0;
  for (DecodedLine& d : core.decoded_lines) d.line = 0;
}

void drop_scratch() {
  CoreState& core = state().core;
  close_scratch_with_deletion(core);
  untag_cache(core);
  core.nlines = 0;
}

}  // namespace zatrel
