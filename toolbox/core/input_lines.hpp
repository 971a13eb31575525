// Input lines for the scratch store, read in bounded memory: a line ends at a
// line feed, a carriage return, or a carriage return and line feed together;
// of a line longer than the store keeps, only its length is counted.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "zatrel/zatrel.hpp"

namespace zatrel {

// One line as the scratch store needs it.
struct InputLine {
  std::string_view head;      // the first MAXBUF characters at most
  std::int64_t length = 0;    // characters in the whole line
  std::int64_t significant = 1;  // last non-blank position of the whole line (1 when none),
                                 // less one when that character is a control character
};

// The significant length of a line, measured as InputLine::significant.
std::int64_t significant_length(std::string_view line);

// How much of a line's first MAXBUF characters the store keeps: up to the
// last non-blank one (1 when none), less one trailing control character.
int kept_length(std::string_view head);

// Reads the lines of a descriptor through one buffer of fixed size.
class LineSource {
 public:
  explicit LineSource(int fd);

  // The next line without its line end; false at the end of the input. A
  // carriage return followed by a line feed stays in the line, as its last
  // character; a carriage return alone ends the line, as a line feed does.
  // The line's head stays valid until the next call. A failed read ends the
  // lines too, the part line before it undelivered: see read_error.
  bool next(InputLine& line);

  // The errno of the read that failed, 0 while none has.
  int read_error() const { return read_error_; }

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  struct LongLine {  // a line that did not fit into the buffer
    bool active = false;
    char head[MAXBUF];
    std::size_t head_size = 0;
    std::int64_t length = 0;
    std::int64_t last_nonblank = 0;
    unsigned char last_char = ' ';
  };

  bool line_ends(const char* start, std::size_t available, InputLine& line);
  bool deliver(InputLine& line, std::size_t content, std::size_t consumed);
  void count_into_long_line(const char* bytes, std::size_t n);
  void refill();

  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  int read_error_ = 0;
  std::size_t newline_ = kNone;  // offset of the next line feed, when known
  std::size_t searched_to_ = 0;  // no other line feed before this offset
  LongLine long_;
};

}  // namespace zatrel
