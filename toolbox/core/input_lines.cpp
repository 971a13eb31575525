#include "core/input_lines.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zatrel {

std::int64_t significant_length(std::string_view line) {
  std::size_t n = line.size();
  while (n > 0 && line[n - 1] == ' ') --n;
  if (n == 0) return 1;
  const bool control = static_cast<unsigned char>(line[n - 1]) < 32;
  return static_cast<std::int64_t>(n) - (control ? 1 : 0);
}

int kept_length(std::string_view head) {
  return static_cast<int>(significant_length(head.substr(0, std::min<std::size_t>(head.size(), MAXBUF))));
}

// The buffer is filled only by reading: a small file touches little of it.
LineSource::LineSource(int fd) : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kBlock)) {}

bool LineSource::next(InputLine& line) {
  for (;;) {
    if (read_error_ != 0) return false;
    const char* start = buffer_.get() + begin_;
    const std::size_t available = end_ - begin_;
    if (line_ends(start, available, line)) return true;
    if (eof_) {
      if (available == 0 && !long_.active) return false;
      return deliver(line, available, available);
    }
    // No line end among the bytes read so far. A line that fills the buffer
    // is counted and let go; a carriage return at the very end stays, as it
    // may begin a CR LF pair.
    if (long_.active || (begin_ == 0 && end_ == kBlock)) {
      const std::size_t keep = available > 0 && start[available - 1] == '\r' ? 1 : 0;
      count_into_long_line(start, available - keep);
      begin_ += available - keep;
    }
    refill();
  }
}

// Delivers the line when its end is among the bytes available.
bool LineSource::line_ends(const char* start, std::size_t available, InputLine& line) {
  // The next line feed is remembered, so that a file of carriage returns
  // alone is not searched again to the end of the buffer for every line.
  if (newline_ < begin_ || newline_ >= end_) {
    const std::size_t from = std::max(begin_, searched_to_);
    const void* found = std::memchr(buffer_.get() + from, '\n', end_ - from);
    newline_ = found == nullptr ? kNone : static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.get());
    searched_to_ = newline_ == kNone ? end_ : newline_ + 1;
  }
  const std::size_t before_newline = newline_ == kNone ? available : newline_ - begin_;
  const void* cr = std::memchr(start, '\r', before_newline);
  if (cr != nullptr) {
    const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
    if (at + 1 < available) {
      const bool pair = start[at + 1] == '\n';
      return deliver(line, pair ? at + 1 : at, pair ? at + 2 : at + 1);
    }
    return eof_ && deliver(line, at, at + 1);
  }
  if (newline_ != kNone) return deliver(line, before_newline, before_newline + 1);
  return false;
}

// Hands out the line of `content` characters and moves past its line end.
bool LineSource::deliver(InputLine& line, std::size_t content, std::size_t consumed) {
  const char* start = buffer_.get() + begin_;
  if (long_.active) {
    count_into_long_line(start, content);
    line.head = std::string_view(long_.head, long_.head_size);
    line.length = long_.length;
    line.significant = long_.last_nonblank == 0 ? 1 : long_.last_nonblank - (long_.last_char < 32 ? 1 : 0);
    long_.active = false;
  } else {
    line.head = std::string_view(start, std::min<std::size_t>(content, MAXBUF));
    line.length = static_cast<std::int64_t>(content);
    line.significant = significant_length(std::string_view(start, content));
  }
  begin_ += consumed;
  return true;
}

// Keeps the first MAXBUF characters of a long line and counts the rest.
void LineSource::count_into_long_line(const char* bytes, std::size_t n) {
  if (!long_.active) {
    long_ = LongLine{};
    long_.active = true;
  }
  const std::size_t room = MAXBUF - long_.head_size;
  const std::size_t copied = std::min(n, room);
  std::memcpy(long_.head + long_.head_size, bytes, copied);
  long_.head_size += copied;
  for (std::size_t i = n; i > 0; --i)
    if (bytes[i - 1] != ' ') {
      long_.last_nonblank = long_.length + static_cast<std::int64_t>(i);
      long_.last_char = static_cast<unsigned char>(bytes[i - 1]);
      break;
    }
  long_.length += static_cast<std::int64_t>(n);
}

void LineSource::refill() {
  const std::size_t shift = begin_;
  std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
  end_ -= shift;
  begin_ = 0;
  searched_to_ = searched_to_ > shift ? searched_to_ - shift : 0;
  newline_ = newline_ != kNone && newline_ >= shift ? newline_ - shift : kNone;
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.get() + end_, kBlock - end_);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    read_error_ = errno;
    return;
  }
  if (n == 0) eof_ = true;
  end_ += static_cast<std::size_t>(n);
}

}  // namespace zatrel
