#include "read_everything.hpp"

#include <cstddef>
#include <string>
#include <vector>

#include <zatrel/zatrel.hpp>

namespace zatrel::fuzz {

namespace {

// Comments and tokens are asked for a bounded number of times a block: each
// call may move on through the rest of the file.
constexpr int kCommentsPerBlock = 16;
constexpr int kTokensPerBlock = 16;
constexpr std::size_t kItemsSearched = 32;

class Pass {
 public:
  long long values() const { return values_; }

  void read_block() {
    comments();
    learn_names();
    read_values();
    search_items();
    search_tokens();
  }

 private:
  void comments() {
    for (int i = 0; i < kCommentsPerBlock && cmnt_(text_); ++i) {
    }
  }

  // The names, their loops and types; a bookmark set first brings the reader
  // back so that every loop starts again at its first row.
  void learn_names() {
    int mark = 0;
    bkmrk_(mark);
    names_.clear();
    while (name_(text_)) names_.push_back(text_);
    loops_.clear();
    numeric_.clear();
    for (const std::string& name : names_) {
      test_(name);
      loops_.push_back(loopno_);
      numeric_.push_back(itemtype_ == "numb");
    }
    bkmrk_(mark);
  }

  void read_values() {
    done_.assign(names_.size(), false);
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (done_[i]) continue;
      if (loops_[i] == 0) {
        read_value(i);
        continue;
      }
      read_loop(i);
    }
  }

  // Row by row to the end; the second row is read twice, the second time by
  // returning to a bookmark set just before it.
  void read_loop(std::size_t first) {
    members_.clear();
    for (std::size_t j = first; j < names_.size(); ++j)
      if (loops_[j] == loops_[first]) {
        members_.push_back(j);
        done_[j] = true;
      }
    int row = 0;
    int mark = 0;
    bool returned = false;
    do {
      if (row == 1 && mark == 0 && !returned) bkmrk_(mark);
      for (const std::size_t m : members_) read_value(m);
      ++row;
      if (row == 2 && mark != 0 && !returned) {
        returned = true;
        bkmrk_(mark);
      }
    } while (inloop_);
  }

  void read_value(std::size_t i) {
    ++values_;
    const std::string& name = names_[i];
    test_(name);
    if (numeric_[i]) {
      double value = 0.0;
      double sd = -1.0;
      numd_(name, value, sd);
      return;
    }
    char_(name, text_);
    while (intext_) char_(name, text_);
  }

  void search_items() {
    for (std::size_t i = 0; i < names_.size() && i < kItemsSearched; ++i) {
      find_(names_[i], "name", text_);
      find_(names_[i], "valu", text_);
      find_(names_[i], "", text_);
    }
    find_("_no_such_item", "name", text_);
  }

  void search_tokens() {
    for (int i = 0; i < kTokensPerBlock; ++i) {
      const char* keyword = i % 3 == 0 ? "name" : i % 3 == 1 ? "valu" : "";
      if (!find_(" ", keyword, text_)) break;
    }
  }

  long long values_ = 0;
  std::string text_;
  std::vector<std::string> names_;
  std::vector<int> loops_;
  std::vector<bool> numeric_;
  std::vector<bool> done_;
  std::vector<std::size_t> members_;
};

}  // namespace

long long read_everything(const std::string& path) {
  if (!ocif_(path)) return 0;
  Pass pass;
  std::string first_block;
  bool first = true;
  while (data_(" ")) {
    if (first) first_block = blockname_.str();
    first = false;
    pass.read_block();
  }
  // Back to the start, then the first block again by its name.
  std::string text;
  if (find_(" ", "head", text) && !first && !first_block.empty() && data_(first_block)) pass.read_block();
  return pass.values();
}

void read_variant(const Variant& variant, const std::string& first, const std::string& rest,
                  std::string_view script) {
  intabs_ = variant.tabs;
  nullblank_ = variant.null_blank;
  if (variant.append && ocif_(first)) {
    appendcif_ = true;
    firstline_ = lastline_ + 1;
  }
  if (variant.any_order)
    read_in_any_order(rest, script);
  else
    read_everything(rest);
}

}  // namespace zatrel::fuzz
