#include "cif_copy.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <zatrel/zatrel.hpp>

namespace zatrel::cli {

namespace {

constexpr std::string_view kLoopValue = " ";
// cmnt_ reports each line end as this one character.
constexpr std::string_view kLineEnd{"\0", 1};

struct Item {
  std::string name;
  int loop = 0;
  bool numeric = false;
};

// The text of the last value read, as the toolbox holds it.
std::string_view token() {
  const int length = std::clamp(zatrel::vallen_, 0, static_cast<int>(zatrel::strval_.width));
  return {zatrel::strval_.data(), static_cast<std::size_t>(length)};
}

class Copier {
 public:
  explicit Copier(const CifCopyOptions& options) : options_(options) {}

  void copy_file();

 private:
  void copy_block();
  void copy_comments();
  void copy_value(const Item& item, std::string_view written_name);
  bool copy_number(const std::string& name, std::string_view written_name);
  void copy_text_field(const std::string& name, std::string_view written_name);
  void copy_loop(const std::vector<Item>& members);
  std::vector<Item> items_of_block();

  CifCopyOptions options_;
  std::string text_;
  std::unordered_set<std::string> seen_;
};

void Copier::copy_file() {
  copy_comments();  // those before the first block, such as the version line
  bool frame_left_open = false;
  bool after_terminator = false;
  bool in_block = false;
  while (zatrel::data_(" ")) {
    const bool global = zatrel::inglobal_;
    const bool frame = zatrel::insave_ && !frame_left_open && !global;
    const bool ended_by_terminator = zatrel::valpos_ > 0;
    const std::string name = zatrel::blockname_.str();
    const bool rest_of_block = !global && !frame && name.empty() && after_terminator && in_block;
    if (!rest_of_block) {
      zatrel::pglobal_ = global;
      zatrel::psave_ = frame;
      if (!frame) seen_.clear();
      zatrel::pdata_(global ? std::string_view("global_") : std::string_view(name));
      zatrel::pglobal_ = false;
      zatrel::psave_ = false;
      in_block = true;
    }
    std::unordered_set<std::string> outer;
    if (frame) outer.swap(seen_);
    copy_block();
    if (frame) outer.swap(seen_);
    if (frame && ended_by_terminator) {
      zatrel::psave_ = true;
      zatrel::pdata_(" ");  // the frame's terminator
      zatrel::psave_ = false;
    }
    frame_left_open = (frame || frame_left_open) && !ended_by_terminator;
    after_terminator = ended_by_terminator;
  }
}

void Copier::copy_comments() {
  std::string comment;
  while (zatrel::cmnt_(comment)) {
    if (comment == kLineEnd) continue;
    zatrel::pcmnt_(comment);
  }
}

// The block's names, with their loops and types from test_, which reads
// first values; a mark set before makes every loop start again afterwards.
std::vector<Item> Copier::items_of_block() {
  int mark = 0;
  zatrel::bkmrk_(mark);
  std::vector<Item> items;
  std::string name;
  while (zatrel::name_(name)) items.push_back({name});
  for (Item& item : items) {
    zatrel::test_(item.name);
    item.loop = zatrel::loopno_;
    item.numeric = zatrel::itemtype_.view() == "numb";
  }
  if (mark != 0) zatrel::bkmrk_(mark);
  return items;
}

void Copier::copy_block() {
  copy_comments();
  const std::vector<Item> items = items_of_block();
  // A loop's names are read together, row by row; the toolbox keeps the
  // first of two equal names, and so does the copy.
  std::vector<bool> done(items.size(), false);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (done[i]) continue;
    done[i] = true;
    if (items[i].loop == 0) {
      if (!seen_.insert(zatrel::locase(items[i].name)).second) continue;
      copy_value(items[i], items[i].name);
      copy_comments();
      continue;
    }
    std::vector<Item> members;
    for (std::size_t j = i; j < items.size(); ++j) {
      if (items[j].loop != items[i].loop) continue;
      done[j] = true;
      if (seen_.insert(zatrel::locase(items[j].name)).second) members.push_back(items[j]);
    }
    if (!members.empty()) copy_loop(members);
  }
}

void Copier::copy_loop(const std::vector<Item>& members) {
  for (const Item& item : members) zatrel::ploop_(item.name);
  // inloop_ turns false while the last row is read.
  do {
    for (const Item& item : members) copy_value(item, kLoopValue);
  } while (zatrel::inloop_);
}

void Copier::copy_value(const Item& item, std::string_view written_name) {
  if (item.numeric && copy_number(item.name, written_name)) return;
  if (!item.numeric && !zatrel::test_(item.name)) {
    const std::string null_value(token());  // an unquoted ? or .
    zatrel::char_(item.name, text_);       // releases test_'s row
    zatrel::outquote_.clear();
    zatrel::pchar_(written_name, null_value);
    return;
  }
  if (!item.numeric && zatrel::itemtype_.view() == "text") {
    copy_text_field(item.name, written_name);
    return;
  }
  if (!item.numeric) zatrel::char_(item.name, text_);
  zatrel::outquote_ = zatrel::lastquote_.view();
  zatrel::pchar_(written_name, token());
}

// True when the value was a number written through pnumd_; otherwise its
// text stays in strval_ for pchar_.
bool Copier::copy_number(const std::string& name, std::string_view written_name) {
  double value = 0.0;
  double sd = -1.0;  // left alone for a number without uncertainty
  const bool number = zatrel::numd_(name, value, sd);
  if (!number || !options_.numbers || !std::isfinite(value)) return false;
  zatrel::pnumd_(written_name, value, sd >= 0.0 && std::isfinite(sd) ? sd : 0.0);
  return true;
}

void Copier::copy_text_field(const std::string& name, std::string_view written_name) {
  // Two fields in a row would be one: the first is ended here.
  zatrel::pcmnt_(kLineEnd);
  zatrel::char_(name, text_);
  zatrel::ptext_(written_name, text_);
  while (zatrel::intext_) {
    zatrel::char_(name, text_);
    zatrel::ptext_(written_name, text_);
  }
}

}  // namespace

void write_cif_copy(const CifCopyOptions& options) { Copier(options).copy_file(); }

}  // namespace zatrel::cli
