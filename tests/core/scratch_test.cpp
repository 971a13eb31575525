// The scratch store: index, records on disk, and the runs that share it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/coding_thread.hpp"
#include "core/scratch.hpp"
#include "core/scratch_store.hpp"
#include "core/state.hpp"
#include "support/fresh_toolbox.hpp"

namespace zatrel {
namespace {

using testing::FreshToolbox;
using testing::read_file;

class ScratchStore : public FreshToolbox {
 protected:
  // Opens the text as a CIF and makes every line readable, as data_ would.
  void open_readable(const std::string& text) {
    open_cif(text);
    make_all_readable();
  }
  std::string line(int n) {
    go_before_line(n);
    Text<4> flag;
    getlin(flag);
    EXPECT_EQ(flag.view(), "    ");
    return std::string(core().linebuf.trimmed());
  }
  std::string scratch_bytes() { return read_file(path("cifscratch.dat")); }
};

// What a line reads back as: cut at 200, one trailing control character and
// the trailing blanks gone.
std::string as_stored(std::string line) {
  if (line.size() > 200) line.resize(200);
  std::size_t end = line.find_last_not_of(' ');
  line.resize(end == std::string::npos ? 0 : end + 1);
  if (!line.empty() && static_cast<unsigned char>(line.back()) < 32) line.pop_back();
  end = line.find_last_not_of(' ');
  line.resize(end == std::string::npos ? 0 : end + 1);
  return line;
}

// Index fields are read eight characters at once where they have the shape
// the store writes, and by character otherwise: both must agree on any bytes.
TEST(IndexFields, TheWordAtOnceReadingAgreesWithTheCharacterByCharacterOne) {
  std::mt19937 random(1207);
  const std::string alphabet = std::string("          0123456789x-/:+.") + '\x80' + '\xff' + '\t' + '\0';
  char field[8];
  for (int round = 0; round < 300000; ++round) {
    if (round % 2 == 0) {
      // As written: right-justified digits, blank on the left.
      const int blanks = static_cast<int>(random() % 9);
      for (int i = 0; i < 8; ++i) field[i] = i < blanks ? ' ' : static_cast<char>('0' + random() % 10);
      if (round % 6 == 0) field[random() % 8] = alphabet[random() % alphabet.size()];  // one byte spoilt
    } else {
      for (char& c : field) c = alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(read_index_field(field), read_index_field_by_character(field)) << std::string(field, 8);
  }
  for (const char* written : {"        ", "       0", "99999999", "00000001", "   12345", "1       ", " 1 2 3 4"})
    EXPECT_EQ(read_index_field(written), read_index_field_by_character(written)) << written;
}

TEST_F(ScratchStore, RandomLinesComeBackByteForByte) {
  std::mt19937 random(11);
  std::vector<std::string> lines;
  std::string text;
  for (int i = 0; i < 3000; ++i) {
    std::string l;
    switch (random() % 6) {
      case 0: break;                                         // empty
      case 1: l = "\r"; break;                               // a lone carriage return
      case 2: l.assign(200, static_cast<char>(33 + random() % 94)); break;
      case 3: l.assign(1 + random() % 250, random() % 2 ? '`' : 'q'); break;
      default:
        for (int k = static_cast<int>(random() % 120); k > 0; --k) l += static_cast<char>(32 + random() % 95);
    }
    if (l.rfind("data_", 0) == 0) l[0] = 'D';
    lines.push_back(l);
    text += l + "\n";
  }
  open_readable(text);
  ASSERT_EQ(core().nlines, 3000);
  EXPECT_EQ(lastline_, 3000);
  for (int i = 1; i <= 3000; ++i) ASSERT_EQ(line(i), as_stored(lines[static_cast<std::size_t>(i) - 1])) << i;
}

TEST_F(ScratchStore, LoneCarriageReturnIsAnEmptyLineAndTrailingTabIsDropped) {
  open_readable("\r\nab\t\n\n");
  EXPECT_EQ(line(1), "");
  EXPECT_EQ(core().linelen, 1);
  EXPECT_EQ(line(2), "ab");
  EXPECT_EQ(line(3), "");
}

TEST_F(ScratchStore, ManyLinesReadBackInAnyOrderAcrossLeavesAndDirectories) {
  const int n = 255 * 256 + 3000;
  std::string text;
  for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + " " + std::string(static_cast<std::size_t>(i % 7), '=') + "\n";
  open_readable(text);
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i + 1;
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  for (int i : order) {
    std::string expected = "line " + std::to_string(i) + " " + std::string(static_cast<std::size_t>(i % 7), '=');
    ASSERT_EQ(line(i), as_stored(expected)) << i;
  }
  const LineLocation first_of_leaf_2 = xxflin(257);
  EXPECT_EQ(first_of_leaf_2.leaf, 2);
  EXPECT_EQ(first_of_leaf_2.leaf_field, 1);
  const LineLocation first_of_dir_2 = xxflin(255 * 256 + 1);
  EXPECT_EQ(first_of_dir_2.directory(), 2);
  EXPECT_EQ(first_of_dir_2.directory_field(), 2);
  EXPECT_GT(first_of_dir_2.code, 0);
}

TEST_F(ScratchStore, FileOnDiskHasTheRecordFormat) {
  open_readable("abc\n`\n" + std::string(200, 'z') + "\n");
  const std::string bytes = scratch_bytes();
  ASSERT_EQ(bytes.size(), 3u * 2048);  // directory, leaf, one data record
  EXPECT_EQ(bytes.substr(0, 16), "       0       2");
  std::string zeros;
  for (int f = 0; f < 254; ++f) zeros += "       0";
  EXPECT_EQ(bytes.substr(16, 2048 - 16), zeros);
  // Codes of lines 1..3 in record 3 at positions 1, 9, 17: (3-1)*256 + (p-1)/8 + 1.
  EXPECT_EQ(bytes.substr(2048, 24), "     513     514     515");
  EXPECT_EQ(bytes.substr(2048 + 24, 2048 - 24), zeros.substr(8));
  const std::string data = bytes.substr(4096);
  EXPECT_EQ(data.substr(0, 7), "   'abc");
  EXPECT_EQ(data.substr(8, 7), "   '`!`");
  EXPECT_EQ(data.substr(16, 16), "   0`_z`_z`_z`+z");
  EXPECT_EQ(data.substr(32), std::string(2048 - 32, ' '));
  EXPECT_EQ(bytes.find('\n'), std::string::npos);
}

TEST_F(ScratchStore, FullRecordsMoveToTheNextRecord) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += std::string(150, static_cast<char>('A' + i % 26)) + "\n";
  open_readable(text);  // each line is 4 + 3 characters: 8 bytes a line
  for (int i = 0; i < 30; ++i) text += "x";
  std::string many;
  for (int i = 0; i < 400; ++i) many += "v" + std::to_string(i) + " w" + std::to_string(i * 7) + " 0.123456(7)\n";
  open_readable(many);
  const std::string bytes = scratch_bytes();
  EXPECT_EQ(bytes.size() % 2048, 0u);
  EXPECT_GT(bytes.size(), 5u * 2048);
  for (int i : {400, 1, 257, 256, 17, 399}) EXPECT_EQ(line(i), "v" + std::to_string(i - 1) + " w" + std::to_string((i - 1) * 7) + " 0.123456(7)");
}

TEST_F(ScratchStore, HeaderLinesLoseTheirBlanks) {
  open_readable("data_ my block\ndata_a  b\nloop_ a b\n");
  EXPECT_EQ(line(1), "data_myblock");
  EXPECT_EQ(line(2), "data_a b");
  EXPECT_EQ(line(3), "loop_ a b");
}

TEST_F(ScratchStore, LongLinesAreCutButNeverSilently) {
  open_readable("short\n" + std::string(250, 'L') + "\n" + std::string(199, 'k') + " \r\n");
  EXPECT_EQ(line(2), std::string(200, 'L'));
  EXPECT_EQ(line(3), std::string(199, 'k'));
  const std::string m = messages();
  EXPECT_NE(m.find("input.cif data_  line:      2\n#  Input line length exceeds line_\n"), std::string::npos);
  EXPECT_EQ(m.find("line:      3"), std::string::npos);
}

// CIF allows CR, LF and CR LF as line ends. A CR LF pair is read as before:
// the CR is the one trailing control character dropped, so a tab before it stays.
TEST_F(ScratchStore, ACarriageReturnAloneEndsALine) {
  open_readable("data_a\r_x1 1\r_y2 2\ra\t\r\nb\t\rc\r\r\nd");
  ASSERT_EQ(core().nlines, 8);
  const std::vector<std::string> expected{"data_a", "_x1 1", "_y2 2", "a\t", "b", "c", "", "d"};
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(line(i), expected[static_cast<std::size_t>(i) - 1]) << i;
  EXPECT_EQ(messages(), "");
}

// A line over 200 characters is cut at 200 first; only then do its trailing
// blanks and one trailing control character go.
TEST_F(ScratchStore, OverlongLinesAreCutThenTrimmed) {
  const std::string kept = "#" + std::string(188, 'a');
  open_readable(kept + std::string(11, ' ') + std::string(50, 'b') + "\n" + std::string(199, 'k') + "\tzzz\n");
  EXPECT_EQ(line(1), kept);
  EXPECT_EQ(line(2), std::string(199, 'k'));
  const std::string data = scratch_bytes().substr(4096);
  EXPECT_EQ(data.substr(0, 14), std::string("   .") + "#`_a`_a`^a") << "14 characters";
  EXPECT_EQ(data.substr(16, 4), "   0") << "199 k and no tab: 16 characters";
  const std::string m = messages();
  EXPECT_NE(m.find("line:      1\n#  Input line length exceeds line_"), std::string::npos);
  EXPECT_NE(m.find("line:      2\n#  Input line length exceeds line_"), std::string::npos);
}

// The length warning measures a header line as read, before its blanks go.
TEST_F(ScratchStore, HeaderLinesAreMeasuredAsRead) {
  const std::string value(80, 'v');
  const std::string header = "data_x" + std::string(60, ' ') + "_q" + std::string(62, ' ') + value;
  ASSERT_EQ(header.size(), 210u);
  open_readable(header + "\n");
  EXPECT_EQ(line(1), "data_x" + std::string(30, ' ') + "_q" + std::string(31, ' ') + value.substr(0, 70));
  EXPECT_NE(messages().find("line:      1\n#  Input line length exceeds line_"), std::string::npos);
  line_ = 10;
  const std::size_t earlier = messages().size();
  open_readable("data_a b c\ndata_a b c d\n");
  EXPECT_EQ(line(2), "data_abcd");
  const std::string m = messages().substr(earlier);
  EXPECT_EQ(m.find("line:      1\n"), std::string::npos);
  EXPECT_NE(m.find("line:      2\n#  Input line length exceeds line_"), std::string::npos);
}

// Creating the scratch file deletes whatever has its name, so a CIF that
// happens to be it, under any spelling of its path, is refused and kept.
TEST_F(ScratchStore, AnInputThatIsTheScratchFileIsRefusedAndKept) {
  const std::string cif = "data_a\n_x 1\n";
  const std::string scratch = write_file("cifscratch.dat", cif);
  std::filesystem::create_symlink(scratch, path("link.cif"));
  for (const std::string& spelling : {scratch, dir_ + "/./cifscratch.dat", path("link.cif")}) {
    EXPECT_THROW(ocif_(spelling), Fatal) << spelling;
    EXPECT_EQ(read_file(scratch), cif) << spelling;
  }
  EXPECT_NE(messages().find("#  Input file is the scratch file " + dir_ + "/cifscratch.dat: not"), std::string::npos)
      << messages();
  // Appending would read the scratch file's own records back.
  std::filesystem::remove(scratch);
  open_readable("data_b\n");
  const std::string before = scratch_bytes();
  appendcif_ = true;
  EXPECT_THROW(ocif_(scratch), Fatal);
  EXPECT_EQ(scratch_bytes(), before);
}

TEST_F(ScratchStore, LineLimitBelowTheBufferWarnsAndAboveItStops) {
  line_ = 10;
  open_readable("12345678901\n1234567890\n");
  EXPECT_NE(messages().find("line:      1\n#  Input line length exceeds line_"), std::string::npos);
  EXPECT_EQ(messages().find("line:      2"), std::string::npos);
  line_ = 201;
  EXPECT_THROW(ocif_(write_file("x.cif", "a\n")), Fatal);
  EXPECT_NE(messages().find("#  Input line_ value > MAXBUF"), std::string::npos);
}

TEST_F(ScratchStore, EmptyFileAndReadingBeforeABlockIsChosen) {
  open_cif("");
  EXPECT_EQ(core().nlines, 0);
  EXPECT_EQ(lastline_, 0);
  Text<4> flag;
  getlin(flag);
  EXPECT_EQ(flag.view(), "fini");
  open_cif("a\nb\n");
  getlin(flag);  // blockend is still 0 until a block is chosen
  EXPECT_EQ(flag.view(), "fini");
}

TEST_F(ScratchStore, RereadingTheBufferedLineLeavesTheFlagAlone) {
  open_readable("one\ntwo\nthree\n");
  EXPECT_EQ(line(2), "two");
  Text<4> flag("keep");
  core().curline = 1;  // step back onto the line already buffered
  getlin(flag);
  EXPECT_EQ(flag.view(), "keep");
  EXPECT_EQ(core().linebuf.trimmed(), "two");
}

TEST_F(ScratchStore, MissingUnreadableAndLongNames) {
  EXPECT_FALSE(ocif_(path("no-such.cif")));
  EXPECT_EQ(filename_.trimmed(), path("no-such.cif"));
  EXPECT_THROW(ocif_(dir_), Fatal);
  EXPECT_NE(messages().find(" Cannot open " + dir_ + ": Is a directory"), std::string::npos);
  // A name longer than 200 characters is opened whole.
  std::string deep = dir_;
  while (deep.size() < 260) deep += "/" + std::string(40, 'd');
  std::filesystem::create_directories(deep);
  const std::string long_name = deep + "/x.cif";
  testing::FreshToolbox::write_file(long_name.substr(dir_.size() + 1), "abc\n");
  ASSERT_TRUE(ocif_(long_name));
  EXPECT_EQ(filename_.view(), long_name.substr(0, 200));
  make_readable(1);
  EXPECT_EQ(line(1), "abc");
}

TEST_F(ScratchStore, AppendingKeepsTheFirstFileAndStartsAFreshRecord) {
  open_readable("a1\na2\n");
  appendcif_ = true;
  ASSERT_TRUE(ocif_(write_file("second.cif", "b1\nb2\nb3\n")));
  EXPECT_EQ(core().nlines, 5);
  EXPECT_EQ(lastline_, 5);
  make_readable(5);
  firstline_ = 1;
  EXPECT_EQ(line(1), "a1");
  EXPECT_EQ(line(3), "b1");
  EXPECT_EQ(line(5), "b3");
  EXPECT_EQ(xxflin(3).record, 4);  // the new file begins in the next free record
  appendcif_ = false;
  open_readable("c\n");
  EXPECT_EQ(core().nlines, 1);
  EXPECT_EQ(line(1), "c");
}

TEST_F(ScratchStore, ScratchDirectoryComesFromTheEnvironment) {
  std::filesystem::create_directories(path("sub"));
  ::setenv("ZORERO", (path("sub") + "/   ").c_str(), 1);
  EXPECT_EQ(scratch_path(), path("sub") + "/cifscratch.dat");
  open_readable("x\n");
  EXPECT_TRUE(std::filesystem::exists(path("sub/cifscratch.dat")));
  ::unsetenv("ZORERO");
  EXPECT_EQ(scratch_path(), "./cifscratch.dat");
  ::setenv("ZORERO", "  ", 1);
  EXPECT_EQ(scratch_path(), "./cifscratch.dat");
}

TEST_F(ScratchStore, PurgeDeletesTheFileAndResetsReading) {
  open_readable("x\ny\n");
  ASSERT_TRUE(std::filesystem::exists(path("cifscratch.dat")));
  appendcif_ = true;
  EXPECT_TRUE(purge_());
  EXPECT_FALSE(std::filesystem::exists(path("cifscratch.dat")));
  EXPECT_EQ(core().nlines, 0);
  EXPECT_EQ(firstline_, 0);
  EXPECT_EQ(lastline_, 0);
  EXPECT_FALSE(appendcif_);
  EXPECT_EQ(state().reader.bookmarks[MAXBOOK].item, -1);
  firstline_ = 1;
  open_readable("z\n");
  EXPECT_EQ(line(1), "z");
  open_cif("");  // an empty CIF still has a scratch file, and purge_ removes it
  ASSERT_TRUE(std::filesystem::exists(path("cifscratch.dat")));
  purge_();
  EXPECT_FALSE(std::filesystem::exists(path("cifscratch.dat")));
}

TEST_F(ScratchStore, ConcurrentRunsInOneDirectoryReadOnlyTheirOwnLines) {
  constexpr int kRuns = 4;
  int start[2];
  int created[2];
  int read_back[2];
  ASSERT_EQ(::pipe(start), 0);
  ASSERT_EQ(::pipe(created), 0);
  ASSERT_EQ(::pipe(read_back), 0);
  std::vector<pid_t> children;
  for (int run = 0; run < kRuns; ++run) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "run " + std::to_string(run) + " line " + std::to_string(i) + "\n";
    const std::string input = write_file("run" + std::to_string(run) + ".cif", text);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(start[1]);
      ::close(created[0]);
      ::close(read_back[1]);
      char c;
      (void)::read(start[0], &c, 1);  // everybody starts together
      int status = 0;
      try {
        if (!ocif_(input)) status = 2;
      } catch (...) {
        status = 3;
      }
      (void)::write(created[1], "x", 1);  // always, so that the parent never waits for a failed run
      try {
        (void)::read(read_back[0], &c, 1);  // and reads back after all have created their files
        make_all_readable();
        for (int i = 4999; i >= 0 && status == 0; i -= 7) {
          core().curline = i;
          Text<4> flag;
          getlin(flag);
          if (core().linebuf.trimmed() != "run " + std::to_string(run) + " line " + std::to_string(i)) status = 1;
        }
      } catch (...) {
        status = 3;
      }
      ::_exit(status);
    }
    children.push_back(pid);
  }
  ::close(start[0]);
  ::close(created[1]);
  ::close(read_back[0]);
  char buffer[kRuns];
  ASSERT_EQ(::write(start[1], "go", 1), 1);
  for (int r = 1; r < kRuns; ++r) ASSERT_EQ(::write(start[1], "g", 1), 1);
  int got = 0;
  while (got < kRuns) {
    const ssize_t n = ::read(created[0], buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    got += static_cast<int>(n);
  }
  for (int r = 0; r < kRuns; ++r) ASSERT_EQ(::write(read_back[1], "r", 1), 1);
  ::close(start[1]);
  ::close(read_back[1]);
  for (pid_t pid : children) {
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_TRUE(std::filesystem::exists(path("cifscratch.dat")));
}

// Lines of every kind the store treats apart, many enough to fill several of
// the second thread's batches: empty lines, lone carriage returns and CR LF
// pairs, headers with blanks, lines over 200 characters, trailing blanks,
// tabs and control characters, and now and then a line of over a megabyte.
std::string lines_of_every_kind(unsigned seed, int count) {
  std::mt19937 random(seed);
  std::string text;
  for (int i = 0; i < count; ++i) {
    switch (random() % 10) {
      case 0: break;
      case 1: text += '\r'; break;
      case 2: text += "data_ block " + std::to_string(i) + "  x"; break;
      case 3: text.append(150 + random() % 120, static_cast<char>(33 + random() % 94)); break;
      case 4: text += "_t\tv  \x01"; break;
      case 5:
        if (random() % 2000 == 0) text.append((1 << 20) + random() % 5000, 'w');
        break;
      default:
        for (int k = static_cast<int>(random() % 90); k > 0; --k) text += static_cast<char>(32 + random() % 95);
    }
    if (i == count / 2) text.append((1 << 20) + 7, 'w');  // one at least
    text += random() % 7 == 0 ? "\r\n" : "\n";
  }
  return text;
}

// ocif_ on a large file reads and codes its lines on a second thread; what it
// leaves must be what the lines stored one by one leave: the same scratch
// file, messages, line count and line buffer, appending included.
TEST_F(ScratchStore, ASecondThreadStoresExactlyWhatOneThreadStores) {
  struct Outcome {
    std::string scratch, messages, linebuf;
    int nlines = 0;
    bool operator==(const Outcome&) const = default;
  };
  int run = 0;
  const auto store = [&](const std::vector<std::string>& files, bool second_thread) {
    reset_state();
    const std::string log = path("log" + std::to_string(++run) + ".txt");
    EXPECT_TRUE(open_message_file(testing::kMessageUnit, log));
    init_(testing::kInputUnit, testing::kOutputUnit, testing::kScratchUnit, testing::kMessageUnit);
    core().second_thread_from = second_thread ? 0 : std::numeric_limits<std::int64_t>::max();
    line_ = 80;
    for (std::size_t i = 0; i < files.size(); ++i) {
      appendcif_ = i > 0;
      EXPECT_TRUE(ocif_(files[i]));
    }
    return Outcome{scratch_bytes(), read_file(log), std::string(core().linebuf.view()), core().nlines};
  };
  const std::string mixed = write_file("mixed.cif", lines_of_every_kind(5, 60000));
  const std::string unended = write_file("unended.cif", "data_a\n_x 1\n_y" + std::string(3000, ' '));
  const std::string empty = write_file("empty.cif", "");
  const std::string header_last = write_file("header.cif", lines_of_every_kind(6, 500) + "data_ last one");
  for (const std::vector<std::string>& files :
       {std::vector{mixed}, {unended}, {empty}, {header_last}, {mixed, header_last}, {unended, mixed, empty}}) {
    const Outcome one = store(files, false);
    const Outcome two = store(files, true);
    EXPECT_EQ(two.nlines, one.nlines) << files.front();
    EXPECT_TRUE(two.messages == one.messages) << files.front();
    EXPECT_EQ(two.linebuf, one.linebuf) << files.front();
    EXPECT_TRUE(two.scratch == one.scratch) << files.front();
  }
}

// A fatal error while lines are filed ends the stream part way: its reading
// thread must stop wherever it is, and the next ocif_ read as usual.
TEST_F(ScratchStore, StoppingPartWayLeavesNoThreadBehind) {
  const std::string big = write_file("big.cif", lines_of_every_kind(7, 100000));
  for (const int stop_after : {0, 1, 9000, 70000}) {
    const int fd = ::open(big.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    {
      CodedLineStream stream(fd);
      HandedLine line;
      for (int i = 0; i < stop_after; ++i) ASSERT_TRUE(stream.next(line));
    }
    ::close(fd);
  }
  EXPECT_TRUE(ocif_(big));
  const int lines = core().nlines;
  core().second_thread_from = 0;
  EXPECT_TRUE(ocif_(big));
  EXPECT_EQ(core().nlines, lines);
}

}  // namespace
}  // namespace zatrel
