#include "item_object.hpp"

#include <zatrel/zatrel.hpp>

#include "error.hpp"

namespace zatrel::cli {

namespace {

// Sends the toolbox's messages nowhere while it lives.
class QuietMessages {
 public:
  explicit QuietMessages(int unit) : unit_(unit) { zatrel::open_message_file(unit_, "/dev/null"); }
  ~QuietMessages() { zatrel::close_unit(unit_); }
  QuietMessages(const QuietMessages&) = delete;
  QuietMessages& operator=(const QuietMessages&) = delete;

 private:
  int unit_;
};

}  // namespace

std::string case_normal(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

void ItemObject::add_current_block() {
  int mark = mark_block_start();
  std::vector<Item> items;
  std::string name;
  while (zatrel::name_(name)) items.push_back({name});
  const std::vector<int> loops = type_items(items);
  zatrel::bkmrk_(mark);
  write_items(items, loops);
}

// A mark set before any value is read: returning to it makes every loop
// start again from its first row, whatever the loop numbers cost below.
int ItemObject::mark_block_start() {
  int mark = 0;
  if (!zatrel::bkmrk_(mark)) throw Error("no free bookmark after data_");
  return mark;
}

// The loop numbers and types come from test_, which reads first values that
// are read again afterwards: quietly, so that their warnings come once.
std::vector<int> ItemObject::type_items(std::vector<Item>& items) {
  std::vector<int> loops;
  loops.reserve(items.size());
  try {
    const QuietMessages quiet(context_.message_unit);
    for (Item& item : items) {
      zatrel::test_(item.name);
      loops.push_back(zatrel::loopno_);
      item.numeric = zatrel::itemtype_ == "numb";
    }
  } catch (const zatrel::Fatal& fatal) {
    context_.remarks << "zatrel:" << fatal.what() << '\n';  // its message went nowhere
    throw;
  }
  return loops;
}

// A loop's names are read together, row by row: asking for a name of
// another loop, or for an unlooped name, would start the loop again.
void ItemObject::write_items(const std::vector<Item>& items, const std::vector<int>& loops) {
  std::vector<bool> done(items.size(), false);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (done[i]) continue;
    done[i] = true;
    if (loops[i] == 0) {
      if (first_time(items[i].name)) write_single(items[i]);
      continue;
    }
    std::vector<Item> members;
    for (std::size_t j = i; j < items.size(); ++j) {
      if (loops[j] != loops[i]) continue;
      done[j] = true;
      if (first_time(items[j].name)) members.push_back(items[j]);
    }
    if (!members.empty()) write_loop(members);
  }
}
// The toolbox keeps the first of two equal names within a block; the parts of
// a block around its save frames come as separate blocks, so the same is done here.
bool ItemObject::first_time(const std::string& name) {
  if (seen_.insert(case_normal(name)).second) return true;
  context_.remarks << "zatrel: data name " << name << " repeats in " << title_
                   << "; its later value is left out\n";
  return false;
}

void ItemObject::write_single(const Item& item) {
  ValueReader& reader = context_.reader;
  reader.read(item.name, item.numeric);
  const std::string key = case_normal(item.name);
  members_.key(key);
  Sink& out = members_.out();
  out.write("[");
  out.write(reader.json());
  out.write("]");
  if (!reader.uncertainty().empty()) {
    uncertainty_members_.key(key);
    uncertainties_.write("[");
    uncertainties_.write(reader.uncertainty());
    uncertainties_.write("]");
  }
}

void ItemObject::write_loop(const std::vector<Item>& items) {
  ValueReader& reader = context_.reader;
  LoopColumns& columns = context_.columns;
  columns.prepare(items.size());
  // inloop_ turns false while the last row is being read, so a whole row is
  // read before it is looked at.
  std::size_t rows = 0;
  do {
    for (std::size_t m = 0; m < items.size(); ++m) {
      reader.read(items[m].name, items[m].numeric);
      columns.add_value(m, rows, reader.json());
      if (!reader.uncertainty().empty()) columns.add_uncertainty(m, rows, reader.uncertainty());
    }
    ++rows;
  } while (zatrel::inloop_);

  Sink& out = members_.out();
  for (std::size_t m = 0; m < items.size(); ++m) {
    const std::string key = case_normal(items[m].name);
    members_.key(key);
    out.write("[");
    columns.values(m).copy_to(out);
    out.write("]");
    if (columns.has_uncertainties(m)) {
      columns.pad_uncertainties(m, rows);
      uncertainty_members_.key(key);
      uncertainties_.write("[");
      columns.uncertainties(m).copy_to(uncertainties_);
      uncertainties_.write("]");
    }
  }
}

void ItemObject::finish(Spool* frames, Members* frame_members) {
  Sink& out = members_.out();
  if (!uncertainty_members_.empty()) {
    members_.key("uncertainties");
    out.write("{");
    uncertainty_members_.close();
    uncertainties_.copy_to(out);
  }
  if (frames != nullptr && !frame_members->empty()) {
    members_.key("Frames");
    out.write("{");
    frame_members->close();
    frames->copy_to(out);
  }
  members_.close();
}

}  // namespace zatrel::cli
