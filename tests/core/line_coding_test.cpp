// The scratch store's printable run-length coding of a line: worked examples,
// round trips, and the fast paths against references character by character.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/line_coding.hpp"

namespace zatrel {
namespace {

std::string encode(const std::string& line) {
  char out[2048];
  const int n = xxrle(line, static_cast<int>(line.size()), out, 2048);
  return std::string(out, static_cast<std::size_t>(n));
}

std::string decode(const std::string& encoded) {
  char out[200];
  xxrld(encoded, out, 200);
  return std::string(out, 200);
}

TEST(LineCoding, EncodingsOfRunsAndBackquotes) {
  EXPECT_EQ(encode("`"), std::string("   '") + "`!`");  // header: length 7
  EXPECT_EQ(encode("`````"), std::string("   ") + char(32 + 7) + "`%`");
  EXPECT_EQ(encode("aa"), std::string("   ") + char(32 + 6) + "aa");
  EXPECT_EQ(encode("aaa"), std::string("   ") + char(32 + 7) + "`#a");
  EXPECT_EQ(encode(std::string(63, 'x')), std::string("   ") + char(32 + 7) + "`_x");
  EXPECT_EQ(encode(std::string(64, 'x')), std::string("   ") + char(32 + 8) + "`_xx");
  EXPECT_EQ(encode(std::string(66, 'x')), std::string("   ") + char(32 + 10) + "`_x`#x");
  EXPECT_EQ(encode(std::string(200, 'x')), "   0`_x`_x`_x`+x");
  EXPECT_EQ(encode(""), "   $");  // header only: an empty line
  EXPECT_EQ(xxd2chr(63), '_');
  // With too little room the coding stops at the limit.
  char small[8];
  EXPECT_EQ(xxrle("abcdefghij", 10, small, 8), 8);
  EXPECT_EQ(std::string(small, 8), std::string("   (") + "abcd");
  EXPECT_EQ(xxc2dig('!'), 1);
}

TEST(LineCoding, RoundTripOfRandomLines) {
  std::mt19937 random(7);
  const std::string alphabet = "ab`` xyz_;'\"#()0123456789.-\t";
  for (int trial = 0; trial < 20000; ++trial) {
    std::string line;
    const int pieces = static_cast<int>(random() % 12);
    for (int p = 0; p < pieces && line.size() < 200; ++p) {
      const char c = random() % 3 == 0 ? static_cast<char>(33 + random() % 94) : alphabet[random() % alphabet.size()];
      line.append(1 + random() % (random() % 4 == 0 ? 250 : 4), c);
    }
    if (line.size() > 200) line.resize(200);
    std::string expected = line;
    expected.resize(200, ' ');
    ASSERT_EQ(decode(encode(line)), expected) << line;
    char by_character[2048];
    const int n = xxrle_by_character(line, static_cast<int>(line.size()), by_character, 2048);
    ASSERT_EQ(encode(line), std::string(by_character, static_cast<std::size_t>(n))) << line;
    ASSERT_EQ(encoded_length(encode(line)), static_cast<int>(encode(line).size()));
  }
}

// A line made of runs of every length around the longest one coded (63),
// backquotes, blanks and single characters, up to 200 columns.
std::string random_runs_line(std::mt19937& random) {
  const std::string alphabet = "ab` 0.9_";
  std::string line;
  const std::size_t columns = random() % 4 == 0 ? 200 : random() % 201;
  while (line.size() < columns) {
    const char c = random() % 5 == 0 ? static_cast<char>(1 + random() % 255) : alphabet[random() % alphabet.size()];
    line.append(random() % 3 == 0 ? 1 + random() % 70 : 1 + random() % 3, c);
  }
  line.resize(columns);
  return line;
}

// The coding a word at a time must agree with the one character by character
// on any line, for any count of characters and any room, tight ones included.
TEST(LineCoding, FastCodingAgreesWithTheReferenceOnRandomRuns) {
  std::mt19937 random(2026);
  for (int trial = 0; trial < 60000; ++trial) {
    const std::string line = random_runs_line(random);
    const int n = trial % 3 == 0 ? static_cast<int>(random() % (line.size() + 1)) : static_cast<int>(line.size());
    const int limit = trial % 4 == 0 ? 4 + static_cast<int>(random() % (3 * line.size() + 20)) : 2048;
    std::vector<char> fast(static_cast<std::size_t>(limit) + 16, '\x7f');
    std::vector<char> reference(fast);
    const int a = xxrle(line, n, fast.data(), limit);
    const int b = xxrle_by_character(line, n, reference.data(), limit);
    ASSERT_EQ(a, b) << line << " n=" << n << " limit=" << limit;
    ASSERT_LE(a, limit);
    ASSERT_EQ(std::string(fast.data(), static_cast<std::size_t>(a)), std::string(reference.data(), static_cast<std::size_t>(b)))
        << line << " n=" << n << " limit=" << limit;
  }
}

// Decoding as the coding is described, one character at a time: literals as
// they stand, (backquote, count, character) repeated, a run cut short by the
// length ends it; blank-padded to width.
std::pair<int, std::string> decode_by_character(const std::string& encoded, int width) {
  std::string out(static_cast<std::size_t>(width), ' ');
  int length = encoded_length(encoded);
  if (length < 5) return {0, out};
  length = std::min(length, static_cast<int>(encoded.size()));
  int produced = 0;
  for (int i = 4; i < length && produced < width; ++i) {
    if (encoded[static_cast<std::size_t>(i)] != '`') {
      out[static_cast<std::size_t>(produced++)] = encoded[static_cast<std::size_t>(i)];
      continue;
    }
    if (i + 2 >= length) break;
    int count = xxc2dig(encoded[static_cast<std::size_t>(i) + 1]);
    for (; count > 0 && produced < width; --count) out[static_cast<std::size_t>(produced++)] = encoded[static_cast<std::size_t>(i) + 2];
    i += 2;
  }
  return {produced, out};
}

// The decoder moves literals eight at a time: on coded lines, spoilt ones
// (a wrong header, cut short, stray bytes) and any width it must give what
// the description gives, and write nothing past width.
TEST(LineCoding, DecodingAgreesWithTheReferenceOnCodedAndSpoiltLines) {
  std::mt19937 random(909);
  for (int trial = 0; trial < 60000; ++trial) {
    std::string encoded = encode(random_runs_line(random));
    if (trial % 3 == 1) encoded[random() % encoded.size()] = static_cast<char>(random() % 256);
    if (trial % 5 == 2) encoded.resize(random() % (encoded.size() + 1));
    if (trial % 7 == 3 && encoded.size() >= 4) encoded[3] = static_cast<char>(32 + random() % 64);
    const int width = trial % 2 == 0 ? 200 : static_cast<int>(random() % 210);
    std::vector<char> out(static_cast<std::size_t>(width) + 8, '\x7f');
    const int produced = xxrld(encoded, out.data(), width);
    const auto [expected_count, expected] = decode_by_character(encoded, width);
    ASSERT_EQ(produced, expected_count) << encoded << " width=" << width;
    ASSERT_EQ(std::string(out.data(), static_cast<std::size_t>(width)), expected) << encoded << " width=" << width;
    ASSERT_EQ(std::string(out.data() + width, 8), std::string(8, '\x7f')) << encoded << " width=" << width;
  }
}

}  // namespace
}  // namespace zatrel
