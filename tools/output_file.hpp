// The destination of a command's output, written whole or not at all: the
// text goes to a temporary file and reaches the destination only at commit(),
// so a run that fails half-way leaves no partial output behind.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

#include "sink.hpp"
#include "spool.hpp"

namespace zatrel::cli {

class OutputFile final : public Sink {
 public:
  // path: a file name; empty or "-" for standard output. Throws
  // Error when no temporary file can be made for it.
  explicit OutputFile(const std::string& path);
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(std::string_view bytes) override;
  // Makes the text the destination's contents.
  void commit();
  // Makes the whole of the file open at fd (what names it in messages) the
  // destination's contents, with nothing written before: a file gathered
  // elsewhere reaches a device or standard output without a second copy.
  void commit_file(int fd, std::string_view what);

 private:
  void flush();
  // Copies the file at fd to the device or standard output.
  void deliver(int fd, std::string_view what) const;

  // A regular file is replaced by renaming a temporary file next to it; a
  // device, pipe or standard output receives a copy at the end instead.
  bool replace_by_rename_ = false;
  std::string destination_;  // empty: standard output
  std::string temporary_path_;
  mode_t mode_ = 0644;
  UniqueFd file_;
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace zatrel::cli
