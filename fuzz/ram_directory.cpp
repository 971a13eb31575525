#include "ram_directory.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace zatrel::fuzz {

namespace {

std::string base_directory() {
  struct stat info {};
  if (::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

[[noreturn]] void give_up(const std::string& what) {
  std::perror(what.c_str());
  std::abort();
}

}  // namespace

RamDirectory::RamDirectory(const char* stem) {
  std::string pattern = base_directory() + "/" + stem + "-XXXXXX";
  std::vector<char> chars(pattern.begin(), pattern.end());
  chars.push_back('\0');
  if (::mkdtemp(chars.data()) == nullptr) give_up("mkdtemp " + pattern);
  path_ = chars.data();
  ::setenv("ZORERO", (path_ + "/").c_str(), 1);
}

RamDirectory::~RamDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string RamDirectory::write(const char* name, const std::uint8_t* data, std::size_t size) const {
  const std::string file = path_ + "/" + name;
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) give_up("open " + file);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) give_up("write " + file);
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return file;
}

}  // namespace zatrel::fuzz
