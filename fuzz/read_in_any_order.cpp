// Requests in an order the input chooses: each byte of the script picks an
// operation and, from the next byte, the name it is made with.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <zatrel/zatrel.hpp>

#include "read_everything.hpp"

namespace zatrel::fuzz {

namespace {

constexpr std::size_t kLongestScript = 512;

class Caller {
 public:
  explicit Caller(std::string_view script) : script_(script.substr(0, kLongestScript)) {}

  bool more() const { return at_ < script_.size(); }

  void step() {
    switch (next() % 16) {
      case 0: take_block(data_(" ")); break;
      case 1: take_block(data_(blocks_.empty() ? std::string("a") : pick(blocks_))); break;
      case 2: if (name_(text_)) names_.push_back(text_); break;
      case 3: test_(name()); break;
      case 4: char_(name(), text_); break;
      case 5: { double v = 0, sd = -1; numd_(name(), v, sd); } break;
      case 6: { float v = 0, sd = -1; numb_(name(), v, sd); } break;
      case 7: find_(name(), "name", text_); break;
      case 8: find_(name(), "valu", text_); break;
      case 9: find_(name(), "", text_); break;
      case 10: find_(" ", keyword(), text_); break;
      case 11: find_(" ", "head", text_); break;
      case 12: cmnt_(text_); break;
      case 13: { int mark = 0; if (bkmrk_(mark)) marks_.push_back(mark); } break;
      case 14: back_to_mark(); break;
      default: while (intext_ && more()) { char_(name(), text_); ++at_; } break;
    }
  }

 private:
  unsigned char next() { return more() ? static_cast<unsigned char>(script_[at_++]) : 0; }

  const std::string& pick(const std::vector<std::string>& from) { return from[next() % from.size()]; }

  // A name of the block, now and then one it does not have or no data name at all.
  std::string name() {
    const unsigned char c = next();
    if (c == 255 || names_.empty()) return c % 2 == 0 ? "_no_such_name" : "";
    return names_[c % names_.size()];
  }

  const char* keyword() {
    switch (next() % 3) {
      case 0: return "name";
      case 1: return "valu";
      default: return "";
    }
  }

  void take_block(bool taken) {
    names_.clear();
    if (!taken) return;
    blocks_.push_back(blockname_.str());
    std::string text;
    while (name_(text)) names_.push_back(text);
  }

  void back_to_mark() {
    if (marks_.empty()) return;
    const std::size_t k = next() % marks_.size();
    int mark = marks_[k];
    bkmrk_(mark);
    marks_.erase(marks_.begin() + static_cast<std::ptrdiff_t>(k));
  }

  std::string_view script_;
  std::size_t at_ = 0;
  std::string text_;
  std::vector<std::string> names_;
  std::vector<std::string> blocks_;
  std::vector<int> marks_;
};

}  // namespace

void read_in_any_order(const std::string& path, std::string_view script) {
  if (!ocif_(path)) return;
  Caller caller(script);
  while (caller.more()) caller.step();
}

}  // namespace zatrel::fuzz
