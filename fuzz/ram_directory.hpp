// A directory of the harness's own in RAM (/dev/shm, else TMPDIR or /tmp),
// removed at exit, so that each run's files cost no disk traffic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zatrel::fuzz {

class RamDirectory {
 public:
  // Makes <base>/<stem>-XXXXXX and names it, with its trailing '/', in ZORERO,
  // so that the toolbox's scratch file lives there too.
  explicit RamDirectory(const char* stem);
  ~RamDirectory();
  RamDirectory(const RamDirectory&) = delete;
  RamDirectory& operator=(const RamDirectory&) = delete;

  // Replaces the file `name` in the directory with the bytes; returns its path.
  std::string write(const char* name, const std::uint8_t* data, std::size_t size) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace zatrel::fuzz
