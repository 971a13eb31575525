#include "core/record_file.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/diagnostics.hpp"
#include "core/file.hpp"

namespace zatrel {

namespace {
off_t offset_of(int record) { return static_cast<off_t>(record - 1) * RecordFile::kLength; }
}  // namespace

void RecordFile::attach(int fd, std::string path) {
  detach();
  fd_ = fd;
  path_ = std::move(path);
}

void RecordFile::detach() {
  pending_.clear();
  pending_bytes_.clear();
  ahead_first_ = 0;
  ahead_count_ = 0;
  batching_ = false;
  fd_ = -1;
}

void RecordFile::fail(const char* what, int error_number) const {
  err(" Scratch file " + path_ + " cannot be " + what + ": " + system_reason(error_number));
}

void RecordFile::write_through(int record, const char* bytes, int count) {
  const std::size_t total = static_cast<std::size_t>(count) * kLength;
  std::size_t done = 0;
  while (done < total) {
    const ssize_t n = ::pwrite(fd_, bytes + done, total - done, offset_of(record) + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("written", n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
}

void RecordFile::write(int record, const char* bytes) {
  // A block read ahead must not go stale.
  if (record >= ahead_first_ && record < ahead_first_ + ahead_count_)
    std::memcpy(ahead_bytes_.get() + static_cast<std::size_t>(record - ahead_first_) * kLength, bytes, kLength);
  if (!batching_) {
    write_through(record, bytes, 1);
    return;
  }
  auto [it, added] = pending_.try_emplace(record, pending_bytes_.size());
  if (added)
    pending_bytes_.insert(pending_bytes_.end(), bytes, bytes + kLength);  // no zero fill first
  else
    std::memcpy(pending_bytes_.data() + it->second, bytes, kLength);
  if (pending_.size() >= kMostPending) flush_pending();
}

void RecordFile::flush_pending() {
  if (pending_.empty()) return;
  std::vector<std::pair<int, std::size_t>> order(pending_.begin(), pending_.end());
  std::sort(order.begin(), order.end());
  std::vector<char> run;
  std::size_t i = 0;
  while (i < order.size()) {
    std::size_t j = i + 1;
    while (j < order.size() && order[j].first == order[j - 1].first + 1) ++j;
    run.resize((j - i) * kLength);
    for (std::size_t k = i; k < j; ++k)
      std::memcpy(run.data() + (k - i) * kLength, pending_bytes_.data() + order[k].second, kLength);
    write_through(order[i].first, run.data(), static_cast<int>(j - i));
    i = j;
  }
  pending_.clear();
  pending_bytes_.clear();
}

void RecordFile::end_batch() {
  flush_pending();
  batching_ = false;
}

void RecordFile::read(int record, char* bytes) {
  if (auto it = pending_.find(record); it != pending_.end()) {
    std::memcpy(bytes, pending_bytes_.data() + it->second, kLength);
    return;
  }
  if (!(record >= ahead_first_ && record < ahead_first_ + ahead_count_)) {
    constexpr std::size_t block = static_cast<std::size_t>(kReadAhead) * kLength;
    if (!ahead_bytes_) ahead_bytes_ = std::make_unique_for_overwrite<char[]>(block);
    std::size_t done = 0;
    while (done < block) {
      const ssize_t n =
          ::pread(fd_, ahead_bytes_.get() + done, block - done, offset_of(record) + static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) fail("read", errno);
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    // The block holds the records read whole; a record never written (or
    // cut short) reads as blanks where it was not written.
    const std::size_t whole = done / kLength;
    if (whole == 0) std::memset(ahead_bytes_.get() + done, ' ', kLength - done);
    ahead_first_ = record;
    ahead_count_ = whole == 0 ? 1 : static_cast<int>(whole);
  }
  std::memcpy(bytes, ahead_bytes_.get() + static_cast<std::size_t>(record - ahead_first_) * kLength, kLength);
}

}  // namespace zatrel
