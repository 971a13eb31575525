#include "output_file.hpp"

#include "error.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace zatrel::cli {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::string reason(int error) { return std::strerror(error); }

// Straight through to a device or standard output, without a second buffer.
class Direct final : public Sink {
 public:
  Direct(int fd, std::string_view name) : fd_(fd), name_(name) {}
  void write(std::string_view bytes) override { write_fully(fd_, bytes, name_); }

 private:
  int fd_;
  std::string_view name_;
};

mode_t new_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) {
  buffer_.reserve(kBufferSize);
  if (path.empty() || path == "-") {
    file_ = unnamed_temporary_file();
    return;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target = path;
  const fs::file_status status = fs::status(target, ec);
  if (fs::exists(status)) {
    // Through a symbolic link: the file it names is the one replaced.
    target = fs::canonical(target, ec);
    if (ec) throw Error("cannot write " + path + ": " + ec.message());
  }
  destination_ = target.string();
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    file_ = unnamed_temporary_file();
    return;
  }

  replace_by_rename_ = true;
  struct stat existing {};
  mode_ = ::stat(destination_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : new_file_mode();
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  // A hidden name beside the target; appended rather than a literal + the
  // name, which g++ 12 at -O3 reports as a false -Wrestrict overlap.
  std::string name = ".";
  name += target.filename().string();
  name += ".zatrel-XXXXXX";
  temporary_path_ = (dir / name).string();
  const int fd = ::mkstemp(temporary_path_.data());
  if (fd < 0) {
    const int error = errno;
    temporary_path_.clear();
    throw Error("cannot write " + path + ": " + reason(error));
  }
  file_ = UniqueFd(fd);
}

OutputFile::~OutputFile() {
  if (!committed_ && !temporary_path_.empty()) ::unlink(temporary_path_.c_str());
}

void OutputFile::write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) flush();
  // A whole buffer's worth goes straight out, without passing through it.
  if (buffer_.empty() && bytes.size() >= kBufferSize) {
    write_fully(file_.get(), bytes, "a temporary file");
    return;
  }
  buffer_ += bytes;
}

void OutputFile::flush() {
  write_fully(file_.get(), buffer_, replace_by_rename_ ? destination_ : "a temporary file");
  buffer_.clear();
}

void OutputFile::commit() {
  flush();
  if (replace_by_rename_) {
    if (::fchmod(file_.get(), mode_) != 0 ||
        ::rename(temporary_path_.c_str(), destination_.c_str()) != 0)
      throw Error("cannot write " + destination_ + ": " + reason(errno));
    committed_ = true;
    return;
  }

  deliver(file_.get(), "a temporary file");
  committed_ = true;
}

void OutputFile::commit_file(int fd, std::string_view what) {
  if (replace_by_rename_) {
    copy_from_start(fd, *this, what);
    commit();
    return;
  }
  deliver(fd, what);
  committed_ = true;
}

void OutputFile::deliver(int fd, std::string_view what) const {
  if (destination_.empty()) {
    Direct out(STDOUT_FILENO, "standard output");
    copy_from_start(fd, out, what);
    return;
  }
  const UniqueFd target(::open(destination_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (!target.valid()) throw Error("cannot write " + destination_ + ": " + reason(errno));
  Direct out(target.get(), destination_);
  copy_from_start(fd, out, what);
}

}  // namespace zatrel::cli
