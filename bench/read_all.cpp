// read_all [--phases] FILE: reads every value of every block of FILE through the item
// operations, as a caller of the toolbox would, and prints values=N.
//
// Numbers go through numd_, everything else through char_; loops are read row
// by row across their names, text fields line by line. A text field counts as
// one value. The type of each name is taken from its first value: a column
// whose first value is null is read with char_ throughout.
//
// With --phases, the seconds spent in ocif_, in data_ and in serving values
// go to standard error, to show where a change saves time.
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <zatrel/zatrel.hpp>

namespace {

class AllValues {
 public:
  long long count() const { return values_; }

  void read_block() {
    // Set before any value is read, so that returning to it starts every loop
    // again at its first row once the loops and types have been learnt.
    int mark = 0;
    zatrel::bkmrk_(mark);
    names_.clear();
    while (zatrel::name_(text_)) names_.push_back(text_);
    loops_.clear();
    numeric_.clear();
    for (const std::string& name : names_) {
      zatrel::test_(name);
      loops_.push_back(zatrel::loopno_);
      numeric_.push_back(zatrel::itemtype_ == "numb");
    }
    zatrel::bkmrk_(mark);

    done_.assign(names_.size(), false);
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (done_[i]) continue;
      if (loops_[i] == 0) {
        read_value(i);
        continue;
      }
      members_.clear();
      for (std::size_t j = i; j < names_.size(); ++j)
        if (loops_[j] == loops_[i]) {
          members_.push_back(j);
          done_[j] = true;
        }
      do {
        for (const std::size_t m : members_) read_value(m);
      } while (zatrel::inloop_);
    }
  }

 private:
  // One request per value, as a caller that knows its items makes them: numd_
  // for a number column (its values are numbers or null, never text fields),
  // char_ for the rest, repeated while a text field has lines.
  void read_value(std::size_t i) {
    ++values_;
    const std::string& name = names_[i];
    if (numeric_[i]) {
      double value = 0.0;
      double sd = -1.0;
      zatrel::numd_(name, value, sd);
      return;
    }
    zatrel::char_(name, text_);
    while (zatrel::intext_) zatrel::char_(name, text_);
  }

  long long values_ = 0;
  std::string text_;
  std::vector<std::string> names_;
  std::vector<int> loops_;
  std::vector<bool> numeric_;
  std::vector<bool> done_;
  std::vector<std::size_t> members_;
};

// Seconds of wall-clock time between laps.
class Stopwatch {
 public:
  double lap() {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - last_).count();
    last_ = now;
    return seconds;
  }

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

}  // namespace

int main(int argc, char** argv) {
  const bool phases = argc == 3 && std::string_view(argv[1]) == "--phases";
  if (argc != 2 && !phases) {
    std::fprintf(stderr, "usage: read_all [--phases] FILE\n");
    return 1;
  }
  const char* file = argv[argc - 1];
  // Message unit 34 has no file: the toolbox's messages go to standard error.
  zatrel::init_(31, 32, 33, 34);
  zatrel::intabs_ = false;
  int status = 0;
  try {
    Stopwatch watch;
    if (!zatrel::ocif_(file)) {
      std::fprintf(stderr, "read_all: cannot open %s\n", file);
      status = 1;
    } else {
      const double copying = watch.lap();
      double indexing = 0.0;
      double serving = 0.0;
      AllValues all;
      for (;;) {
        const bool found = zatrel::data_(" ");
        indexing += watch.lap();
        if (!found) break;
        all.read_block();
        serving += watch.lap();
      }
      std::printf("values=%lld\n", all.count());
      if (phases) std::fprintf(stderr, "ocif_ %.3f s, data_ %.3f s, values %.3f s\n", copying, indexing, serving);
    }
  } catch (const zatrel::Fatal&) {
    status = 1;  // the toolbox has written its message
  }
  zatrel::purge_();
  return status;
}
