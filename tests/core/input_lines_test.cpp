// Input lines: the three line ends, and long lines counted rather than kept,
// against a plain splitter over the whole text held in memory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/input_lines.hpp"

namespace zatrel {
namespace {

struct Line {
  std::string head;
  std::int64_t length = 0;
  std::int64_t significant = 0;
  bool operator==(const Line&) const = default;
};

// A CR LF pair ends a line and leaves its CR in it; a CR or LF alone ends it.
std::vector<Line> reference_lines(const std::string& text) {
  std::vector<std::string> whole;
  std::string current;
  bool open = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      whole.push_back(current + '\r');
      current.clear();
      open = false;
      ++i;
    } else if (c == '\r' || c == '\n') {
      whole.push_back(current);
      current.clear();
      open = false;
    } else {
      current += c;
      open = true;
    }
  }
  if (open) whole.push_back(current);
  std::vector<Line> lines;
  for (const std::string& w : whole) {
    const std::size_t last = w.find_last_not_of(' ');
    std::int64_t significant = 1;
    if (last != std::string::npos)
      significant = static_cast<std::int64_t>(last) + 1 - (static_cast<unsigned char>(w[last]) < 32 ? 1 : 0);
    lines.push_back(Line{w.substr(0, 200), static_cast<std::int64_t>(w.size()), significant});
  }
  return lines;
}

// The text goes through a pipe in pieces of random size, so that reads
// return short and line ends fall on every kind of boundary.
std::vector<Line> read_through_pipe(const std::string& text, unsigned seed) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  std::thread writer([&] {
    std::mt19937 random(seed);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t piece = std::min<std::size_t>(text.size() - at, 1 + random() % 300000);
      const ssize_t n = ::write(fds[1], text.data() + at, piece);
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::close(fds[1]);
  });
  std::vector<Line> lines;
  LineSource source(fds[0]);
  for (InputLine line; source.next(line);)
    lines.push_back(Line{std::string(line.head), line.length, line.significant});
  writer.join();
  ::close(fds[0]);
  return lines;
}

TEST(InputLines, EveryKindOfLineEnd) {
  struct Case {
    std::string text;
    std::vector<std::string> heads;
  };
  for (const Case& c : {Case{"a\nb", {"a", "b"}}, Case{"a\rb\r", {"a", "b"}}, Case{"a\r\nb\r\n", {"a\r", "b\r"}},
                        Case{"a\r\r\nb", {"a", "\r", "b"}}, Case{"\n\r\r\n", {"", "", "\r"}},
                        Case{"data_a\r_x1\r_y2", {"data_a", "_x1", "_y2"}}, Case{"", {}}, Case{"\n", {""}}}) {
    std::vector<std::string> heads;
    for (const Line& l : read_through_pipe(c.text, 1)) heads.push_back(l.head);
    EXPECT_EQ(heads, c.heads) << c.text;
  }
}

// Lines of every length around the buffer's size, with a carriage return
// falling on the buffer's last byte, and blanks or a control character at
// the end of lines too long to keep.
TEST(InputLines, LongLinesAreCountedNotKept) {
  constexpr std::size_t block = 1 << 20;
  std::string text;
  for (const std::size_t n : {block - 1, block, block + 1, 3 * block + 7}) {
    text += std::string(n, 'a') + "\r\n";
    text += std::string(n - 2, 'b') + "\r";
  }
  text += std::string(250, 'c') + std::string(block, ' ') + "\n";
  text += std::string(block + 5, 'd') + "\t";  // no line end at all
  EXPECT_EQ(read_through_pipe(text, 2), reference_lines(text));
}

TEST(InputLines, RandomTextsAgreeWithThePlainSplitter) {
  std::mt19937 random(5);
  const std::string alphabet("ab \t\r\n\n\r\0", 9);
  for (int trial = 0; trial < 20; ++trial) {
    // Up to three buffers' worth, so that some lines outgrow the buffer.
    const std::size_t size = 300000 + random() % 3000000;
    std::string text;
    while (text.size() < size) {
      const char c = alphabet[random() % alphabet.size()];
      const bool line_end = c == '\r' || c == '\n';
      const std::size_t run = !line_end && random() % 50 == 0 ? random() % 1500000 : 1 + random() % 3;
      text.append(run, c);
    }
    ASSERT_EQ(read_through_pipe(text, static_cast<unsigned>(trial)), reference_lines(text)) << trial;
  }
}

TEST(InputLines, WhatTheStoreKeepsOfALine) {
  EXPECT_EQ(kept_length("ab  "), 2);
  EXPECT_EQ(kept_length("ab\t"), 2);
  EXPECT_EQ(kept_length("\r"), 0);
  EXPECT_EQ(kept_length(""), 1);
  EXPECT_EQ(kept_length("   "), 1);
  EXPECT_EQ(kept_length("ab\t "), 2) << "the control character before trailing blanks";
  EXPECT_EQ(kept_length("a\t\t"), 2) << "only one";
  EXPECT_EQ(kept_length(std::string(199, 'k') + "\tzz"), 199) << "the line is cut first";
}

}  // namespace
}  // namespace zatrel
